// The merge engine against the observable results of the rescanning merge:
// insert and overwrite modes, the range check, token shapes, values that hold
// tokens, the early end, overflow, and the bounds on values that loop.
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include "assembly/informationfile.h"
#include "assembly/mergeengine.h"
#include "assembly/rescanningmerge.h"

using namespace assembly;

namespace assembly {
// Messages print as their text when a comparison fails.
char *toString(const AssemblyMessage &message)
{
    return QTest::toString(
        message.title + QLatin1Char('|') + message.kind + QLatin1Char('|') + message.text);
}
} // namespace assembly

namespace {

MergeResult mergeText(const QByteArray &text, const QStringList &lines, bool overwrite = false,
    MergeOptions options = {})
{
    const InformationFile info(lines);
    options.overwrite = overwrite;
    MergeEngine engine(info, latin1ValueEncoder(), options);
    return engine.merge(text);
}

// "h1", "v1", "h2", "v2" ... for the given values.
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
    void insertAndOverwrite_data();
    void insertAndOverwrite();
    void rangeCheck();
    void tokenShapes_data();
    void tokenShapes();
    void rescanning();
    void boundedCycle();
    void expansionLimits();
    void valuesOutsideTheCodePage();
    void runChecksPanesAndFile();
    void progressReports();
    void agreesWithRescanningMerge();
    void largeTemplateIsLinear();
};

void TestMergeEngine::insertAndOverwrite_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QByteArray>("inserted");
    QTest::addColumn<QByteArray>("overwritten");
    QTest::addColumn<qint64>("count");
    QTest::addColumn<qint64>("overwriteCount");

    QTest::newRow("form field") << QByteArray("Name: @1______") << QStringList { "Smith" }
                                << QByteArray("Name: Smith______") << QByteArray("Name: Smith___")
                                << qint64(1) << qint64(1);
    QTest::newRow("short value padded")
        << QByteArray("[@12]") << (QStringList() << QStringList(11, "x") << "Al")
        << QByteArray("[Al]") << QByteArray("[Al ]") << qint64(1) << qint64(1);
    QTest::newRow("empty value")
        << QByteArray("[@12]") << (QStringList() << QStringList(11, "x") << "")
        << QByteArray("[]") << QByteArray("[   ]") << qint64(1) << qint64(1);
    QTest::newRow("same token twice")
        << QByteArray("@2 and @2.") << QStringList { "a", "Bob" } << QByteArray("Bob and Bob.")
        << QByteArray("Boband Bob") << qint64(2) << qint64(2);
    QTest::newRow("value eats next token")
        << QByteArray("@1_@2 end") << QStringList { "Smith", "X" } << QByteArray("Smith_X end")
        << QByteArray("Smith end") << qint64(2) << qint64(1);
    QTest::newRow("grows at the end")
        << QByteArray("ab@1") << QStringList { "Smith" } << QByteArray("abSmith")
        << QByteArray("abSmith") << qint64(1) << qint64(1);
    QTest::newRow("over a line end")
        << QByteArray("@1\r\nnext @2") << QStringList { "Smith", "Z" }
        << QByteArray("Smith\r\nnext Z") << QByteArray("Smithext Z ") << qint64(2) << qint64(2);
    QTest::newRow("RTF in a value")
        << QByteArray("{\\rtf1 Dear @1\\par}") << QStringList { "\\b Smith\\b0 " }
        << QByteArray("{\\rtf1 Dear \\b Smith\\b0 \\par}")
        << QByteArray("{\\rtf1 Dear \\b Smith\\b0 ") << qint64(1) << qint64(1);
    QTest::newRow("no tokens") << QByteArray("plain\r\n") << QStringList { "v" }
                               << QByteArray("plain\r\n") << QByteArray("plain\r\n") << qint64(0)
                               << qint64(0);

    // Rows for one mode only: the other's result is null.
    // A value's tokens are replaced in turn; a value used twice is no cycle.
    QTest::newRow("rescanned") << QByteArray("<@1>") << QStringList { "a@2b", "[@3]", "X" }
                               << QByteArray("<a[X]b>") << QByteArray() << qint64(3) << qint64(0);
    QTest::newRow("twice, no cycle") << QByteArray("@1") << QStringList { "@2 @2", "z" }
                                     << QByteArray("z z") << QByteArray() << qint64(3) << qint64(0);
    // A value that ends in "@" takes the digits after what it overwrote.
    QTest::newRow("value ends in @") << QByteArray("@1__2.") << QStringList { "xyz@", "two" }
                                     << QByteArray() << QByteArray("xyztwo") << qint64(0) << qint64(2);
    // The value put in runs over the template after it, and its own tokens
    // are rescanned there.
    QTest::newRow("overwrite rescanned") << QByteArray("@1____|") << QStringList { "[@2]", "Y" }
                                         << QByteArray() << QByteArray("[Y ]__|") << qint64(0)
                                         << qint64(2);
    // The first '@' that is not a token ends the merge; the rest stays as it
    // was, also when that '@' came in with a value.
    QTest::newRow("early end at once")
        << QByteArray("mail me@example.com about @1\r\n") << QStringList { "v" }
        << QByteArray("mail me@example.com about @1\r\n") << QByteArray() << qint64(0) << qint64(0);
    QTest::newRow("early end later") << QByteArray("@1 @x @1") << QStringList { "v" }
                                     << QByteArray("v @x @1") << QByteArray() << qint64(1) << qint64(0);
    QTest::newRow("early end in a value") << QByteArray("<@1> @2") << QStringList { "a@b", "never" }
                                          << QByteArray("<a@b> @2") << QByteArray() << qint64(1)
                                          << qint64(0);
    QTest::newRow("@ at the end") << QByteArray("@1 @") << QStringList { "v" } << QByteArray("v @")
                                  << QByteArray() << qint64(1) << qint64(0);
}

