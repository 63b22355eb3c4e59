#include "print/pagedecoration.h"

#include "print/columnline.h"
#include "print/pagegeometry.h"

#include <QFontMetrics>
#include <QPainter>

#include <cmath>

namespace print {

namespace {

constexpr double ScreenDpi = 96;
constexpr double PointsPerInch = 72;

int nearest(double value)
{
    return int(std::lround(value));
}

// `length` as a share of `whole`, applied to `pixels`.
int scaled(double length, double whole, int pixels)
{
    return whole > 0 ? nearest(length / whole * pixels) : 0;
}

// The bands and the text area tile the printable area; summing them also
// serves a geometry whose printable size was left unset.
QRect printableArea(const PageGeometry &geometry)
{
    return QRect(0, 0, geometry.leftBand + geometry.textArea.width() + geometry.rightBand,
                 geometry.topBand + geometry.textArea.height() + geometry.bottomBand);
}

void drawLogo(QPainter &painter, const QRect &rect, const QImage &logo)
{
    if (rect.isEmpty())
        return;
    // The platform's focus frame: a dotted one-pixel outline, which the
    // image then covers unless it is transparent.
    painter.setPen(QPen(Qt::black, 0, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect, logo);
}

} // namespace

bool drawsHeader(const PageDecoration &decoration)
{
    return !decoration.header.isEmpty();
}

bool drawsFooter(const PageDecoration &decoration)
{
    return !decoration.footer.isEmpty();
}

QFont headerFooterFont(const QFont &font)
{
    QFont result = font;
    if (font.pointSizeF() <= 0 && font.pixelSize() > 0)
        result.setPointSize(qMax(1, nearest(font.pixelSize() * PointsPerInch / ScreenDpi)));
    return result;
}

QColor headerFooterColor(const QColor &color)
{
    if (!color.isValid() || color.alpha() == 0 || (color.rgb() & 0xffffff) == 0xffffff)
        return Qt::black;
    return color;
}

int lineHeight(const QFont &font, QPaintDevice *device)
{
    const QFont deviceFont = headerFooterFont(font);
    const QFontMetrics metrics = device ? QFontMetrics(deviceFont, device) : QFontMetrics(deviceFont);
    return metrics.height() + qMax(0, metrics.leading());
}

QRect logoRect(const PageDecoration &decoration, const PageGeometry &geometry, int lineHeight)
{
    const QSizeF paper = geometry.paperSize;
    const int width = geometry.textArea.width();
    const int height = geometry.textArea.height();
    const int y0 = (geometry.topBand - lineHeight) / 2 + lineHeight;
    const int x0 = geometry.leftBand;
    const int top = y0 + scaled(decoration.logoTop, paper.height(), height);
    const int left = x0 + scaled(decoration.logoLeft, paper.width(), width);
    const int right = left + scaled(decoration.logoWidth, paper.width(), width);
    const int bottom = top + scaled(decoration.logoHeight, paper.height(), height);
    return QRect(left, top, right - left, bottom - top);
}

int borderPenWidth(double dpi)
{
    return dpi > 0 ? (int(dpi) / 600) * 2 : 0;
}

QList<BorderLine> borderLines(const PageDecoration &decoration, const PageGeometry &geometry)
{
    const int l = geometry.leftBand;
    const int t = geometry.topBand;
    const int w = geometry.textArea.width();
    const int h = geometry.textArea.height();
    const int dy = geometry.pixelsY(decoration.borderOffset);
    const int dx = geometry.pixelsX(decoration.borderOffset);
    const int penY = borderPenWidth(geometry.dpiY);
    const int penX = borderPenWidth(geometry.dpiX);

    QList<BorderLine> lines;
    if (decoration.borders & PageBorder::Top)
        lines.append({QLine(l - dy, t - dy, l + w + dy, t - dy), penY});
    if (decoration.borders & PageBorder::Bottom)
        lines.append({QLine(l - dy, t + h + dy, l + w + dy, t + h + dy), penY});
    if (decoration.borders & PageBorder::Left)
        lines.append({QLine(l - dx, t - dx, l - dx, t + h + dx), penX});
    if (decoration.borders & PageBorder::Right)
        lines.append({QLine(l + w + dx, t - dx, l + w + dx, t + h + dx), penX});
    return lines;
}

void decoratePage(QPainter &painter, const PageDecoration &decoration, const PageGeometry &geometry,
                  const PlaceholderValues &values)
{
    painter.save();
    const QRect printable = printableArea(geometry);
    const QFont font = headerFooterFont(decoration.font);
    const QPen textPen(headerFooterColor(decoration.fontColor));
    painter.setFont(font);
    const int height = lineHeight(font, painter.device());

    if (drawsHeader(decoration)) {
        painter.save();
        painter.setClipRect(QRect(0, 0, printable.width(), geometry.topBand), Qt::IntersectClip);
        painter.setPen(textPen);
        // Centred in the top band, as an offset from the text area's top.
        const int y = nearest((geometry.topBand - height) / 2.0) - geometry.topBand;
        drawColumnLine(painter, decoration.header, decoration.headerFormat, geometry, y, values,
                       decoration.defaultColumnWidth);
        painter.restore();

        if (!decoration.logo.isNull()) {
            painter.save();
            painter.setClipRect(printable, Qt::IntersectClip);
            drawLogo(painter, logoRect(decoration, geometry, height), decoration.logo);
            painter.restore();
        }
    }

    if (drawsFooter(decoration)) {
        painter.save();
        const int bandTop = geometry.textArea.top() + geometry.textArea.height();
        painter.setClipRect(QRect(0, bandTop, printable.width(), geometry.bottomBand), Qt::IntersectClip);
        painter.setPen(textPen);
        const int y = geometry.textArea.height() + (geometry.bottomBand - height) / 2;
        drawColumnLine(painter, decoration.footer, decoration.footerFormat, geometry, y, values,
                       decoration.defaultColumnWidth);
        painter.restore();
    }

    const QList<BorderLine> lines = borderLines(decoration, geometry);
    if (!lines.isEmpty()) {
        painter.setClipRect(printable, Qt::IntersectClip);
        painter.setRenderHint(QPainter::Antialiasing, false);
        for (const BorderLine &border : lines) {
            painter.setPen(QPen(Qt::black, border.penWidth, Qt::SolidLine, Qt::SquareCap));
            painter.drawLine(border.line);
        }
    }
    painter.restore();
}

} // namespace print
