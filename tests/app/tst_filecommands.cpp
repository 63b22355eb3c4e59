// New, Open, Save and Save As through the real window, with the dialogs
// answered by a script: which pane is written where and in which form, the
// names and questions around it, and saves that fail.

#include "mainformfixture.h"

#include "app/chrome/speedbar.h"
#include "documents/atomicwrite.h"
#include "editor/richeditor.h"
#include "editor/richeditorlines.h"
#include "editor/textattributes.h"

#include <QDir>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

namespace {

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString readText(const QString &path)
{
    return QString::fromUtf8(readBytes(path));
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// A shown window whose document pane has been typed into.
struct Typed : MainFormFixture
{
    explicit Typed(const QString &text = QStringLiteral("Dear Sir"))
    {
        shown = showActive();
        form->richEditEx1()->insertPlainText(text);
    }
    RichEditor *document() const { return form->richEditEx1(); }
    QString documentName() const { return form->workspace().documentName(); }
    bool shown;
};

} // namespace

class TestFileCommands : public QObject
{
    Q_OBJECT

private slots:
    // A folder of its own for every test function and row.
    void init()
    {
        m_folder = std::make_unique<QTemporaryDir>();
        QVERIFY(m_folder->isValid());
    }
    void cleanup() { documents::setWriteFaultsForTesting({}); }

    void saveAfterStartUpAndAfterNew()
    {
        // Start-up names the document "untitled" (lower case): Save writes
        // RTF whatever the name, with no caption change.
        Typed f;
        QVERIFY(f.shown);
        const QString path = dir().filePath(QStringLiteral("letter.doc"));
        f.dialogs->setNextFileName(path);
        f.action("FileSaveItem")->trigger();
        QVERIFY(readText(path).startsWith(QStringLiteral("{\\rtf")));
        QVERIFY(!f.document()->document()->isModified());
        QCOMPARE(f.form->windowTitle(), QStringLiteral("untitled - QRN    Quorin"));
        QCOMPARE(f.form->workspace().paneFileName(Pane::Template), path);

        // After New, Save is Save As, with its extension rules.
        f.action("FileNewItem")->trigger();
        f.document()->insertPlainText(QStringLiteral("Dear Sir"));
        const QString txt = dir().filePath(QStringLiteral("letter.txt"));
        f.dialogs->setNextFileName(txt);
        f.form->speedBar()->saveButton()->click();
        QCOMPARE(readText(txt), QStringLiteral("Dear Sir"));
        QCOMPARE(f.form->windowTitle(), QStringLiteral("letter.txt - QRN    Quorin"));
        QVERIFY(f.dialogs->errors().isEmpty());
    }

    void overwritingAnotherFileAsks()
    {
        // Saving over the pane's own file asks nothing; over any other
        // existing file, Save and Save As ask first.
        const QString own = dir().filePath(QStringLiteral("own.rtf"));
        const QString other = dir().filePath(QStringLiteral("other.rtf"));
        writeBytes(other, "precious");
        Typed f;
        QVERIFY(f.shown);
        for (int save = 0; save < 2; ++save) {
            f.dialogs->setNextFileName(own);
            f.action("FileSaveItem")->trigger();
        }
        QVERIFY(f.dialogs->questions().isEmpty());
        QCOMPARE(f.dialogs->saveRequests().last().fileName, own);

        f.document()->insertPlainText(QStringLiteral("!"));
        const char *items[] = {"FileSaveItem", "FileSaveAsItem", "FileSaveAsItem"};
        const QMessageBox::StandardButton answers[] = {QMessageBox::No, QMessageBox::No, QMessageBox::Cancel};
        for (int i = 0; i < 3; ++i) {
            f.dialogs->setNextFileName(other);
            f.dialogs->setNextAnswer(answers[i]);
            f.action(items[i])->trigger();
        }
        QCOMPARE(f.dialogs->questions(), QStringList(3, QStringLiteral("OK to overwrite %1").arg(other)));
        QCOMPARE(readText(other), QStringLiteral("precious"));
        QVERIFY(f.document()->document()->isModified());
        f.dialogs->setNextFileName(other);
        f.dialogs->setNextAnswer(QMessageBox::Yes);
        f.action("FileSaveAsItem")->trigger();
        QVERIFY(readText(other).contains(QStringLiteral("Dear Sir")));
    }

    // The extension picks the kind of file; one of no known kind (no
    // `begins`) saves nothing, not even after the overwrite question, and
    // says why.
    void saveAsEachKind_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("begins");
        QTest::addColumn<bool>("exists");
        QTest::newRow("rtf") << "letter.rtf" << "{\\rtf" << false;
        QTest::newRow("abbreviated TEM") << "letter.TE" << "{\\rtf" << true;
        QTest::newRow("txt") << "letter.txt" << "Dear Sir" << false;
        QTest::newRow("docx") << "letter.docx" << QString() << false;
        QTest::newRow("doc over a file") << "letter.doc" << QString() << true;
        QTest::newRow("none") << "letter" << QString() << false;
    }

