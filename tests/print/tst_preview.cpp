#include "printtesting.h"

#include "print/preview2.h"
#include "print/previewform.h"
#include "print/previewnavigation.h"
#include "print/printdialogs.h"
#include "widgets/arrowbutton.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPrinter>
#include <QProcess>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using print::PreviewForm;
using print::PreviewLayout;
using print::PreviewNavigation;
using print::ScriptedPrintDialogs;
using printtesting::makePage;

namespace {

const QSize pagePixels(850, 1100); // letter paper at 100 pixels per inch

// Commands as words: "next", "previous", "first", "last", "type:4".
void run(PreviewNavigation &nav, const QString &commands)
{
    for (const QString &command : commands.split(u' ', Qt::SkipEmptyParts)) {
        if (command == "next")
            nav.next();
        else if (command == "previous")
            nav.previous();
        else if (command == "first")
            nav.first();
        else if (command == "last")
            nav.last();
        else if (command == "larger")
            nav.larger();
        else if (command == "smaller")
            nav.smaller();
        else if (command.startsWith("type:"))
            nav.typePageNumber(command.mid(5));
        else if (command.startsWith("step:"))
            nav.setStepText(command.mid(5));
        else
            QTest::qFail("unknown command", __FILE__, __LINE__);
    }
}

QSize screenSize()
{
    return QGuiApplication::primaryScreen()->availableGeometry().size();
}

// A preview window with `pages` stored pages, production over.
struct Preview
{
    ScriptedPrintDialogs dialogs;
    QPrinter printer{QPrinter::HighResolution};
    QPointer<PreviewForm> form;

    Preview(int pages, double aspectRatio, const QString &settingsFile = QString())
    {
        form = new PreviewForm(dialogs, printer, aspectRatio, settingsFile);
        form->setPageSize(pagePixels);
        for (int n = 1; n <= pages; ++n)
            form->storePage(makePage(n));
        form->productionFinished();
    }
    ~Preview() { delete form.data(); }

    template<typename T> T *child(const char *name) const { return form->findChild<T *>(QLatin1String(name)); }
    void key(int key, const char *receiver = "Edit1")
    {
        QTest::keyClick(child<QWidget>(receiver), Qt::Key(key));
    }
};

// The pages shown: the window's, and the second window's (0: blank).
QList<int> shownPages(const Preview &p)
{
    QList<int> shown{p.form->findChild<print::PageView *>("Image1")->pageIndex() + 1};
    if (p.form->secondWindow())
        shown << p.form->secondWindow()->image()->pageIndex() + 1;
    return shown;
}

} // namespace

class TestPreview : public QObject
{
    Q_OBJECT

private slots:
    void layoutFromTheScreen_data()
    {
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<double>("aspect");
        QTest::addColumn<QSize>("window");
        QTest::addColumn<QRect>("image");
        QTest::addColumn<bool>("zoomControls");
        const double a4 = 297.0 / 210.0;
        // H = 973, client 946, image height 856.08 -> width 605, window 617 x 973.
        QTest::newRow("A4 on 1280x1024") << QSize(1280, 1024) << a4 << QSize(617, 973) << QRect(6, 9, 597, 856) << true;
        // Too wide: the height shrinks by the same factor, the image is 0.98 of the screen.
        QTest::newRow("narrow screen") << QSize(600, 1200) << a4 << QSize(600, 930) << QRect(6, 9, 580, 814) << true;
        // No ratio: 0.707 of the height.
        QTest::newRow("ratio unknown") << QSize(1280, 1024) << 0.0 << QSize(617, 973) << QRect(6, 9, 597, 856) << true;
        // A tall narrow page: the window widens for the panel without the zoom controls.
        QTest::newRow("tall page") << QSize(1280, 1024) << 4.0 << QSize(298, 973) << QRect(3, 9, 284, 856) << false;
        // A very small screen still gives a window with a page in it.
        QTest::newRow("tiny screen") << QSize(100, 80) << a4 << QSize(294, 76) << QRect(3, 0, 280, 1) << false;
    }
    void layoutFromTheScreen()
    {
        QFETCH(QSize, screen);
        QFETCH(double, aspect);
        QFETCH(QSize, window);
        QFETCH(QRect, image);
        QFETCH(bool, zoomControls);
        const PreviewLayout layout = print::previewLayout(screen, aspect);
        QCOMPARE(layout.window, window);
        QCOMPARE(layout.client, window - QSize(8, 27));
        QCOMPARE(layout.image, image);
        QCOMPARE(layout.panel, QRect(image.left(), image.bottom() + 1, image.width(), 71));
        QCOMPARE(layout.zoomControls, zoomControls);
    }

