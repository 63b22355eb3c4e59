#include "widgets/balloongeometry.h"

#include <QFontMetrics>

#include <algorithm>

namespace balloon {

namespace {

// The fixed offsets of the two mirror layouts, in picture pixels.
struct Offsets
{
    int bodyLeft;        // left edge of the body
    int bodyRightOffset; // the body ends before Wt + this
    int textLeft;
};

constexpr Offsets rightOffsets{10, 21, 15};
constexpr Offsets leftOffsets{2, 13, 8};

// Width and height the balloon adds around the text.
constexpr int extraWidth = 23;
constexpr int extraHeight = 20;

} // namespace

QStringList splitLines(const QString &text, QChar separator)
{
    return text.split(separator, Qt::KeepEmptyParts);
}

Geometry layout(QPoint cursor, const QList<int> &lineWidths, int lineHeight, Alignment align,
                TextAlignment textAlign)
{
    Geometry g;
    for (int width : lineWidths)
        g.textWidth = std::max(g.textWidth, width);
    g.textHeight = int(lineWidths.size()) * lineHeight;
    const int wt = g.textWidth;
    const int h = g.textHeight;
    const int w = wt + extraWidth;

    const bool right = align == Alignment::Right;
    const Offsets &o = right ? rightOffsets : leftOffsets;
    const int tailLeft = right ? 0 : w - tailWidth;
    const int tipX = right ? 3 : w - 4;
    const int windowLeft = right ? cursor.x() : cursor.x() - w;

    // The bottom edge lies 3 pixels below the cursor, so the tail's tip
    // ends just beside it.
    g.window = QRect(windowLeft, cursor.y() - 15 - h - 2, w, h + extraHeight);
    g.body = QRect(QPoint(o.bodyLeft, 0), QPoint(wt + o.bodyRightOffset - 1, h + 2));
    g.shadow = g.body.translated(2, 2);
    g.tail = QRect(tailLeft, h - 2, tailWidth, tailHeight);
    g.tipPixels = {QPoint(tipX, h + 13), QPoint(tipX, h + 14), QPoint(tipX + 1, h + 15)};
    g.tip = g.tipPixels.last();

    int y = 1;
    for (int width : lineWidths) {
        int x = o.textLeft;
        if (textAlign == TextAlignment::Right)
            x += wt - width;
        else if (textAlign == TextAlignment::Center)
            x += wt / 2 - width / 2;
        g.textOrigins << QPoint(x, y);
        y += lineHeight;
    }
    return g;
}

Geometry layout(QPoint cursor, const QStringList &lines, const QFontMetrics &metrics, Alignment align,
                TextAlignment textAlign)
{
    QList<int> widths;
    widths.reserve(lines.size());
    for (const QString &line : lines)
        widths << metrics.horizontalAdvance(line);
    return layout(cursor, widths, metrics.height(), align, textAlign);
}

} // namespace balloon
