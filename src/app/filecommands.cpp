#include "filecommands.h"

#include "commanderror.h"
#include "dialogs.h"
#include "mainform.h"
#include "richeditor.h"

#include <QAction>
#include <QFileInfo>

FileCommands::FileCommands(MainForm &form)
    : QObject(&form)
    , m_form(form)
{
    m_form.connectCommand(m_form.action(QStringLiteral("FileNewItem")), [this] { fileNew(); });
    m_form.connectCommand(m_form.action(QStringLiteral("FileExitItem")), [this] { fileExit(); });
}

void FileCommands::fileNew()
{
    m_form.confirmSaveChanges(Pane::Template);
    m_form.setDocumentName(QStringLiteral("Untitled"));
    RichEditor *document = m_form.richEditEx1();
    document->clear();
    document->document()->setModified(false);
    m_form.setPaneFileName(Pane::Template, QStringLiteral("Untitled"));
}

void FileCommands::fileExit()
{
    m_form.close();
}

void FileCommands::savePane(Pane which)
{
    FileDialogOptions options = m_form.saveDialog();
    const QString current = m_form.paneFileName(which);
    options.fileName = current.compare(QStringLiteral("untitled"), Qt::CaseInsensitive) == 0 ? QString() : current;
    const QString path = m_form.dialogs().saveFileName(&m_form, options);
    if (path.isEmpty())
        throw SilentAbort();
    RichEditor *editor = m_form.pane(which);
    editor->saveToFile(path);
    editor->document()->setModified(false);
    m_form.setPaneFileName(which, path);
    m_form.saveDialog().directory = QFileInfo(path).absolutePath();
}
