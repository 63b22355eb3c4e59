#include "documents/atomicwrite.h"

#include "documents/documenterror.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <mutex>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace documents {

namespace {

const QString cannotWrite = QStringLiteral("Cannot write file");

// Big enough to write a large document in few calls, small enough that
// "fail the Nth write" lands in the middle of a document of some size.
constexpr qsizetype chunkSize = 64 * 1024;

enum class Step { Write, Flush, Sync, Rename };

class FaultInjector {
public:
    static FaultInjector &instance()
    {
        static FaultInjector injector;
        return injector;
    }

    void set(const WriteFaults &faults)
    {
        std::lock_guard lock(m_mutex);
        m_faults = faults;
        m_writes = 0;
    }

    // Whether this step is to fail now; counts write calls.
    bool fails(Step step)
    {
        std::lock_guard lock(m_mutex);
        switch (step) {
        case Step::Write:
            ++m_writes;
            return m_faults.failWrite > 0 && m_writes == m_faults.failWrite;
        case Step::Flush:
            return m_faults.failFlush;
        case Step::Sync:
            return m_faults.failSync;
        case Step::Rename:
            return m_faults.failRename;
        }
        return false;
    }

private:
    FaultInjector() { m_faults = fromEnvironment(); }

    static WriteFaults fromEnvironment()
    {
        WriteFaults faults;
        const QByteArray requested = qgetenv("QUORIN_TEST_WRITE_FAULTS");
        for (const QByteArray &item : requested.split(',')) {
            const QByteArray word = item.trimmed();
            if (word.startsWith("write="))
                faults.failWrite = word.mid(6).toInt();
            else if (word == "flush")
                faults.failFlush = true;
            else if (word == "sync")
                faults.failSync = true;
            else if (word == "rename")
                faults.failRename = true;
        }
        return faults;
    }

    std::mutex m_mutex;
    WriteFaults m_faults;
    int m_writes = 0;
};

// The file a write of `path` replaces: the file a symbolic link names, so
// that saving through a link updates what it points at instead of turning
// the link into a file of its own.
QString resolvedTarget(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isSymLink())
        return info.absoluteFilePath();
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.symLinkTarget() : canonical;
}

QString temporaryName(const QString &target)
{
    const QFileInfo info(target);
    // Hidden, recognisably ours, and short enough that a long target name
    // still leaves room within the file system's name limit.
    const QString stem = info.fileName().left(96);
    const quint64 random = QRandomGenerator::system()->generate64();
    return info.absolutePath() + QStringLiteral("/.") + stem + u'.'
        + QString::number(random, 36) + QStringLiteral(".tmp");
}

// The temporary file while it exists: closed and removed unless committed.
class Temporary {
public:
    ~Temporary()
    {
        if (fd >= 0)
            ::close(fd);
        if (!name.isEmpty() && !committed)
            ::unlink(name.constData());
    }
    int fd = -1;
    QByteArray name;
    bool committed = false;
};

[[noreturn]] void fail(const QString &path, int error)
{
    throw DocumentError(cannotWrite, path, qt_error_string(error));
}

// Whether a test asked this step to fail; then errno says how, and the
// step itself is not taken.
bool injected(Step step, int error)
{
    if (!FaultInjector::instance().fails(step))
        return false;
    errno = error;
    return true;
}

} // namespace

void setWriteFaultsForTesting(const WriteFaults &faults)
{
    FaultInjector::instance().set(faults);
}

void writeFileAtomically(const QString &path, QByteArrayView bytes)
{
    stageFileAtomically(path, bytes).commit();
}

StagedFile::StagedFile(StagedFile &&other) noexcept
    : m_path(std::move(other.m_path))
    , m_temporary(std::exchange(other.m_temporary, {}))
    , m_target(std::move(other.m_target))
{
}

StagedFile &StagedFile::operator=(StagedFile &&other) noexcept
{
    if (this != &other) {
        if (!m_temporary.isEmpty())
            ::unlink(m_temporary.constData());
        m_path = std::move(other.m_path);
        m_temporary = std::exchange(other.m_temporary, {});
        m_target = std::move(other.m_target);
    }
    return *this;
}

StagedFile::~StagedFile()
{
    if (!m_temporary.isEmpty())
        ::unlink(m_temporary.constData());
}

void StagedFile::commit()
{
    if (m_temporary.isEmpty())
        throw DocumentError(cannotWrite, m_path, QStringLiteral("nothing staged"));
    if (injected(Step::Rename, EIO) || ::rename(m_temporary.constData(), m_target.constData()) != 0)
        fail(m_path, errno);
    // The folder is not synced after the rename: after a crash the target
    // is the old file or the new one, both complete either way.
    m_temporary.clear();
}

StagedFile stageFileAtomically(const QString &path, QByteArrayView bytes)
{
    if (path.isEmpty())
        throw DocumentError(cannotWrite, path, QStringLiteral("No file name"));
    const QString target = resolvedTarget(path);
    const QByteArray targetName = QFile::encodeName(target);

    struct stat old {};
    const bool exists = ::stat(targetName.constData(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode))
        fail(path, EISDIR);

    Temporary temporary;
    for (int attempt = 0; temporary.fd < 0; ++attempt) {
        temporary.name = QFile::encodeName(temporaryName(target));
        // Exclusive creation: a name another writer holds is never shared,
        // only tried again under a new random name. Mode 0666 lets the
        // umask decide for a new file, as for any file the user creates.
        temporary.fd = ::open(temporary.name.constData(),
            O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (temporary.fd < 0) {
            const int error = errno;
            temporary.name.clear(); // not ours to remove
            if (error != EEXIST || attempt >= 100)
                fail(path, error);
        }
    }

    if (exists) {
        // Giving the file back to its owner only works for root; for
        // anyone else keeping the group is the most that can be done, and
        // neither is a reason to refuse the save.
        if (old.st_uid != ::geteuid() || old.st_gid != ::getegid())
            (void)!::fchown(temporary.fd, old.st_uid, old.st_gid);
        if (::fchmod(temporary.fd, old.st_mode & 07777) != 0)
            fail(path, errno);
    }

    const char *data = bytes.data();
    for (qsizetype done = 0; done < bytes.size();) {
        const size_t wanted = size_t(std::min(chunkSize, bytes.size() - done));
        const ssize_t n = injected(Step::Write, ENOSPC) ? -1 : ::write(temporary.fd, data + done, wanted);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail(path, errno);
        }
        if (n == 0)
            fail(path, ENOSPC);
        done += n;
    }

    // Data and size on the disk before the name points at them, or a crash
    // right after the rename could leave an empty file under the old name.
    if (injected(Step::Sync, EIO) || ::fsync(temporary.fd) != 0)
        fail(path, errno);
    // close() is where some file systems (NFS above all) report deferred
    // write errors; the descriptor is gone whatever it returns.
    const int fd = temporary.fd;
    temporary.fd = -1;
    const bool flushFails = injected(Step::Flush, ENOSPC);
    if (::close(fd) != 0 || flushFails)
        fail(path, flushFails ? ENOSPC : errno);

    StagedFile staged;
    staged.m_path = path;
    staged.m_target = targetName;
    staged.m_temporary = temporary.name;
    temporary.committed = true; // the staged file removes it from now on
    return staged;
}

} // namespace documents
