// New, Open, Save and Save As through the real window, with the dialogs
// answered by a script; the extension rules; saves that fail half-way.

#include "mainformfixture.h"

#include "app/commands/filecommands.h"
#include "app/commands/panefile.h"
#include "editor/richeditor.h"
#include "editor/richeditorlines.h"
#include "app/commands/saveasrules.h"
#include "app/chrome/speedbar.h"
#include "editor/textattributes.h"

#include <QDir>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <stdexcept>

namespace {

QString readText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

void writeText(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void type(RichEditor *pane, const QString &text)
{
    pane->insertPlainText(text);
}

} // namespace

class TestFileCommands : public QObject
{
    Q_OBJECT

private slots:
    void extensionRules()
    {
        // Any leading piece of an extension counts, in either case.
        const std::pair<SaveFamily, const char *> cases[] = {
            {SaveFamily::RichText, "/d/letter.rtf /d/letter.TEM /d/letter.inf /d/letter.r /d/letter.te /d/letter.In /d/letter."},
            {SaveFamily::Text, "/d/letter.txt /d/letter.tx /d/letter.t"},
            {SaveFamily::Html, "/d/page.html /d/page.HTM /d/page.h /d/page.ht"},
            // Also a dot in the folder only, a piece not at the dot, one
            // longer than the family's, a hidden file.
            {SaveFamily::Unsupported, "/d/letter.doc /d/letter /d.rtf/letter /d/letter.TF /d/letter.rtfx /d/.profile"},
        };
        for (const auto &[family, paths] : cases)
            for (const QString &path : QString::fromLatin1(paths).split(u' '))
                QVERIFY2(saveFamily(path) == family, qPrintable(path));
    }

    void saveAfterStartUpAndAfterNew()
    {
        // Start-up names the document "untitled" (lower case): Save shows the
        // save dialog and writes RTF whatever the name, with no caption change.
        QTemporaryDir dir;
        MainFormFixture f;
        QVERIFY(f.showActive());
        type(f.form->richEditEx1(), QStringLiteral("Dear Sir"));
        const QString path = dir.filePath(QStringLiteral("letter.doc"));
        f.dialogs->setNextFileName(path);
        f.action("FileSaveItem")->trigger();
        QCOMPARE(f.dialogs->saveRequests().size(), 1);
        QCOMPARE(f.dialogs->saveRequests().first().filter,
            QStringLiteral("Rich Text Files (*.RTF)|*.RTF|Text Files (*.TXT)|*.TXT|Html "
                           "File(*.htm,*.html)|*.hTM,*.HTML"));
        QVERIFY(f.dialogs->errors().isEmpty());
        QVERIFY(readText(path).startsWith(QStringLiteral("{\\rtf")));
        QVERIFY(!f.form->richEditEx1()->document()->isModified());
        QCOMPARE(f.form->windowTitle(), QStringLiteral("untitled - QRN    Quorin"));
        QCOMPARE(f.form->paneFileName(Pane::Template), path);

        // After New, Save runs Save As, with its rules.
        f.dialogs->clearRecords();
        f.action("FileNewItem")->trigger();
        type(f.form->richEditEx1(), QStringLiteral("Dear Sir"));
        // Save As's rules: an unknown extension saves nothing.
        const QString doc = dir.filePath(QStringLiteral("new.doc"));
        f.dialogs->setNextFileName(doc);
        f.form->speedBar()->saveButton()->click();
        QCOMPARE(f.dialogs->errors().size(), 1);
        QVERIFY(!QFile::exists(doc));
        // A known one saves and names the document.
        const QString txt = dir.filePath(QStringLiteral("letter.txt"));
        f.dialogs->setNextFileName(txt);
        f.action("FileSaveItem")->trigger();
        QCOMPARE(readText(txt), QStringLiteral("Dear Sir"));
        QCOMPARE(f.form->windowTitle(), QStringLiteral("letter.txt - QRN    Quorin"));
        QCOMPARE(f.dialogs->saveRequests().size(), 2);
    }

