#pragma once

namespace html {

struct Conversion;

// Closes the open list item and every open list.
void closeLists(Conversion &c);

} // namespace html
