#include "editor/editorerror.h"
#include "editor/richeditor.h"
#include "editor/richeditorlines.h"

#include <QSignalSpy>
#include <QTest>
#include <QTextDocument>

class TestLines : public QObject
{
    Q_OBJECT

private slots:
    void countWhileTyping();
    void editsAtTheEdgesAndOutOfRange();
    void textRoundTrip();
    void maxLengthStopsLineEditsWholly();
    void eightBitFaceUsesCodePage();
    void updateStateSignalsOnceAndRestoresPainting();
};

void TestLines::countWhileTyping()
{
    RichEditor editor;
    editor.resize(60, 300);
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    QCOMPARE(editor.lines().count(), 0);
    QTest::keyClicks(&editor, QStringLiteral("abc"));
    QCOMPARE(editor.lines().count(), 1);
    QTest::keyClick(&editor, Qt::Key_Return);
    QCOMPARE(editor.lines().count(), 1);
    QCOMPARE(editor.lines().get(0), QByteArray("abc"));
    // A paragraph that wraps to many screen lines is one line.
    QTest::keyClicks(&editor, QString(40, QLatin1Char('w')).replace(QLatin1Char('w'), QLatin1String("w ")));
    QCOMPARE(editor.lines().count(), 2);
}

void TestLines::editsAtTheEdgesAndOutOfRange()
{
    RichEditor editor;
    auto &lines = editor.wideLines();
    lines.insert(0, QStringLiteral("b"));
    lines.insert(0, QStringLiteral("a"));
    lines.insert(lines.count(), QStringLiteral("c"));
    QCOMPARE(lines.toStringList(), (QStringList{"a", "b", "c"}));

    const QString before = editor.toPlainText();
    QCOMPARE(lines.get(-1), QString());
    QCOMPARE(lines.get(3), QString());
    lines.put(-1, QStringLiteral("x"));
    lines.put(3, QStringLiteral("x"));
    lines.remove(-1);
    lines.remove(3);
    lines.insert(-1, QStringLiteral("x"));
    lines.insert(5, QStringLiteral("x"));
    QCOMPARE(editor.toPlainText(), before);

    // Text with a paragraph end in it becomes two lines.
    lines.put(1, QStringLiteral("one\r\ntwo"));
    QCOMPARE(lines.toStringList(), (QStringList{"a", "one", "two", "c"}));

    // Appending to a last line that has no paragraph end yet.
    editor.setPlainText(QStringLiteral("a\nb"));
    lines.add(QStringLiteral("c"));
    QCOMPARE(editor.toPlainText(), QStringLiteral("a\nb\nc"));

    lines.remove(2); // the last line leaves its paragraph end behind
    QCOMPARE(editor.toPlainText(), QStringLiteral("a\nb\n"));
    lines.remove(0);
    lines.remove(0);
    QCOMPARE(lines.count(), 0);
    QCOMPARE(editor.textLength(), 0);
}

void TestLines::textRoundTrip()
{
    RichEditor editor;
    auto &lines = editor.wideLines();
    lines.setText(QStringLiteral("one\r\ntwo\rthree\n\nfive\n"));
    QCOMPARE(lines.toStringList(), (QStringList{"one", "two", "three", "", "five"}));
    QCOMPARE(lines.text(), QStringLiteral("one\ntwo\nthree\n\nfive\n"));
    lines.setText(QString());
    QCOMPARE(editor.textLength(), 0);

    lines.addStrings({QStringLiteral("x"), QStringLiteral("y")});
    lines.addStrings({QStringLiteral("z")});
    QCOMPARE(lines.toStringList(), (QStringList{"x", "y", "z"}));
    editor.document()->undo(); // addStrings is one undo step
    QCOMPARE(lines.toStringList(), (QStringList{"x", "y"}));
}

void TestLines::maxLengthStopsLineEditsWholly()
{
    RichEditor editor;
    editor.setMaxLength(6);
    auto &lines = editor.wideLines();
    lines.add(QStringLiteral("abc")); // "abc" + paragraph end: 4
    try {
        lines.add(QStringLiteral("de")); // would be 7
        QFAIL("no error");
    } catch (const EditorError &error) {
        QCOMPARE(error.message(), QStringLiteral("RichEdit line insertion error"));
    }
    QVERIFY_THROWS_EXCEPTION(EditorError, lines.put(0, QStringLiteral("abcdefg")));
    QVERIFY_THROWS_EXCEPTION(EditorError, lines.addStrings({QStringLiteral("x"), QStringLiteral("yz")}));
    QVERIFY_THROWS_EXCEPTION(EditorError, lines.setText(QStringLiteral("1234567")));
    QCOMPARE(editor.toPlainText(), QStringLiteral("abc\n")); // nothing half done

    lines.add(QStringLiteral("d")); // exactly 6
    lines.put(1, QString());
    lines.put(0, QStringLiteral("abcd")); // the freed room can be used
    QCOMPARE(lines.toStringList(), (QStringList{"abcd", ""}));
    editor.setMaxLength(0); // no limit
    lines.add(QString(100000, QLatin1Char('m')));
    QCOMPARE(lines.count(), 3);
}

void TestLines::eightBitFaceUsesCodePage()
{
    RichEditor editor;
    editor.setLanguage(1049); // Russian
    QCOMPARE(editor.codePage(), 1251);
    const QByteArray privet("\xCF\xF0\xE8\xE2\xE5\xF2");
    editor.lines().add(privet);
    QCOMPARE(editor.wideLines().get(0), QString::fromUtf8("Привет"));
    editor.lines().put(0, editor.lines().get(0) + "!");
    QCOMPARE(editor.lines().text(), privet + "!\n");

    // What the code page cannot hold reads as "?" through the 8-bit face only.
    editor.setLanguage(1033);
    editor.wideLines().add(QString::fromUtf8("Ωcafé"));
    QCOMPARE(editor.lines().get(0), QByteArray(6, '?') + "!");
    QCOMPARE(editor.lines().get(1), QByteArray("?caf\xE9"));
    QCOMPARE(editor.wideLines().get(1), QString::fromUtf8("Ωcafé"));
}

void TestLines::updateStateSignalsOnceAndRestoresPainting()
{
    RichEditor editor;
    QSignalSpy changed(&editor, &QTextEdit::textChanged);
    editor.wideLines().setText(QStringLiteral("a\nb\nc"));
    QCOMPARE(changed.count(), 1);

    auto &lines = editor.lines();
    lines.beginUpdate();
    lines.beginUpdate();
    lines.add("d");
    lines.endUpdate();
    QVERIFY(!editor.viewport()->updatesEnabled());
    changed.clear();
    lines.endUpdate();
    QVERIFY(editor.viewport()->updatesEnabled());
    QCOMPARE(changed.count(), 1);
    lines.endUpdate(); // unbalanced: ignored
    QVERIFY(editor.viewport()->updatesEnabled());
}

QTEST_MAIN(TestLines)
#include "tst_lines.moc"