    void overwritingAnotherFileAsks()
    {
        // Save confirms a name each time; saving over the document's own file
        // asks nothing, but over some other existing file it asks first.
        QTemporaryDir dir;
        const QString own = dir.filePath(QStringLiteral("own.rtf"));
        const QString other = dir.filePath(QStringLiteral("other.rtf"));
        writeText(other, "precious");
        MainFormFixture f;
        QVERIFY(f.showActive());
        type(f.form->richEditEx1(), QStringLiteral("Dear Sir"));
        f.dialogs->setNextFileName(own);
        f.action("FileSaveItem")->trigger();
        type(f.form->richEditEx1(), QStringLiteral("!"));
        f.dialogs->setNextFileName(own);
        f.action("FileSaveItem")->trigger();
        QVERIFY(f.dialogs->questions().isEmpty());
        QVERIFY(f.dialogs->saveRequests().last().fileName == own);

        f.dialogs->setNextFileName(other);
        f.dialogs->setNextAnswer(QMessageBox::No);
        f.action("FileSaveItem")->trigger();
        QCOMPARE(
            f.dialogs->questions(), QStringList { QStringLiteral("OK to overwrite %1").arg(other) });
        QCOMPARE(readText(other), QStringLiteral("precious"));

        // Save As: No and Cancel keep the old file, Yes replaces it.
        type(f.form->richEditEx1(), QStringLiteral("!"));
        for (QMessageBox::StandardButton answer : { QMessageBox::No, QMessageBox::Cancel }) {
            f.dialogs->setNextFileName(other);
            f.dialogs->setNextAnswer(answer);
            f.action("FileSaveAsItem")->trigger();
        }
        QCOMPARE(f.dialogs->questions(), QStringList(3, QStringLiteral("OK to overwrite %1").arg(other)));
        QCOMPARE(readText(other), QStringLiteral("precious"));
        QVERIFY(f.form->richEditEx1()->document()->isModified());
        QVERIFY(f.dialogs->errors().isEmpty());
        f.dialogs->setNextFileName(other);
        f.dialogs->setNextAnswer(QMessageBox::Yes);
        f.action("FileSaveAsItem")->trigger();
        QVERIFY(readText(other).contains(QStringLiteral("Dear Sir")));
    }

    // Each family of extensions, and unsupported ones (no `begins`), which
    // save nothing, not even after the overwrite question, and say why.
    void saveAsEachFamily_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("begins");
        QTest::newRow("rtf") << "letter.rtf" << "{\\rtf";
        QTest::newRow("TEM") << "letter.TEM" << "{\\rtf";
        QTest::newRow("lone dot") << "letter." << "{\\rtf";
        QTest::newRow("txt") << "letter.txt" << "Dear Sir";
        QTest::newRow(".T") << "letter.t" << "Dear Sir";
        QTest::newRow("doc") << "letter.doc" << QString();
        QTest::newRow("none") << "letter" << QString();
    }

    void saveAsEachFamily()
    {
        QFETCH(QString, name);
        QFETCH(QString, begins);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        if (begins.isEmpty())
            writeText(path, "old");
        MainFormFixture f;
        QVERIFY(f.showActive());
        RichEditor *document = f.form->richEditEx1();
        document->selAttributes().setBold(true);
        type(document, QStringLiteral("Dear Sir\nYours"));
        f.dialogs->setNextFileName(path);
        f.action("FileSaveAsItem")->trigger();
        QVERIFY(f.dialogs->questions().isEmpty());
        if (begins.isEmpty()) {
            QCOMPARE(f.dialogs->errors().size(), 1);
            QVERIFY(f.dialogs->errors().first().startsWith(QStringLiteral("Nothing was saved")));
            QVERIFY(f.dialogs->errors().first().contains(name));
            QCOMPARE(readText(path), QStringLiteral("old"));
            QVERIFY(document->document()->isModified());
            QCOMPARE(f.form->documentName(), QStringLiteral("untitled"));
            return;
        }
        QVERIFY(f.dialogs->errors().isEmpty());
        const QString saved = readText(path);
        QVERIFY2(saved.startsWith(begins), qPrintable(saved.left(40)));
        QVERIFY(!document->document()->isModified());
        QCOMPARE(f.form->documentName(), path);
        QCOMPARE(f.form->windowTitle(), name + QStringLiteral(" - QRN    Quorin"));
        // Either kind reads back to the same lines.
        RichEditor reader;
        reader.loadFromFile(path);
        QCOMPARE(reader.wideLines().toStringList(), (QStringList{"Dear Sir", "Yours"}));
    }

