#include "richtext/listmarkers.h"

#include "richtext/textkinds.h"
#include "richtext/textproperties.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QSet>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextList>

namespace richtext {

namespace {

bool markerHidden(const QTextBlockFormat &format)
{
    return format.hasProperty(QTextFormat::ListStyle)
           && format.intProperty(QTextFormat::ListStyle) == QTextListFormat::ListStyleUndefined;
}

QString bulletText(const QTextListFormat &format)
{
    const QString bullet = format.stringProperty(prop::ListBullet);
    if (!bullet.isEmpty())
        return bullet;
    switch (format.style()) {
    case QTextListFormat::ListCircle: return QStringLiteral("\u25E6");
    case QTextListFormat::ListSquare: return QStringLiteral("\u25AA");
    default: return QStringLiteral("\u2022");
    }
}

// `scale`: device pixels of the layout per px of the block format.
void paintMarker(QPainter &painter, const QTextBlock &block, const QPointF &origin, qreal scale,
                 const QColor &textColor)
{
    const QTextLayout *layout = block.layout();
    const QString text = listMarkerText(block);
    if (!layout || layout->lineCount() == 0 || text.isEmpty())
        return;
    const QTextCharFormat format = block.charFormat();
    const QFont font(format.font(), painter.device());
    const QFontMetricsF metrics(font, painter.device());
    const QTextLine first = layout->lineAt(0);
    const QRectF textRect = first.naturalTextRect();
    const Qt::LayoutDirection direction = block.textDirection();
    const qreal space = metrics.horizontalAdvance(u' ');
    const qreal width = metrics.horizontalAdvance(text);
    // An item that hangs starts its marker where the hanging line starts;
    // one that does not has it right before its text, as Qt puts it.
    const qreal indent = block.blockFormat().doubleProperty(prop::ListTextIndent);
    const qreal hang = -qMin<qreal>(0, indent) * scale;
    const qreal textStart = origin.x() + textRect.left();
    const qreal textEnd = origin.x() + textRect.right();
    qreal x = textStart - space - width;
    if (direction == Qt::RightToLeft)
        x = hang > 0 ? textEnd + hang - width : textEnd + space;
    else if (hang > 0) {
        // The label's place is where the hanging line starts: it begins
        // there, is centred on it, or ends there.
        const int align = block.textList()->format().intProperty(prop::ListLabelAlign);
        x = textStart - hang - (align == 2 ? width : align == 1 ? width / 2 : 0);
    }

    QTextLayout marker(text, font, painter.device());
    QTextOption option(Qt::AlignLeft | Qt::AlignAbsolute);
    option.setTextDirection(direction);
    marker.setTextOption(option);
    marker.beginLayout();
    QTextLine line = marker.createLine();
    if (line.isValid())
        line.setLeadingIncluded(true);
    marker.endLayout();

    painter.save();
    const QBrush brush = format.foreground();
    painter.setPen(brush.style() != Qt::NoBrush ? brush.color() : textColor);
    marker.draw(&painter, QPointF(x, origin.y() + textRect.top()));
    painter.restore();
}

} // namespace

void hideQtMarker(QTextBlockFormat &format)
{
    format.setProperty(QTextFormat::ListStyle, int(QTextListFormat::ListStyleUndefined));
}

QString listMarkerText(const QTextBlock &block)
{
    const QTextList *list = block.textList();
    if (!list)
        return {};
    const QTextListFormat format = list->format();
    const ListKind kind = listKindOf(format.style());
    if (kind == ListKind::Bullet)
        return bulletText(format);
    const int start = format.hasProperty(prop::NumberingStart) ? format.intProperty(prop::NumberingStart)
                                                               : 1;
    const QString number = listNumberText(kind, start + list->itemNumber(block));
    // Qt's own default: a full stop after the number.
    const QString suffix = format.hasProperty(QTextFormat::ListNumberSuffix) ? format.numberSuffix()
                                                                             : QStringLiteral(".");
    const QString prefix = format.numberPrefix();
    return block.textDirection() == Qt::RightToLeft ? suffix + number + prefix
                                                    : prefix + number + suffix;
}

namespace {

// Paints the marker of `block` if it is an item with Qt's marker off whose
// block meets the clip's band.
void paintItemMarker(QPainter &painter, const QTextBlock &block, const QRectF &clip, qreal scale,
                     const QColor &textColor)
{
    if (!block.isVisible() || !block.textList() || !markerHidden(block.blockFormat()))
        return;
    // A block without lines has not been reached by a layout that works in
    // steps (a long document the editor has just loaded): it lies below
    // everything drawn so far, and asking for its rectangle would lay out
    // the whole document up to it at once.
    if (!block.layout() || block.layout()->lineCount() == 0)
        return;
    const QRectF rect = block.document()->documentLayout()->blockBoundingRect(block);
    // The marker stands left (or right) of the block: a band as wide as
    // the clip is enough to tell whether it shows.
    if (rect.bottom() < clip.top() || rect.top() > clip.bottom())
        return;
    paintMarker(painter, block, rect.topLeft(), scale, textColor);
}

} // namespace

void paintListMarkers(QPainter &painter, const QTextDocument &document, const QRectF &clip,
                      const QColor &textColor, int first, int end)
{
    QAbstractTextDocumentLayout *layout = document.documentLayout();
    // Block format lengths are px at 96 dpi; a layout for a device has them
    // in that device's pixels.
    const QPaintDevice *device = layout->paintDevice();
    const qreal scale = device ? device->logicalDpiX() / 96.0 : 1.0;

    if (first > 0 || end < document.characterCount()) {
        // A page of a long document: only its own blocks, found by position.
        for (QTextBlock block = document.findBlock(qMax(0, first));
             block.isValid() && block.position() < end; block = block.next()) {
            if (block.position() >= first)
                paintItemMarker(painter, block, clip, scale, textColor);
        }
        return;
    }
    // The whole document: the lists whose items draw no marker of their own
    // are found through the document's formats, which are few, rather than
    // its blocks.
    QSet<int> lists;
    const QList<QTextFormat> formats = document.allFormats();
    for (const QTextFormat &format : formats) {
        if (format.isBlockFormat() && format.objectIndex() >= 0
            && markerHidden(format.toBlockFormat()))
            lists.insert(format.objectIndex());
    }
    for (const int index : std::as_const(lists)) {
        const auto *list = qobject_cast<QTextList *>(document.object(index));
        if (!list)
            continue;
        for (int i = 0; i < list->count(); ++i)
            paintItemMarker(painter, list->item(i), clip, scale, textColor);
    }
}

} // namespace richtext
