#pragma once

// Where places of a template's source show in the document the template
// reads as.

#include "documents/templatesource.h"

#include <QByteArray>

#include <vector>

namespace documents {

// For each byte offset in `offsets` (each the offset of an "@" in the merge
// text of `source`), the character position in the document the reader
// makes of the template (a paragraph end counting one), or -1 where that
// "@" shows nowhere (a font table, a page header, a picture's data ...).
//
// In RTF each of those "@" is replaced, before reading, by a group holding
// three private-use characters that number it ("{\uc1\uN?\uN?\uN?}"); the
// characters found in the document then say, in order, where each "@"
// went and which "@" it was, so no token's place is guessed from a search
// of the text. Each marker stands where its "@" stood and is three
// characters long, so positions after it shift by two per marker before.
// An "@" that is part of an escape ("\@") or of binary data keeps its
// place unmarked and gets -1. A text template needs no reader: the
// position is the number of characters before the "@".
std::vector<int> textPositions(
    const TemplateSource &source, bool rtf, int codePage, const std::vector<qsizetype> &offsets);

} // namespace documents
