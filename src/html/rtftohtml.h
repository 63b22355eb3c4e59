#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// RTF to HTML export: turns the RTF that the editor writes into an HTML page.
// The converter reads its input line by line and writes the page as it goes,
// so memory stays small whatever the size of the document. All state belongs
// to one call: conversions may run side by side on different threads.
namespace html {

struct Options
{
    bool noFonts = false;         // the font table is read but no font faces are written
    bool optimize = false;        // remove empty and back-to-back tag pairs
    bool onlyDefiniteOpt = false; // with optimize: leave out the removal that can change a font face
    // Text of the page's TITLE. Empty: rtfToHtmlFile uses the input path as passed.
    std::string title;
};

// Options from the program's option strings: "noFonts", "optimize" and
// "onlyDefiniteOpt" switch their option on (exact, case-sensitive match);
// any other string is ignored.
Options optionsFromStrings(const std::vector<std::string> &strings);

struct Result
{
    bool ok = true;
    std::string error; // why the conversion failed; empty when ok
};

// Converts RTF bytes to an HTML page (lines end in CR LF). On an error in the
// body (a bad character code, a read error) the page is still finished with
// its tail and the error is returned.
Result rtfToHtml(std::istream &input, std::ostream &output, const Options &options);

// Converts a file. An input that cannot be opened creates no output. The page
// is written to a temporary file beside `outputPath` that replaces it at the
// end, so a failed write never destroys an older page of that name.
Result rtfToHtmlFile(const std::string &inputPath, const std::string &outputPath,
                     const Options &options);

} // namespace html
