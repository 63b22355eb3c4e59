#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QStringList>

namespace testsupport {

// Absolute path of a file below tests/data.
QString dataPath(const QString &relative);

// The RTF corpus of other programs' files, or an empty list when the corpus
// folder is not there (the caller then skips and says so).
QStringList corpusFiles();
QString corpusDir();

QByteArray readFile(const QString &path);

// Data rows for a test over the corpus: a column "path" with one row per
// file, or a single row with an empty path when the corpus is missing (the
// test then skips with a message saying so).
void addCorpusRows();

// A device that accepts the first `limit` bytes written and then fails, to
// prove that a failed write never destroys what was there before.
class FailingDevice : public QIODevice
{
public:
    explicit FailingDevice(qint64 limit) : m_limit(limit) {}
    QByteArray written() const { return m_data; }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 len) override;

private:
    qint64 m_limit;
    QByteArray m_data;
};

} // namespace testsupport
