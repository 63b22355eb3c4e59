#include "printtesting.h"

#include "print/pagestore.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <zlib.h>

using print::PageStore;
using namespace printtesting;

namespace {

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
        QTest::addColumn<QString>("suffix");
        QTest::newRow("compressed") << true << ".CPR";
        QTest::newRow("plain") << false << "";
    }
    void storesAndLoadsEveryPage()
    {
        QFETCH(bool, compress);
        QFETCH(QString, suffix);
        const QStringList files{"PreviewMetafile0" + suffix, "PreviewMetafile1" + suffix, "PreviewMetafile2" + suffix};
        PageStore store(compress);
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

        for (int n = 1; n <= 3; ++n)
            QCOMPARE(bytesOf(store.load(n - 1).value()), bytesOf(makePage(n)));
        // Loading leaves no uncompressed copy behind.
        QCOMPARE(folder.entryList(QDir::Files | QDir::Hidden, QDir::Name), files);

        // Closing (or the destructor) removes the files and the folder; a
        // closed store takes nothing and shows nothing.
        store.close();
        QVERIFY(!QFileInfo::exists(folder.path()));
        QVERIFY(!store.store(makePage(4)));
        QVERIFY(!store.load(0));
        QString destroyed;
        {
            PageStore other(compress);
            destroyed = other.folder();
            QVERIFY(other.store(makePage(1)));
        }
        QVERIFY(!QFileInfo::exists(destroyed));
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
        const QByteArray stream = readAll(store.filePath(0));
        // A plain zlib stream: the two header bytes of level 1, no Qt length prefix.
        QCOMPARE(quint8(stream.at(0)), quint8(0x78));
        QCOMPARE(quint8(stream.at(1)), quint8(0x01));
        QCOMPARE(inflated(stream, original.size()), original);
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
        QByteArray flipped = good;
        flipped[good.size() / 2] = char(good[good.size() / 2] ^ 0x5A);
        const QHash<QString, QByteArray> written{{"empty", {}},
                                                 {"truncated", good.left(good.size() / 2)},
                                                 {"garbage", QByteArray(3000, '\xA7')},
                                                 {"flipped byte", flipped},
                                                 {"deflated garbage", deflated(QByteArray(5000, 'x'))},
                                                 {"deflated truncated", deflated(picture.left(picture.size() - 40))}};
        if (written.contains(damage)) {
            writeAll(path, written.value(damage));
        } else {
            QFile::remove(path);
            if (damage == "directory")
                QVERIFY(QDir().mkdir(path));
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
        QVERIFY(QDir().mkdir(store.filePath(1))); // something in the way of the second page's file
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
        const QString dead = QString::number(0x3FFFFFF0); // above any pid_max: never a running process
        QTest::newRow("process ended") << dead << "a1B2c3" << true;
        QTest::newRow("process runs") << "1" << "a1B2c3" << false;
        QTest::newRow("this process") << QString::number(QCoreApplication::applicationPid()) << "a1B2c3" << false;
        QTest::newRow("not a pid") << "abc" << "a1B2c3" << false;
        QTest::newRow("other pattern") << dead << "notes" << false;
    }
    void staleFoldersOfDeadProcessesGo()
    {
        QFETCH(QString, pid);
        QFETCH(QString, suffix);
        QFETCH(bool, removed);
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
