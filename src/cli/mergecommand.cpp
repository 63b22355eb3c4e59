#include "cli/mergecommand.h"

#include "cli/output.h"
#include "documents/documenterror.h"
#include "documents/mergejob.h"

int runMergeCommand(const QStringList &args)
{
    documents::MergeRequest request;
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
