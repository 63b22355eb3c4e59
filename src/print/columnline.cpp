#include "print/columnline.h"

#include "print/pagegeometry.h"

#include <QFontMetrics>
#include <QLocale>
#include <QPainter>

#include <cmath>

namespace print {

ColumnCell parseColumnCell(QString cell, double defaultWidth, const QLocale &locale)
{
    ColumnCell result;
    result.width = defaultWidth;
    if (cell.isEmpty())
        return result;

    const QChar first = cell.front();
    if (first == u'<' || first == u'>' || first == u'^') {
        result.align = first == u'>' ? ColumnCell::Right : first == u'^' ? ColumnCell::Centre : ColumnCell::Left;
        cell.remove(0, 1);
        if (cell.isEmpty())
            return result;
    }

    bool ok = false;
    const double width = locale.toDouble(cell, &ok);
    if (ok && std::isfinite(width) && width >= 0)
        result.width = width;
    return result;
}

int fitLength(const QString &text, int columnWidth, const std::function<int(const QString &)> &width)
{
    const int length = int(text.size());
    if (length == 0 || width(text) <= columnWidth)
        return length;

    int low = 1;
    int high = length;
    int probe = 1;
    int previous = 0;
    while (high > low) {
        probe = (low + high) / 2;
        if (probe == previous)
            break;
        previous = probe;
        const int probeWidth = width(text.left(probe));
        if (probeWidth > columnWidth)
            high = probe;
        else if (probeWidth < columnWidth)
            low = probe;
        else
            break;
    }
    // The probe that ended the search: the exact fit, the repeated one
    // (always the widest prefix found to fit), or the first character when
    // not even that fits.
    return probe;
}

int columnInset(double dpiX)
{
    return dpiX > 0 ? (int(dpiX) / 600) * 6 : 0;
}

int columnOffset(ColumnCell::Align align, int columnWidth, int textWidth, int inset)
{
    const bool roomForInset = textWidth < columnWidth - inset;
    switch (align) {
    case ColumnCell::Right:
        return columnWidth - textWidth - (roomForInset ? inset : 0);
    case ColumnCell::Centre:
        // Rounded down, also when a too wide text makes it negative.
        return int(std::floor((columnWidth - textWidth) / 2.0));
    case ColumnCell::Left:
        break;
    }
    return roomForInset ? inset : 0;
}

namespace {

// A cut through a surrogate pair would print half a character: keep the
// pair out, or in when it is the only character.
int wholeCharacters(const QString &text, int length)
{
    if (length <= 0 || length >= text.size() || !text.at(length - 1).isHighSurrogate())
        return length;
    return length > 1 ? length - 1 : length + 1;
}

} // namespace

void drawColumnLine(QPainter &painter, const QString &line, const QString &format, const PageGeometry &geometry,
                    int y, const PlaceholderValues &values, double defaultColumnWidth)
{
    const QStringList formatCells = format.split(u'|');
    const QStringList textCells = line.split(u'|');
    const QFontMetrics metrics(painter.font(), painter.device());
    const auto measure = [&metrics](const QString &s) { return metrics.horizontalAdvance(s); };
    const int inset = columnInset(geometry.dpiX);
    // QPainter places text by its baseline; the line's y is its top edge.
    const int baseline = geometry.textArea.top() + y + metrics.ascent();

    int x = geometry.leftBand;
    for (qsizetype i = 0; i < formatCells.size(); ++i) {
        const ColumnCell cell = parseColumnCell(formatCells.at(i), defaultColumnWidth, values.locale);
        const int columnWidth = geometry.pixelsX(cell.width);

        QString text = i < textCells.size() ? textCells.at(i) : QString();
        if (text.contains(QLatin1String("{$")))
            text = expandPlaceholders(text, values);
        text.truncate(wholeCharacters(text, fitLength(text, columnWidth, measure)));

        if (!text.isEmpty()) {
            const int offset = columnOffset(cell.align, columnWidth, measure(text), inset);
            painter.drawText(x + offset, baseline, text);
        }
        x += columnWidth;
    }
}

} // namespace print