void TestMergeEngine::insertAndOverwrite()
{
    QFETCH(QByteArray, text);
    QFETCH(QStringList, values);
    QFETCH(QByteArray, inserted);
    QFETCH(QByteArray, overwritten);
    QFETCH(qint64, count);
    QFETCH(qint64, overwriteCount);

    if (!inserted.isNull()) {
        const MergeResult insert = mergeText(text, entries(values), false);
        QVERIFY(insert.ok());
        QCOMPARE(insert.text, inserted);
        QCOMPARE(insert.replacements, count);
    }
    if (!overwritten.isNull()) {
        const MergeResult overwrite = mergeText(text, entries(values), true);
        QVERIFY(overwrite.ok());
        QCOMPARE(overwrite.text, overwritten);
        QCOMPARE(overwrite.replacements, overwriteCount);
    }
}

void TestMergeEngine::rangeCheck()
{
    // Three lines: entry 2's value line would be line 3, the pane's missing
    // (or empty last) line: it is accepted and empty.
    MergeResult r = mergeText("[@2][@1]", { "h1", "v1", "h2" });
    QVERIFY(r.ok());
    QCOMPARE(r.text, QByteArray("[][v1]"));
    QCOMPARE(r.replacements, qint64(2));

    // The same through a file that ends in an empty line, which is not counted.
    const InformationFile file = InformationFile::fromText(u"h1\nv1\nh2\n");
    QCOMPARE(file.count(), 3);
    MergeEngine engine(file, latin1ValueEncoder());
    QCOMPARE(engine.merge("[@2]").text, QByteArray("[]"));

    // Four lines hold two entries: "@3" is not there, and nothing comes back.
    r = mergeText("ok @1 then @3", { "h1", "v1", "h2", "v2" });
    QVERIFY(!r.ok());
    QCOMPARE(*r.failure, notInInformation);
    QVERIFY(r.text.isEmpty());
    QCOMPARE(r.token, QByteArray("@3"));
    QCOMPARE(r.replacements, qint64(1));
}