    void saveAsEachKind()
    {
        QFETCH(QString, name);
        QFETCH(QString, begins);
        QFETCH(bool, exists);
        const QString path = dir().filePath(name);
        if (exists)
            writeBytes(path, "old");
        Typed f(QStringLiteral("Dear Sir\nYours"));
        QVERIFY(f.shown);
        f.dialogs->setNextFileName(path);
        f.dialogs->setNextAnswer(QMessageBox::Yes);
        f.action("FileSaveAsItem")->trigger();
        if (begins.isEmpty()) {
            QCOMPARE(f.dialogs->errors().size(), 1);
            QVERIFY(f.dialogs->errors().first().startsWith(QStringLiteral("Nothing was saved")));
            QVERIFY(f.dialogs->errors().first().contains(name));
            QVERIFY(f.dialogs->questions().isEmpty());
            QCOMPARE(readBytes(path), exists ? QByteArray("old") : QByteArray());
            QCOMPARE(QFile::exists(path), exists);
            QVERIFY(f.document()->document()->isModified());
            QCOMPARE(f.documentName(), QStringLiteral("untitled"));
            return;
        }
        QVERIFY(f.dialogs->errors().isEmpty());
        QVERIFY(readText(path).startsWith(begins));
        QVERIFY(!f.document()->document()->isModified());
        QCOMPARE(f.documentName(), path);
        RichEditor reader;
        reader.loadFromFile(path);
        QCOMPARE(reader.wideLines().toStringList(), (QStringList{"Dear Sir", "Yours"}));
    }

    void informationPaneIsSavedAsPlainLines()
    {
        MainFormFixture f;
        QVERIFY(f.showActive());
        f.form->t1Click(); // the information pane in front
        RichEditor *info = f.form->richEditEx2();
        info->insertPlainText(QStringLiteral("Name\nJoan Smith\nCity\nZürich"));
        const QString path = dir().filePath(QStringLiteral("data.inf"));
        f.dialogs->setNextFileName(path);
        f.action("FileSaveAsItem")->trigger();
        QCOMPARE(f.form->windowTitle(), QStringLiteral("data.inf - QRN    Quorin"));
        QCOMPARE(readText(path), QStringLiteral("Name\nJoan Smith\nCity\nZürich"));
        QVERIFY(!info->document()->isModified());
        QCOMPARE(f.form->workspace().paneFileName(Pane::Information), path);
        QCOMPARE(f.form->richEditEx1()->textLength(), 0);

        // Save, whatever the name, keeps the plain lines too.
        const QString rtfName = dir().filePath(QStringLiteral("data.rtf"));
        f.dialogs->setNextFileName(rtfName);
        f.action("FileSaveItem")->trigger();
        QCOMPARE(readText(rtfName), readText(path));
        QVERIFY(f.dialogs->errors().isEmpty());
    }

    void saveAsHtmlExportsWithoutRenaming()
    {
        Typed f(QStringLiteral("Plain "));
        QVERIFY(f.shown);
        f.document()->selAttributes().setBold(true);
        f.document()->insertPlainText(QStringLiteral("Strong"));
        const QString path = dir().filePath(QStringLiteral("page.html"));
        f.dialogs->setNextFileName(path);
        f.action("FileSaveAsItem")->trigger();
        QVERIFY2(f.dialogs->errors().isEmpty(), qPrintable(f.dialogs->errors().join(u'\n')));
        const QString page = readText(path);
        QVERIFY(page.contains(QStringLiteral("<TITLE>$$$</TITLE>")));
        const qsizetype bold = page.indexOf(QStringLiteral("<B>"));
        QVERIFY2(bold > page.indexOf(QStringLiteral("Plain")) && bold < page.indexOf(QStringLiteral("Strong")),
                 qPrintable(page));
        QVERIFY(!f.document()->document()->isModified());
        QCOMPARE(f.documentName(), QStringLiteral("untitled"));
        // No "$$$" anywhere: the page is made in memory.
        QVERIFY(!QFile::exists(QStringLiteral("$$$")));
        QCOMPARE(QDir(dir().path()).entryList(QDir::Files), QStringList{QStringLiteral("page.html")});
    }

    // A fault at any step of the write: an error, the old file byte for
    // byte, no stray file beside it, the document still unsaved.
    void failedSaveKeepsOldFile_data()
    {
        QTest::addColumn<int>("failWrite");
        QTest::addColumn<bool>("failSync");
        QTest::addColumn<bool>("failRename");
        QTest::newRow("first write") << 1 << false << false;
        QTest::newRow("sync") << 0 << true << false;
        QTest::newRow("rename") << 0 << false << true;
    }

