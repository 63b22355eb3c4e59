#include "widgets/quorintips.h"

#include "widgets/tipofdaydialog.h"

QStringList quorinTips()
{
    return {
        QStringLiteral("The main pupose of this programme is for lawyers and others to produce finished documents in a SIMPLE way. See the Document Assembly menu"),
        QStringLiteral("You can import documents from your favourite word processor by copying to clipboard in your wp and pasting the clipboard into this programme."),
        QStringLiteral("To get a feel for the capabilities of this programme use the document assembly menu to load and merge some of the samples provided."),
        QStringLiteral("If you have a form that requires exact placement of information do not forget to enable this from the document assembly menu."),
        QStringLiteral("You can use the mouse and the ruler at the top of the page to adjust margin settings for the document OR selected text"),
        QStringLiteral("Using the \"OLE\" Button you can insert spreadsheet tables in your document ."),
        QStringLiteral("If you choose the option of inserting a \"hard page\" or forced page break it is NOT VISIBLE in the main window but only in print preview.  Saving the file with such invisible page breaks is NOT RECOMMENDED. This pagebreak is not supported in Wordpad."),
        QStringLiteral("Helpful hints show in the yellow bar at the bottom of your screen when the mouse is over some menu items."),
        QStringLiteral("To close a file, simply execute the edit/new or the edit/open command."),
        QStringLiteral("That if you mistakenly do a global search and replace you can UNDO its effect by repeatedly pressing alt-backspace. "),
        QStringLiteral("If you position the mouse over an \"@\" symbol in a template file and hold the left button, the appropriate heading from the loaded information file or a message that none is selected will be displayed. "),
        QStringLiteral(" "),
    };
}

void setUpQuorinTips(TipOfDayDialog &dialog)
{
    dialog.setTips(quorinTips());
    dialog.setRandomTips(true);
    dialog.setPosition(TipOfDayDialog::TipShowPosition::ScreenCenter);

    // Arial and MS Sans Serif are Windows faces; where they are missing the
    // desktop's sans-serif face (metric-compatible Liberation Sans for Arial)
    // stands in.
    QFont title(QStringLiteral("Arial"));
    title.setStyleHint(QFont::SansSerif);
    title.setPixelSize(16);
    title.setBold(true);
    dialog.setTipTitleFont(title);
    dialog.setTipTitleColor(Qt::blue);

    QFont tip(QStringLiteral("MS Sans Serif"));
    tip.setStyleHint(QFont::SansSerif);
    tip.setPixelSize(11);
    dialog.setTipFont(tip);
}
