#include "app/dialogs/dialogs.h"
#include "app/mainform.h"
#include "app/quorinapplication.h"

int main(int argc, char *argv[])
{
    QuorinApplication app(argc, argv);

    // The main window, and with it the hidden help window; closing the main
    // window ends the program.
    MainForm form;
    app.setErrorReporter([&form](const QString &message) { form.dialogs().error(&form, message); });
    form.show();
    return app.exec();
}
