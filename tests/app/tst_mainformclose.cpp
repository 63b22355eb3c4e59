// The unsaved-changes question on New and on closing, and the close query.

#include "mainformfixture.h"

#include "richeditor.h"
#include "richeditorlines.h"

#include <QTemporaryDir>
#include <QtTest>

class TestMainFormClose : public QObject
{
    Q_OBJECT

private slots:
    void newAsksAboutEditedDocumentRightAfterStartUp();
    void newCancelKeepsDocument();
    void newAsksNothingForUnchangedOrEmptyPane();
    void newIgnoresTheInformationPane();
    void closeCancelKeepsProgramRunning();
    void closeAsksAboutHiddenEditedPane();
    void closeAsksAboutBothPanesShownFirst();
    void closeYesSavesThenCloses();
    void closeYesButSaveCancelledKeepsRunning();
    void closeRefusedWhenSaveFails();
    void exitRunsTheCloseQuery();
};

namespace {

void type(RichEditor *pane, const QString &text)
{
    pane->insertPlainText(text);
    QVERIFY(pane->document()->isModified());
}

} // namespace

void TestMainFormClose::newAsksAboutEditedDocumentRightAfterStartUp()
{
    MainFormFixture f;
    QVERIFY(f.showActive());
    type(f.form->richEditEx1(), QStringLiteral("Dear Sir"));
    f.dialogs->setNextAnswer(QMessageBox::No);
    f.action("FileNewItem")->trigger();
    QCOMPARE(f.dialogs->questions(), QStringList{QStringLiteral("Save changes to untitled?")});
    QCOMPARE(f.form->richEditEx1()->wideLines().count(), 0);
    QVERIFY(!f.form->richEditEx1()->document()->isModified());
    QCOMPARE(f.form->windowTitle(), QStringLiteral("Untitled - QRN    Quorin"));
    QCOMPARE(f.form->documentName(), QStringLiteral("Untitled"));
}

void TestMainFormClose::newCancelKeepsDocument()
{
    MainFormFixture f;
    QVERIFY(f.showActive());
    type(f.form->richEditEx1(), QStringLiteral("Dear Sir"));
    f.dialogs->setNextAnswer(QMessageBox::Cancel);
    f.action("FileNewItem")->trigger();
    QCOMPARE(f.dialogs->questions().size(), 1);
    // The silent abort: no error box, nothing changed.
    QVERIFY(f.dialogs->errors().isEmpty());
    QCOMPARE(f.form->richEditEx1()->wideLines().get(0), QStringLiteral("Dear Sir"));
    QCOMPARE(f.form->documentName(), QStringLiteral("untitled"));
}

void TestMainFormClose::newAsksNothingForUnchangedOrEmptyPane()
{
    MainFormFixture f;
    QVERIFY(f.showActive());
    f.action("FileNewItem")->trigger();
    // Text typed and deleted again leaves a modified but empty pane.
    type(f.form->richEditEx1(), QStringLiteral("x"));
    f.form->richEditEx1()->clear();
    f.form->richEditEx1()->document()->setModified(true);
    f.action("FileNewItem")->trigger();
    QVERIFY(f.dialogs->questions().isEmpty());
    QCOMPARE(f.dialogs->unexpected(), 0);
}

void TestMainFormClose::newIgnoresTheInformationPane()
{
    // New replaces only the document; an edited information file stays
    // and is not asked about.
    MainFormFixture f;
    QVERIFY(f.showActive());
    type(f.form->richEditEx2(), QStringLiteral("Name\nSmith"));
    f.action("FileNewItem")->trigger();
    QVERIFY(f.dialogs->questions().isEmpty());
    QCOMPARE(f.form->richEditEx2()->wideLines().count(), 2);
}

void TestMainFormClose::closeCancelKeepsProgramRunning()
{
    MainFormFixture f;
    QVERIFY(f.showActive());
    type(f.form->richEditEx1(), QStringLiteral("Dear Sir"));
    QSignalSpy lastClosed(qApp, &QGuiApplication::lastWindowClosed);
    f.dialogs->setNextAnswer(QMessageBox::Cancel);
    QVERIFY(!f.form->close());
    QVERIFY(f.form->isVisible());
    QCOMPARE(lastClosed.count(), 0);
    QVERIFY(f.dialogs->errors().isEmpty());
    QCOMPARE(f.dialogs->questions(), QStringList{QStringLiteral("Save changes to untitled?")});
}

void TestMainFormClose::closeAsksAboutHiddenEditedPane()
{
    MainFormFixture f;
    QVERIFY(f.showActive());
    type(f.form->richEditEx1(), QStringLiteral("Dear Sir"));
    f.form->t1Click();
    QVERIFY(f.form->richEditEx1()->isHidden());
    f.form->setPaneFileName(Pane::Template, QStringLiteral("/tmp/letter.rtf"));
    f.dialogs->setNextAnswer(QMessageBox::Cancel);
    QVERIFY(!f.form->close());
    QCOMPARE(f.dialogs->questions(), QStringList{QStringLiteral("Save changes to /tmp/letter.rtf?")});
    f.dialogs->setNextAnswer(QMessageBox::No);
    QVERIFY(f.form->close());
}

void TestMainFormClose::closeAsksAboutBothPanesShownFirst()
{
    MainFormFixture f;
    QVERIFY(f.showActive());
    type(f.form->richEditEx1(), QStringLiteral("Dear Sir"));
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

void TestMainFormClose::closeYesSavesThenCloses()
{
    QTemporaryDir dir;
    MainFormFixture f;
    QVERIFY(f.showActive());
    type(f.form->richEditEx1(), QStringLiteral("Dear Sir"));
    const QString path = dir.filePath(QStringLiteral("letter.rtf"));
    f.dialogs->setNextAnswer(QMessageBox::Yes);
    f.dialogs->setNextFileName(path);
    QVERIFY(f.form->close());
    QVERIFY(QFile::exists(path));
    QVERIFY(!f.form->richEditEx1()->document()->isModified());
    QCOMPARE(f.form->paneFileName(Pane::Template), path);
    QVERIFY(f.dialogs->allAnswersUsed());

    // What was saved reads back.
    RichEditor reader;
    reader.loadFromFile(path);
    QCOMPARE(reader.wideLines().get(0), QStringLiteral("Dear Sir"));
}

void TestMainFormClose::closeYesButSaveCancelledKeepsRunning()
{
    MainFormFixture f;
    QVERIFY(f.showActive());
    type(f.form->richEditEx1(), QStringLiteral("Dear Sir"));
    f.dialogs->setNextAnswer(QMessageBox::Yes);
    f.dialogs->setNextFileName(QString()); // the save dialog cancelled
    QVERIFY(!f.form->close());
    QVERIFY(f.form->richEditEx1()->document()->isModified());
    QVERIFY(f.dialogs->errors().isEmpty());
}

void TestMainFormClose::closeRefusedWhenSaveFails()
{
    MainFormFixture f;
    QVERIFY(f.showActive());
    type(f.form->richEditEx1(), QStringLiteral("Dear Sir"));
    f.dialogs->setNextAnswer(QMessageBox::Yes);
    f.dialogs->setNextFileName(QStringLiteral("/nonexistent-folder/sub/letter.rtf"));
    QVERIFY(!f.form->close());
    QCOMPARE(f.dialogs->errors().size(), 1);
    QVERIFY(f.form->richEditEx1()->document()->isModified());
    QVERIFY(f.form->isVisible());
}

void TestMainFormClose::exitRunsTheCloseQuery()
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

QTEST_MAIN(TestMainFormClose)
#include "tst_mainformclose.moc"
