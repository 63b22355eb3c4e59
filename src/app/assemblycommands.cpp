#include "assemblycommands.h"

#include "mainform.h"

AssemblyCommands::AssemblyCommands(MainForm &form)
    : QObject(&form)
    , m_form(form)
{
}
