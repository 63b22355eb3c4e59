#pragma once

#include <QStringView>

// Fonts whose characters are pictures rather than letters: Symbol and
// Wingdings. Documents give their characters by code (a bullet is 0xB7 in
// Symbol, a check mark 0xFC in Wingdings), sometimes moved into the private
// area at U+F000. Neither font need be installed here, so where Unicode has
// the same character it is shown as that character in an ordinary face.
namespace richtext {

// True for a face whose codes are symbols, not text in a code page.
bool isSymbolFont(QStringView family);

// The Unicode character that a code (0x20 to 0xFF, or the same moved to
// U+F020 to U+F0FF) stands for in a symbol face; 0 when the face is not
// one we know or the code has no standard counterpart.
char16_t symbolToUnicode(QStringView family, int code);

} // namespace richtext
