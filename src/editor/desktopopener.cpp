#include "editor/desktopopener.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <memory>

namespace desktop {

namespace {

Opener &opener()
{
    static Opener current;
    return current;
}

bool ask(const QUrl &url)
{
    if (opener())
        return opener()(url);
    return QDesktopServices::openUrl(url);
}

// A file the desktop would start rather than show: a program, a script
// marked executable, a launcher.
bool couldRun(const QString &path)
{
    const QFileInfo info(path);
    if (info.isDir())
        return false;
    return info.isExecutable() || info.suffix().compare(QLatin1String("desktop"), Qt::CaseInsensitive) == 0;
}

} // namespace

bool isOpenableScheme(const QUrl &url)
{
    static const QStringList schemes = {QStringLiteral("http"), QStringLiteral("https"),
                                        QStringLiteral("mailto"), QStringLiteral("file"),
                                        QStringLiteral("ftp")};
    return url.isValid() && schemes.contains(url.scheme().toLower());
}

OpenResult openLink(const QString &target)
{
    QUrl url(target, QUrl::TolerantMode);
    if (!isOpenableScheme(url))
        return OpenResult::Refused;
    if (url.isLocalFile()) {
        // "file:c:\dir\x" and other Windows forms name no file here.
        const QString path = url.toLocalFile();
        if (path.isEmpty() || !QFileInfo::exists(path))
            return OpenResult::Failed;
        if (couldRun(path))
            return OpenResult::Refused;
    }
    return ask(url) ? OpenResult::Opened : OpenResult::Failed;
}

OpenResult openFile(const QString &path)
{
    if (!QFileInfo::exists(path))
        return OpenResult::Failed;
    if (couldRun(path))
        return OpenResult::Refused;
    return ask(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath())) ? OpenResult::Opened
                                                                        : OpenResult::Failed;
}

void setOpener(Opener replacement)
{
    opener() = std::move(replacement);
}

QString privateFolder()
{
    // Destroyed with the other statics when the program ends, which
    // removes the folder and every copy written into it.
    static std::unique_ptr<QTemporaryDir> folder;
    if (!folder || !folder->isValid())
        folder = std::make_unique<QTemporaryDir>(QDir::tempPath() + QLatin1String("/quorin-XXXXXX"));
    return folder->isValid() ? folder->path() : QString();
}

} // namespace desktop
