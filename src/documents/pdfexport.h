#pragma once

// A document as a PDF file, in memory: what quorin-batch writes for a .pdf
// output, laid out and paginated as the window prints it.

#include <QByteArray>
#include <QString>

class QTextDocument;

namespace documents {

struct PdfOptions {
    // The file's title when the document has none of its own (the RTF's
    // title): callers pass the name of the file the document came from.
    QString title;
    // Dots per inch the pages are laid out at. Text stays text at any
    // resolution; a high one puts every glyph where its font's own metrics
    // place it, instead of on a coarse grid.
    int resolution = 1200;
};

// Lays the document out on its own page (richtext::pageSetup(): the paper
// size and margins its file gave, else RTF's Letter page) and draws it page
// by page through richtext::PageRenderer, which ends pages where the window's
// printing does (form feeds, page breaks before paragraphs, table rows).
// The document's own page headers and footers are drawn in the margins of
// every page, page numbers and counts filled in (richtext::PageBands).
// Text is drawn as text in embedded subsets of its fonts, so it can be
// selected, searched and extracted. An empty document gives one empty page;
// a page that could not take anything (which the renderer never returns)
// ends the document rather than repeating. Throws DocumentError when no PDF
// can be made.
QByteArray exportPdf(const QTextDocument &document, const PdfOptions &options = {});

} // namespace documents
