#include "app/chrome/glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

const QColor ink(0x30, 0x30, 0x30);

void drawPage(QPainter &p, QRectF r, QColor fill = Qt::white)
{
    // A sheet with its top right corner folded.
    const qreal fold = 3;
    QPainterPath path;
    path.moveTo(r.topLeft());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.bottomRight());
    path.lineTo(r.bottomLeft());
    path.closeSubpath();
    p.setPen(QPen(ink, 0.8));
    p.setBrush(fill);
    p.drawPath(path);
    p.drawLine(QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold));
    p.drawLine(QPointF(r.right() - fold, r.top() + fold), QPointF(r.right(), r.top() + fold));
}

void drawTextLines(QPainter &p, qreal left, qreal top, const QList<qreal> &widths, qreal step = 2.5)
{
    p.setPen(QPen(QColor(0x70, 0x70, 0x70), 0.8));
    for (qsizetype i = 0; i < widths.size(); ++i)
        p.drawLine(QPointF(left, top + i * step), QPointF(left + widths.at(i), top + i * step));
}

void drawLetter(QPainter &p, const QString &letter, bool bold, bool italic, bool underline)
{
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setStyleHint(QFont::Serif);
    font.setPixelSize(13);
    font.setBold(bold);
    font.setItalic(italic);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QRectF(0, -1, 16, underline ? 14 : 16), Qt::AlignCenter, letter);
    if (underline) {
        p.setPen(QPen(Qt::black, 1.2));
        p.drawLine(QPointF(3.5, 14), QPointF(12.5, 14));
    }
}

void drawAlignment(QPainter &p, Qt::Alignment align)
{
    p.setPen(QPen(Qt::black, 1.2));
    const QList<qreal> widths = {12, 8, 12, 6, 10};
    for (qsizetype i = 0; i < widths.size(); ++i) {
        const qreal w = widths.at(i);
        qreal left = 2;
        if (align == Qt::AlignHCenter)
            left = 8 - w / 2;
        else if (align == Qt::AlignRight)
            left = 14 - w;
        const qreal y = 3 + i * 2.5;
        p.drawLine(QPointF(left, y), QPointF(left + w, y));
    }
}

