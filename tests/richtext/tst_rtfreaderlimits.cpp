// The RTF reader on hostile and broken input: every input ends in bounded
// time and memory, and what can be read is read.

#include "rtfreadertesting.h"
#include "testsupport.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTest>

using namespace richtext;
using namespace readertest;

namespace {

// Loads the data both ways and lays the document out, as the editor will.
// Returns the milliseconds taken.
qint64 exercise(const QByteArray &data)
{
    QElapsedTimer timer;
    timer.start();
    const auto doc = load(data);
    doc->setTextWidth(600);
    doc->documentLayout()->documentSize();
    rtfToPlainText(data);
    return timer.elapsed();
}

// A document that uses most of what the reader knows, for cutting short.
QByteArray richSample()
{
    return rtf(
        "{\\stylesheet{\\s1\\b Heading;}}{\\*\\listtable{\\list{\\listlevel\\levelnfc0"
        "{\\leveltext\\'02\\'00.;}}\\listid1}}{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}"
        "\\pard\\s1 Title\\par\\pard\\ls1 item\\par\\pard{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}} bullet\\par"
        "\\pard\\qc {\\b\\i\\ul\\cf1 formatted}\\u8364? caf\\'e9 {\\f2\\'e0}\\line x\\tab y\\page\\par"
        "{\\field{\\*\\fldinst HYPERLINK \"http://a.example\"}{\\fldrslt link}}\\par"
        "\\trowd\\clmgf\\cellx1000\\clmrg\\cellx2000\\clvmgf\\cellx3000\\pard\\intbl a\\cell\\cell b\\cell\\row"
        "\\trowd\\cellx1000\\cellx2000\\clvmrg\\cellx3000\\pard\\intbl c\\cell"
        "\\pard\\intbl\\itap2 n\\nestcell{\\*\\nesttableprops\\trowd\\cellx500\\nestrow}"
        "\\pard\\intbl\\itap1 d\\cell\\cell\\row"
        "\\pard{\\pict\\pngblip\\picwgoal300\\pichgoal300 89504e470d0a1a0a0000}"
        "{\\pict\\wmetafile8\\picw100\\pich100 0100}{\\*\\foo skipped}"
        "{\\object\\objemb{\\*\\objdata 0102}{\\result{\\pict\\dibitmap0 28000000}}}"
        "{\\upr{x}{\\*\\ud{\\uc2\\u12354\\'82\\'a0}}}\\bin3 {}}\\par");
}

} // namespace

