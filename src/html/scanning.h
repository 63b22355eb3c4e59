#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace html {

struct Conversion;

// A decimal number as RTF writes it ("24", "-360"); `fallback` when the text
// is not one or does not fit an int.
int toInt(std::string_view text, int fallback = 0);
// The digits at the front of text as a count, saturating instead of
// overflowing; 0 when there are none.
long long leadingCount(std::string_view text);

inline bool isLower(char c)
{
    return c >= 'a' && c <= 'z';
}
// Value of a hexadecimal digit, or -1.
inline int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

inline bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}
inline bool isWordChar(char c)
{
    return isLower(c) || isDigit(c) || c == '-';
}
// A character that continues a control word. Words start with a small
// letter, but some programs write capitals inside them ("\mmathPr"); taken
// for text, those capitals would be glued to the next word.
inline bool continuesWord(char c)
{
    return isWordChar(c) || (c >= 'A' && c <= 'Z');
}

// How a scanner gets more text when it runs off the end of the current line.
enum class LineMode {
    Replace, // the next line replaces the current one
    Append,  // the next line is joined to it (the table's look-ahead)
};

struct ControlWord
{
    std::string text; // letters and parameter, e.g. "fs24"
    std::size_t end;  // position just after the text (before its delimiter)
    std::size_t next; // where scanning goes on: after a space delimiter, or at
                      // the start of the next line when the word ended its line
    bool endedLine;
};

// Reads the control word whose first letter is at `pos` of the current line.
ControlWord readControlWord(Conversion &c, std::size_t pos, LineMode mode);

// Consumes the rest of a group. On entry the current line starts inside the
// group; on return it starts with the group's closing "}", or is empty when
// the input ended first.
void skipGroup(Conversion &c);

// Position of the "}" that closes the group in which `pos` lies, joining
// further lines to the current one as needed; npos when the input ends.
std::size_t findGroupEnd(Conversion &c, std::size_t pos);

// Skips `count` characters of \bin data from `pos`; a line end inside them
// counts as one character. Returns the position after them; the current line
// is empty when the input ended first.
std::size_t skipBinary(Conversion &c, std::size_t pos, long long count, LineMode mode);

// The character reference for \uN, or "" while the first half of a surrogate
// pair waits for its second half in `highSurrogate`.
std::string unicodeReference(int value, int &highSurrogate);

// \uN (N may be negative); \ucN; \binN.
bool isUnicodeWord(std::string_view word);
// Length of the "u" and its number in a Unicode word. The scanner takes a
// word's letters after its digits as part of it, so in "\u945a" the "a"
// (the fallback character) follows the number inside the word.
std::size_t unicodeWordLength(std::string_view word);
bool isUnicodeSkipWord(std::string_view word);
bool isBinaryWord(std::string_view word);

} // namespace html
