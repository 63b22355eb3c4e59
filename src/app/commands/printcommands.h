#pragma once

// Print, Print Preview and Page Setup of the File menu and the toolbar. They
// always work on the document pane, whichever pane is shown: it holds the
// finished document.

#include <QObject>

class CommandContext;
class QTextDocument;

namespace print {
class RichPrinter;
}

class PrintCommands : public QObject
{
    Q_OBJECT

public:
    explicit PrintCommands(CommandContext &context);

    // "Print": the print dialog, then every page from page 1.
    void filePrint();
    // "PrintPreview": the pages in the preview window.
    void printPreviewbuttonClick();
    // "pageDialog": paper, orientation, printer and margins.
    void pageDialog1Click();

private:
    const QTextDocument &document() const;

    print::RichPrinter &printer() const;

    CommandContext &m_context;
};
