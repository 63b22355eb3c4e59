#include "app/commands/editcommands.h"

#include "app/commandcontext.h"
#include "app/commanderror.h"
#include "app/dialogs/finddialog.h"
#include "app/dialogs/replacedialog.h"
#include "app/panearea.h"
#include "documents/atomicwrite.h"
#include "editor/richeditor.h"

#include <QTemporaryDir>
#include <QTextCursor>

namespace {

void showModeless(QDialog *dialog)
{
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

} // namespace

EditCommands::EditCommands(CommandContext &context)
    : QObject(context.mainWindow())
    , m_context(context)
{
}

// Undo and redo belong to the document pane. When the information pane is
// in front, the document is shown first, so the change is not made out of
// sight; a document opened read-only stays as it was opened.
void EditCommands::editUndo()
{
    RichEditor *document = m_context.panes().richEditEx1();
    if (document->isReadOnly() || !document->document()->isUndoAvailable())
        return;
    m_context.panes().showAndFocus(Pane::Template);
    document->undo();
}

void EditCommands::redo()
{
    RichEditor *document = m_context.panes().richEditEx1();
    if (document->isReadOnly() || !document->document()->isRedoAvailable())
        return;
    m_context.panes().showAndFocus(Pane::Template);
    document->redo();
}

void EditCommands::editCut()
{
    m_context.panes().templateFirstPane()->cut();
}

void EditCommands::editCopy()
{
    m_context.panes().templateFirstPane()->copy();
}

void EditCommands::editPaste()
{
    // The pane with the focus takes the paste. With the focus elsewhere (a
    // toolbar box), the pane in front does, never a hidden one: an unseen
    // paste into a hidden Information file would go unnoticed into the
    // next merge.
    QWidget *active = m_context.mainWindow()->focusWidget();
    RichEditor *target = m_context.panes().richEditEx1();
    if (active == m_context.panes().richEditEx2())
        target = m_context.panes().richEditEx2();
    else if (active != m_context.panes().richEditEx1())
        target = m_context.panes().templateFirstPane();
    target->paste();
}

void EditCommands::showFind()
{
    if (!m_findDialog) {
        m_findDialog = new FindDialog(m_context.mainWindow());
        connect(m_findDialog, &FindDialog::findNext, this, [this] {
            m_context.runCommand(
                [this] { findNext(m_findDialog->findText(), m_findDialog->options()); });
        });
    }
    showModeless(m_findDialog);
}

void EditCommands::showReplace()
{
    if (!m_replaceDialog) {
        m_replaceDialog = new ReplaceDialog(m_context.mainWindow());
        ReplaceDialog *dialog = m_replaceDialog;
        connect(dialog, &ReplaceDialog::findNext, this, [this, dialog] {
            m_context.runCommand([this, dialog] { findNext(dialog->findText(), dialog->options()); });
        });
        connect(dialog, &ReplaceDialog::replace, this, [this, dialog] {
            m_context.runCommand([this, dialog] {
                replaceOne(dialog->findText(), dialog->replaceText(), dialog->options());
            });
        });
        connect(dialog, &ReplaceDialog::replaceAll, this, [this, dialog] {
            m_context.runCommand([this, dialog] {
                replaceAll(dialog->findText(), dialog->replaceText(), dialog->options());
            });
        });
    }
    showModeless(m_replaceDialog);
}

RichEditor *EditCommands::searchPane() const
{
    // The pane in front. Once a pane has been hidden that is the one the
    // information-first test picks; right after start-up, with both panes
    // visible and the document in front, searching the information pane
    // behind it would move the caret into a pane the user cannot see.
    return m_context.panes().templateFirstPane();
}

int EditCommands::findNext(const QString &text, FindOptions options)
{
    RichEditor *pane = searchPane();
    PaneArea::focusPane(pane);
    if (text.isEmpty())
        return -1;
    const int selStart = pane->selStart();
    const int selLength = pane->selLength();
    int found;
    if (options.testFlag(FindOption::Backward)) {
        const int start = selLength > 0 ? selStart : pane->textLength();
        if (start == 0)
            return -1;
        found = pane->findText(text, start, start, options);
    } else {
        const int start = selLength > 0 ? selStart + selLength : 0;
        if (start >= pane->textLength())
            return -1;
        found = pane->findText(text, start, pane->textLength() - start, options);
    }
    if (found >= 0) {
        pane->setSelection(found, int(text.size()));
        pane->ensureCursorVisible();
    }
    return found;
}

bool EditCommands::replaceOne(const QString &text, const QString &replacement, FindOptions options)
{
    RichEditor *pane = searchPane();
    m_context.panes().showAndFocus(m_context.panes().roleOf(pane));
    if (text.isEmpty() || pane->isReadOnly())
        return false;
    options.setFlag(FindOption::Backward, false);
    const int start = pane->selStart();
    if (start >= pane->textLength())
        return false;
    const int found = pane->findText(text, start, pane->textLength() - start, options);
    if (found < 0)
        return false;
    pane->setSelection(found, int(text.size()));
    pane->setSelText(replacement);
    return true;
}

int EditCommands::replaceAll(const QString &text, const QString &replacement, FindOptions options)
{
    RichEditor *pane = searchPane();
    m_context.panes().showAndFocus(m_context.panes().roleOf(pane));
    if (text.isEmpty() || pane->isReadOnly())
        return 0;
    options.setFlag(FindOption::Backward, false);
    const int length = int(text.size());

    // Every search goes on after the text just put in. The text after that
    // point is the text that followed the match, so each turn leaves less
    // of the document to search and the loop ends even when the replacement
    // contains what is searched for.
    QTextCursor group(pane->document());
    group.beginEditBlock();
    int count = 0;
    int start = 0;
    while (start < pane->textLength()) {
        const int found = pane->findText(text, start, pane->textLength() - start, options);
        if (found < 0)
            break;
        const int before = pane->textLength();
        pane->setSelection(found, length);
        pane->setSelText(replacement); // may be cut short by the pane's maximum length
        start = found + (pane->textLength() - before + length);
        ++count;
    }
    group.endEditBlock();
    return count;
}

void EditCommands::insertBlankLines()
{
    insertBlock(QByteArray("\r\n").repeated(10));
}

void EditCommands::insertPageBreak()
{
    insertBlock(QByteArray("\f"));
}

void EditCommands::selectAll()
{
    m_context.panes().showAndFocus(Pane::Template);
    m_context.panes().richEditEx1()->selectAll();
}

void EditCommands::insertBlock(const QByteArray &bytes)
{
    m_context.panes().showAndFocus(Pane::Template);
    RichEditor *document = m_context.panes().richEditEx1();
    if (document->isReadOnly())
        return;
    // A private folder (mode 0700) that goes with its contents, whatever
    // happens below.
    QTemporaryDir scratch;
    if (!scratch.isValid())
        throw CommandError(
            QStringLiteral("Cannot create a temporary folder. %1").arg(scratch.errorString()));
    const QString path = scratch.filePath(QStringLiteral("$$$"));
    documents::writeFileAtomically(path, bytes);
    document->insertFromFile(path);
}
