#pragma once

// A header or footer line: a template split into cells at "|", each cell
// laid out in a column of a small format language. A format cell is an
// optional alignment character ("<" left, ">" right, "^" centred) and a
// column width in the measure unit, written in the locale's notation:
// ">100" is a right-aligned column 100 units wide. Columns follow each
// other from the left margin on.

#include "print/placeholders.h"

#include <QString>

#include <functional>

class QLocale;
class QPainter;

namespace print {

struct PageGeometry;

struct ColumnCell
{
    enum Align { Left, Right, Centre };
    Align align = Left;
    double width = 0;
};

// One format cell. An empty cell is a left-aligned column of the default
// width, and so is a bare alignment character with its alignment. A width
// that is not a number of the locale, or is negative or infinite, falls back
// to the default width, so a mistyped format still prints the page.
ColumnCell parseColumnCell(QString cell, double defaultWidth, const QLocale &locale);

// How many leading characters of `text` fit `columnWidth` pixels, given a
// measure of a string's width: all of them when the whole text fits,
// otherwise a bisection over prefix lengths that stops when a probe is
// exactly as wide as the column, repeats, or the range closes. At least one
// character always remains (0 only for an empty text).
int fitLength(const QString &text, int columnWidth, const std::function<int(const QString &)> &width);

// How far text that leaves room in its column keeps away from the column's
// edge: 6 pixels per full 600 dpi, none below 600 dpi.
int columnInset(double dpiX);

// The x offset of text `textWidth` wide in a column, inset included.
int columnOffset(ColumnCell::Align align, int columnWidth, int textWidth, int inset);

// Draws `line` laid out by `format` with the painter's font, its cells
// split at "|" before placeholders are expanded (so a "|" a replacement
// brings stays in its cell). Template cells beyond the format are dropped;
// missing ones are empty yet their columns still take their width. `y` is
// the top edge of the text, relative to the top of the text area.
void drawColumnLine(QPainter &painter, const QString &line, const QString &format, const PageGeometry &geometry,
                    int y, const PlaceholderValues &values, double defaultColumnWidth);

} // namespace print
