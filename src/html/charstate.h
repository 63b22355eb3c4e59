#pragma once

#include <string>

namespace html {

// Formatting of one RTF group as the converter tracks it. Groups copy it on
// "{" and get the copy back on "}"; a difference means tags must be reopened.
struct CharState
{
    enum class Reset {
        Text,      // the eight character flags, font, colour and size
        Paragraph, // the alignment
        All,
    };
    static constexpr int NoColor = -1;

    bool hidden = false;
    bool caps = false;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool superscript = false;
    bool subscript = false;
    bool strike = false;
    int fontNumber = -1; // RTF font number, -1 when none was chosen
    int color = NoColor; // 0xRRGGBB
    int fontSize = -1;   // whole points, -1 when none was chosen
    bool alignRight = false;
    bool alignCenter = false;

    // Fallback characters that follow a \uN character (\ucN). It travels with
    // the group like RTF wants, but it is not formatting: equality ignores it
    // so that a \uc word never closes and reopens tags.
    int unicodeSkip = 1;
    // The font whose character set decodes character codes: the last "\fN",
    // also with the "noFonts" option and across the resets of table cells,
    // which drop the font's tag but not the language of the text. Not
    // formatting either, so equality ignores it.
    int codeFont = -1;

    void reset(Reset mode);
    bool operator==(const CharState &other) const;
};

// "#RRGGBB" with upper-case digits, or "none".
std::string colorString(int color);

} // namespace html
