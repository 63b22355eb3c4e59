#pragma once

// Which kind of file a file name asks for. One table serves the window and
// quorin-batch; they differ only in how forgiving they are about the name,
// and each says so by the policy it passes.

#include <QString>

#include <optional>

namespace documents {

enum class FileFormat {
    Rtf, // the document with its formatting
    Text, // plain text, UTF-8
    Html, // a web page made from the document's RTF
    Pdf, // the document laid out on its pages
};

enum class FormatPolicy {
    // Save As in the window: the extension is looked up as a piece of
    // ".RTF.TEM.INF", then ".TXT", then ".HTM.HTML", then ".PDF", so the
    // abbreviations users have typed for years (".R", ".TE", ".HT", a lone
    // ".") keep choosing the same kind of file.
    SaveAs,
    // quorin-batch: only a whole extension of that table counts
    // (.rtf .tem .inf, .txt, .htm .html, .pdf, any case); a script that names
    // anything else gets an error rather than a guess.
    CommandLine,
};

// The extension of `path` in upper case with its dot: the text from the last
// "." that stands after the last "/". Empty when the file name has no dot.
QString fileExtension(const QString &path);

// The format `path` names under `policy`; nothing when it names none.
std::optional<FileFormat> formatForFileName(const QString &path, FormatPolicy policy);

// The extensions the command line accepts, for its messages.
QString commandLineExtensions();

} // namespace documents
