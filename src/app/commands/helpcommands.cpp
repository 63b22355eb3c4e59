#include "app/commands/helpcommands.h"

#include "app/dialogs/helpform.h"
#include "app/programfolder.h"

HelpCommands::HelpCommands(HelpForm &helpForm, QObject *parent)
    : QObject(parent)
    , m_helpForm(helpForm)
{
}

void HelpCommands::g1Click()
{
    m_helpForm.showHelp(helpFilePath());
}
