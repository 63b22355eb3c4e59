#pragma once

namespace html {

// Character codes ("\'hh") are bytes of the code page that the font's
// character set names. Western text keeps its bytes (the page is written in
// that code page); the other single-byte code pages are decoded, so that a
// Cyrillic or Greek letter is never shown as the Western letter of its byte.

constexpr int WesternCodePage = 1252;
constexpr int SymbolCodePage = 42; // symbol fonts: bytes are glyph numbers

// The code page of an RTF font character set ("\fcharsetN"); the document's
// ANSI code page ("\ansicpgN") for the default and ANSI sets and unknown ones.
int codePageForCharset(int charset, int ansiCodePage);

// Unicode values of bytes 0x80 to 0xFF in a single-byte Windows code page
// other than the Western one (0 for an undefined byte); nullptr when the
// code page is not decoded.
const char16_t *upperHalf(int codePage);

// The capital of a small letter of the Latin-1, Latin Extended-A, Greek and
// Cyrillic ranges; any other character unchanged.
char32_t simpleUpper(char32_t c);

} // namespace html
