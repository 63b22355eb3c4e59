#pragma once

#include <QByteArray>
#include <QChar>
#include <QStringView>

#include <functional>

// Turning a value line into the bytes that go into the RTF source.
namespace assembly {

// One value line to the bytes to insert, in the template's code page. RTF in
// a value acts as RTF; the merge escapes what would break the document
// (escapeValueRtf).
using ValueEncoder = std::function<QByteArray(QStringView)>;

// Whether the target code page holds a character, and the code page's bytes
// of a run of characters it holds.
using CanEncode = std::function<bool(QChar)>;
using Encode = std::function<QByteArray(QStringView)>;

// An encoder that writes what the code page holds through `encode` and every
// other UTF-16 unit as an RTF Unicode escape "\uN?", so that a name with a
// character outside the code page never turns into question marks.
ValueEncoder makeValueEncoder(CanEncode canEncode, Encode encode);

// "\uN?" for one UTF-16 unit; units above 32767 are written as negative
// numbers, as RTF's signed 16-bit parameter requires.
QByteArray unicodeEscape(char16_t unit);

// ISO 8859-1 with escapes for the rest; for tests and tools without code pages.
ValueEncoder latin1ValueEncoder();

} // namespace assembly