    void navigation_data()
    {
        QTest::addColumn<int>("pages");
        QTest::addColumn<bool>("twoPage");
        QTest::addColumn<QString>("commands");
        QTest::addColumn<int>("left");  // page numbers; 0: blank
        QTest::addColumn<int>("right");
        QTest::addColumn<bool>("next");
        QTest::addColumn<bool>("previous");
        QTest::newRow("one page, next") << 1 << false << "next" << 1 << 0 << false << false;
        QTest::newRow("3 pages, next") << 3 << false << "next" << 2 << 0 << true << true;
        QTest::newRow("3 pages, past the end") << 3 << false << "next next next" << 3 << 0 << false << true;
        QTest::newRow("3 pages, end, previous") << 3 << false << "last previous" << 2 << 0 << true << true;
        QTest::newRow("pairs of 3") << 3 << true << "" << 1 << 2 << true << false;
        QTest::newRow("pairs of 3, next") << 3 << true << "next" << 3 << 0 << false << true;
        QTest::newRow("pairs of 4, next") << 4 << true << "next" << 3 << 4 << false << true;
        QTest::newRow("pairs of 4, next twice") << 4 << true << "next next" << 3 << 4 << false << true;
        QTest::newRow("pairs of 5, end") << 5 << true << "last" << 5 << 0 << false << true;
        QTest::newRow("pairs of 5, end, previous") << 5 << true << "last previous" << 3 << 4 << true << true;
        QTest::newRow("pairs of 5, type 4") << 5 << true << "type:4" << 3 << 4 << true << true;
        QTest::newRow("pairs of 5, type 5") << 5 << true << "type:5" << 5 << 0 << false << true;
        QTest::newRow("pairs of 5, type 0") << 5 << true << "next type:0" << 3 << 4 << true << true;
        QTest::newRow("pairs of 5, type junk") << 5 << true << "next type:4x" << 3 << 4 << true << true;
        QTest::newRow("5 pages, type 4") << 5 << false << "type:4" << 4 << 0 << true << true;
    }
    void navigation()
    {
        QFETCH(int, pages);
        QFETCH(bool, twoPage);
        QFETCH(QString, commands);
        QFETCH(int, left);
        QFETCH(int, right);
        QFETCH(bool, next);
        QFETCH(bool, previous);
        PreviewNavigation nav;
        nav.setPageCount(pages);
        nav.activate();
        nav.setTwoPage(twoPage);
        run(nav, commands);
        QCOMPARE(nav.currentIndex() + 1, left);
        QCOMPARE(nav.rightIndex() + 1, right);
        QCOMPARE(nav.nextEnabled(), next);
        QCOMPARE(nav.previousEnabled(), previous);
        QCOMPARE(nav.pageNumberReadOnly(), pages == 1);
    }

    void followsTheNewestPageUntilACommand()
    {
        PreviewNavigation nav;
        QCOMPARE(nav.currentIndex(), -1);
        QVERIFY(!nav.nextEnabled() && !nav.previousEnabled());
        nav.setPageCount(1);
        nav.setPageCount(2);
        nav.setPageCount(3);
        QCOMPARE(nav.currentIndex(), 2);
        // A command starts from the page the user sees.
        nav.previous();
        QCOMPARE(nav.currentIndex(), 1);
        nav.setPageCount(4);
        QCOMPARE(nav.currentIndex(), 1);
        nav.activate();
        QCOMPARE(nav.currentIndex(), 0);
    }

