// The window itself: start-up, the program folder, hints, the two panes and
// the focus, the unsaved-changes questions, the help window, and errors that
// leave a command or an event handler.

#include "mainformfixture.h"

#include "app/chrome/hintpanel.h"
#include "app/chrome/ruler.h"
#include "app/chrome/rulergeometry.h"
#include "app/chrome/speedbar.h"
#include "app/commanderror.h"
#include "app/commandline.h"
#include "app/commands/assemblycommands.h"
#include "app/dialogs/helpform.h"
#include "app/programfolder.h"
#include "app/quorinapplication.h"
#include "app/windowplacement.h"
#include "documents/documenterror.h"
#include "editor/editorerror.h"
#include "widgets/tipofdaydialog.h"
#include "widgets/tipsform.h"

#include <QComboBox>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>

namespace {

// Runs `handle` for every event, as a handler of the program would.
struct Handler : QObject
{
    std::function<void(QEvent *)> handle;
    bool event(QEvent *event) override
    {
        handle(event);
        return true;
    }
};

QuorinApplication *app()
{
    return qobject_cast<QuorinApplication *>(qApp);
}

const QString samples = QStringLiteral(QUORIN_SOURCE_DIR "/samples");

} // namespace

class TestMainForm : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_reported.clear();
        app()->setErrorReporter([this](const QString &message) { m_reported.append(message); });
    }
    void cleanup() { setProgramFolderOverride(QString()); }

    void startUp()
    {
        MainFormFixture f;
        int tips = 0;
        f.form->setStartupTipHook([&tips] { ++tips; throw CommandError(QStringLiteral("no tips")); });
        f.showActive();
        QCOMPARE(QApplication::focusWidget(), f.document());
        // Both panes carry the visible flag, the document pane in front.
        QVERIFY(f.document()->isVisible() && f.info()->isVisible());
        QVERIFY(f.form->hintPanel()->isHidden() && f.form->msgPanel()->isHidden());
        QComboBox *fonts = f.form->speedBar()->fontName();
        QVERIFY(fonts->count() > 1);
        for (int i = 1; i < fonts->count(); ++i)
            QVERIFY(fonts->itemText(i - 1).compare(fonts->itemText(i), Qt::CaseInsensitive) <= 0);
        // The text keeps the gutter; setting it left the empty document
        // unmodified and without an undo step.
        QCOMPARE(f.document()->document()->documentMargin(), 6.0);
        QVERIFY(!f.modified() && f.document()->document()->availableUndoSteps() == 0);
        // The ruler's markers follow its width.
        Ruler *ruler = f.form->ruler();
        const int width = ruler->width();
        f.form->resize(f.form->width() + 100, f.form->height());
        QTRY_VERIFY(ruler->width() > width);
        QCOMPARE(ruler->rightInd()->x(), rulergeometry::markerPlaces(0, 0, 0, ruler->width()).right);
        // The caption follows the workspace's name; a "%1" in it is text.
        f.form->workspace().setDocumentName(QStringLiteral("/tmp/100%1.rtf"));
        QCOMPARE(f.form->windowTitle(), QStringLiteral("100%1.rtf - QRN    Quorin"));

        // The start-up tip runs once, from the single-shot Timer2; a failing
        // one is reported, not fatal.
        QVERIFY(f.form->timer2()->isSingleShot());
        QTRY_COMPARE_WITH_TIMEOUT(tips, 1, 3000);
        QVERIFY(!f.form->timer2()->isActive());
        QCOMPARE(f.errors(), QStringList{QStringLiteral("no tips")});
    }

    void fileFiltersAndProgramFolder()
    {
        QCOMPARE(qtFileFilter(QStringLiteral("Rich Text Files (*.RTF)|*.RTF|try it and see files |*.*")),
                 QStringLiteral("Rich Text Files (*.RTF) (*.RTF *.rtf);;try it and see files (*)"));
        // An entry without a description is described by its pattern.
        QCOMPARE(qtFileFilter(QStringLiteral("HTML Files|*.htm||*.html")),
                 QStringLiteral("HTML Files (*.htm *.HTM);;*.html (*.html *.HTML)"));
        QCOMPARE(qtFileFilter(QStringLiteral("Html File(*.htm,*.html)|*.hTM,*.HTML")),
                 QStringLiteral("Html File(*.htm,*.html) (*.hTM *.HTM *.htm *.HTML *.html)"));
        // A description left without its pattern is dropped.
        QCOMPARE(qtFileFilter(QStringLiteral("Text|*.txt|Broken")), QStringLiteral("Text (*.txt *.TXT)"));

        QTemporaryDir root;
        const QString bin = root.filePath(QStringLiteral("bin"));
        QVERIFY(QDir().mkpath(bin));
        const QString relative = QStringLiteral("../share/quorin");
        // Nothing beside the binary and no data folder: the binary's folder.
        QCOMPARE(findProgramFolder(bin, relative), bin + u'/');
        QVERIFY(QDir().mkpath(root.filePath(QStringLiteral("share/quorin"))));
        QCOMPARE(findProgramFolder(bin, relative), root.filePath(QStringLiteral("share/quorin/")));
        // The build tree's copy of the help file wins over the installed one.
        writeFile(root, QStringLiteral("bin/qrnhelp.htm"), {});
        QCOMPARE(findProgramFolder(bin, relative), bin + u'/');
        setProgramFolderOverride(root.path());
        QCOMPARE(helpFilePath(), root.path() + QStringLiteral("/qrnhelp.htm"));
    }

    // Every change of hint paints the panel yellow with the text; Timer1
    // turns it back to the menu colour once per series of hints.
    void hints()
    {
        MainFormFixture f(Show::Active);
        HintPanel *panel = f.form->hintPanel();
        QTimer *timer1 = f.form->timer1();
        timer1->setTimerType(Qt::PreciseTimer); // tells exactly how long it has left
        f.form->setApplicationHint(QStringLiteral("first"));
        QVERIFY(panel->isVisible() && timer1->isActive());
        QCOMPARE(panel->color(), HintPanel::hintColor());
        // A second hint while Timer1 runs does not restart it.
        QTest::qWait(100);
        f.form->setApplicationHint(QStringLiteral("second"));
        QVERIFY(panel->caption() == QStringLiteral("second") && timer1->remainingTime() < timer1->interval() - 50);
        f.form->timer1Timer();
        QVERIFY(!timer1->isActive() && panel->caption().isEmpty() && panel->isVisible());
        QCOMPARE(panel->color(), HintPanel::menuColor());

        // A status tip from anywhere in the window lands in the panel, never
        // in the status bar; Timer1 ends that series on its own.
        timer1->setInterval(20);
        QStatusTipEvent tip(QStringLiteral("line one\nline two"));
        QApplication::sendEvent(f.form->centralWidget(), &tip);
        QVERIFY(panel->caption() == tip.tip() && f.form->statusBar()->currentMessage().isEmpty());
        QCOMPARE(panel->color(), HintPanel::hintColor());
        QTRY_COMPARE(panel->color(), HintPanel::menuColor());

        // A toolbar control gives its long hint on entry and an empty one on
        // leaving, which starts a series too.
        QEvent enter(QEvent::Enter);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(f.form->speedBar()->boldButton(), &enter);
        QCOMPARE(f.form->applicationHint(), QStringLiteral("Bold"));
        f.form->timer1Timer();
        QApplication::sendEvent(f.form->speedBar()->boldButton(), &leave);
        QVERIFY(f.form->applicationHint().isEmpty() && panel->caption().isEmpty());
        QCOMPARE(panel->color(), HintPanel::hintColor());
    }

    // Before a pane is hidden both carry the visible flag and the two tests
    // disagree; afterwards both pick the pane shown. Ctrl+W (the real key:
    // both items carry it and either may take it), T1 and Switch1 switch and
    // focus. A hidden pane cannot take the focus until it is shown.
    void panesAndFocus()
    {
        MainFormFixture f(Show::Active);
        PaneArea *panes = f.form->paneArea();
        QCOMPARE(panes->templateFirstPane(), f.document());
        QCOMPARE(panes->informationFirstPane(), f.info());
        for (RichEditor *expected : {f.info(), f.document(), f.info()}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_W, Qt::ControlModifier);
            QVERIFY(expected->isVisible());
            QCOMPARE(QApplication::focusWidget(), expected);
            QCOMPARE(panes->templateFirstPane(), expected);
            QCOMPARE(panes->informationFirstPane(), expected);
        }
        QVERIFY(f.document()->isHidden());
        f.action("T1")->trigger();
        QCOMPARE(QApplication::focusWidget(), f.document());
        f.action("Switch1")->trigger();
        QCOMPARE(QApplication::focusWidget(), f.info());
        QVERIFY(f.errors().isEmpty());
        f.form->runCommand([&f] { PaneArea::focusPane(f.document()); });
        QCOMPARE(f.errors(), QStringList{QStringLiteral("Cannot focus a disabled or invisible window")});
        panes->showAndFocus(Pane::Template);
        QVERIFY(f.info()->isHidden());
        QCOMPARE(QApplication::focusWidget(), f.document());
    }

    // While another window is active no widget of ours "has" the focus, yet
    // the window remembers which one gets it back. A pane hidden then must
    // not keep it, or the user's next keys go into the hidden pane.
    void focusFollowsThePaneShownWhileInactive()
    {
        QTemporaryDir dir;
        const QString tem = writeFile(dir, QStringLiteral("t.tem"), templateRtf("Hello"));
        const QString inf = writeFile(dir, QStringLiteral("a.inf"), "H\nV\n");
        MainFormFixture f(Show::Active);
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QCOMPARE(f.form->focusWidget(), f.document());
        f.form->assemblyCommands()->mruFiles1MRUItemClick(inf);
        QCOMPARE(f.form->focusWidget(), f.info());
        f.form->assemblyCommands()->mruFiles2MRUItemClick(tem);
        QCOMPARE(f.form->focusWidget(), f.document());
        f.form->t1Click();
        QCOMPARE(f.form->focusWidget(), f.info());

        // Back in the window, typing goes into the pane in view.
        f.showActive();
        QCOMPARE(QApplication::focusWidget(), f.info());
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("x"));
        QCOMPARE(f.info()->wideLines().get(0), QStringLiteral("xH"));
        QVERIFY(f.errors().isEmpty());
    }

    // Exit asks about the edited document; the window closes on No or on a
    // save that worked, and otherwise keeps running with the document edited.
    void exitQuestion_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("saveAs"); // empty: the save dialog is cancelled
        QTest::addColumn<bool>("closes");
        QTest::addColumn<int>("errors");
        QTest::newRow("Cancel") << int(QMessageBox::Cancel) << QString() << false << 0;
        QTest::newRow("No") << int(QMessageBox::No) << QString() << true << 0;
        QTest::newRow("Yes, save dialog cancelled") << int(QMessageBox::Yes) << QString() << false << 0;
        QTest::newRow("Yes, save fails") << int(QMessageBox::Yes) << "/nonexistent-folder/sub/letter.rtf" << false << 1;
        QTest::newRow("Yes, saved") << int(QMessageBox::Yes) << "letter.rtf" << true << 0;
    }

    void exitQuestion()
    {
        QFETCH(int, answer);
        QFETCH(QString, saveAs);
        QFETCH(bool, closes);
        QFETCH(int, errors);
        QTemporaryDir dir;
        const QString path = saveAs.isEmpty() || saveAs.startsWith(u'/') ? saveAs : dir.filePath(saveAs);
        MainFormFixture f(Show::Active);
        f.document()->insertPlainText(QStringLiteral("Dear Sir"));
        // An information pane typed into and emptied again is not asked about.
        f.info()->insertPlainText(QStringLiteral("x"));
        f.info()->textCursor().deletePreviousChar();
        f.dialogs->setNextAnswer(QMessageBox::StandardButton(answer));
        f.dialogs->setNextFileName(path);
        f.action("FileExitItem")->trigger();
        QCOMPARE(f.form->isVisible(), !closes);
        QCOMPARE(f.dialogs->questions(), QStringList{QStringLiteral("Save changes to untitled?")});
        QCOMPARE(f.errors().size(), errors);
        const bool saved = closes && answer == QMessageBox::Yes;
        QCOMPARE(f.modified(), !saved);
        if (saved) {
            QCOMPARE(f.form->workspace().paneFileName(Pane::Template), path);
            RichEditor reader;
            reader.loadFromFile(path);
            QCOMPARE(reader.wideLines().get(0), QStringLiteral("Dear Sir"));
        }
    }

    // New replaces only the document, so an edited information pane is not
    // asked about; closing asks about both panes, the one in view first.
    void newAndCloseAskAboutTheirPanes()
    {
        MainFormFixture f(Show::Active);
        f.document()->insertPlainText(QStringLiteral("Dear Sir"));
        f.info()->insertPlainText(QStringLiteral("Name\nSmith"));
        f.dialogs->setNextAnswer(QMessageBox::Cancel);
        f.action("FileNewItem")->trigger();
        QCOMPARE(f.document()->wideLines().get(0), QStringLiteral("Dear Sir"));
        f.dialogs->setNextAnswer(QMessageBox::No);
        f.action("FileNewItem")->trigger();
        QCOMPARE(f.dialogs->questions(), QStringList(2, QStringLiteral("Save changes to untitled?")));
        QCOMPARE(f.document()->wideLines().count(), 0);
        QVERIFY(!f.modified());
        QCOMPARE(f.form->windowTitle(), QStringLiteral("Untitled - QRN    Quorin"));
        QCOMPARE(f.info()->wideLines().count(), 2);

        f.document()->insertPlainText(QStringLiteral("Dear Madam"));
        f.form->workspace().setPaneFileName(Pane::Template, QStringLiteral("letter.tem"));
        f.form->workspace().setPaneFileName(Pane::Information, QStringLiteral("smith.inf"));
        f.form->paneArea()->showOnly(Pane::Template);
        f.dialogs->clearRecords();
        f.dialogs->setNextAnswer(QMessageBox::Cancel);
        QVERIFY(!f.form->close());
        QCOMPARE(f.dialogs->questions(), QStringList{QStringLiteral("Save changes to letter.tem?")});
        f.form->t1Click();
        f.dialogs->clearRecords();
        f.dialogs->setNextAnswer(QMessageBox::No);
        f.dialogs->setNextAnswer(QMessageBox::No);
        QVERIFY(f.form->close());
        QCOMPARE(f.dialogs->questions(), (QStringList{QStringLiteral("Save changes to smith.inf?"),
                                                      QStringLiteral("Save changes to letter.tem?")}));
    }

    // `quorin FILE...`: each file opens as its menu command opens it (by its
    // extension, in any case); a missing one is reported, changes nothing,
    // and the rest open. Relative paths and URLs name local files.
    void commandLine()
    {
        QTemporaryDir dir;
        const QString inf = writeFile(dir, QStringLiteral("client.INF"), "Name\nSmith\nCity\n");
        const QString tem = writeFile(dir, QStringLiteral("lease.tem"), templateRtf("Tenant @1"));
        const QString missing = dir.filePath(QStringLiteral("gone.inf"));
        const QString letter = writeFile(dir, QStringLiteral("a b.rtf"), "Dear Sir");
        const auto parse = [](const QStringList &arguments) { return parseCommandLine(QStringList{"quorin"} + arguments); };
        MainFormFixture f(Show::Active);
        f.form->openFiles(parse({inf, missing, QDir::current().relativeFilePath(tem)}).files);
        QCOMPARE(f.errors(), QStringList{CommandError::cannotOpenFile(missing)});
        QVERIFY(f.form->workspace().informationFileName() == inf && f.form->workspace().templateFileName() == tem);
        QCOMPARE(paneLines(f.info()), (QStringList{"Name", "Smith", "City"}));
        QCOMPARE(f.dialogs->messages().size(), 1); // the odd line count
        QCOMPARE(paneLines(f.document()), (QStringList{"Tenant @1", "End"}));
        QCOMPARE(f.form->windowTitle(), QStringLiteral("untitled - QRN    Quorin"));
        f.form->openFiles(parse({QUrl::fromLocalFile(letter).toString()}).files);
        QCOMPARE(paneLines(f.document()), QStringList{QStringLiteral("Dear Sir")});
        QCOMPARE(f.form->windowTitle(), QStringLiteral("a b.rtf - QRN    Quorin"));

        const CommandLine options = parse({"--help", "--", "-x.TEM"});
        QVERIFY(options.help && options.files.value(0).role == FileRole::Template && options.error.isEmpty());
        QVERIFY(!parse({"--print", letter}).error.isEmpty());
    }

    // The file dialogs start in the user's documents, then in the folder
    // used last, also in the next run; a folder gone since is not offered.
    void fileDialogsStartWhereTheUserWorks()
    {
        QTemporaryDir settings;
        const QString ini = settings.filePath(QStringLiteral("quorin.ini"));
        QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        documents = QFileInfo(documents).isDir() ? documents : QDir::homePath();
        auto work = std::make_unique<QTemporaryDir>();
        const QString folder = work->path();
        for (int run = 0; run < 3; ++run) {
            if (run == 2)
                work.reset();
            MainFormFixture f(Show::No, std::make_unique<ScriptedDialogs>(), ini);
            f.choose("FileOpenItem", run == 0 ? writeFile(*work, QStringLiteral("a.rtf"), "Dear Sir") : QString());
            f.action("FileSaveAsItem")->trigger();
            QCOMPARE(f.dialogs->openRequests().value(0).directory, run == 1 ? folder : documents);
            QCOMPARE(f.dialogs->saveRequests().value(0).directory, run == 2 ? documents : folder);
        }
    }

    // The window comes back where it was closed, but never larger than the
    // screen nor off it, whatever the settings say.
    void placement()
    {
        QTemporaryDir settings;
        const QString ini = settings.filePath(QStringLiteral("quorin.ini"));
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        const QRect normal(available.topLeft() + QPoint(40, 30), available.size() / 2);
        {
            MainFormFixture first(Show::Active, std::make_unique<ScriptedDialogs>(), ini);
            first.form->resize(normal.size());
            first.form->move(normal.topLeft());
            QVERIFY(first.form->close());
        }
        QSettings stored(ini, QSettings::IniFormat);
        const std::pair<const char *, QVariant> damage[] = {{"Size", QSize(4000, 3000)}, {"Position", QPoint(5000, -300)},
                                                            {"Size", QStringLiteral("huge")}};
        for (int i = -1; i < 3; ++i) {
            if (i >= 0)
                stored.setValue(QStringLiteral("MainWindow/") + QLatin1String(damage[i].first), damage[i].second);
            stored.sync();
            MainFormFixture next(Show::No, std::make_unique<ScriptedDialogs>(), ini);
            const QRect placed(next.form->pos(), next.form->size());
            QVERIFY2(available.contains(placed), qPrintable(QStringLiteral("row %1").arg(i)));
            QVERIFY(i >= 0 || placed == normal);
        }
    }

    // A missing help file is reported; showing it again reads the file
    // afresh. The help window's own menu: Load, whose failures it reports
    // and survives, and Exit. Closing the main window takes it along.
    void helpWindow()
    {
        QTemporaryDir dir;
        setProgramFolderOverride(dir.path());
        MainFormFixture f(Show::Active);
        HelpForm *help = f.form->helpForm();
        f.action("G1")->trigger();
        QCOMPARE(f.errors(), QStringList{QStringLiteral("Cannot open file %1").arg(dir.filePath("qrnhelp.htm"))});
        QVERIFY(help->isHidden());
        for (const char *edition : {"first edition", "second edition"}) {
            writeFile(dir, QStringLiteral("qrnhelp.htm"), edition);
            f.action("G1")->trigger();
            QCOMPARE(help->viewer()->toPlainText(), QString::fromLatin1(edition));
        }

        const QList<QAction *> items = help->menuBar()->actions().constFirst()->menu()->actions();
        f.dialogs->setNextFileName(writeFile(dir, QStringLiteral("other.html"), "<h1>Other page</h1>"));
        items.at(0)->trigger();
        QCOMPARE(help->viewer()->toPlainText(), QStringLiteral("Other page"));
        f.dialogs->setNextFileName(dir.filePath(QStringLiteral("gone.htm")));
        items.at(0)->trigger();
        QCOMPARE(f.errors().size(), 2);
        QCOMPARE(help->viewer()->toPlainText(), QStringLiteral("Other page"));
        items.at(1)->trigger();
        QVERIFY(help->isHidden());

        setProgramFolderOverride(samples);
        f.action("G1")->trigger();
        QVERIFY(help->isVisible());
        QCOMPARE(help->viewer()->source(), QUrl::fromLocalFile(samples + QStringLiteral("/qrnhelp.htm")));
        QVERIFY(help->viewer()->toPlainText().contains(QStringLiteral("Information file")));
        QVERIFY(f.form->close());
        QVERIFY(help->isHidden());
    }

    // The start-up tip shows a random tip until its box is cleared, which
    // the next run remembers; the Help items each show their window modally.
    void tipsCreditsAndAbout()
    {
        MainFormFixture f(Show::Active);
        QStringList seen;
        const auto closeNextModal = [&seen](std::function<void(QWidget *)> look = {}) {
            QTimer::singleShot(0, [&seen, look] {
                QWidget *modal = QApplication::activeModalWidget();
                seen.append(modal ? QString::fromLatin1(modal->metaObject()->className()) : QString());
                if (modal && look)
                    look(modal);
                if (modal)
                    modal->close();
            });
        };

        closeNextModal([](QWidget *modal) {
            auto *tips = qobject_cast<TipsForm *>(modal);
            QVERIFY(tips && !tips->shownTip().isEmpty() && tips->showAtStartup());
            tips->setShowAtStartup(false);
        });
        f.startupTip();
        QVERIFY(f.form->tipDlg1()->randomTips());
        // The box was cleared: the next start shows nothing.
        seen.clear();
        MainFormFixture next(Show::No, std::make_unique<ScriptedDialogs>(),
                             f.settingsDir.filePath(QStringLiteral("quorin.ini")));
        closeNextModal();
        next.startupTip();
        QCoreApplication::processEvents();
        QCOMPARE(seen, QStringList{QString()});
        seen.clear();

        // From the menu, the tips come in order.
        closeNextModal();
        f.action("TipoftheDay2")->trigger();
        QVERIFY(!f.form->tipDlg1()->randomTips());
        closeNextModal();
        f.action("Credits1")->trigger();
        closeNextModal([](QWidget *modal) { QVERIFY(modal->findChildren<QLabel *>().size() > 3); });
        f.action("About1")->trigger();
        QCOMPARE(seen, (QStringList{"TipsForm", "CreditsForm", "AboutBox"}));
        QVERIFY(f.errors().isEmpty());
    }

    // What leaves an event handler is shown and the program carries on; the
    // silent abort shows nothing.
    void eventHandlerErrors()
    {
        Handler handler;
        handler.handle = [](QEvent *event) {
            if (event->type() == QEvent::User)
                throw CommandError(QStringLiteral("Cannot open file /tmp/x"));
            if (event->type() == QEvent::User + 1)
                throw SilentAbort();
            if (event->type() == QEvent::MaxUser)
                throw 42;
        };
        QEvent error(QEvent::User);
        QEvent silent(QEvent::Type(QEvent::User + 1));
        QEvent other(QEvent::MaxUser);
        for (QEvent *event : {&error, &silent, &other})
            QCoreApplication::sendEvent(&handler, event);
        QCOMPARE(m_reported.size(), 2);
        QCOMPARE(m_reported.first(), QStringLiteral("Cannot open file /tmp/x"));
        QVERIFY(!m_reported.at(1).isEmpty());

        // An error box runs an event loop; an error raised meanwhile must
        // not open a box over the box.
        int calls = 0;
        app()->setErrorReporter([&](const QString &) {
            ++calls;
            QCoreApplication::sendEvent(&handler, &error);
        });
        QCoreApplication::sendEvent(&handler, &error);
        QCOMPARE(calls, 1);

        // A command's error goes to the window's own box; the window goes on.
        MainFormFixture f;
        QAction failing;
        QAction working;
        f.form->connectCommand(&failing, [] { throw EditorError(EditorError::failedToLoad()); });
        int ran = 0;
        f.form->connectCommand(&working, [&ran] { ++ran; });
        failing.trigger();
        working.trigger();
        QCOMPARE(f.errors(), QStringList{QStringLiteral("Failed to Load Stream")});
        QCOMPARE(ran, 1);
        QCOMPARE(calls, 1); // the application's reporter heard nothing more
        QVERIFY(errorMessageFor(std::make_exception_ptr(std::runtime_error("disk full"))) == QStringLiteral("disk full"));
        const documents::DocumentError full(QStringLiteral("Cannot write file"), QStringLiteral("/x/a.rtf"),
                                            QStringLiteral("No space left on device"));
        QVERIFY(errorMessageFor(std::make_exception_ptr(full)) == full.message());
        QVERIFY(!errorMessageFor(std::make_exception_ptr(SilentAbort())));
        QVERIFY(!errorMessageFor(std::exception_ptr()));
    }

private:
    QStringList m_reported;
};

// Under the program's own application object, which reports what leaves an
// event handler.
int main(int argc, char *argv[])
{
    QuorinApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TestMainForm test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mainform.moc"
