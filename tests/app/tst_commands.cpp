// The File and Edit menus through the real window: which pane is written where
// and how, the names and questions around it, failed saves; find and replace
// through their dialogs' controls, the clipboard, the insert commands, undo.

#include "mainformfixture.h"

#include "app/chrome/speedbar.h"
#include "app/commands/editcommands.h"
#include "app/dialogs/finddialog.h"
#include "app/dialogs/replacedialog.h"
#include "documents/atomicwrite.h"
#include "editor/textattributes.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

using testsupport::readFile;

namespace {

// A window whose document pane has been typed into.
struct Typed : MainFormFixture
{
    explicit Typed(const QString &text = QStringLiteral("Dear Sir")) { document()->insertPlainText(text); }
    QString documentName() const { return form->workspace().documentName(); }
};

QStringList linesOf(const QString &path)
{
    RichEditor reader;
    reader.loadFromFile(path);
    return paneLines(&reader);
}

template <typename T = QPushButton> T *control(QWidget *dialog, const char *name)
{
    T *widget = dialog->findChild<T *>(QLatin1String(name));
    if (!widget)
        qFatal("no control %s", name);
    return widget;
}

// A shown window whose document pane holds `text`, the only pane in view
// if asked (right after start-up both carry the visible flag).
struct Shown : MainFormFixture
{
    explicit Shown(const QString &text, bool templateOnly = true)
    {
        showActive();
        if (templateOnly)
            form->paneArea()->showOnly(Pane::Template);
        document()->setPlainText(text);
    }
    QString text() const { return document()->toPlainText(); }
};

} // namespace

