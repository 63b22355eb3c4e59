#pragma once

// A document as the bytes of a file, in memory: what the window's Save As and
// quorin-batch write, byte for byte the same.

#include "documents/fileformat.h"
#include "documents/pdfexport.h"
#include "html/rtftohtml.h"

#include <QByteArray>
#include <QByteArrayView>

class QTextDocument;

namespace documents {

struct ExportOptions {
    int codePage = 1252; // of the RTF written (also on the way to HTML)
    int lcid = 1033; // \deflang of the RTF written
    bool plainRtf = false; // language-neutral keywords only
    html::Options html; // for Html; an empty title means "$$$"
    PdfOptions pdf; // for Pdf
};

// The window's defaults: a pane writes in the locale's language and its code
// page, so quorin-batch does as well and gives the window's bytes.
ExportOptions localeExportOptions();

// Rtf: our RTF writer. Text: the document's plain text in UTF-8.
// Html: our RTF writer first, then the HTML converter over that RTF, so a
// page looks the same whatever program wrote the file it was read from.
// Pdf: the document laid out on its page (pdfexport.h).
// Throws DocumentError when the converter fails.
QByteArray exportDocument(const QTextDocument &document, FileFormat format,
    const ExportOptions &options = {});

// The HTML converter in memory. The page's title is options.title, or "$$$"
// when that is empty, as the window's Save As has always titled its pages
// (no file of that name is written). Throws DocumentError when the
// conversion fails: a caller never gets a partial page to write.
QByteArray htmlPageFromRtf(QByteArrayView rtf, const html::Options &options);

} // namespace documents
