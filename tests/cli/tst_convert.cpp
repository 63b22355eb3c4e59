#include "testsupport.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run
{
    int exitCode = -1;
    QByteArray err;
};

// Runs quorin-batch with "@DIR@" in the arguments standing for `dir`.
Run runBatch(const QTemporaryDir &dir, const QString &args)
{
    QStringList list = args.split(u' ', Qt::SkipEmptyParts);
    for (QString &arg : list)
        arg.replace(QStringLiteral("@DIR@"), dir.path());
    QProcess process;
    process.start(QStringLiteral(QUORIN_BATCH), list);
    process.waitForFinished(60000);
    return {process.exitCode(), process.readAllStandardError()};
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
    void converts_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("args");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QByteArray>("prefix"); // the whole output, trimmed, for plain text
        QTest::addColumn<QByteArrayList>("present");
        QTest::addColumn<QByteArrayList>("absent");
        QTest::newRow("rtf to text")
            << "letter.tem"
            << QByteArray("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0 Arial;}}\\f0 Dear {\\b @1},\\par "
                          "Caf\\'e9 \\u8364? total\\par}")
            << "" << "letter.txt" << QByteArray("Dear @1,\nCaf\xC3\xA9 \xE2\x82\xAC total")
            << QByteArrayList() << QByteArrayList();
        QTest::newRow("rtf to rtf keeps text and bold")
            << "in.rtf" << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 plain {\\b bold @12} end\\par}")
            << "" << "out.rtf" << QByteArray("{\\rtf1") << QByteArrayList{"@12", "\\b"}
            << QByteArrayList();
        const QByteArray html("{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial;}}\\f0 Dear {\\b Smith}, \\u321?ukasz\\par}");
        QTest::newRow("rtf to html")
            << "in.rtf" << html << "" << "out.html" << QByteArray()
            << QByteArrayList{"<B><FONT FACE=\"Arial\">Smith</FONT></B>", "&#321;ukasz"}
            << QByteArrayList();
        QTest::newRow("rtf to html without fonts")
            << "in.rtf" << html << "--no-fonts" << "out.html" << QByteArray()
            << QByteArrayList{"<B>Smith</B>"} << QByteArrayList{"Arial"};
        QTest::newRow("plain text input")
            << "client.inf" << QByteArray("\xEF\xBB\xBFName\r\nZo\xC3\xAB \xC5\x81ukasz\r\n") << ""
            << "client.txt" << QByteArray("Name\nZo\xC3\xAB \xC5\x81ukasz") << QByteArrayList()
            << QByteArrayList();
    }
    void converts()
    {
        QFETCH(QString, input);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, args);
        QFETCH(QString, output);
        QFETCH(QByteArray, prefix);
        QFETCH(QByteArrayList, present);
        QFETCH(QByteArrayList, absent);
        QTemporaryDir dir;
        writeFile(dir.filePath(input), bytes);
        const Run run = runBatch(dir, QStringLiteral("convert %1 @DIR@/%2 @DIR@/%3").arg(args, input, output));
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.err.isEmpty(), run.err.constData());
        const QByteArray out = testsupport::readFile(dir.filePath(output));
        QVERIFY2(input.endsWith(u".inf") ? out.trimmed() == prefix : out.startsWith(prefix), out.constData());
        if (output.endsWith(u".html"))
            QVERIFY(out.trimmed().endsWith("</HTML>"));
        for (const QByteArray &piece : present)
            QVERIFY2(out.contains(piece), piece.constData());
        for (const QByteArray &piece : absent)
            QVERIFY2(!out.contains(piece), piece.constData());
    }

    void errorsAreOneLineAndWriteNothing_data()
    {
        QTest::addColumn<QString>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing input") << "convert @DIR@/none.rtf @DIR@/out.txt" << "cannot read";
        QTest::newRow("unknown output kind") << "convert @DIR@/in.rtf @DIR@/out.xyz" << "must end in";
        QTest::newRow("unwritable output") << "convert @DIR@/in.rtf @DIR@/no/such/dir/out.txt" << "cannot write";
        QTest::newRow("missing argument") << "convert @DIR@/in.rtf" << "usage";
        QTest::newRow("unknown command") << "frobnicate" << "unknown command";
    }
    void errorsAreOneLineAndWriteNothing()
    {
        QFETCH(QString, args);
        QFETCH(QString, message);
        QTemporaryDir dir;
        writeFile(dir.filePath(QStringLiteral("in.rtf")), "{\\rtf1 x\\par}");
        const Run run = runBatch(dir, args);
        QCOMPARE(run.exitCode, 1);
        // The error is said on the first line (usage may follow).
        QVERIFY2(QString::fromUtf8(run.err.split('\n').first()).contains(message), run.err.constData());
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("out.txt"))));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("out.xyz"))));
    }
};

QTEST_GUILESS_MAIN(TestConvert)
#include "tst_convert.moc"
