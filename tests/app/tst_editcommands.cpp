// The Edit menu through the real window: find and replace driven through
// their dialogs' controls, the clipboard, the insert commands.

#include "mainformfixture.h"

#include "app/commands/editcommands.h"
#include "app/dialogs/finddialog.h"
#include "richtext/formatrange.h"
#include "app/dialogs/replacedialog.h"
#include "editor/richeditor.h"
#include "editor/richeditorlines.h"
#include "app/chrome/speedbar.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBlock>
#include <QtTest>

namespace {

template <typename T> T *control(QWidget *dialog, const char *name)
{
    T *widget = dialog->findChild<T *>(QLatin1String(name));
    if (!widget)
        qFatal("no control %s", name);
    return widget;
}

FindDialog *openFind(MainFormFixture &f)
{
    f.action("F1")->trigger();
    FindDialog *dialog = f.form->editCommands()->findDialog();
    return dialog;
}

ReplaceDialog *openReplace(MainFormFixture &f)
{
    f.action("R1")->trigger();
    return f.form->editCommands()->replaceDialog();
}

// A shown window whose document pane holds `text`, in front if asked.
struct Shown : MainFormFixture
{
    explicit Shown(const QString &text, bool templateInFront = false)
    {
        shown = showActive();
        if (templateInFront)
            form->showPane(Pane::Template);
        document = form->richEditEx1();
        document->setPlainText(text);
    }
    RichEditor *document;
    bool shown;
};

void press(QWidget *dialog, const char *button)
{
    control<QPushButton>(dialog, button)->click();
}

} // namespace

class TestEditCommands : public QObject
{
    Q_OBJECT

private slots:
    void findFromTopThenNext()
    {
        // Right after start-up both panes are visible: the one in front, the
        // document, is searched.
        Shown f(QStringLiteral("one two one two one"));
        QVERIFY(f.shown);
        RichEditor *document = f.document;
        f.form->richEditEx2()->setPlainText(QStringLiteral("one"));
        document->setSelection(10, 0); // the caret after the second "one"
        FindDialog *dialog = openFind(f);
        QVERIFY(dialog && dialog->isVisible());
        QVERIFY(!dialog->isModal());
        control<QLineEdit>(dialog, "FindText")->setText(QStringLiteral("one"));
        // No selection: from the top, not from the caret.
        press(dialog, "FindNext");
        QCOMPARE(document->selStart(), 0);
        QCOMPARE(document->selLength(), 3);
        QCOMPARE(f.form->focusWidget(), document);
        press(dialog, "FindNext");
        QCOMPARE(document->selStart(), 8);
        press(dialog, "FindNext");
        QCOMPARE(document->selStart(), 16);
        // Past the last one nothing changes and nothing is said.
        press(dialog, "FindNext");
        QCOMPARE(document->selStart(), 16);
        QCOMPARE(document->selLength(), 3);
        QVERIFY(f.dialogs->errors().isEmpty());
        QVERIFY(dialog->isVisible()); // modeless: it stays open
    }

    void findHonoursItsOptions()
    {
        Shown f(QStringLiteral("ABC abcd abc"), true);
        QVERIFY(f.shown);
        RichEditor *document = f.document;
        FindDialog *dialog = openFind(f);
        control<QLineEdit>(dialog, "FindText")->setText(QStringLiteral("abc"));
        // Match case is on by default: "ABC" is passed over.
        QVERIFY(control<QCheckBox>(dialog, "MatchCase")->isChecked());
        press(dialog, "FindNext");
        QCOMPARE(document->selStart(), 4);

        control<QCheckBox>(dialog, "WholeWord")->setChecked(true);
        document->setSelection(0, 0);
        press(dialog, "FindNext");
        QCOMPARE(document->selStart(), 9);

        control<QCheckBox>(dialog, "MatchCase")->setChecked(false);
        document->setSelection(0, 0);
        press(dialog, "FindNext");
        QCOMPARE(document->selStart(), 0);

        // Up: from the end when nothing is selected, then before the selection.
        control<QRadioButton>(dialog, "Up")->setChecked(true);
        document->setSelection(2, 0);
        press(dialog, "FindNext");
        QCOMPARE(document->selStart(), 9);
        press(dialog, "FindNext");
        QCOMPARE(document->selStart(), 0);
        press(dialog, "FindNext");
        QCOMPARE(document->selStart(), 0);

        // Nothing to find: the button waits for text.
        control<QLineEdit>(dialog, "FindText")->clear();
        QVERIFY(!control<QPushButton>(dialog, "FindNext")->isEnabled());
    }

