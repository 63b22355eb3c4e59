#pragma once

#include <QString>

namespace documents {

// A key that is equal for two paths exactly when they name one file: the
// device and inode of a file that exists (so a symbolic link, a hard link
// or another spelling of the path is found out), else the path with its
// folder resolved (for outputs that do not exist yet).
QString fileIdentity(const QString &path);

inline bool isSameFile(const QString &a, const QString &b)
{
    return fileIdentity(a) == fileIdentity(b);
}

} // namespace documents
