// The merge engine: insert and overwrite modes in plain and RTF templates,
// values made safe, token shapes and the range check, values that hold
// tokens, the bounds on values that loop, and agreement with the rescanning
// merge it replaces.
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include "assembly/informationfile.h"
#include "assembly/mergeengine.h"
#include "assembly/rescanningmerge.h"

using namespace assembly;

Q_DECLARE_METATYPE(assembly::AssemblyMessage)

namespace assembly {
// Messages print as their text when a comparison fails.
char *toString(const AssemblyMessage &message)
{
    return QTest::toString(
        message.title + QLatin1Char('|') + message.kind + QLatin1Char('|') + message.text);
}
} // namespace assembly

namespace {

bool shiftJisLead(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9f) || (c >= 0xe0 && c <= 0xfc);
}

MergeResult mergeText(const QByteArray &text, const QStringList &lines, bool overwrite = false,
    MergeOptions options = {})
{
    const InformationFile info(lines);
    options.overwrite = overwrite;
    return MergeEngine(info, latin1ValueEncoder(), options).merge(text);
}

// "heading 1", values[0], "heading 2", values[1] ...
QStringList entries(const QStringList &values)
{
    QStringList lines;
    for (int i = 0; i < values.size(); ++i)
        lines << QStringLiteral("heading %1").arg(i + 1) << values.at(i);
    return lines;
}

const AssemblyMessage notInInformation = messages::valueNotInInformationFile();

} // namespace

class TestMergeEngine : public QObject {
    Q_OBJECT

private slots:
    void merges_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QByteArray>("inserted"); // null: insert mode not tried
        QTest::addColumn<QByteArray>("overwritten"); // null: overwrite mode not tried
        QTest::addColumn<qint64>("count");
        QTest::addColumn<qint64>("overwriteCount");
        QTest::addColumn<bool>("shiftJis");
        const QByteArray same = "(as inserted)";
        const auto row = [](const char *name, const QByteArray &text, const QStringList &values,
                             const QByteArray &inserted, const QByteArray &overwritten,
                             qint64 count = 1, qint64 overwriteCount = -1, bool shiftJis = false) {
            QTest::newRow(name) << text << entries(values) << inserted << overwritten << count
                                << (overwriteCount < 0 ? count : overwriteCount) << shiftJis;
        };
        // The same inside "{\rtf1 " and "}".
        const auto rtf = [&row, &same](const char *name, const QByteArray &text,
                             const QStringList &values, const QByteArray &inserted,
                             const QByteArray &overwritten, bool shiftJis = false) {
            const auto wrap = [&same](const QByteArray &b) {
                return b.isNull() || b == same ? b : "{\\rtf1 " + b + '}';
            };
            row(name, wrap(text), values, wrap(inserted), wrap(overwritten), 1, -1, shiftJis);
        };

        // Plain text: every byte but a line end is a character.
        row("form field", "Name: @1______", { "Smith" }, "Name: Smith______", "Name: Smith___");
        row("short value padded", "[@12]", QStringList(11, "x") << "Al", "[Al]", "[Al ]");
        row("same token twice", "@2 and @2.", { "a", "Bob" }, "Bob and Bob.", "Boband Bob", 2);
        row("value eats next token", "@1_@2 end", { "Smith", "X" }, "Smith_X end", "Smith end", 2,
            1);
        row("line end kept", "@1\r\nnext @2", { "Smith", "Z" }, "Smith\r\nnext Z",
            "Smith\r\nnext Z ", 2);
        row("plain value as it is", "Dear @1}", { "a}b\\x" }, "Dear a}b\\x}", "Dear a}b\\x");
        row("two-byte characters", "@1\x82\xa0\x82\xa0!", { "ABC" }, "ABC\x82\xa0\x82\xa0!",
            "ABC\x82\xa0!", 1, -1, true);
        row("outside the code page", "@1|@2|@3",
            { "Zo\u00eb", "\u0141\u00f3d\u017a", "\U0001F600@" },
            "Zo\xeb|\\u321?\xf3"
            "d\\u378?|\\u-10179?\\u-8704?@",
            {}, 3);
        // Three lines: entry 2's value line is the missing (or uncounted empty
        // last) line; it is accepted and empty.
        QTest::newRow("value line missing")
            << QByteArray("[@2][@1]") << QStringList { "h1", "v1", "h2" } << QByteArray("[][v1]")
            << QByteArray() << qint64(2) << qint64(2) << false;

