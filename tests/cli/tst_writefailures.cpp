// What a full disk, a second writer or a low descriptor limit can do to
// quorin-batch's outputs: never an empty, partial or mixed file, never a
// success that is not one.
#include "batchrun.h"

#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const QByteArray letter = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Arial;}}\n"
                          "\\pard Dear @1,\\par\nyour file @2 is ready.\\par\n}\n";

// Enough RTF for several write calls.
QByteArray bigDocument(int lines)
{
    return "{\\rtf1\\ansi " + QByteArray("The parties agree.\\par\n").repeated(lines) + '}';
}

} // namespace

class TestWriteFailures : public QObject {
    Q_OBJECT

private slots:
    // The atomic write's hook stands in for a full disk (its other steps
    // are the atomic write's own tests), and once a real one does: a 64 KiB
    // tmpfs with one page left. The outputs before the failing one are
    // complete and stay, the failing one keeps its old bytes, and the ones
    // after it are not attempted.
    void diskFull_data()
    {
        QTest::addColumn<QString>("args");
        QTest::addColumn<QString>("fault"); // empty: the tmpfs
        QTest::addColumn<QString>("failing");
        QTest::addColumn<QStringList>("written");
        QTest::newRow("convert, second write") << "convert big.rtf disk/o.txt" << "write=2"
                                               << "o.txt" << QStringList();
        // One thread: which write call fails is then the same every run.
        QTest::newRow("merge, second output") << "merge -j 1 t.tem a.inf b.inf c.inf -o disk/{name}.html"
                                              << "write=2" << "b.html" << QStringList { "a.html" };
        QTest::newRow("merge, full tmpfs") << "merge -j 1 t.tem a.inf b.inf c.inf -o disk/{name}.rtf"
                                           << "" << "b.rtf" << QStringList { "a.rtf" };
    }
    void diskFull()
    {
        QFETCH(QString, args);
        QFETCH(QString, fault);
        QFETCH(QString, failing);
        QFETCH(QStringList, written);
        QTemporaryDir dir;
        const QString disk = dir.filePath(u"disk"_s);
        const QByteArray mountPoint = QFile::encodeName(disk);
        QVERIFY(QDir(dir.path()).mkdir(u"disk"_s) && QDir(dir.path()).mkdir(u"ref"_s));
        if (fault.isEmpty() && ::geteuid() != 0)
            QSKIP("mounting a small tmpfs needs root; the write hook covers this case");
        if (fault.isEmpty() && ::mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=64k") != 0)
            QSKIP(qPrintable(u"cannot mount a tmpfs here: "_s + qt_error_string(errno)));
        auto unmount = qScopeGuard([&] {
            if (fault.isEmpty())
                ::umount2(mountPoint.constData(), MNT_DETACH);
        });
        writeFile(dir.filePath(u"big.rtf"_s), bigDocument(13000));
        writeFile(dir.filePath(u"t.tem"_s), letter);
        for (const QString &name : { u"a"_s, u"b"_s, u"c"_s })
            writeFile(dir.filePath(name + u".inf"_s), "N\n" + name.toLatin1() + "\nF\n1\n");
        writeFile(disk + u'/' + failing, "old");
        if (fault.isEmpty()) { // fill the disk, then give one page back
            const int fd = ::open((mountPoint + "/filler").constData(), O_WRONLY | O_CREAT, 0600);
            off_t size = 0;
            for (ssize_t n; (n = ::write(fd, letter.constData(), letter.size())) > 0;)
                size += n;
            QVERIFY(fd >= 0 && ::ftruncate(fd, size - 4096) == 0);
            ::close(fd);
        }
        const QStringList words = args.split(u' ');
        const BatchRun run = runBatch(words, dir.path(), fault);
        QCOMPARE(run.exitCode, 1);
        const QString error = u"disk/"_s + failing + u": cannot write file: "_s + qt_error_string(ENOSPC);
        QVERIFY2(isOneErrorLine(run.err, error), run.err.constData());
        QCOMPARE(run.out.count('\n'), written.size());
        QCOMPARE(readFile(disk + u'/' + failing), QByteArray("old"));
        QStringList left = filesIn(disk);
        left.removeOne(u"filler"_s);
        QCOMPARE(left, QStringList(written) << failing); // no temporary, nothing after
        // What was written is what a run without faults writes.
        if (!written.isEmpty())
            QCOMPARE(runBatch(QStringList(words).replaceInStrings(u"disk/"_s, u"ref/"_s), dir.path()).exitCode, 0);
        for (const QString &name : written)
            QCOMPARE(readFile(disk + u'/' + name), readFile(dir.filePath(u"ref/"_s + name)));
    }

    // Two conversions into one output at once each succeed, and the output
    // is one of the two complete pages at every moment, never a mix.
    void concurrentConvertsToOneOutput()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath(u"a.rtf"_s), bigDocument(9000));
        writeFile(dir.filePath(u"b.rtf"_s), "{\\rtf1\\ansi Another document entirely.\\par}");
        QByteArrayList pages;
        for (const QString &name : { u"a"_s, u"b"_s }) {
            QCOMPARE(runBatch({ u"convert"_s, name + u".rtf"_s, name + u".html"_s }, dir.path()).exitCode, 0);
            pages << readFile(dir.filePath(name + u".html"_s));
        }
        const QString output = dir.filePath(u"o.html"_s);
        int mixed = 0;
        for (int round = 0; round < 6; ++round) {
            QProcess a, b;
            for (QProcess *writer : { &a, &b }) {
                writer->setWorkingDirectory(dir.path());
                const QString input = writer == &a ? u"a.rtf"_s : u"b.rtf"_s;
                writer->start(QStringLiteral(QUORIN_BATCH), { u"convert"_s, input, output });
            }
            while (a.state() != QProcess::NotRunning || b.state() != QProcess::NotRunning) {
                a.waitForFinished(1);
                b.waitForFinished(1);
                const QByteArray seen = readFile(output);
                mixed += !seen.isEmpty() && !pages.contains(seen);
            }
            QCOMPARE(a.exitCode() + b.exitCode(), 0);
            QVERIFY(pages.contains(readFile(output)));
        }
        QCOMPARE(mixed, 0);
        QCOMPARE(filesIn(dir.path()).size(), 5); // no temporary left behind
    }

    // Nothing stays open from one output to the next.
    void manyFilesFewDescriptors()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(u"out"_s));
        writeFile(dir.filePath(u"t.tem"_s), letter);
        QStringList args { u"-c"_s, u"ulimit -n 256 && exec \"$0\" \"$@\""_s,
            QStringLiteral(QUORIN_BATCH), u"merge"_s, u"t.tem"_s };
        constexpr int files = 2000;
        for (int i = 1; i <= files; ++i) {
            args << u"client.%1.inf"_s.arg(i); // {name}: up to the last dot
            writeFile(dir.filePath(args.last()), "N\nClient " + QByteArray::number(i) + "\nF\n1\n");
        }
        args << u"-o"_s << u"out/{name}.rtf"_s;
        QProcess shell;
        shell.setWorkingDirectory(dir.path());
        shell.start(u"bash"_s, args);
        QVERIFY(shell.waitForFinished(240000));
        QVERIFY2(shell.exitCode() == 0, shell.readAllStandardError().constData());
        QCOMPARE(shell.readAllStandardOutput().count('\n'), files);
        QCOMPARE(filesIn(dir.filePath(u"out"_s)).size(), files);
        QVERIFY(readFile(dir.filePath(u"out/client.1999.rtf"_s)).contains("Dear Client 1999,\\par"));
    }
};

QTEST_MAIN(TestWriteFailures)
#include "tst_writefailures.moc"
