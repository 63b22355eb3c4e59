#pragma once

// Files and small checks shared by the Document Assembly tests.

#include "mainformfixture.h"

#include "editor/richeditor.h"
#include "editor/richeditorlines.h"

#include <QAction>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QtTest>

namespace assemblytest {

// Writes `bytes` to `name` in the folder and returns the path.
inline QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(path));
    file.write(bytes);
    return path;
}

// An RTF template whose text is `body` (RTF source), one paragraph a line.
inline QByteArray templateRtf(const QByteArray &body)
{
    return "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\r\n"
           "\\pard\\f0\\fs20 " + body + "\\par\r\nEnd\\par\r\n}\r\n";
}

// Chooses a file through the Document Assembly item `item`.
inline void choose(MainFormFixture &f, const char *item, const QString &path)
{
    f.dialogs->setNextFileName(path);
    f.action(item)->trigger();
}

inline QStringList paneLines(RichEditor *pane)
{
    return pane->wideLines().toStringList();
}

} // namespace assemblytest
