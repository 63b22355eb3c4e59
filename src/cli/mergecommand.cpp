#include "cli/mergecommand.h"

#include "cli/output.h"
#include "documents/documenterror.h"
#include "documents/mergejob.h"

#include <QThread>

#include <algorithm>

namespace {

// More threads than this only add memory and temporary files.
constexpr int maxJobs = 256;

} // namespace

int runMergeCommand(const QStringList &args)
{
    documents::MergeRequest request;
    // As many threads as the machine has cores: merging and converting keep
    // a core each busy, and writing waits for the disk meanwhile.
    request.jobs = std::max(QThread::idealThreadCount(), 1);
    request.read = documents::localeReadOptions();
    request.exportOptions = documents::localeExportOptions();
    QStringList files;
    bool optionsEnded = false;
    bool outputGiven = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (optionsEnded || !arg.startsWith(u'-') || arg == u"-") {
            files << arg;
        } else if (arg == u"--") {
            optionsEnded = true;
        } else if (arg == u"--overwrite") {
            request.overwrite = true;
        } else if (arg == u"-j" || arg == u"--jobs" || arg.startsWith(u"--jobs=")
            || (arg.startsWith(u"-j") && arg.size() > 2)) {
            QString count;
            if (arg == u"-j" || arg == u"--jobs") {
                if (i + 1 >= args.size())
                    return cli::usageError(QStringLiteral("merge: %1 needs a number of threads").arg(arg));
                count = args.at(++i);
            } else {
                count = arg.mid(arg.startsWith(u"--") ? 7 : 2);
            }
            bool ok = false;
            request.jobs = count.toInt(&ok);
            if (!ok || request.jobs < 1 || request.jobs > maxJobs)
                return cli::usageError(
                    QStringLiteral("merge: -j takes a number of threads from 1 to %1, not '%2'")
                        .arg(maxJobs)
                        .arg(count));
        } else if (arg == u"--name-column") {
            if (i + 1 >= args.size())
                return cli::usageError(QStringLiteral("merge: --name-column needs a heading"));
            request.nameColumn = args.at(++i);
        } else if (arg.startsWith(u"--name-column=")) {
            request.nameColumn = arg.mid(14);
        } else if (arg == u"-o" || arg == u"--output") {
            if (i + 1 >= args.size())
                return cli::usageError(QStringLiteral("merge: %1 needs a file name").arg(arg));
            request.outputPattern = args.at(++i);
            outputGiven = true;
        } else if (arg.startsWith(u"--output=")) {
            request.outputPattern = arg.mid(9);
            outputGiven = true;
        } else {
            return cli::usageError(QStringLiteral("merge: unknown option '%1'").arg(arg));
        }
    }
    if (files.size() < 2)
        return cli::usageError(
            QStringLiteral("merge needs a Template file and at least one Information file"));
    if (!outputGiven || request.outputPattern.isEmpty())
        return cli::usageError(QStringLiteral("merge needs an output file (-o OUT)"));
    request.templatePath = files.takeFirst();
    request.informationPaths = files;

    try {
        documents::runMergeJob(request, [](const documents::MergeOutput &output) {
            cli::printOut(output.report() + u'\n');
        });
    } catch (const documents::DocumentError &error) {
        return cli::failed(error);
    }
    return cli::exitOk;
}
