// A real print job: the window's printer prints a sample through a CUPS
// queue whose backend writes PDF files (cups-pdf), and the pages that come
// out are the pages Save As PDF writes. Skips, saying why, where CUPS, the
// PDF backend or a scheduler cannot be had.

#include "../documents/pdfreadback.h"
#include "documents/documentreader.h"
#include "print/printdialogs.h"
#include "print/printedpdf.h"
#include "print/richprinter.h"

#include <algorithm>

#include <QDir>
#include <QImage>
#include <QElapsedTimer>
#include <QFile>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

namespace {

const QString Queue = QStringLiteral("QuorinTestPDF");

bool run(const QString &program, const QStringList &arguments, QString *output = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000))
        return false;
    if (output)
        *output = QString::fromLocal8Bit(process.readAllStandardOutput());
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool schedulerRunning()
{
    QString out;
    return run(QStringLiteral("lpstat"), {QStringLiteral("-r")}, &out) && !out.contains(QLatin1String("not running"));
}

// Page `page` (from 1) at 72 dpi in grey.
QImage pageImage(const QByteArray &pdf, int page)
{
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("in.pdf")));
    if (!file.open(QIODevice::WriteOnly) || file.write(pdf) != pdf.size())
        return {};
    file.close();
    const QString prefix = dir.filePath(QStringLiteral("page"));
    if (!run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-gray"),
                                          QStringLiteral("-singlefile"), QStringLiteral("-f"), QString::number(page),
                                          QStringLiteral("-l"), QString::number(page), file.fileName(), prefix}))
        return {};
    return QImage(prefix + QStringLiteral(".pgm")).convertToFormat(QImage::Format_Grayscale8);
}

// How many of `lines` start where none of `others` starts (within 3
// pixels either way).
int unmatched(const QList<QPoint> &lines, const QList<QPoint> &others)
{
    return int(std::count_if(lines.begin(), lines.end(), [&others](const QPoint &line) {
        return std::none_of(others.begin(), others.end(), [&line](const QPoint &other) {
            return qAbs(other.x() - line.x()) <= 3 && qAbs(other.y() - line.y()) <= 3;
        });
    }));
}

// Where each line of ink starts, from the top, and where its ink starts
// from the left: the page's layout, whatever rasteriser drew the glyphs.
QList<QPoint> lineStarts(const QImage &image)
{
    QList<QPoint> starts;
    bool inLine = false;
    for (int y = 0; y < image.height(); ++y) {
        const uchar *row = image.constScanLine(y);
        const uchar *ink = std::find_if(row, row + image.width(), [](uchar grey) { return grey < 160; });
        const bool hasInk = ink != row + image.width();
        if (hasInk && !inLine)
            starts.append(QPoint(int(ink - row), y));
        else if (hasInk)
            starts.last().setX(qMin(starts.last().x(), int(ink - row)));
        inLine = hasInk;
    }
    return starts;
}

} // namespace

class TestCupsPrint : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void printedPagesAreTheSavedPdfPages();
    void cleanupTestCase();

private:
    QString m_ppd;
    bool m_queueAdded = false;
};

