// What feeds quorin-batch's merge besides Information files: CSV tables and
// the file names their rows give, and the work spread over threads whose
// outcome must be the one of a single thread.
#include "documents/atomicwrite.h"
#include "documents/csvinformation.h"
#include "documents/documenterror.h"
#include "documents/informationsource.h"
#include "documents/orderedwork.h"
#include "testsupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <atomic>
#include <stdexcept>

using namespace Qt::StringLiterals;

class TestMergeInputs : public QObject {
    Q_OBJECT

private slots:
    // Rows are written "field|field" one per row, after the headings.
    void readCsv_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("headings");
        QTest::addColumn<QStringList>("rows"); // empty with an error
        QTest::addColumn<QString>("error"); // a phrase of it; empty: read
        QTest::addColumn<int>("errorLine");
        const auto row = [](const char *name, const QByteArray &bytes, const char *headings,
                             const QStringList &rows, const char *error = "", int line = 0) {
            QTest::newRow(name) << bytes << QString::fromUtf8(headings) << rows
                                << QString::fromUtf8(error) << line;
        };
        row("plain", "Name,Town\nSmith,Bath\nJones,York\n", "Name|Town",
            { "Smith|Bath", "Jones|York" });
        row("crlf, no final line end", "Name,Town\r\nSmith,Bath", "Name|Town", { "Smith|Bath" });
        row("byte-order mark", "\xef\xbb\xbfName,Town\r\nZo\xc3\xab,Bath\r\n", "Name|Town",
            { "Zo\u00eb|Bath" });
        row("code page", "Name\n\xc9mile\n", "Name", { "\u00c9mile" }); // not UTF-8: CP1252
        row("utf-16", QByteArray("\xff\xfeN\0,\0T\0\n\0a\0,\0b\0", 16), "N|T", { "a|b" });
        row("quoted commas and quotes", "Name,Note\n\"Smith, Jo\",\"say \"\"hi\"\"\"\n",
            "Name|Note", { "Smith, Jo|say \"hi\"" });
        row("line breaks in quotes", "A,B\n\"1 High St\r\nBath\",\"x\ry\"\nlast,z\n", "A|B",
            { "1 High St\nBath|x\ny", "last|z" });
        row("empty quoted and unquoted", "A,B,C\n\"\",,\n", "A|B|C", { "||" });
        row("fewer fields are empty", "A,B,C\n1\n2,3\n", "A|B|C", { "1||", "2|3|" });
        row("blank lines are no rows", "A,B\n\n1,2\r\n\r\n3,4\n\n", "A|B", { "1|2", "3|4" });
        row("a quote inside a field is itself", "A,B\n5\" disk,x\n", "A|B", { "5\" disk|x" });
        row("headings only", "A,B\n", "A|B", {});
        row("more fields", "A,B\n1,2\n3,4,5\n", "", {},
            "row 3 has 3 fields but there are only 2 headings", 3);
        row("unterminated quote", "A,B\n1,2\n\"3\n4,5\n", "", {},
            "unterminated quote: the field opened at line 3", 3);
        row("text after a closing quote", "A,B\n\"1\"x,2\n", "", {}, "text after the closing quote",
            2);
        row("empty file", "", "", {}, "no heading row", 1);
        row("blank lines only", "\r\n\n", "", {}, "no heading row", 1);
    }
    void readCsv()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, headings);
        QFETCH(QStringList, rows);
        QFETCH(QString, error);
        QFETCH(int, errorLine);
        const documents::CsvResult result = documents::readCsv(bytes, [](QByteArrayView raw) {
            return QString::fromLatin1(raw); // stands in for CP1252 here
        });
        if (!error.isEmpty()) {
            QVERIFY2(!result.ok() && result.error.contains(error), qPrintable(result.error));
            QCOMPARE(result.errorLine, errorLine);
            return;
        }
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.table.headings.join(u'|'), headings);
        QStringList seen;
        for (const QStringList &values : result.table.rows)
            seen << values.join(u'|');
        QCOMPARE(seen, rows);
    }

    // A row is an Information file of its own: headings on the odd lines,
    // values on the even ones, every value counted even when empty.
    void rowAsInformation()
    {
        const auto csv
            = documents::readCsv("Name,Address,Fax\nSmith,\"1 High St\nBath\",\n\"\",,\n");
        QVERIFY(csv.ok());
        // The second row starts on line 4, after the line break inside a field.
        QCOMPARE(csv.table.rowNumbers, (std::vector<int> { 2, 3 }));
        QCOMPARE(csv.table.rowLines, (std::vector<int> { 2, 4 }));
        const auto first = documents::informationFromRow(csv.table, 0);
        QCOMPARE(first.count(), 6);
        QCOMPARE(first.value(2), u"1 High St\nBath"_s);
        QCOMPARE(first.value(3), QString());
        QVERIFY(!first.lineCountProblem());
    }

    void safeFileName_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("name");
        const auto row = [](const char *name, const QString &value, const QString &safe) {
            QTest::newRow(name) << value << safe;
        };
        row("ordinary", u"Smith, Jo"_s, u"Smith, Jo"_s);
        row("slashes", u"../../etc/passwd"_s, u"___.._etc_passwd"_s);
        row("backslash and colon", u"C:\\x"_s, u"C__x"_s);
        row("refused characters", u"a*b?c\"d<e>f|g"_s, u"a_b_c_d_e_f_g"_s);
        row("control characters", u"a\tb\u0001c\u007f"_s, u"a_b_c_"_s);
        row("NUL", u"a"_s + QChar(0) + u"b"_s, u"a_b"_s);
        row("line break", u"Bath\r\nSomerset"_s, u"Bath_Somerset"_s);
        row("trimmed", u"  Jones \t "_s, u"Jones"_s);
        row("dot", u"."_s, u"_"_s);
        row("dot dot", u".."_s, u"__"_s);
        row("hidden", u".profile"_s, u"_profile"_s);
        row("device name", u"con"_s, u"con_"_s);
        row("device name with extension", u"LPT1.txt"_s, u"LPT1.txt_"_s);
        row("not a device", u"Concord"_s, u"Concord"_s);
        row("accents stay", u"Zo\u00eb \u0141ukasz"_s, u"Zo\u00eb \u0141ukasz"_s);
        row("empty", u"   "_s, QString());
        row("long, cut at a character", QString(100, u'\u00e9'), QString(60, u'\u00e9'));
        row("long, not inside a surrogate pair", u"a"_s + u"\U0001F600"_s.repeated(40),
            u"a"_s + u"\U0001F600"_s.repeated(29));
    }
    void safeFileName()
    {
        QFETCH(QString, value);
        QFETCH(QString, name);
        QCOMPARE(documents::safeFileName(value), name);
    }

    void informationItems()
    {
        QTemporaryDir dir;
        const auto write = [&dir](const char *name, const QByteArray &bytes) {
            QFile file(dir.filePath(QString::fromUtf8(name)));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        };
        write("a.b.inf", "N\nSmith\n");
        write("t.CSV", "Code,Name\nA1,Smith\n,Jones\n");
        documents::InformationReadOptions options;
        options.nameColumn = u"Name"_s;
        const auto items = documents::readInformationItems(
            { dir.filePath(u"a.b.inf"_s), dir.filePath(u"t.CSV"_s) }, options);
        QCOMPARE(items.size(), std::size_t(3));
        QCOMPARE(items[0].name, u"a.b"_s);
        QCOMPARE(items[2].name, u"Jones"_s);
        QCOMPARE(items[2].label(), dir.filePath(u"t.CSV"_s) + u" row 3"_s);
        // The first column names rows by default; an empty name is refused.
        options.nameColumn.clear();
        try {
            documents::readInformationItems({ dir.filePath(u"t.CSV"_s) }, options);
            QFAIL("an empty name was taken");
        } catch (const documents::DocumentError &error) {
            QVERIFY2(error.reason().startsWith(u"row 3: "), qPrintable(error.message()));
        }
        options.nameColumn = u"Town"_s;
        QVERIFY_THROWS_EXCEPTION(documents::DocumentError,
            documents::readInformationItems({ dir.filePath(u"t.CSV"_s) }, options));
    }

    // Results come in index order however the threads finish; the first
    // failure in that order is the one reported, after everything before
    // it; no more results wait than the window allows.
    void produceInOrder_data()
    {
        QTest::addColumn<int>("threads");
        QTest::addColumn<int>("failAt"); // -1: none
        QTest::newRow("one thread") << 1 << -1;
        QTest::newRow("four threads") << 4 << -1;
        QTest::newRow("failure, one thread") << 1 << 37;
        QTest::newRow("failure, four threads") << 4 << 37;
    }
    void produceInOrder()
    {
        QFETCH(int, threads);
        QFETCH(int, failAt);
        constexpr std::size_t count = 200;
        constexpr std::size_t window = 8;
        std::atomic<int> produced { 0 };
        std::atomic<int> consumedSoFar { 0 };
        std::atomic<int> mostAhead { 0 };
        QList<int> consumed;
        try {
            documents::produceInOrder<int>(
                count, threads, window,
                [&](std::size_t i) {
                    const int ahead = ++produced - consumedSoFar;
                    for (int seen = mostAhead;
                         ahead > seen && !mostAhead.compare_exchange_weak(seen, ahead);) { }
                    // Later items finish first now and then.
                    if (i % 7 == 0)
                        QThread::usleep(200);
                    if (int(i) == failAt || (failAt >= 0 && int(i) == failAt + 3))
                        throw std::runtime_error(std::to_string(i));
                    return int(i) * 10;
                },
                [&](std::size_t i, int &&value) {
                    QCOMPARE(value, int(i) * 10);
                    consumed << int(i);
                    ++consumedSoFar;
                });
            QCOMPARE(failAt, -1);
        } catch (const std::runtime_error &error) {
            QCOMPARE(QString::fromStdString(error.what()), QString::number(failAt));
        }
        QList<int> expected;
        for (int i = 0; i < (failAt < 0 ? int(count) : failAt); ++i)
            expected << i;
        QCOMPARE(consumed, expected);
        QVERIFY2(mostAhead <= int(window) + threads, qPrintable(QString::number(mostAhead)));
    }

    // A staged output is not there until committed, and leaves nothing
    // behind when dropped.
    void stagedWrite()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath(u"out.rtf"_s);
        {
            documents::StagedFile dropped = documents::stageFileAtomically(target, "never");
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
            QVERIFY(!QFile::exists(target));
        }
        QVERIFY(QDir(dir.path()).isEmpty(QDir::Files | QDir::Hidden));
        documents::StagedFile staged = documents::stageFileAtomically(target, "kept");
        documents::StagedFile moved = std::move(staged);
        moved.commit();
        QCOMPARE(testsupport::readFile(target), QByteArray("kept"));
        QCOMPARE(
            QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList { u"out.rtf"_s });
    }
};

QTEST_MAIN(TestMergeInputs)
#include "tst_mergeinputs.moc"
