// quorin-batch: Quorin's document work without a window.
#include "cli/checkcommand.h"
#include "cli/convertcommand.h"
#include "cli/mergecommand.h"
#include "cli/output.h"

#include <QGuiApplication>

namespace {

const char usage[] = R"(usage:
  quorin-batch convert [--direct] [--no-fonts] [--optimize] [--only-definite-opt] IN OUT
  quorin-batch merge TEMPLATE INFO... [--overwrite] [--name-column HEADING] [-j N] -o OUT
  quorin-batch check TEMPLATE INFO... [--overwrite] [--json]
  quorin-batch --help

convert  Reads IN (RTF, or text in UTF-8, UTF-16 with a byte-order mark or
         the locale's code page) and writes it as the kind of file OUT names:
         .rtf .tem .inf  RTF as Quorin writes it
         .txt            the document's text in UTF-8
         .htm .html      a web page: the document is written as RTF by Quorin
                         first and that is converted, so the page is the one
                         the window's Save As gives for the same document
         .pdf            the document laid out on the page its RTF names
                         (paper size and margins; RTF's Letter page when it
                         names none), paginated as the window prints it,
                         its text searchable, its fonts embedded
         Any other extension is refused.
         --direct        (HTML only) convert IN's bytes as they are, without
                         reading them into a document first; the page is then
                         titled by IN as given
         --no-fonts, --optimize, --only-definite-opt
                         the HTML converter's options; other outputs ignore them
merge    Replaces each token @N of TEMPLATE by the value line of entry N of
         each Information file INFO and writes one finished document per
         INFO, in the format OUT's extension names (as for convert). OUT may
         hold {name}, the Information file's name without its last extension;
         it must when there is more than one INFO. The template is read as the
         window's Do It reads it: a byte-order mark is dropped, NUL padding at
         its end is cut, a NUL followed by more text is refused. Information
         files may be UTF-8, UTF-16 with a byte-order mark, or the template's
         code page; each needs an even number of lines. Braces and
         backslashes in a value that would break the RTF are escaped;
         control words such as \par still act.
         An INFO file named .csv is a table: its first row holds the
         headings, and every further row is one Information file (quoted
         fields may hold commas, quotes and line breaks; a line break in a
         value becomes a line break in the document). {name} then stands for
         the row's value in the --name-column, made safe for a file name.
         --overwrite     overwrite mode: a value overwrites the template's
                         text after the token instead of being inserted;
                         it never overwrites RTF markup
         --name-column HEADING
                         the table column that names each output; default:
                         the first
         -j N            merge, convert and write on N threads (default: one
                         per core); the outputs and messages are the same as
                         with -j 1, in the same order
         Prints "N replacements were made: OUTPUT" for each file written.
check    Reports, without merging, what would go wrong in a merge of
         TEMPLATE with each INFO (.inf or .csv, as for merge), one line each:
         "FILE:LINE:COLUMN: kind: detail". Kinds: token with no entry, unused
         entry, empty value, duplicate heading, merge ends early (an "@" with
         no digit after it), split token (formatting between "@" and its
         digits), RTF in value, value too long (with --overwrite: more than
         the token and its fill of _ . or spaces hold), token in
         header/footer/footnote, value refers to itself, unusable template,
         unusable information.
         --overwrite     check for an overwrite merge
         --json          print a JSON array of objects with file, line,
                         column, kind, severity (error, warning, note),
                         detail and textPosition (the place's character
                         position in the template as a document, or null)
         Exit status: 0 no findings, 1 findings, 2 a usage error or a file
         that cannot be read.

Before anything is written, quorin-batch refuses an output that is an input
(also through a link or another spelling of its path), two Information files
that would write one output, and, for merge, any Information file that cannot
be read or merged. Every output is written to a temporary file beside it and
renamed into place only when complete, so a failure leaves the old file as it
was and never a partial one. If writing fails part way through a merge (a
full disk), the outputs already written stay: each is complete and correct;
the rest are not written.

Errors are printed as one line, "quorin-batch: FILE: reason". Exit status of
convert and merge: 0 when every output was written, 1 when something failed,
2 for a usage error.
)";

// The tool reports its own errors in one line each; Qt's warnings about the
// session it runs in (no runtime folder, no fonts configured) are noise here.
void quietMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        cli::printError(QString(), message);
}

} // namespace

int main(int argc, char **argv)
{
    // Text layout needs a GUI application object, never a display.
    qInstallMessageHandler(quietMessages);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QStringList args = app.arguments().mid(1);
    if (!args.isEmpty() && (args.first() == u"--help" || args.first() == u"-h")) {
        cli::printOut(QString::fromUtf8(usage));
        return cli::exitOk;
    }
    if (args.isEmpty())
        return cli::usageError(QStringLiteral("no command given"));
    const QString command = args.takeFirst();
    if (command == u"convert")
        return runConvertCommand(args);
    if (command == u"merge")
        return runMergeCommand(args);
    if (command == u"check")
        return runCheckCommand(args);
    return cli::usageError(QStringLiteral("unknown command '%1'").arg(command));
}
