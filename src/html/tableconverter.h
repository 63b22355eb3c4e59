#pragma once

namespace html {

struct Conversion;

// Converts one RTF table, rows of "\intbl" paragraphs with "\cell" and
// "\row", into an HTML table. Called with the current line just after the
// "\trowd" word; returns with the current line at the text the group reader
// reads next: the first "\pard" after the table, which starts the
// paragraphs that follow it.
void convertTable(Conversion &c);

} // namespace html
