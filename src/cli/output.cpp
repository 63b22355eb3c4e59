#include "cli/output.h"

#include "documents/documenterror.h"

#include <cstdio>

namespace cli {

void printOut(const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    fflush(stdout);
}

void printError(const QString &file, const QString &reason)
{
    QString line = QStringLiteral("quorin-batch: ");
    if (!file.isEmpty())
        line += file + QStringLiteral(": ");
    line += reason;
    // A file name or a system message with a line break in it must not
    // make two lines of one error.
    line.replace(u'\n', u' ');
    line.replace(u'\r', u' ');
    const QByteArray bytes = (line + u'\n').toLocal8Bit();
    fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    fflush(stderr);
}

int failed(const documents::DocumentError &error)
{
    printError(error.path(), error.detail());
    return exitFailed;
}

int usageError(const QString &problem)
{
    printError(QString(), problem + QStringLiteral(" (see quorin-batch --help)"));
    return exitUsage;
}

} // namespace cli
