#pragma once

// The arithmetic of a printed page: from the printer's resolution, its paper
// and printable rectangles and the margins in the measure unit, the bands
// around the text area and the text area itself, in device pixels. It is a
// pure function of those numbers so that it can be checked against any
// printer, real or made up, without a print job.

#include "print/printtypes.h"

#include <QRect>
#include <QSize>
#include <QSizeF>

class QPrinter;

namespace print {

// What the page arithmetic needs to know about a printer. All rectangles are
// in device pixels with the paper's corner as origin; the printable rectangle
// is the part of the paper the printer can reach (for a PDF, the whole sheet).
struct PrinterMetrics
{
    double dpiX = 0;
    double dpiY = 0;
    QRect paperRect;
    QRect printableRect;

    // The numbers of a real printer in its current page layout.
    static PrinterMetrics of(const QPrinter &printer);
};

// The four margins, each the distance of the text area from its paper edge,
// in the measure unit.
struct PageMargins
{
    double top = 30.0;
    double bottom = 25.0;
    double left = 25.0;
    double right = 15.0;
};

struct PageGeometry
{
    MeasureUnit unit = MeasureUnit::Millimeters;
    double dpiX = 0;
    double dpiY = 0;

    // Sizes in the measure unit.
    QSizeF paperSize;
    QSizeF printableSize;
    double gutterTop = 0;
    double gutterBottom = 0;
    double gutterLeft = 0;
    double gutterRight = 0;

    // Device pixels. The printable origin is measured from the paper's
    // corner; the bands and the text area from the printable origin.
    QSize paperPixels;
    QPoint printableOrigin;
    QSize printablePixels;
    int leftBand = 0;
    int rightBand = 0;
    int topBand = 0;
    int bottomBand = 0;
    QRect textArea;
    int lineHeight = 0; // of the header and footer, device pixels

    // A length in the measure unit as device pixels, to the nearest integer.
    int pixelsX(double length) const { return toPixels(length, unit, dpiX); }
    int pixelsY(double length) const { return toPixels(length, unit, dpiY); }

    // True when the margins leave room for text.
    bool hasTextArea() const { return textArea.width() > 0 && textArea.height() > 0; }

    // The text area in twips (1/1440 inch) of the device, each side
    // truncated, as the page renderer wants it.
    QRect textAreaTwips() const;

    static PageGeometry compute(const PrinterMetrics &printer, MeasureUnit unit, const PageMargins &margins,
                                int headerLineHeight);
};

} // namespace print