    void failedSaveKeepsOldFile()
    {
        QFETCH(int, failWrite);
        QFETCH(bool, failSync);
        QFETCH(bool, failRename);
        const QString path = dir().filePath(QStringLiteral("letter.rtf"));
        const QByteArray old = QByteArray("{\\rtf1 the old letter\\par}\r\n") + QByteArray("\0\xff", 2);
        writeBytes(path, old);
        Typed f;
        QVERIFY(f.shown);
        documents::WriteFaults faults;
        faults.failWrite = failWrite;
        faults.failSync = failSync;
        faults.failRename = failRename;
        documents::setWriteFaultsForTesting(faults);
        f.dialogs->setNextFileName(path);
        f.dialogs->setNextAnswer(QMessageBox::Yes);
        f.action("FileSaveAsItem")->trigger();
        documents::setWriteFaultsForTesting({});

        QCOMPARE(f.dialogs->errors().size(), 1);
        QVERIFY2(f.dialogs->errors().first().contains(path), qPrintable(f.dialogs->errors().first()));
        QCOMPARE(readBytes(path), old);
        QCOMPARE(QDir(dir().path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("letter.rtf")});
        QVERIFY(f.document()->document()->isModified());
        QCOMPARE(f.documentName(), QStringLiteral("untitled"));
    }

    void openReadOnlyUntilNextOpen()
    {
        const QString a = dir().filePath(QStringLiteral("a.rtf"));
        const QString b = dir().filePath(QStringLiteral("b.txt"));
        writeBytes(a, "{\\rtf1\\ansi {\\b Bold} text\\par}");
        writeBytes(b, "plain\r\ntext");
        MainFormFixture f;
        QVERIFY(f.showActive());
        RichEditor *document = f.form->richEditEx1();
        f.dialogs->setNextFileName(a, true);
        f.form->speedBar()->openButton()->click();
        QCOMPARE(document->wideLines().get(0), QStringLiteral("Bold text"));
        QVERIFY(document->isReadOnly());
        QVERIFY(!document->document()->isModified());
        QCOMPARE(f.form->windowTitle(), QStringLiteral("a.rtf - QRN    Quorin"));
        QTest::keyClicks(document, QStringLiteral("xyz"));
        QCOMPARE(document->wideLines().get(0), QStringLiteral("Bold text"));

        f.dialogs->setNextFileName(b, false);
        f.action("FileOpenItem")->trigger();
        QVERIFY(!document->isReadOnly());
        QCOMPARE(document->wideLines().toStringList(), (QStringList{"plain", "text"}));

        // New makes the pane editable even after a read-only Open.
        f.dialogs->setNextFileName(a, true);
        f.action("FileOpenItem")->trigger();
        f.action("FileNewItem")->trigger();
        QVERIFY(!document->isReadOnly());
        QVERIFY(f.dialogs->errors().isEmpty());
    }

    // From the information pane: a failed or cancelled Open keeps the
    // document; one that works shows and focuses it.
    void openFromInformationPane()
    {
        const QString a = dir().filePath(QStringLiteral("a.rtf"));
        writeBytes(a, "{\\rtf1\\ansi Hello\\par}");
        MainFormFixture f;
        QVERIFY(f.showActive());
        f.form->richEditEx1()->setPlainText(QStringLiteral("kept"));
        f.form->richEditEx1()->document()->setModified(false);
        f.form->t1Click();
        f.dialogs->setNextFileName(QStringLiteral("/nonexistent-folder/x.rtf"));
        f.action("FileOpenItem")->trigger();
        f.dialogs->setNextFileName(QString()); // Cancel: nothing, silently
        f.action("FileOpenItem")->trigger();
        QCOMPARE(f.dialogs->errors().size(), 1);
        QCOMPARE(f.form->richEditEx1()->wideLines().get(0), QStringLiteral("kept"));
        QCOMPARE(f.form->workspace().documentName(), QStringLiteral("untitled"));

        f.dialogs->setNextFileName(a);
        f.action("FileOpenItem")->trigger();
        QCOMPARE(f.dialogs->errors().size(), 1);
        QVERIFY(f.form->richEditEx2()->isHidden());
        QCOMPARE(f.form->focusWidget(), f.form->richEditEx1());
        QCOMPARE(f.form->richEditEx1()->wideLines().get(0), QStringLiteral("Hello"));
    }

    void openAsksAboutEditedDocument()
    {
        Typed f;
        QVERIFY(f.shown);
        f.dialogs->setNextAnswer(QMessageBox::Cancel);
        f.action("FileOpenItem")->trigger();
        QCOMPARE(f.dialogs->questions(), QStringList{QStringLiteral("Save changes to untitled?")});
        QVERIFY(f.dialogs->openRequests().isEmpty());
        QCOMPARE(f.document()->wideLines().get(0), QStringLiteral("Dear Sir"));
    }

private:
    QTemporaryDir &dir() { return *m_folder; }
    std::unique_ptr<QTemporaryDir> m_folder;
};

QTEST_MAIN(TestFileCommands)
#include "tst_filecommands.moc"
