#pragma once

// The Edit menu's commands: undo and redo, the clipboard, find and replace
// in modeless dialogs, the insert commands and select all. ("&Toggle
// Windows" belongs to the window itself, the font item to the format
// commands.)
//
// Undo, redo, the insert commands and select all act on the document pane;
// while the information pane is shown they show the document first. Cut,
// copy, find and replace act on the pane in front.

#include "editor/editortypes.h"

#include <QObject>
#include <QString>

class CommandContext;
class FindDialog;
class QByteArray;
class ReplaceDialog;
class RichEditor;

class EditCommands : public QObject
{
    Q_OBJECT

public:
    explicit EditCommands(CommandContext &context);

    void editUndo();
    void redo();
    void editCut();
    void editCopy();
    // Into the document pane when it has the focus, into the information
    // pane when that has it; otherwise into the pane the user sees.
    void editPaste();

    // "&Find" and "&Replace": show their modeless dialog (made on first use).
    void showFind();
    void showReplace();
    FindDialog *findDialog() const { return m_findDialog; }
    ReplaceDialog *replaceDialog() const { return m_replaceDialog; }

    // Find Next: forward from the end of the selection, or from the top of
    // the text when nothing is selected; backward from the start of the
    // selection, or from the end. A match is selected; no match changes
    // nothing. Returns the match's position or -1.
    int findNext(const QString &text, FindOptions options);
    // Replaces the first match at or after the selection start. Returns
    // whether one was replaced.
    bool replaceOne(const QString &text, const QString &replacement, FindOptions options);
    // Replaces every match from the top, each search going on after the
    // text just put in, so a replacement that contains the find text is not
    // searched again. One undo step. Returns the number of replacements.
    int replaceAll(const QString &text, const QString &replacement, FindOptions options);

    // "Insert Blank lines": ten empty paragraphs at the caret.
    void insertBlankLines();
    // "Insert page break": one form feed at the caret, which the pane does
    // not paint and print and preview begin a new page at.
    void insertPageBreak();
    void selectAll();

private:
    RichEditor *searchPane() const;
    // Reads the bytes into the document pane at the caret as the editor
    // reads any file, through a scratch file in a private folder.
    void insertBlock(const QByteArray &bytes);

    CommandContext &m_context;
    FindDialog *m_findDialog = nullptr;
    ReplaceDialog *m_replaceDialog = nullptr;
};
