#pragma once

// The pages the printer prints, as the bytes of a PDF file: what the
// window's Save As writes for a ".pdf" name, so that the file holds exactly
// the pages Print would give (margins, header, footer, logo and borders
// included), whichever printer is chosen for Print.

#include <QByteArray>

class QTextDocument;

namespace print {

class RichPrinter;

// Runs `printer` on `document` with its output sent to a private PDF file,
// then gives the printer back its own output (queue or file). Throws
// ELinePrinter as a print run does.
QByteArray printedPdf(RichPrinter &printer, const QTextDocument &document);

} // namespace print
