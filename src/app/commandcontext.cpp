#include "app/commandcontext.h"

#include "app/commanderror.h"
#include "app/dialogs/dialogs.h"
#include "app/panearea.h"

void CommandContext::confirmSaveChanges(Panes which, Replacement replacement)
{
    // The pane in view (the information-first test's pick) is asked about
    // first, so the first question concerns what the user is looking at.
    const Pane shown = panes().roleOf(panes().informationFirstPane());
    for (const SaveQuestion &question : workspace().saveQuestions(which, shown, replacement)) {
        switch (dialogs().askYesNoCancel(mainWindow(), question.text)) {
        case QMessageBox::Yes:
            savePane(question.pane);
            break;
        case QMessageBox::No:
            break;
        default:
            throw SilentAbort();
        }
    }
}
