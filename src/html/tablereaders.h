#pragma once

#include <cstddef>

namespace html {

struct Conversion;

// Readers of the font table, colour table and style sheet. Each starts at
// `start`, the position of the current line just after its keyword, and
// leaves the current line starting with the "}" that closes the table's
// group, for the group reader to consume. They join further lines where an
// entry needs them and always move past the keyword, so a damaged table
// cannot make the reader read it again.
void readFontTable(Conversion &c, std::size_t start);
void readColorTable(Conversion &c, std::size_t start);
void readStyleSheet(Conversion &c, std::size_t start);

} // namespace html