        // RTF: values escaped where they would break the document; markup of
        // the template is never overwritten.
        rtf("backslash escaped", "@1 x", { "back\\slash" }, "back\\\\slash x", "back\\\\slash");
        rtf("before \\b0", "landlord, \\b @1\\b0 , and", { "Priya" },
            "landlord, \\b Priya\\b0 , and", same);
        rtf("text, then \\b0", "\\b @1___\\b0 x", { "Smithson" }, "\\b Smithson___\\b0 x",
            "\\b Smithson\\b0 x");
        rtf("before the last }", "Dear @1", { "Smith" }, "Dear Smith", same);
        rtf("before \\cell", "Bond\\cell @1\\cell\\row", { "$2,000" },
            "Bond\\cell $2,000\\cell\\row", same);
        rtf("amid \\'e9 text", "@1\\'e9\\'e9\\'e9!", { "ABCD" }, "ABCD\\'e9\\'e9\\'e9!",
            "ABCD\\'e9!");
        rtf("control symbol is text", "@1\\~\\~x", { "ABC" }, "ABC\\~\\~x", "ABC\\~x");
        rtf("escapes count one each", "@1______|", { "Zo\\'eb\\par \u0141" },
            "Zo\\'eb\\par \\u321?______|", "Zo\\'eb\\par \\u321?___|");
        rtf("padded after a control word", "[@1]", { "\\b X\\b0" }, "[\\b X\\b0 ]",
            "[\\b X\\b0  ]");
        rtf("two-byte \\'hh", "@1\\'82\\'a0\\'82\\'a0!", { "ABC" }, {}, "ABC\\'82\\'a0!", true);
        rtf("lead byte, backslash trail", "@1\x82\\\x82\xa0!", { "ABC" }, {}, "ABC\x82\xa0!", true);
        rtf("two-byte value", "@1__|", { "\u0082\u00a0X" }, {}, "\x82\xa0X__|", true);

        // Token shapes.
        row("space CRLF digit", "@1 \r\n5", { "V" }, "V \r\n5", {});
        row("leading zeros", "(@01)", { "V" }, "(V)", {});
        // 100 digits: the first 99 are read as the number (98 zeros and a 1).
        row("100 digits", "<@" + QByteArray(98, '0') + "12>", { "V" }, "<V>", {});

