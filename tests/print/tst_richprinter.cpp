#include "../documents/pdfreadback.h"
#include "printtesting.h"

#include "documents/documentreader.h"
#include "print/pagegeometry.h"
#include "print/pagesetupchoices.h"
#include "print/pagesetupform.h"
#include "print/previewform.h"
#include "print/printdialogs.h"
#include "print/printsettings.h"
#include "print/richprinter.h"
#include "print/richprntprogdlg.h"

#include <QApplication>
#include <QLineEdit>
#include <QPicture>
#include <QPrinter>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

#include <memory>

using namespace print;
using printtesting::readAll;

Q_DECLARE_METATYPE(print::MeasureUnit)

namespace {

// Pages of text separated by form feeds.
QString joined(const QStringList &pages)
{
    return pages.join(QChar(0x0C));
}

// What a print run showed, in order.
struct RunLog
{
    QStringList events;
    QStringList statuses;
    QStringList pageNumbers; // in the progress window at each new page
    bool windowEverShown = false;
    bool windowAtEnd = true;

    explicit RunLog(RichPrinter &printer)
    {
        const auto end = [this, &printer](const char *event) {
            events << QLatin1String(event);
            windowAtEnd = printer.progressWindow() != nullptr;
        };
        QObject::connect(&printer, &RichPrinter::beginDoc, [this] { events << QStringLiteral("beginDoc"); });
        QObject::connect(&printer, &RichPrinter::newPage, [this, &printer] {
            events << QStringLiteral("newPage");
            if (RichPrntProgDlg *window = printer.progressWindow()) {
                windowEverShown |= window->isVisible();
                pageNumbers << window->pageNumber();
            }
        });
        QObject::connect(&printer, &RichPrinter::endDoc, [end] { end("endDoc"); });
        QObject::connect(&printer, &RichPrinter::abortDoc, [end] { end("abortDoc"); });
        QObject::connect(&printer, &RichPrinter::statusChanged, [this](const QString &s) { statuses << s; });
    }
};

QStringList pageTexts(const QByteArray &pdf, int page)
{
    QStringList result;
    for (const auto &word : pdfreadback::words(pdf))
        if (word.page == page)
            result << word.text;
    return result;
}

} // namespace

class TestRichPrinter : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_count = 0;
    ScriptedPrintDialogs m_dialogs;

    // A printer on A4 paper writing a PDF into the temporary folder.
    std::unique_ptr<RichPrinter> pdfPrinter(QString *outputFile = nullptr, PrintDialogs *dialogs = nullptr)
    {
        auto printer = std::make_unique<RichPrinter>(dialogs ? *dialogs : m_dialogs,
                                                     m_dir.filePath(QStringLiteral("s%1.ini").arg(++m_count)));
        printer->printer().setOutputFormat(QPrinter::PdfFormat);
        printer->printer().setPageSize(QPageSize(QPageSize::A4));
        printer->printer().setPageOrientation(QPageLayout::Portrait);
        const QString file = m_dir.filePath(QStringLiteral("out%1.pdf").arg(m_count));
        printer->printer().setOutputFileName(file);
        if (outputFile)
            *outputFile = file;
        return printer;
    }

