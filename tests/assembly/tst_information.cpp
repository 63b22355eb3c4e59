// The Information file as the merge and the heading lookup read it: line
// counting and the even-line check, decoding, the balloon over a token, and
// values outside the code page.
#include <QStringEncoder>
#include <QTest>

#include "assembly/headinglookup.h"
#include "assembly/informationfile.h"
#include "assembly/messages.h"
#include "assembly/valueencoder.h"

using namespace assembly;

class TestInformation : public QObject {
    Q_OBJECT

private slots:
    void lineCount_data()
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

    void lineCount()
    {
        QFETCH(QString, text);
        QFETCH(int, count);
        const InformationFile file = InformationFile::fromText(text);
        QCOMPARE(file.count(), count);
        QCOMPARE(bool(file.lineCountProblem()), count % 2 != 0);
    }

    void entries()
    {
        const InformationFile file
            = InformationFile::fromText(u"Name\nSmith\n  Town  \n  Leeds \nZip\n");
        // Spaces are part of a line; outside the file everything is empty.
        const QStringList expected { "Name", "Smith", "  Town  ", "  Leeds ", "Zip", "", "", "" };
        for (int entry = 0; entry <= 4; ++entry) {
            QCOMPARE(file.heading(entry), entry ? expected.at(2 * entry - 2) : QString());
            QCOMPARE(file.value(entry), entry ? expected.at(2 * entry - 1) : QString());
        }
        QCOMPARE(file.line(-2), QString());
        QCOMPARE(file.line(5), QString());
    }

    void decoding_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        // The code page's decoder, made to show where it was used.
        QTest::addColumn<bool>("withDecoder");
        const auto utf16 = [](const QString &text, bool bigEndian) {
            QStringEncoder encoder(bigEndian ? QStringEncoder::Utf16BE : QStringEncoder::Utf16LE);
            const QByteArray bytes = encoder.encode(text);
            return (bigEndian ? QByteArray("\xfe\xff") : QByteArray("\xff\xfe")) + bytes;
        };
        const QStringList zoe { "h", "Zo\u00eb", "" };
        QTest::newRow("ASCII") << QByteArray("h\nv\n") << QStringList { "h", "v", "" } << true;
        QTest::newRow("UTF-8") << QByteArray("h\nZo\xc3\xab\n") << zoe << true;
        QTest::newRow("UTF-8 mark") << QByteArray("\xef\xbb\xbfh\nZo\xc3\xab\n") << zoe << true;
        QTest::newRow("code page")
            << QByteArray("h\r\nZo\xeb\r\n") << QStringList { "H", "ZO\u00cb", "" } << true;
        // Without a decoder, bytes that are not UTF-8 are still read, not lost.
        QTest::newRow("Latin-1") << QByteArray("h\nZo\xeb\n") << zoe << false;
        // As Notepad saves "Unicode": each line a line, not two.
        QTest::newRow("UTF-16LE mark") << utf16("h\r\nZo\u00eb\r\n", false) << zoe << true;
        QTest::newRow("UTF-16BE mark") << utf16("h\nZo\u00eb\n", true) << zoe << true;
    }

    void decoding()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        QFETCH(bool, withDecoder);
        const TextDecoder upper = [](QByteArrayView b) { return QString::fromLatin1(b).toUpper(); };
        const InformationFile file
            = InformationFile::fromBytes(bytes, withDecoder ? upper : TextDecoder());
        for (int i = 0; i < lines.size(); ++i)
            QCOMPARE(file.line(i), lines.at(i));
        QCOMPARE(file.count(), lines.size() - 1);
    }

    void headingLookup_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("caret");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("balloon");
        QTest::addColumn<int>("selectionLength");
        using K = HeadingLookup::Kind;
        const auto row = [](const char *name, const QString &text, int caret, K kind,
                             const QString &balloon, int selectionLength) {
            QTest::newRow(name) << text << caret << int(kind) << balloon << selectionLength;
        };
        row("token", "Dear @3 and", 5, K::Heading, "heading 3", 3);
        row("two digits", "@12 ", 0, K::Heading, "", 4);
        row("comma", "Dear @3, and", 5, K::None, "", 3);
        row("end of paragraph", "Dear @3\nnext", 5, K::None, "", 3);
        row("end of text", "Dear @3", 5, K::None, "", 2);
        row("ordinary text", "Dear @3 ", 1, K::None, "", 1);
        row("past the end", "ab", 9, K::None, "", 0);
        row("no digits", "a@ b", 1, K::None, "", 2);
        row("@ at end", "a@", 1, K::None, "", 1);
        row("entry 0", "@0 ", 0, K::Heading, "", 3);
        row("beyond the file", "@4 ", 0, K::Heading, "", 3);
        row("past 32 bits", "@99999999999 ", 0, K::None, "", 13);
    }

    void headingLookup()
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

    void headingLookupWithoutInformation()
    {
        const InformationFile oneLine(QStringList { "just one" });
        const HeadingLookup lookup = lookUpHeading(u"see @1 here", 4, oneLine);
        QCOMPARE(lookup.kind, HeadingLookup::Kind::NoInformationFile);
        QCOMPARE(lookup.text.split(QLatin1Char('@')).size(), 3);
        // Text that is no token shows nothing, Information file or not.
        QCOMPARE(lookUpHeading(u"see @1, here", 4, oneLine).kind, HeadingLookup::Kind::None);
    }

    void encoderRuns()
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
        QCOMPARE(unicodeEscape(0x7fff), QByteArray("\\u32767?"));
        QCOMPARE(unicodeEscape(0x8000), QByteArray("\\u-32768?"));
    }
};

QTEST_GUILESS_MAIN(TestInformation)
#include "tst_information.moc"