void TestMergeEngine::tokenShapes_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("result"); // empty: refused
    QTest::addColumn<bool>("overflow"); // refused as an overflow, not a missing entry

    QTest::newRow("space digit") << QByteArray("@1 2") << QByteArray() << false;
    QTest::newRow("CRLF digit") << QByteArray("@1\r\n2") << QByteArray() << false;
    QTest::newRow("comma") << QByteArray("@1,2") << QByteArray() << false;
    QTest::newRow("letter CRLF digit") << QByteArray("@1a\r\n5") << QByteArray("Va\r\n5") << false;
    QTest::newRow("space CRLF digit") << QByteArray("@1 \r\n5") << QByteArray("V \r\n5") << false;
    QTest::newRow("space letter") << QByteArray("@1 a") << QByteArray("V a") << false;
    QTest::newRow("control word") << QByteArray("@1\\par") << QByteArray("V\\par") << false;
    QTest::newRow("leading zeros") << QByteArray("(@01)") << QByteArray("(V)") << false;
    QTest::newRow("at end of text") << QByteArray("x @1") << QByteArray("x V") << false;
    // 100 digits: the first 99 are read as the number (98 zeros and a 1).
    QTest::newRow("100 digits") << QByteArray("<@" + QByteArray(98, '0') + "12>")
                                << QByteArray("<V>") << false;
    QTest::newRow("endless digits") << QByteArray("@" + QByteArray(100000, '9')) << QByteArray()
                                    << false;
    // "@0" names no entry; from 2^30 on the line index overflows, and past
    // the int range the token is no number at all.
    QTest::newRow("@0") << QByteArray("@0 ") << QByteArray() << false;
    QTest::newRow("below overflow") << QByteArray("@1073741823") << QByteArray() << false;
    QTest::newRow("first overflow") << QByteArray("x @1073741824 y") << QByteArray() << true;
    QTest::newRow("int max") << QByteArray("x @2147483647 y") << QByteArray() << true;
    QTest::newRow("overflow, zero first") << QByteArray("x @01073741824 y") << QByteArray() << true;
    QTest::newRow("past int") << QByteArray("@2147483648") << QByteArray() << false;
}

void TestMergeEngine::tokenShapes()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, result);
    QFETCH(bool, overflow);
    const MergeResult r = mergeText(text, { "h", "V" });
    QCOMPARE(r.text, result);
    QCOMPARE(r.ok(), !result.isEmpty());
    if (r.ok())
        return;
    QCOMPARE(*r.failure, overflow ? messages::integerOverflow() : notInInformation);
    if (overflow)
        QCOMPARE(r.failure->display, AssemblyMessage::Display::ErrorBox);
}

void TestMergeEngine::rescanning()
{
    // Tokens side by side: the '@' after the first token's digits is the
    // character the shape check looks at, and a digit follows it.
    MergeResult r = mergeText("@1@2", entries({ "7", "8" }));
    QCOMPARE(*r.failure, notInInformation);
    QCOMPARE(r.token, QByteArray("@1@"));

    // A value's token looks past the value for its shape: "@2" followed by
    // " 5" from the template is no entry number.
    r = mergeText("@1cd 5", entries({ "ab@2", "b" }), true);
    QVERIFY(!r.ok());
    QCOMPARE(*r.failure, notInInformation);
    QCOMPARE(r.token, QByteArray("@2 "));
    QCOMPARE(r.tokenOffset, qint64(2));
}

void TestMergeEngine::boundedCycle()
{
    // A value that holds its own token would be put in without end.
    MergeResult r = mergeText("start @1 end", entries({ "again @1" }));
    QVERIFY(!r.ok());
    QCOMPARE(*r.failure, messages::valueRefersToItself(1));
    QVERIFY(r.text.isEmpty());

    // A cycle through another entry, where the first value is used up before
    // its entry comes round again.
    r = mergeText("@1", entries({ "@2", "@1" }));
    QCOMPARE(*r.failure, messages::valueRefersToItself(1));

    // A longer cycle, in overwrite mode too.
    r = mergeText("@1 tail", entries({ "<@2>", "<@3>", "<@1>" }), true);
    QCOMPARE(*r.failure, messages::valueRefersToItself(1));
}

