#include "editcommands.h"

#include "mainform.h"

EditCommands::EditCommands(MainForm &form)
    : QObject(&form)
    , m_form(form)
{
}
