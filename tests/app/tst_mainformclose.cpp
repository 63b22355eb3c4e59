// The unsaved-changes question on New and on closing, and the close query.

#include "mainformfixture.h"

#include "editor/richeditor.h"
#include "editor/richeditorlines.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

void type(RichEditor *pane, const QString &text)
{
    pane->insertPlainText(text);
    QVERIFY(pane->document()->isModified());
}

// A shown window whose document pane has been typed into.
struct Edited : MainFormFixture
{
    Edited() { shown = showActive(); type(form->richEditEx1(), QStringLiteral("Dear Sir")); }
    bool modified() const { return form->richEditEx1()->document()->isModified(); }
    bool shown;
};

} // namespace

class TestMainFormClose : public QObject
{
    Q_OBJECT

private slots:
    void newAsksAboutEditedDocumentRightAfterStartUp()
    {
        Edited f;
        QVERIFY(f.shown);
        // Cancel: the silent abort, no error box, nothing changed.
        f.dialogs->setNextAnswer(QMessageBox::Cancel);
        f.action("FileNewItem")->trigger();
        QVERIFY(f.dialogs->errors().isEmpty());
        QCOMPARE(f.form->richEditEx1()->wideLines().get(0), QStringLiteral("Dear Sir"));
        QCOMPARE(f.form->documentName(), QStringLiteral("untitled"));

        f.dialogs->setNextAnswer(QMessageBox::No);
        f.action("FileNewItem")->trigger();
        QCOMPARE(f.dialogs->questions(), QStringList(2, QStringLiteral("Save changes to untitled?")));
        QCOMPARE(f.form->richEditEx1()->wideLines().count(), 0);
        QVERIFY(!f.modified());
        QCOMPARE(f.form->windowTitle(), QStringLiteral("Untitled - QRN    Quorin"));
        QCOMPARE(f.form->documentName(), QStringLiteral("Untitled"));
    }

    void newAsksNothingForEmptyPaneOrInformation()
    {
        MainFormFixture f;
        QVERIFY(f.showActive());
        // Text typed and deleted again leaves a modified but empty pane.
        type(f.form->richEditEx1(), QStringLiteral("x"));
        f.form->richEditEx1()->clear();
        f.form->richEditEx1()->document()->setModified(true);
        // New replaces only the document; an edited information file stays
        // and is not asked about.
        type(f.form->richEditEx2(), QStringLiteral("Name\nSmith"));
        f.action("FileNewItem")->trigger();
        QVERIFY(f.dialogs->questions().isEmpty());
        QCOMPARE(f.dialogs->unexpected(), 0);
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
        QSignalSpy lastClosed(qApp, &QGuiApplication::lastWindowClosed);
        f.dialogs->setNextAnswer(QMessageBox::StandardButton(answer));
        f.dialogs->setNextFileName(saveName);
        QVERIFY(!f.form->close());
        QVERIFY(f.form->isVisible());
        QCOMPARE(lastClosed.count(), 0);
        QVERIFY(f.modified());
        QCOMPARE(f.dialogs->errors().size(), errors);
        QCOMPARE(f.dialogs->questions(), QStringList{QStringLiteral("Save changes to untitled?")});
    }

    void closeAsksAboutHiddenEditedPane()
    {
        Edited f;
        QVERIFY(f.shown);
        f.form->t1Click();
        QVERIFY(f.form->richEditEx1()->isHidden());
        f.form->setPaneFileName(Pane::Template, QStringLiteral("/tmp/letter.rtf"));
        f.dialogs->setNextAnswer(QMessageBox::Cancel);
        QVERIFY(!f.form->close());
        QCOMPARE(f.dialogs->questions(), QStringList{QStringLiteral("Save changes to /tmp/letter.rtf?")});
        f.dialogs->setNextAnswer(QMessageBox::No);
        QVERIFY(f.form->close());
    }

    void closeAsksAboutBothPanesShownFirst()
    {
        Edited f;
        QVERIFY(f.shown);
        type(f.form->richEditEx2(), QStringLiteral("Name\nSmith"));
        f.form->setPaneFileName(Pane::Template, QStringLiteral("letter.tem"));
        f.form->setPaneFileName(Pane::Information, QStringLiteral("smith.inf"));
        f.form->showPane(Pane::Template);
        f.dialogs->setNextAnswer(QMessageBox::No);
        f.dialogs->setNextAnswer(QMessageBox::No);
        QVERIFY(f.form->close());
        QCOMPARE(f.dialogs->questions(), (QStringList{QStringLiteral("Save changes to letter.tem?"),
                                                      QStringLiteral("Save changes to smith.inf?")}));
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
        QCOMPARE(f.form->paneFileName(Pane::Template), path);
        QVERIFY(f.dialogs->allAnswersUsed());
        RichEditor reader;
        reader.loadFromFile(path);
        QCOMPARE(reader.wideLines().get(0), QStringLiteral("Dear Sir"));
    }

    void exitRunsTheCloseQuery()
    {
        MainFormFixture f;
        QVERIFY(f.showActive());
        type(f.form->richEditEx2(), QStringLiteral("Name"));
        f.dialogs->setNextAnswer(QMessageBox::Cancel);
        f.action("FileExitItem")->trigger();
        QVERIFY(f.form->isVisible());
        QCOMPARE(f.dialogs->questions().size(), 1);
        f.dialogs->setNextAnswer(QMessageBox::No);
        f.action("FileExitItem")->trigger();
        QVERIFY(!f.form->isVisible());
    }
};

QTEST_MAIN(TestMainFormClose)
#include "tst_mainformclose.moc"
