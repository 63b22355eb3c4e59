// The Edit menu through the real window: find and replace driven through
// their dialogs' controls, the clipboard, the insert commands, undo.

#include "mainformfixture.h"

#include "app/chrome/speedbar.h"
#include "app/commands/editcommands.h"
#include "app/dialogs/finddialog.h"
#include "app/dialogs/replacedialog.h"
#include "editor/richeditor.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

namespace {

template <typename T> T *control(QWidget *dialog, const char *name)
{
    T *widget = dialog->findChild<T *>(QLatin1String(name));
    if (!widget)
        qFatal("no control %s", name);
    return widget;
}

void press(QWidget *dialog, const char *button)
{
    control<QPushButton>(dialog, button)->click();
}

// A shown window whose document pane holds `text`, the only pane in view
// if asked (right after start-up both carry the visible flag).
struct Shown : MainFormFixture
{
    explicit Shown(const QString &text, bool templateOnly = true)
    {
        shown = showActive();
        if (templateOnly)
            form->paneArea()->showOnly(Pane::Template);
        document = form->richEditEx1();
        document->setPlainText(text);
    }
    QString text() const { return document->toPlainText(); }
    RichEditor *document;
    bool shown;
};

} // namespace

class TestEditCommands : public QObject
{
    Q_OBJECT

private slots:
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
        QTest::newRow("any case") << "ABC abcd abc" << "abc" << "" << QList<int>{0, 4};
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
        QVERIFY(f.shown);
        f.form->richEditEx2()->setPlainText(text);
        f.document->setSelection(2, 0);
        f.action("F1")->trigger();
        FindDialog *dialog = f.form->editCommands()->findDialog();
        QVERIFY(dialog->isVisible() && !dialog->isModal());
        control<QLineEdit>(dialog, "FindText")->setText(find);
        control<QCheckBox>(dialog, "MatchCase")->setChecked(flags.contains(u'c'));
        control<QCheckBox>(dialog, "WholeWord")->setChecked(flags.contains(u'w'));
        control<QRadioButton>(dialog, flags.contains(u'u') ? "Up" : "Down")->setChecked(true);
        for (int expected : found) {
            press(dialog, "FindNext");
            QCOMPARE(f.document->selStart(), expected);
            QCOMPARE(f.document->selLength(), int(find.size()));
        }
        QCOMPARE(f.form->focusWidget(), f.document);
        QCOMPARE(f.form->richEditEx2()->selLength(), 0);
        QVERIFY(f.dialogs->errors().isEmpty());
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
        f.form->paneArea()->showOnly(Pane::Information);
        f.action("F1")->trigger();
        FindDialog *dialog = f.form->editCommands()->findDialog();
        control<QLineEdit>(dialog, "FindText")->setText(QStringLiteral("Smith"));
        press(dialog, "FindNext");
        QCOMPARE(info->selStart(), 5);
        f.action("EditCopyItem")->trigger();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("Smith"));
        f.action("EditCutItem")->trigger();
        QCOMPARE(info->toPlainText(), QStringLiteral("Name\n information"));
        QCOMPARE(f.text(), QStringLiteral("Smith document"));
        QCOMPARE(f.document->selLength(), 3);
    }

    void replaceAll_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("find");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<QString>("expected");
        QTest::newRow("abab") << "abab" << "ab" << "x" << "xx";
        QTest::newRow("longer replacement") << "a-a-a" << "a" << "bbb" << "bbb-bbb-bbb";
        QTest::newRow("contains the find text") << "ab ab" << "ab" << "abab" << "abab abab";
        QTest::newRow("empty replacement") << "aXaXXa" << "X" << "" << "aaa";
        QTest::newRow("across paragraphs") << "end\nend" << "d\ne" << "d e" << "end end";
        QTest::newRow("none") << "abc" << "z" << "y" << "abc";
    }

    void replaceAll()
    {
        QFETCH(QString, text);
        QFETCH(QString, find);
        QFETCH(QString, replacement);
        QFETCH(QString, expected);
        Shown f(text);
        QVERIFY(f.shown);
        f.document->setSelection(f.document->textLength(), 0);
        f.action("R1")->trigger();
        ReplaceDialog *dialog = f.form->editCommands()->replaceDialog();
        control<QLineEdit>(dialog, "FindText")->setText(find);
        control<QLineEdit>(dialog, "ReplaceText")->setText(replacement);
        press(dialog, "ReplaceAll");
        QCOMPARE(f.text(), expected);
        // One undo step takes it all back.
        f.action("EditUndoItem")->trigger();
        QCOMPARE(f.text(), text);
        QVERIFY(f.dialogs->errors().isEmpty());
    }

    void replaceOne()
    {
        Shown f(QStringLiteral("ab ab ab"));
        QVERIFY(f.shown);
        f.action("R1")->trigger();
        ReplaceDialog *dialog = f.form->editCommands()->replaceDialog();
        control<QLineEdit>(dialog, "FindText")->setText(QStringLiteral("ab"));
        control<QLineEdit>(dialog, "ReplaceText")->setText(QStringLiteral("xyz"));
        // Find Next selects the first; Replace replaces it, then the next
        // one from the caret on; after the last, nothing.
        f.document->setSelection(4, 0);
        press(dialog, "FindNext");
        QCOMPARE(f.document->selStart(), 0);
        press(dialog, "Replace");
        press(dialog, "Replace");
        QCOMPARE(f.text(), QStringLiteral("xyz xyz ab"));
        f.document->setSelection(f.document->textLength(), 0);
        press(dialog, "Replace");
        QCOMPARE(f.text(), QStringLiteral("xyz xyz ab"));
    }

    void pasteGoesToTheActivePaneOnly()
    {
        Shown f(QStringLiteral("doc "), false);
        QVERIFY(f.shown);
        RichEditor *info = f.form->richEditEx2();
        info->setPlainText(QStringLiteral("info "));
        f.document->setSelection(4, 0);
        info->setSelection(5, 0);
        // Rich text on the clipboard keeps its formatting.
        auto *mime = new QMimeData;
        mime->setData(QStringLiteral("text/rtf"), QByteArray("{\\rtf1\\ansi {\\b bold}}"));
        mime->setText(QStringLiteral("bold"));
        QApplication::clipboard()->setMimeData(mime);
        f.action("EditPasteItem")->trigger();
        QCOMPARE(f.text(), QStringLiteral("doc bold"));
        f.document->setSelection(5, 1);
        QVERIFY(f.document->textCursor().charFormat().fontWeight() >= QFont::Bold);

        QApplication::clipboard()->setText(QStringLiteral("x"));
        f.form->paneArea()->showAndFocus(Pane::Information);
        f.action("EditPasteItem")->trigger();
        QCOMPARE(info->toPlainText(), QStringLiteral("info x"));

        // With the focus on a toolbar box, the pane in front takes it, never
        // the hidden information pane.
        f.form->paneArea()->showOnly(Pane::Template);
        f.form->speedBar()->fontName()->setFocus();
        QTRY_COMPARE(f.form->focusWidget(), f.form->speedBar()->fontName());
        f.document->setSelection(f.document->textLength(), 0);
        f.action("EditPasteItem")->trigger();
        QCOMPARE(f.text(), QStringLiteral("doc boldx"));
        QCOMPARE(info->toPlainText(), QStringLiteral("info x"));
    }

    // Ten empty paragraphs, or a form feed, at the caret of the document,
    // which is shown first; one undo step each; no scratch file left.
    void insertCommands()
    {
        Shown f(QStringLiteral("page onepage two"));
        QVERIFY(f.shown);
        f.document->setSelection(8, 0);
        f.form->paneArea()->showOnly(Pane::Information);
        f.action("Insertnonvisiblepagebreak1")->trigger();
        QVERIFY(f.document->isVisible());
        QCOMPARE(f.text(), QStringLiteral("page one\fpage two"));
        f.action("Insertpagebreak1")->trigger();
        QCOMPARE(f.text(), QStringLiteral("page one\f") + QString(10, u'\n') + QStringLiteral("page two"));
        QCOMPARE(f.document->textCursor().position(), 19);
        QVERIFY(f.dialogs->errors().isEmpty());
        QVERIFY(!QFile::exists(QStringLiteral("$$$")));

        // Undo, Redo and Select All show the document they work on.
        for (const char *item : {"EditUndoItem", "EditUndoItem", "Redo1"}) {
            f.form->paneArea()->showOnly(Pane::Information);
            f.action(item)->trigger();
            QVERIFY(f.document->isVisible());
        }
        QCOMPARE(f.text(), QStringLiteral("page one\fpage two"));
        f.form->paneArea()->showOnly(Pane::Information);
        f.action("Selectall2")->trigger();
        QCOMPARE(f.form->focusWidget(), f.document);
        QCOMPARE(f.document->selLength(), 17);
    }
};

QTEST_MAIN(TestEditCommands)
#include "tst_editcommands.moc"
