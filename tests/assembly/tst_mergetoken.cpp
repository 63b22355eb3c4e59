// Reading a template's bytes and making a value safe for RTF: the building
// blocks of the merge that the merge's own tests do not reach one by one.
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include "assembly/loadfile.h"
#include "assembly/mergetext.h"

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

class TestMergeToken : public QObject {
    Q_OBJECT

private slots:
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
        row("CRLF", "a\r\nb\r\n", "a\r\nb\r\n");
        row("LF CR", "a\n\rb", "a\r\n\r\nb\r\n");
        row("mixed", "a\r\nb\nc\r\r\nd", "a\r\nb\r\nc\r\n\r\nd\r\n");
        row("empty lines", "\n\n", "\r\n\r\n");
        row("NUL padding", QByteArray("a\nb\0\0\0", 6), "a\r\nb\r\n");
        row("only NULs", QByteArray("\0\0", 2), "");
        row("NUL mid-file", QByteArray("ab\0cd\n", 6), {}, 2);
        row("NUL first", QByteArray("\0abc", 4), {}, 0);
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
        row("path", "C:\\temp\\new", "C:\\\\temp\\\\new");
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
        const ValueEncoder safe = rtfSafe(latin1ValueEncoder());
        QCOMPARE(safe(u"a}\u0141"), QByteArray("a\\}\\u321?"));
    }
};

QTEST_GUILESS_MAIN(TestMergeToken)
#include "tst_mergetoken.moc"