        // The text a value puts in is scanned again.
        row("rescanned", "<@1>", { "a@2b", "[@3]", "X" }, "<a[X]b>", {}, 3);
        row("twice, no cycle", "@1", { "@2 @2", "z" }, "z z", {}, 3);
        // A value that ends in "@" takes the digits after what it overwrote.
        row("value ends in @", "@1__2.", { "xyz@", "two" }, {}, "xyztwo", 0, 2);
        row("overwrite rescanned", "@1____|", { "[@2]", "Y" }, {}, "[Y ]__|", 0, 2);
        // The text after a token in a value runs on into the template.
        row("overwrite across a value", "{\\rtf1 @1__\\b0}", { "[@2", "XYZW" },
            "{\\rtf1 [XYZW__\\b0}", "{\\rtf1 [XYZW\\b0}", 2);
        // The first '@' that is not a token ends the merge; the rest stays as
        // it was, also when that '@' came in with a value.
        row("early end at once", "mail me@example.com about @1\r\n", { "v" },
            "mail me@example.com about @1\r\n", {}, 0);
        row("early end later", "@1 @x @1", { "v" }, "v @x @1", {});
        row("early end in a value", "<@1> @2", { "a@b", "never" }, "<a@b> @2", {});
        row("@ at the end", "@1 @", { "v" }, "v @", {});
    }
    void merges()
    {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, lines);
        QFETCH(QByteArray, inserted);
        QFETCH(QByteArray, overwritten);
        QFETCH(qint64, count);
        QFETCH(qint64, overwriteCount);
        QFETCH(bool, shiftJis);
        MergeOptions options;
        if (shiftJis)
            options.isLeadByte = shiftJisLead;
        if (overwritten == "(as inserted)")
            overwritten = inserted;
        const InformationFile info(lines);
        for (const bool overwrite : { false, true }) {
            const QByteArray &expected = overwrite ? overwritten : inserted;
            if (expected.isNull())
                continue;
            options.overwrite = overwrite;
            const MergeResult r = MergeEngine(info, latin1ValueEncoder(), options).merge(text);
            QVERIFY2(r.ok(), overwrite ? "overwrite" : "insert");
            QCOMPARE(r.text, expected);
            QCOMPARE(r.replacements, overwrite ? overwriteCount : count);
            // The yardstick goes by the same rules.
            QCOMPARE(
                rescanningMerge(text, info, latin1ValueEncoder(), options).merge.text, expected);
        }
    }

    void refusals_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<bool>("overwrite");
        QTest::addColumn<AssemblyMessage>("message");
        QTest::addColumn<QByteArray>("token"); // null: not checked
        const auto row = [](const char *name, const QByteArray &text, const QStringList &lines,
                             const AssemblyMessage &message, const QByteArray &token = {},
                             bool overwrite = false) {
            QTest::newRow(name) << text << lines << overwrite << message << token;
        };
        const QStringList v = entries({ "V" });
        const AssemblyMessage overflow = messages::integerOverflow();
        row("space digit", "@1 2", v, notInInformation, "@1 ");
        row("CRLF digit", "@1\r\n2", v, notInInformation);
        row("comma digit", "@1,2", v, notInInformation, "@1,");
        row("endless digits", "@" + QByteArray(100000, '9'), v, notInInformation);
        row("@0", "@0 ", v, notInInformation, "@0");
        // From 2^30 on the line index overflows; past the int range the token
        // is no number at all.
        row("below overflow", "@1073741823", v, notInInformation);
        row("first overflow", "x @1073741824 y", v, overflow, "@1073741824");
        row("int max", "x @2147483647 y", v, overflow);
        row("overflow, zero first", "x @01073741824 y", v, overflow);
        row("past int", "@2147483648", v, notInInformation);
        // The number is read from the first 99 digits, but a token that took
        // its extra character is no number however long it is.
        row("99 digits and extra", "@" + QByteArray(98, '0') + "1 2", v, notInInformation);
        row("beyond the file", "ok @1 then @3", entries({ "a", "b" }), notInInformation, "@3");
        // The '@' after the first token's digits is the character the shape
        // check looks at, and a digit follows it.
        row("tokens side by side", "@1@2", entries({ "7", "8" }), notInInformation, "@1@");
        // A value's token looks past the value for its shape.
        row("shape past a value", "@1cd 5", entries({ "ab@2", "b" }), notInInformation, "@2 ",
            true);
        row("refers to itself", "start @1 end", entries({ "again @1" }),
            messages::valueRefersToItself(1));
        row("cycle through another", "@1", entries({ "@2", "@1" }),
            messages::valueRefersToItself(1));
        row("longer cycle, overwrite", "@1 tail", entries({ "<@2>", "<@3>", "<@1>" }),
            messages::valueRefersToItself(1), {}, true);
        QStringList chain, doubling;
        for (int i = 2; i <= 70; ++i)
            chain << QStringLiteral("@%1").arg(i);
        // Each value twice the one before: 2^30 replacements without a cycle.
        for (int i = 2; i <= 31; ++i)
            doubling << QStringLiteral("@%1 @%1").arg(i);
        row("nested too deep", "@1", entries(chain << "end"), messages::valuesNestedTooDeeply(64));
        row("doubling values", "@1", entries(doubling << "x"),
            messages::tooManyNestedReplacements(1000000));
    }
    void refusals()
    {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, lines);
        QFETCH(bool, overwrite);
        QFETCH(AssemblyMessage, message);
        QFETCH(QByteArray, token);
        const MergeResult r = mergeText(text, lines, overwrite);
        QVERIFY(!r.ok());
        QCOMPARE(*r.failure, message);
        QVERIFY(r.text.isEmpty());
        if (!token.isNull())
            QCOMPARE(r.token, token);
        // The yardstick refuses the same, bar the bounds on values inside
        // values, which it does not have.
        if (message.text.startsWith(QStringLiteral("Your INFORMATION file")))
            return;
        const RescanResult expected
            = rescanningMerge(text, InformationFile(lines), latin1ValueEncoder(), overwrite);
        QVERIFY(expected.merge.failure == message);
    }

    void limitsAreOptions()
    {
        QStringList chain;
        for (int i = 2; i <= 70; ++i)
            chain << QStringLiteral("@%1").arg(i);
        MergeOptions deep;
        deep.maxNesting = 100;
        QCOMPARE(mergeText("@1", entries(chain << "end"), false, deep).text, QByteArray("end"));
        // The bound is inclusive: below the template's @1 stand 69 values,
        // each holding the token of the next.
        deep.maxNesting = 69;
        QVERIFY(mergeText("@1", entries(chain), false, deep).ok());
        deep.maxNesting = 68;
        const MergeResult tooDeep = mergeText("@1", entries(chain), false, deep);
        QVERIFY(!tooDeep.ok());
        QCOMPARE(*tooDeep.failure, messages::valuesNestedTooDeeply(68));

        MergeOptions small;
        small.maxResultSize = 1000;
        MergeResult r = mergeText(QByteArray(2000, 'a'), entries({ "v" }), false, small);
        QCOMPARE(*r.failure, messages::mergeTooLarge(1000));
        r = mergeText(QByteArray(500, '-') + "@1", entries({ QString(600, 'v') }), false, small);
        QCOMPARE(*r.failure, messages::mergeTooLarge(1000));

        // A template may be declared plain text whatever it starts with.
        MergeOptions plain;
        plain.templateKind = MergeOptions::TemplateKind::PlainText;
        QCOMPARE(mergeText("{\\rtf1 @1}", entries({ "}" }), false, plain).text,
            QByteArray("{\\rtf1 }}"));
    }

    void runChecksPanesAndFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("letter.tem"));
        const auto write = [&path](const QByteArray &bytes) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        };
        write("{\\rtf1 Dear @1,}");
        const InformationFile info(entries({ "Smith" }));
        const MergeEngine engine(info, latin1ValueEncoder());
        QCOMPARE(engine.run(path, 2).text, QByteArray("{\\rtf1 Dear Smith,}\r\n"));
        QCOMPARE(*engine.run(path, 1).failure, messages::noTemplateFile());
        const InformationFile oneLine(QStringList { "only" });
        QCOMPARE(*MergeEngine(oneLine, latin1ValueEncoder()).run(path, 5).failure,
            messages::noInformationFile());
        const QString missing = dir.filePath(QStringLiteral("gone.tem"));
        const MergeResult r = engine.run(missing, 2);
        QCOMPARE(*r.failure, messages::cannotOpenFile(missing));
        QVERIFY(!r.detail.isEmpty());
        QCOMPARE(*engine.run(QString(), 2).failure, messages::cannotOpenFile(QString()));
        QCOMPARE(*engine.run(dir.path(), 2).failure, messages::cannotOpenFile(dir.path()));
        write(QByteArray("{\\rtf1 @1\0}", 11));
        QCOMPARE(*engine.run(path, 2).failure, messages::templateHoldsNul(9));
    }

    void agreesWithRescanningMerge()
    {
        // Random templates and values, tokens, RTF and two-byte characters in
        // both, in both modes: the one-pass engine must give what the
        // rescanning merge gives, and refuse exactly the inputs that make the
        // rescanning merge run on.
        QRandomGenerator random(20240611);
        static const char *const filler[] = { "a", "b", " ", ",", "\r\n", "\n", "{", "}", "\\",
            "\\b0 ", "\\par ", "\\'e9", "\\~", "\\cell", "\x82\xa0", "\x82\\" };
        const auto piece = [&random](int entryCount, bool inValue) {
            QByteArray bytes;
            const int parts = random.bounded(1, inValue ? 4 : 12);
            for (int i = 0; i < parts; ++i) {
                const int kind = random.bounded(20);
                if (kind < 12) {
                    bytes += filler[random.bounded(int(std::size(filler)))];
                    if (random.bounded(30) == 0)
                        bytes += '5';
                } else if (kind < (inValue ? 14 : 19)) {
                    const int number = random.bounded(12) == 0
                        ? random.bounded(2) * (entryCount + 1)
                        : random.bounded(1, entryCount + 1);
                    bytes += '@' + QByteArray::number(number);
                    if (random.bounded(8) == 0)
                        bytes.insert(bytes.size() - 1, '0');
                    if (random.bounded(2) == 0)
                        bytes += random.bounded(2) ? ' ' : 'a';
                } else if (random.bounded(inValue ? 2 : 6) == 0) {
                    bytes += random.bounded(2) ? "@x" : "@";
                }
            }
            return bytes;
        };

        int several = 0, few = 0, refused = 0, loops = 0; // several replacements, or few
        for (int round = 0; round < 6000; ++round) {
            const int entryCount = random.bounded(1, 6);
            QStringList values;
            for (int i = 0; i < entryCount; ++i)
                values << QString::fromLatin1(piece(entryCount, true));
            QStringList lines = entries(values);
            if (random.bounded(4) == 0)
                lines.removeLast(); // an odd file: its last value is missing
            const QByteArray text
                = (random.bounded(2) ? "{\\rtf1 " : "") + piece(entryCount, false);
            MergeOptions options;
            options.overwrite = random.bounded(2);
            if (random.bounded(2))
                options.isLeadByte = shiftJisLead;

            const InformationFile info(lines);
            RescanLimits limits;
            limits.maxReplacements = 4000;
            const RescanResult expected
                = rescanningMerge(text, info, latin1ValueEncoder(), options, limits);
            const MergeResult actual = MergeEngine(info, latin1ValueEncoder(), options).merge(text);

            // One arg() call: the percent-encoded text must not be taken for
            // place markers.
            const QString describe
                = QStringLiteral("round %1, overwrite %2: \"%3\", %4")
                      .arg(QString::number(round), QString::number(options.overwrite),
                          QString::fromLatin1(text.toPercentEncoding()),
                          lines.join(QLatin1Char('|')));
            if (actual.failure
                && actual.failure->text.startsWith(QStringLiteral("Your INFORMATION file"))) {
                ++loops;
                // In insert mode a value that leads back to itself never ends;
                // in overwrite mode it may eat the rest of the text and stop,
                // a result we refuse all the same.
                QVERIFY2(options.overwrite || expected.stopped, qPrintable(describe));
                continue;
            }
            const auto outcome = [](const MergeResult &m) {
                return std::tuple(m.failure, m.text, m.replacements, m.ok() ? -1 : m.tokenOffset);
            };
            QVERIFY2(!expected.stopped && outcome(actual) == outcome(expected.merge),
                qPrintable(describe));
            ++(actual.failure ? refused : actual.replacements > 1 ? several : few);
        }
        // The cases must spread over every outcome to mean something.
        QVERIFY2(several > 1000 && few > 500 && refused > 600 && loops > 50,
            qPrintable(
                QStringLiteral("%1 %2 %3 %4").arg(several).arg(few).arg(refused).arg(loops)));
    }

    // 200,000 tokens in 8 MB, which the rescanning merge would take minutes
    // over; progress is reported on the way, in order, up to the total.
    void largeTemplateIsLinear()
    {
        QByteArray text = "{\\rtf1 ";
        text.reserve(8 << 20);
        for (int i = 0; i < 200000; ++i)
            text += "{\\b Client @" + QByteArray::number(i % 50 + 1) + "} text text text\\par\r\n";
        QStringList values;
        for (int i = 0; i < 50; ++i)
            values << QStringLiteral("value {%1}").arg(i);
        const InformationFile info(entries(values));
        QElapsedTimer clock;
        clock.start();
        for (const bool overwrite : { false, true }) {
            MergeOptions options;
            options.overwrite = overwrite;
            MergeEngine engine(info, latin1ValueEncoder(), options);
            QList<qint64> seen;
            engine.setProgressCallback([&seen](qint64 n) { seen << n; });
            const MergeResult r = engine.merge(text);
            QVERIFY(r.ok() && r.replacements == 200000);
            QVERIFY(seen.size() >= 2 && seen.first() == 1 && seen.last() == 200000);
            QVERIFY(std::is_sorted(seen.begin(), seen.end()));
        }
        // Linear work takes well under a second even in the sanitizer build.
        QVERIFY2(clock.elapsed() < 10000, qPrintable(QString::number(clock.elapsed())));
    }
};

QTEST_GUILESS_MAIN(TestMergeEngine)
#include "tst_mergeengine.moc"
