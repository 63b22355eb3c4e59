#pragma once

// What a command group may use of the main window: the workspace, the dialog
// interface, the two panes and what lies over them, and the way commands
// run. MainForm implements it; the command groups see nothing else of the
// window, so none of them includes mainform.h and the window can include
// them all without a circle.

#include "app/workspace.h"

#include <functional>

class Dialogs;
namespace print {
class RichPrinter;
}
class PaneArea;
class QString;
class QWidget;
struct FileDialogOptions;

class CommandContext
{
public:
    virtual Workspace &workspace() = 0;
    virtual Dialogs &dialogs() = 0;
    // The window the commands' dialogs and questions belong to.
    virtual QWidget *mainWindow() = 0;
    // The state of the two file dialogs between uses: where they start, the
    // filter, the name field.
    virtual FileDialogOptions &openDialog() = 0;
    virtual FileDialogOptions &saveDialog() = 0;
    // The user chose `path` in a file dialog: both dialogs start in its
    // folder from now on, in this run and the next.
    virtual void rememberDialogFolder(const QString &path) = 0;
    // The panes, the pane tests, showing and focusing, the wait panel.
    virtual PaneArea &panes() = 0;
    // The window's printer: Print, Preview, Page Setup and PDF pages.
    virtual print::RichPrinter &richPrinter() = 0;

    // Runs a command as a menu item does: an exception that leaves it is
    // shown in the error box, a SilentAbort ends it quietly. For commands
    // started from signals other than the menus'.
    virtual void runCommand(const std::function<void()> &command) = 0;
    // Saves a pane under a name the user confirms; Cancel throws
    // SilentAbort, so the command that asked does not go on.
    virtual void savePane(Pane which) = 0;

    // Asks the workspace's unsaved-changes questions about `which` (the
    // pane the user sees first). Yes saves that pane, No goes on, Cancel
    // throws SilentAbort. Commands pass the panes they would replace or
    // drop; closing passes both.
    void confirmSaveChanges(Panes which, Replacement replacement = Replacement::Plain);

protected:
    ~CommandContext() = default;
};
