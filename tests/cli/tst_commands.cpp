// quorin-batch's commands as a user runs them: every document written is
// the one the window gives for the same files, and on any problem there is
// one line on stderr, a failure status and nothing written.
#include "batchrun.h"
#include "documents/documentexport.h"
#include "documents/documentreader.h"
#include "richtext/codepage.h"
#include "testsupport.h"

#include <QFileInfo>
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
};

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