void paint(QPainter &p, Glyph glyph)
{
    p.setRenderHint(QPainter::Antialiasing);
    switch (glyph) {
    case Glyph::Open: {
        // An open folder.
        p.setPen(QPen(QColor(0x8a, 0x6d, 0x1c), 0.8));
        p.setBrush(QColor(0xe8, 0xc0, 0x4a));
        QPainterPath back;
        back.moveTo(1.5, 3.5);
        back.lineTo(6, 3.5);
        back.lineTo(7.5, 5);
        back.lineTo(13, 5);
        back.lineTo(13, 13.5);
        back.lineTo(1.5, 13.5);
        back.closeSubpath();
        p.drawPath(back);
        p.setBrush(QColor(0xf7, 0xd9, 0x74));
        QPainterPath flap;
        flap.moveTo(3.5, 7.5);
        flap.lineTo(15, 7.5);
        flap.lineTo(13, 13.5);
        flap.lineTo(1.5, 13.5);
        flap.closeSubpath();
        p.drawPath(flap);
        break;
    }
    case Glyph::Save: {
        // A diskette.
        p.setPen(QPen(QColor(0x1d, 0x2f, 0x5c), 0.8));
        p.setBrush(QColor(0x3b, 0x5b, 0xa8));
        p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 1, 1);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(3.5, 1.5, 9, 5.5));
        p.setBrush(QColor(0xc8, 0xc8, 0xc8));
        p.drawRect(QRectF(4.5, 9.5, 7, 5));
        p.setBrush(QColor(0x3b, 0x5b, 0xa8));
        p.drawRect(QRectF(9, 10.5, 1.5, 3));
        break;
    }
    case Glyph::Print: {
        // A printer with a sheet in it and one coming out.
        drawPage(p, QRectF(4.5, 1.5, 7, 5));
        p.setPen(QPen(ink, 0.8));
        p.setBrush(QColor(0xb0, 0xb0, 0xb0));
        p.drawRoundedRect(QRectF(1.5, 6.5, 13, 5.5), 1, 1);
        p.setBrush(QColor(0x50, 0xb0, 0x50));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QRectF(11.5, 7.8, 1.6, 1.6));
        p.setPen(QPen(ink, 0.8));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 10, 7, 4.5));
        drawTextLines(p, 5.5, 11.5, {5, 4});
        break;
    }
    case Glyph::PageSetup: {
        // A sheet with its margins marked.
        drawPage(p, QRectF(2.5, 1.5, 11, 13));
        p.setPen(QPen(QColor(0x2f, 0x6f, 0xd0), 0.8, Qt::DashLine));
        p.drawRect(QRectF(4.5, 4, 7, 8.5));
        break;
    }
    case Glyph::Undo: {
        // An arrow curving back to the left.
        p.setPen(QPen(QColor(0x2f, 0x4f, 0x9f), 1.8, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        QPainterPath arc;
        arc.moveTo(4, 6);
        arc.cubicTo(9, 6, 14, 6.5, 13.5, 10.5);
        arc.cubicTo(13, 13, 10, 13.5, 8, 13.5);
        p.drawPath(arc);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x2f, 0x4f, 0x9f));
        p.drawPolygon(QPolygonF({QPointF(1, 6), QPointF(6, 2), QPointF(6, 10)}));
        break;
    }
    case Glyph::Cut: {
        // Scissors, blades up.
        p.setPen(QPen(QColor(0x60, 0x60, 0x60), 1.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(5.5, 10), QPointF(11, 1.5));
        p.drawLine(QPointF(10.5, 10), QPointF(5, 1.5));
        p.setPen(QPen(QColor(0xb0, 0x20, 0x20), 1.3));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(2, 10, 4.5, 4.5));
        p.drawEllipse(QRectF(9.5, 10, 4.5, 4.5));
        break;
    }
    case Glyph::Copy: {
        drawPage(p, QRectF(1.5, 1.5, 8, 10));
        drawTextLines(p, 3, 4.5, {4, 5, 3});
        drawPage(p, QRectF(6.5, 5, 8, 10));
        drawTextLines(p, 8, 8, {5, 4, 5, 3});
        break;
    }
    case Glyph::Paste: {
        // A clipboard with a sheet on it.
        p.setPen(QPen(QColor(0x6b, 0x4a, 0x1e), 0.8));
        p.setBrush(QColor(0xb8, 0x86, 0x3b));
        p.drawRoundedRect(QRectF(1.5, 2.5, 10, 12), 1, 1);
        p.setBrush(QColor(0xa0, 0xa0, 0xa0));
        p.drawRoundedRect(QRectF(4, 1, 5, 3), 1, 1);
        drawPage(p, QRectF(6.5, 5.5, 8, 9.5));
        drawTextLines(p, 8, 8.5, {5, 4, 5});
        break;
    }
    case Glyph::Bold:
        drawLetter(p, QStringLiteral("B"), true, false, false);
        break;
    case Glyph::Italic:
        drawLetter(p, QStringLiteral("I"), false, true, false);
        break;
    case Glyph::Underline:
        drawLetter(p, QStringLiteral("U"), false, false, true);
        break;
    case Glyph::AlignLeft:
        drawAlignment(p, Qt::AlignLeft);
        break;
    case Glyph::AlignCenter:
        drawAlignment(p, Qt::AlignHCenter);
        break;
    case Glyph::AlignRight:
        drawAlignment(p, Qt::AlignRight);
        break;
    case Glyph::Bullets:
        for (int i = 0; i < 3; ++i) {
            const qreal y = 3.5 + i * 4.5;
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::black);
            p.drawEllipse(QPointF(3, y), 1.4, 1.4);
            p.setPen(QPen(Qt::black, 1.2));
            p.drawLine(QPointF(6, y), QPointF(14, y));
        }
        break;
    }
}

} // namespace

QString glyphThemeName(Glyph glyph)
{
    switch (glyph) {
    case Glyph::Open: return QStringLiteral("document-open");
    case Glyph::Save: return QStringLiteral("document-save");
    case Glyph::Print: return QStringLiteral("document-print");
    case Glyph::PageSetup: return QStringLiteral("document-page-setup");
    case Glyph::Undo: return QStringLiteral("edit-undo");
    case Glyph::Cut: return QStringLiteral("edit-cut");
    case Glyph::Copy: return QStringLiteral("edit-copy");
    case Glyph::Paste: return QStringLiteral("edit-paste");
    case Glyph::Bold: return QStringLiteral("format-text-bold");
    case Glyph::Italic: return QStringLiteral("format-text-italic");
    case Glyph::Underline: return QStringLiteral("format-text-underline");
    case Glyph::AlignLeft: return QStringLiteral("format-justify-left");
    case Glyph::AlignCenter: return QStringLiteral("format-justify-center");
    case Glyph::AlignRight: return QStringLiteral("format-justify-right");
    case Glyph::Bullets: return QStringLiteral("format-list-unordered");
    }
    return QString();
}

QIcon drawnGlyph(Glyph glyph)
{
    QIcon icon;
    for (int scale : {1, 2}) {
        QPixmap pixmap(16 * scale, 16 * scale);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.scale(scale, scale);
        paint(painter, glyph);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QIcon toolbarGlyph(Glyph glyph)
{
    const QIcon themed = QIcon::fromTheme(glyphThemeName(glyph));
    if (!themed.isNull() && !themed.availableSizes().isEmpty())
        return themed;
    return drawnGlyph(glyph);
}