void TestMergeEngine::expansionLimits()
{
    // A chain of values deeper than the nesting bound.
    QStringList chain;
    for (int i = 1; i < 70; ++i)
        chain << QStringLiteral("@%1").arg(i + 1);
    chain << QStringLiteral("end");
    MergeResult r = mergeText("@1", entries(chain));
    QCOMPARE(*r.failure, messages::valuesNestedTooDeeply(64));
    MergeOptions deep;
    deep.maxNesting = 100;
    r = mergeText("@1", entries(chain), false, deep);
    QVERIFY(r.ok());
    QCOMPARE(r.text, QByteArray("end"));

    // Each value twice the one before: 2^30 replacements without a cycle.
    QStringList doubling;
    for (int i = 1; i < 31; ++i)
        doubling << QStringLiteral("@%1 @%1").arg(i + 1);
    doubling << QStringLiteral("x");
    r = mergeText("@1", entries(doubling));
    QVERIFY(!r.ok());
    QCOMPARE(*r.failure, messages::tooManyNestedReplacements(1000000));

    MergeOptions small;
    small.maxResultSize = 1000;
    r = mergeText(QByteArray(2000, 'a'), entries({ "v" }), false, small);
    QCOMPARE(*r.failure, messages::mergeTooLarge(1000));
    r = mergeText(QByteArray(500, '-') + "@1", entries({ QString(600, 'v') }), false, small);
    QCOMPARE(*r.failure, messages::mergeTooLarge(1000));
}

void TestMergeEngine::valuesOutsideTheCodePage()
{
    const MergeResult r
        = mergeText("@1|@2|@3", entries({ "Zo\u00eb", "\u0141\u00f3d\u017a", "\U0001F600@" }));
    QVERIFY(r.ok());
    // What Latin-1 holds goes in as its byte; the rest as Unicode escapes,
    // a character beyond 16 bits as two, each above 32767 as negative.
    QCOMPARE(r.text,
        QByteArray("Zo\xeb|\\u321?\xf3"
                   "d\\u378?|\\u-10179?\\u-8704?@"));
}

void TestMergeEngine::runChecksPanesAndFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("letter.tem"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("{\\rtf1 Dear @1,\n}");
    file.close();

    const InformationFile info(entries({ "Smith" }));
    const MergeEngine engine(info, latin1ValueEncoder());
    MergeResult r = engine.run(path, 2);
    QVERIFY(r.ok());
    // Read from disk with its line ends made CR LF.
    QCOMPARE(r.text, QByteArray("{\\rtf1 Dear Smith,\r\n}\r\n"));

    QCOMPARE(*engine.run(path, 1).failure, messages::noTemplateFile());
    const InformationFile oneLine(QStringList { "only" });
    QCOMPARE(*MergeEngine(oneLine, latin1ValueEncoder()).run(path, 5).failure,
        messages::noInformationFile());

    const QString missing = dir.filePath(QStringLiteral("gone.tem"));
    r = engine.run(missing, 2);
    QCOMPARE(*r.failure, messages::cannotOpenFile(missing));
    QVERIFY(!r.detail.isEmpty());
    QCOMPARE(*engine.run(QString(), 2).failure, messages::cannotOpenFile(QString()));
}

void TestMergeEngine::progressReports()
{
    const InformationFile info(entries({ "v" }));
    MergeEngine engine(info, latin1ValueEncoder());
    QList<qint64> seen;
    engine.setProgressCallback([&seen](qint64 n) { seen << n; });
    const MergeResult r = engine.merge(QByteArray("@1 ").repeated(5000));
    QCOMPARE(r.replacements, qint64(5000));
    QVERIFY(seen.size() >= 2);
    QCOMPARE(seen.first(), qint64(1));
    QCOMPARE(seen.last(), qint64(5000));
    QVERIFY(std::is_sorted(seen.begin(), seen.end()));
}

namespace {

QByteArray randomPiece(QRandomGenerator &random, int entries, bool inValue)
{
    static const char filler[] = "ab {}\\\r\n ,a\r\nb \r\n";
    QByteArray piece;
    const int parts = random.bounded(1, inValue ? 4 : 12);
    for (int i = 0; i < parts; ++i) {
        const int kind = random.bounded(20);
        if (kind < 12) {
            piece += filler[random.bounded(int(sizeof filler) - 1)];
            if (random.bounded(30) == 0)
                piece += '5';
        } else if (kind < (inValue ? 14 : 19)) {
            const int number = random.bounded(12) == 0 ? random.bounded(2) * (entries + 1)
                                                       : random.bounded(1, entries + 1);
            piece += '@' + QByteArray::number(number);
            if (random.bounded(8) == 0)
                piece.insert(piece.size() - 1, '0');
            if (random.bounded(2) == 0)
                piece += random.bounded(2) ? ' ' : 'a';
        } else if (random.bounded(inValue ? 2 : 6) == 0) {
            piece += random.bounded(2) ? "@x" : "@";
        }
    }
    return piece;
}

} // namespace

