// quorin-batch: Quorin's document work without a window.
#include "cli/convertcommand.h"
#include "cli/mergecommand.h"

#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>

namespace {

void printUsage(QTextStream &stream)
{
    stream << "usage:\n"
              "  quorin-batch convert IN OUT     convert a document; OUT ends in .rtf or .txt\n"
              "  quorin-batch merge TEMPLATE INFO... [--overwrite] -o OUT\n"
              "                                  fill the template from each Information file;\n"
              "                                  OUT may hold {name}, the Information file's name\n";
}

// The tool reports its own errors in one line each; Qt's warnings about the
// session it runs in (no runtime folder, no fonts configured) are noise here.
void quietMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

int main(int argc, char **argv)
{
    // Text layout needs a GUI application object, never a display.
    qInstallMessageHandler(quietMessages);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);

    QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h")) {
        printUsage(args.isEmpty() ? err : out);
        return args.isEmpty() ? 1 : 0;
    }
    const QString command = args.takeFirst();
    if (command == QLatin1String("convert"))
        return runConvertCommand(args, out, err);
    if (command == QLatin1String("merge"))
        return runMergeCommand(args, out, err);
    err << "quorin-batch: unknown command '" << command << "'\n";
    printUsage(err);
    return 1;
}
