#include "print/pagestore.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cerrno>
#include <csignal>
#include <sys/types.h>
#include <unistd.h>
#include <zlib.h>

namespace print {

namespace {

const QString folderPrefix = QStringLiteral("quorin-preview-");

QString tempRoot(const QString &tempPath)
{
    return tempPath.isEmpty() ? QDir::tempPath() : tempPath;
}

// Whether a process with this id runs (one of another user counts too).
bool processRuns(qint64 pid)
{
    if (pid <= 0 || pid != qint64(pid_t(pid)))
        return false;
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

QByteArray pictureBytes(const QPicture &page)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPicture copy(page); // save() is not const; the copy shares the data
    if (!copy.save(&buffer))
        return {};
    return bytes;
}

// A zlib stream of `bytes` at the fastest level; empty on failure.
QByteArray deflateFast(const QByteArray &bytes)
{
    uLongf size = compressBound(uLong(bytes.size()));
    QByteArray out(qsizetype(size), Qt::Uninitialized);
    if (compress2(reinterpret_cast<Bytef *>(out.data()), &size,
                  reinterpret_cast<const Bytef *>(bytes.constData()), uLong(bytes.size()), 1)
        != Z_OK)
        return {};
    out.truncate(qsizetype(size));
    return out;
}

// The bytes of the zlib stream in `file`, read in blocks of 4096 bytes.
// Nothing when the stream is damaged, ends early or unpacks to more than
// `limit` bytes.
std::optional<QByteArray> inflateFile(QFile &file, qint64 limit)
{
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return std::nullopt;
    QByteArray out;
    char input[4096];
    char output[16384];
    int status = Z_OK;
    while (status != Z_STREAM_END) {
        const qint64 got = file.read(input, sizeof input);
        if (got <= 0)
            break; // the file ends (or fails) before the stream does
        stream.next_in = reinterpret_cast<Bytef *>(input);
        stream.avail_in = uInt(got);
        do {
            stream.next_out = reinterpret_cast<Bytef *>(output);
            stream.avail_out = sizeof output;
            status = inflate(&stream, Z_NO_FLUSH);
            if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR)
                break;
            const qsizetype produced = qsizetype(sizeof output - stream.avail_out);
            if (out.size() + produced > limit) {
                status = Z_MEM_ERROR;
                break;
            }
            out.append(output, produced);
        } while (status != Z_STREAM_END && stream.avail_out == 0);
        if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR)
            break;
    }
    inflateEnd(&stream);
    if (status != Z_STREAM_END)
        return std::nullopt;
    return out;
}

} // namespace

PageStore::PageStore(bool compress)
    : m_compress(compress)
{
    removeStaleFolders();
    const QString pattern = QDir(QDir::tempPath())
                                .filePath(folderPrefix + QString::number(QCoreApplication::applicationPid())
                                          + QStringLiteral("-XXXXXX"));
    m_dir = std::make_unique<QTemporaryDir>(pattern);
    if (!m_dir->isValid()) {
        m_dir.reset();
        return;
    }
    // QTemporaryDir makes it 0700 already; say so explicitly, since the
    // pages are the user's document.
    QFile::setPermissions(m_dir->path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

PageStore::~PageStore()
{
    close();
}

bool PageStore::isOpen() const
{
    return m_dir != nullptr;
}

QString PageStore::folder() const
{
    return m_dir ? m_dir->path() : QString();
}

QString PageStore::fileName(int index, bool compress)
{
    QString name = QStringLiteral("PreviewMetafile") + QString::number(index);
    if (compress)
        name += QStringLiteral(".CPR");
    return name;
}

QString PageStore::filePath(int index) const
{
    if (!m_dir)
        return QString();
    return QDir(m_dir->path()).filePath(fileName(index, m_compress));
}

bool PageStore::store(const QPicture &page)
{
    const int index = m_count++;
    if (!m_dir)
        return false;

    QByteArray bytes = pictureBytes(page);
    if (bytes.isEmpty())
        return false;
    // Compressing in memory means the uncompressed page never reaches the
    // disk at all.
    if (m_compress) {
        bytes = deflateFast(bytes);
        if (bytes.isEmpty())
            return false;
    }

    QFile file(filePath(index));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const bool written = file.write(bytes) == bytes.size() && file.flush();
    file.close();
    if (!written || file.error() != QFileDevice::NoError) {
        file.remove();
        return false;
    }
    return true;
}

std::optional<QPicture> PageStore::load(int index) const
{
    if (!m_dir || index < 0 || index >= m_count)
        return std::nullopt;
    QFile file(filePath(index));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;

    QByteArray bytes;
    if (m_compress) {
        std::optional<QByteArray> inflated = inflateFile(file, maximumPageBytes);
        if (!inflated)
            return std::nullopt;
        bytes = std::move(*inflated);
    } else {
        if (file.size() > maximumPageBytes)
            return std::nullopt;
        bytes = file.readAll();
    }

    // QPicture::load checks the header and the checksum over the data, so
    // a truncated or overwritten file is refused here instead of played.
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QPicture page;
    if (!page.load(&buffer))
        return std::nullopt;
    return page;
}

void PageStore::close()
{
    if (!m_dir)
        return;
    m_dir->remove();
    m_dir.reset();
}

int PageStore::removeStaleFolders(const QString &tempPath)
{
    const QDir root(tempRoot(tempPath));
    const QFileInfoList entries = root.entryInfoList({folderPrefix + QStringLiteral("*")},
                                                     QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    const qint64 ownPid = QCoreApplication::applicationPid();
    const uint ownUser = ::getuid();
    int removed = 0;
    for (const QFileInfo &entry : entries) {
        if (entry.isSymLink() || !entry.isDir() || entry.ownerId() != ownUser)
            continue;
        // quorin-preview-<pid>-<six characters>
        const QString rest = entry.fileName().mid(folderPrefix.size());
        const qsizetype dash = rest.indexOf(u'-');
        if (dash <= 0 || rest.size() - dash - 1 != 6)
            continue;
        bool ok = false;
        const qint64 pid = rest.left(dash).toLongLong(&ok);
        if (!ok || pid == ownPid || processRuns(pid))
            continue;
        if (QDir(entry.absoluteFilePath()).removeRecursively())
            ++removed;
    }
    return removed;
}

} // namespace print
