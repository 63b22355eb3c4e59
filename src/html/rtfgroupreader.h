#pragma once

#include "html/charstate.h"

namespace html {

struct Conversion;

// Reads from the current position of the current line to the "}" that
// closes the current group, or to the end of the input, and writes the HTML
// of what it reads. The document is one call with the first line as the
// current line. Nesting is kept on a bounded stack of its own, so no
// document can exhaust the call stack.
void readGroup(Conversion &c, CharState &state);

} // namespace html
