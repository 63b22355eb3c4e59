// The unsaved-changes question as New and closing ask it through the
// window: which panes, in which order, and every way an answer ends.

#include "mainformfixture.h"

#include "editor/richeditor.h"
#include "editor/richeditorlines.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

// A shown window whose document pane has been typed into.
struct Edited : MainFormFixture
{
    Edited()
    {
        shown = showActive();
        form->richEditEx1()->insertPlainText(QStringLiteral("Dear Sir"));
    }
    bool modified() const { return form->richEditEx1()->document()->isModified(); }
    bool shown;
};

} // namespace

class TestMainFormClose : public QObject
{
    Q_OBJECT

private slots:
    // Right after start-up too; New replaces only the document, so an edited
    // information pane is not asked about.
    void newAsksAboutEditedDocument()
    {
        Edited f;
        QVERIFY(f.shown);
        f.form->richEditEx2()->insertPlainText(QStringLiteral("Name\nSmith"));
        f.dialogs->setNextAnswer(QMessageBox::Cancel);
        f.action("FileNewItem")->trigger();
        QCOMPARE(f.form->richEditEx1()->wideLines().get(0), QStringLiteral("Dear Sir"));
        QCOMPARE(f.form->workspace().documentName(), QStringLiteral("untitled"));

        f.dialogs->setNextAnswer(QMessageBox::No);
        f.action("FileNewItem")->trigger();
        QCOMPARE(f.dialogs->questions(), QStringList(2, QStringLiteral("Save changes to untitled?")));
        QVERIFY(f.dialogs->errors().isEmpty());
        QCOMPARE(f.form->richEditEx1()->wideLines().count(), 0);
        QVERIFY(!f.modified());
        QCOMPARE(f.form->windowTitle(), QStringLiteral("Untitled - QRN    Quorin"));
        QCOMPARE(f.form->richEditEx2()->wideLines().count(), 2);
    }

    // Every way a close can be refused leaves the program running and the
    // document edited.
    void closeRefused_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("saveName");
        QTest::addColumn<int>("errors");
        QTest::newRow("Cancel") << int(QMessageBox::Cancel) << QString() << 0;
        QTest::newRow("Yes, save dialog cancelled") << int(QMessageBox::Yes) << QString() << 0;
        QTest::newRow("Yes, save fails") << int(QMessageBox::Yes) << "/nonexistent-folder/sub/letter.rtf" << 1;
    }

    void closeRefused()
    {
        QFETCH(int, answer);
        QFETCH(QString, saveName);
        QFETCH(int, errors);
        Edited f;
        QVERIFY(f.shown);
        f.dialogs->setNextAnswer(QMessageBox::StandardButton(answer));
        f.dialogs->setNextFileName(saveName);
        QVERIFY(!f.form->close());
        QVERIFY(f.form->isVisible());
        QVERIFY(f.modified());
        QCOMPARE(f.dialogs->errors().size(), errors);
        QCOMPARE(f.dialogs->questions(), QStringList{QStringLiteral("Save changes to untitled?")});
    }

    // Closing drops both panes, the hidden one too; the one in view is
    // asked about first.
    void closeAsksAboutEveryEditedPane()
    {
        Edited f;
        QVERIFY(f.shown);
        f.form->richEditEx2()->insertPlainText(QStringLiteral("Name\nSmith"));
        f.form->workspace().setPaneFileName(Pane::Template, QStringLiteral("letter.tem"));
        f.form->workspace().setPaneFileName(Pane::Information, QStringLiteral("smith.inf"));
        f.form->t1Click();
        f.dialogs->setNextAnswer(QMessageBox::No);
        f.dialogs->setNextAnswer(QMessageBox::No);
        QVERIFY(f.form->close());
        QCOMPARE(f.dialogs->questions(), (QStringList{QStringLiteral("Save changes to smith.inf?"),
                                                      QStringLiteral("Save changes to letter.tem?")}));
    }

    void closeYesSavesThenCloses()
    {
        QTemporaryDir dir;
        Edited f;
        QVERIFY(f.shown);
        const QString path = dir.filePath(QStringLiteral("letter.rtf"));
        f.dialogs->setNextAnswer(QMessageBox::Yes);
        f.dialogs->setNextFileName(path);
        QVERIFY(f.form->close());
        QVERIFY(!f.modified());
        QCOMPARE(f.form->workspace().paneFileName(Pane::Template), path);
        RichEditor reader;
        reader.loadFromFile(path);
        QCOMPARE(reader.wideLines().get(0), QStringLiteral("Dear Sir"));
    }

    void exitRunsTheCloseQuery()
    {
        Edited f;
        QVERIFY(f.shown);
        f.dialogs->setNextAnswer(QMessageBox::Cancel);
        f.action("FileExitItem")->trigger();
        QVERIFY(f.form->isVisible());
        f.dialogs->setNextAnswer(QMessageBox::No);
        f.action("FileExitItem")->trigger();
        QVERIFY(!f.form->isVisible());
        QCOMPARE(f.dialogs->questions().size(), 2);
    }
};

QTEST_MAIN(TestMainFormClose)
#include "tst_mainformclose.moc"
