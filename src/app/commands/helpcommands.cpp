#include "app/commands/helpcommands.h"

#include "app/dialogs/helpform.h"
#include "app/mainform.h"
#include "app/programfolder.h"

HelpCommands::HelpCommands(MainForm &form)
    : QObject(&form)
    , m_form(form)
{
    m_form.connectCommand(m_form.action(QStringLiteral("G1")), [this] { g1Click(); });
}

void HelpCommands::g1Click()
{
    m_form.helpForm()->showHelp(helpFilePath());
}
