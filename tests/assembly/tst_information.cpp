// The Information file as the merge and the heading lookup read it: line
// counting, decoding, the even-line check, and the balloon over a token.
#include <QTest>

#include "assembly/headinglookup.h"
#include "assembly/informationfile.h"
#include "assembly/messages.h"
#include "assembly/valueencoder.h"

using namespace assembly;

class TestInformation : public QObject {
    Q_OBJECT

private slots:
    void lineCount_data();
    void lineCount();
    void entries();
    void decoding();
    void evenLineCheck();
    void headingLookup_data();
    void headingLookup();
    void headingLookupWithoutInformation();
    void encoderRuns();
};

void TestInformation::lineCount_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("count");
    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("one line") << QStringLiteral("a") << 1;
    QTest::newRow("last line ended") << QStringLiteral("a\nb\nc\n") << 3;
    QTest::newRow("CR LF") << QStringLiteral("a\r\nb\r\n") << 2;
    QTest::newRow("CR only") << QStringLiteral("a\rb") << 2;
    // Only the last empty line is left out of the count.
    QTest::newRow("empty lines") << QStringLiteral("\n\n") << 2;
    QTest::newRow("value empty") << QStringLiteral("h1\n\nh2\nv2") << 4;
}

void TestInformation::lineCount()
{
    QFETCH(QString, text);
    QFETCH(int, count);
    QCOMPARE(InformationFile::fromText(text).count(), count);
}

void TestInformation::entries()
{
    const InformationFile file
        = InformationFile::fromText(u"Name\nSmith\n  Town  \n  Leeds \nZip\n");
    QCOMPARE(file.count(), 5);
    QCOMPARE(file.heading(1), QStringLiteral("Name"));
    QCOMPARE(file.value(1), QStringLiteral("Smith"));
    // Spaces are part of a line.
    QCOMPARE(file.heading(2), QStringLiteral("  Town  "));
    QCOMPARE(file.value(2), QStringLiteral("  Leeds "));
    QCOMPARE(file.heading(3), QStringLiteral("Zip"));
    QCOMPARE(file.value(3), QString());
    QCOMPARE(file.value(0), QString());
    QCOMPARE(file.heading(4), QString());
    QCOMPARE(file.line(-2), QString());
    QCOMPARE(file.line(5), QString());
}

void TestInformation::decoding()
{
    // "Zoë" in UTF-8, with and without a byte-order mark, and in Windows-1252
    // (not UTF-8, so the code page's decoder reads it).
    const TextDecoder latin1 = [](QByteArrayView bytes) { return QString::fromLatin1(bytes); };
    const QString zoe = QStringLiteral("Zo\u00eb");
    QCOMPARE(InformationFile::fromBytes("h\nZo\xc3\xab\n", latin1).value(1), zoe);
    QCOMPARE(InformationFile::fromBytes("\xef\xbb\xbfh\nZo\xc3\xab\n", latin1).heading(1),
        QStringLiteral("h"));
    QCOMPARE(InformationFile::fromBytes("h\r\nZo\xeb\r\n", latin1).value(1), zoe);
    bool decoderUsed = false;
    const TextDecoder spy = [&decoderUsed](QByteArrayView bytes) {
        decoderUsed = true;
        return QString::fromLatin1(bytes);
    };
    InformationFile::fromBytes("plain ascii\n", spy);
    QVERIFY(!decoderUsed);
    // Without a decoder, bytes that are not UTF-8 are still read, not lost.
    QCOMPARE(InformationFile::fromBytes("h\nZo\xeb").value(1), zoe);
}

void TestInformation::evenLineCheck()
{
    QVERIFY(!InformationFile::fromText(u"a\nb\nc\nd").lineCountProblem());
    QVERIFY(!InformationFile::fromText(u"a\nb\nc\nd\n").lineCountProblem());
    const auto problem = InformationFile::fromText(u"a\nb\nc\n").lineCountProblem();
    QVERIFY(problem);
    QCOMPARE(problem->title, QString());
    QCOMPARE(problem->kind, QLatin1Char('!'));
    QCOMPARE(problem->lines().size(), 4);
}

