// What the merge reads and what it puts in: Information files (line
// counting, decoding, the balloon over a token), a template's bytes as read
// from disk, and values made safe for RTF or outside the code page.
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include "assembly/headinglookup.h"
#include "assembly/informationfile.h"
#include "assembly/loadfile.h"
#include "assembly/mergetext.h"
#include "assembly/messages.h"
#include "assembly/valueencoder.h"

using namespace assembly;

namespace {

QByteArray utf16(const QString &text, bool bigEndian)
{
    QStringEncoder encoder(bigEndian ? QStringEncoder::Utf16BE : QStringEncoder::Utf16LE);
    const QByteArray bytes = encoder.encode(text);
    return (bigEndian ? QByteArray("\xfe\xff") : QByteArray("\xff\xfe")) + bytes;
}

// Shift-JIS: these bytes start a two-byte character.
bool shiftJisLead(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9f) || (c >= 0xe0 && c <= 0xfc);
}

} // namespace

class TestMergeInput : public QObject {
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
        // Spaces are part of a line; outside the file everything is empty.
        const auto file = InformationFile::fromText(u"Name\nSmith\n Town \n Leeds\nZip\n");
        const QStringList lines { "", "", "Name", "Smith", " Town ", " Leeds", "Zip", "", "", "" };
        for (int e = 0; e <= 4; ++e)
            QCOMPARE((QStringList { file.heading(e), file.value(e) }), lines.mid(2 * e, 2));
        QCOMPARE(file.line(-2) + file.line(5), QString());
    }

    void decoding_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        // The code page's decoder, made to show where it was used.
        QTest::addColumn<bool>("withDecoder");
        const QStringList zoe { "h", "Zo\u00eb", "" };
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

    // Through a file on disk, as the merge reads it.
    void templateBytes_data()
    {
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<qint64>("nulAt"); // refused for a NUL at this byte, or -1
        const auto row = [](const char *name, const QByteArray &raw, const QByteArray &text,
                             qint64 nulAt = -1) { QTest::newRow(name) << raw << text << nulAt; };
        row("empty", "", "");
        row("no line end", "abc", "abc\r\n");
        row("CR", "a\rb", "a\r\nb\r\n");
        row("LF CR", "a\n\rb", "a\r\n\r\nb\r\n");
        row("mixed", "a\r\nb\nc\r\r\nd", "a\r\nb\r\nc\r\n\r\nd\r\n");
        row("empty lines", "\n\n", "\r\n\r\n");
        row("NUL padding", QByteArray("a\nb\0\0\0", 6), "a\r\nb\r\n");
        row("only NULs", QByteArray("\0\0", 2), "");
        row("NUL mid-file", QByteArray("ab\0cd\n", 6), {}, 2);
        row("NUL, padding, text", QByteArray("a\0\0\0b", 5), {}, 1);
        row("UTF-8 mark", "\xef\xbb\xbf{\\rtf1 x}", "{\\rtf1 x}\r\n");
        row("UTF-8 mark, NUL",
            QByteArray("\xef\xbb\xbf"
                       "a\0b",
                6),
            {}, 4);
        row("UTF-16LE RTF", utf16("{\\rtf1 Zo\u00eb \U0001F600 @1}\n", false),
            "{\\rtf1 Zo\\u235? \\u-10179?\\u-8704? @1}\r\n");
        row("UTF-16BE RTF", utf16("{\\rtf1 \u0141}", true), "{\\rtf1 \\u321?}\r\n");
        row("UTF-16BE plain", utf16("Zo\u00eb @1\r\n", true), "Zo\xc3\xab @1\r\n");
        row("UTF-16LE padding", utf16("a\n", false) + QByteArray(4, '\0'), "a\r\n");
        row("UTF-16LE NUL", utf16("a", false) + QByteArray(2, '\0') + utf16("b", false).mid(2), {},
            4);
    }
    void templateBytes()
    {
        QFETCH(QByteArray, raw);
        QFETCH(QByteArray, text);
        QFETCH(qint64, nulAt);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("t.tem"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(raw);
        file.close();
        const LoadedFile loaded = loadFileToString(path);
        QCOMPARE(loaded.ok, nulAt < 0);
        QCOMPARE(loaded.text, text);
        if (nulAt >= 0)
            QVERIFY(loaded.failure == messages::templateHoldsNul(nulAt));
    }

    void canonicalTextIsNotCopied()
    {
        const QByteArray text = QByteArray("{\\rtf1 @1\\par\r\n").repeated(1000);
        QCOMPARE(normalizeLineEnds(text).constData(), text.constData());
    }

    void escapeValue_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QByteArray>("escaped");
        QTest::addColumn<bool>("shiftJis");
        const auto row
            = [](const char *name, const QByteArray &value, const QByteArray &escaped,
                  bool shiftJis = false) { QTest::newRow(name) << value << escaped << shiftJis; };
        row("plain", "Smith & Sons", "Smith & Sons");
        row("unbalanced braces", "Smith }}}} {Jnr", "Smith \\}\\}\\}\\} \\{Jnr");
        row("balanced group", "{\\b Smith} {{a}b}", "{\\b Smith} {{a}b}");
        row("close before open", "}{", "\\}\\{");
        row("group and a stray", "{a}}{b", "{a}\\}\\{b");
        row("unknown word", "back\\slash", "back\\\\slash");
        row("binary data refused", "\\bin5 abcde", "\\\\bin5 abcde");
        row("destination refused", "{\\*\\x y}", "{\\\\*\\\\x y}");
        row("line breaks act", "1 High St\\par Leeds\\line LS1", "1 High St\\par Leeds\\line LS1");
        row("formatting acts", "\\b\\i1 x\\i0\\ul-1 y", "\\b\\i1 x\\i0\\ul-1 y");
        row("symbols act", "\\~\\-\\_\\{\\}\\\\", "\\~\\-\\_\\{\\}\\\\");
        row("hex", "Zo\\'eb \\'zz", "Zo\\'eb \\\\'zz");
        row("backslash at end", "x\\", "x\\\\");
        row("word at end delimited", "Leeds\\line", "Leeds\\line ");
        row("unicode", "\\u321?d \\u b", "\\u321?d \\\\u b");
        row("unicode at end", "\\u321", "\\u321?");
        row("lead byte, brace trail", "\x82{}\x82\xa0", "\\'82\\'7b\\}\x82\xa0", true);
        row("without a code page", "\x82{}", "\x82{}");
    }
    void escapeValue()
    {
        QFETCH(QByteArray, value);
        QFETCH(QByteArray, escaped);
        QFETCH(bool, shiftJis);
        const LeadByteTest lead = shiftJis ? LeadByteTest(shiftJisLead) : LeadByteTest();
        QCOMPARE(escapeValueRtf(value, lead), escaped);
        // The engine may meet values an encoder already escaped.
        QCOMPARE(escapeValueRtf(escaped, lead), escaped);
    }

    void escapeValueWithOwnWords()
    {
        const ControlWordTest onlyFoo = [](QByteArrayView word) { return word == "foo"; };
        QCOMPARE(escapeValueRtf("\\foo1 \\b x", {}, onlyFoo), QByteArray("\\foo1 \\\\b x"));
        QCOMPARE(escapeValueRtf(latin1ValueEncoder()(u"a}\u0141")), QByteArray("a\\}\\u321?"));
    }
};

QTEST_GUILESS_MAIN(TestMergeInput)
#include "tst_mergeinput.moc"
