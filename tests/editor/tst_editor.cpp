#include "editor/richeditor.h"
#include "editor/richeditorlines.h"
#include "editor/selectionbar.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

class TestEditor : public QObject
{
    Q_OBJECT

private slots:
    void undoLimitSwitchesUndoOnlyOnALiveControl();
    void maxLengthLimitsTyping();
    void redrawLockRestoresSelectionAndTopLine();
    void formFeedIsOneInvisibleCharacter();
    void selectionBarClickSelectsLine();
};

void TestEditor::undoLimitSwitchesUndoOnlyOnALiveControl()
{
    RichEditor editor;
    editor.setUndoLimit(0); // as stored settings do before the window exists
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    QTest::keyClicks(&editor, QStringLiteral("abc"));
    QVERIFY(editor.document()->isUndoAvailable());

    editor.setUndoLimit(0);
    editor.clear(); // keeps the setting
    QTest::keyClicks(&editor, QStringLiteral("abc"));
    QVERIFY(!editor.document()->isUndoAvailable());
    editor.setUndoLimit(100);
    QTest::keyClicks(&editor, QStringLiteral("d"));
    editor.undo();
    QCOMPARE(editor.toPlainText(), QStringLiteral("abc"));
}

void TestEditor::maxLengthLimitsTyping()
{
    RichEditor editor;
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    editor.setMaxLength(4);
    QTest::keyClicks(&editor, QStringLiteral("abcdef"));
    QCOMPARE(editor.toPlainText(), QStringLiteral("abcd"));
    QTest::keyClick(&editor, Qt::Key_Return);
    QCOMPARE(editor.textLength(), 4);
    editor.setSelection(1, 2);
    QTest::keyClicks(&editor, QStringLiteral("XYZ")); // replaces "bc", then full
    QCOMPARE(editor.toPlainText(), QStringLiteral("aXYd"));
    QTest::keyClick(&editor, Qt::Key_Backspace); // deleting is always allowed
    QCOMPARE(editor.toPlainText(), QStringLiteral("aXd"));
    editor.setSelText(QStringLiteral("12345"));
    QCOMPARE(editor.toPlainText(), QStringLiteral("aX1d"));
    editor.setMaxLength(0);
    QTest::keyClicks(&editor, QStringLiteral("more"));
    QCOMPARE(editor.textLength(), 8);
}

void TestEditor::redrawLockRestoresSelectionAndTopLine()
{
    RichEditor editor;
    editor.resize(300, 200);
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    QStringList lines;
    for (int i = 0; i < 300; ++i)
        lines << QStringLiteral("line %1").arg(i);
    editor.wideLines().setText(lines.join(QLatin1Char('\n')));
    editor.setSelection(editor.findText(QStringLiteral("line 120"), 0, 0), 8);
    editor.verticalScrollBar()->setValue(editor.verticalScrollBar()->maximum() / 3);
    const int top = editor.cursorForPosition(QPoint(0, 0)).block().blockNumber();
    const int scroll = editor.verticalScrollBar()->value();
    QVERIFY(top > 10);

    editor.lockRedraw();
    editor.lockRedraw();
    QVERIFY(!editor.viewport()->updatesEnabled());
    editor.setSelection(5, 3);
    editor.unlockRedraw();
    QCOMPARE(editor.selStart(), 5); // still locked
    editor.selectAll();
    editor.verticalScrollBar()->setValue(editor.verticalScrollBar()->maximum());
    editor.unlockRedraw();
    QVERIFY(!editor.isRedrawLocked());
    QVERIFY(editor.viewport()->updatesEnabled());
    QCOMPARE(editor.selText(), QStringLiteral("line 120"));
    QCOMPARE(editor.cursorForPosition(QPoint(0, 0)).block().blockNumber(), top);
    QCOMPARE(editor.verticalScrollBar()->value(), scroll);

    // The text shrank under the lock: the view goes as far as it can.
    editor.lockRedraw();
    editor.wideLines().setText(QStringLiteral("short"));
    editor.unlockRedraw();
    QCOMPARE(editor.verticalScrollBar()->value(), 0);
    QVERIFY(editor.selStart() <= editor.textLength());
}

void TestEditor::formFeedIsOneInvisibleCharacter()
{
    RichEditor editor;
    QFont font = editor.font();
    font.setPointSize(36);
    editor.setFont(font);
    editor.resize(300, 100);
    editor.setPlainText(QStringLiteral("\f"));
    QCOMPARE(editor.textLength(), 1);
    QCOMPARE(editor.lines().count(), 1);
    const QImage withPageBreak = editor.grab().toImage();
    editor.setPlainText(QString());
    const QImage empty = editor.grab().toImage();
    QCOMPARE(withPageBreak, empty);

    editor.setPlainText(QStringLiteral("a\fb"));
    QCOMPARE(editor.findText(QStringLiteral("b"), 0, 0), 2);
}

void TestEditor::selectionBarClickSelectsLine()
{
    RichEditor editor;
    editor.resize(300, 200);
    editor.setPlainText(QStringLiteral("first line\nsecond line\nthird"));
    editor.setShowSelectionBar(true);
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    auto *bar = editor.findChild<SelectionBar *>();
    QVERIFY(bar && bar->isVisible());
    QVERIFY(bar->geometry().right() < editor.viewport()->geometry().left());

    QTextCursor second(editor.document()->findBlockByNumber(1));
    const int y = editor.cursorRect(second).center().y();
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(4, y));
    QCOMPARE(editor.selText(), QStringLiteral("second line\n"));

    QTextCursor third(editor.document()->findBlockByNumber(2));
    QTest::mouseClick(bar, Qt::LeftButton, Qt::ShiftModifier,
                      QPoint(4, editor.cursorRect(third).center().y()));
    QCOMPARE(editor.selText(), QStringLiteral("second line\nthird"));

    editor.setShowSelectionBar(false);
    QVERIFY(!bar->isVisible());
}

QTEST_MAIN(TestEditor)
#include "tst_editor.moc"
