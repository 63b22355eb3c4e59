#include "app/commands/assemblycommands.h"

#include "app/commandcontext.h"
#include "app/commanderror.h"
#include "app/commands/informationtable.h"
#include "app/commands/overflowquestion.h"
#include "app/dialogs/dialogs.h"
#include "app/panearea.h"
#include "assembly/headinglookup.h"
#include "assembly/informationfile.h"
#include "assembly/messages.h"
#include "documents/documentreader.h"
#include "documents/informationsource.h"
#include "documents/mergejob.h"
#include "editor/richeditor.h"
#include "editor/richeditorlines.h"
#include "widgets/balloon.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QScopeGuard>
#include <QTextDocument>

namespace {

// The message dialog for an assembly message; messages meant for the plain
// error box end the command through it.
void report(CommandContext &context, const assembly::AssemblyMessage &message)
{
    if (message.display == assembly::AssemblyMessage::Display::ErrorBox)
        throw CommandError(message.text);
    context.dialogs().message(message.title, QString(message.kind), message.text);
}

// Lets the window repaint (the wait panel above all) while a merge runs.
// User input waits until the command is over: a click or key that ran
// another command now could empty or replace a pane in the middle of the
// merge, or start a second merge inside the first.
void repaintNow()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

// The information pane's lines as the lookup and the merge read them.
assembly::LineCallbacks paneLines(RichEditor *pane)
{
    return assembly::LineCallbacks([pane] { return pane->wideLines().count(); },
                                   [pane](int index) { return pane->wideLines().get(index); });
}

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// A token is narrow: a press on its "@" or on its digits may put the caret
// anywhere inside it. Such a caret counts from the token's "@"; a caret
// after the last digit is where the user types after the token.
int tokenStartAround(const QTextDocument &document, int caret)
{
    int at = caret;
    while (at > 0 && isAsciiDigit(document.characterAt(at - 1)))
        --at;
    if (at == 0 || document.characterAt(at - 1) != u'@' || !isAsciiDigit(document.characterAt(caret)))
        return caret;
    return at - 1;
}

} // namespace

AssemblyCommands::AssemblyCommands(CommandContext &context, Balloon &balloon)
    : QObject(context.mainWindow())
    , m_context(context)
    , m_balloon(balloon)
{
    QWidget *viewport = m_context.panes().richEditEx1()->viewport();
    viewport->installEventFilter(this);
    // The heading balloon hides when the mouse moves; without tracking the
    // pane reports moves only while a button is held.
    viewport->setMouseTracking(true);
}

// --- choosing files ---

QString AssemblyCommands::chooseFile(const QString &pattern, const QString &moreFilters)
{
    FileDialogOptions &dialog = m_context.openDialog();
    dialog.fileName = pattern;
    // The extra filters are for this question only: Open keeps its list.
    FileDialogOptions options = dialog;
    if (!moreFilters.isEmpty())
        options.filter += u'|' + moreFilters;
    const QString path = m_context.dialogs().openFileName(m_context.mainWindow(), options);
    if (!path.isEmpty())
        m_context.rememberDialogFolder(path);
    return path;
}

void AssemblyCommands::loadPane(bool information, const QString &path)
{
    const Pane role = information ? Pane::Information : Pane::Template;
    // A failed load leaves the pane as it was, so the name changes only after.
    m_context.panes().pane(role)->loadFromFile(path);
    m_context.workspace().setPaneFileName(role, path);
}

void AssemblyCommands::checkInformationLineCount()
{
    if (const auto problem = assembly::checkLineCount(paneLines(m_context.panes().richEditEx2())))
        report(m_context, *problem);
}

void AssemblyCommands::editInformationFile1Click()
{
    const QString path
        = chooseFile(QStringLiteral("*.inf"), QStringLiteral("Spreadsheet table (*.csv)|*.csv"));
    if (!path.isEmpty())
        openInformationFile(path);
}

void AssemblyCommands::openInformationFile(const QString &path)
{
    if (documents::isCsvPath(path))
        return openInformationTable(path, true);
    m_context.confirmSaveChanges(Pane::Information);
    m_context.workspace().setInformationFileName(path);
    emit informationFileChosen(path);
    m_context.workspace().setDocumentName(path);
    loadPane(true, path);
    m_context.panes().showOnly(Pane::Information);
    checkInformationLineCount();
}

