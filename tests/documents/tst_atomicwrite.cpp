// The one way Quorin writes files: the target is always the old file or the
// complete new one, whatever fails and whoever else writes it.
#include "documents/atomicwrite.h"
#include "documents/documenterror.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <thread>

#include <sys/stat.h>

using documents::WriteFaults;

Q_DECLARE_METATYPE(WriteFaults)

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writePlain(const QString &path, const QByteArray &bytes, int mode)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode), 0);
}

int modeOf(const QString &path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

// A document of `size` bytes, different for every `seed`, so a mix of two is
// never mistaken for either.
QByteArray document(int seed, qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = char('a' + (seed * 7 + i / 997) % 26);
    return bytes;
}

} // namespace

class TestAtomicWrite : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { documents::setWriteFaultsForTesting({}); }

    void replacesAndKeepsPermissions_data()
    {
        QTest::addColumn<int>("oldMode"); // -1: no old file
        QTest::addColumn<qsizetype>("size");
        QTest::newRow("new file") << -1 << qsizetype(10);
        QTest::newRow("private file") << 0600 << qsizetype(300000);
        QTest::newRow("group-readable file") << 0640 << qsizetype(0);
        QTest::newRow("executable script") << 0755 << qsizetype(65536);
    }
    void replacesAndKeepsPermissions()
    {
        QFETCH(int, oldMode);
        QFETCH(qsizetype, size);
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("letter.rtf"));
        if (oldMode >= 0)
            writePlain(target, "the old letter, longer than some new ones", oldMode);
        const QByteArray bytes = document(1, size);
        documents::writeFileAtomically(target, bytes);
        QCOMPARE(readAll(target), bytes);
        if (oldMode >= 0) {
            QCOMPARE(modeOf(target), oldMode);
        } else {
            const mode_t mask = ::umask(0);
            ::umask(mask);
            QCOMPARE(modeOf(target), int(0666 & ~mask));
        }
        QCOMPARE(entries(dir.path()), QStringList { QStringLiteral("letter.rtf") });
    }

    void writesThroughSymbolicLink()
    {
        QTemporaryDir dir;
        const QString real = dir.filePath(QStringLiteral("real.rtf"));
        const QString link = dir.filePath(QStringLiteral("link.rtf"));
        writePlain(real, "old", 0640);
        QVERIFY(QFile::link(real, link));
        documents::writeFileAtomically(link, "new");
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(readAll(real), QByteArray("new"));
        QCOMPARE(modeOf(real), 0640);
    }

    void failureLeavesOldFile_data()
    {
        QTest::addColumn<WriteFaults>("faults");
        QTest::addColumn<qsizetype>("size");
        QTest::addColumn<QString>("reason");
        const QString full = qt_error_string(ENOSPC);
        QTest::newRow("first write") << WriteFaults { 1 } << qsizetype(100) << full;
        QTest::newRow("third write of a large document") << WriteFaults { 3 } << qsizetype(200000) << full;
        QTest::newRow("flush") << WriteFaults { 0, true } << qsizetype(100) << full;
        QTest::newRow("sync") << WriteFaults { 0, false, true } << qsizetype(100) << qt_error_string(EIO);
        QTest::newRow("rename") << WriteFaults { 0, false, false, true } << qsizetype(100)
                                << qt_error_string(EIO);
    }
    void failureLeavesOldFile()
    {
        QFETCH(WriteFaults, faults);
        QFETCH(qsizetype, size);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("out.html"));
        const QByteArray old = "<HTML>the page as it was</HTML>";
        writePlain(target, old, 0644);
        documents::setWriteFaultsForTesting(faults);
        try {
            documents::writeFileAtomically(target, document(2, size));
            QFAIL("the write reported success");
        } catch (const documents::DocumentError &error) {
            QCOMPARE(error.message(), QStringLiteral("Cannot write file \"%1\": %2").arg(target, reason));
        }
        QCOMPARE(readAll(target), old);
        QCOMPARE(entries(dir.path()), QStringList { QStringLiteral("out.html") });
    }

    // Two writers of one target, over and over, while a reader watches: the
    // target is only ever one writer's complete document.
    void concurrentWritersNeverMix()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("o.html"));
        const QByteArray a = document(3, 300000), b = document(4, 200000);
        documents::writeFileAtomically(target, a);
        std::atomic<bool> done { false };
        std::atomic<int> mixed { 0 }, failed { 0 };
        const auto writer = [&](const QByteArray &bytes) {
            for (int i = 0; i < 25; ++i) {
                try {
                    documents::writeFileAtomically(target, bytes);
                } catch (const documents::DocumentError &) {
                    ++failed;
                }
            }
        };
        std::thread reader([&] {
            while (!done) {
                const QByteArray seen = readAll(target);
                if (seen != a && seen != b)
                    ++mixed;
            }
        });
        std::thread first(writer, a), second(writer, b);
        first.join();
        second.join();
        done = true;
        reader.join();
        QCOMPARE(failed.load(), 0);
        QCOMPARE(mixed.load(), 0);
        QCOMPARE(entries(dir.path()), QStringList { QStringLiteral("o.html") });
    }
};

QTEST_GUILESS_MAIN(TestAtomicWrite)
#include "tst_atomicwrite.moc"
