#include "print/pagegeometry.h"

#include <QPageLayout>
#include <QPrinter>

#include <cmath>

namespace print {

namespace {

constexpr double TwipsPerInch = 1440;

int twips(int pixels, double dpi)
{
    return dpi > 0 ? int(std::trunc(pixels * TwipsPerInch / dpi)) : 0;
}

} // namespace

PrinterMetrics PrinterMetrics::of(const QPrinter &printer)
{
    PrinterMetrics metrics;
    const int dpi = printer.resolution();
    metrics.dpiX = printer.logicalDpiX() > 0 ? printer.logicalDpiX() : dpi;
    metrics.dpiY = printer.logicalDpiY() > 0 ? printer.logicalDpiY() : dpi;
    // The printer works in full-page mode, so its own margins are zero; what
    // it cannot reach is what its page layout gives as minimum margins.
    const QPageLayout layout = printer.pageLayout();
    metrics.paperRect = layout.fullRectPixels(dpi);
    const QMarginsF minimum = layout.minimumMargins();
    QPageLayout reach(layout.pageSize(), layout.orientation(), minimum, layout.units());
    reach.setMode(QPageLayout::StandardMode);
    metrics.printableRect = reach.paintRectPixels(dpi);
    if (metrics.printableRect.isEmpty())
        metrics.printableRect = metrics.paperRect;
    return metrics;
}

QRect PageGeometry::textAreaTwips() const
{
    const int left = twips(textArea.left(), dpiX);
    const int top = twips(textArea.top(), dpiY);
    const int right = twips(textArea.left() + textArea.width(), dpiX);
    const int bottom = twips(textArea.top() + textArea.height(), dpiY);
    return QRect(left, top, right - left, bottom - top);
}

PageGeometry PageGeometry::compute(const PrinterMetrics &printer, MeasureUnit unit, const PageMargins &margins,
                                   int headerLineHeight)
{
    PageGeometry g;
    g.unit = unit;
    g.dpiX = printer.dpiX;
    g.dpiY = printer.dpiY;

    g.paperPixels = printer.paperRect.size();
    g.printableOrigin = printer.printableRect.topLeft() - printer.paperRect.topLeft();
    g.printablePixels = printer.printableRect.size();

    g.paperSize = QSizeF(fromPixels(g.paperPixels.width(), unit, g.dpiX),
                         fromPixels(g.paperPixels.height(), unit, g.dpiY));
    g.printableSize = QSizeF(fromPixels(g.printablePixels.width(), unit, g.dpiX),
                             fromPixels(g.printablePixels.height(), unit, g.dpiY));
    g.gutterLeft = fromPixels(g.printableOrigin.x(), unit, g.dpiX);
    g.gutterTop = fromPixels(g.printableOrigin.y(), unit, g.dpiY);
    g.gutterRight = g.paperSize.width() - g.printableSize.width() - g.gutterLeft;
    g.gutterBottom = g.paperSize.height() - g.printableSize.height() - g.gutterTop;

    g.lineHeight = qMax(0, headerLineHeight);
    g.leftBand = g.pixelsX(margins.left - g.gutterLeft);
    g.rightBand = g.pixelsX(margins.right - g.gutterRight);
    g.topBand = g.pixelsY(margins.top - g.gutterTop);
    g.bottomBand = qMax(g.pixelsY(margins.bottom - g.gutterBottom), g.lineHeight);

    g.textArea = QRect(g.leftBand, g.topBand, g.printablePixels.width() - g.leftBand - g.rightBand,
                       g.printablePixels.height() - g.topBand - g.bottomBand);
    return g;
}

} // namespace print