    // With the information pane shown, Find, Copy and Cut work on it alone.
    void commandsTakeThePaneShown()
    {
        Shown f(QStringLiteral("Smith document"));
        QVERIFY(f.shown);
        RichEditor *info = f.form->richEditEx2();
        info->setPlainText(QStringLiteral("Name\nSmith information"));
        f.document->setSelection(0, 3);
        f.form->showPane(Pane::Information);
        FindDialog *dialog = openFind(f);
        control<QLineEdit>(dialog, "FindText")->setText(QStringLiteral("Smith"));
        press(dialog, "FindNext");
        QCOMPARE(info->selStart(), 5);
        QCOMPARE(f.document->selStart(), 0);
        QCOMPARE(f.document->selLength(), 3);
        f.action("EditCopyItem")->trigger();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("Smith"));
        f.action("EditCutItem")->trigger();
        QCOMPARE(info->toPlainText(), QStringLiteral("Name\n information"));
        QCOMPARE(f.document->toPlainText(), QStringLiteral("Smith document"));
    }

    void replaceAll_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("find");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<QString>("expected");
        QTest::newRow("ab ab") << "ab ab" << "ab" << "x" << "x x";
        QTest::newRow("abab") << "abab" << "ab" << "x" << "xx";
        QTest::newRow("longer replacement") << "a-a-a" << "a" << "bbb" << "bbb-bbb-bbb";
        QTest::newRow("contains the find text") << "ab ab" << "ab" << "abab" << "abab abab";
        QTest::newRow("same text") << "aaa" << "a" << "a" << "aaa";
        QTest::newRow("empty replacement") << "aXaXXa" << "X" << "" << "aaa";
        QTest::newRow("across paragraphs") << "end\nend" << "d\ne" << "d e" << "end end";
        QTest::newRow("case kept") << "Ab ab" << "ab" << "x" << "Ab x";
        QTest::newRow("none") << "abc" << "z" << "y" << "abc";
    }

    void replaceAll()
    {
        QFETCH(QString, text);
        QFETCH(QString, find);
        QFETCH(QString, replacement);
        QFETCH(QString, expected);
        Shown f(text, true);
        QVERIFY(f.shown);
        RichEditor *document = f.document;
        document->setSelection(document->textLength(), 0);
        ReplaceDialog *dialog = openReplace(f);
        QVERIFY(dialog && dialog->isVisible());
        control<QLineEdit>(dialog, "FindText")->setText(find);
        control<QLineEdit>(dialog, "ReplaceText")->setText(replacement);
        press(dialog, "ReplaceAll");
        QCOMPARE(document->toPlainText(), expected);
        QVERIFY(f.dialogs->errors().isEmpty());
    }

    void replaceAllIsOneUndoStep()
    {
        Shown f(QStringLiteral("ab ab ab"), true);
        QVERIFY(f.shown);
        RichEditor *document = f.document;
        document->document()->clearUndoRedoStacks();
        QCOMPARE(f.form->editCommands()->replaceAll(
                     QStringLiteral("ab"), QStringLiteral("c"), FindOption::MatchCase),
            3);
        QCOMPARE(document->toPlainText(), QStringLiteral("c c c"));
        f.action("EditUndoItem")->trigger();
        QCOMPARE(document->toPlainText(), QStringLiteral("ab ab ab"));
        f.action("Redo1")->trigger();
        QCOMPARE(document->toPlainText(), QStringLiteral("c c c"));
    }

    void replaceOne()
    {
        Shown f(QStringLiteral("ab ab ab"), true);
        QVERIFY(f.shown);
        RichEditor *document = f.document;
        ReplaceDialog *dialog = openReplace(f);
        control<QLineEdit>(dialog, "FindText")->setText(QStringLiteral("ab"));
        control<QLineEdit>(dialog, "ReplaceText")->setText(QStringLiteral("xyz"));
        // Find Next selects the first; Replace replaces the selection.
        document->setSelection(4, 0);
        press(dialog, "FindNext");
        QCOMPARE(document->selStart(), 0);
        press(dialog, "Replace");
        QCOMPARE(document->toPlainText(), QStringLiteral("xyz ab ab"));
        // From the caret on: the next one.
        press(dialog, "Replace");
        QCOMPARE(document->toPlainText(), QStringLiteral("xyz xyz ab"));
        // With the caret after the last occurrence, nothing.
        document->setSelection(document->textLength(), 0);
        press(dialog, "Replace");
        QCOMPARE(document->toPlainText(), QStringLiteral("xyz xyz ab"));
        QVERIFY(f.dialogs->errors().isEmpty());
    }

    void pasteGoesToTheActivePaneOnly()
    {
        MainFormFixture f;
        QVERIFY(f.showActive());
        RichEditor *document = f.form->richEditEx1();
        RichEditor *info = f.form->richEditEx2();
        document->setPlainText(QStringLiteral("doc "));
        info->setPlainText(QStringLiteral("info "));
        document->setSelection(document->textLength(), 0);
        info->setSelection(info->textLength(), 0);

        // Rich text on the clipboard keeps its formatting.
        auto *mime = new QMimeData;
        mime->setData(QStringLiteral("text/rtf"), QByteArray("{\\rtf1\\ansi {\\b bold}}"));
        mime->setText(QStringLiteral("bold"));
        QApplication::clipboard()->setMimeData(mime);
        document->setFocus();
        QTRY_COMPARE(f.form->focusWidget(), document);
        f.action("EditPasteItem")->trigger();
        QCOMPARE(document->toPlainText(), QStringLiteral("doc bold"));
        QCOMPARE(info->toPlainText(), QStringLiteral("info "));
        document->setSelection(5, 1);
        QVERIFY(document->textCursor().charFormat().fontWeight() >= QFont::Bold);

        QApplication::clipboard()->setText(QStringLiteral("x"));
        f.form->showPane(Pane::Information);
        info->setFocus();
        QTRY_COMPARE(f.form->focusWidget(), info);
        f.action("EditPasteItem")->trigger();
        QCOMPARE(info->toPlainText(), QStringLiteral("info x"));
        QCOMPARE(document->toPlainText(), QStringLiteral("doc bold"));

        // With the focus on a toolbar box, the pane in front takes it, never
        // the hidden information pane.
        f.form->showPane(Pane::Template);
        QWidget *fontName = f.form->speedBar()->fontName();
        fontName->setFocus();
        QTRY_COMPARE(f.form->focusWidget(), fontName);
        document->setSelection(document->textLength(), 0);
        f.action("EditPasteItem")->trigger();
        QCOMPARE(document->toPlainText(), QStringLiteral("doc boldx"));
        QCOMPARE(info->toPlainText(), QStringLiteral("info x"));
    }

    void insertBlankLines()
    {
        Shown f(QStringLiteral("abc"));
        QVERIFY(f.shown);
        RichEditor *document = f.document;
        document->setSelection(3, 0);
        f.action("Insertpagebreak1")->trigger();
        QVERIFY(f.dialogs->errors().isEmpty());
        QCOMPARE(document->document()->blockCount(), 11);
        QCOMPARE(document->document()->firstBlock().text(), QStringLiteral("abc"));
        for (QTextBlock block = document->document()->firstBlock().next(); block.isValid();
             block = block.next())
            QVERIFY(block.text().isEmpty());
        QCOMPARE(document->textCursor().position(), 13);
        // One undo step takes all ten away.
        f.action("EditUndoItem")->trigger();
        QCOMPARE(document->toPlainText(), QStringLiteral("abc"));
        QVERIFY(!QFile::exists(QStringLiteral("$$$")));
    }

    void insertPageBreak()
    {
        Shown f(QStringLiteral("page onepage two"));
        QVERIFY(f.shown);
        RichEditor *document = f.document;
        document->setSelection(8, 0);
        // Inserted from the information pane, it shows the document.
        f.form->showPane(Pane::Information);
        f.action("Insertnonvisiblepagebreak1")->trigger();
        QVERIFY(f.dialogs->errors().isEmpty());
        QVERIFY(document->isVisible());
        QCOMPARE(document->toPlainText(), QStringLiteral("page one\fpage two"));
        QCOMPARE(document->document()->blockCount(), 1);
        // A page laid out for print ends after the form feed; the next begins
        // with the text after it.
        QImage page(850, 1100, QImage::Format_RGB32);
        page.setDotsPerMeterX(3937);
        page.setDotsPerMeterY(3937);
        QPainter painter(&page);
        const QRectF letter(0, 0, 8.5 * 1440, 11 * 1440);
        QCOMPARE(richtext::formatRange(&painter, *document->document(), letter, 0, false), 9);
        QCOMPARE(richtext::formatRange(&painter, *document->document(), letter, 9, false),
            document->document()->characterCount());
        QVERIFY(!QFile::exists(QStringLiteral("$$$")));

        // Undo and Select All show the document they work on.
        f.form->showPane(Pane::Information);
        f.action("EditUndoItem")->trigger();
        QVERIFY(document->isVisible());
        QCOMPARE(document->toPlainText(), QStringLiteral("page onepage two"));
        f.form->showPane(Pane::Information);
        f.action("Selectall2")->trigger();
        QVERIFY(document->isVisible());
        QCOMPARE(f.form->focusWidget(), document);
        QCOMPARE(document->selLength(), 16);
    }
};

QTEST_MAIN(TestEditCommands)
#include "tst_editcommands.moc"
