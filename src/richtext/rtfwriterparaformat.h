#pragma once

#include <QByteArray>

class QTextBlockFormat;
class QTextListFormat;

namespace richtext {

class RtfColorTable;

// How far a list item's first line hangs when the item says nothing: the
// quarter inch rich-edit controls use, in px at 96 dpi.
constexpr qreal ListHangingIndent = 24;

// The paragraph control words that follow \pard for a block format:
// alignment, indents, spacing, line spacing, tab stops and the keep and
// page-break flags. Lengths on block formats are px at 96 dpi (15 twips);
// `indentWidth` is the document's width of one indent level, so Qt's
// indent levels come out as part of \li. For a list item `list` is its
// list's format: the list's indent is part of \li too, and the item hangs
// (\fi) by the room its marker takes.
QByteArray rtfParagraphProperties(const QTextBlockFormat &format, RtfColorTable &colors,
                                  qreal indentWidth, const QTextListFormat *list = nullptr);

} // namespace richtext
