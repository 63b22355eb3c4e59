#include "app/programfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#ifndef QUORIN_DATA_RELATIVE
#define QUORIN_DATA_RELATIVE "../share/quorin"
#endif

namespace {

QString &overrideFolder()
{
    static QString folder;
    return folder;
}

QString withSlash(const QString &folder)
{
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

} // namespace

QString programFolder()
{
    if (!overrideFolder().isEmpty())
        return withSlash(overrideFolder());

    return findProgramFolder(QCoreApplication::applicationDirPath(), QStringLiteral(QUORIN_DATA_RELATIVE));
}

QString findProgramFolder(const QString &exeDir, const QString &dataRelative)
{
    // The build tree: the help file was copied beside the binary.
    if (QFileInfo::exists(exeDir + QStringLiteral("/qrnhelp.htm")))
        return withSlash(exeDir);
    // Installed: bin/quorin finds its data in share/quorin.
    const QString installed = QDir::cleanPath(exeDir + u'/' + dataRelative);
    if (QFileInfo(installed).isDir())
        return withSlash(installed);
    return withSlash(exeDir);
}

QString helpFilePath()
{
    return programFolder() + QStringLiteral("qrnhelp.htm");
}

void setProgramFolderOverride(const QString &folder)
{
    overrideFolder() = folder;
}