class TestCommands : public QObject
{
    Q_OBJECT

private slots:
    // A folder of its own for every test function and row.
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }
    void cleanup() { documents::setWriteFaultsForTesting({}); }

    // A document of no file (start-up's "untitled", New's "Untitled") is
    // saved as Save As saves, with its extension rules. Once it has a file,
    // Save offers it, writes RTF whatever its name and leaves the caption;
    // saving over the pane's own file asks nothing; over any other existing
    // file, Save and Save As ask first.
    void save()
    {
        const QString own = path("letter.rtf");
        const QString other = writeFile(*m_dir, QStringLiteral("other.rtf"), "precious");
        Typed f;
        f.choose("FileSaveItem", path("letter.doc"));
        QVERIFY(!QFile::exists(path("letter.doc")) && f.errors().size() == 1);
        f.dialogs->clearRecords();
        f.choose("FileSaveItem", own);
        QVERIFY(readFile(own).startsWith("{\\rtf") && !f.modified());
        QCOMPARE(f.form->windowTitle(), QStringLiteral("letter.rtf - QRN    Quorin"));
        QCOMPARE(f.form->workspace().paneFileName(Pane::Template), own);
        // Neither start-up's "untitled" nor New's "Untitled" is offered as the pane's own file.
        QVERIFY(f.dialogs->saveRequests().first().fileName.isEmpty());
        f.choose("FileSaveItem", own);
        QVERIFY(f.dialogs->questions().isEmpty());
        QCOMPARE(f.dialogs->saveRequests().last().fileName, own);
        f.choose("FileSaveItem", path("copy.doc"));
        QVERIFY(readFile(path("copy.doc")).startsWith("{\\rtf"));
        QCOMPARE(f.form->windowTitle(), QStringLiteral("letter.rtf - QRN    Quorin"));

        f.document()->insertPlainText(QStringLiteral("!"));
        const char *items[] = {"FileSaveItem", "FileSaveAsItem", "FileSaveAsItem"};
        const QMessageBox::StandardButton answers[] = {QMessageBox::No, QMessageBox::No, QMessageBox::Cancel};
        for (int i = 0; i < 3; ++i) {
            f.dialogs->setNextAnswer(answers[i]);
            f.choose(items[i], other);
        }
        QCOMPARE(f.dialogs->questions(), QStringList(3, QStringLiteral("OK to overwrite %1").arg(other)));
        QCOMPARE(readFile(other), QByteArray("precious"));
        QVERIFY(f.modified());
        f.dialogs->setNextAnswer(QMessageBox::Yes);
        f.choose("FileSaveAsItem", other);
        QVERIFY(readFile(other).contains("Dear Sir"));

        f.action("FileNewItem")->trigger();
        f.document()->insertPlainText(QStringLiteral("Dear Sir"));
        f.dialogs->setNextFileName(path("letter.txt"));
        f.form->speedBar()->saveButton()->click();
        QCOMPARE(readFile(path("letter.txt")), QByteArray("Dear Sir"));
        QCOMPARE(f.form->windowTitle(), QStringLiteral("letter.txt - QRN    Quorin"));
        QVERIFY(f.dialogs->saveRequests().last().fileName.isEmpty());
        QVERIFY(f.errors().isEmpty());
    }

    // The extension picks the kind of file. One of no known kind saves
    // nothing, not even after the overwrite question, and says why; a write
    // that fails (its steps are tested with the write itself) keeps the old
    // file byte for byte. Either way the document stays unsaved. A page is
    // an export, made in memory: the document keeps its name.
    void saveAs_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<bool>("failWrite");
        QTest::addColumn<QByteArray>("begins"); // empty: nothing may be written
        QTest::newRow("rtf") << "letter.rtf" << false << false << QByteArray("{\\rtf");
        QTest::newRow("abbreviated TEM over a file") << "letter.TE" << true << false << QByteArray("{\\rtf");
        QTest::newRow("txt") << "letter.txt" << false << false << QByteArray("Dear Sir");
        QTest::newRow("html") << "page.html" << false << false << QByteArray("<");
        QTest::newRow("pdf over a file") << "letter.pdf" << true << false << QByteArray("%PDF-");
        QTest::newRow("doc over a file") << "letter.doc" << true << false << QByteArray();
        QTest::newRow("no extension") << "letter" << false << false << QByteArray();
        QTest::newRow("failed write") << "letter.rtf" << true << true << QByteArray();
    }

    void saveAs()
    {
        QFETCH(QString, name);
        QFETCH(bool, exists);
        QFETCH(bool, failWrite);
        QFETCH(QByteArray, begins);
        const QByteArray old = QByteArray("{\\rtf1 the old letter\\par}\r\n") + QByteArray("\0\xff", 2);
        if (exists)
            writeFile(*m_dir, name, old);
        Typed f(QStringLiteral("Dear Sir\n"));
        f.document()->selAttributes().setBold(true);
        f.document()->insertPlainText(QStringLiteral("Yours"));
        documents::WriteFaults faults;
        faults.failRename = failWrite;
        documents::setWriteFaultsForTesting(faults);
        f.dialogs->setNextAnswer(QMessageBox::Yes);
        f.choose("FileSaveAsItem", path(name));
        documents::setWriteFaultsForTesting({});
        // No scratch file anywhere, here or in the working folder.
        const QStringList left = exists || !begins.isEmpty() ? QStringList{name} : QStringList();
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), left);
        QVERIFY(!QFile::exists(QStringLiteral("$$$")));
        const bool html = name.endsWith(QStringLiteral(".html"));
        // A PDF is an export that cannot come back: the document is still
        // unsaved and keeps its name.
        const bool pdf = name.endsWith(QStringLiteral(".pdf"));
        QCOMPARE(f.documentName(), begins.isEmpty() || html || pdf ? QStringLiteral("untitled") : path(name));
        if (begins.isEmpty()) {
            QCOMPARE(f.errors().size(), 1);
            QVERIFY2(f.errors().first().contains(name), qPrintable(f.errors().first()));
            QCOMPARE(f.dialogs->questions().size(), int(failWrite));
            QCOMPARE(readFile(path(name)), exists ? old : QByteArray());
            QVERIFY(f.modified());
            return;
        }
        QVERIFY2(f.errors().isEmpty(), qPrintable(f.errors().join(u'\n')));
        QCOMPARE(f.modified(), pdf);
        const QByteArray written = readFile(path(name));
        QVERIFY(written.startsWith(begins));
        if (pdf) {
            QVERIFY(written.trimmed().endsWith("%%EOF"));
        } else if (html) {
            QVERIFY(written.contains("<TITLE>$$$</TITLE>"));
            const qsizetype bold = written.indexOf("<B>");
            QVERIFY2(bold > written.indexOf("Dear Sir") && bold < written.indexOf("Yours"), written.constData());
        } else {
            QCOMPARE(linesOf(path(name)), (QStringList{"Dear Sir", "Yours"}));
        }
    }

    // A template chosen for the merge is never offered as the name to save
    // under, by Ctrl+S or Save As, and is replaced only after the question.
    void templateIsNeverSavedOverUnasked()
    {
        const QString tem = writeFile(*m_dir, QStringLiteral("form.tem"), "{\\rtf1\\ansi Dear @1\\par}");
        MainFormFixture f(Show::Active);
        f.choose("EditTemplateFile1", tem);
        QTest::keyClicks(f.document(), QStringLiteral("Edited "));
        for (int i = 0; i < 2; ++i) {
            f.dialogs->setNextFileName(tem);
            f.dialogs->setNextAnswer(QMessageBox::No);
            if (i == 0)
                QTest::keyClick(f.document(), Qt::Key_S, Qt::ControlModifier);
            else
                f.action("FileSaveAsItem")->trigger();
            QCOMPARE(f.dialogs->saveRequests().value(i).fileName, QString());
        }
        QCOMPARE(f.dialogs->questions(), QStringList(2, QStringLiteral("OK to overwrite %1").arg(tem)));
        QCOMPARE(readFile(tem), QByteArray("{\\rtf1\\ansi Dear @1\\par}"));
        QVERIFY(f.modified() && f.errors().isEmpty());
    }

    // Save As, and Save whatever the name, keep the information pane's plain lines.
    void informationPaneIsSavedAsPlainLines()
    {
        MainFormFixture f;
        f.form->t1Click();
        f.info()->insertPlainText(QStringLiteral("Name\nJoan Smith\nCity\nZürich"));
        f.choose("FileSaveAsItem", path("data.inf"));
        QCOMPARE(f.form->windowTitle(), QStringLiteral("data.inf - QRN    Quorin"));
        QCOMPARE(QString::fromUtf8(readFile(path("data.inf"))), QStringLiteral("Name\nJoan Smith\nCity\nZürich"));
        QVERIFY(!f.info()->document()->isModified());
        QCOMPARE(f.form->workspace().paneFileName(Pane::Information), path("data.inf"));
        QCOMPARE(f.document()->textLength(), 0);
        f.choose("FileSaveItem", path("data.rtf"));
        QCOMPARE(readFile(path("data.rtf")), readFile(path("data.inf")));
        QVERIFY(f.errors().isEmpty());
    }

    // From the information pane, with the document edited: Cancel on the
    // question opens no dialog; a failed or cancelled Open keeps the
    // document; one that works shows and focuses it. Read-only lasts until
    // the next Open or New.
    void open()
    {
        const QString a = writeFile(*m_dir, QStringLiteral("a.rtf"), "{\\rtf1\\ansi {\\b Bold} text\\par}");
        const QString b = writeFile(*m_dir, QStringLiteral("b.txt"), "plain\r\ntext");
        Typed f;
        f.showActive();
        f.form->t1Click();
        f.dialogs->setNextAnswer(QMessageBox::Cancel);
        f.action("FileOpenItem")->trigger();
        QCOMPARE(f.dialogs->questions(), QStringList{QStringLiteral("Save changes to untitled?")});
        QVERIFY(f.dialogs->openRequests().isEmpty());
        f.document()->document()->setModified(false);
        f.choose("FileOpenItem", QStringLiteral("/nonexistent-folder/x.rtf"));
        f.choose("FileOpenItem", QString());
        QCOMPARE(f.errors().size(), 1);
        QCOMPARE(f.document()->wideLines().get(0), QStringLiteral("Dear Sir"));
        QCOMPARE(f.documentName(), QStringLiteral("untitled"));

        f.dialogs->setNextFileName(a, true);
        f.form->speedBar()->openButton()->click();
        QVERIFY(f.info()->isHidden());
        QCOMPARE(f.form->focusWidget(), f.document());
        QVERIFY(f.document()->isReadOnly() && !f.modified());
        QCOMPARE(f.form->windowTitle(), QStringLiteral("a.rtf - QRN    Quorin"));
        QTest::keyClicks(f.document(), QStringLiteral("xyz"));
        QCOMPARE(f.document()->wideLines().get(0), QStringLiteral("Bold text"));
        f.choose("FileOpenItem", b);
        QVERIFY(!f.document()->isReadOnly());
        QCOMPARE(paneLines(f.document()), (QStringList{"plain", "text"}));
        f.dialogs->setNextFileName(a, true);
        f.action("FileOpenItem")->trigger();
        f.action("FileNewItem")->trigger();
        QVERIFY(!f.document()->isReadOnly());
        QCOMPARE(f.errors().size(), 1);
    }

    // Each press of Find Next selects the next match from the selection on
    // (from the top, or from the end going up, when nothing is selected);
    // no match changes nothing. Flags: c match case, w whole word, u up.
    void find_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("find");
        QTest::addColumn<QString>("flags");
        QTest::addColumn<QList<int>>("found");
        QTest::newRow("from the top, not the caret") << "one two one two one" << "one" << "c" << QList<int>{0, 8, 16, 16};
        QTest::newRow("match case") << "ABC abcd abc" << "abc" << "c" << QList<int>{4, 9};
        QTest::newRow("whole word") << "ABC abcd abc" << "abc" << "cw" << QList<int>{9, 9};
        QTest::newRow("up") << "ABC abcd abc" << "abc" << "wu" << QList<int>{9, 0, 0};
    }

    void find()
    {
        QFETCH(QString, text);
        QFETCH(QString, find);
        QFETCH(QString, flags);
        QFETCH(QList<int>, found);
        // Right after start-up, with both panes flagged visible, the one in
        // front is searched, not the information pane behind it.
        Shown f(text, false);
        f.info()->setPlainText(text);
        f.document()->setSelection(2, 0);
        f.action("F1")->trigger();
        FindDialog *dialog = f.form->editCommands()->findDialog();
        QVERIFY(dialog->isVisible() && !dialog->isModal());
        control<QLineEdit>(dialog, "FindText")->setText(find);
        control<QCheckBox>(dialog, "MatchCase")->setChecked(flags.contains(u'c'));
        control<QCheckBox>(dialog, "WholeWord")->setChecked(flags.contains(u'w'));
        control<QRadioButton>(dialog, flags.contains(u'u') ? "Up" : "Down")->setChecked(true);
        for (int expected : found) {
            control(dialog, "FindNext")->click();
            QCOMPARE(f.document()->selStart(), expected);
            QCOMPARE(f.document()->selLength(), int(find.size()));
        }
        QCOMPARE(f.form->focusWidget(), f.document());
        QCOMPARE(f.info()->selLength(), 0);
        QVERIFY(f.errors().isEmpty());
        control<QLineEdit>(dialog, "FindText")->clear();
        QVERIFY(!control(dialog, "FindNext")->isEnabled());
    }

    // The pane in view takes Find, Copy, Cut and Paste; with the focus on a
    // toolbar box, the pane in front takes the paste, never the hidden one.
    void commandsTakeThePaneInView()
    {
        Shown f(QStringLiteral("Smith document"));
        f.info()->setPlainText(QStringLiteral("Name\nSmith information"));
        f.document()->setSelection(0, 3);
        f.form->paneArea()->showOnly(Pane::Information);
        f.action("F1")->trigger();
        FindDialog *dialog = f.form->editCommands()->findDialog();
        control<QLineEdit>(dialog, "FindText")->setText(QStringLiteral("Smith"));
        control(dialog, "FindNext")->click();
        QCOMPARE(f.info()->selStart(), 5);
        f.action("EditCopyItem")->trigger();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("Smith"));
        f.action("EditCutItem")->trigger();
        QCOMPARE(f.info()->toPlainText(), QStringLiteral("Name\n information"));
        f.info()->setSelection(f.info()->textLength(), 0);
        f.action("EditPasteItem")->trigger();
        QCOMPARE(f.info()->toPlainText(), QStringLiteral("Name\n informationSmith"));
        QCOMPARE(f.text(), QStringLiteral("Smith document"));
        QCOMPARE(f.document()->selLength(), 3);

        f.form->paneArea()->showOnly(Pane::Template);
        f.form->speedBar()->fontName()->setFocus();
        QTRY_COMPARE(f.form->focusWidget(), f.form->speedBar()->fontName());
        f.document()->setSelection(f.document()->textLength(), 0);
        f.action("EditPasteItem")->trigger();
        QCOMPARE(f.text(), QStringLiteral("Smith documentSmith"));
        QCOMPARE(f.info()->toPlainText(), QStringLiteral("Name\n informationSmith"));
    }

    // The buttons pressed in turn, the caret at `caret` (-1: the end).
    // Replace All starts at the top and is one undo step; Find Next starts
    // at the top too; Replace replaces the match selected, then the next one
    // from the caret on; after the last, nothing.
    void replace_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("find");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<int>("caret");
        QTest::addColumn<QString>("buttons");
        QTest::addColumn<QString>("expected");
        QTest::newRow("abab") << "abab" << "ab" << "x" << -1 << "ReplaceAll" << "xx";
        QTest::newRow("longer replacement") << "a-a-a" << "a" << "bbb" << -1 << "ReplaceAll" << "bbb-bbb-bbb";
        QTest::newRow("contains the find text") << "ab ab" << "ab" << "abab" << -1 << "ReplaceAll" << "abab abab";
        QTest::newRow("empty replacement") << "aXaXXa" << "X" << "" << -1 << "ReplaceAll" << "aaa";
        QTest::newRow("across paragraphs") << "end\nend" << "d\ne" << "d e" << -1 << "ReplaceAll" << "end end";
        QTest::newRow("none") << "abc" << "z" << "y" << -1 << "ReplaceAll" << "abc";
        QTest::newRow("one at a time") << "ab ab ab" << "ab" << "xyz" << 4 << "FindNext Replace Replace" << "xyz xyz ab";
        QTest::newRow("nothing after the caret") << "ab ab ab" << "ab" << "xyz" << -1 << "Replace" << "ab ab ab";
    }

    void replace()
    {
        QFETCH(QString, text);
        QFETCH(QString, find);
        QFETCH(QString, replacement);
        QFETCH(int, caret);
        QFETCH(QString, buttons);
        QFETCH(QString, expected);
        Shown f(text);
        f.document()->setSelection(caret < 0 ? f.document()->textLength() : caret, 0);
        f.action("R1")->trigger();
        ReplaceDialog *dialog = f.form->editCommands()->replaceDialog();
        control<QLineEdit>(dialog, "FindText")->setText(find);
        control<QLineEdit>(dialog, "ReplaceText")->setText(replacement);
        for (const QString &button : buttons.split(u' '))
            control(dialog, qPrintable(button))->click();
        QCOMPARE(f.text(), expected);
        QVERIFY(f.errors().isEmpty());
        if (buttons == QStringLiteral("ReplaceAll")) {
            f.action("EditUndoItem")->trigger();
            QCOMPARE(f.text(), text);
        }
    }

    // Ten empty paragraphs, or a form feed, at the caret of the document,
    // which is shown first; one undo step each; no scratch file left.
    void insertCommands()
    {
        Shown f(QStringLiteral("page onepage two"));
        f.document()->setSelection(8, 0);
        f.form->paneArea()->showOnly(Pane::Information);
        f.action("Insertnonvisiblepagebreak1")->trigger();
        QVERIFY(f.document()->isVisible());
        QCOMPARE(f.text(), QStringLiteral("page one\fpage two"));
        f.action("Insertpagebreak1")->trigger();
        QCOMPARE(f.text(), QStringLiteral("page one\f") + QString(10, u'\n') + QStringLiteral("page two"));
        QCOMPARE(f.document()->textCursor().position(), 19);
        QVERIFY(f.errors().isEmpty());
        QVERIFY(!QFile::exists(QStringLiteral("$$$")));

        // Undo, Redo and Select All show the document they work on.
        for (const char *item : {"EditUndoItem", "EditUndoItem", "Redo1", "Selectall2"}) {
            f.form->paneArea()->showOnly(Pane::Information);
            f.action(item)->trigger();
            QVERIFY(f.document()->isVisible());
        }
        QCOMPARE(f.text(), QStringLiteral("page one\fpage two"));
        QCOMPARE(f.form->focusWidget(), f.document());
        QCOMPARE(f.document()->selLength(), 17);
    }

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
