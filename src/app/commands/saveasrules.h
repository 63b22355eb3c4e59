#pragma once

// How Save As picks the kind of file to write from the name the user typed.
// Pure functions, so the rules are tested without a window.

#include <QString>

enum class SaveFamily {
    RichText, // ".RTF", ".TEM", ".INF" and their pieces (".R", ".TE", a lone ".")
    Text, // ".TXT", ".TX", ".T"
    Html, // ".HTM", ".HTML", ".H", ".HT"
    Unsupported, // anything else, or no extension
};

// The extension of `path` in upper case with its dot: the text from the last
// "." that stands after the last "/". Empty when the file name has no dot.
QString saveExtension(const QString &path);

// The family of `path`. The extension is looked up as a piece of the text
// ".RTF.TEM.INF", then of ".TXT", then of ".HTM.HTML", so abbreviations that
// users typed for years keep choosing the same kind of file.
SaveFamily saveFamily(const QString &path);