void TestMergeEngine::agreesWithRescanningMerge()
{
    // Random templates and values, tokens inside values included, in both
    // modes: the one-pass engine must give what the rescanning merge gives,
    // and refuse exactly the inputs that make the rescanning merge run on.
    QRandomGenerator random(20240611);
    int compared = 0, loops = 0, merged = 0, refused = 0;
    for (int round = 0; round < 6000; ++round) {
        const int entryCount = random.bounded(1, 6);
        QStringList values;
        for (int i = 0; i < entryCount; ++i)
            values << QString::fromLatin1(randomPiece(random, entryCount, true));
        QStringList lines = entries(values);
        if (random.bounded(4) == 0)
            lines.removeLast(); // an odd file: its last value is missing
        QByteArray text = randomPiece(random, entryCount, false);
        const bool overwrite = random.bounded(2);

        const InformationFile info(lines);
        RescanLimits limits;
        limits.maxReplacements = 4000;
        const RescanResult expected
            = rescanningMerge(text, info, latin1ValueEncoder(), overwrite, limits);
        MergeOptions options;
        options.overwrite = overwrite;
        const MergeResult actual = MergeEngine(info, latin1ValueEncoder(), options).merge(text);

        const auto describe = [&] {
            // One arg() call: the percent-encoded text must not be taken for
            // place markers.
            return QStringLiteral("round %1, %2: text \"%3\", lines %4")
                .arg(QString::number(round),
                    overwrite ? QStringLiteral("overwrite") : QStringLiteral("insert"),
                    QString::fromLatin1(text.toPercentEncoding()), lines.join(QLatin1Char('|')));
        };
        const bool engineLoop = actual.failure
            && actual.failure->text.startsWith(QStringLiteral("Your INFORMATION file"));
        if (engineLoop) {
            ++loops;
            // In insert mode a value that leads back to itself never ends;
            // in overwrite mode it may eat the rest of the text and stop, a
            // result we refuse all the same.
            if (!overwrite)
                QVERIFY2(expected.stopped, qPrintable(describe()));
            continue;
        }
        QVERIFY2(!expected.stopped, qPrintable(describe()));
        QVERIFY2(actual.failure == expected.merge.failure, qPrintable(describe()));
        QVERIFY2(actual.text == expected.merge.text, qPrintable(describe()));
        QVERIFY2(actual.replacements == expected.merge.replacements, qPrintable(describe()));
        if (actual.failure)
            QVERIFY2(actual.tokenOffset == expected.merge.tokenOffset, qPrintable(describe()));
        ++compared;
        if (actual.failure)
            ++refused;
        else if (actual.replacements > 1)
            ++merged;
    }
    // The cases must spread over every outcome to mean something.
    QVERIFY2(compared > 5000 && loops > 50 && merged > 1000 && refused > 600,
        qPrintable(QStringLiteral("%1 compared, %2 loops, %3 merged, %4 refused")
                       .arg(compared)
                       .arg(loops)
                       .arg(merged)
                       .arg(refused)));
}

void TestMergeEngine::largeTemplateIsLinear()
{
    // 200,000 tokens in 8 MB: the rescanning merge would take minutes.
    QByteArray text;
    text.reserve(8 << 20);
    for (int i = 0; i < 200000; ++i)
        text += "{\\b Client @" + QByteArray::number(i % 50 + 1) + "} text text text\\par\r\n";
    QStringList values;
    for (int i = 0; i < 50; ++i)
        values << QStringLiteral("value %1").arg(i);
    QElapsedTimer clock;
    clock.start();
    const MergeResult r = mergeText(text, entries(values));
    QVERIFY(r.ok());
    QCOMPARE(r.replacements, qint64(200000));
    // Linear work takes well under a second even in the sanitizer build.
    QVERIFY2(clock.elapsed() < 10000, qPrintable(QString::number(clock.elapsed())));
}

QTEST_GUILESS_MAIN(TestMergeEngine)
#include "tst_mergeengine.moc"