    void saveAsInformationPaneWritesPlainLines()
    {
        QTemporaryDir dir;
        MainFormFixture f;
        QVERIFY(f.showActive());
        f.form->t1Click(); // the information pane in front
        RichEditor *info = f.form->richEditEx2();
        type(info, QStringLiteral("Name\nJoan Smith\nCity\nZürich"));
        const QString path = dir.filePath(QStringLiteral("data.inf"));
        f.dialogs->setNextFileName(path);
        f.action("FileSaveAsItem")->trigger();
        QVERIFY(f.dialogs->errors().isEmpty());
        QCOMPARE(f.form->windowTitle(), QStringLiteral("data.inf - QRN    Quorin"));
        QCOMPARE(readText(path), QStringLiteral("Name\nJoan Smith\nCity\nZürich"));
        QVERIFY(!info->document()->isModified());
        QCOMPARE(f.form->paneFileName(Pane::Information), path);
        // The document pane is untouched.
        QCOMPARE(f.form->richEditEx1()->textLength(), 0);

        // Save, whatever name is given, keeps the plain lines too.
        const QString rtfName = dir.filePath(QStringLiteral("data.rtf"));
        f.dialogs->setNextFileName(rtfName);
        f.action("FileSaveItem")->trigger();
        QCOMPARE(readText(rtfName), readText(path));
    }

