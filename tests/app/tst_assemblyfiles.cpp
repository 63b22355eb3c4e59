// Choosing the Information and Template files from the menu and from the
// recent-files callbacks: the workspace, caption, panes, the even-line
// check and the unsaved-changes question.

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
        m_f = std::make_unique<MainFormFixture>();
        QVERIFY(m_f->showActive());
    }
    void cleanup() { m_f.reset(); }

    // The menu: the dialog lists "*.inf" or "*.tem" and starts where the
    // last one ended; the chosen path is announced to the recent-files list.
    void chooseFromTheMenu()
    {
        MainForm &form = *m_f->form;
        const Workspace &workspace = form.workspace();
        QSignalSpy informationChosen(form.assemblyCommands(), &AssemblyCommands::informationFileChosen);
        QSignalSpy templateChosen(form.assemblyCommands(), &AssemblyCommands::templateFileChosen);
        // Cancelled dialogs (no file queued) change nothing.
        m_f->action("EditInformationFile1")->trigger();
        m_f->action("EditTemplateFile1")->trigger();
        QCOMPARE(m_f->dialogs->openRequests().at(0).fileName, QStringLiteral("*.inf"));
        QCOMPARE(m_f->dialogs->openRequests().at(1).fileName, QStringLiteral("*.tem"));
        QVERIFY(workspace.informationFileName().isEmpty() && workspace.templateFileName().isEmpty());

        const QString info = writeFile(*m_dir, QStringLiteral("client.inf"), "Name\nSmith\n");
        choose(*m_f, "EditInformationFile1", info);
        QCOMPARE(workspace.informationFileName(), info);
        QCOMPARE(form.windowTitle(), QStringLiteral("client.inf - QRN    Quorin"));
        QVERIFY(form.richEditEx1()->isHidden());
        QCOMPARE(paneLines(form.richEditEx2()), (QStringList{"Name", "Smith"}));
        QCOMPARE(workspace.paneFileName(Pane::Information), info);
        QCOMPARE(form.openDialog().directory, m_dir->path());

        // A template: the caption says "untitled", so that saving the
        // finished document never offers the template's name.
        const QString tem = writeFile(*m_dir, QStringLiteral("Lease.tem"), templateRtf("Tenant: @1"));
        choose(*m_f, "EditTemplateFile1", tem);
        QCOMPARE(workspace.templateFileName(), tem);
        QCOMPARE(form.windowTitle(), QStringLiteral("untitled - QRN    Quorin"));
        QVERIFY(form.richEditEx2()->isHidden());
        QCOMPARE(paneLines(form.richEditEx1()), (QStringList{"Tenant: @1", "End"}));
        QVERIFY(!form.richEditEx1()->document()->isModified());
        QCOMPARE(informationChosen.size(), 1);
        QCOMPARE(templateChosen.size(), 1);
        QCOMPARE(templateChosen.first().first().toString(), tem);

        // An unreadable file is reported; the chosen path stays, as the
        // state set before a load does, and the pane keeps its template.
        const QString missing = m_dir->filePath(QStringLiteral("gone.tem"));
        choose(*m_f, "EditTemplateFile1", missing);
        QCOMPARE(m_f->dialogs->errors().size(), 1);
        QVERIFY(m_f->dialogs->errors().first().contains(QStringLiteral("gone.tem")));
        QCOMPARE(workspace.templateFileName(), missing);
        QCOMPARE(paneLines(form.richEditEx1()).first(), QStringLiteral("Tenant: @1"));
        QCOMPARE(workspace.paneFileName(Pane::Template), tem);
    }

    void oddLineCountIsReported_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("reported");
        QTest::newRow("four lines") << QByteArray("a\nb\nc\nd\n") << false;
        QTest::newRow("five lines") << QByteArray("a\nb\nc\nd\ne\n") << true;
    }

    // From the menu and from the recent-files list alike; the file stays
    // loaded and chosen.
    void oddLineCountIsReported()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, reported);
        const QString path = writeFile(*m_dir, QStringLiteral("x.inf"), content);
        choose(*m_f, "EditInformationFile1", path);
        m_f->form->assemblyCommands()->mruFiles1MRUItemClick(path);
        QCOMPARE(m_f->dialogs->messages().size(), reported ? 2 : 0);
        for (const ScriptedDialogs::MessageCall &call : m_f->dialogs->messages()) {
            QVERIFY(call.title.isEmpty() && call.buttons.isEmpty());
            QCOMPARE(call.kind, QStringLiteral("!"));
            QVERIFY(call.text.startsWith(QStringLiteral(" There is a problem with this file;")));
        }
        QCOMPARE(m_f->form->workspace().informationFileName(), path);
        QVERIFY(m_f->form->richEditEx2()->wideLines().count() > 0);
    }

    void replacingEditedPaneAsksFirst()
    {
        MainForm &form = *m_f->form;
        const QString first = writeFile(*m_dir, QStringLiteral("first.inf"), "H\nOld\n");
        const QString second = writeFile(*m_dir, QStringLiteral("second.inf"), "H\nNew\n");
        choose(*m_f, "EditInformationFile1", first);
        form.richEditEx2()->insertPlainText(QStringLiteral("Edited "));

        // Cancel: the edited pane and every piece of state stay; No: the new
        // file replaces it.
        m_f->dialogs->setNextAnswer(QMessageBox::Cancel);
        choose(*m_f, "EditInformationFile1", second);
        QCOMPARE(form.workspace().informationFileName(), first);
        QCOMPARE(paneLines(form.richEditEx2()).first(), QStringLiteral("Edited H"));
        m_f->dialogs->setNextAnswer(QMessageBox::No);
        choose(*m_f, "EditInformationFile1", second);
        QCOMPARE(form.workspace().informationFileName(), second);
        QCOMPARE(paneLines(form.richEditEx2()), (QStringList{"H", "New"}));
        QCOMPARE(m_f->dialogs->questions(), QStringList(2, QStringLiteral("Save changes to %1?").arg(first)));

        // The template pane is asked about when a template replaces it,
        // from the menu or from the recent-files list.
        form.paneArea()->showOnly(Pane::Template);
        form.richEditEx1()->insertPlainText(QStringLiteral("A letter"));
        const QString tem = writeFile(*m_dir, QStringLiteral("t.tem"), templateRtf("@1"));
        m_f->dialogs->setNextAnswer(QMessageBox::Cancel);
        choose(*m_f, "EditTemplateFile1", tem);
        m_f->dialogs->setNextAnswer(QMessageBox::Cancel);
        form.assemblyCommands()->mruFiles2MRUItemClick(tem);
        QCOMPARE(m_f->dialogs->questions().mid(2), QStringList(2, QStringLiteral("Save changes to untitled?")));
        QVERIFY(form.workspace().templateFileName().isEmpty());
        QCOMPARE(paneLines(form.richEditEx1()), QStringList{QStringLiteral("A letter")});
        QVERIFY(m_f->dialogs->errors().isEmpty());
    }

    // A file from a list: the caption is the path itself, the document's
    // name stays, and the list (which took the entry out) hears nothing.
    void recentFiles()
    {
        MainForm &form = *m_f->form;
        QSignalSpy chosen(form.assemblyCommands(), &AssemblyCommands::informationFileChosen);
        const QString info = writeFile(*m_dir, QStringLiteral("recent.inf"), "H1\nV1\n");
        const QString tem = writeFile(*m_dir, QStringLiteral("recent.tem"), templateRtf("Hello @1"));
        form.workspace().setDocumentName(QStringLiteral("/some/letter.rtf"));

        form.assemblyCommands()->mruFiles1MRUItemClick(info);
        QCOMPARE(form.windowTitle(), info);
        QCOMPARE(form.workspace().informationFileName(), info);
        QVERIFY(form.richEditEx1()->isHidden());
        form.assemblyCommands()->mruFiles2MRUItemClick(tem);
        QCOMPARE(form.windowTitle(), tem);
        QCOMPARE(form.workspace().templateFileName(), tem);
        QVERIFY(form.richEditEx2()->isHidden());
        QCOMPARE(form.workspace().documentName(), QStringLiteral("/some/letter.rtf"));
        QCOMPARE(chosen.size(), 0);

        // A vanished file: the error box, no exception into the caller,
        // nothing changed.
        form.assemblyCommands()->mruFiles2MRUItemClick(m_dir->filePath(QStringLiteral("gone.tem")));
        QCOMPARE(m_f->dialogs->errors().size(), 1);
        QCOMPARE(form.workspace().templateFileName(), tem);
        QCOMPARE(form.windowTitle(), tem);
        QCOMPARE(paneLines(form.richEditEx1()).first(), QStringLiteral("Hello @1"));
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<MainFormFixture> m_f;
};

QTEST_MAIN(TestAssemblyFiles)
#include "tst_assemblyfiles.moc"
