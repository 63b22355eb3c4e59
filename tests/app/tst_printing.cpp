// Print, Print Preview, Page Setup and Save As PDF through the real window:
// they work on the document pane whichever pane is shown, leave the document
// as it was, and Save As PDF writes the pages Print gives.

#include "mainformfixture.h"

#include "../documents/pdfreadback.h"
#include "app/chrome/speedbar.h"
#include "print/previewform.h"
#include "print/richprinter.h"
#include "testsupport.h"

#include <QPrinter>
#include <QPushButton>
#include <QToolButton>

namespace {

// A window whose document pane holds two pages (a page break between) and
// whose printer writes PDF files into `dir`.
struct Printing : MainFormFixture
{
    Printing()
    {
        document()->setPlainText(QStringLiteral("First page of the letter\fSecond page, signed"));
        document()->document()->setModified(false);
        printer().setShowProgress(false);
        printer().printer().setOutputFormat(QPrinter::PdfFormat);
        printer().printer().setOutputFileName(dir.filePath(QStringLiteral("printed.pdf")));
    }
    print::RichPrinter &printer() const { return *form->richPrinter1(); }
    QByteArray printed() const { return testsupport::readFile(dir.filePath(QStringLiteral("printed.pdf"))); }

    QTemporaryDir dir;
};

QList<QStringList> pageTexts(const QByteArray &pdf)
{
    QList<QStringList> pages;
    for (const pdfreadback::Word &word : pdfreadback::words(pdf)) {
        while (pages.size() <= word.page)
            pages.append(QStringList());
        pages[word.page].append(word.text);
    }
    return pages;
}

} // namespace

class TestPrinting : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        if (!pdfreadback::available())
            QSKIP("poppler-utils (pdftotext, pdfinfo) are not installed");
    }

    // Print from the menu and the toolbar, with the information pane in
    // front: the document pane's pages with the footer, nothing changed.
    void printsTheDocumentPane_data()
    {
        QTest::addColumn<bool>("toolbar");
        QTest::newRow("menu") << false;
        QTest::newRow("toolbar") << true;
    }
    void printsTheDocumentPane()
    {
        QFETCH(bool, toolbar);
        Printing f;
        f.form->paneArea()->showOnly(Pane::Information);
        const int revision = f.document()->document()->revision();
        f.printDialogs->setNextConfirm(true);
        if (toolbar)
            f.form->speedBar()->printButton()->click();
        else
            f.action("FilePrintItem")->trigger();
        QVERIFY2(f.errors().isEmpty(), qPrintable(f.errors().join(u'\n')));
        QCOMPARE(f.printDialogs->asked(), QStringList{QStringLiteral("print")});
        const QList<QStringList> pages = pageTexts(f.printed());
        QCOMPARE(pages.size(), 2);
        QCOMPARE(pages[0].mid(0, 4), (QStringList{"First", "page", "of", "the"}));
        QVERIFY(pages[0].join(u' ').contains(QStringLiteral("Page 1")));
        QVERIFY(pages[1].join(u' ').contains(QStringLiteral("Page 2")));
        QCOMPARE(f.document()->document()->revision(), revision);
        QVERIFY(!f.modified());
    }

    void cancelledPrintPrintsNothing()
    {
        Printing f;
        f.printDialogs->setNextConfirm(false);
        f.action("FilePrintItem")->trigger();
        QVERIFY(f.errors().isEmpty());
        QVERIFY(!QFile::exists(f.dir.filePath(QStringLiteral("printed.pdf"))));
    }

    // Save As with a .pdf name writes what Print gives; the document keeps
    // its name and stays unsaved, and the printer still prints where it did.
    void savedPdfIsThePrintedPages()
    {
        Printing f;
        f.document()->insertPlainText(QStringLiteral("Typed "));
        f.printDialogs->setNextConfirm(true);
        f.action("FilePrintItem")->trigger();
        const QString saved = f.dir.filePath(QStringLiteral("saved.pdf"));
        f.choose("FileSaveAsItem", saved);
        QVERIFY2(f.errors().isEmpty(), qPrintable(f.errors().join(u'\n')));
        QCOMPARE(pageTexts(testsupport::readFile(saved)), pageTexts(f.printed()));
        QVERIFY(f.modified());
        QCOMPARE(f.form->workspace().documentName(), QStringLiteral("untitled"));
        QCOMPARE(f.printer().printer().outputFileName(), f.dir.filePath(QStringLiteral("printed.pdf")));
    }

    // Preview from the menu and the toolbar: a window over the document
    // pane's pages; closing it leaves no page file behind.
    void previewShowsThePages()
    {
        Printing f;
        f.form->paneArea()->showOnly(Pane::Information);
        f.action("PrintPreview1")->trigger();
        QVERIFY2(f.errors().isEmpty(), qPrintable(f.errors().join(u'\n')));
        auto *preview = qobject_cast<print::PreviewForm *>(QApplication::activeWindow());
        if (!preview) {
            for (QWidget *window : QApplication::topLevelWidgets())
                if (auto *form = qobject_cast<print::PreviewForm *>(window))
                    preview = form;
        }
        QVERIFY(preview);
        QCOMPARE(preview->pageStore().count(), 2);
        QPointer<print::PreviewForm> alive(preview);
        preview->close();
        QTRY_VERIFY(!alive);
        QVERIFY(!f.modified());
    }

    void pageSetupAsksThePrinter()
    {
        Printing f;
        f.printDialogs->setNextPageSetup(false);
        f.form->speedBar()->pageSetupButton()->click();
        QCOMPARE(f.printDialogs->asked(), QStringList{QStringLiteral("pageSetup")});
        QVERIFY(f.errors().isEmpty());
        QCOMPARE(f.printDialogs->unexpected(), 0);
    }
};

QTEST_MAIN(TestPrinting)
#include "tst_printing.moc"
