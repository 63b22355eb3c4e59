#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

#include "assembly/messages.h"

// Reading a Template file as the merge sees it.
namespace assembly {

// A byte-order mark at the start of a file.
struct ByteOrderMark {
    enum class Encoding { None, Utf8, Utf16LE, Utf16BE };
    Encoding encoding = Encoding::None;
    qsizetype length = 0; // bytes of the mark
};
ByteOrderMark findByteOrderMark(QByteArrayView bytes);

// The text as a list of lines joined again with CR LF after every line: every
// line end (CR, LF or CR LF) becomes CR LF and a non-empty text ends with CR
// LF. The text ends at a NUL byte (readTemplateText refuses one that has more
// text after it). Text that is already in that form is returned without a
// copy.
QByteArray normalizeLineEnds(QByteArray bytes);

struct LoadedFile {
    bool ok = false;
    QByteArray text;
    QString errorString; // the system's reason when !ok
    // Set when the file was read but cannot be merged as it stands.
    std::optional<AssemblyMessage> failure;
};

// A Template file's bytes as the merge reads them. A byte-order mark is
// dropped. A UTF-16 file becomes 8-bit text again: ASCII as it is, the rest
// as "\uN?" in RTF and as UTF-8 in plain text. NUL bytes that only pad the
// end are dropped; a NUL with text after it is refused, since the text would
// end there. Line ends become CR LF.
LoadedFile readTemplateText(QByteArray bytes);

// Reads a whole file through readTemplateText.
LoadedFile loadFileToString(const QString &path);

} // namespace assembly
