#include "app/commands/filecommands.h"

#include "app/commandcontext.h"
#include "app/commanderror.h"
#include "app/dialogs/dialogs.h"
#include "app/panearea.h"
#include "documents/atomicwrite.h"
#include "documents/documentexport.h"
#include "documents/fileformat.h"
#include "editor/richeditor.h"

#include <QFileInfo>
#include <QTextDocument>

namespace {

bool sameFile(const QString &a, const QString &b)
{
    const QFileInfo fa(a);
    const QFileInfo fb(b);
    return fa.absoluteFilePath() == fb.absoluteFilePath()
        || (fa.exists() && fb.exists() && fa.canonicalFilePath() == fb.canonicalFilePath());
}

} // namespace

FileCommands::FileCommands(CommandContext &context)
    : QObject(context.mainWindow())
    , m_context(context)
{
}

void FileCommands::fileNew()
{
    m_context.confirmSaveChanges(Pane::Template);
    Workspace &workspace = m_context.workspace();
    workspace.setDocumentName(Workspace::newDocumentName());
    RichEditor *document = m_context.panes().richEditEx1();
    document->clear();
    // A read-only box ticked for the last Open must not lock the new,
    // empty document.
    document->setReadOnly(false);
    document->document()->setModified(false);
    workspace.setPaneFileName(Pane::Template, Workspace::newDocumentName());
}

void FileCommands::fileOpen()
{
    m_context.confirmSaveChanges(Pane::Template);
    bool readOnly = false;
    const QString path
        = m_context.dialogs().openFileName(m_context.mainWindow(), m_context.openDialog(), &readOnly);
    if (path.isEmpty())
        throw SilentAbort();
    m_context.openDialog().directory = QFileInfo(path).absolutePath();

    RichEditor *document = m_context.panes().richEditEx1();
    document->loadFromFile(path); // throws with the pane unchanged
    m_context.workspace().setDocumentName(path);
    m_context.workspace().setPaneFileName(Pane::Template, path);
    // The document lands in the template pane; show it rather than leave
    // the user looking at the information pane.
    m_context.panes().showAndFocus(Pane::Template);
    document->document()->setModified(false);
    document->setReadOnly(readOnly);
}

void FileCommands::fileSave()
{
    if (m_context.workspace().documentName() == Workspace::newDocumentName()) {
        fileSaveAs();
        return;
    }
    const Pane which = m_context.panes().templateFirstRole();
    writePane(which, chooseSavePath(which, true), false);
}

void FileCommands::fileSaveAs()
{
    const Pane which = m_context.panes().templateFirstRole();
    const QString path = chooseSavePath(which, false);
    const std::optional<documents::FileFormat> format
        = documents::formatForFileName(path, documents::FormatPolicy::SaveAs);
    if (!format) {
        throw CommandError(QStringLiteral(
            "Nothing was saved: Quorin cannot tell what kind of file \"%1\" should be from its "
            "extension. Use .rtf, .tem or .inf for a document, .txt for plain text, or .htm or "
            ".html for a web page.")
                               .arg(QFileInfo(path).fileName()));
    }
    askOverwrite(path);

    if (*format == documents::FileFormat::Html) {
        // The page is an export: the document keeps its name and caption.
        RichEditor *pane = m_context.panes().pane(which);
        html::Options options; // every converter option off
        options.title = "$$$"; // what pages made by Quorin have always been titled
        documents::writeFileAtomically(
            path, documents::htmlPageFromRtf(pane->bytes(OutputFormat::RTF), options));
        pane->document()->setModified(false);
        return;
    }
    writePane(which, path, *format == documents::FileFormat::Text);
    m_context.workspace().setDocumentName(path);
}

void FileCommands::fileExit()
{
    m_context.mainWindow()->close();
}

void FileCommands::savePane(Pane which)
{
    writePane(which, chooseSavePath(which, true), false);
}

QString FileCommands::chooseSavePath(Pane which, bool guardOtherFiles)
{
    FileDialogOptions options = m_context.saveDialog();
    const Workspace &workspace = m_context.workspace();
    const QString current = workspace.hasOwnFile(which) ? workspace.paneFileName(which) : QString();
    options.fileName = current;
    const QString path = m_context.dialogs().saveFileName(m_context.mainWindow(), options);
    if (path.isEmpty())
        throw SilentAbort();
    m_context.saveDialog().directory = QFileInfo(path).absolutePath();
    // Saving over the pane's own file is what Save is for; saving over any
    // other file the user did not mean to replace would lose it unasked.
    if (guardOtherFiles && (current.isEmpty() || !sameFile(path, current)))
        askOverwrite(path);
    return path;
}

void FileCommands::askOverwrite(const QString &path)
{
    if (!QFileInfo::exists(path))
        return;
    if (m_context.dialogs().askYesNoCancel(
            m_context.mainWindow(), QStringLiteral("OK to overwrite %1").arg(path))
        != QMessageBox::Yes)
        throw SilentAbort();
}

void FileCommands::writePane(Pane which, const QString &path, bool plainText)
{
    RichEditor *pane = m_context.panes().pane(which);
    const bool asText = plainText || which == Pane::Information;
    documents::writeFileAtomically(path, pane->bytes(asText ? OutputFormat::Text : OutputFormat::RTF));
    pane->document()->setModified(false);
    m_context.workspace().setPaneFileName(which, path);
}
