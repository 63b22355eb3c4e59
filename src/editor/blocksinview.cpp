#include "editor/blocksinview.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextTable>

namespace {

bool laidOut(const QTextBlock &block)
{
    const QTextLayout *layout = block.layout();
    return layout && layout->lineCount() > 0;
}

// The first block of the outermost table holding `block`, or the block.
QTextBlock unitStart(const QTextBlock &block)
{
    QTextTable *outer = nullptr;
    // A table inside a cell has the enclosing table as its parent frame.
    for (QTextTable *table = QTextCursor(block).currentTable(); table;
         table = qobject_cast<QTextTable *>(table->parentFrame()))
        outer = table;
    return outer ? outer->firstCursorPosition().block() : block;
}

} // namespace

std::pair<int, int> blocksInView(const QTextDocument &document, const QRectF &clip)
{
    QAbstractTextDocumentLayout *layout = document.documentLayout();
    const int count = document.blockCount();
    // Whether a block lies wholly above the clip; a block not laid out yet
    // lies below it.
    const auto above = [&](const QTextBlock &block) {
        return laidOut(block) && layout->blockBoundingRect(block).bottom() < clip.top();
    };
    int low = 0;
    int high = count; // the first block not above, as far as halving tells
    while (low < high) {
        const int mid = low + (high - low) / 2;
        QTextBlock block = document.findBlockByNumber(mid);
        // Hidden blocks have no lines: judge by the next shown one.
        for (int guard = 0; guard < 64 && block.isValid() && !block.isVisible(); ++guard)
            block = block.next();
        if (block.isValid() && above(block))
            low = mid + 1;
        else
            high = mid;
    }
    QTextBlock first = document.findBlockByNumber(qMax(0, low - 1));
    if (!first.isValid())
        return {0, document.characterCount()};
    // Cells of one row end at different heights, so halving may stop a row
    // late: start from the table's start.
    first = unitStart(first);

    QTextBlock last = first;
    for (QTextBlock block = first; block.isValid(); block = block.next()) {
        last = block;
        if (!laidOut(block)) {
            if (block.isVisible())
                break;
            continue;
        }
        const QTextBlock start = unitStart(block);
        if (start == block && layout->blockBoundingRect(block).top() > clip.bottom())
            break;
    }
    // One more, for decoration that reaches across the border of the view.
    if (last.next().isValid())
        last = last.next();
    return {first.position(), last.position() + last.length()};
}