    void saveAsHtmlExportsWithoutRenaming()
    {
        QTemporaryDir dir;
        MainFormFixture f;
        QVERIFY(f.showActive());
        RichEditor *document = f.form->richEditEx1();
        type(document, QStringLiteral("Plain "));
        document->selAttributes().setBold(true);
        type(document, QStringLiteral("Strong"));
        const QString path = dir.filePath(QStringLiteral("page.html"));
        const int tempsBefore = QDir::temp().entryList(QDir::Dirs | QDir::NoDotAndDotDot).size();
        f.dialogs->setNextFileName(path);
        f.action("FileSaveAsItem")->trigger();
        QVERIFY2(f.dialogs->errors().isEmpty(), qPrintable(f.dialogs->errors().join(u'\n')));
        const QString page = readText(path);
        QVERIFY(page.startsWith(QStringLiteral("<HTML>")));
        QVERIFY(page.contains(QStringLiteral("<TITLE>$$$</TITLE>")));
        // Bold starts between the two words.
        const qsizetype bold = page.indexOf(QStringLiteral("<B>"));
        QVERIFY2(bold > page.indexOf(QStringLiteral("Plain"))
                && bold < page.indexOf(QStringLiteral("Strong")),
            qPrintable(page));
        QVERIFY(!document->document()->isModified());
        QCOMPARE(f.form->windowTitle(), QStringLiteral("untitled - QRN    Quorin"));
        QCOMPARE(f.form->documentName(), QStringLiteral("untitled"));
        // No "$$$" in the current folder, and the scratch folder is gone.
        QVERIFY(!QFile::exists(QStringLiteral("$$$")));
        QCOMPARE(QDir::temp().entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), tempsBefore);
        QVERIFY(QDir(dir.path()).entryList(QDir::Files) == QStringList { QStringLiteral("page.html") });
    }

    void openReadOnlyUntilNextOpen()
    {
        QTemporaryDir dir;
        const QString a = dir.filePath(QStringLiteral("a.rtf"));
        const QString b = dir.filePath(QStringLiteral("b.txt"));
        writeText(a, "{\\rtf1\\ansi {\\b Bold} text\\par}");
        writeText(b, "plain\r\ntext");
        MainFormFixture f;
        QVERIFY(f.showActive());
        RichEditor *document = f.form->richEditEx1();
        f.dialogs->setNextFileName(a, true);
        f.form->speedBar()->openButton()->click();
        QCOMPARE(f.dialogs->openRequests().size(), 1);
        QCOMPARE(f.dialogs->openRequests().first().filter,
            QStringLiteral(
                "Rich Text Files (*.RTF)|*.RTF|Text Files (*.TXT)|*.TXT|try it and see files |*.*"));
        QCOMPARE(document->wideLines().get(0), QStringLiteral("Bold text"));
        QVERIFY(document->isReadOnly());
        QVERIFY(!document->document()->isModified());
        QCOMPARE(f.form->windowTitle(), QStringLiteral("a.rtf - QRN    Quorin"));
        QCOMPARE(f.form->documentName(), a);
        QCOMPARE(f.form->focusWidget(), document);
        // Typing does nothing to a read-only document.
        QTest::keyClicks(document, QStringLiteral("xyz"));
        QCOMPARE(document->wideLines().get(0), QStringLiteral("Bold text"));

        f.dialogs->setNextFileName(b, false);
        f.action("FileOpenItem")->trigger();
        QVERIFY(!document->isReadOnly());
        QCOMPARE(document->wideLines().toStringList(),
            (QStringList { QStringLiteral("plain"), QStringLiteral("text") }));

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
        QTemporaryDir dir;
        const QString a = dir.filePath(QStringLiteral("a.rtf"));
        writeText(a, "{\\rtf1\\ansi Hello\\par}");
        MainFormFixture f;
        QVERIFY(f.showActive());
        f.form->richEditEx1()->setPlainText(QStringLiteral("kept"));
        f.form->richEditEx1()->document()->setModified(false);
        f.form->t1Click();
        QVERIFY(f.form->richEditEx1()->isHidden());
        f.dialogs->setNextFileName(QStringLiteral("/nonexistent-folder/x.rtf"));
        f.action("FileOpenItem")->trigger();
        QCOMPARE(f.dialogs->errors().size(), 1);
        QCOMPARE(f.form->richEditEx1()->wideLines().get(0), QStringLiteral("kept"));
        QCOMPARE(f.form->documentName(), QStringLiteral("untitled"));
        f.dialogs->setNextFileName(QString()); // Cancel: nothing, silently
        f.action("FileOpenItem")->trigger();
        QCOMPARE(f.dialogs->errors().size(), 1);

        f.dialogs->setNextFileName(a);
        f.action("FileOpenItem")->trigger();
        QCOMPARE(f.dialogs->errors().size(), 1);
        QVERIFY(f.form->richEditEx1()->isVisible());
        QVERIFY(f.form->richEditEx2()->isHidden());
        QCOMPARE(f.form->focusWidget(), f.form->richEditEx1());
        QCOMPARE(f.form->richEditEx1()->wideLines().get(0), QStringLiteral("Hello"));
    }

    void openAfterEditingRightAfterStartUpAsks()
    {
        // Both panes are visible right after start-up; Open, like New, asks
        // about the document pane it replaces.
        MainFormFixture f;
        QVERIFY(f.showActive());
        type(f.form->richEditEx1(), QStringLiteral("Dear Sir"));
        f.dialogs->setNextAnswer(QMessageBox::Cancel);
        f.action("FileOpenItem")->trigger();
        QCOMPARE(f.dialogs->questions(), QStringList { QStringLiteral("Save changes to untitled?") });
        QVERIFY(f.dialogs->openRequests().isEmpty());
        QCOMPARE(f.form->richEditEx1()->wideLines().get(0), QStringLiteral("Dear Sir"));
    }

    void interruptedSaveKeepsOldFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("letter.rtf"));
        writeText(path, "the old letter");
        MainFormFixture f;
        QVERIFY(f.showActive());
        type(f.form->richEditEx1(), QStringLiteral("Dear Sir"));

        QString targetBeforeReplace;
        setPaneFileReplaceHook([&](const QString &target) {
            // The new file is complete; the target still holds the old one.
            targetBeforeReplace = readText(target);
            throw std::runtime_error("disk full");
        });
        f.dialogs->setNextFileName(path);
        f.dialogs->setNextAnswer(QMessageBox::Yes);
        f.action("FileSaveAsItem")->trigger();
        setPaneFileReplaceHook(nullptr);

        QCOMPARE(targetBeforeReplace, QStringLiteral("the old letter"));
        QCOMPARE(f.dialogs->errors(), QStringList { QStringLiteral("disk full") });
        QCOMPARE(readText(path), QStringLiteral("the old letter"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList { QStringLiteral("letter.rtf") });
        QVERIFY(f.form->richEditEx1()->document()->isModified());
        QCOMPARE(f.form->documentName(), QStringLiteral("untitled"));

        // A save that cannot even start leaves things as they were too.
        f.dialogs->setNextFileName(QStringLiteral("/nonexistent-folder/letter.rtf"));
        f.action("FileSaveAsItem")->trigger();
        QCOMPARE(f.dialogs->errors().size(), 2);
        QVERIFY(f.form->richEditEx1()->document()->isModified());
    }
};

QTEST_MAIN(TestFileCommands)
#include "tst_filecommands.moc"