    void zoom_data()
    {
        QTest::addColumn<QString>("commands");
        QTest::addColumn<QString>("zoom");
        QTest::addColumn<bool>("smaller");
        QTest::newRow("start") << "" << " 1.000" << false;
        QTest::newRow("larger") << "larger" << " 1.100" << true;
        QTest::newRow("smaller at 1") << "smaller" << " 1.000" << false;
        QTest::newRow("1.2 step 0.5 smaller") << "larger larger step:0.500 smaller" << " 1.000" << false;
        QTest::newRow("step 0.5 larger") << "step:0.500 larger" << " 1.500" << true;
        QTest::newRow("junk step") << "step:0.500 step:. larger" << " 1.100" << true;
        QTest::newRow("zero step") << "step:0.000 larger" << " 1.100" << true;
        QTest::newRow("negative step") << "step:-1 larger smaller smaller" << " 1.000" << false;
        QTest::newRow("partly typed step") << "step:2. larger" << " 3.000" << true;
        QTest::newRow("bounded") << "step:9.999 larger larger larger" << "16.000" << true;
    }
    void zoom()
    {
        QFETCH(QString, commands);
        QFETCH(QString, zoom);
        QFETCH(bool, smaller);
        PreviewNavigation nav;
        nav.setPageCount(2);
        run(nav, commands);
        QCOMPARE(PreviewNavigation::numberText(nav.zoom()), zoom.trimmed().rightJustified(5));
        QCOMPARE(nav.smallerEnabled(), smaller);
        QVERIFY(nav.zoom() >= 1.0);
    }

    void compressionFromTheSettings_data()
    {
        QTest::addColumn<QString>("ini");
        QTest::addColumn<bool>("compress");
        QTest::newRow("no settings file") << QString() << true;
        QTest::newRow("no group") << "[Other]\nx=1\n" << true;
        QTest::newRow("on") << "[RichPrint.Settings]\nCompress\\CompressPreview=1\n" << true;
        QTest::newRow("off") << "[RichPrint.Settings]\nCompress\\CompressPreview=0\n" << false;
        QTest::newRow("junk") << "[RichPrint.Settings]\nCompress\\CompressPreview=maybe\n" << true;
    }
    void compressionFromTheSettings()
    {
        QFETCH(QString, ini);
        QFETCH(bool, compress);
        QTemporaryDir dir;
        QString file;
        if (!ini.isNull()) {
            file = dir.filePath(QStringLiteral("quorin.ini"));
            QFile out(file);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(ini.toUtf8());
        }
        Preview p(2, 1.414, file);
        QCOMPARE(p.form->compress(), compress);
        QCOMPARE(QDir(p.form->pageStore().folder()).entryList(QDir::Files, QDir::Name),
                 QStringList({print::PageStore::fileName(0, compress), print::PageStore::fileName(1, compress)}));
    }

    void productionThenActivation()
    {
        ScriptedPrintDialogs dialogs;
        QPrinter printer(QPrinter::HighResolution);
        QPointer<PreviewForm> form = new PreviewForm(dialogs, printer, 1.414);
        QVERIFY(form->isVisible());
        form->setPageSize(pagePixels);
        QCOMPARE(form->windowTitle(), QStringLiteral("Print Preview (Formatting)"));
        auto *edit = form->findChild<QLineEdit *>("Edit1");
        auto *total = form->findChild<QLabel *>("Label10");
        for (int n = 1; n <= 3; ++n) {
            form->storePage(makePage(n));
            // The newest page is shown while production goes on.
            QCOMPARE(form->findChild<print::PageView *>("Image1")->pageIndex(), n - 1);
            QCOMPARE(edit->text(), QString::number(n));
        }
        QVERIFY(total->isHidden());
        form->productionFinished();
        QCOMPARE(form->windowTitle(), QStringLiteral("Print Preview"));
        QVERIFY(!total->isHidden());
        QCOMPARE(total->text(), QStringLiteral("(3)"));
        QCOMPARE(edit->text(), QStringLiteral("1"));
        QVERIFY(form->findChild<print::PageView *>("Image1")->hasPicture());
        QVERIFY(dialogs.errors().isEmpty());
        delete form.data();
    }

