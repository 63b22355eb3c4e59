#pragma once

// Every file Quorin writes, from the window or the command line, is written
// through here, so that a failure can never leave a target empty, partial or
// mixed with another writer's bytes.

#include <QByteArrayView>
#include <QString>

namespace documents {

// Writes `bytes` as the whole new content of `path`:
//  - into a temporary file of a unique name in the target's folder, created
//    exclusively, so two writers (threads or processes) of one target never
//    share it;
//  - in chunks, every write checked; then synced to the disk and closed,
//    both checked;
//  - then renamed over the target, which is therefore either the old file or
//    the complete new one at every moment.
// An existing target keeps its permission bits; a symbolic link is written
// through to the file it names. On any failure the old file is untouched,
// the temporary file removed, and DocumentError thrown
// (`Cannot write file "...": reason`). Nothing stays open after the call.
void writeFileAtomically(const QString &path, QByteArrayView bytes);

// The same write in two steps, for a writer that prepares several files at
// once but lets them appear in a fixed order: stageFileAtomically does
// everything up to the rename (the temporary written, synced and closed:
// nothing stays open), commit() renames it over the target. A staged file
// destroyed without a commit removes its temporary. Both steps throw
// DocumentError as writeFileAtomically does.
class StagedFile {
public:
    StagedFile() = default;
    StagedFile(StagedFile &&other) noexcept;
    StagedFile &operator=(StagedFile &&other) noexcept;
    StagedFile(const StagedFile &) = delete;
    StagedFile &operator=(const StagedFile &) = delete;
    ~StagedFile();

    void commit();

private:
    friend StagedFile stageFileAtomically(const QString &path, QByteArrayView bytes);
    QString m_path; // as the caller named it, for messages
    QByteArray m_temporary;
    QByteArray m_target;
};
StagedFile stageFileAtomically(const QString &path, QByteArrayView bytes);

// Test hook: makes the next atomic writes fail at a chosen step, as a full
// disk or a failing device would, so tests can prove nothing is lost.
// Without it a disk-full case can only be shown on a nearly full filesystem.
struct WriteFaults {
    int failWrite = 0; // fail the Nth write call (1-based) from now on; 0 never
    bool failFlush = false; // fail the close that hands the file back (where
                            // network filesystems report deferred errors)
    bool failSync = false; // fail the sync to disk
    bool failRename = false; // fail the rename over the target
};
// Replaces the faults in force (and restarts the write count).
void setWriteFaultsForTesting(const WriteFaults &faults);

// The same hook for tests that run a program as a process: the environment
// variable QUORIN_TEST_WRITE_FAULTS, read once at the first atomic write,
// holds comma-separated faults: "write=N", "flush", "sync", "rename"
// (for instance "write=2" fails the second write call of the process).
// Not meant for users; unset, nothing fails on purpose.

} // namespace documents
