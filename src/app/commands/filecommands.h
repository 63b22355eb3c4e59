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
    // Open without the dialog, for a file named on the command line: the
    // same question and the same load.
    void openDocument(const QString &path);
    // Save: a pane without a file of its own (a new or merged document, a
    // template chosen for the merge) is saved as Save As does; otherwise
    // the user confirms the pane's file, offered in the dialog, and the
    // pane is written there. No extension rule and no caption change.
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
    void loadDocument(const QString &path, bool readOnly);
    // The save dialog with `offered` in its name field; throws SilentAbort
    // on Cancel.
    QString chooseSavePath(const QString &offered);
    // Asks before an existing file is replaced, unless it is `own`, the
    // file the user was offered as the pane's own.
    void askOverwrite(const QString &path, const QString &own = QString());
    void writePane(Pane which, const QString &path, bool plainText);

    CommandContext &m_context;
};
