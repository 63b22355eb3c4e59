#pragma once

// The File menu's document commands: New, Exit, and the saving of one pane
// that the unsaved-changes question runs on Yes. Open, Save, Save As,
// page setup, print and preview join here as they are written; until then
// their items stay disabled.

#include "panearea.h"

#include <QObject>

class MainForm;

class FileCommands : public QObject
{
    Q_OBJECT

public:
    explicit FileCommands(MainForm &form);

    // New: asks about the document pane, then empties it; the pane shown
    // does not change.
    void fileNew();
    // Exit: closes the main window, which asks the close question.
    void fileExit();

    // Saves a pane under a name the user confirms in the save dialog (the
    // pane's own file offered first). Cancelling the dialog throws
    // SilentAbort: the user wanted the changes kept, so the command that
    // asked must not go on and drop them.
    void savePane(Pane which);

private:
    MainForm &m_form;
};
