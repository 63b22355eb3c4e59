// `quorin-batch merge`: files in, finished documents out; on any problem one
// line on stderr, a failure status and no output at all.
#include "batchrun.h"
#include "documents/documentreader.h"
#include "richtext/codepage.h"
#include "richtext/documentio.h"

#include <QTemporaryDir>
#include <QTextDocument>

namespace {

const QByteArray letter = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Arial;}}\n"
                          "\\pard Dear @1,\\par\nyour file @2 is ready.\\par\n}\n";

QString textOf(const QByteArray &rtf)
{
    QTextDocument document;
    documents::readDocument(document, rtf);
    return richtext::plainText(document);
}

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

class TestMerge : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }
    BatchRun merge(const QStringList &args) { return runBatch(QStringList { QStringLiteral("merge") } + args, {}, m_dir.path()); }

private slots:
    void cleanup()
    {
        QDir(m_dir.path()).removeRecursively();
        QDir().mkpath(m_dir.path());
    }

    // The finished document as it reads back (text outputs as they are).
    void merges_data()
    {
        QTest::addColumn<QByteArray>("templateBytes");
        QTest::addColumn<QByteArray>("information");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("text");
        const QByteArray smith = "Name\nMrs Smith\nFile\nA-17\n";
        const QString dear = QStringLiteral("Dear Mrs Smith,\nyour file A-17 is ready.");
        const QString notepad = QStringLiteral("\ufeffName\r\nZo\u00eb \u0141ukasz\r\nFile\r\n7\r\n");
        QTest::newRow("rtf") << letter << smith << "out.rtf" << dear;
        QTest::newRow("text") << letter << smith << "out.txt" << dear;
        QTest::newRow("template with byte-order mark") << "\xef\xbb\xbf" + letter << smith << "bom.rtf" << dear;
        QTest::newRow("braces and backslashes") << letter << QByteArray("N\nSmith }}}} {Jnr\nF\nback\\slash\n")
                                                << "b.rtf" << "Dear Smith }}}} {Jnr,\nyour file back\\slash is ready.";
        QTest::newRow("windows-1252 information file")
            << letter << QByteArray("N\r\nZo\xeb\r\nF\r\nx\r\n") << "w.rtf" << "Dear Zo\u00eb,\nyour file x is ready.";
        QTest::newRow("utf-16 information file")
            << letter << QByteArray(reinterpret_cast<const char *>(notepad.utf16()), notepad.size() * 2) << "u.rtf"
            << "Dear Zo\u00eb \u0141ukasz,\nyour file 7 is ready.";
    }
    void merges()
    {
        QFETCH(QByteArray, templateBytes);
        QFETCH(QByteArray, information);
        QFETCH(QString, output);
        QFETCH(QString, text);
        writeFile(path(QStringLiteral("t.tem")), templateBytes);
        writeFile(path(QStringLiteral("i.inf")), information);
        const BatchRun run = merge({ QStringLiteral("t.tem"), QStringLiteral("i.inf"), QStringLiteral("-o"), output });
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.err.isEmpty(), run.err.constData());
        QCOMPARE(run.out, "2 replacements were made: " + output.toLocal8Bit() + '\n');
        const QByteArray result = readFile(path(output));
        const bool rtf = !output.endsWith(u".txt");
        QVERIFY(!rtf || (result.startsWith("{\\rtf1") && bracesBalance(result)));
        QCOMPARE(rtf ? textOf(result) : QString::fromUtf8(result), text);
    }

    // The sample whose overwrite mode used to overwrite \b0, \cell\row and
    // the final brace.
    void tenancyAgreementOverwriteStaysRtf()
    {
        const QString samples = QStringLiteral(QUORIN_SOURCE_DIR "/samples/TenancyAgreement.");
        QCOMPARE(merge({ QStringLiteral("--overwrite"), samples + QStringLiteral("tem"), samples + QStringLiteral("inf"),
                           QStringLiteral("-o"), QStringLiteral("tenancy.rtf") })
                     .exitCode,
            0);
        const QByteArray result = readFile(path(QStringLiteral("tenancy.rtf")));
        QVERIFY(bracesBalance(result) && result.endsWith("}\r\n"));
        const QString text = textOf(result);
        QVERIFY2(text.contains(QStringLiteral("Geelong West VIC 3218")) && !text.contains(QStringLiteral("VIC 32208")),
            qPrintable(text));
    }

    // The template's code page decides; in a double-byte one a trail byte
    // (here 0x5C, a backslash) must not end the value or eat the \par. The
    // page carries the text in that code page.
    void cp932ToHtml()
    {
        const QString value = QStringLiteral("\u8868\u793a\u30bd\u80fd");
        writeFile(path(QStringLiteral("jp.tem")), "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 MS Mincho;}}"
                                                  "\\f0 Name: @1\\par End\\par\n}\n");
        writeFile(path(QStringLiteral("jp.inf")), "Name\n" + value.toUtf8() + '\n');
        QCOMPARE(merge({ QStringLiteral("jp.tem"), QStringLiteral("jp.inf"), QStringLiteral("-o"), QStringLiteral("jp.html") }).exitCode, 0);
        const QString page = richtext::codepage::toUnicode(readFile(path(QStringLiteral("jp.html"))), 932);
        QVERIFY2(page.contains(QStringLiteral(">Name: ") + value + QStringLiteral("</FONT><BR>")), qPrintable(page));
        QVERIFY(page.contains(QStringLiteral(">End</FONT>")));
    }

    void oneOutputPerInformationFile()
    {
        writeFile(path(QStringLiteral("t.tem")), letter);
        writeFile(path(QStringLiteral("smith.client.inf")), "N\nSmith\nF\n1\n");
        writeFile(path(QStringLiteral("jones.inf")), "N\nJones\nF\n2\n");
        const BatchRun run = merge({ QStringLiteral("t.tem"), QStringLiteral("smith.client.inf"),
            QStringLiteral("jones.inf"), QStringLiteral("-o"), QStringLiteral("{name}-letter.html") });
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out.count('\n'), 2);
        // {name} is the file name up to its last dot.
        QVERIFY(readFile(path(QStringLiteral("smith.client-letter.html"))).contains("Dear Smith,"));
        QVERIFY(readFile(path(QStringLiteral("jones-letter.html"))).contains("Dear Jones,"));
    }

    void refusalsWriteNothing_data()
    {
        QTest::addColumn<QByteArray>("templateBytes");
        QTest::addColumn<QByteArray>("information");
        QTest::addColumn<QString>("args"); // after "t.tem i.inf"
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("file"); // the file the error line names
        const QByteArray inf = "N\nSmith\nF\nA-17\n", one = "{\\rtf1 @1\\par}";
        static const char nulInside[] = "{\\rtf1 @1\\par\n\0more\\par}";
        const auto row = [&](const char *name, const QByteArray &tem, const QByteArray &information,
                             const char *args, int exitCode, const char *file) {
            QTest::newRow(name) << tem << information << QString::fromUtf8(args) << exitCode << QString::fromUtf8(file);
        };
        row("not in the file", "{\\rtf1 @1 @3\\par}", inf, "-o out.rtf", 1, "i.inf");
        row("token shape", "{\\rtf1 @1 2\\par}", inf, "-o out.rtf", 1, "i.inf");
        row("value refers to itself", one, "N\nsee @1\n", "-o out.rtf", 1, "i.inf");
        row("odd line count", one, "N\nv\nM\n", "-o out.rtf", 1, "i.inf");
        row("no entries", one, "N\n", "-o out.rtf", 1, "i.inf");
        row("NUL inside the template", QByteArray(nulInside, sizeof nulInside - 1), inf, "-o out.rtf", 1, "t.tem");
        row("empty template", "", inf, "-o out.rtf", 1, "t.tem");
        row("missing template", "MISSING", inf, "-o out.rtf", 1, "t.tem");
        row("missing information", one, inf, "nowhere.inf -o {name}.rtf", 1, "nowhere.inf");
        row("a later file fails", one, inf, "bad.inf -o {name}.rtf", 1, "bad.inf");
        row("docx", one, inf, "-o out.docx", 1, "out.docx");
        row("pdf", one, inf, "-o out.pdf", 1, "out.pdf");
        row("two without {name}", one, inf, "j.inf -o out.rtf", 1, "out.rtf");
        row("one base name in two folders", one, inf, "sub/i.inf -o {name}.rtf", 1, "i.rtf");
        row("replaces the template", one, inf, "-o t.tem", 1, "t.tem");
        row("replaces an information file", one, inf, "-o {name}.inf", 1, "i.inf");
        row("no output", one, inf, "", 2, "");
        row("unknown option", one, inf, "--fast -o out.rtf", 2, "");
    }
    void refusalsWriteNothing()
    {
        QFETCH(QByteArray, templateBytes);
        QFETCH(QByteArray, information);
        QFETCH(QString, args);
        QFETCH(int, exitCode);
        QFETCH(QString, file);
        if (templateBytes != "MISSING")
            writeFile(path(QStringLiteral("t.tem")), templateBytes);
        writeFile(path(QStringLiteral("i.inf")), information);
        writeFile(path(QStringLiteral("j.inf")), "N\nJones\n");
        writeFile(path(QStringLiteral("bad.inf")), "N\n");
        QDir(m_dir.path()).mkdir(QStringLiteral("sub"));
        writeFile(path(QStringLiteral("sub/i.inf")), information);
        writeFile(path(QStringLiteral("i.rtf")), "old letter");
        const QStringList before = filesIn(m_dir.path());

        const BatchRun run = merge(QStringList { QStringLiteral("t.tem"), QStringLiteral("i.inf") }
            + args.split(u' ', Qt::SkipEmptyParts));
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(isOneErrorLine(run.err, file.isEmpty() ? file : file + QStringLiteral(": ")), run.err.constData());
        QVERIFY(run.out.isEmpty());
        QCOMPARE(filesIn(m_dir.path()), before);
        QCOMPARE(readFile(path(QStringLiteral("i.rtf"))), QByteArray("old letter"));
    }
};

QTEST_MAIN(TestMerge)
#include "tst_merge.moc"
