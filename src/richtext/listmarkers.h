#pragma once

#include <QColor>
#include <QRectF>
#include <QString>

#include <limits>

class QPainter;
class QTextBlock;
class QTextBlockFormat;
class QTextDocument;
class QTextListFormat;

// The markers of the lists read from RTF. Qt 6.4 numbers every list from 1,
// draws bullets only as discs, circles and squares, and puts the marker
// right against the text; word processors start where the list says
// (prop::NumberingStart), draw the bullet character the list names
// (prop::ListBullet) and put the marker at the start of the item's hanging
// first line (ListTextIndent). So the items of those lists switch Qt's
// marker off (a block format may override its list's style, and an
// undefined style draws nothing), and these functions draw it instead. The
// editor and the page renderer call paintListMarkers() after the document
// has drawn itself.
namespace richtext {

// Switches Qt's marker off for a list item's block format.
void hideQtMarker(QTextBlockFormat &format);

// The marker of a list item as it is shown ("7.", "(g)", "–"); empty for a
// block outside a list.
QString listMarkerText(const QTextBlock &block);

// Paints the markers of the items whose own marker is off and which meet
// `clip`, given in document coordinates, as the painter is set up for the
// document's layout. `textColor` is for markers whose paragraph names none.
// Only items that start in [first, end) are looked at: a caller that lays
// the document out as it goes gives the range it has laid out, and a page
// gives its own range, so that only that page's blocks are walked.
void paintListMarkers(QPainter &painter, const QTextDocument &document, const QRectF &clip,
                      const QColor &textColor = Qt::black, int first = 0,
                      int end = std::numeric_limits<int>::max());

} // namespace richtext
