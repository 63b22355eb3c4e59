// `quorin-batch merge`: files in, finished RTF out, and on any problem the
// dialog's words on stderr, exit status 1 and no output file at all.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "cli/mergecommand.h"
#include "richtext/rtfimport.h"

class TestMergeCommand : public QObject {
    Q_OBJECT

private slots:
    void init();
    void mergesOneFile();
    void informationEncodings();
    void rtfInValueActsAsRtf();
    void htmlOutput();
    void problemsWriteNothing_data();
    void problemsWriteNothing();
    void laterFailureKeepsEarlierOutputsUnwritten();

private:
    QString write(const QString &name, const QByteArray &bytes);
    int run(const QStringList &args);
    QByteArray read(const QString &name) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_out, m_err;
};

void TestMergeCommand::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_out.clear();
    m_err.clear();
}

QString TestMergeCommand::write(const QString &name, const QByteArray &bytes)
{
    const QString path = m_dir->filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    file.write(bytes);
    return path;
}

QByteArray TestMergeCommand::read(const QString &name) const
{
    QFile file(m_dir->filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int TestMergeCommand::run(const QStringList &args)
{
    m_out.clear();
    m_err.clear();
    QTextStream out(&m_out), err(&m_err);
    const int status = runMergeCommand(args, out, err);
    out.flush();
    err.flush();
    return status;
}

namespace {
const QByteArray letter = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Arial;}}\n"
                          "\\pard Dear @1,\\par\n"
                          "your file @2 is ready.\\par\n}\n";
}

void TestMergeCommand::mergesOneFile()
{
    const QString tem = write("letter.tem", letter);
    const QString inf = write("smith.inf", "Name\nMrs Smith\nFile\nA-17\n");
    QCOMPARE(run({ tem, inf, "-o", m_dir->filePath("out.rtf") }), 0);
    QVERIFY2(m_err.isEmpty(), qPrintable(m_err));
    QVERIFY(m_out.contains("2 replacements were made"));
    const QByteArray result = read("out.rtf");
    QVERIFY(result.contains("Dear Mrs Smith,\\par\r\n"));
    QVERIFY(result.contains("your file A-17 is ready."));

    // Overwrite mode keeps the rest of a form line in place.
    const QString form = write("form.tem", "{\\rtf1 Name: @1______\\par\n}\n");
    const QString name = write("i.inf", "Name\nSmith\n");
    QCOMPARE(run({ "--overwrite", form, name, "-o", m_dir->filePath("o.rtf") }), 0);
    QVERIFY(read("o.rtf").contains("Name: Smith___\\par"));
}

void TestMergeCommand::informationEncodings()
{
    // Several Information files, one output each: UTF-8 and Windows-1252
    // give the same bytes in a Windows-1252 template; what the code page
    // lacks becomes \uN?, never "?". {name} is the file name up to its last dot.
    const QString tem = write("letter.tem", letter);
    const QString utf8 = write("utf8.client.inf", "Name\nZo\xc3\xab \xc5\x81ukasz\nFile\nx\n");
    const QString ansi = write("ansi.inf", "Name\r\nZo\xeb\r\nFile\r\nx\r\n");
    QCOMPARE(run({ tem, utf8, ansi, "-o", m_dir->filePath("{name}-letter.rtf") }), 0);
    QVERIFY(read("utf8.client-letter.rtf").contains("Dear Zo\xeb \\u321?ukasz,"));
    QVERIFY(read("ansi-letter.rtf").contains("Dear Zo\xeb,"));
    QCOMPARE(m_out.count("replacements were made"), 2);

    // A Cyrillic template takes Cyrillic names as its own bytes.
    const QString cyrillic = write("ru.tem", "{\\rtf1\\ansi\\ansicpg1251 @1\\par}");
    const QString name = write("ru.inf", "N\n\xd0\x98\xd0\xb2\xd0\xb0\xd0\xbd\n");
    QCOMPARE(run({ cyrillic, name, "-o", m_dir->filePath("ru.rtf") }), 0);
    QVERIFY(read("ru.rtf").contains("\xc8\xe2\xe0\xed\\par"));
}

