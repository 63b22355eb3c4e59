// The window's printer on one document: printing it into a PDF file
// (RichPrinter with its margins, header and footer), or rendering its
// preview pages into a page store as the preview window does. Prints the
// time to the first page and to the end, and the page count.
//
//   bench_print FILE.rtf print OUT.pdf
//   bench_print FILE.rtf preview

#include "documents/documentreader.h"
#include "print/pagestore.h"
#include "print/printdialogs.h"
#include "print/richprinter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPicture>
#include <QPrinter>
#include <QTextDocument>

#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3 || (args[2] == QLatin1String("print") && args.size() < 4)) {
        std::fprintf(stderr, "usage: bench_print FILE.rtf print OUT.pdf | preview\n");
        return 2;
    }
    QFile file(args[1]);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(args[1]));
        return 1;
    }
    QTextDocument document;
    documents::readDocument(document, file.readAll());

    print::ScriptedPrintDialogs dialogs;
    print::RichPrinter printer(dialogs, QString());
    printer.setShowProgress(false);
    QElapsedTimer clock;
    qint64 first = -1;
    int pages = 0;
    QObject::connect(&printer, &print::RichPrinter::newPage, [&] {
        if (++pages == 2)
            first = clock.elapsed(); // page 1 is drawn when page 2 starts
    });
    clock.start();
    if (args[2] == QLatin1String("preview")) {
        print::PageStore store(true);
        pages = 0;
        printer.renderPreview(document, [&](const QPicture &page) {
            store.store(page);
            if (store.count() == 1)
                first = clock.elapsed();
        });
        pages = store.count();
    } else {
        printer.printer().setOutputFormat(QPrinter::PdfFormat);
        printer.printer().setOutputFileName(args[3]);
        printer.printRichEdit(document, 1);
    }
    std::printf("first page %lld ms\nall %d pages %lld ms\n", first, pages, clock.elapsed());
    return 0;
}
