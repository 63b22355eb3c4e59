#pragma once

namespace html {

struct CharState;
struct Conversion;

// Converts one RTF table, rows of "\intbl" paragraphs with "\cell" and
// "\row", into an HTML table. Called with the current line just after the
// "\trowd" word; returns with the current line at the text the group reader
// reads next: the first "\pard" after the table, which starts the
// paragraphs that follow it. The table formats with a state of its own; it
// shares with the state around it only the font that decodes character
// codes, which the text after the table goes on in.
void convertTable(Conversion &c, CharState &around);

} // namespace html
