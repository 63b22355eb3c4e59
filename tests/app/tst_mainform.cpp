// The main window as it comes up: caption, focus, timers, the commands
// that are wired, file dialog filters and the program folder.

#include "mainformfixture.h"

#include "app/commanderror.h"
#include "app/chrome/hintpanel.h"
#include "app/chrome/mainmenu.h"
#include "app/programfolder.h"
#include "editor/richeditor.h"
#include "app/chrome/speedbar.h"

#include <QComboBox>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

class TestMainForm : public QObject
{
    Q_OBJECT

private slots:
    void startUpState()
    {
        MainFormFixture f;
        MainForm &form = *f.form;
        QVERIFY(f.showActive());
        QCOMPARE(form.windowTitle(), QStringLiteral("untitled - QRN    Quorin"));
        QCOMPARE(QApplication::focusWidget(), form.richEditEx1());
        // Both panes carry the visible flag, the document pane in front.
        QVERIFY(form.richEditEx1()->isVisible() && form.richEditEx2()->isVisible());
        QVERIFY(!form.hintPanel()->isVisible());
        QVERIFY(!form.msgPanel()->isVisible());
        QVERIFY(form.timer2()->isActive());
        // The font list was filled and sorted.
        QComboBox *fonts = form.speedBar()->fontName();
        QVERIFY(fonts->count() > 0);
        for (int i = 1; i < fonts->count(); ++i)
            QVERIFY(fonts->itemText(i - 1).compare(fonts->itemText(i), Qt::CaseInsensitive) <= 0);
        QCOMPARE(form.openDialog().directory, programFolder());
        QCOMPARE(form.saveDialog().directory, programFolder());

        // The caption follows the workspace's name; a "%1" in it is text.
        form.workspace().setDocumentName(QStringLiteral("/tmp/100%1.rtf"));
        QCOMPARE(form.windowTitle(), QStringLiteral("100%1.rtf - QRN    Quorin"));
    }

    void startupTipRunsOnceFromTimer2()
    {
        MainFormFixture f;
        auto *timer2 = f.form->findChild<QTimer *>(QStringLiteral("Timer2"));
        QVERIFY(timer2 && timer2->isSingleShot());
        // Without a tip dialog the tick does nothing but stop the timer.
        f.form->timer2Timer();
        QVERIFY(!timer2->isActive());

        int shown = 0;
        f.form->setStartupTipHook([&shown] { ++shown; });
        timer2->start();
        QTRY_COMPARE_WITH_TIMEOUT(shown, 1, 3000);
        QVERIFY(!timer2->isActive());

        // A failing tip dialog is reported, not fatal.
        f.form->setStartupTipHook([] { throw CommandError(QStringLiteral("no tips")); });
        f.form->timer2Timer();
        QCOMPARE(f.dialogs->errors(), QStringList{QStringLiteral("no tips")});
    }

    void onlyWrittenCommandsAreEnabled()
    {
        MainFormFixture f;
        // The window's own, the File and Edit commands, the font dialog and
        // document assembly.
        const QStringList enabled = QStringLiteral(
            "FileNewItem FileExitItem T1 Switch1 G1 FileOpenItem FileSaveItem FileSaveAsItem EditUndoItem "
            "Redo1 EditCutItem EditCopyItem EditPasteItem F1 R1 Insertpagebreak1 Insertnonvisiblepagebreak1 "
            "Selectall2 miEditFont EditInformationFile1 EditTemplateFile1 DoIt1 ToggleInsOverwrite1").split(u' ');
        for (const QString &name : f.form->mainMenu()->actionNames())
            QVERIFY2(f.form->action(name)->isEnabled() == enabled.contains(name), qPrintable(name));
        // A disabled item does not run on its shortcut either.
        QVERIFY(!f.action("FilePrintItem")->isEnabled());
    }

    void filtersListBothCases()
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
    }

    void programFolderLayouts()
    {
        QTemporaryDir root;
        QVERIFY(root.isValid());
        const QString bin = root.filePath(QStringLiteral("bin"));
        QVERIFY(QDir().mkpath(bin));
        const QString relative = QStringLiteral("../share/quorin");
        // Nothing beside the binary and no data folder: the binary's folder.
        QCOMPARE(findProgramFolder(bin, relative), bin + u'/');
        // Installed layout.
        QVERIFY(QDir().mkpath(root.filePath(QStringLiteral("share/quorin"))));
        QCOMPARE(findProgramFolder(bin, relative), root.filePath(QStringLiteral("share/quorin/")));
        // The build tree's copy of the help file wins.
        QFile help(bin + QStringLiteral("/qrnhelp.htm"));
        QVERIFY(help.open(QIODevice::WriteOnly));
        help.close();
        QCOMPARE(findProgramFolder(bin, relative), bin + u'/');

        setProgramFolderOverride(root.path());
        QCOMPARE(helpFilePath(), root.path() + QStringLiteral("/qrnhelp.htm"));
        setProgramFolderOverride(QString());
    }
};

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
