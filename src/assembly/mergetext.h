#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <functional>

// How the merge reads the bytes of a template and of a value: which bytes are
// text a reader shows and which are RTF markup, and how a value is made safe
// to put into an RTF source.
namespace assembly {

// Whether a byte starts a two-byte character of the template's code page.
using LeadByteTest = std::function<bool(unsigned char)>;
// Whether a control word (its letters only, no parameter) may act in a value.
using ControlWordTest = std::function<bool(QByteArrayView word)>;

// The reader takes text that starts with "{\rtf" as RTF and anything else as
// plain text; the merge decides the same way.
bool isRtfTemplate(QByteArrayView text);

struct TextRules {
    bool rtf = true;
    LeadByteTest isLeadByte; // empty: a single-byte code page
};

// The control words a value may use: line and paragraph breaks, tabs, special
// characters, and character and paragraph formatting. Destinations, tables,
// "\bin" and anything that would swallow the template after the value are
// not among them.
bool isValueControlWord(QByteArrayView word);

// A value as it may go into an RTF source without breaking it. Braces that
// balance within the value stay (a value may hold a group); every other
// brace is escaped. A backslash that starts no control word `isKnown`
// accepts, and no "\'hh" or "\~ \- \_ \{ \} \\", is written as "\\". A
// two-byte character whose trail byte is '\', '{' or '}' is written as two
// "\'hh". A value that ends in a control word gets its delimiter, and a
// "\uN" at the very end its fallback character, so that nothing of the
// template after the value is read as part of them. Escaping an escaped
// value changes nothing.
QByteArray escapeValueRtf(QByteArrayView encodedValue, const LeadByteTest &isLeadByte = {},
    const ControlWordTest &isKnown = isValueControlWord);

// Bytes taken by up to `characters` text characters at the start of `text`,
// stopping at the first markup: what overwrite mode may overwrite after a
// token. In RTF a text character is a byte that is not '\', '{', '}', CR or
// LF, a "\'hh", or a control symbol other than "\*"; in plain text any byte
// but a line end. A two-byte character is one text character either way.
qsizetype overwritableLength(QByteArrayView text, qint64 characters, const TextRules &rules);

// A value's length in the same text characters: each "\'hh", "\uN" with its
// fallback character, control symbol, and control word that stands for a
// character ("\par", "\line", "\tab", dashes, quotes) counts one; other
// control words and braces count nothing.
qint64 textLength(QByteArrayView value, const TextRules &rules);

} // namespace assembly
