#pragma once

// The preview's pages on disk. Every finished page is a file of its own,
// "PreviewMetafile<index>" (index 0 is page 1) holding the QPicture as
// QPicture::save writes it, or with compression "PreviewMetafile<index>.CPR":
// those same bytes deflated by zlib at level 1 (a plain zlib stream). Only
// the page being shown or printed is ever in memory.
//
// The files live in a folder of their own under the system's temporary
// folder, made for this store alone (mode 0700), so two previews open at
// once never share a file name and no other user can read or plant a page.
// The folder is named "quorin-preview-<pid>-XXXXXX": a process that died
// without removing its folder leaves it behind, and the next store made on
// this machine removes such folders of processes that no longer run.

#include <QPicture>
#include <QString>

#include <memory>
#include <optional>

class QTemporaryDir;

namespace print {

class PageStore
{
public:
    explicit PageStore(bool compress);
    // Removes every page file and the folder.
    ~PageStore();
    PageStore(const PageStore &) = delete;
    PageStore &operator=(const PageStore &) = delete;

    bool compress() const { return m_compress; }
    // False when no private folder could be made, or after close().
    bool isOpen() const;
    QString folder() const;

    // "PreviewMetafile3" or "PreviewMetafile3.CPR".
    static QString fileName(int index, bool compress);
    QString filePath(int index) const;

    // Pages stored so far, those that could not be written included.
    int count() const { return m_count; }

    // Stores `page` as page count(). The index is taken even when the file
    // cannot be written, so the pages after it keep their numbers (the lost
    // one shows as nothing); false then, and no partial file is left.
    bool store(const QPicture &page);

    // Page `index`, or nothing when its file is missing, cannot be read or
    // holds no valid picture.
    std::optional<QPicture> load(int index) const;

    // Removes every page file and the folder. The store takes no pages
    // after this.
    void close();

    // Removes the folders that stores of processes no longer running left
    // under `tempPath` (the system's temporary folder when empty). Only
    // folders of this user with exactly this store's name pattern go.
    // Returns how many were removed.
    static int removeStaleFolders(const QString &tempPath = QString());

    // The largest page a file may unpack to; more is taken as damage.
    static constexpr qint64 maximumPageBytes = qint64(512) * 1024 * 1024;

private:
    bool m_compress;
    int m_count = 0;
    std::unique_ptr<QTemporaryDir> m_dir;
};

} // namespace print
