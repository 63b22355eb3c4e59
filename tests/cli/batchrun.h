#pragma once

// Running quorin-batch as a user runs it, for the tests of this folder.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTest>

struct BatchRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// `environment` entries "NAME=value" are added to the test's own.
inline BatchRun runBatch(const QStringList &args, const QStringList &environment = {},
    const QString &workingDirectory = {})
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString &entry : environment)
        env.insert(entry.section(u'=', 0, 0), entry.section(u'=', 1));
    process.setProcessEnvironment(env);
    if (!workingDirectory.isEmpty())
        process.setWorkingDirectory(workingDirectory);
    process.start(QStringLiteral(QUORIN_BATCH), args);
    if (!process.waitForFinished(240000))
        process.kill();
    return { process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
        process.readAllStandardOutput(), process.readAllStandardError() };
}

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Everything in a folder, hidden files (a forgotten temporary) included.
inline QStringList filesIn(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// An error is one line that names the tool, then the file.
inline bool isOneErrorLine(const QByteArray &err, const QString &file = {})
{
    const QByteArray prefix = "quorin-batch: " + file.toLocal8Bit();
    return err.startsWith(prefix) && err.endsWith('\n') && err.count('\n') == 1;
}
