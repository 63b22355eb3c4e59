#pragma once

#include <QByteArray>

class QTextDocument;

// Writing a QTextDocument as RTF in the style of a rich-edit control, the form
// other word processors and our HTML converter read best.
namespace richtext {

struct ExportOptions
{
    int codePage = 1252;     // \ansicpg and the code page of \'hh bytes
    int lcid = 1033;         // \deflang
    bool plainRtf = false;   // language-neutral keywords only (no \lang)
    bool includeObjects = true; // false: pictures and objects are left out
};

// The whole document, or the characters [from, to) of it (a selection; to =
// -1 means the end). Writing the same document twice gives identical bytes.
QByteArray toRtf(const QTextDocument &document, const ExportOptions &options = {});
QByteArray toRtf(const QTextDocument &document, int from, int to,
                 const ExportOptions &options = {});

} // namespace richtext
