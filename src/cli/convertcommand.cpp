#include "cli/convertcommand.h"

#include "cli/output.h"
#include "documents/convertjob.h"
#include "documents/documenterror.h"

int runConvertCommand(const QStringList &arguments)
{
    documents::ConvertRequest request;
    request.read = documents::localeReadOptions();
    request.exportOptions = documents::localeExportOptions();
    html::Options &html = request.exportOptions.html;
    QStringList files;
    bool optionsEnded = false;
    for (const QString &arg : arguments) {
        if (optionsEnded || !arg.startsWith(u'-') || arg == u"-")
            files << arg;
        else if (arg == u"--")
            optionsEnded = true;
        else if (arg == u"--direct")
            request.direct = true;
        else if (arg == u"--no-fonts")
            html.noFonts = true;
        else if (arg == u"--optimize")
            html.optimize = true;
        else if (arg == u"--only-definite-opt")
            html.onlyDefiniteOpt = true;
        else
            return cli::usageError(QStringLiteral("convert: unknown option '%1'").arg(arg));
    }
    if (files.size() != 2)
        return cli::usageError(QStringLiteral("convert needs IN and OUT"));
    request.inputPath = files.at(0);
    request.outputPath = files.at(1);
    try {
        documents::runConvertJob(request);
    } catch (const documents::DocumentError &error) {
        return cli::failed(error);
    }
    return cli::exitOk;
}
