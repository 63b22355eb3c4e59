#include "cli/convertcommand.h"

#include "richtext/codepage.h"
#include "richtext/rtfexport.h"
#include "richtext/rtfimport.h"
#include "html/rtftohtml.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextStream>

namespace {

enum class OutputKind { Rtf, Text, Html, Unknown };

OutputKind outputKindOf(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("rtf") || suffix == QLatin1String("tem"))
        return OutputKind::Rtf;
    if (suffix == QLatin1String("txt") || suffix == QLatin1String("inf"))
        return OutputKind::Text;
    if (suffix == QLatin1String("html") || suffix == QLatin1String("htm"))
        return OutputKind::Html;
    return OutputKind::Unknown;
}

// Text output is UTF-8 with LF line ends, the Linux norm; page breaks stay
// form feeds so that `pr` and printers still see them.
QByteArray toText(const QByteArray &input)
{
    const int codePage = richtext::codepage::forLcid(richtext::codepage::systemDefaultLcid());
    if (richtext::isRtf(input)) {
        richtext::ImportOptions options;
        options.defaultCodePage = codePage;
        return richtext::rtfToPlainText(input, options).toUtf8();
    }
    QString text = richtext::decodePlainText(input, codePage);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text.toUtf8();
}

QByteArray toRtf(const QByteArray &input)
{
    const int lcid = richtext::codepage::systemDefaultLcid();
    QTextDocument document;
    document.setUndoRedoEnabled(false);
    QTextCursor cursor(&document);
    richtext::ImportOptions importOptions;
    importOptions.defaultCodePage = richtext::codepage::forLcid(lcid);
    if (!richtext::insertRtf(cursor, input, importOptions))
        richtext::insertPlainText(cursor, input, importOptions.defaultCodePage);
    richtext::ExportOptions exportOptions;
    exportOptions.codePage = importOptions.defaultCodePage;
    exportOptions.lcid = lcid;
    return richtext::toRtf(document, exportOptions);
}

} // namespace

int runConvertCommand(const QStringList &arguments, QTextStream &, QTextStream &err)
{
    QStringList args;
    html::Options htmlOptions;
    for (const QString &arg : arguments) {
        if (arg == QLatin1String("--no-fonts"))
            htmlOptions.noFonts = true;
        else if (arg == QLatin1String("--optimize"))
            htmlOptions.optimize = true;
        else if (arg == QLatin1String("--only-definite-opt"))
            htmlOptions.onlyDefiniteOpt = true;
        else
            args << arg;
    }
    if (args.size() != 2) {
        err << "usage: quorin-batch convert [--no-fonts] [--optimize] [--only-definite-opt] IN OUT"
               "  (OUT ends in .rtf, .txt or .html)\n";
        return 1;
    }
    const QString &inPath = args.at(0);
    const QString &outPath = args.at(1);
    const OutputKind kind = outputKindOf(outPath);
    if (kind == OutputKind::Unknown) {
        err << "quorin-batch: cannot write '" << outPath
            << "': the output name must end in .rtf, .txt or .html\n";
        return 1;
    }
    if (kind == OutputKind::Html) {
        // The converter reads the file as it is and streams the page out,
        // replacing an older page only once the new one is complete.
        const html::Result result = html::rtfToHtmlFile(QFile::encodeName(inPath).toStdString(),
                                                        QFile::encodeName(outPath).toStdString(),
                                                        htmlOptions);
        if (!result.ok) {
            err << "quorin-batch: cannot convert '" << inPath
                << "': " << QString::fromStdString(result.error) << '\n';
            return 1;
        }
        return 0;
    }
    QFile in(inPath);
    if (!in.open(QIODevice::ReadOnly)) {
        err << "quorin-batch: cannot read '" << inPath << "': " << in.errorString() << '\n';
        return 1;
    }
    const QByteArray input = in.readAll();
    in.close();

    const QByteArray output = kind == OutputKind::Text ? toText(input) : toRtf(input);

    // Written beside the target and renamed, so a failure never leaves a
    // half-written file in place of an old one.
    QSaveFile out(outPath);
    if (!out.open(QIODevice::WriteOnly) || out.write(output) != output.size() || !out.commit()) {
        err << "quorin-batch: cannot write '" << outPath << "': " << out.errorString() << '\n';
        return 1;
    }
    return 0;
}