void AssemblyCommands::editTemplateFile1Click()
{
    const QString path = chooseFile(QStringLiteral("*.tem"));
    if (!path.isEmpty())
        openTemplateFile(path);
}

void AssemblyCommands::openTemplateFile(const QString &path)
{
    m_context.confirmSaveChanges(Pane::Template);
    m_context.workspace().setTemplateFileName(path);
    emit templateFileChosen(path);
    m_context.workspace().setDocumentName(Workspace::untitled());
    loadPane(false, path);
    m_context.panes().showOnly(Pane::Template);
}

void AssemblyCommands::mruFiles1MRUItemClick(const QString &path)
{
    m_context.runCommand([this, &path] { loadRecentInformationFile(path); });
}

void AssemblyCommands::mruFiles2MRUItemClick(const QString &path)
{
    m_context.runCommand([this, &path] { loadRecentTemplateFile(path); });
}

void AssemblyCommands::loadRecentInformationFile(const QString &path)
{
    if (documents::isCsvPath(path))
        return openInformationTable(path, false);
    m_context.confirmSaveChanges(Pane::Information);
    loadPane(true, path);
    m_context.mainWindow()->setWindowTitle(path);
    m_context.workspace().setInformationFileName(path);
    m_context.panes().showOnly(Pane::Information);
    // A file from the list can be as odd as one from the menu; the merge
    // would only say much later that an entry has no value.
    checkInformationLineCount();
}

void AssemblyCommands::openInformationTable(const QString &path, bool fromMenu)
{
    RichEditor *pane = m_context.panes().richEditEx2();
    // The table is read and its row chosen before anything changes: a bad
    // table or a Cancel leaves every pane and name as it was.
    const std::optional<InformationTableRow> row
        = chooseInformationTableRow(m_context.dialogs(), m_context.mainWindow(), path, pane->codePage());
    if (!row)
        return;
    m_context.confirmSaveChanges(Pane::Information);
    Workspace &workspace = m_context.workspace();
    workspace.setInformationFileName(path);
    const QString name = QStringLiteral("%1 row %2").arg(path).arg(row->rowNumber);
    if (fromMenu) {
        emit informationFileChosen(path);
        workspace.setDocumentName(name);
    } else {
        m_context.mainWindow()->setWindowTitle(name);
    }
    pane->loadBytes("\xEF\xBB\xBF" + informationPaneText(row->lines).toUtf8(), InputFormat::Text);
    // The lines are the row's, not the table's: saving them over the .csv
    // would destroy the other rows, so Save asks for a new name.
    workspace.setPaneFileName(Pane::Information, Workspace::untitled());
    m_context.panes().showOnly(Pane::Information);
}

void AssemblyCommands::loadRecentTemplateFile(const QString &path)
{
    m_context.confirmSaveChanges(Pane::Template);
    loadPane(false, path);
    m_context.workspace().setTemplateFileName(path);
    m_context.mainWindow()->setWindowTitle(path);
    m_context.panes().showOnly(Pane::Template);
}

// --- the merge ---

void AssemblyCommands::toggleInsOverwrite1Click()
{
    Workspace &workspace = m_context.workspace();
    workspace.setOverwriteMode(!workspace.overwriteMode());
}

