#pragma once

// What a printer draws on every page before the text: a header line centred
// in the top band with an optional logo below it, a footer line centred in
// the bottom band, and border lines around the text area.

#include "print/placeholders.h"
#include "print/printtypes.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QLine>
#include <QList>
#include <QRect>
#include <QString>

class QPainter;
class QPaintDevice;

namespace print {

struct PageGeometry;

struct PageDecoration
{
    QString header = QStringLiteral("{$TITLE}");
    QString headerFormat = QStringLiteral(">100");
    QString footer = QStringLiteral("Page {$PAGE}");
    QString footerFormat = QStringLiteral(">100");
    QFont font = QFont(QStringLiteral("Courier New"), 10);
    // The colour of header and footer; white prints black (see
    // headerFooterColor).
    QColor fontColor = Qt::black;
    QImage logo;
    // In the measure unit, scaled by the ratio of text area to paper.
    double logoTop = 0;
    double logoLeft = 0;
    double logoWidth = 25;
    double logoHeight = 20;
    PageBorders borders;
    double borderOffset = 2.0; // outside the text area, in the measure unit
    double defaultColumnWidth = 0;
};

// Decorates one page. The painter is at the printable area's origin and
// its device has the geometry's resolution. Header and footer are clipped
// to their bands, so a band too small for its line cuts the line instead
// of printing over the text; borders further out than the bands reach are
// clipped to the printable area. The painter's state is left as found.
void decoratePage(QPainter &painter, const PageDecoration &decoration, const PageGeometry &geometry,
                  const PlaceholderValues &values);

// Whether the decoration puts anything in the top or bottom band. A header
// whose placeholders expand to nothing still counts (and brings the logo).
bool drawsHeader(const PageDecoration &decoration);
bool drawsFooter(const PageDecoration &decoration);

// The header/footer font as drawn on a device: its size stays in points,
// so it scales with the device's resolution. A font given in pixels is
// taken as pixels of a 96 dpi screen and turned into whole points.
QFont headerFooterFont(const QFont &font);
// A header must never print invisibly: white (or a transparent or invalid
// colour) becomes black.
QColor headerFooterColor(const QColor &color);
// Height plus external leading of the header/footer font on `device`.
int lineHeight(const QFont &font, QPaintDevice *device);

// Where the logo goes: just below a header line `lineHeight` high centred
// in the top band, at LogoLeft/LogoTop, LogoWidth x LogoHeight, each scaled
// by the text area's share of the paper.
QRect logoRect(const PageDecoration &decoration, const PageGeometry &geometry, int lineHeight);

// The pen width of border lines at `dpi`: 2 pixels per full 600 dpi; 0
// (the thinnest line the device draws) below 600 dpi.
int borderPenWidth(double dpi);

struct BorderLine
{
    QLine line;
    int penWidth = 0;
};
// The border lines the decoration asks for, BorderOffset outside the text
// area: top and bottom measured with the vertical resolution, left and
// right with the horizontal one.
QList<BorderLine> borderLines(const PageDecoration &decoration, const PageGeometry &geometry);

} // namespace print
