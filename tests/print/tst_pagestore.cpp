#include "print/pagestore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include <zlib.h>

using print::PageStore;

namespace {

QPicture makePage(int number)
{
    QPicture picture;
    QPainter painter(&picture);
    painter.drawRect(QRect(40, 40, 770, 1020));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(60);
    painter.setFont(font);
    painter.drawText(QRect(0, 400, 850, 200), Qt::AlignCenter, QStringLiteral("Page %1").arg(number));
    painter.end();
    return picture;
}

QByteArray bytesOf(const QPicture &picture)
{
    return QByteArray(picture.data(), picture.size());
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray inflated(const QByteArray &stream, qsizetype expected)
{
    QByteArray out(expected + 16, '\0');
    uLongf size = uLongf(out.size());
    if (uncompress(reinterpret_cast<Bytef *>(out.data()), &size, reinterpret_cast<const Bytef *>(stream.constData()),
                   uLong(stream.size()))
        != Z_OK)
        return QByteArray("not a zlib stream");
    out.truncate(qsizetype(size));
    return out;
}

QByteArray deflated(const QByteArray &bytes)
{
    uLongf size = compressBound(uLong(bytes.size()));
    QByteArray out(qsizetype(size), '\0');
    compress2(reinterpret_cast<Bytef *>(out.data()), &size, reinterpret_cast<const Bytef *>(bytes.constData()),
              uLong(bytes.size()), 1);
    out.truncate(qsizetype(size));
    return out;
}

} // namespace

class TestPageStore : public QObject
{
    Q_OBJECT

private slots:
    void storesAndLoadsEveryPage_data()
    {
        QTest::addColumn<bool>("compress");
        QTest::addColumn<QStringList>("files");
        QTest::newRow("compressed") << true
                                    << QStringList{"PreviewMetafile0.CPR", "PreviewMetafile1.CPR", "PreviewMetafile2.CPR"};
        QTest::newRow("plain") << false << QStringList{"PreviewMetafile0", "PreviewMetafile1", "PreviewMetafile2"};
    }
    void storesAndLoadsEveryPage()
    {
        QFETCH(bool, compress);
        QFETCH(QStringList, files);
        PageStore store(compress);
        QVERIFY(store.isOpen());
        for (int n = 1; n <= 3; ++n)
            QVERIFY(store.store(makePage(n)));
        QCOMPARE(store.count(), 3);

        // Only the stored form of each page is on disk, in a folder of the
        // user's own under the temporary folder.
        const QDir folder(store.folder());
        QCOMPARE(folder.entryList(QDir::Files | QDir::Hidden, QDir::Name), files);
        QCOMPARE(QFileInfo(store.folder()).absolutePath(), QDir(QDir::tempPath()).absolutePath());
        const QFileDevice::Permissions mode = QFile::permissions(store.folder());
        const QFileDevice::Permissions owner = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
        QCOMPARE(mode & owner, owner);
        QCOMPARE(int(mode & 0x0077), 0); // nothing for the group or others

        for (int n = 1; n <= 3; ++n) {
            const std::optional<QPicture> page = store.load(n - 1);
            QVERIFY(page);
            QCOMPARE(bytesOf(*page), bytesOf(makePage(n)));
        }
        // Loading leaves no uncompressed copy behind.
        QCOMPARE(folder.entryList(QDir::Files | QDir::Hidden, QDir::Name), files);
    }

    void compressedFileIsTheSavedPictureDeflated()
    {
        PageStore store(true);
        QPicture page = makePage(7);
        QVERIFY(store.store(page));

        QTemporaryDir dir;
        const QString saved = dir.filePath(QStringLiteral("page.pic"));
        QVERIFY(page.save(saved));
        const QByteArray original = readAll(saved);
        QVERIFY(!original.isEmpty());
        const QByteArray stream = readAll(store.filePath(0));
        // A plain zlib stream: the two header bytes of level 1, no Qt length prefix.
        QCOMPARE(quint8(stream.at(0)), quint8(0x78));
        QCOMPARE(quint8(stream.at(1)), quint8(0x01));
        QCOMPARE(inflated(stream, original.size()), original);
    }

    void closingRemovesFilesAndFolder_data()
    {
        QTest::addColumn<bool>("compress");
        QTest::addColumn<bool>("byDestructor");
        QTest::newRow("compressed, close") << true << false;
        QTest::newRow("plain, close") << false << false;
        QTest::newRow("compressed, destroyed") << true << true;
        QTest::newRow("plain, destroyed") << false << true;
    }
    void closingRemovesFilesAndFolder()
    {
        QFETCH(bool, compress);
        QFETCH(bool, byDestructor);
        QString folder;
        {
            PageStore store(compress);
            folder = store.folder();
            for (int n = 1; n <= 3; ++n)
                store.store(makePage(n));
            QVERIFY(QFileInfo::exists(store.filePath(2)));
            if (!byDestructor) {
                store.close();
                QVERIFY(!store.isOpen());
                QVERIFY(!QFileInfo::exists(folder));
                // A closed store takes nothing and shows nothing.
                QVERIFY(!store.store(makePage(4)));
                QVERIFY(!store.load(0));
            }
        }
        QVERIFY(!QFileInfo::exists(folder));
    }

