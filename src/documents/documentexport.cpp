#include "documents/documentexport.h"

#include "documents/documenterror.h"
#include "richtext/codepage.h"
#include "richtext/documentio.h"
#include "richtext/rtfexport.h"

#include <QTextDocument>

#include <sstream>

namespace documents {

ExportOptions localeExportOptions()
{
    ExportOptions options;
    options.lcid = richtext::codepage::systemDefaultLcid();
    options.codePage = richtext::codepage::forLcid(options.lcid);
    return options;
}

QByteArray exportDocument(const QTextDocument &document, FileFormat format,
    const ExportOptions &options)
{
    switch (format) {
    case FileFormat::Text:
        return richtext::plainText(document, 0, -1, false).toUtf8();
    case FileFormat::Pdf:
        return exportPdf(document, options.pdf);
    case FileFormat::Rtf:
    case FileFormat::Html: {
        richtext::ExportOptions rtfOptions;
        rtfOptions.codePage = options.codePage;
        rtfOptions.lcid = options.lcid;
        rtfOptions.plainRtf = options.plainRtf;
        const QByteArray rtf = richtext::toRtf(document, rtfOptions);
        if (format == FileFormat::Rtf)
            return rtf;
        return htmlPageFromRtf(rtf, options.html);
    }
    }
    return {};
}

QByteArray htmlPageFromRtf(QByteArrayView rtf, const html::Options &options)
{
    html::Options titled = options;
    // The window's Save As has always titled its pages by the scratch file
    // it converted, "$$$"; the pages people keep say so, and stay as they were.
    if (titled.title.empty())
        titled.title = "$$$";
    std::istringstream input(std::string(rtf.data(), size_t(rtf.size())));
    std::ostringstream output;
    const html::Result result = html::rtfToHtml(input, output, titled);
    if (!result.ok) {
        // The bytes have no file name here; callers that know it say it.
        throw DocumentError(QStringLiteral("Cannot convert the document to HTML"), QString(),
            QString::fromStdString(result.error));
    }
    return QByteArray::fromStdString(output.str());
}

} // namespace documents
