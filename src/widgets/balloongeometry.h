#pragma once

// Where every part of a balloon hint goes, from the cursor point and the
// measured text. Pure arithmetic, so that the exact pixels can be checked
// without a screen. Picture coordinates have (0, 0) at the window's top-left.

#include <QList>
#include <QPoint>
#include <QRect>
#include <QStringList>

class QFontMetrics;

namespace balloon {

// Right: the balloon extends to the right of the cursor with its tail on the
// left; Left: the mirror image.
enum class Alignment { Right, Left };
enum class Shape { RoundRect, Rectangle };
enum class TextAlignment { Center, Left, Right };

// The tail's box and the body's corner ellipse.
inline constexpr int tailWidth = 15;
inline constexpr int tailHeight = 21;
inline constexpr int cornerDiameter = 15;

struct Geometry
{
    int textWidth = 0;   // Wt: the widest line
    int textHeight = 0;  // H: the lines' heights together
    QRect window;        // on the screen: W = Wt + 23 wide, H + 20 high
    // Rectangles hold their pixels inclusively (QRect convention).
    QRect body;          // outline of the balloon body
    QRect shadow;        // the body's shape moved 2 pixels right and down
    QRect tail;          // 15 x 21, overlapping the body's bottom edge
    QPoint tip;          // the tail's last interior pixel, nearest the cursor
    QList<QPoint> tipPixels; // interior pixels of the narrow tip
    QList<QPoint> textOrigins; // top-left of each line's text
};

// Splits at every separator; a trailing separator leaves an empty last line.
QStringList splitLines(const QString &text, QChar separator);

// The geometry for lines of the given widths, each lineHeight high, shown
// for the cursor at `cursor` (screen coordinates).
Geometry layout(QPoint cursor, const QList<int> &lineWidths, int lineHeight, Alignment align,
                TextAlignment textAlign);

// The same, measuring the lines with the given font metrics.
Geometry layout(QPoint cursor, const QStringList &lines, const QFontMetrics &metrics, Alignment align,
                TextAlignment textAlign);

} // namespace balloon
