#pragma once

// The File menu's document commands: New, Open, Save, Save As and Exit, and
// the saving of one pane that the unsaved-changes question runs on Yes.
//
// Save and Save As write the pane the template-first test picks. The
// document pane is written as RTF (plain text when Save As is given a text
// name); the information pane holds plain lines and is always written as
// plain UTF-8 text, so an Information file stays readable by any editor.
// Every file is written atomically: a failed save leaves the old file.

#include "app/workspace.h"

#include <QObject>

class CommandContext;
class QString;

class FileCommands : public QObject
{
    Q_OBJECT

public:
    explicit FileCommands(CommandContext &context);

    // New: asks about the document pane, then empties it and makes it
    // editable again; caption "Untitled". The pane shown does not change.
    void fileNew();
    // Open: asks about the document pane, loads the chosen file into it,
    // shows and focuses it, read-only exactly when the box was ticked.
    void fileOpen();
    // Save: with the document named "Untitled" (as New names it) this is
    // Save As; otherwise the user confirms a name and the pane is written
    // there. No extension rule and no caption change.
    void fileSave();
    // Save As: the kind of file follows the extension, by the window's
    // rules in documents/fileformat.h; an extension of no known kind is
    // refused with a message. An existing file is replaced only after
    // "OK to overwrite <path>" is answered Yes.
    void fileSaveAs();
    // Exit: closes the main window, which asks the close question.
    void fileExit();

    // Saves a pane under a name the user confirms in the save dialog (the
    // pane's own file offered first). Cancelling the dialog throws
    // SilentAbort: the user wanted the changes kept, so the command that
    // asked must not go on and drop them.
    void savePane(Pane which);

private:
    // The save dialog for a pane; throws SilentAbort on Cancel. With
    // `guardOtherFiles`, an existing file other than the pane's own is
    // replaced only after the overwrite question.
    QString chooseSavePath(Pane which, bool guardOtherFiles);
    void askOverwrite(const QString &path);
    void writePane(Pane which, const QString &path, bool plainText);

    CommandContext &m_context;
};
