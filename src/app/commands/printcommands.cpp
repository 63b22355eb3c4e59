#include "app/commands/printcommands.h"

#include "app/commandcontext.h"
#include "app/panearea.h"
#include "editor/richeditor.h"
#include "print/richprinter.h"

#include <QTextDocument>

PrintCommands::PrintCommands(CommandContext &context)
    : QObject(context.mainWindow())
    , m_context(context)
{
}

print::RichPrinter &PrintCommands::printer() const
{
    return m_context.richPrinter();
}

const QTextDocument &PrintCommands::document() const
{
    return *m_context.panes().richEditEx1()->document();
}

void PrintCommands::filePrint()
{
    printer().print(m_context.mainWindow(), document());
}

void PrintCommands::printPreviewbuttonClick()
{
    printer().previewRichEdit(document());
}

void PrintCommands::pageDialog1Click()
{
    printer().showPageSetup(m_context.mainWindow());
}