void TestCupsPrint::initTestCase()
{
    if (!pdfreadback::available())
        QSKIP("poppler-utils (pdfinfo, pdftotext) are not installed");
    for (const char *tool : {"lpadmin", "lpstat", "cupsd"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()
            && !QFile::exists(QStringLiteral("/usr/sbin/") + QString::fromLatin1(tool)))
            QSKIP(qPrintable(QStringLiteral("CUPS is not installed (no %1): install the packages cups and "
                                            "printer-driver-cups-pdf to run this test")
                                 .arg(QString::fromLatin1(tool))));
    }
    for (const QString &ppd : {QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd"),
                               QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd")}) {
        if (QFile::exists(ppd)) {
            m_ppd = ppd;
            break;
        }
    }
    if (m_ppd.isEmpty() || !QFile::exists(QStringLiteral("/usr/lib/cups/backend/cups-pdf")))
        QSKIP("the cups-pdf backend is not installed: install printer-driver-cups-pdf to run this test");
    if (!schedulerRunning()) {
        // The scheduler detaches itself; starting it needs root.
        run(QStringLiteral("/usr/sbin/cupsd"), {});
        QElapsedTimer waited;
        waited.start();
        while (!schedulerRunning() && waited.elapsed() < 10000)
            QTest::qWait(200);
        if (!schedulerRunning())
            QSKIP("no CUPS scheduler is running and none could be started (it needs root)");
    }
    if (!QPrinterInfo::availablePrinterNames().contains(Queue)) {
        if (!run(QStringLiteral("lpadmin"), {QStringLiteral("-p"), Queue, QStringLiteral("-E"), QStringLiteral("-v"),
                                             QStringLiteral("cups-pdf:/"), QStringLiteral("-P"), m_ppd}))
            QSKIP("a cups-pdf print queue could not be added (lpadmin failed)");
        m_queueAdded = true;
    }
}

void TestCupsPrint::printedPagesAreTheSavedPdfPages()
{
    QTextDocument document;
    QFile sample(QStringLiteral(QUORIN_SOURCE_DIR "/samples/TenancyAgreement.tem"));
    QVERIFY(sample.open(QIODevice::ReadOnly));
    documents::readDocument(document, sample.readAll());
    QTextCursor end(&document);
    end.movePosition(QTextCursor::End);
    end.insertText(QStringLiteral("\fThe second page, after a page break"));
    document.setModified(false);
    const int revision = document.revision();

    print::ScriptedPrintDialogs dialogs;
    QTemporaryDir settings;
    print::RichPrinter printer(dialogs, settings.filePath(QStringLiteral("print.ini")));
    printer.setShowProgress(false);
    printer.printer().setPrinterName(Queue);
    QVERIFY2(printer.printer().isValid(), "the test queue is not a valid printer");
    // cups-pdf names its file after the job's title.
    const QString title = QStringLiteral("quorin-cups-test-%1").arg(QCoreApplication::applicationPid());
    printer.setTitle(title);

    // Where cups-pdf puts the files of this user (its default "Out").
    const QDir out(QDir::homePath() + QStringLiteral("/PDF"));
    const QStringList before = out.entryList({title + QStringLiteral("*.pdf")}, QDir::Files);
    for (const QString &old : before)
        QFile::remove(out.filePath(old));

    printer.printRichEdit(document, 1);
    QCOMPARE(printer.printer().printerName(), Queue);

    QString printedFile;
    QElapsedTimer waited;
    waited.start();
    while (printedFile.isEmpty() && waited.elapsed() < 90000) {
        const QStringList found = out.entryList({title + QStringLiteral("*.pdf")}, QDir::Files);
        if (!found.isEmpty()) {
            // The backend writes the file in place: wait until it is whole.
            QFile file(out.filePath(found.first()));
            if (file.open(QIODevice::ReadOnly) && file.readAll().trimmed().endsWith("%%EOF"))
                printedFile = file.fileName();
        }
        if (printedFile.isEmpty())
            QTest::qWait(250);
    }
    QVERIFY2(!printedFile.isEmpty(), qPrintable(QStringLiteral("no PDF from the queue in %1").arg(out.path())));
    QFile printed(printedFile);
    QVERIFY(printed.open(QIODevice::ReadOnly));
    const QByteArray printedPdf = printed.readAll();
    printed.close();
    QFile::remove(printedFile);

    // Save As PDF goes through the same printer, its queue still chosen.
    const QByteArray savedPdf = print::printedPdf(printer, document);
    QCOMPARE(printer.printer().printerName(), Queue);
    QCOMPARE(printer.printer().outputFormat(), QPrinter::NativeFormat);

    // The queue's backend rewrites the file (its fonts become Type 3 glyphs
    // without text), so the pages are compared as a reader sees them.
    const pdfreadback::Info printedInfo = pdfreadback::info(printedPdf);
    const pdfreadback::Info savedInfo = pdfreadback::info(savedPdf);
    QCOMPARE(printedInfo.pages, 2);
    QCOMPARE(savedInfo.pages, 2);
    QVERIFY(qAbs(printedInfo.pageSize.width() - savedInfo.pageSize.width()) < 2);
    QVERIFY(qAbs(printedInfo.pageSize.height() - savedInfo.pageSize.height()) < 2);
    for (int page = 1; page <= 2; ++page) {
        const QImage printedImage = pageImage(printedPdf, page);
        const QImage savedImage = pageImage(savedPdf, page);
        QVERIFY(!printedImage.isNull() && printedImage.size() == savedImage.size());
        // Two rasterisers draw glyphs a little bolder or thinner; a line
        // moved, added or lost shows in where the lines start.
        const QList<QPoint> printedLines = lineStarts(printedImage);
        const QList<QPoint> savedLines = lineStarts(savedImage);
        QVERIFY2(printedLines.size() > 1, "the printed page is blank");
        // A glyph drawn a pixel taller can split or join a band of ink,
        // so a line may start once more or once less; a page laid out
        // differently moves many.
        QVERIFY2(unmatched(printedLines, savedLines) <= 2 && unmatched(savedLines, printedLines) <= 2,
                 qPrintable(QStringLiteral("page %1: lines start at different places").arg(page)));
    }

    QCOMPARE(document.revision(), revision);
    QVERIFY(!document.isModified());
}

void TestCupsPrint::cleanupTestCase()
{
    if (m_queueAdded)
        run(QStringLiteral("lpadmin"), {QStringLiteral("-x"), Queue});
}

QTEST_MAIN(TestCupsPrint)
#include "tst_cupsprint.moc"
