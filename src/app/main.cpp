#include "app/commandline.h"
#include "app/dialogs/dialogs.h"
#include "app/mainform.h"
#include "app/quorinapplication.h"

#include <cstdio>
#include <cstring>

namespace {

// --help must answer without a display, so it is seen before the
// application connects to one.
bool asksForHelp(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0)
            return false;
        if (std::strcmp(argv[i], "-h") == 0 || std::strcmp(argv[i], "--help") == 0)
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    if (asksForHelp(argc, argv)) {
        std::fputs(qPrintable(commandLineUsage()), stdout);
        return 0;
    }
    QuorinApplication app(argc, argv);
    // Lets the desktop match the window to its launcher and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.quorin.Quorin"));

    const CommandLine line = parseCommandLine(QCoreApplication::arguments());
    if (!line.error.isEmpty()) {
        std::fputs(qPrintable(line.error + u'\n' + commandLineUsage()), stderr);
        return 2;
    }
    if (line.help) {
        std::fputs(qPrintable(commandLineUsage()), stdout);
        return 0;
    }

    // The main window, and with it the hidden help window; closing the main
    // window ends the program.
    MainForm form;
    app.setErrorReporter([&form](const QString &message) { form.dialogs().error(&form, message); });
    form.show();
    form.openFiles(line.files);
    return app.exec();
}