void AssemblyCommands::doIt1Click()
{
    PaneArea &panes = m_context.panes();
    Workspace &workspace = m_context.workspace();
    RichEditor *document = panes.richEditEx1();
    RichEditor *information = panes.richEditEx2();

    // The merge reads a copy of the information pane's lines: one read of
    // the pane instead of one per token, and nothing the event loop does
    // while the merge runs can change them under it.
    const QStringList lines = information->wideLines().toStringList();
    const assembly::LineCallbacks informationLines(
        [&lines] { return int(lines.size()); }, [&lines](int index) { return lines.at(index); });
    if (informationLines.count() < 2)
        return report(m_context, assembly::messages::noInformationFile());
    if (document->wideLines().count() < 2)
        return report(m_context, assembly::messages::noTemplateFile());
    m_context.confirmSaveChanges(Pane::Template, Replacement::ByMerge);

    const QByteArray templateBytes = documents::readFileBytes(workspace.templateFileName());
    // Exact placement with a value too long overwrites the form's own
    // words: the user sees which before anything is replaced.
    if (workspace.overwriteMode()) {
        if (const std::optional<QString> question = overflowQuestion(templateBytes, informationLines)) {
            if (m_context.dialogs().askYesNo(m_context.mainWindow(), *question) != QMessageBox::Yes)
                return;
        }
    }

    QLabel *panel = panes.msgPanel();
    panel->setText(QStringLiteral("Please wait"));
    panel->show();
    panel->raise();
    // Whichever way the merge ends, the panel goes.
    auto hidePanel = qScopeGuard([panel] { panel->hide(); });
    repaintNow();

    const assembly::MergeResult result = documents::mergeTemplate(
        templateBytes, informationLines, workspace.overwriteMode(), [panel](qint64 replacements) {
            panel->setText(assembly::messages::progressCaption(replacements));
            repaintNow();
        });
    if (!result.ok()) {
        // Nothing has been changed: both panes hold what they held.
        panel->hide();
        return report(m_context, *result.failure);
    }

    // The finished document comes from memory; no file is written.
    information->hide();
    document->loadBytes(result.text, InputFormat::RTF);
    // A new document that exists nowhere but in the pane: closing or
    // replacing it asks first, and saving offers no name (least of all the
    // template's).
    document->document()->setModified(true);
    workspace.setPaneFileName(Pane::Template, Workspace::untitled());

    panel->hide();
    repaintNow();
    panes.showOnly(Pane::Template);
    report(m_context, assembly::messages::mergeDone(result.replacements));
    panes.showAndFocus(Pane::Template);
}

// --- heading lookup ---

bool AssemblyCommands::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::MouseButtonPress || m_forwardingPress
        || watched != m_context.panes().richEditEx1()->viewport())
        return QObject::eventFilter(watched, event);
    auto *mouse = static_cast<QMouseEvent *>(event);
    if (mouse->button() != Qt::LeftButton)
        return QObject::eventFilter(watched, event);

    // The pane takes the press first (it places the caret and starts its
    // own selection handling); the lookup then sets the selection it wants.
    const QPoint globalPos = mouse->globalPosition().toPoint();
    {
        m_forwardingPress = true;
        auto done = qScopeGuard([this] { m_forwardingPress = false; });
        QCoreApplication::sendEvent(watched, event);
    }
    m_context.runCommand([this, globalPos] { richEditEx1MouseDown(Qt::LeftButton, globalPos); });
    return true;
}

void AssemblyCommands::richEditEx1MouseDown(Qt::MouseButton button, QPoint globalPos)
{
    if (button != Qt::LeftButton)
        return;
    RichEditor *pane = m_context.panes().richEditEx1();
    // Where the press put the caret. A press inside a selection leaves the
    // selection for a possible drag, so the caret is asked of the pressed
    // point rather than of the selection.
    const QPoint viewportPos = pane->viewport()->mapFromGlobal(globalPos);
    const QTextDocument *document = pane->document();
    const int caret = tokenStartAround(*document, pane->cursorForPosition(viewportPos).position());

    // "@", its digits and the character after them, as far as the text goes.
    const int end = pane->textLength();
    QString text;
    for (int position = caret; position < end; ++position) {
        const QChar c = document->characterAt(position);
        text.append(c == QChar::ParagraphSeparator ? QChar(u'\n') : c);
        if (text.size() == 1 ? c != u'@' : !isAsciiDigit(c))
            break;
    }
    const assembly::HeadingLookup lookup
        = assembly::lookUpHeading(text, 0, paneLines(m_context.panes().richEditEx2()));
    if (lookup.kind == assembly::HeadingLookup::Kind::None)
        return;
    // The token itself, "@" and its digits; the space after it stays out
    // of the selection, so typing a value over the token keeps it.
    int tokenLength = 1;
    while (tokenLength < text.size() && isAsciiDigit(text.at(tokenLength)))
        ++tokenLength;
    pane->setSelection(caret + lookup.selectionStart, tokenLength);

    Balloon *balloon = &m_balloon;
    switch (lookup.kind) {
    case assembly::HeadingLookup::Kind::None:
        return;
    case assembly::HeadingLookup::Kind::NoInformationFile: {
        balloon->setColor(QColor(0xFF, 0x00, 0x00));
        QFont font = balloon->font();
        font.setPointSize(11);
        balloon->setFont(font);
        break;
    }
    case assembly::HeadingLookup::Kind::Heading:
        balloon->setColor(QColor(0xFF, 0xFF, 0x00));
        break;
    }
    balloon->showBalloon(globalPos, lookup.text);
}
