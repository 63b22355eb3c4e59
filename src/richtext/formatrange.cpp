#include "richtext/formatrange.h"

#include "richtext/pagerenderer.h"

namespace richtext {

int formatRange(QPainter *painter, const QTextDocument &document, const QRectF &rectTwips,
                int firstChar, bool render)
{
    PageRenderer renderer(document);
    return renderer.formatRange(painter, rectTwips, firstChar, render);
}

} // namespace richtext