    void twoPagesWhenTheScreenHasRoom_data()
    {
        QTest::addColumn<int>("pages");
        QTest::addColumn<double>("aspect");
        QTest::addColumn<bool>("twoPage");
        const bool wide = screenSize().width() >= 2 * print::previewLayout(screenSize(), 1.414).window.width();
        QTest::newRow("3 pages, portrait") << 3 << 1.414 << wide;
        QTest::newRow("1 page, portrait") << 1 << 1.414 << false;
        // A landscape page fills the screen's width: no room for two windows.
        QTest::newRow("3 pages, landscape") << 3 << 0.5 << false;
    }
    void twoPagesWhenTheScreenHasRoom()
    {
        QFETCH(int, pages);
        QFETCH(double, aspect);
        QFETCH(bool, twoPage);
        Preview p(pages, aspect);
        QCOMPARE(p.form->secondWindow() != nullptr, twoPage);
        QCOMPARE(p.form->navigation().isTwoPage(), twoPage);
        QCOMPARE(p.child<QLineEdit>("Edit1")->isReadOnly(), pages == 1);
        if (!twoPage)
            return;
        print::Preview2 *second = p.form->secondWindow();
        QCOMPARE(second->windowTitle(), QStringLiteral("next page"));
        QCOMPARE(shownPages(p), QList<int>({1, 2}));
        QCOMPARE(second->findChild<QLabel *>("Label5")->text().trimmed(), QStringLiteral("2"));
        // Next: page 3 on the left, a blank right page without its number.
        p.key(Qt::Key_PageUp);
        QCOMPARE(shownPages(p), QList<int>({3, 0}));
        QVERIFY(second->findChild<QLabel *>("Label5")->isHidden());
        QVERIFY(second->findChild<QLabel *>("Label4")->isHidden());
        QVERIFY(!p.child<ArrowButton>("ArrowButton2")->isEnabled());
        QVERIFY(!p.child<QLabel>("Label1")->isEnabled());
        QVERIFY(p.child<ArrowButton>("ArrowButton1")->isEnabled());
        // A key typed in the second window moves the pair too.
        QTest::keyClick(second, Qt::Key_PageDown);
        QCOMPARE(shownPages(p), QList<int>({1, 2}));
        QVERIFY(!second->findChild<QLabel *>("Label5")->isHidden());
        // The two windows stand side by side, the same size.
        QCOMPARE(second->size(), p.form->size());
        QCOMPARE(second->x(), p.form->x() + p.form->layout().window.width());
    }

