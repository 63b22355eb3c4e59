#pragma once

#include <QByteArrayView>

#include <cstdint>
#include <string_view>

// Splits RTF bytes into groups, control words, control symbols, hex bytes,
// text runs and \bin data. It keeps no state beyond its position, never
// allocates, and every call advances or reports the end, so a reader built on
// it cannot loop on bad input.
namespace richtext::rtf {

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

struct Token
{
    enum Type : std::uint8_t {
        End,
        GroupStart,
        GroupEnd,
        ControlWord,   // word = name, hasParam/param
        ControlSymbol, // param = the character after the backslash
        HexByte,       // \'hh: param = byte value, or -1 when the digits were not hex
        Text,          // word = a run of plain bytes (no CR, LF, braces or backslash)
        Binary,        // word = the bytes of \binN (N clamped to what is left)
    };
    Type type = End;
    bool hasParam = false;
    int param = 0;
    std::string_view word;
};

class Tokenizer
{
public:
    explicit Tokenizer(QByteArrayView data);

    Token next();

    // Consumes everything up to and including the '}' that closes the group
    // whose '{' was returned last, without looking at its content beyond the
    // braces, escapes and \bin data. Returns false when the data ends first.
    bool skipGroup();

    // After a text run ending in a double-byte lead byte: takes the next byte
    // as its trail unless it starts a hex escape, which then carries the
    // trail. Returns -1 when nothing was taken.
    int takeTrailByte();

    // Whether the bytes at the current position start with `text`.
    bool lookingAt(std::string_view text) const
    {
        return size_t(m_end - m_p) >= text.size() && std::string_view(m_p, text.size()) == text;
    }

    qsizetype position() const { return m_p - m_begin; }
    qsizetype size() const { return m_end - m_begin; }

    // Largest parameter kept; longer digit strings saturate here.
    static constexpr int MaxParam = 0x3fffffff;

private:
    Token controlWord();

    const char *m_begin;
    const char *m_p;
    const char *m_end;
};

} // namespace richtext::rtf
