#include "app/commandline.h"

#include "documents/fileformat.h"

#include <QFileInfo>
#include <QUrl>

FileRole fileRoleFor(const QString &path)
{
    const QString extension = documents::fileExtension(path);
    if (extension == u".INF")
        return FileRole::Information;
    if (extension == u".TEM")
        return FileRole::Template;
    return FileRole::Document;
}

CommandLine parseCommandLine(const QStringList &arguments)
{
    CommandLine line;
    bool options = true;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        QString argument = arguments.at(i);
        if (argument.isEmpty())
            continue;
        if (options && argument == u"--") {
            options = false;
            continue;
        }
        if (options && (argument == u"-h" || argument == u"--help")) {
            line.help = true;
            continue;
        }
        if (options && argument.startsWith(u'-') && argument != u"-") {
            line.error = QStringLiteral("quorin: unknown option \"%1\"").arg(argument);
            return line;
        }
        if (argument.startsWith(QLatin1String("file://"))) {
            const QString local = QUrl(argument).toLocalFile();
            if (!local.isEmpty())
                argument = local;
        }
        const QString path = QFileInfo(argument).absoluteFilePath();
        line.files.append({path, fileRoleFor(path)});
    }
    return line;
}

QString commandLineUsage()
{
    return QStringLiteral(
        "Usage: quorin [FILE]...\n"
        "Opens each FILE in the window: a .inf file as the Information file, a .tem file as the\n"
        "Template, any other file as the document.\n"
        "\n"
        "  -h, --help  show this text\n");
}
