#pragma once

#include <QRectF>

#include <utility>

class QTextDocument;

// The character positions [first, end) of the blocks that meet `clip`
// (document coordinates) in the editor's layout, found by halving the
// document rather than by walking it: Qt's own hit test walks the laid-out
// document from its start, which in a long document costs more than the
// paint it serves. Blocks past what the lazy layout has reached count as
// below the view and are never laid out here. The range is generous by a
// block or a table at either end; it is the whole document when nothing in
// view is laid out yet.
std::pair<int, int> blocksInView(const QTextDocument &document, const QRectF &clip);
