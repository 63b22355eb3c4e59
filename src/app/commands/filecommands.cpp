#include "app/commands/filecommands.h"

#include "app/commandcontext.h"
#include "app/commanderror.h"
#include "app/dialogs/dialogs.h"
#include "app/panearea.h"
#include "documents/atomicwrite.h"
#include "documents/documentexport.h"
#include "documents/fileformat.h"
#include "print/printedpdf.h"
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
    m_context.rememberDialogFolder(path);
    loadDocument(path, readOnly);
}

void FileCommands::openDocument(const QString &path)
{
    m_context.confirmSaveChanges(Pane::Template);
    loadDocument(path, false);
}

void FileCommands::loadDocument(const QString &path, bool readOnly)
{
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
    const Pane which = m_context.panes().templateFirstRole();
    const QString target = m_context.workspace().saveTarget(which);
    if (target.isEmpty()) {
        fileSaveAs();
        return;
    }
    const QString path = chooseSavePath(target);
    askOverwrite(path, target);
    writePane(which, path, false);
}

void FileCommands::fileSaveAs()
{
    const Pane which = m_context.panes().templateFirstRole();
    const QString path = chooseSavePath(m_context.workspace().saveTarget(which));
    const std::optional<documents::FileFormat> format
        = documents::formatForFileName(path, documents::FormatPolicy::SaveAs);
    if (!format) {
        throw CommandError(QStringLiteral(
            "Nothing was saved: Quorin cannot tell what kind of file \"%1\" should be from its "
            "extension. Use .rtf, .tem or .inf for a document, .txt for plain text, or .htm or "
            ".html for a web page, .pdf for a PDF.")
                               .arg(QFileInfo(path).fileName()));
    }
    // Even the pane's own file: Save As is how a user makes a new file.
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
    if (*format == documents::FileFormat::Pdf) {
        // Pages made from the document, not the document: like a web page,
        // an export that leaves its name alone and Quorin cannot read back.
        // They are the pages Print gives, with the printer's margins,
        // header and footer.
        RichEditor *pane = m_context.panes().pane(which);
        documents::writeFileAtomically(path, print::printedPdf(m_context.richPrinter(), *pane->document()));
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
    // The question named the pane's file, a chosen template included: the
    // user who answered Yes meant that file.
    const Workspace &workspace = m_context.workspace();
    const QString own = workspace.hasOwnFile(which) ? workspace.paneFileName(which) : QString();
    const QString path = chooseSavePath(own);
    askOverwrite(path, own);
    writePane(which, path, false);
}

QString FileCommands::chooseSavePath(const QString &offered)
{
    FileDialogOptions options = m_context.saveDialog();
    options.fileName = offered;
    const QString path = m_context.dialogs().saveFileName(m_context.mainWindow(), options);
    if (path.isEmpty())
        throw SilentAbort();
    m_context.rememberDialogFolder(path);
    return path;
}

void FileCommands::askOverwrite(const QString &path, const QString &own)
{
    // Saving over the pane's own file is what Save is for; saving over any
    // other file the user did not mean to replace would lose it unasked.
    if (!QFileInfo::exists(path) || (!own.isEmpty() && sameFile(path, own)))
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
