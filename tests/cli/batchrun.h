#pragma once

// Running quorin-batch as a user runs it, for the tests of this folder.

#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

using testsupport::readFile;

struct BatchRun {
    int exitCode = -1;
    QByteArray out, err;
};

// `faults` goes to the atomic write's test hook, QUORIN_TEST_WRITE_FAULTS.
inline BatchRun runBatch(const QStringList &args, const QString &dir, const QString &faults = {})
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QUORIN_TEST_WRITE_FAULTS"), faults);
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(dir);
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

// Hidden files (a forgotten temporary) included.
inline QStringList filesIn(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// An error is one line: the tool's name, then `start` (the file concerned).
inline bool isOneErrorLine(const QByteArray &err, const QString &start)
{
    return err.startsWith("quorin-batch: " + start.toLocal8Bit()) && err.count('\n') == 1
        && err.endsWith('\n');
}
