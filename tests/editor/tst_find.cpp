#include "editor/richeditor.h"

#include <QTest>

class TestFind : public QObject
{
    Q_OBJECT

private slots:
    void ranges_data();
    void ranges();
    void wholeWordAndCase();
    void paragraphEndsAndOddInput();
};

void TestFind::ranges_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("backward");
    QTest::addColumn<int>("expected");
    // 100 characters with "abc" at 5, 45 and 95.
    QTest::newRow("length 0 runs to the end") << 0 << 0 << false << 5;
    QTest::newRow("after the first") << 6 << 0 << false << 45;
    QTest::newRow("negative length runs to the end") << 46 << -3 << false << 95;
    QTest::newRow("past the last") << 96 << 0 << false << -1;
    QTest::newRow("inside 40..50") << 40 << 10 << false << 45;
    QTest::newRow("match must end in range") << 40 << 7 << false << -1;
    QTest::newRow("match ending on range end") << 40 << 8 << false << 45;
    QTest::newRow("start past the text") << 500 << 0 << false << -1;
    QTest::newRow("negative start") << -20 << 0 << false << 5;
    QTest::newRow("10 back from 50 searches 40..50") << 50 << 10 << true << 45;
    QTest::newRow("back: match must end by the start") << 47 << 10 << true << -1;
    QTest::newRow("back: match must begin in range") << 50 << 4 << true << -1;
    QTest::newRow("back: length 0 runs to the beginning") << 100 << 0 << true << 95;
    QTest::newRow("back: the last one before") << 44 << 0 << true << 5;
    QTest::newRow("back: nothing before") << 7 << 0 << true << -1;
}

void TestFind::ranges()
{
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(bool, backward);
    QFETCH(int, expected);
    QString text(100, QLatin1Char('.'));
    for (int at : {5, 45, 95})
        text.replace(at, 3, QStringLiteral("abc"));
    RichEditor editor;
    editor.setPlainText(text);
    const FindOptions options = backward ? FindOptions(FindOption::Backward) : FindOptions();
    QCOMPARE(editor.findText(QStringLiteral("abc"), start, length, options), expected);
}

void TestFind::wholeWordAndCase()
{
    RichEditor editor;
    editor.setPlainText(QStringLiteral("concat cat Cat cats cat_x"));
    QCOMPARE(editor.findText(QStringLiteral("cat"), 0, 0), 3);
    QCOMPARE(editor.findText(QStringLiteral("cat"), 0, 0, FindOption::WholeWord), 7);
    QCOMPARE(editor.findText(QStringLiteral("Cat"), 0, 0, FindOption::WholeWord | FindOption::MatchCase), 11);
    QCOMPARE(editor.findText(QStringLiteral("cat"), 8, 0, FindOption::WholeWord), 11);
    QCOMPARE(editor.findText(QStringLiteral("cat"), 8, 0, FindOption::WholeWord | FindOption::MatchCase), -1);
    QCOMPARE(editor.findText(QStringLiteral("CAT"), 25, 0, FindOption::Backward | FindOption::WholeWord), 11);
    QCOMPARE(editor.findText(QStringLiteral("CAT"), 25, 0, FindOption::Backward), 20);
}

void TestFind::paragraphEndsAndOddInput()
{
    RichEditor editor;
    editor.setPlainText(QStringLiteral("ab\ncd\nef"));
    QCOMPARE(editor.findText(QStringLiteral("b\nc"), 0, 0), 1);
    QCOMPARE(editor.findText(QStringLiteral("d\r\ne"), 0, 0), 4);
    QCOMPARE(editor.findText(QStringLiteral("ef"), 0, 0), 6); // a paragraph end is one position
    QCOMPARE(editor.findText(QString(), 0, 0), -1);
    QCOMPARE(editor.findText(QStringLiteral("longer than the whole text"), 0, 0), -1);
    QCOMPARE(editor.findText(QStringLiteral("ab"), 0, 1), -1);
}

QTEST_MAIN(TestFind)
#include "tst_find.moc"
