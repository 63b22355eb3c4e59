// The workspace alone: which panes a command must ask about, in which order
// and with which words; the names it keeps and the signals the window
// follows.

#include "app/workspace.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

const PaneContent edited{true, false};
const PaneContent clean{false, false};
const PaneContent emptied{true, true}; // typed and deleted again

} // namespace

class TestWorkspace : public QObject
{
    Q_OBJECT

private slots:
    void saveQuestions_data()
    {
        QTest::addColumn<PaneContent>("templatePane");
        QTest::addColumn<PaneContent>("informationPane");
        QTest::addColumn<int>("which");
        QTest::addColumn<int>("shown");
        QTest::addColumn<bool>("merge");
        QTest::addColumn<QString>("templateFileName"); // also the template pane's file
        QTest::addColumn<QStringList>("expected");
        const int both = int(Pane::Template | Pane::Information);
        const int tem = int(Pane::Template);
        const int inf = int(Pane::Information);
        QTest::newRow("both, the shown one first")
            << edited << edited << both << inf << false << QString()
            << QStringList{"Save changes to smith.inf?", "Save changes to untitled?"};
        QTest::newRow("both, template shown")
            << edited << edited << both << tem << false << QString()
            << QStringList{"Save changes to untitled?", "Save changes to smith.inf?"};
        QTest::newRow("only the pane replaced")
            << edited << edited << tem << inf << false << QString()
            << QStringList{"Save changes to untitled?"};
        QTest::newRow("unmodified or emptied panes are not asked about")
            << clean << emptied << both << tem << false << QString() << QStringList();
        QTest::newRow("merge over the chosen template's own pane")
            << edited << clean << tem << tem << true << "/f/lease.tem"
            << QStringList{"Save changes to /f/lease.tem?\n\nThe merge reads the Template file "
                           "from disk: changes not saved take no part in it."};
        QTest::newRow("plain question outside a merge")
            << edited << clean << tem << tem << false << "/f/lease.tem"
            << QStringList{"Save changes to /f/lease.tem?"};
    }

    void saveQuestions()
    {
        QFETCH(PaneContent, templatePane);
        QFETCH(PaneContent, informationPane);
        QFETCH(int, which);
        QFETCH(int, shown);
        QFETCH(bool, merge);
        QFETCH(QString, templateFileName);
        QFETCH(QStringList, expected);
        Workspace workspace([&](Pane pane) { return pane == Pane::Template ? templatePane : informationPane; });
        workspace.setPaneFileName(Pane::Information, QStringLiteral("smith.inf"));
        if (!templateFileName.isEmpty()) {
            workspace.setTemplateFileName(templateFileName);
            workspace.setPaneFileName(Pane::Template, templateFileName);
        }
        QStringList asked;
        QList<Pane> panes;
        for (const SaveQuestion &question : workspace.saveQuestions(
                 Panes(which), Pane(shown), merge ? Replacement::ByMerge : Replacement::Plain)) {
            asked.append(question.text);
            panes.append(question.pane);
        }
        QCOMPARE(asked, expected);
        // Each question is about the pane whose file it names.
        for (int i = 0; i < panes.size(); ++i)
            QVERIFY(asked.at(i).contains(workspace.paneFileName(panes.at(i))));
    }

    void namesAndSignals()
    {
        Workspace workspace([](Pane) { return PaneContent{}; });
        QSignalSpy names(&workspace, &Workspace::documentNameChanged);
        QSignalSpy modes(&workspace, &Workspace::overwriteModeChanged);
        QCOMPARE(workspace.documentName(), QStringLiteral("untitled"));
        QVERIFY(!workspace.hasOwnFile(Pane::Template));

        workspace.setDocumentName(QStringLiteral("/home/ann/forms/data.inf"));
        QCOMPARE(workspace.documentFileName(), QStringLiteral("data.inf"));
        QCOMPARE(names.size(), 1);

        // New's "Untitled" is no file of the pane's own either.
        workspace.setPaneFileName(Pane::Template, Workspace::newDocumentName());
        QVERIFY(!workspace.hasOwnFile(Pane::Template));
        workspace.setPaneFileName(Pane::Template, QStringLiteral("/tmp/a.rtf"));
        QVERIFY(workspace.hasOwnFile(Pane::Template));

        workspace.setOverwriteMode(true);
        workspace.setOverwriteMode(true);
        workspace.setOverwriteMode(false);
        QCOMPARE(modes.size(), 2);
    }
};

QTEST_MAIN(TestWorkspace)
#include "tst_workspace.moc"
