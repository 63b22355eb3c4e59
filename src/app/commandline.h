#pragma once

// What `quorin FILE...` asks for. Each file opens as its menu command would
// open it: an Information file (".inf") into the information pane, a
// Template (".tem") into the template pane, anything else as the document.
// The extensions are the ones the two Document Assembly commands list.

#include <QList>
#include <QString>
#include <QStringList>

enum class FileRole { Document, Information, Template };

// By the extension, in any case: ".inf" and ".tem"; everything else,
// no extension included, is a document.
FileRole fileRoleFor(const QString &path);

struct StartupFile
{
    QString path; // absolute
    FileRole role = FileRole::Document;
};

struct CommandLine
{
    QList<StartupFile> files;
    bool help = false;
    // Set when the arguments make no sense; the program says so and stops.
    QString error;
};

// `arguments` as QCoreApplication::arguments() gives them, the program
// first (Qt has taken its own options out). Relative paths are taken from
// the current folder; "file://" URLs, as desktop launchers pass them, are
// local paths. "--" ends the options, so a file may begin with "-".
CommandLine parseCommandLine(const QStringList &arguments);

// The text of --help.
QString commandLineUsage();
