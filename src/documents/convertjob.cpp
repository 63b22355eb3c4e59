#include "documents/convertjob.h"

#include "documents/atomicwrite.h"
#include "documents/documenterror.h"
#include "documents/fileformat.h"
#include "documents/fileidentity.h"

#include <QFileInfo>
#include <QTextDocument>

namespace documents {

void runConvertJob(const ConvertRequest &request)
{
    const QString cannotWrite = QStringLiteral("Cannot write file");
    const auto format = formatForFileName(request.outputPath, FormatPolicy::CommandLine);
    if (!format)
        throw DocumentError(cannotWrite, request.outputPath,
            QStringLiteral("the name must end in one of %1").arg(commandLineExtensions()));
    if (request.direct && *format != FileFormat::Html)
        throw DocumentError(cannotWrite, request.outputPath,
            QStringLiteral("--direct writes only .htm and .html files"));
    if (isSameFile(request.inputPath, request.outputPath))
        throw DocumentError(cannotWrite, request.outputPath,
            QStringLiteral("it is the input file"));

    const QByteArray input = readFileBytes(request.inputPath);
    QByteArray output;
    try {
        if (request.direct) {
            html::Options options = request.exportOptions.html;
            options.title = request.inputPath.toStdString();
            output = htmlPageFromRtf(input, options);
        } else {
            QTextDocument document;
            readDocument(document, input, request.read);
            ExportOptions options = request.exportOptions;
            if (options.pdf.title.isEmpty())
                options.pdf.title = QFileInfo(request.inputPath).completeBaseName();
            output = exportDocument(document, *format, options);
        }
    } catch (const DocumentError &error) {
        throw DocumentError(QStringLiteral("Cannot convert file"), request.inputPath, error.reason());
    }
    writeFileAtomically(request.outputPath, output);
}

} // namespace documents
