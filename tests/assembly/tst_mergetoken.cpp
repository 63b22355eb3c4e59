// Token shapes, the line an entry number selects and the template's line
// ends: the building blocks the merge is made of.
#include <QTemporaryDir>
#include <QTest>

#include "assembly/loadfile.h"
#include "assembly/mergetoken.h"

using namespace assembly;

class TestMergeToken : public QObject {
    Q_OBJECT

private slots:
    void extractToken_data();
    void extractToken();
    void lineIndex_data();
    void lineIndex();
    void lineEnds_data();
    void lineEnds();
    void lineEndsKeepCanonicalTextShared();
    void loadMissingFile();
};

void TestMergeToken::extractToken_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("token");
    QTest::newRow("space then digit") << QByteArray("@1 2") << QByteArray("@1 ");
    // The scan steps over a line end after the first character: the LF is
    // what the token takes, though CR stands right after the digits.
    QTest::newRow("CRLF then digit") << QByteArray("@1\r\n2") << QByteArray("@1\n");
    QTest::newRow("CR then digit") << QByteArray("@1\r2") << QByteArray("@1\r");
    QTest::newRow("CRLF at end") << QByteArray("@1\r\n") << QByteArray("@1");
    QTest::newRow("letter LF digit") << QByteArray("@1a\n5") << QByteArray("@1\n");
}

void TestMergeToken::extractToken()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, token);
    QCOMPARE(assembly::extractToken(text, 0), token);
}

void TestMergeToken::lineIndex_data()
{
    QTest::addColumn<QByteArray>("token");
    QTest::addColumn<int>("status");
    QTest::addColumn<qint64>("lineIndex");
    using S = TokenIndex::Status;
    QTest::newRow("@1") << QByteArray("@1") << int(S::Ok) << qint64(1);
    QTest::newRow("@12") << QByteArray("@12") << int(S::Ok) << qint64(23);
    QTest::newRow("@007") << QByteArray("@007") << int(S::Ok) << qint64(13);
    QTest::newRow("@0") << QByteArray("@0") << int(S::Zero) << qint64(0);
    QTest::newRow("@000") << QByteArray("@000") << int(S::Zero) << qint64(0);
    QTest::newRow("last fitting") << QByteArray("@1073741823") << int(S::Ok) << qint64(2147483645);
    QTest::newRow("huge") << QByteArray("@99999999999999999999") << int(S::NotANumber) << qint64(0);
    // Only 99 characters after the '@' are read.
    QTest::newRow("100 digits") << QByteArray("@" + QByteArray(98, '0') + "12") << int(S::Ok)
                                << qint64(1);
    // A token that took its extra character is no number, however long.
    QTest::newRow("99 digits and extra")
        << QByteArray("@" + QByteArray(98, '0') + "1 ") << int(S::NotANumber) << qint64(0);
}

void TestMergeToken::lineIndex()
{
    QFETCH(QByteArray, token);
    QFETCH(int, status);
    QFETCH(qint64, lineIndex);
    const TokenIndex index = tokenLineIndex(token);
    QCOMPARE(int(index.status), status);
    if (index.status == TokenIndex::Status::Ok)
        QCOMPARE(index.lineIndex, lineIndex);
}

void TestMergeToken::lineEnds_data()
{
    QTest::addColumn<QByteArray>("raw");
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("empty") << QByteArray() << QByteArray();
    QTest::newRow("no line end") << QByteArray("abc") << QByteArray("abc\r\n");
    QTest::newRow("LF") << QByteArray("a\nb\n") << QByteArray("a\r\nb\r\n");
    QTest::newRow("CR") << QByteArray("a\rb") << QByteArray("a\r\nb\r\n");
    QTest::newRow("CRLF") << QByteArray("a\r\nb\r\n") << QByteArray("a\r\nb\r\n");
    QTest::newRow("LF CR") << QByteArray("a\n\rb") << QByteArray("a\r\n\r\nb\r\n");
    QTest::newRow("trailing CR") << QByteArray("a\r") << QByteArray("a\r\n");
    QTest::newRow("mixed") << QByteArray("a\r\nb\nc\r\r\nd")
                           << QByteArray("a\r\nb\r\nc\r\n\r\nd\r\n");
    QTest::newRow("empty lines") << QByteArray("\n\n") << QByteArray("\r\n\r\n");
    QTest::newRow("NUL ends") << QByteArray("ab\0cd\n", 6) << QByteArray("ab\r\n");
    QTest::newRow("NUL after fix") << QByteArray("a\nb\0c", 5) << QByteArray("a\r\nb\r\n");
    QTest::newRow("NUL first") << QByteArray("\0abc", 4) << QByteArray();
    QTest::newRow("NUL after CRLF") << QByteArray("a\r\n\0b", 5) << QByteArray("a\r\n");
}

void TestMergeToken::lineEnds()
{
    QFETCH(QByteArray, raw);
    QFETCH(QByteArray, text);
    QCOMPARE(normalizeLineEnds(raw), text);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("t.tem"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(raw);
    file.close();
    const LoadedFile loaded = loadFileToString(path);
    QVERIFY(loaded.ok);
    QCOMPARE(loaded.text, text);
}

void TestMergeToken::lineEndsKeepCanonicalTextShared()
{
    // A large template that already has CR LF line ends is not copied.
    const QByteArray text = QByteArray("{\\rtf1 @1\\par\r\n").repeated(1000);
    const QByteArray normalized = normalizeLineEnds(text);
    QCOMPARE(normalized, text);
    QCOMPARE(normalized.constData(), text.constData());
}

void TestMergeToken::loadMissingFile()
{
    QTemporaryDir dir;
    QVERIFY(!loadFileToString(dir.filePath(QStringLiteral("missing.tem"))).ok);
    QVERIFY(!loadFileToString(QString()).ok);
    // A folder is no template.
    QVERIFY(!loadFileToString(dir.path()).ok);
}

QTEST_GUILESS_MAIN(TestMergeToken)
#include "tst_mergetoken.moc"
