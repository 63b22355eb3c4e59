// quorin-batch's commands as a user runs them: every document written is
// the one the window gives for the same files, and on any problem there is
// one line on stderr, a failure status and nothing written.
#include "batchrun.h"
#include "documents/documentexport.h"
#include "documents/documentreader.h"
#include "richtext/codepage.h"
#include "testsupport.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTextDocument>

using namespace Qt::StringLiterals;

namespace {

// The window's Save As after opening `input`; both take the locale's
// language, as quorin-batch does.
QByteArray windowBytes(const QByteArray &input, const QString &output, bool noFonts)
{
    const documents::ReadOptions read = documents::localeReadOptions();
    documents::ExportOptions write = documents::localeExportOptions();
    write.html.noFonts = noFonts;
    QTextDocument document;
    documents::readDocument(document, input, read);
    const auto format = documents::formatForFileName(output, documents::FormatPolicy::CommandLine);
    return documents::exportDocument(document, *format, write);
}

// A value or an overwrite that breaks the document shows here first.
bool bracesBalance(const QByteArray &rtf)
{
    int depth = 0;
    for (qsizetype i = 0; i < rtf.size() && depth >= 0; ++i) {
        if (rtf[i] == '\\')
            ++i;
        else if (rtf[i] == '{' || rtf[i] == '}')
            depth += rtf[i] == '{' ? 1 : -1;
    }
    return depth == 0;
}

} // namespace

