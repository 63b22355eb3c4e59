#pragma once

#include <QColor>
#include <QList>
#include <QRectF>
#include <QTextBlockFormat>

#include <limits>

class QPainter;
class QTextDocument;

// Paragraph borders, shading and tab leaders. Qt 6.4 keeps none of them in
// its layout: the reader stores them on the block format (textproperties.h)
// and paintParagraphDecor() draws them, as word processors do, after the
// document has drawn itself. Shading is also the block's background, which
// Qt fills behind the text; the painter only widens it to the box's edges
// and across the gaps between the paragraphs of one box.
namespace richtext {

// Numbered as the reader's border styles and kept in files as these numbers.
enum class BorderStyle : int { None, Single, Thick, Double, Dotted, Dashed };

// \tldot, \tlhyph, \tlul, \tlth, \tleq in that order.
enum class TabLeader : int { None, Dots, Hyphens, Underline, ThickLine, Equals };

struct ParagraphBorder
{
    BorderStyle style = BorderStyle::None;
    int width = 0;  // twips; 0: the thinnest line
    int space = 0;  // twips between the text and the line
    QColor color;   // invalid: the text's colour
    bool operator==(const ParagraphBorder &) const = default;
};

struct ParagraphDecor
{
    enum Side { Top, Left, Bottom, Right };
    ParagraphBorder sides[4];
    QColor background;  // \cbpat; invalid: white
    QColor pattern;     // \cfpat; invalid: black
    int shading = 0;    // share of the pattern colour, hundredths of a percent

    bool hasBorders() const;
    bool hasShading() const { return background.isValid() || shading > 0; }
    // The colour a reader sees: the pattern colour mixed into the background.
    QColor shadingColor() const;
    bool operator==(const ParagraphDecor &) const = default;
};

ParagraphDecor paragraphDecor(const QTextBlockFormat &format);
// Stores `decor` on the format, and its shading as the block's background.
void setParagraphDecor(QTextBlockFormat &format, const ParagraphDecor &decor);

// How much room, in twips, a border takes between its paragraph's text and
// the paragraph beside it: the line and its spacing from the text. Word
// processors add it to the space before or after the paragraph.
int borderRoom(const ParagraphBorder &border);

// Makes room for the top and bottom borders of the blocks that start in
// [first, end) and their neighbours: a box's first paragraph gets its top
// border's room added to its top margin, its last one the bottom border's
// to its bottom margin; paragraphs inside one box get none. The room given
// is kept on the format apart from the margins, so that running this again
// (after an edit) changes only what changed, and so that the format's own
// spacing can still be told (withoutBorderRoom()).
void applyBorderRoom(QTextDocument &document, int first = 0,
                     int end = std::numeric_limits<int>::max());
// The format with the room applyBorderRoom() added taken off its margins:
// the paragraph's own space before and after, as a file gives them.
QTextBlockFormat withoutBorderRoom(const QTextBlockFormat &format);

// The leaders of the format's tab positions, one per position; empty when
// there are none or when the positions have changed since they were set.
QList<TabLeader> tabLeaders(const QTextBlockFormat &format);
void setTabLeaders(QTextBlockFormat &format, const QList<TabLeader> &leaders);

// Paints the borders, widened shading and tab leaders of the blocks that
// start in [first, end) and meet `clip` (document coordinates, the painter
// set up for the document's layout). `textColor` is for lines and leaders
// whose paragraph names no colour.
void paintParagraphDecor(QPainter &painter, const QTextDocument &document, const QRectF &clip,
                         const QColor &textColor = Qt::black, int first = 0,
                         int end = std::numeric_limits<int>::max());

} // namespace richtext
