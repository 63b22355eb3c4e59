#pragma once

// Reading a file into a document, the same way for the window's panes and for
// quorin-batch.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class QTextDocument;

namespace documents {

// The whole file. Throws DocumentError (`Cannot open file "...": reason`,
// or `Cannot read file ...`) when it cannot be read.
QByteArray readFileBytes(const QString &path);

struct ReadOptions {
    // For text that is neither RTF, UTF-8 nor UTF-16 with a byte-order mark,
    // and for RTF bytes whose document names no code page.
    int codePage = 1252;
    // Read RTF with language-neutral keywords only.
    bool plainRtf = false;
};

// The window's defaults: a pane reads in the code page of the locale's
// language, so quorin-batch does as well and gives the window's documents.
ReadOptions localeReadOptions();

// Replaces the document's content with `bytes`: RTF when the bytes are RTF,
// else text (UTF-16 with a byte-order mark, UTF-8, or the code page).
void readDocument(QTextDocument &document, QByteArrayView bytes, const ReadOptions &options = {});

} // namespace documents