    void keysAndTyping_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QList<int>>("shown");
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("zoom");
        // Landscape pages: one-page mode on any screen.
        QTest::newRow("page up, page up") << "PgUp PgUp" << QList<int>{3} << "3" << "1.000";
        QTest::newRow("end, page down") << "End PgDn" << QList<int>{4} << "4" << "1.000";
        // Letters reach the window even while the page number has the focus.
        QTest::newRow("L twice, S") << "L L S" << QList<int>{1} << "1" << "1.100";
        QTest::newRow("typed 4") << "Clear 4" << QList<int>{4} << "4" << "1.000";
        QTest::newRow("typed 9: nothing") << "PgUp Clear 9" << QList<int>{2} << "9" << "1.000";
        QTest::newRow("typed 0: nothing") << "PgUp Clear 0" << QList<int>{2} << "0" << "1.000";
    }
    void keysAndTyping()
    {
        QFETCH(QString, keys);
        QFETCH(QList<int>, shown);
        QFETCH(QString, edit);
        QFETCH(QString, zoom);
        Preview p(5, 0.5);
        QVERIFY(!p.form->secondWindow());
        auto *editor = p.child<QLineEdit>("Edit1");
        const QHash<QString, int> named{{"PgUp", Qt::Key_PageUp}, {"PgDn", Qt::Key_PageDown}, {"Home", Qt::Key_Home},
                                        {"End", Qt::Key_End},     {"L", Qt::Key_L},           {"S", Qt::Key_S}};
        for (const QString &key : keys.split(u' ')) {
            if (key == "Clear") {
                editor->selectAll();
                QTest::keyClick(editor, Qt::Key_Delete);
            } else if (named.contains(key)) {
                p.key(named.value(key));
            } else {
                QTest::keyClicks(editor, key);
            }
        }
        QCOMPARE(shownPages(p), shown);
        QCOMPARE(editor->text(), edit);
        QCOMPARE(p.child<QLabel>("Label7")->text(), zoom);
        QCOMPARE(p.child<QToolButton>("SpeedButton3")->isEnabled(), zoom != "1.000");
    }

    // The sheet is white and the page's ink dark, whatever colours the
    // window's palette gives a painter; a page whose file is lost is a
    // blank sheet.
    void pagesAreDrawnOnAWhiteSheet()
    {
        Preview p(2, 0.5);
        auto *image = p.child<print::PageView>("Image1");
        const auto inkAndPaper = [image] {
            const QImage shot = image->grab().toImage();
            int ink = 0;
            int paper = 0;
            for (int y = 0; y < shot.height(); ++y) {
                for (int x = 0; x < shot.width(); ++x) {
                    const int grey = qGray(shot.pixel(x, y));
                    ink += grey < 100;
                    paper += grey > 250;
                }
            }
            return std::pair(ink, paper * 100 / (shot.width() * shot.height()));
        };
        const auto [ink, paper] = inkAndPaper();
        QVERIFY2(ink > 100, qPrintable(QString::number(ink)));
        QVERIFY(paper > 80);
        QVERIFY(QFile::remove(p.form->pageStore().filePath(1)));
        p.key(Qt::Key_PageUp);
        QCOMPARE(inkAndPaper(), std::pair(0, 100));
    }

    void zoomStepTypedAndReset()
    {
        Preview p(2, 0.5);
        auto *step = p.child<QLineEdit>("MaskEdit1");
        QCOMPARE(step->text(), QStringLiteral("0.100"));
        QCOMPARE(step->maxLength(), 5);
        step->selectAll();
        QTest::keyClicks(step, "0500");
        QCOMPARE(step->text(), QStringLiteral("0.500"));
        p.key(Qt::Key_L, "MaskEdit1");
        QCOMPARE(p.child<QLabel>("Label7")->text(), QStringLiteral("1.500"));
        auto *image = p.child<print::PageView>("Image1");
        auto *box = p.child<QWidget>("ScrollBox1");
        QCOMPARE(image->size(), QSize(qRound(box->width() * 1.5), qRound(box->height() * 1.5)));
        QTest::mouseDClick(p.child<QLabel>("Label7"), Qt::LeftButton);
        QCOMPARE(p.child<QLabel>("Label7")->text(), QStringLiteral("1.000"));
        QCOMPARE(image->size(), box->size());
        QVERIFY(!p.child<QToolButton>("SpeedButton3")->isEnabled());
    }

    void aPageThatCannotBeStoredIsReportedOnce()
    {
        ScriptedPrintDialogs dialogs;
        QPrinter printer;
        QPointer<PreviewForm> form = new PreviewForm(dialogs, printer, 0.5);
        form->setPageSize(pagePixels);
        form->storePage(makePage(1));
        // Something in the way of the next two pages' files.
        QVERIFY(QDir().mkdir(form->pageStore().filePath(1)));
        QVERIFY(QDir().mkdir(form->pageStore().filePath(2)));
        form->storePage(makePage(2));
        form->storePage(makePage(3));
        form->storePage(makePage(4));
        form->productionFinished();
        QCOMPARE(dialogs.errors(), QStringList{"Can not save the page information (MetaFiles)"});
        QCOMPARE(form->navigation().pageCount(), 4);
        form->findChild<QLineEdit *>("Edit1")->setText(QString());
        QTest::keyClicks(form->findChild<QLineEdit *>("Edit1"), "2");
        QVERIFY(!form->findChild<print::PageView *>("Image1")->hasPicture());
        QTest::keyClick(form->findChild<QLineEdit *>("Edit1"), Qt::Key_End);
        QVERIFY(form->findChild<print::PageView *>("Image1")->hasPicture());
        delete form.data();
    }

    void closingRemovesThePagesAndTheWindow()
    {
        ScriptedPrintDialogs dialogs;
        QPrinter printer;
        QPointer<PreviewForm> first = new PreviewForm(dialogs, printer, 1.414);
        QPointer<PreviewForm> second = new PreviewForm(dialogs, printer, 1.414);
        first->storePage(makePage(1));
        second->storePage(makePage(1));
        const QString firstFolder = first->pageStore().folder();
        const QString secondFolder = second->pageStore().folder();
        QVERIFY(firstFolder != secondFolder);
        first->productionFinished();
        QTest::mouseClick(first->findChild<QToolButton *>("BitBtn1"), Qt::LeftButton);
        QTRY_VERIFY(first.isNull()); // it deletes itself
        QVERIFY(!QFileInfo::exists(firstFolder));
        // The other preview keeps its pages.
        QVERIFY(QFileInfo::exists(second->pageStore().filePath(0)));
        second->close();
        QTRY_VERIFY(second.isNull());
        QVERIFY(!QFileInfo::exists(secondFolder));
    }

    void printsARangeFromThePreview_data()
    {
        QTest::addColumn<bool>("compress");
        QTest::newRow("compressed") << true;
        QTest::newRow("plain") << false;
    }
    void printsARangeFromThePreview()
    {
        QFETCH(bool, compress);
        const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        if (pdftotext.isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
        QTemporaryDir dir;
        const QString ini = dir.filePath(QStringLiteral("quorin.ini"));
        QSettings(ini, QSettings::IniFormat)
            .setValue(QStringLiteral("RichPrint.Settings/Compress/CompressPreview"), compress ? "1" : "0");
        Preview p(3, 1.414, ini);
        const QString pdf = dir.filePath(QStringLiteral("pages.pdf"));
        p.printer.setOutputFormat(QPrinter::PdfFormat);
        p.printer.setOutputFileName(pdf);

        // Cancelled: nothing printed.
        p.dialogs.setNextRange(std::nullopt);
        p.key(Qt::Key_P);
        QVERIFY(!QFileInfo::exists(pdf));

        p.dialogs.setNextRange(std::pair(2, 3));
        QTest::mouseClick(p.child<QToolButton>("SpeedButton1"), Qt::LeftButton);
        QCOMPARE(p.dialogs.asked(), QStringList({"printRange 1-3", "printRange 1-3"}));
        QVERIFY(p.dialogs.errors().isEmpty());

        // Into a file the range is one document, so no page overwrites another.
        QVERIFY(QFileInfo(pdf).size() > 0);
        QProcess text;
        text.start(pdftotext, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        QVERIFY(text.waitForFinished());
        const QString out = QString::fromUtf8(text.readAllStandardOutput());
        const QStringList pages = out.split(u'\f', Qt::SkipEmptyParts);
        QCOMPARE(pages.size(), 2);
        QVERIFY2(pages[0].contains("Page 2"), qPrintable(out));
        QVERIFY2(pages[1].contains("Page 3"), qPrintable(out));
        // The last printed page is the one left shown, and no uncompressed copy stays.
        QCOMPARE(shownPages(p).first(), 3);
        QCOMPARE(QDir(p.form->pageStore().folder()).entryList(QDir::Files).size(), 3);
        QVERIFY(!QApplication::overrideCursor());
    }
};

QTEST_MAIN(TestPreview)
#include "tst_preview.moc"
