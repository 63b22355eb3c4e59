#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Merge tokens in a template's RTF source: '@' immediately followed by
// decimal digits. Everything here counts bytes of the source, positions are
// zero-based, and a position of -1 means "none".
namespace assembly {

inline bool isDigit(int c)
{
    return c >= '0' && c <= '9';
}

// The shape of the token at the start of some text, found through
// `peek(k)`, which returns the byte at offset k or -1 past the end. Offset 0
// holds the '@' and offset 1 a digit.
struct TokenShape {
    qsizetype digits = 0; // the digits stand at offsets 1..digits
    // A digit follows the character after the digits (or follows a line end
    // right after that character): the token then takes one more character
    // and is no entry number.
    bool extra = false;
    qsizetype extraOffset = -1; // where that extra character stands

    qsizetype length() const { return 1 + digits + (extra ? 1 : 0); }
};

template <typename Peek> TokenShape scanToken(Peek peek)
{
    TokenShape shape;
    qsizetype k = 1;
    while (isDigit(peek(k)))
        ++k;
    shape.digits = k - 1;
    // k stands on the first character after the digits. When the character
    // after it is a line end, the check moves on to that line end: so
    // "@1\r\n2" is caught as well as "@1 2".
    qsizetype at = k;
    const int next = peek(at + 1);
    if (next == '\r' || next == '\n')
        ++at;
    if (isDigit(peek(at + 1))) {
        shape.extra = true;
        shape.extraOffset = at;
    }
    return shape;
}

// Position of the first '@' of the text when a digit follows it; -1 when the
// text has no '@' or its first '@' is not followed by a digit. Only the first
// '@' is examined: one that starts no token ends the merge.
qsizetype findToken(QByteArrayView text);

// The token at `at` (the position findToken gave): '@' and its digits, plus
// the extra character of TokenShape when there is one. That character is the
// one the scan stopped on, so in "@1\r\n2" it is the LF.
QByteArray extractToken(QByteArrayView text, qsizetype at);

struct TokenIndex {
    enum class Status {
        Ok,
        NotANumber, // extra character, or a number past 2147483647
        Zero, // "@0": no entry has that number
        Overflow, // 2N - 1 does not fit a signed 32-bit integer
    };
    Status status = Status::NotANumber;
    qint64 entry = 0; // N
    qint64 lineIndex = 0; // 2N - 1, the zero-based line of entry N's value
};

// The Information line a token selects. Only the first 99 characters after
// the '@' are read as the number, so a longer token is read by its first 99
// digits.
TokenIndex tokenLineIndex(QByteArrayView token);

struct TextRules;

// Replaces the first occurrence of `token` in `text` by `value`, which is
// put in as it stands (escaping it is the caller's business). Insert mode
// takes the token out and puts the value in its place. Overwrite mode counts
// in text characters (see MergeOptions::overwrite): a short value is padded
// with spaces to the token's length, a long one also replaces the text
// characters after the token up to the first markup, and the rest of it
// goes in before that markup. A token that does not occur leaves the text as
// it is.
QByteArray replaceToken(QByteArray text, QByteArrayView token, QByteArrayView value, bool overwrite,
    const TextRules &rules);

} // namespace assembly
