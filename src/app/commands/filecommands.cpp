#include "app/commands/filecommands.h"

#include "app/commanderror.h"
#include "app/dialogs/dialogs.h"
#include "app/commands/htmlexport.h"
#include "app/mainform.h"
#include "app/commands/panefile.h"
#include "editor/richeditor.h"
#include "app/commands/saveasrules.h"
#include "app/chrome/speedbar.h"

#include <QAction>
#include <QFileInfo>
#include <QToolButton>

namespace {

// New names the document "Untitled"; start-up and the template commands
// name it "untitled". Only the first makes Save ask for a new name with
// the extension rules, so the comparison is case-sensitive.
const QString newDocumentName = QStringLiteral("Untitled");

bool sameFile(const QString &a, const QString &b)
{
    const QFileInfo fa(a);
    const QFileInfo fb(b);
    return fa.absoluteFilePath() == fb.absoluteFilePath()
        || (fa.exists() && fb.exists() && fa.canonicalFilePath() == fb.canonicalFilePath());
}

} // namespace

FileCommands::FileCommands(MainForm &form)
    : QObject(&form)
    , m_form(form)
{
    m_form.connectCommand(m_form.action(QStringLiteral("FileNewItem")), [this] { fileNew(); });
    m_form.connectCommand(m_form.action(QStringLiteral("FileOpenItem")), [this] { fileOpen(); });
    m_form.connectCommand(m_form.action(QStringLiteral("FileSaveItem")), [this] { fileSave(); });
    m_form.connectCommand(
        m_form.action(QStringLiteral("FileSaveAsItem")), [this] { fileSaveAs(); });
    m_form.connectCommand(m_form.action(QStringLiteral("FileExitItem")), [this] { fileExit(); });
    m_form.connectCommand(m_form.speedBar()->openButton(), [this] { fileOpen(); });
    m_form.connectCommand(m_form.speedBar()->saveButton(), [this] { fileSave(); });
}

void FileCommands::fileNew()
{
    m_form.confirmSaveChanges(Pane::Template);
    m_form.setDocumentName(newDocumentName);
    RichEditor *document = m_form.richEditEx1();
    document->clear();
    // A read-only box ticked for the last Open must not lock the new,
    // empty document.
    document->setReadOnly(false);
    document->document()->setModified(false);
    m_form.setPaneFileName(Pane::Template, newDocumentName);
}

void FileCommands::fileOpen()
{
    m_form.confirmSaveChanges(Pane::Template);
    bool readOnly = false;
    const QString path = m_form.dialogs().openFileName(&m_form, m_form.openDialog(), &readOnly);
    if (path.isEmpty())
        throw SilentAbort();
    m_form.openDialog().directory = QFileInfo(path).absolutePath();

    RichEditor *document = m_form.richEditEx1();
    document->loadFromFile(path); // throws with the pane unchanged
    m_form.setDocumentName(path);
    m_form.setPaneFileName(Pane::Template, path);
    // The document lands in the template pane; show it rather than leave
    // the user looking at the information pane.
    m_form.showAndFocusPane(Pane::Template);
    document->document()->setModified(false);
    document->setReadOnly(readOnly);
}

void FileCommands::fileSave()
{
    if (m_form.documentName() == newDocumentName) {
        fileSaveAs();
        return;
    }
    const Pane which = m_form.paneArea()->roleOf(m_form.templateFirstPane());
    const QString path = chooseSavePath(which, true);
    writePane(which, path, false);
}

void FileCommands::fileSaveAs()
{
    const Pane which = m_form.paneArea()->roleOf(m_form.templateFirstPane());
    const QString path = chooseSavePath(which, false);
    const SaveFamily family = saveFamily(path);
    if (family == SaveFamily::Unsupported) {
        throw CommandError(QStringLiteral(
            "Nothing was saved: Quorin cannot tell what kind of file \"%1\" should be from its "
            "extension. Use .rtf, .tem or .inf for a document, .txt for plain text, or .htm or "
            ".html for a web page.")
                               .arg(QFileInfo(path).fileName()));
    }
    askOverwrite(path);

    if (family == SaveFamily::Html) {
        // The page is an export: the document keeps its name and caption.
        RichEditor *pane = m_form.pane(which);
        exportPaneAsHtml(*pane, path);
        pane->document()->setModified(false);
        return;
    }
    writePane(which, path, family == SaveFamily::Text);
    m_form.setDocumentName(path);
}

void FileCommands::fileExit()
{
    m_form.close();
}

void FileCommands::savePane(Pane which)
{
    writePane(which, chooseSavePath(which, true), false);
}

QString FileCommands::chooseSavePath(Pane which, bool guardOtherFiles)
{
    FileDialogOptions options = m_form.saveDialog();
    QString current = m_form.paneFileName(which);
    if (current.compare(QStringLiteral("untitled"), Qt::CaseInsensitive) == 0)
        current.clear(); // a pane that was never saved has no file of its own
    options.fileName = current;
    const QString path = m_form.dialogs().saveFileName(&m_form, options);
    if (path.isEmpty())
        throw SilentAbort();
    m_form.saveDialog().directory = QFileInfo(path).absolutePath();
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
    if (m_form.dialogs().askYesNoCancel(&m_form, QStringLiteral("OK to overwrite %1").arg(path))
        != QMessageBox::Yes)
        throw SilentAbort();
}

void FileCommands::writePane(Pane which, const QString &path, bool plainText)
{
    RichEditor *pane = m_form.pane(which);
    const bool asText = plainText || which == Pane::Information;
    writePaneFile(*pane, path, asText ? PaneFileFormat::PlainText : PaneFileFormat::Rtf);
    pane->document()->setModified(false);
    m_form.setPaneFileName(which, path);
}
