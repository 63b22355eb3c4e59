#include "app/commands/helpcommands.h"

#include "app/dialogs/helpform.h"
#include "app/programfolder.h"
#include "widgets/aboutbox.h"
#include "widgets/creditsform.h"
#include "widgets/tipofdaydialog.h"

#include <QWidget>

HelpCommands::HelpCommands(HelpForm &helpForm, TipOfDayDialog &tips, CreditsForm &credits, QWidget *window)
    : QObject(window)
    , m_helpForm(helpForm)
    , m_tips(tips)
    , m_credits(credits)
    , m_window(window)
{
}

void HelpCommands::g1Click()
{
    m_helpForm.showHelp(helpFilePath());
}

void HelpCommands::tipoftheDay2Click()
{
    // Asked for, the tips come in order; only the start-up tip is random.
    m_tips.setRandomTips(false);
    m_tips.exec(m_window);
}

void HelpCommands::credits1Click()
{
    m_credits.exec();
}

void HelpCommands::about1Click()
{
    AboutBox box(m_window);
    box.exec();
}
