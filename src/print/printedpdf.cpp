#include "print/printedpdf.h"

#include "print/printtypes.h"
#include "print/richprinter.h"

#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>

namespace print {

namespace {

// Puts the printer's output back however the run ends: a PDF export must
// not turn the user's printer into a file.
class OutputKeeper
{
public:
    explicit OutputKeeper(QPrinter &printer)
        : m_printer(printer)
        , m_format(printer.outputFormat())
        , m_fileName(printer.outputFileName())
        , m_printerName(printer.printerName())
        , m_layout(printer.pageLayout())
        , m_resolution(printer.resolution())
    {
    }
    ~OutputKeeper()
    {
        m_printer.setOutputFileName(m_fileName);
        m_printer.setOutputFormat(m_format);
        if (m_format == QPrinter::NativeFormat)
            m_printer.setPrinterName(m_printerName);
        m_printer.setPageLayout(m_layout);
        m_printer.setResolution(m_resolution);
    }

private:
    QPrinter &m_printer;
    QPrinter::OutputFormat m_format;
    QString m_fileName;
    QString m_printerName;
    QPageLayout m_layout;
    int m_resolution;
};

} // namespace

QByteArray printedPdf(RichPrinter &printer, const QTextDocument &document)
{
    QTemporaryDir folder;
    if (!folder.isValid())
        throw ELinePrinter(QStringLiteral("Not be able to print to a file."));
    const QString fileName = folder.filePath(QStringLiteral("pages.pdf"));
    {
        OutputKeeper keeper(printer.printer());
        // The paper, the orientation and the resolution the pages are laid
        // out at stay those of the chosen printer, so lines break where
        // they break on its paper.
        const QPageLayout layout = printer.printer().pageLayout();
        const int resolution = printer.printer().resolution();
        printer.printer().setOutputFormat(QPrinter::PdfFormat);
        printer.printer().setOutputFileName(fileName);
        printer.printer().setPageLayout(layout);
        printer.printer().setResolution(resolution);
        printer.printRichEdit(document, 1);
    }
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw ELinePrinter(QStringLiteral("Not be able to print to a file."));
    return file.readAll();
}

} // namespace print
