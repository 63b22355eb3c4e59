// Choosing the Information and Template files from the menu and from the
// recent-files callbacks: state, caption, panes, the even-line check and the
// unsaved-changes question.

#include "assemblytestutil.h"

#include "app/commands/assemblycommands.h"

#include <QSignalSpy>

using namespace assemblytest;

class TestAssemblyFiles : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void informationFileSetsStateAndShowsPane()
    {
        MainFormFixture f;
        QVERIFY(f.showActive());
        MainForm &form = *f.form;
        QSignalSpy chosen(form.assemblyCommands(), &AssemblyCommands::informationFileChosen);
        const QString path = writeFile(*m_dir, QStringLiteral("client.inf"), "Name\nSmith\nTown\nLeeds\n");

        // Cancelled dialogs (no file queued) change nothing.
        f.action("EditInformationFile1")->trigger();
        f.action("EditTemplateFile1")->trigger();
        QCOMPARE(f.dialogs->openRequests().at(1).fileName, QStringLiteral("*.tem"));
        QCOMPARE(form.informationFileName(), QString());
        QCOMPARE(form.templateFileName(), QString());
        QCOMPARE(form.windowTitle(), QStringLiteral("untitled - QRN    Quorin"));
        QVERIFY(f.dialogs->questions().isEmpty());

        choose(f, "EditInformationFile1", path);

        QCOMPARE(f.dialogs->openRequests().size(), 3);
        QCOMPARE(f.dialogs->openRequests().first().fileName, QStringLiteral("*.inf"));
        QCOMPARE(form.informationFileName(), path);
        QCOMPARE(form.documentName(), path);
        QCOMPARE(form.windowTitle(), QStringLiteral("client.inf - QRN    Quorin"));
        QVERIFY(form.richEditEx1()->isHidden());
        QVERIFY(!form.richEditEx2()->isHidden());
        QCOMPARE(paneLines(form.richEditEx2()),
                 (QStringList{"Name", "Smith", "Town", "Leeds"}));
        QCOMPARE(form.paneFileName(Pane::Information), path);
        QCOMPARE(chosen.size(), 1);
        QCOMPARE(chosen.first().first().toString(), path);
        // The next dialog starts where this one ended.
        QCOMPARE(form.openDialog().directory, m_dir->path());
        QVERIFY(f.dialogs->messages().isEmpty());
        QVERIFY(f.dialogs->errors().isEmpty());
    }

    void evenLineCount_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("reported");
        QTest::newRow("four lines") << QByteArray("a\nb\nc\nd\n") << false;
        QTest::newRow("five lines") << QByteArray("a\nb\nc\nd\ne\n") << true;
        // The empty last line is not counted: three lines.
        QTest::newRow("empty last line") << QByteArray("a\r\nb\r\nc\r\n") << true;
        QTest::newRow("no final line end") << QByteArray("a\nb") << false;
    }

    void evenLineCount()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, reported);
        MainFormFixture f;
        QVERIFY(f.showActive());
        const QString path = writeFile(*m_dir, QStringLiteral("x.inf"), content);
        choose(f, "EditInformationFile1", path);

        if (!reported) {
            QVERIFY(f.dialogs->messages().isEmpty());
            return;
        }
        QCOMPARE(f.dialogs->messages().size(), 1);
        const ScriptedDialogs::MessageCall &call = f.dialogs->messages().first();
        QCOMPARE(call.title, QString());
        QCOMPARE(call.kind, QStringLiteral("!"));
        QCOMPARE(call.buttons, QString());
        QCOMPARE(call.text.split(u';'),
                 (QStringList{" There is a problem with this file",
                              "There must be an even number of lines with",
                              "information appearing only on the even lines",
                              "edit and save it before proceeding."}));
        // The file stays loaded and chosen.
        QCOMPARE(f.form->informationFileName(), path);
        QVERIFY(f.form->richEditEx2()->wideLines().count() > 0);
    }

    void templateFileSetsUntitledCaptionOrReportsError()
    {
        MainFormFixture f;
        QVERIFY(f.showActive());
        MainForm &form = *f.form;
        QSignalSpy chosen(form.assemblyCommands(), &AssemblyCommands::templateFileChosen);
        const QString info = writeFile(*m_dir, QStringLiteral("a.inf"), "H\nV\n");
        const QString tem = writeFile(*m_dir, QStringLiteral("Lease.tem"), templateRtf("Tenant: @1"));
        choose(f, "EditInformationFile1", info);
        choose(f, "EditTemplateFile1", tem);

        QCOMPARE(form.templateFileName(), tem);
        QCOMPARE(form.informationFileName(), info);
        QCOMPARE(form.documentName(), QStringLiteral("untitled"));
        QCOMPARE(form.windowTitle(), QStringLiteral("untitled - QRN    Quorin"));
        QVERIFY(!form.richEditEx1()->isHidden());
        QVERIFY(form.richEditEx2()->isHidden());
        QCOMPARE(paneLines(form.richEditEx1()), (QStringList{"Tenant: @1", "End"}));
        QVERIFY(!form.richEditEx1()->document()->isModified());
        QCOMPARE(chosen.size(), 1);

        // An unreadable file is reported. The chosen path stays, as the state
        // set before a load does; the pane keeps the template it showed.
        const QString missing = m_dir->filePath(QStringLiteral("gone.tem"));
        choose(f, "EditTemplateFile1", missing);
        QCOMPARE(f.dialogs->errors().size(), 1);
        QVERIFY2(f.dialogs->errors().first().contains(QStringLiteral("gone.tem")),
                 qPrintable(f.dialogs->errors().first()));
        QCOMPARE(form.templateFileName(), missing);
        QCOMPARE(paneLines(form.richEditEx1()).first(), QStringLiteral("Tenant: @1"));
        QCOMPARE(form.paneFileName(Pane::Template), tem);
    }

    void replacingEditedPaneAsksFirst()
    {
        MainFormFixture f;
        QVERIFY(f.showActive());
        MainForm &form = *f.form;
        const QString first = writeFile(*m_dir, QStringLiteral("first.inf"), "H\nOld\n");
        const QString second = writeFile(*m_dir, QStringLiteral("second.inf"), "H\nNew\n");
        choose(f, "EditInformationFile1", first);
        form.richEditEx2()->moveCursor(QTextCursor::End);
        form.richEditEx2()->insertPlainText(QStringLiteral("Edited"));

        // Cancel: the edited pane and every piece of state stay.
        f.dialogs->setNextAnswer(QMessageBox::Cancel);
        choose(f, "EditInformationFile1", second);
        QCOMPARE(f.dialogs->questions(), QStringList{QStringLiteral("Save changes to %1?").arg(first)});
        QCOMPARE(form.informationFileName(), first);
        QVERIFY(paneLines(form.richEditEx2()).contains(QStringLiteral("Edited")));
        QVERIFY(f.dialogs->errors().isEmpty());

        // No: the new file replaces it.
        f.dialogs->setNextAnswer(QMessageBox::No);
        choose(f, "EditInformationFile1", second);
        QCOMPARE(form.informationFileName(), second);
        QCOMPARE(paneLines(form.richEditEx2()), (QStringList{"H", "New"}));

        // The template pane is asked about when a template replaces it.
        form.showPane(Pane::Template);
        form.richEditEx1()->insertPlainText(QStringLiteral("A letter"));
        const QString tem = writeFile(*m_dir, QStringLiteral("t.tem"), templateRtf("@1"));
        f.dialogs->clearRecords();
        f.dialogs->setNextAnswer(QMessageBox::Cancel);
        choose(f, "EditTemplateFile1", tem);
        QCOMPARE(f.dialogs->questions(), QStringList{QStringLiteral("Save changes to untitled?")});
        QCOMPARE(form.templateFileName(), QString());
        QCOMPARE(paneLines(form.richEditEx1()), QStringList{QStringLiteral("A letter")});
    }

    void recentInformationFile()
    {
        MainFormFixture f;
        QVERIFY(f.showActive());
        MainForm &form = *f.form;
        QSignalSpy chosen(form.assemblyCommands(), &AssemblyCommands::informationFileChosen);
        const QString path = writeFile(*m_dir, QStringLiteral("recent.inf"), "H1\nV1\nH2\n");
        form.setDocumentName(QStringLiteral("/some/letter.rtf"));

        form.assemblyCommands()->mruFiles1MRUItemClick(path);

        QCOMPARE(form.windowTitle(), path); // the path itself, not "name - title"
        QCOMPARE(form.documentName(), QStringLiteral("/some/letter.rtf"));
        QCOMPARE(form.informationFileName(), path);
        QVERIFY(form.richEditEx1()->isHidden());
        QVERIFY(!form.richEditEx2()->isHidden());
        QCOMPARE(paneLines(form.richEditEx2()), (QStringList{"H1", "V1", "H2"}));
        // The list took the entry out itself: it is not announced again.
        QCOMPARE(chosen.size(), 0);
        // Three lines are odd wherever the file came from.
        QCOMPARE(f.dialogs->messages().size(), 1);
        QCOMPARE(f.dialogs->messages().first().kind, QStringLiteral("!"));
    }

    void recentTemplateFileFailureIsReportedNotThrown()
    {
        MainFormFixture f;
        QVERIFY(f.showActive());
        MainForm &form = *f.form;
        const QString tem = writeFile(*m_dir, QStringLiteral("recent.tem"), templateRtf("Hello @1"));
        form.showPane(Pane::Information);
        form.assemblyCommands()->mruFiles2MRUItemClick(tem);
        QCOMPARE(form.windowTitle(), tem);
        QCOMPARE(form.templateFileName(), tem);
        QCOMPARE(form.documentName(), QStringLiteral("untitled"));
        QVERIFY(!form.richEditEx1()->isHidden());
        QVERIFY(form.richEditEx2()->isHidden());

        // A vanished file: the error box, no exception into the caller, and
        // nothing changed.
        const QString gone = m_dir->filePath(QStringLiteral("gone.tem"));
        form.assemblyCommands()->mruFiles2MRUItemClick(gone);
        QCOMPARE(f.dialogs->errors().size(), 1);
        QCOMPARE(form.templateFileName(), tem);
        QCOMPARE(form.windowTitle(), tem);
        QCOMPARE(paneLines(form.richEditEx1()).first(), QStringLiteral("Hello @1"));
    }

    void toggleOverwriteChecksItem()
    {
        MainFormFixture f;
        QVERIFY(f.showActive());
        QAction *toggle = f.action("ToggleInsOverwrite1");
        QVERIFY(toggle->isEnabled());
        QVERIFY(!toggle->isChecked());
        QVERIFY(!f.form->overwriteMode());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_T, Qt::ControlModifier);
        QVERIFY(f.form->overwriteMode());
        QVERIFY(toggle->isChecked());
        toggle->trigger();
        QVERIFY(!f.form->overwriteMode());
        QVERIFY(!toggle->isChecked());
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_MAIN(TestAssemblyFiles)
#include "tst_assemblyfiles.moc"
