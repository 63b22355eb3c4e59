// `quorin-batch convert`: the window's bytes for the same document, and on
// any problem one line on stderr and no output written.
#include "batchrun.h"
#include "documents/documentexport.h"
#include "documents/documentreader.h"
#include "richtext/codepage.h"
#include "testsupport.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextDocument>

using documents::FileFormat;

namespace {

// What the window gives for a file: open it, Save As. Both take the
// locale's language, as quorin-batch does.
QByteArray windowBytes(const QByteArray &input, FileFormat format, const html::Options &html = {})
{
    const int lcid = richtext::codepage::systemDefaultLcid();
    documents::ReadOptions read;
    read.codePage = richtext::codepage::forLcid(lcid);
    documents::ExportOptions write;
    write.lcid = lcid;
    write.codePage = read.codePage;
    write.html = html;
    QTextDocument document;
    documents::readDocument(document, input, read);
    return documents::exportDocument(document, format, write);
}

} // namespace

class TestConvert : public QObject {
    Q_OBJECT

private slots:
    void sameBytesAsTheWindow_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QByteArrayList>("present");
        const QByteArray letter = "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fswiss Arial;}}\\f0 Dear {\\b @1},\\par "
                                  "Caf\\'e9 \\u321?ukasz\\par}";
        const QByteArray utf16 = QByteArray("\xff\xfe") + QByteArray(reinterpret_cast<const char *>(u"Name\r\nZo\u00eb"), 18);
        QTest::newRow("rtf to text") << "letter.tem" << letter << "" << "letter.txt"
                                     << QByteArrayList { "Dear @1,\nCaf\xc3\xa9 \xc5\x81ukasz" };
        QTest::newRow("rtf to rtf") << "in.rtf" << letter << "" << "out.RTF" << QByteArrayList { "\\b @1\\b0" };
        QTest::newRow("rtf to html") << "in.rtf" << letter << "" << "out.html"
                                     << QByteArrayList { "<TITLE>$$$</TITLE>", "Arial\">@1</FONT></B>", "&#321;ukasz" };
        QTest::newRow("html without fonts") << "in.rtf" << letter << "--no-fonts" << "out.htm"
                                            << QByteArrayList { "<B>@1</B>" };
        QTest::newRow("utf-16 text to rtf") << "client.inf" << utf16 << "" << "client.rtf"
                                            << QByteArrayList { "Name\\par", "Zo\\'eb" };
        QTest::newRow("utf-8 text to text") << "client.inf" << QByteArray("\xef\xbb\xbfName\r\nZo\xc3\xab\r\n")
                                            << "" << "client.txt" << QByteArrayList { "Name\nZo\xc3\xab" };
    }
    void sameBytesAsTheWindow()
    {
        QFETCH(QString, input);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, option);
        QFETCH(QString, output);
        QFETCH(QByteArrayList, present);
        QTemporaryDir dir;
        writeFile(dir.filePath(input), bytes);
        QStringList args { QStringLiteral("convert"), dir.filePath(input), dir.filePath(output) };
        if (!option.isEmpty())
            args.insert(1, option);
        const BatchRun run = runBatch(args);
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.err.isEmpty(), run.err.constData());
        const QByteArray out = readFile(dir.filePath(output));
        html::Options html;
        html.noFonts = option == u"--no-fonts";
        const auto format = documents::formatForFileName(output, documents::FormatPolicy::CommandLine);
        QCOMPARE(out, windowBytes(bytes, *format, html));
        for (const QByteArray &piece : present)
            QVERIFY2(out.contains(piece), piece.constData());
    }

    // Files of other programs go through our reader and writer first, so the
    // converter sees the RTF it was made for.
    void corpusAsTheWindowSavesIt_data() { testsupport::addCorpusRows(); }
    void corpusAsTheWindowSavesIt()
    {
        QFETCH(QString, path);
        if (path.isEmpty())
            QSKIP("the RTF corpus is not there");
        QTemporaryDir dir;
        const QString page = dir.filePath(QStringLiteral("page.html"));
        const BatchRun run = runBatch({ QStringLiteral("convert"), path, page });
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(readFile(page), windowBytes(testsupport::readFile(path), FileFormat::Html));
        if (path.endsWith(u"pandoc__list_complex.rtf")) {
            QVERIFY(!readFile(page).contains("PrFont34Bin0"));
            // The converter alone on the foreign file, as --direct asks.
            QCOMPARE(runBatch({ QStringLiteral("convert"), QStringLiteral("--direct"), path, page }).exitCode, 0);
            QVERIFY(readFile(page).contains("PrFont34Bin0"));
        }
    }

    void refusalsWriteNothing_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("file"); // named at the start of the error line
        const auto row = [](const char *name, const QString &args, int exitCode, const QString &file) {
            QTest::newRow(name) << args.split(u' ') << exitCode << file;
        };
        row("missing input", "convert none.rtf out.txt", 1, "none.rtf: ");
        row("output kind not written", "convert in.rtf letter.docx", 1, "letter.docx: ");
        row("folder missing", "convert in.rtf no/dir/out.txt", 1, "no/dir/out.txt: ");
        row("same file", "convert in.rtf in.rtf", 1, "in.rtf: ");
        row("same file spelt another way", "convert in.rtf ./sub/../in.rtf", 1, "./sub/../in.rtf: ");
        row("same file through a link", "convert in.rtf link.rtf", 1, "link.rtf: ");
        row("direct to rtf", "convert --direct in.rtf out.rtf", 1, "out.rtf: ");
        row("failed conversion", "convert --direct bad.rtf new.html", 1, "bad.rtf: ");
        row("input is a folder", "convert sub out.rtf", 1, "sub: ");
        row("one file only", "convert in.rtf", 2, "");
        row("unknown option", "convert --fast in.rtf out.rtf", 2, "");
        row("unknown command", "frobnicate", 2, "");
        row("no command", "", 2, "");
    }
    void refusalsWriteNothing()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, file);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
        const QByteArray in = "{\\rtf1 x\\par}";
        writeFile(dir.filePath(QStringLiteral("in.rtf")), in);
        writeFile(dir.filePath(QStringLiteral("bad.rtf")), "{\\rtf1 a\\'zz b\\par}");
        writeFile(dir.filePath(QStringLiteral("old.html")), "<HTML>old</HTML>");
        QVERIFY(QFile::link(QStringLiteral("in.rtf"), dir.filePath(QStringLiteral("link.rtf"))));
        const QStringList before = filesIn(dir.path());
        args.removeAll(QString());
        const BatchRun run = runBatch(args, {}, dir.path());
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(isOneErrorLine(run.err, file), run.err.constData());
        QVERIFY(run.out.isEmpty());
        QCOMPARE(filesIn(dir.path()), before);
        QCOMPARE(readFile(dir.filePath(QStringLiteral("in.rtf"))), in);
        QCOMPARE(readFile(dir.filePath(QStringLiteral("old.html"))), QByteArray("<HTML>old</HTML>"));
    }

    // --help names every kind of file the tool writes, and only those.
    void helpNamesTheFormats()
    {
        const BatchRun run = runBatch({ QStringLiteral("--help") });
        QCOMPARE(run.exitCode, 0);
        for (const QString &ext : documents::commandLineExtensions().split(QStringLiteral(", ")))
            QVERIFY2(run.out.contains(ext.toLatin1() + ' '), qPrintable(ext));
        QVERIFY(!run.out.contains(".docx"));
    }
};

QTEST_MAIN(TestConvert)
#include "tst_convert.moc"
