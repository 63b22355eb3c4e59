#include "testsupport.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run runBatch(const QStringList &args)
{
    QProcess process;
    process.start(QStringLiteral(QUORIN_BATCH), args);
    process.waitForFinished(60000);
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class TestConvert : public QObject
{
    Q_OBJECT

private slots:
    void rtfToText()
    {
        QTemporaryDir dir;
        const QString in = dir.filePath(QStringLiteral("letter.tem"));
        writeFile(in, "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0 Arial;}}\\f0 Dear {\\b @1},\\par "
                      "Caf\\'e9 \\u8364? total\\par}");
        const QString out = dir.filePath(QStringLiteral("letter.txt"));
        const Run run = runBatch({QStringLiteral("convert"), in, out});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.err.isEmpty());
        const QString text = QString::fromUtf8(testsupport::readFile(out));
        QVERIFY2(text.startsWith(QStringLiteral("Dear @1,\nCafé € total")), qPrintable(text));
    }

    void rtfToRtfKeepsTextAndBold()
    {
        QTemporaryDir dir;
        const QString in = dir.filePath(QStringLiteral("in.rtf"));
        writeFile(in, "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 plain {\\b bold @12} end\\par}");
        const QString out = dir.filePath(QStringLiteral("out.rtf"));
        QCOMPARE(runBatch({QStringLiteral("convert"), in, out}).exitCode, 0);
        const QByteArray rtf = testsupport::readFile(out);
        QVERIFY(rtf.startsWith("{\\rtf1"));
        QVERIFY(rtf.contains("@12"));
        QVERIFY(rtf.contains("\\b"));
    }

    void rtfToHtmlWithOptions()
    {
        QTemporaryDir dir;
        const QString in = dir.filePath(QStringLiteral("in.rtf"));
        writeFile(in, "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial;}}\\f0 Dear {\\b Smith}, \\u321?ukasz\\par}");
        const QString out = dir.filePath(QStringLiteral("out.html"));
        QCOMPARE(runBatch({QStringLiteral("convert"), in, out}).exitCode, 0);
        const QByteArray page = testsupport::readFile(out);
        QVERIFY2(page.contains("<B><FONT FACE=\"Arial\">Smith</FONT></B>"), page.constData());
        QVERIFY(page.contains("&#321;ukasz"));
        QVERIFY(page.contains("Arial"));
        QVERIFY(page.trimmed().endsWith("</HTML>"));
        QCOMPARE(runBatch({QStringLiteral("convert"), QStringLiteral("--no-fonts"), in, out}).exitCode, 0);
        const QByteArray plain = testsupport::readFile(out);
        QVERIFY2(plain.contains("<B>Smith</B>") && !plain.contains("Arial"), plain.constData());
    }

    void plainTextInput()
    {
        QTemporaryDir dir;
        const QString in = dir.filePath(QStringLiteral("client.inf"));
        writeFile(in, "\xEF\xBB\xBFName\r\nZo\xC3\xAB \xC5\x81ukasz\r\n");
        const QString out = dir.filePath(QStringLiteral("client.txt"));
        QCOMPARE(runBatch({QStringLiteral("convert"), in, out}).exitCode, 0);
        QCOMPARE(QString::fromUtf8(testsupport::readFile(out)).trimmed(),
                 QStringLiteral("Name\nZoë Łukasz"));
    }

    void errorsAreOneLineAndWriteNothing_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing input") << QStringList{QStringLiteral("convert"), QStringLiteral("@DIR@/none.rtf"), QStringLiteral("@DIR@/out.txt")} << QStringLiteral("cannot read");
        QTest::newRow("unknown output kind") << QStringList{QStringLiteral("convert"), QStringLiteral("@DIR@/in.rtf"), QStringLiteral("@DIR@/out.xyz")} << QStringLiteral("must end in");
        QTest::newRow("unwritable output") << QStringList{QStringLiteral("convert"), QStringLiteral("@DIR@/in.rtf"), QStringLiteral("@DIR@/no/such/dir/out.txt")} << QStringLiteral("cannot write");
        QTest::newRow("missing argument") << QStringList{QStringLiteral("convert"), QStringLiteral("@DIR@/in.rtf")} << QStringLiteral("usage");
        QTest::newRow("unknown command") << QStringList{QStringLiteral("frobnicate")} << QStringLiteral("unknown command");
    }
    void errorsAreOneLineAndWriteNothing()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        QTemporaryDir dir;
        writeFile(dir.filePath(QStringLiteral("in.rtf")), "{\\rtf1 x\\par}");
        for (QString &arg : args)
            arg.replace(QStringLiteral("@DIR@"), dir.path());
        const Run run = runBatch(args);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(QString::fromUtf8(run.err).contains(message), run.err.constData());
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("out.txt"))));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("out.xyz"))));
    }
};

QTEST_GUILESS_MAIN(TestConvert)
#include "tst_convert.moc"
