// What a full disk, a second writer or a low descriptor limit can do to
// quorin-batch's outputs: never an empty, partial or mixed file, never a
// success that is not one.
#include "batchrun.h"

#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

const QByteArray letter = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Arial;}}\n"
                          "\\pard Dear @1,\\par\nyour file @2 is ready.\\par\n}\n";

QStringList temporaries(const QString &dir)
{
    return filesIn(dir).filter(QRegularExpression(QStringLiteral("^\\..*\\.tmp$")));
}

// A document of about `size` bytes.
QByteArray bigDocument(int size)
{
    QByteArray rtf = "{\\rtf1\\ansi ";
    while (rtf.size() < size)
        rtf += "The party of the first part agrees with the party of the second part.\\par\n";
    return rtf + '}';
}

} // namespace

class TestWriteFailures : public QObject {
    Q_OBJECT

private slots:
    // The atomic write's test hook, set through the environment, stands in
    // for a full disk at each step of the write.
    void failedWriteKeepsOldOutput_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("fault");
        QTest::newRow("convert to rtf, first write") << "convert" << "out.rtf" << "write=1";
        QTest::newRow("convert to text, second write of a large one") << "convert" << "out.txt" << "write=2";
        QTest::newRow("convert to html, flush") << "convert" << "out.html" << "flush";
        QTest::newRow("merge to rtf, sync") << "merge" << "out.rtf" << "sync";
        QTest::newRow("merge to html, first write") << "merge" << "out.html" << "write=1";
        QTest::newRow("merge to text, rename") << "merge" << "out.txt" << "rename";
    }
    void failedWriteKeepsOldOutput()
    {
        QFETCH(QString, command);
        QFETCH(QString, output);
        QFETCH(QString, fault);
        QTemporaryDir dir;
        writeFile(dir.filePath(QStringLiteral("in.rtf")), bigDocument(300000));
        writeFile(dir.filePath(QStringLiteral("t.tem")), letter);
        writeFile(dir.filePath(QStringLiteral("i.inf")), "N\nSmith\nF\n1\n");
        const QByteArray old = "the output as it was";
        writeFile(dir.filePath(output), old);
        const QStringList args = command == u"convert"
            ? QStringList { command, QStringLiteral("in.rtf"), output }
            : QStringList { command, QStringLiteral("t.tem"), QStringLiteral("i.inf"), QStringLiteral("-o"), output };
        const BatchRun run = runBatch(args, { QStringLiteral("QUORIN_TEST_WRITE_FAULTS=") + fault }, dir.path());
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(isOneErrorLine(run.err, output + QStringLiteral(": cannot write file: ")), run.err.constData());
        QVERIFY(run.out.isEmpty());
        QCOMPARE(readFile(dir.filePath(output)), old);
        QCOMPARE(temporaries(dir.path()), QStringList());
    }

    // A merge of three whose second output fails, through the hook and on a
    // real 64 KiB tmpfs with one page left: the first output is complete
    // and stays, the second keeps its old file, the third is not attempted.
    void mergeStopsAtTheFailedOutput_data()
    {
        QTest::addColumn<bool>("realDisk");
        QTest::newRow("write hook") << false;
        QTest::newRow("full tmpfs") << true;
    }
    void mergeStopsAtTheFailedOutput()
    {
        QFETCH(bool, realDisk);
        QTemporaryDir dir;
        const QString disk = dir.filePath(QStringLiteral("disk"));
        const QByteArray mountPoint = QFile::encodeName(disk);
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("disk")));
        if (realDisk && ::geteuid() != 0)
            QSKIP("mounting a small tmpfs needs root; the write hook covers this case");
        if (realDisk && ::mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=64k") != 0)
            QSKIP(qPrintable(QStringLiteral("cannot mount a tmpfs here: ") + qt_error_string(errno)));
        auto unmount = qScopeGuard([&] {
            if (realDisk)
                ::umount2(mountPoint.constData(), MNT_DETACH);
        });
        // A last line of spaces shows that an output is whole.
        writeFile(dir.filePath(QStringLiteral("t.tem")), letter + QByteArray(2500, ' '));
        for (const char *name : { "a", "b", "c" })
            writeFile(dir.filePath(QString::fromLatin1(name) + QStringLiteral(".inf")), QByteArray("N\n") + name + "\nF\n1\n");
        writeFile(disk + QStringLiteral("/b.rtf"), "old b");
        if (realDisk) { // fill the disk, then give one page back
            const int fd = ::open(QFile::encodeName(disk + QStringLiteral("/filler")).constData(), O_WRONLY | O_CREAT, 0600);
            off_t size = 0;
            for (ssize_t n; (n = ::write(fd, letter.constData(), letter.size())) > 0;)
                size += n;
            QVERIFY(fd >= 0 && ::ftruncate(fd, size - 4096) == 0);
            ::close(fd);
        }
        const BatchRun run = runBatch({ QStringLiteral("merge"), QStringLiteral("t.tem"), QStringLiteral("a.inf"),
                                          QStringLiteral("b.inf"), QStringLiteral("c.inf"), QStringLiteral("-o"),
                                          QStringLiteral("disk/{name}.rtf") },
            { QStringLiteral("QUORIN_TEST_WRITE_FAULTS=") + (realDisk ? "" : "write=2") }, dir.path());
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(isOneErrorLine(run.err, QStringLiteral("disk/b.rtf: cannot write file: ") + qt_error_string(ENOSPC)),
            run.err.constData());
        QCOMPARE(run.out, QByteArray("2 replacements were made: disk/a.rtf\n"));
        const QByteArray first = readFile(disk + QStringLiteral("/a.rtf"));
        QVERIFY(first.contains("Dear a,\\par") && first.endsWith(QByteArray(2500, ' ') + "\r\n"));
        QCOMPARE(readFile(disk + QStringLiteral("/b.rtf")), QByteArray("old b"));
        QVERIFY(!QFile::exists(disk + QStringLiteral("/c.rtf")));
        QCOMPARE(temporaries(disk), QStringList());
    }

    // Two conversions into one output at once: each succeeds with its own
    // temporary file, and the output is one complete page, never a mix.
    void concurrentConvertsToOneOutput()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath(QStringLiteral("a.rtf")), bigDocument(200000));
        writeFile(dir.filePath(QStringLiteral("b.rtf")), "{\\rtf1\\ansi Another document entirely.\\par}");
        QByteArrayList pages;
        for (const char *name : { "a", "b" }) {
            const QString page = dir.filePath(QString::fromLatin1(name) + QStringLiteral(".html"));
            QCOMPARE(runBatch({ QStringLiteral("convert"), dir.filePath(QString::fromLatin1(name) + QStringLiteral(".rtf")), page }).exitCode, 0);
            pages << readFile(page);
        }
        const QString output = dir.filePath(QStringLiteral("o.html"));
        for (int round = 0; round < 6; ++round) {
            QProcess first, second;
            first.start(QStringLiteral(QUORIN_BATCH), { QStringLiteral("convert"), dir.filePath(QStringLiteral("a.rtf")), output });
            second.start(QStringLiteral(QUORIN_BATCH), { QStringLiteral("convert"), dir.filePath(QStringLiteral("b.rtf")), output });
            QVERIFY(first.waitForFinished(60000) && second.waitForFinished(60000));
            QCOMPARE(first.exitCode(), 0);
            QCOMPARE(second.exitCode(), 0);
            QVERIFY(pages.contains(readFile(output)));
        }
        QCOMPARE(temporaries(dir.path()), QStringList());
    }

    // Nothing stays open from one output to the next.
    void manyFilesFewDescriptors()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("out")));
        writeFile(dir.filePath(QStringLiteral("t.tem")), letter);
        QStringList args { QStringLiteral("-c"), QStringLiteral("ulimit -n 256 && exec \"$0\" \"$@\""),
            QStringLiteral(QUORIN_BATCH), QStringLiteral("merge"), QStringLiteral("t.tem") };
        constexpr int files = 2000;
        for (int i = 1; i <= files; ++i) {
            const QString name = QStringLiteral("client%1.inf").arg(i);
            writeFile(dir.filePath(name), "N\nClient " + QByteArray::number(i) + "\nF\n" + QByteArray::number(i) + '\n');
            args << name;
        }
        args << QStringLiteral("-o") << QStringLiteral("out/{name}.rtf");
        QProcess shell;
        shell.setWorkingDirectory(dir.path());
        shell.start(QStringLiteral("bash"), args);
        QVERIFY(shell.waitForFinished(240000));
        const QByteArray err = shell.readAllStandardError();
        QVERIFY2(shell.exitCode() == 0, err.constData());
        QCOMPARE(shell.readAllStandardOutput().count('\n'), files);
        QCOMPARE(filesIn(dir.filePath(QStringLiteral("out"))).size(), files);
        QVERIFY(readFile(dir.filePath(QStringLiteral("out/client1999.rtf"))).contains("Dear Client 1999,\\par"));
    }
};

QTEST_MAIN(TestWriteFailures)
#include "tst_writefailures.moc"