void TestMergeCommand::rtfInValueActsAsRtf()
{
    // A value goes in verbatim: "\b " in it turns bold on in the document.
    const QString tem = write("t.tem", "{\\rtf1\\ansi Dear @1, welcome.\\par\n}\n");
    const QString inf = write("i.inf", "Name\n\\b Smith\\b0\n");
    QCOMPARE(run({tem, inf, "-o", m_dir->filePath("o.rtf")}), 0);
    QTextDocument document;
    QTextCursor cursor(&document);
    QVERIFY(richtext::insertRtf(cursor, read("o.rtf")));
    QCOMPARE(document.firstBlock().text(), QStringLiteral("Dear Smith, welcome."));
    QTextCursor smith = document.find(QStringLiteral("Smith"));
    QVERIFY(smith.charFormat().fontWeight() >= QFont::Bold);
    QTextCursor dear = document.find(QStringLiteral("Dear"));
    QVERIFY(dear.charFormat().fontWeight() < QFont::Bold);
}

void TestMergeCommand::htmlOutput()
{
    // An .html output name writes the finished document as a web page.
    const QString tem = write("letter.tem", letter);
    const QString inf = write("smith.inf", "Name\nMrs Smith & Co\nFile\nA-17\n");
    QCOMPARE(run({ tem, inf, "-o", m_dir->filePath("{name}.html") }), 0);
    const QByteArray page = read("smith.html");
    QVERIFY2(page.contains("Dear Mrs Smith &amp; Co,"), page.constData());
    QVERIFY(page.contains("<TITLE>smith.html</TITLE>"));
    QVERIFY(page.trimmed().endsWith("</HTML>"));
}

void TestMergeCommand::problemsWriteNothing_data()
{
    QTest::addColumn<QByteArray>("templateText");
    QTest::addColumn<QByteArray>("information");
    QTest::addColumn<QStringList>("extra");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("words");

    const QByteArray inf = "N\nSmith\nF\nA-17\n", one = "{\\rtf1 @1\\par}";
    const auto add = [&](const char *name, const QByteArray &tem, const QString &words,
                         const QByteArray &information = {}, const QStringList &extra = {},
                         const QString &output = "out.rtf") {
        QTest::newRow(name) << tem << (information.isNull() ? inf : information) << extra << output
                            << words;
    };
    add("not in the file", "{\\rtf1 @1 @3\\par}", "that is not in the INFORMATION file");
    add("token shape", "{\\rtf1 @1 2\\par}", "Please correct the error before proceeding");
    add("overflow", "{\\rtf1 @1073741824\\par}", "Integer overflow");
    add("loop", one, "refers to itself", "N\nsee @1\n");
    add("odd lines", one, "even number of lines", "N\nv\nM\n");
    add("no entries", one, "You have not chosen an information file", "N\n");
    add("empty template", "", "You have not chosen a Template file");
    add("missing template", "MISSING", "Cannot open file");
    add("missing information", one, "Cannot open file", {}, { "nowhere.inf" }, "{name}.rtf");
    add("pdf", one, "not available yet", {}, {}, "out.pdf");
    add("two without {name}", one, "{name}", {}, { "info.inf" });
    add("replaces the input", one, "replace an input file", {}, {}, "{name}.inf");
    add("no output", one, "no output file", {}, {}, "");
}

void TestMergeCommand::problemsWriteNothing()
{
    QFETCH(QByteArray, templateText);
    QFETCH(QByteArray, information);
    QFETCH(QStringList, extra);
    QFETCH(QString, output);
    QFETCH(QString, words);

    const QString tem
        = templateText == "MISSING" ? m_dir->filePath("gone.tem") : write("t.tem", templateText);
    const QString inf = write("info.inf", information);
    QStringList args { tem, inf };
    for (const QString &name : extra)
        args << m_dir->filePath(name);
    if (!output.isEmpty())
        args << "-o" << m_dir->filePath(output);
    const QStringList before = QDir(m_dir->path()).entryList(QDir::Files);

    QCOMPARE(run(args), 1);
    QVERIFY2(m_err.contains(words), qPrintable(m_err));
    QVERIFY(m_out.isEmpty());
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), before);
    QCOMPARE(read("info.inf"), information);
}

void TestMergeCommand::laterFailureKeepsEarlierOutputsUnwritten()
{
    const QString tem = write("letter.tem", letter);
    const QString good = write("good.inf", "N\nSmith\nF\n1\n");
    const QString bad = write("bad.inf", "N\nSmith\n"); // no entry 2
    write("good.rtf", "old letter");
    QCOMPARE(run({ tem, good, bad, "-o", m_dir->filePath("{name}.rtf") }), 1);
    QVERIFY(m_err.contains("bad.inf"));
    // The good merge was not written either, and the file it would have
    // replaced is untouched.
    QCOMPARE(read("good.rtf"), QByteArray("old letter"));
    QVERIFY(!QFile::exists(m_dir->filePath("bad.rtf")));
}

QTEST_MAIN(TestMergeCommand)
#include "tst_mergecommand.moc"