class TestRtfReaderLimits : public QObject
{
    Q_OBJECT

private slots:
    // Each ends in bounded time and keeps the text it could read.
    void hostileInput_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("kept");
        QTest::newRow("100,000 nested groups")
            << "{\\rtf1 a" + QByteArray(100000, '{') + "\\b deep" + QByteArray(100000, '}') + " b}"
            << QStringLiteral("adeep b");
        QTest::newRow("100,000 groups left open") << "{\\rtf1 " + QByteArray(100000, '{') + "x"
                                                  << QStringLiteral("x");
        QTest::newRow("huge numbers") << QByteArray(
            "{\\rtf1\\ansicpg99999999999\\deff-99999999999{\\fonttbl{\\f99999999999\\fcharset-5 A;}}"
            "{\\colortbl;\\red99999999999\\green-1\\blue300;}"
            "\\uc99999999999\\u99999999999 ab\\uc1\\u-99999999999 c"
            "\\fs99999999999\\fs-5\\up99999999999\\expnd-99999999999\\li99999999999\\fi-99999999999"
            "\\sl-99999999999\\tx99999999999\\cf99999999999\\ls99999999999\\ilvl99999999999"
            "\\itap99999999999\\intbl x\\nestcell\\trowd\\trleft-99999999999\\cellx99999999999"
            "\\cellx-99999999999\\nestrow{\\pict\\picw99999999999\\picwgoal99999999999"
            "\\picscalex99999999999\\pngblip 00}{\\*\\listtable{\\list{\\listlevel\\levelnfc99999999"
            "\\levelstartat-99999999{\\leveltext\\'ff;}}\\listid1}} text\\par}")
                                      << QStringLiteral("text");
        for (const char *count : {"2147483647", "99999999999999999999", "-5", ""}) {
            QTest::addRow("bin count '%s'", count)
                << "{\\rtf1 a{\\pict\\bin" + QByteArray(count) + " xyz}b\\bin" + count + " }c}"
                << QStringLiteral("a");
        }
        // \bin data is never read as RTF, even when it looks like it.
        QTest::newRow("bin data that looks like RTF") << QByteArray("{\\rtf1 a\\bin6 {\\b x}b}")
                                                      << QStringLiteral("ab");
        QTest::newRow("itap 100000") << QByteArray("{\\rtf1\\pard\\intbl\\itap100000 deep\\nestcell"
                                                   "\\pard\\intbl\\itap1 x\\cell\\row}")
                                     << QStringLiteral("deep");
        QByteArray wide = "{\\rtf1\\trowd\\pard\\intbl ";
        for (int c = 0; c < 1000; ++c)
            wide += QByteArray::number(c) + "\\cell ";
        QTest::newRow("1000 cells in a row") << wide + "\\row}" << QStringLiteral("999");
    }

    void hostileInput()
    {
        QFETCH(QByteArray, data);
        QFETCH(QString, kept);
        QVERIFY(exercise(data) < 5000);
        QVERIFY(load(data)->toPlainText().remove(QChar::ObjectReplacementCharacter).contains(kept));
    }

    void deepDestinations_data()
    {
        QTest::addColumn<QByteArray>("unit");
        QTest::newRow("optional") << QByteArray("{\\*\\foo ");
        QTest::newRow("fields") << QByteArray("{\\field{\\*\\fldinst HYPERLINK x}{\\fldrslt ");
        QTest::newRow("font tables") << QByteArray("{\\fonttbl{\\f1 ");
        // Style entries look at their parent group while the group stack grows.
        QTest::newRow("style sheets") << QByteArray("{\\stylesheet{\\s1 ");
        QTest::newRow("pictures") << QByteArray("{\\pict ab");
        QTest::newRow("objects") << QByteArray("{\\object{\\*\\objdata 01}{\\result ");
        QTest::newRow("upr") << QByteArray("{\\upr{\\*\\ud ");
        QTest::newRow("list levels") << QByteArray("{\\*\\listtable{\\list{\\listlevel{\\leveltext ");
    }

    void deepDestinations()
    {
        QFETCH(QByteArray, unit);
        QByteArray data = "{\\rtf1 start";
        for (int i = 0; i < 20000; ++i)
            data += unit;
        QVERIFY(exercise(data) < 5000);
        data += QByteArray(100000, '}');
        QVERIFY(exercise(data) < 5000);
        QVERIFY(rtfToPlainText(data).startsWith(QStringLiteral("start")));
    }

    void everyTruncation()
    {
        const QByteArray sample = richSample();
        QElapsedTimer timer;
        timer.start();
        for (qsizetype n = 0; n <= sample.size(); ++n)
            exercise(sample.left(n));
        QVERIFY(timer.elapsed() < 30000);
        // The whole sample reads as intended.
        const auto doc = load(sample);
        QVERIFY(doc->toPlainText().contains(QStringLiteral("formatted\u20ac caf\u00e9 \u0430")));
        QVERIFY(doc->toPlainText().contains(QStringLiteral("\u3042")));
    }

    void randomGarbage()
    {
        // Bytes drawn mostly from RTF's own alphabet, so that the reader takes
        // many paths; the seed keeps runs repeatable.
        QRandomGenerator random(20240611);
        static const char alphabet[] = "{}\\\\\\'*abcdefgilnprstuvx0123456789- ;\r\n";
        static const char *const words[] = {"par", "cell", "row", "trowd", "cellx", "pict", "bin",
                                            "u", "uc", "itap", "nestcell", "nestrow", "field",
                                            "fldinst", "fldrslt", "intbl", "pard", "plain", "ls",
                                            "pn", "pntxtb", "f", "fs", "clvmrg", "clmrg", "object"};
        QElapsedTimer timer;
        timer.start();
        for (int round = 0; round < 300; ++round) {
            QByteArray data = "{\\rtf1 ";
            const int length = 200 + int(random.bounded(4000));
            while (data.size() < length) {
                const quint32 pick = random.bounded(10);
                if (pick < 3) {
                    data += '\\';
                    data += words[random.bounded(int(std::size(words)))];
                    if (random.bounded(2))
                        data += QByteArray::number(int(random.bounded(2000)) - 500);
                } else if (pick < 4) {
                    data += char(random.bounded(256));
                } else {
                    data += alphabet[random.bounded(int(sizeof alphabet - 1))];
                }
            }
            exercise(data);
        }
        QVERIFY2(timer.elapsed() < 60000, qPrintable(QString::number(timer.elapsed())));
    }

    void tableCellBudget()
    {
        // A few bytes per row must not make millions of cells: past the budget
        // the cells are written as paragraphs, and no text is lost.
        QByteArray data = "{\\rtf1\\trowd";
        for (int c = 1; c <= 64; ++c)
            data += "\\cellx" + QByteArray::number(c * 100);
        QByteArray row = "\\pard\\intbl";
        for (int c = 0; c < 64; ++c)
            row += "\\cell";
        row += "\\row\n";
        for (int r = 0; r < 7000; ++r)
            data += row;
        data += "\\pard end}";
        QElapsedTimer timer;
        timer.start();
        const auto doc = load(data);
        QVERIFY2(timer.elapsed() < 20000, qPrintable(QString::number(timer.elapsed())));
        QVERIFY(doc->toPlainText().endsWith(QStringLiteral("end")));
    }

    void manyMerges()
    {
        QByteArray data = "{\\rtf1";
        for (int r = 0; r < 3000; ++r) {
            data += r == 0 ? "\\trowd\\clvmgf\\cellx1000\\cellx2000" : "\\trowd\\clvmrg\\cellx1000\\cellx2000";
            data += "\\pard\\intbl\\cell " + QByteArray::number(r) + "\\cell\\row";
        }
        data += "}";
        QVERIFY(exercise(data) < 20000);
        const auto doc = load(data);
        QTextTable *t = tablesIn(doc->rootFrame()).value(0);
        QVERIFY(t);
        QCOMPARE(t->cellAt(0, 0).rowSpan(), 3000);
        QCOMPARE(cellText(t, 2999, 1), QStringLiteral("2999"));
    }

    void largeDocumentInBoundedTime()
    {
        // 20,000 paragraphs in the style of a rich-edit control: runs of
        // formats, bullets, a table now and then. Generous bounds: the figures
        // printed are what matter.
        QByteArray data = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset2 Symbol;}}"
                          "{\\colortbl ;\\red255\\green0\\blue0;}\\viewkind4\\uc1 ";
        static const char *const formats[] = {"\\b ", "\\b0 ", "\\i ", "\\i0 ", "\\cf1 ", "\\cf0 ", "\\ul ", "\\ulnone "};
        for (int p = 0; p < 20000; ++p) {
            if (p % 50 == 0)
                data += "\\trowd\\cellx3000\\cellx6000\\pard\\intbl one\\cell two\\cell\\row ";
            data += p % 10 == 0 ? "\\pard{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1{\\pntxtb\\'B7}}\\fi-360\\li360 "
                                : "\\pard\\sa200 ";
            for (int r = 0; r < 6; ++r) {
                data += formats[(p + r) % 8];
                data += "lorem ipsum caf\\'e9 dolor ";
            }
            data += "\\par\n";
        }
        data += "}";
        QElapsedTimer timer;
        timer.start();
        const auto doc = load(data);
        const qint64 build = timer.restart();
        const QString plain = rtfToPlainText(data);
        const qint64 text = timer.elapsed();
        qInfo("%lld bytes: document %lld ms, plain text %lld ms", qlonglong(data.size()), build, text);
        QVERIFY(build < 10000);
        QVERIFY(text < 5000);
        QVERIFY(doc->blockCount() > 20000);
    }

    // Inputs the fuzzer once broke the reader with; each must now read in
    // bounded time (and clean under the sanitizer build).
    void fuzzFindings()
    {
        const QDir dir(testsupport::dataPath(QStringLiteral("fuzz/rtfreader")));
        const QStringList names = dir.entryList(QDir::Files);
        QVERIFY(!names.isEmpty());
        for (const QString &name : names) {
            const QByteArray data = testsupport::readFile(dir.filePath(name));
            QVERIFY2(exercise(data) < 5000, qPrintable(name));
            rtfToPlainText(data);
        }
    }
};

QTEST_MAIN(TestRtfReaderLimits)
#include "tst_rtfreaderlimits.moc"
