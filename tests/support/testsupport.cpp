#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

namespace testsupport {

QString dataPath(const QString &relative)
{
    return QStringLiteral(QUORIN_TEST_DATA_DIR) + QLatin1Char('/') + relative;
}

QString corpusDir()
{
    return QStringLiteral(QUORIN_CORPUS_DIR);
}

QStringList corpusFiles()
{
    QDir dir(corpusDir());
    if (!dir.exists())
        return {};
    QStringList files;
    const auto names = dir.entryList({QStringLiteral("*.rtf")}, QDir::Files, QDir::Name);
    for (const QString &name : names)
        files << dir.filePath(name);
    return files;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void addCorpusRows()
{
    QTest::addColumn<QString>("path");
    const QStringList files = corpusFiles();
    for (const QString &file : files)
        QTest::newRow(qPrintable(QFileInfo(file).fileName())) << file;
    if (files.isEmpty())
        QTest::newRow("no corpus") << QString();
}

qint64 FailingDevice::writeData(const char *data, qint64 len)
{
    const qint64 room = m_limit - m_data.size();
    if (room <= 0)
        return -1;
    const qint64 n = qMin(room, len);
    m_data.append(data, n);
    return n;
}

} // namespace testsupport