class TestCommands : public QObject {
    Q_OBJECT

private slots:
    void convertGivesTheWindowsBytes_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("output"); // empty: the corpus is missing
        const QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fswiss Arial;}}\\f0 Dear "
                               "{\\b @1},\\par Caf\\'e9 \\u321?ukasz\\par}";
        QTest::newRow("rtf to text") << rtf << "" << "out.txt";
        QTest::newRow("rtf to rtf") << rtf << "" << "out.RTF";
        QTest::newRow("html without fonts") << rtf << "--no-fonts" << "out.htm";
        QTest::newRow("html from the converter alone") << rtf << "--direct" << "out.html";
        QTest::newRow("utf-8 text") << QByteArray("\xef\xbb\xbfName\r\nZo\xc3\xab\r\n") << "" << "out.txt";
        // Other programs' files, which our reader and writer make the RTF
        // the converter was made for.
        const QStringList corpus = testsupport::corpusFiles();
        for (const QString &path : corpus)
            QTest::newRow(qPrintable(QFileInfo(path).fileName()))
                << readFile(path) << "" << "page.html";
        if (corpus.isEmpty())
            QTest::newRow("no corpus") << QByteArray() << "" << "";
    }
    void convertGivesTheWindowsBytes()
    {
        QFETCH(QByteArray, input);
        QFETCH(QString, option);
        QFETCH(QString, output);
        if (output.isEmpty())
            QSKIP("the RTF corpus is not there");
        QTemporaryDir dir;
        writeFile(dir.filePath(u"in.rtf"_s), input);
        QStringList args { u"convert"_s, option, u"in.rtf"_s, output };
        args.removeAll(QString());
        const BatchRun run = runBatch(args, dir.path());
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.err.isEmpty(), run.err.constData());
        html::Options direct;
        direct.title = "in.rtf"; // the input as given names the page
        QCOMPARE(readFile(dir.filePath(output)),
            option == u"--direct" ? documents::htmlPageFromRtf(input, direct)
                                  : windowBytes(input, output, option == u"--no-fonts"));
    }

    // tests/data/merge/<case>/: template.tem, information.inf, an
    // `overwrite` marker for overwrite mode, and the expected output
    // (expected.rtf, .txt or .html) or the expected-error.txt that the one
    // error line holds.
    void goldenMerges_data()
    {
        QTest::addColumn<QString>("folder");
        const QDir root(testsupport::dataPath(u"merge"_s));
        for (const QString &name : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
            QTest::newRow(qPrintable(name)) << root.filePath(name);
    }
    void goldenMerges()
    {
        QFETCH(QString, folder);
        const QDir in(folder);
        const QString expected = in.entryList({ u"expected.*"_s }).value(0);
        const QString output = u"out"_s + (expected.isEmpty() ? u".rtf"_s : expected.mid(8));
        QTemporaryDir dir;
        // Overwrite cases name their output the long way, so both spellings run.
        const bool overwrite = in.exists(u"overwrite"_s);
        const QStringList args { u"merge"_s, in.filePath(u"template.tem"_s),
            in.filePath(u"information.inf"_s), overwrite ? u"--overwrite"_s : u"-o"_s,
            overwrite ? u"--output="_s + output : output };
        const BatchRun run = runBatch(args, dir.path());
        if (expected.isEmpty()) {
            const QByteArray error = readFile(in.filePath(u"expected-error.txt"_s));
            QCOMPARE(run.exitCode, 1);
            QVERIFY2(isOneErrorLine(run.err, {}) && run.err.contains(error.trimmed()), run.err.constData());
            QCOMPARE(filesIn(dir.path()), QStringList());
            return;
        }
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.endsWith(" replacements were made: " + output.toLatin1() + '\n'), run.out.constData());
        const QByteArray result = readFile(dir.filePath(output));
        QCOMPARE(result, readFile(in.filePath(expected)));
        QVERIFY(!result.startsWith("{\\rtf") || bracesBalance(result));
    }

    void refusedBeforeWriting_data()
    {
        QTest::addColumn<QString>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("start"); // of the error line, after the tool's name
        const auto row = [](const char *args, int exitCode, const char *start) {
            QTest::newRow(*args ? args : "no arguments")
                << QString::fromUtf8(args) << exitCode << QString::fromUtf8(start);
        };
        row("convert none.rtf out.txt", 1, "none.rtf: ");
        row("convert in.rtf letter.docx", 1, "letter.docx: ");
        row("convert in.rtf no/dir/out.txt", 1, "no/dir/out.txt: ");
        row("convert in.rtf in.rtf", 1, "in.rtf: ");
        row("convert in.rtf ./sub/../in.rtf", 1, "./sub/../in.rtf: ");
        row("convert in.rtf link.rtf", 1, "link.rtf: ");
        row("convert --direct in.rtf out.rtf", 1, "out.rtf: ");
        row("convert --direct bad.rtf new.html", 1, "bad.rtf: "); // the converter fails
        row("convert sub out.rtf", 1, "sub: ");
        row("convert in.rtf", 2, "convert needs IN and OUT");
        row("convert --fast in.rtf out.rtf", 2, "convert: unknown option");
        row("frobnicate", 2, "unknown command");
        row("", 2, "no command");
        row("merge t.tem self.inf -o out.rtf", 1, "self.inf: ");
        row("merge t.tem odd.inf -o out.rtf", 1, "odd.inf: ");
        row("merge t.tem one.inf -o out.rtf", 1, "one.inf: ");
        row("merge empty.tem i.inf -o out.rtf", 1, "empty.tem: ");
        row("merge t.tem i.inf none.inf -o {name}.rtf", 1, "none.inf: ");
        row("merge t.tem i.inf odd.inf -o {name}.rtf", 1, "odd.inf: ");
        row("merge t.tem i.inf -o letter.docx", 1, "letter.docx: ");
        row("merge t.tem i.inf j.inf -o out.rtf", 1, "out.rtf: ");
        row("merge t.tem i.inf sub/i.inf -o {name}.rtf", 1, "i.rtf: ");
        row("merge t.tem i.inf -o t.tem", 1, "t.tem: ");
        row("merge t.tem i.inf -o {name}.inf", 1, "i.inf: ");
        row("merge t.tem i.inf", 2, "merge needs an output file");
        row("merge t.tem i.inf --fast -o out.rtf", 2, "merge: unknown option");
    }
    void refusedBeforeWriting()
    {
        QFETCH(QString, args);
        QFETCH(int, exitCode);
        QFETCH(QString, start);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(u"sub"_s));
        QVERIFY(QFile::link(u"in.rtf"_s, dir.filePath(u"link.rtf"_s)));
        const std::pair<const char *, QByteArray> files[] = { { "in.rtf", "{\\rtf1 x\\par}" },
            { "bad.rtf", "{\\rtf1 a\\'zz b\\par}" }, { "t.tem", "{\\rtf1 @1\\par}" },
            { "empty.tem", "" },
            { "i.inf", "N\nSmith\nF\nA-17\n" }, { "sub/i.inf", "N\nSmith\n" }, { "j.inf", "N\nJo\n" },
            { "self.inf", "N\nsee @1\n" }, { "odd.inf", "N\nv\nM\n" }, { "one.inf", "N\n" },
            { "i.rtf", "the old letter" } };
        for (const auto &[name, bytes] : files)
            writeFile(dir.filePath(QString::fromLatin1(name)), bytes);
        const auto state = [&dir] {
            QByteArrayList all;
            for (const QString &name : filesIn(dir.path()))
                all << name.toUtf8() + ": " + readFile(dir.filePath(name));
            return all;
        };
        const QByteArrayList before = state();
        const BatchRun run = runBatch(args.split(u' ', Qt::SkipEmptyParts), dir.path());
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(isOneErrorLine(run.err, start), run.err.constData());
        QVERIFY(run.out.isEmpty());
        QCOMPARE(state(), before);
    }

    // tests/data/check/<case>/: template.tem, information.inf or .csv, an
    // `overwrite` marker, and expected.txt, the lines `check` prints (none:
    // the template is clean). --json must say the same, field by field.
    void goldenChecks_data()
    {
        QTest::addColumn<QString>("folder");
        const QDir root(testsupport::dataPath(u"check"_s));
        for (const QString &name : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
            QTest::newRow(qPrintable(name)) << root.filePath(name);
    }
    void goldenChecks()
    {
        QFETCH(QString, folder);
        const QDir in(folder);
        QStringList args { u"check"_s, u"template.tem"_s, in.entryList({ u"information.*"_s }).value(0) };
        if (in.exists(u"overwrite"_s))
            args << u"--overwrite"_s;
        const QByteArray expected = readFile(in.filePath(u"expected.txt"_s));
        const BatchRun text = runBatch(args, folder);
        QCOMPARE(text.exitCode, expected.isEmpty() ? 0 : 1);
        QVERIFY2(text.err.isEmpty(), text.err.constData());
        QCOMPARE(text.out, expected);

        const BatchRun json = runBatch(args << u"--json"_s, folder);
        QCOMPARE(json.exitCode, text.exitCode);
        QJsonParseError error {};
        const QJsonArray findings = QJsonDocument::fromJson(json.out, &error).array();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QByteArray lines;
        for (const QJsonValue &value : findings) {
            const QJsonObject finding = value.toObject();
            lines += u"%1:%2:%3: %4: %5\n"_s
                         .arg(finding[u"file"].toString())
                         .arg(finding[u"line"].toInt())
                         .arg(finding[u"column"].toInt())
                         .arg(finding[u"kind"].toString(), finding[u"detail"].toString())
                         .toUtf8();
            QVERIFY(QStringList({ u"error"_s, u"warning"_s, u"note"_s }).contains(finding[u"severity"].toString()));
            const QJsonValue position = finding[u"textPosition"];
            QVERIFY(position.isNull() || (position.isDouble() && position.toInt() >= 0));
        }
        QCOMPARE(lines, expected);
    }

    void checkRefused_data()
    {
        QTest::addColumn<QString>("args");
        QTest::addColumn<QString>("start");
        QTest::newRow("no template") << "check none.tem i.inf" << "none.tem: cannot open file";
        QTest::newRow("no information file") << "check t.tem none.inf" << "none.inf: cannot open file";
        QTest::newRow("a table that is no CSV") << "check t.tem bad.csv" << "bad.csv: cannot read file: unterminated";
        QTest::newRow("template alone") << "check t.tem" << "check needs a Template file";
        QTest::newRow("unknown option") << "check --fix t.tem i.inf" << "check: unknown option";
    }
    void checkRefused()
    {
        QFETCH(QString, args);
        QFETCH(QString, start);
        QTemporaryDir dir;
        writeFile(dir.filePath(u"t.tem"_s), "{\\rtf1 @1\\par}");
        writeFile(dir.filePath(u"i.inf"_s), "N\nv\n");
        writeFile(dir.filePath(u"bad.csv"_s), "A,B\n\"x,y\n");
        const BatchRun run = runBatch(args.split(u' '), dir.path());
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(isOneErrorLine(run.err, start), run.err.constData());
        QVERIFY(run.out.isEmpty());
    }

    // Each row of a table is one document, named by a column made safe for
    // a file name; names that clash, or are empty, write nothing.
    void mergesTableRows()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(u"out"_s));
        writeFile(dir.filePath(u"t.tem"_s), "{\\rtf1\\ansi @1 of @2\\par}");
        writeFile(dir.filePath(u"c.csv"_s),
            "\xef\xbb\xbfName,Town\r\n\"Smith, Jo\",\"Bath\r\nSomerset\"\r\n../up,York\r\n.,Cork\r\n");
        BatchRun run = runBatch({ u"merge"_s, u"t.tem"_s, u"c.csv"_s, u"-o"_s, u"out/{name}.rtf"_s }, dir.path());
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QByteArray("2 replacements were made: out/Smith, Jo.rtf\n"
                                     "2 replacements were made: out/___up.rtf\n"
                                     "2 replacements were made: out/_.rtf\n"));
        QCOMPARE(readFile(dir.filePath(u"out/Smith, Jo.rtf"_s)), QByteArray("{\\rtf1\\ansi Smith, Jo of Bath\\line Somerset\\par}\r\n"));
        QCOMPARE(filesIn(dir.filePath(u"out"_s)).size(), 3);

        const auto refused = [&](const QByteArray &table, const QStringList &options, const QString &start) {
            writeFile(dir.filePath(u"r.csv"_s), table);
            const BatchRun run = runBatch(QStringList { u"merge"_s, u"t.tem"_s, u"r.csv"_s, u"-o"_s, u"new/{name}.txt"_s } + options, dir.path());
            QCOMPARE(run.exitCode, 1);
            QVERIFY2(isOneErrorLine(run.err, start), run.err.constData());
            QVERIFY(!QFileInfo::exists(dir.filePath(u"new"_s)));
        };
        QVERIFY(QDir(dir.path()).mkdir(u"new"_s) && QDir(dir.path()).rmdir(u"new"_s));
        refused("Name,Town\nA,1\nB,2\nA,3\n", {}, u"new/A.txt: cannot write file: both r.csv row 2 and r.csv row 4 would write it"_s);
        refused("Name,Town\nA:1,x\nA/1,y\n", {}, u"new/A_1.txt: cannot write file: both r.csv row 2 and r.csv row 3"_s);
        refused("Name,Town\nA,1\n \t,2\n", {}, u"r.csv: cannot read file: row 3: the column \"Name\" gives no file name"_s);
        refused("Name,Town\nA,1\n", { u"--name-column"_s, u"Fax"_s }, u"r.csv: cannot read file: no column is headed \"Fax\""_s);
        refused("Name,Town\nA,1,2\n", {}, u"r.csv: cannot read file: row 2 has 3 fields"_s);
        refused("Name,Town\n", {}, u"r.csv: cannot read file: the table has a heading row but no rows"_s);
    }

    // -j 2 writes the same bytes and says the same things as -j 1, in the
    // same order, for every kind of output; a document that cannot be
    // merged writes nothing either way.
    void threadsChangeNothing_data()
    {
        QTest::addColumn<QString>("extension");
        QTest::newRow("rtf") << "rtf";
        QTest::newRow("html") << "html";
        QTest::newRow("text") << "txt";
    }
    void threadsChangeNothing()
    {
        QFETCH(QString, extension);
        QTemporaryDir dir;
        writeFile(dir.filePath(u"t.tem"_s), "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fswiss Arial;}}\\f0 Dear {\\b @1},\\par "
                                            "Caf\\'e9 @2 \\u321?ukasz\\par\\trowd\\cellx2000 @1\\cell\\row}");
        QByteArray table = "Name,Town\n";
        QStringList args { u"merge"_s, u"t.tem"_s };
        for (int i = 0; i < 150; ++i) {
            table += "Client " + QByteArray::number(i) + ",Town \xc3\xa9 " + QByteArray::number(i * 7) + '\n';
            const QString name = u"i%1.inf"_s.arg(i);
            writeFile(dir.filePath(name), "N\nPerson " + QByteArray::number(i) + "\nT\n{\\i York}\n");
            args << name;
        }
        writeFile(dir.filePath(u"c.csv"_s), table);
        args << u"c.csv"_s;
        QMap<QString, QByteArray> outputs[2];
        QByteArray said[2];
        for (const int jobs : { 1, 2 }) {
            const QString out = u"j%1"_s.arg(jobs);
            QVERIFY(QDir(dir.path()).mkdir(out));
            const BatchRun run = runBatch(QStringList(args) << u"-j"_s << QString::number(jobs) << u"-o"_s
                                              << out + u"/{name}."_s + extension, dir.path());
            QCOMPARE(run.exitCode, 0);
            said[jobs - 1] = run.out;
            said[jobs - 1].replace(out.toLatin1() + '/', "");
            for (const QString &name : filesIn(dir.filePath(out)))
                outputs[jobs - 1].insert(name, readFile(dir.filePath(out + u'/' + name)));
        }
        QCOMPARE(outputs[0].size(), 300);
        QCOMPARE(outputs[1], outputs[0]);
        QCOMPARE(said[1], said[0]);

        // A bad file late in the list: refused before anything is written.
        writeFile(dir.filePath(u"i140.inf"_s), "N\nPerson\nT\n");
        const BatchRun bad = runBatch(QStringList(args) << u"-j2"_s << u"-o"_s << u"j3/{name}.txt"_s, dir.path());
        QCOMPARE(bad.exitCode, 1);
        QVERIFY2(isOneErrorLine(bad.err, u"i140.inf: cannot merge"_s), bad.err.constData());
        QVERIFY(!QFileInfo::exists(dir.filePath(u"j3"_s)) || filesIn(dir.filePath(u"j3"_s)).isEmpty());
    }

    // A write that fails part way under -j 2 leaves what -j 1 would: the
    // outputs before it, complete, the failing one as it was, nothing after
    // it, and no temporary file.
    void threadsStopAtAFailedWrite()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(u"out"_s));
        writeFile(dir.filePath(u"t.tem"_s), "{\\rtf1 Dear @1\\par}");
        QStringList args { u"merge"_s, u"-j"_s, u"2"_s, u"t.tem"_s };
        QStringList names;
        for (int i = 0; i < 40; ++i) {
            names << u"n%1"_s.arg(i, 2, 10, QChar(u'0'));
            writeFile(dir.filePath(names.last() + u".inf"_s), "N\n" + names.last().toLatin1() + '\n');
            args << names.last() + u".inf"_s;
            writeFile(dir.filePath(u"out/"_s + names.last() + u".rtf"_s), "old");
        }
        const BatchRun run = runBatch(args << u"-o"_s << u"out/{name}.rtf"_s, dir.path(), u"write=17"_s);
        QCOMPARE(run.exitCode, 1);
        const QByteArrayList reported = run.out.split('\n').mid(0, run.out.count('\n'));
        const qsizetype done = reported.size();
        QVERIFY(done < names.size());
        QVERIFY2(isOneErrorLine(run.err, u"out/"_s + names[done] + u".rtf: cannot write file"_s), run.err.constData());
        for (qsizetype i = 0; i < names.size(); ++i) {
            const QByteArray bytes = readFile(dir.filePath(u"out/"_s + names[i] + u".rtf"_s));
            QCOMPARE(bytes, i < done ? "{\\rtf1 Dear " + names[i].toLatin1() + "\\par}\r\n" : QByteArray("old"));
        }
        QCOMPARE(filesIn(dir.filePath(u"out"_s)).size(), names.size());
    }

    void threadsUsage_data()
    {
        QTest::addColumn<QString>("option");
        QTest::newRow("zero") << "-j0";
        QTest::newRow("not a number") << "--jobs=many";
        QTest::newRow("too many") << "-j 100000";
        QTest::newRow("missing") << "-j";
    }
    void threadsUsage()
    {
        QFETCH(QString, option);
        QTemporaryDir dir;
        const BatchRun run = runBatch(QStringList { u"merge"_s, u"t.tem"_s, u"i.inf"_s, u"-o"_s, u"o.rtf"_s }
                + option.split(u' '), dir.path());
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(isOneErrorLine(run.err, u"merge: -j"_s), run.err.constData());
    }
};

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