private slots:
    void geometry_data()
    {
        QTest::addColumn<double>("dpi");
        QTest::addColumn<QSize>("paper");
        QTest::addColumn<int>("offset");
        QTest::addColumn<MeasureUnit>("unit");
        QTest::addColumn<double>("margin"); // every side
        QTest::addColumn<int>("lineHeight");
        QTest::addColumn<int>("band");
        QTest::addColumn<int>("bottomBand");
        QTest::addColumn<int>("twipsLeft");
        const QSize a4(4960, 7016);
        // 600 * (25 - 4.2333) / 25.4 = 490.55; 491 * 1440 / 600 = 1178.4.
        QTest::newRow("600 dpi, offset 100") << 600.0 << a4 << 100 << MeasureUnit::Millimeters << 25.0 << 50 << 491
                                             << 491 << 1178;
        QTest::newRow("no gutters") << 1200.0 << QSize(9921, 14031) << 0 << MeasureUnit::Millimeters << 25.0 << 0
                                    << 1181 << 1181 << 1417;
        QTest::newRow("inches") << 300.0 << QSize(2550, 3300) << 50 << MeasureUnit::Inches << 1.0 << 0 << 250 << 250
                                << 1200;
        QTest::newRow("footer taller than band") << 600.0 << a4 << 100 << MeasureUnit::Millimeters << 25.0 << 700
                                                 << 491 << 700 << 1178;
    }
    void geometry()
    {
        QFETCH(double, dpi);
        QFETCH(QSize, paper);
        QFETCH(int, offset);
        QFETCH(MeasureUnit, unit);
        QFETCH(double, margin);
        QFETCH(int, lineHeight);
        QFETCH(int, band);
        QFETCH(int, bottomBand);
        PrinterMetrics m;
        m.dpiX = m.dpiY = dpi;
        m.paperRect = QRect(QPoint(0, 0), paper);
        m.printableRect = m.paperRect.adjusted(offset, offset, -offset, -offset);
        const PageGeometry g = PageGeometry::compute(m, unit, PageMargins{margin, margin, margin, margin}, lineHeight);
        QCOMPARE(QList<int>({g.leftBand, g.rightBand, g.topBand, g.bottomBand}),
                 QList<int>({band, band, band, bottomBand}));
        QCOMPARE(g.textArea, QRect(band, band, paper.width() - 2 * offset - 2 * band,
                                   paper.height() - 2 * offset - band - bottomBand));
        QTEST(g.textAreaTwips().left(), "twipsLeft");
        QCOMPARE(g.printableOrigin, QPoint(offset, offset));
        QCOMPARE(g.gutterLeft, fromPixels(offset, unit, dpi));
        QVERIFY(qAbs(g.gutterRight - g.gutterLeft) < 1e-9);
        QVERIFY(qAbs(g.paperSize.width() - fromPixels(paper.width(), unit, dpi)) < 1e-9);
        // The right side of the text rectangle in twips is truncated on its
        // own, not the left side plus a truncated width.
        const int right = g.textArea.left() + g.textArea.width();
        QCOMPARE(g.textAreaTwips().left() + g.textAreaTwips().width(), int(right * 1440 / dpi));
    }

    // A4 without gutters: 210 x 297 mm; not a number leaves the margin.
    void marginClamping_data()
    {
        QTest::addColumn<int>("side"); // top, bottom, left, right
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("expected");
        QTest::newRow("top below 0") << 0 << -5.0 << 0.0;
        QTest::newRow("top past paper") << 0 << 400.0 << 297.0;
        QTest::newRow("bottom inside") << 1 << 40.5 << 40.5;
        QTest::newRow("left past paper") << 2 << 1e9 << 210.0;
        QTest::newRow("right infinite") << 3 << qInf() << 210.0;
        QTest::newRow("right not a number") << 3 << qQNaN() << 15.0;
    }
    void marginClamping()
    {
        QFETCH(int, side);
        QFETCH(double, value);
        QFETCH(double, expected);
        using Setter = void (RichPrinter::*)(double);
        using Getter = double (RichPrinter::*)() const;
        const Setter setters[] = {&RichPrinter::setMarginTop, &RichPrinter::setMarginBottom,
                                  &RichPrinter::setMarginLeft, &RichPrinter::setMarginRight};
        const Getter getters[] = {&RichPrinter::marginTop, &RichPrinter::marginBottom, &RichPrinter::marginLeft,
                                  &RichPrinter::marginRight};
        auto printer = pdfPrinter();
        (printer.get()->*setters[side])(value);
        const double margin = (printer.get()->*getters[side])();
        QVERIFY2(qAbs(margin - expected) < 0.1, qPrintable(QString::number(margin)));
    }

    void gutterClamping()
    {
        // A printer that cannot reach 5, 6, 7 and 8 mm of the paper's edges.
        auto printer = pdfPrinter();
        printer->printer().setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(),
                                                     QPageLayout::Millimeter, QMarginsF(5, 6, 7, 8)));
        printer->printer().setFullPage(true);
        if (printer->printer().pageLayout().minimumMargins().isNull())
            QSKIP("this printer keeps no minimum margins");
        QVERIFY(qAbs(printer->gutterLeft() - 5) < 0.1);
        QVERIFY(qAbs(printer->gutterTop() - 6) < 0.1);
        QVERIFY(qAbs(printer->gutterRight() - 7) < 0.1);
        QVERIFY2(qAbs(printer->gutterBottom() - 8) < 0.15, qPrintable(QString::number(printer->gutterBottom())));
        printer->setMarginTop(1);
        QCOMPARE(printer->marginTop(), printer->gutterTop());
        printer->setMarginTop(500);
        QVERIFY(qAbs(printer->marginTop() - (printer->pageGeometry().paperSize.height() - printer->gutterBottom()))
                < 1e-9);
        printer->setMarginRight(0);
        QCOMPARE(printer->marginRight(), printer->gutterRight());
        // The bands start at the printable area: the margin less the gutter.
        QCOMPARE(printer->pageGeometry().leftBand,
                 toPixels(25 - printer->gutterLeft(), MeasureUnit::Millimeters, printer->pageGeometry().dpiX));
    }

    void unitChange()
    {
        auto printer = pdfPrinter();
        printer->setDefaultColumnWidth(25.4);
        printer->setMeasureUnit(MeasureUnit::Inches);
        QVERIFY(qAbs(printer->marginTop() - 1.1811) < 1e-4);
        QVERIFY(qAbs(printer->marginRight() - 0.5906) < 1e-4);
        QVERIFY(qAbs(printer->borderOffset() - 0.0787) < 1e-4);
        QVERIFY(qAbs(printer->defaultColumnWidth() - 1.0) < 1e-9);
        QCOMPARE(printer->logoWidth(), 25.0); // logo values are not lengths of the unit
        // Bands stay where they were: the same margin in another unit.
        QCOMPARE(printer->pageGeometry().leftBand,
                 toPixels(25, MeasureUnit::Millimeters, printer->pageGeometry().dpiX));
        printer->setMeasureUnit(MeasureUnit::Inches); // no change: no conversion
        QVERIFY(qAbs(printer->marginTop() - 1.1811) < 1e-4);
        printer->setMeasureUnit(MeasureUnit::Millimeters);
        QVERIFY(qAbs(printer->marginTop() - 30.0) < 1e-9);
        QVERIFY(qAbs(printer->borderOffset() - 2.0) < 1e-9);
    }

    // While a run prints, each setter refuses with its own message and
    // changes nothing; afterwards they work again.
    void settersRefuseWhilePrinting()
    {
        auto printer = pdfPrinter();
        printer->setShowProgress(false);
        printer->setTitle(QStringLiteral("Deed"));
        QStringList caught;
        QList<double> marginsDuring;
        connect(printer.get(), &RichPrinter::newPage, [&] {
            const QList<std::function<void()>> setters{
                [&] { printer->setMarginTop(10); }, [&] { printer->setMarginBottom(10); },
                [&] { printer->setMarginLeft(10); }, [&] { printer->setMarginRight(10); },
                [&] { printer->setOrientation(QPageLayout::Landscape); },
                [&] { printer->setTitle(QStringLiteral("Other")); }};
            for (const auto &set : setters) {
                try {
                    set();
                } catch (const ELinePrinter &e) {
                    caught << e.message();
                }
            }
            marginsDuring = {printer->marginTop(), printer->marginBottom(), printer->marginLeft(),
                             printer->marginRight()};
        });
        QTextDocument document(QStringLiteral("text"));
        printer->printRichEdit(document);
        const QString margin = QStringLiteral("Unable to change %1 margin while printing");
        QCOMPARE(caught, QStringList({margin.arg("top"), margin.arg("bottom"), margin.arg("left"),
                                      margin.arg("right"), "Unable to change orientation while printing",
                                      "Unable to change title while printing"}));
        QCOMPARE(marginsDuring, (QList<double>{30, 25, 25, 15}));
        QCOMPARE(printer->orientation(), QPageLayout::Portrait);
        QCOMPARE(printer->title(), QStringLiteral("Deed"));
        QVERIFY(!printer->isPrinting());
        printer->setMarginTop(40);
        QCOMPARE(printer->marginTop(), 40.0);
    }

    // Form feeds end pages; page numbers count from the first page given.
    void printRun_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<unsigned>("firstPage");
        QTest::addColumn<int>("pages");
        QTest::addColumn<bool>("progress");
        QTest::newRow("one page") << "Dear Sir" << 1u << 1 << true;
        QTest::newRow("empty") << "" << 1u << 1 << true;
        QTest::newRow("form feeds") << joined({"first", "second", "third"}) << 1u << 3 << true;
        QTest::newRow("numbered from 7") << joined({"one", "two"}) << 7u << 2 << true;
        QTest::newRow("no progress window") << joined({"one", "two"}) << 1u << 2 << false;
    }
    void printRun()
    {
        QFETCH(QString, text);
        QFETCH(unsigned, firstPage);
        QFETCH(int, pages);
        QFETCH(bool, progress);
        if (!pdfreadback::available())
            QSKIP("poppler-utils are not installed");
        QString file;
        auto printer = pdfPrinter(&file);
        printer->setTitle(QStringLiteral("Statutory"));
        printer->setShowProgress(progress);
        RunLog log(*printer);
        QTextDocument document;
        document.setPlainText(text);
        printer->printRichEdit(document, firstPage);

        QStringList events{QStringLiteral("beginDoc")};
        QStringList statuses{QStringLiteral("Preparing to Print")};
        QStringList numbers;
        for (int i = 0; i < pages; ++i) {
            events << QStringLiteral("newPage");
            statuses << QStringLiteral("Currently Printing");
            if (progress)
                numbers << QString::number(firstPage + i);
        }
        QCOMPARE(log.events, events << QStringLiteral("endDoc"));
        QCOMPARE(log.statuses, statuses << QStringLiteral("Finished Printing"));
        QCOMPARE(log.pageNumbers, numbers);
        QCOMPARE(log.windowEverShown, progress);
        QVERIFY(!log.windowAtEnd);
        QVERIFY(!printer->isPrinting());

        const QByteArray pdf = readAll(file);
        QCOMPARE(pdfreadback::info(pdf).pages, pages);
        for (int i = 0; i < pages; ++i) {
            const QString words = pageTexts(pdf, i).join(u' ');
            QVERIFY2(words.contains(QStringLiteral("Statutory")), qPrintable(words));
            QVERIFY2(words.contains(QStringLiteral("Page %1").arg(firstPage + i)), qPrintable(words));
        }
        if (pages == 3)
            QVERIFY(pageTexts(pdf, 1).contains(QStringLiteral("second")));
    }

    void documentUnchanged()
    {
        auto printer = pdfPrinter();
        printer->setShowProgress(false);
        QTextDocument document;
        QTextCursor cursor(&document);
        cursor.insertText(QStringLiteral("Heading"));
        cursor.insertBlock();
        cursor.insertText(joined({"body", "more"}));
        document.setModified(false);
        const int revision = document.revision();
        const QString html = document.toHtml();
        printer->printRichEdit(document);
        printer->renderPreview(document, [](const QPicture &) {});
        QCOMPARE(document.revision(), revision);
        QVERIFY(!document.isModified());
        QCOMPARE(document.toHtml(), html);
    }

    void cancelKeepsPagesSoFar()
    {
        if (!pdfreadback::available())
            QSKIP("poppler-utils are not installed");
        QString file;
        auto printer = pdfPrinter(&file);
        RunLog log(*printer);
        int page = 0;
        connect(printer.get(), &RichPrinter::newPage, [&] {
            if (++page == 2)
                printer->progressWindow()->findChild<QPushButton *>(QStringLiteral("btnCancel"))->click();
        });
        QTextDocument document(joined({"1", "2", "3", "4"}));
        printer->printRichEdit(document);
        QCOMPARE(pdfreadback::info(readAll(file)).pages, 2);
        QCOMPARE(log.events.last(), QStringLiteral("endDoc"));
        QVERIFY(!log.windowAtEnd);
        // The next run starts afresh.
        printer->printRichEdit(document);
        QCOMPARE(pdfreadback::info(readAll(file)).pages, 4);
    }

    void failureMidRunAborts()
    {
        QString file;
        auto printer = pdfPrinter(&file);
        RunLog log(*printer);
        const auto connection = connect(printer.get(), &RichPrinter::newPage, [&] {
            if (log.events.count(QStringLiteral("newPage")) == 2)
                throw ELinePrinter(QStringLiteral("Not be able to print a new page."));
        });
        QTextDocument document(joined({"a", "b", "c"}));
        QVERIFY_THROWS_EXCEPTION(ELinePrinter, printer->printRichEdit(document));
        QCOMPARE(log.events, QStringList({"beginDoc", "newPage", "newPage", "abortDoc"}));
        QVERIFY(!log.windowAtEnd);
        QVERIFY(!printer->isPrinting());
        // No half document left behind that passes for the whole one.
        QVERIFY(!QFile::exists(file));
        // And the printer works again.
        disconnect(connection);
        printer->printRichEdit(document);
        QVERIFY(QFile::exists(file));
    }

    // A file that cannot be written fails after beginDoc; margins that
    // leave no text area fail before anything starts.
    void refusedRuns_data()
    {
        QTest::addColumn<bool>("missingFolder");
        QTest::addColumn<QStringList>("events");
        QTest::newRow("unwritable file") << true << QStringList{"beginDoc", "abortDoc"};
        QTest::newRow("no text area") << false << QStringList();
    }
    void refusedRuns()
    {
        QFETCH(bool, missingFolder);
        auto printer = pdfPrinter();
        if (missingFolder) {
            printer->printer().setOutputFileName(m_dir.filePath(QStringLiteral("missing/folder/out.pdf")));
        } else {
            printer->setMarginLeft(150);
            printer->setMarginRight(100);
        }
        RunLog log(*printer);
        try {
            QTextDocument document(QStringLiteral("x"));
            printer->printRichEdit(document);
            QFAIL("the run succeeded");
        } catch (const ELinePrinter &e) {
            QVERIFY(!e.message().isEmpty());
        }
        QTEST(log.events, "events");
        QVERIFY(!printer->isPrinting());
    }

    void preview()
    {
        auto printer = pdfPrinter();
        printer->setCompressPreview(false);
        RunLog log(*printer);
        QList<QPicture> pages;
        bool previewingWhileStored = true;
        printer->renderPreview(QTextDocument(joined({"a", "b", "c"})), [&](const QPicture &page) {
            pages << page;
            previewingWhileStored &= printer->isPreviewing() && !printer->isPrinting();
        });
        QCOMPARE(pages.size(), 3);
        QVERIFY(previewingWhileStored);
        QVERIFY(!printer->isPreviewing());
        QCOMPARE(log.statuses.first(), QStringLiteral("Preparing to Print Preview"));
        QCOMPARE(log.statuses.last(), QStringLiteral("Finished Preparing Preview"));
        QVERIFY(!log.windowAtEnd);
        // Each page is the whole sheet in printer pixels.
        const QSize paper = printer->pageGeometry().paperPixels;
        for (const QPicture &page : pages)
            QCOMPARE(page.boundingRect(), QRect(QPoint(0, 0), paper));
        QCOMPARE(QSettings(printer->settingsFile(), QSettings::IniFormat)
                     .value(QStringLiteral("RichPrint.Settings/Compress/CompressPreview"))
                     .toString(),
                 QStringLiteral("0"));
        QVERIFY(!QFile::exists(printer->printer().outputFileName())); // a preview writes no file

        // The window reads what the printer wrote and deletes itself on close.
        QTextDocument document(joined({"a", "b"}));
        QPointer<PreviewForm> form = printer->previewRichEdit(document);
        QVERIFY(form && form->isVisible());
        QCOMPARE(form->pageStore().count(), 2);
        QCOMPARE(form->pageSize(), paper);
        QVERIFY(!form->compress());
        form->close();
        QTRY_VERIFY(!form);
    }

    void pageSetup_data()
    {
        QTest::addColumn<MeasureUnit>("unit");
        QTest::addColumn<double>("top");
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<double>("userTop"); // < 0: the user leaves it, the window rounds it
        QTest::addColumn<double>("topAfter");
        const MeasureUnit mm = MeasureUnit::Millimeters;
        QTest::newRow("millimetres") << mm << 30.0 << true << -1.0 << 30.0;
        QTest::newRow("untouched keeps its exact value") << mm << 30.004 << true << -1.0 << 30.004;
        QTest::newRow("inches") << MeasureUnit::Inches << 1.2504 << true << -1.0 << 1.2504;
        QTest::newRow("user changes top") << mm << 30.0 << true << 42.5 << 42.5;
        // Qt's A4 is 842 points high: 297.04 mm.
        QTest::newRow("user changes beyond paper") << mm << 30.0 << true << 900.0 << 297.04;
        QTest::newRow("cancel changes nothing") << mm << 30.004 << false << 42.5 << 30.004;
    }
    void pageSetup()
    {
        QFETCH(MeasureUnit, unit);
        QFETCH(double, top);
        QFETCH(bool, confirm);
        QFETCH(double, userTop);
        QFETCH(double, topAfter);
        ScriptedPrintDialogs dialogs;
        auto printer = pdfPrinter(nullptr, &dialogs);
        printer->setMeasureUnit(unit);
        printer->setMarginTop(top);
        PageSetupValues shown;
        dialogs.setNextPageSetup(confirm, [&](PageSetupValues &v) {
            shown = v;
            // The window holds margins as its spin boxes do.
            v.margins.top = userTop >= 0 ? userTop : dialogRounded(v.margins.top, v.unit);
            v.margins.left = dialogRounded(v.margins.left, v.unit);
            v.decoration.header = QStringLiteral("edited");
        });
        QCOMPARE(printer->showPageSetup(), confirm);
        QCOMPARE(dialogs.asked(), QStringList{QStringLiteral("pageSetup")});
        QCOMPARE(shown.unit, unit);
        QCOMPARE(shown.margins.top, top);
        QCOMPARE(shown.pageSize.id(), QPageSize::A4);
        QVERIFY2(qAbs(printer->marginTop() - topAfter) < 0.05, qPrintable(QString::number(printer->marginTop())));
        QCOMPARE(printer->header(), confirm ? QStringLiteral("edited") : QStringLiteral("{$TITLE}"));
        QVERIFY(printer->printer().fullPage());
    }

    void pageSetupPaperBeforeMargins()
    {
        // A5 turned is 148 mm high: a bottom margin of 200 mm must be clamped
        // to that paper, not to the A4 the window started from.
        ScriptedPrintDialogs dialogs;
        auto printer = pdfPrinter(nullptr, &dialogs);
        dialogs.setNextPageSetup(true, [](PageSetupValues &v) {
            v.pageSize = QPageSize(QPageSize::A5);
            v.orientation = QPageLayout::Landscape;
            v.margins.bottom = 200;
        });
        QVERIFY(printer->showPageSetup());
        QCOMPARE(printer->printer().pageLayout().pageSize().id(), QPageSize::A5);
        QCOMPARE(printer->orientation(), QPageLayout::Landscape);
        QVERIFY2(qAbs(printer->marginBottom() - 148.0) < 0.2, qPrintable(QString::number(printer->marginBottom())));
        QVERIFY(printer->pageGeometry().paperSize.width() > printer->pageGeometry().paperSize.height());
    }

    void pageSetupKeepsDisabledParts()
    {
        ScriptedPrintDialogs dialogs;
        auto printer = pdfPrinter(nullptr, &dialogs);
        printer->setMarginLeft(25.004);
        printer->setOptionsDialog(PageSetupFlag::DisableMargins | PageSetupFlag::Margins
                                  | PageSetupFlag::DisableOrientation | PageSetupFlag::DisablePaper);
        // Disabling the margins wins over showing them.
        QCOMPARE(printer->optionsDialog(), PageSetupFlag::DisableMargins | PageSetupFlag::DisableOrientation
                                               | PageSetupFlag::DisablePaper);
        dialogs.setNextPageSetup(true, [](PageSetupValues &v) {
            v.pageSize = QPageSize(QPageSize::Letter);
            v.orientation = QPageLayout::Landscape;
            v.margins = PageMargins{1, 1, 1, 1};
            v.decoration.borders = PageBorder::Left;
        });
        QVERIFY(printer->showPageSetup());
        QCOMPARE(printer->orientation(), QPageLayout::Portrait);
        QCOMPARE(printer->printer().pageLayout().pageSize().id(), QPageSize::A4);
        QCOMPARE(printer->marginLeft(), 25.004);
        QCOMPARE(printer->marginTop(), 30.0);
        // What is drawn around the text is not a disabled part.
        QCOMPARE(printer->pageBorders(), PageBorders(PageBorder::Left));
    }

    // The window sees the printer's decoration; a confirmed one is stored
    // for the next run (the margins only when saveMargins is on).
    void pageSetupStoresSettings()
    {
        const QString file = m_dir.filePath(QStringLiteral("decoration.ini"));
        QImage logo(4, 4, QImage::Format_RGB32);
        logo.fill(Qt::red);
        {
            ScriptedPrintDialogs dialogs;
            RichPrinter printer(dialogs, file);
            printer.setMeasureUnit(MeasureUnit::Inches);
            printer.setFontHeaderFooter(QFont(QStringLiteral("Serif"), 9));
            PageDecoration shown;
            dialogs.setNextPageSetup(false, [](PageSetupValues &v) { v.decoration.header = QStringLiteral("no"); });
            QVERIFY(!printer.showPageSetup());
            QVERIFY(!QSettings(file, QSettings::IniFormat).childGroups().contains(QStringLiteral("RichPrint.Settings")));

            dialogs.setNextPageSetup(true, [&](PageSetupValues &v) {
                shown = v.decoration;
                v.decoration.header = QStringLiteral("Acme {$PAGE}");
                v.decoration.fontColor = Qt::darkBlue;
                v.decoration.logo = logo;
                v.decoration.borderOffset = 0.5;
            });
            QVERIFY(printer.showPageSetup());
            QCOMPARE(shown.header, QStringLiteral("{$TITLE}"));
            QCOMPARE(shown.footer, QStringLiteral("Page {$PAGE}"));
            QCOMPARE(shown.font, QFont(QStringLiteral("Serif"), 9));
            QCOMPARE(shown.borderOffset, 2.0 / 25.4);
            QVERIFY(!PrintSettings(file).load());
        }
        // The next run of the program finds them; its unit is millimetres.
        ScriptedPrintDialogs dialogs;
        RichPrinter printer(dialogs, file);
        QCOMPARE(printer.header(), QStringLiteral("Acme {$PAGE}"));
        QCOMPARE(printer.fontHeaderFooterColor(), QColor(Qt::darkBlue));
        QCOMPARE(printer.bitmapLogo().convertToFormat(QImage::Format_RGB32), logo);
        QVERIFY(qAbs(printer.borderOffset() - 12.7) < 1e-9);

        printer.printer().setOutputFormat(QPrinter::PdfFormat);
        printer.setSaveMargins(true);
        dialogs.setNextPageSetup(true, [](PageSetupValues &v) { v.orientation = QPageLayout::Landscape; });
        QVERIFY(printer.showPageSetup());
        QSettings raw(file, QSettings::IniFormat);
        QCOMPARE(raw.value(QStringLiteral("RichPrint.Settings/Marges/CodeMeasurement")).toString(), QStringLiteral("1"));
        QCOMPARE(raw.value(QStringLiteral("RichPrint.Settings/Marges/CodeDirection")).toString(), QStringLiteral("0"));
        QCOMPARE(PrintSettings::decodeDouble(raw.value(QStringLiteral("RichPrint.Settings/Marges/MarginTop")).toByteArray()),
                 30.0);
    }

    // The real dialogs' Page Setup is our window: what the user types comes
    // back on OK, and a cancel leaves the values and the printer's page alone
    // even when the printer's properties changed it meanwhile.
    void realPageSetup_data()
    {
        QTest::addColumn<bool>("accept");
        QTest::newRow("OK") << true;
        QTest::newRow("cancel") << false;
    }
    void realPageSetup()
    {
        QFETCH(bool, accept);
        PrintDialogs dialogs;
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageSize(QPageSize(QPageSize::A4));
        PageSetupValues values;
        values.pageSize = QPageSize(QPageSize::A4);
        bool sawForm = false;
        QTimer::singleShot(0, [&] {
            auto *form = qobject_cast<PageSetupForm *>(QApplication::activeModalWidget());
            if (!form)
                return;
            sawForm = true;
            form->findChild<QLineEdit *>(QStringLiteral("header"))->setText(QStringLiteral("typed"));
            printer.setPageSize(QPageSize(QPageSize::Letter));
            accept ? form->accept() : form->reject();
        });
        QCOMPARE(dialogs.pageSetup(nullptr, printer, values, PageSetupFlag::Margins), accept);
        QVERIFY(sawForm);
        QCOMPARE(values.decoration.header, accept ? QStringLiteral("typed") : QStringLiteral("{$TITLE}"));
        QCOMPARE(printer.pageLayout().pageSize().id(), accept ? QPageSize::Letter : QPageSize::A4);
    }

    // A document's own header and footer print in the bands unless the
    // printer's header or footer takes them.
    void documentBands_data()
    {
        QTest::addColumn<QString>("header");
        QTest::addColumn<QString>("footer");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("logo");
        QTest::addColumn<bool>("ownHeader"); // the document's header shows
        QTest::addColumn<bool>("ownFooter");
        QTest::addColumn<bool>("pageFooter"); // the printer's "Page N" shows
        const QString title = QStringLiteral("{$TITLE}");
        const QString page = QStringLiteral("Page {$PAGE}");
        QTest::newRow("defaults, no title") << title << page << QString() << false << true << false << true;
        QTest::newRow("footer cleared") << title << QString() << QString() << false << true << true << false;
        QTest::newRow("footer of spaces") << title << QStringLiteral("   ") << QString() << false << true << true
                                          << false;
        QTest::newRow("title fills the header") << title << page << QStringLiteral("Minutes") << false << false
                                                << false << true;
        QTest::newRow("logo fills the header") << title << page << QString() << true << false << false << true;
        // Without a header line there is no logo either.
        QTest::newRow("no header line, logo") << QString() << page << QString() << true << true << false << true;
    }
    void documentBands()
    {
        if (!pdfreadback::available())
            QSKIP("poppler-utils is not installed: nothing to read the PDF with");
        QFETCH(QString, header);
        QFETCH(QString, footer);
        QFETCH(QString, title);
        QFETCH(bool, logo);
        QFETCH(bool, ownHeader);
        QFETCH(bool, ownFooter);
        QFETCH(bool, pageFooter);

        QByteArray body;
        for (int i = 1; i <= 90; ++i)
            body += "Paragraph " + QByteArray::number(i) + " of the body.\\par\r\n";
        QTextDocument document;
        documents::readDocument(document, "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}}"
                                          "\\paperw11906\\paperh16838\\margl1440\\margr1440\\margt1440\\margb1440"
                                          "\\sectd\\headery720\\footery480{\\header \\pard\\qr Letterhead\\par}"
                                          "{\\footer \\pard\\qc Docfoot {\\field{\\*\\fldinst PAGE}{\\fldrslt 1}} of "
                                          "{\\field{\\*\\fldinst NUMPAGES}{\\fldrslt 1}}\\par}\\pard\\f0\\fs24 "
                                              + body + "}");
        QString file;
        auto printer = pdfPrinter(&file);
        printer->setShowProgress(false);
        printer->setHeader(header);
        printer->setFooter(footer);
        printer->setTitle(title);
        if (logo) {
            QImage image(8, 8, QImage::Format_RGB32);
            image.fill(Qt::gray);
            printer->setBitmapLogo(image);
        }
        printer->printRichEdit(document);

        const QByteArray pdf = readAll(file);
        const int pages = pdfreadback::info(pdf).pages;
        QVERIFY2(pages >= 2, qPrintable(QString::number(pages)));
        for (int page = 0; page < pages; ++page) {
            const QStringList words = pageTexts(pdf, page);
            const QString number = QString::number(page + 1);
            QCOMPARE(words.contains(QStringLiteral("Letterhead")), ownHeader);
            QCOMPARE(words.contains(QStringLiteral("Docfoot")), ownFooter);
            if (ownFooter)
                QCOMPARE(words.mid(words.indexOf(QStringLiteral("Docfoot")), 4),
                         QStringList({"Docfoot", number, "of", QString::number(pages)}));
            const qsizetype at = words.lastIndexOf(QStringLiteral("Page"));
            QCOMPARE(at >= 0 && words.value(at + 1) == number, pageFooter);
            QCOMPARE(words.contains(QStringLiteral("Minutes")), !title.isEmpty());
        }
        if (!ownHeader)
            return;
        // Half an inch from the paper's top (the document's \headery), flush
        // with the right edge of the printer's text area (15 mm from the edge).
        const auto words = pdfreadback::words(pdf);
        const auto letterhead = std::find_if(words.begin(), words.end(), [](const auto &word) {
            return word.page == 0 && word.text == QStringLiteral("Letterhead");
        });
        QVERIFY(letterhead != words.end());
        QVERIFY2(letterhead->box.top() > 34 && letterhead->box.top() < 40, qPrintable(QString::number(letterhead->box.top())));
        const double right = 595.3 - 15 / 25.4 * 72;
        QVERIFY2(qAbs(letterhead->box.right() - right) < 3, qPrintable(QString::number(letterhead->box.right())));
    }
};

QTEST_MAIN(TestRichPrinter)
#include "tst_richprinter.moc"