void TestInformation::headingLookup_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("balloon");
    QTest::addColumn<int>("selectionLength");
    using K = HeadingLookup::Kind;
    QTest::newRow("token") << QStringLiteral("Dear @3 and") << 5 << int(K::Heading)
                           << QStringLiteral("heading 3") << 3;
    QTest::newRow("two digits") << QStringLiteral("@12 ") << 0 << int(K::Heading) << QString() << 4;
    QTest::newRow("comma") << QStringLiteral("Dear @3, and") << 5 << int(K::None) << QString() << 3;
    QTest::newRow("end of paragraph")
        << QStringLiteral("Dear @3\nnext") << 5 << int(K::None) << QString() << 3;
    QTest::newRow("end of text") << QStringLiteral("Dear @3") << 5 << int(K::None) << QString()
                                 << 2;
    QTest::newRow("ordinary text")
        << QStringLiteral("Dear @3 ") << 1 << int(K::None) << QString() << 1;
    QTest::newRow("past the end") << QStringLiteral("ab") << 9 << int(K::None) << QString() << 0;
    QTest::newRow("no digits") << QStringLiteral("a@ b") << 1 << int(K::None) << QString() << 2;
    QTest::newRow("@ at end") << QStringLiteral("a@") << 1 << int(K::None) << QString() << 1;
    QTest::newRow("entry 0") << QStringLiteral("@0 ") << 0 << int(K::Heading) << QString() << 3;
    QTest::newRow("beyond the file")
        << QStringLiteral("@4 ") << 0 << int(K::Heading) << QString() << 3;
    QTest::newRow("past 32 bits") << QStringLiteral("@99999999999 ") << 0 << int(K::None)
                                  << QString() << 13;
}

void TestInformation::headingLookup()
{
    QFETCH(QString, text);
    QFETCH(int, caret);
    QFETCH(int, kind);
    QFETCH(QString, balloon);
    QFETCH(int, selectionLength);
    const InformationFile info({ "heading 1", "v1", "heading 2", "v2", "heading 3", "v3" });
    const HeadingLookup lookup = lookUpHeading(text, caret, info);
    QCOMPARE(int(lookup.kind), kind);
    QCOMPARE(lookup.text, balloon);
    QCOMPARE(lookup.selectionStart, std::min(caret, int(text.size())));
    QCOMPARE(lookup.selectionLength, selectionLength);
}

void TestInformation::headingLookupWithoutInformation()
{
    const InformationFile oneLine(QStringList { "just one" });
    const HeadingLookup lookup = lookUpHeading(u"see @1 here", 4, oneLine);
    QCOMPARE(lookup.kind, HeadingLookup::Kind::NoInformationFile);
    QCOMPARE(lookup.text.split(QLatin1Char('@')).size(), 3);
    // Text that is no token shows nothing, Information file or not.
    QCOMPARE(lookUpHeading(u"see @1, here", 4, oneLine).kind, HeadingLookup::Kind::None);
}

void TestInformation::encoderRuns()
{
    // Runs the code page holds are encoded whole; only the rest is escaped.
    QStringList runs;
    const ValueEncoder encoder = makeValueEncoder([](QChar c) { return c.unicode() < 128; },
        [&runs](QStringView run) {
            runs << run.toString();
            return run.toLatin1();
        });
    QCOMPARE(encoder(u"ab\u00e9cd\u00e9"), QByteArray("ab\\u233?cd\\u233?"));
    QCOMPARE(runs, (QStringList { "ab", "cd" }));
    QCOMPARE(encoder(u""), QByteArray());
    QCOMPARE(unicodeEscape(0x7fff), QByteArray("\\u32767?"));
    QCOMPARE(unicodeEscape(0x8000), QByteArray("\\u-32768?"));
    QCOMPARE(unicodeEscape(0xffff), QByteArray("\\u-1?"));
}

QTEST_GUILESS_MAIN(TestInformation)
#include "tst_information.moc"
