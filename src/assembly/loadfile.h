#pragma once

#include <QByteArray>
#include <QString>

// Reading a Template file as the merge sees it.
namespace assembly {

// The text as a list of lines joined again with CR LF after every line: every
// line end (CR, LF or CR LF) becomes CR LF and a non-empty text ends with CR
// LF. A NUL byte ends the text. Text that is already in that form is returned
// without a copy.
QByteArray normalizeLineEnds(QByteArray bytes);

struct LoadedFile {
    bool ok = false;
    QByteArray text;
    QString errorString; // the system's reason when !ok
};

// Reads a whole file and normalizes its line ends.
LoadedFile loadFileToString(const QString &path);

} // namespace assembly
