#pragma once

#include <QRectF>

class QPainter;
class QTextDocument;

namespace richtext {

// Renders as much of a document as fits a rectangle, the way a printer asks
// for one page at a time. `rectTwips` is the target rectangle in twips on the
// painter's device; `firstChar` is the index of the first character to render.
// Whole lines only; a form feed (U+000C) ends the page after it. With render
// false nothing is drawn, only measured. Returns the index of the first
// character not rendered, or the document's character count when all of it
// was rendered. Each call lays out a copy of the document; to print many
// pages, use one PageRenderer (pagerenderer.h), which keeps its layout.
int formatRange(QPainter *painter, const QTextDocument &document, const QRectF &rectTwips,
                int firstChar, bool render = true);

} // namespace richtext