    void twoStoresNeverShareFiles()
    {
        PageStore first(true);
        PageStore second(true);
        QVERIFY(first.folder() != second.folder());
        first.store(makePage(1));
        second.store(makePage(2));
        QCOMPARE(bytesOf(*first.load(0)), bytesOf(makePage(1)));
        QCOMPARE(bytesOf(*second.load(0)), bytesOf(makePage(2)));
        // A new store does not take the folder of a live one in this process.
        PageStore third(false);
        QVERIFY(QFileInfo::exists(first.folder()));
    }

    void damagedPagesShowNothing_data()
    {
        QTest::addColumn<bool>("compress");
        QTest::addColumn<QString>("damage");
        for (bool compress : {true, false}) {
            const char *mode = compress ? "compressed" : "plain";
            for (const char *damage : {"missing", "empty", "truncated", "garbage", "flipped byte", "directory"})
                QTest::addRow("%s, %s", mode, damage) << compress << QString::fromLatin1(damage);
        }
        QTest::newRow("compressed, valid stream of garbage") << true << QStringLiteral("deflated garbage");
        QTest::newRow("compressed, truncated picture inside") << true << QStringLiteral("deflated truncated");
    }
    void damagedPagesShowNothing()
    {
        QFETCH(bool, compress);
        QFETCH(QString, damage);
        PageStore store(compress);
        QVERIFY(store.store(makePage(1)));
        QVERIFY(store.store(makePage(2)));
        const QString path = store.filePath(0);
        const QByteArray good = readAll(path);
        const QByteArray picture = bytesOf(makePage(1));

        if (damage == "missing") {
            QFile::remove(path);
        } else if (damage == "empty") {
            writeAll(path, {});
        } else if (damage == "truncated") {
            writeAll(path, good.left(good.size() / 2));
        } else if (damage == "garbage") {
            writeAll(path, QByteArray(3000, '\xA7'));
        } else if (damage == "flipped byte") {
            QByteArray bad = good;
            bad[bad.size() / 2] = char(bad[bad.size() / 2] ^ 0x5A);
            writeAll(path, bad);
        } else if (damage == "directory") {
            QFile::remove(path);
            QVERIFY(QDir().mkdir(path));
        } else if (damage == "deflated garbage") {
            writeAll(path, deflated(QByteArray(5000, 'x')));
        } else if (damage == "deflated truncated") {
            writeAll(path, deflated(picture.left(picture.size() - 40)));
        }
        QVERIFY(!store.load(0));
        // The damage stays with its page.
        QVERIFY(store.load(1));
        QVERIFY(!store.load(-1));
        QVERIFY(!store.load(2));
    }

    void aPageThatCannotBeWrittenKeepsItsNumber()
    {
        PageStore store(true);
        // Something in the way of the second page's file.
        QVERIFY(QDir().mkdir(store.filePath(1)));
        QVERIFY(store.store(makePage(1)));
        QVERIFY(!store.store(makePage(2)));
        QVERIFY(store.store(makePage(3)));
        QCOMPARE(store.count(), 3);
        QVERIFY(!store.load(1));
        QCOMPARE(bytesOf(*store.load(2)), bytesOf(makePage(3)));
        const QString folder = store.folder();
        store.close();
        QVERIFY(!QFileInfo::exists(folder));
    }

    void staleFoldersOfDeadProcessesGo_data()
    {
        QTest::addColumn<QString>("pid");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<bool>("removed");
        QTest::newRow("process ended") << QStringLiteral("dead") << QStringLiteral("a1B2c3") << true;
        QTest::newRow("process runs") << QStringLiteral("1") << QStringLiteral("a1B2c3") << false;
        QTest::newRow("this process") << QStringLiteral("own") << QStringLiteral("a1B2c3") << false;
        QTest::newRow("not a pid") << QStringLiteral("abc") << QStringLiteral("a1B2c3") << false;
        QTest::newRow("other pattern") << QStringLiteral("dead") << QStringLiteral("notes") << false;
    }
    void staleFoldersOfDeadProcessesGo()
    {
        QFETCH(QString, pid);
        QFETCH(QString, suffix);
        QFETCH(bool, removed);
        if (pid == "dead") {
            pid = QString::number(0x3FFFFFF0); // above any pid_max: never a running process
        } else if (pid == "own") {
            pid = QString::number(QCoreApplication::applicationPid());
        }
        QTemporaryDir root;
        const QString name = QStringLiteral("quorin-preview-%1-%2").arg(pid, suffix);
        QVERIFY(QDir(root.path()).mkpath(name + QStringLiteral("/inner")));
        writeAll(root.filePath(name + QStringLiteral("/PreviewMetafile0.CPR")), "x");
        QCOMPARE(PageStore::removeStaleFolders(root.path()), removed ? 1 : 0);
        QCOMPARE(QFileInfo::exists(root.filePath(name)), !removed);
    }
};

QTEST_MAIN(TestPageStore)
#include "tst_pagestore.moc"
