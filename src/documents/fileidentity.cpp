#include "documents/fileidentity.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace documents {

QString fileIdentity(const QString &path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) == 0)
        return QStringLiteral("inode:%1:%2").arg(quint64(st.st_dev)).arg(quint64(st.st_ino));
    QFileInfo info(path);
    if (info.isSymLink()) // dangling: a write goes to where it points
        info = QFileInfo(info.symLinkTarget());
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return QStringLiteral("path:")
        + (folder.isEmpty() ? info.absoluteFilePath() : folder + u'/' + info.fileName());
}

} // namespace documents
