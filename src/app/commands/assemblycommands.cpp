#include "app/commands/assemblycommands.h"

#include "widgets/balloon.h"
#include "richtext/codepage.h"
#include "app/commanderror.h"
#include "app/dialogs/dialogs.h"
#include "app/commands/filecommands.h"
#include "assembly/headinglookup.h"
#include "assembly/informationfile.h"
#include "app/mainform.h"
#include "assembly/mergeengine.h"
#include "assembly/messages.h"
#include "editor/richeditor.h"
#include "editor/richeditorlines.h"

#include <QAction>
#include <QBuffer>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QScopeGuard>
#include <QTextDocument>

namespace {

const QString untitled = QStringLiteral("untitled");

// The message dialog for an assembly message; messages meant for the plain
// error box end the command through it.
void report(MainForm &form, const assembly::AssemblyMessage &message)
{
    if (message.display == assembly::AssemblyMessage::Display::ErrorBox)
        throw CommandError(message.text);
    form.dialogs().message(message.title, QString(message.kind), message.text);
}

// Lets the window repaint (the wait panel above all) while a merge runs.
// User input waits until the command is over: a click or key that ran
// another command now could empty or replace a pane in the middle of the
// merge, or start a second merge inside the first.
void repaintNow()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

// Values go into the template's source in the information pane's code page,
// one byte a character, so that exact placement counts them as the template
// counts its own characters; what the code page lacks becomes "\uN?". In a
// double-byte code page a trail byte may be "\", "{" or "}", which RTF would
// take as syntax, so there everything but ASCII is escaped.
assembly::ValueEncoder valueEncoderFor(int codePage)
{
    const bool rawNonAscii = !richtext::codepage::isDoubleByte(codePage);
    return assembly::makeValueEncoder(
        [codePage, rawNonAscii](QChar c) {
            return c.unicode() < 0x80 || (rawNonAscii && richtext::codepage::canEncode(c, codePage));
        },
        [codePage](QStringView run) { return richtext::codepage::fromUnicode(run, codePage); });
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

} // namespace

AssemblyCommands::AssemblyCommands(MainForm &form)
    : QObject(&form)
    , m_form(form)
{
    m_form.connectCommand(m_form.action(QStringLiteral("EditInformationFile1")),
                          [this] { editInformationFile1Click(); });
    m_form.connectCommand(m_form.action(QStringLiteral("EditTemplateFile1")),
                          [this] { editTemplateFile1Click(); });
    m_form.connectCommand(m_form.action(QStringLiteral("DoIt1")), [this] { doIt1Click(); });
    m_form.connectCommand(m_form.action(QStringLiteral("ToggleInsOverwrite1")),
                          [this] { toggleInsOverwrite1Click(); });
    m_form.action(QStringLiteral("ToggleInsOverwrite1"))->setChecked(m_form.overwriteMode());

    m_form.richEditEx1()->viewport()->installEventFilter(this);
}

// --- choosing files ---

QString AssemblyCommands::chooseFile(const QString &pattern)
{
    FileDialogOptions &options = m_form.openDialog();
    options.fileName = pattern;
    const QString path = m_form.dialogs().openFileName(&m_form, options);
    if (!path.isEmpty())
        options.directory = QFileInfo(path).absolutePath();
    return path;
}

void AssemblyCommands::loadPane(bool information, const QString &path)
{
    const Pane role = information ? Pane::Information : Pane::Template;
    // A failed load leaves the pane as it was, so the name changes only after.
    m_form.pane(role)->loadFromFile(path);
    m_form.setPaneFileName(role, path);
}

void AssemblyCommands::checkInformationLineCount()
{
    if (const auto problem = assembly::checkLineCount(paneLines(m_form.richEditEx2())))
        report(m_form, *problem);
}

void AssemblyCommands::editInformationFile1Click()
{
    const QString path = chooseFile(QStringLiteral("*.inf"));
    if (path.isEmpty())
        return;
    m_form.confirmSaveChanges(Pane::Information);
    m_form.setInformationFileName(path);
    emit informationFileChosen(path);
    m_form.setDocumentName(path);
    loadPane(true, path);
    m_form.showPane(Pane::Information);
    checkInformationLineCount();
}

void AssemblyCommands::editTemplateFile1Click()
{
    const QString path = chooseFile(QStringLiteral("*.tem"));
    if (path.isEmpty())
        return;
    m_form.confirmSaveChanges(Pane::Template);
    m_form.setTemplateFileName(path);
    emit templateFileChosen(path);
    m_form.setDocumentName(untitled);
    loadPane(false, path);
    m_form.showPane(Pane::Template);
}

void AssemblyCommands::mruFiles1MRUItemClick(const QString &path)
{
    m_form.runCommand([this, &path] { loadRecentInformationFile(path); });
}

void AssemblyCommands::mruFiles2MRUItemClick(const QString &path)
{
    m_form.runCommand([this, &path] { loadRecentTemplateFile(path); });
}

void AssemblyCommands::loadRecentInformationFile(const QString &path)
{
    m_form.confirmSaveChanges(Pane::Information);
    loadPane(true, path);
    m_form.setWindowTitle(path);
    m_form.setInformationFileName(path);
    m_form.showPane(Pane::Information);
    // A file from the list can be as odd as one from the menu; the merge
    // would only say much later that an entry has no value.
    checkInformationLineCount();
}

void AssemblyCommands::loadRecentTemplateFile(const QString &path)
{
    m_form.confirmSaveChanges(Pane::Template);
    loadPane(false, path);
    m_form.setTemplateFileName(path);
    m_form.setWindowTitle(path);
    m_form.showPane(Pane::Template);
}

// --- the merge ---

void AssemblyCommands::toggleInsOverwrite1Click()
{
    m_form.setOverwriteMode(!m_form.overwriteMode());
    m_form.action(QStringLiteral("ToggleInsOverwrite1"))->setChecked(m_form.overwriteMode());
}

// The merge replaces the template pane. When the pane holds the chosen
// template with edits, the question says that the merge reads the file, not
// the pane: saving now is the only way for the edits to take part.
void AssemblyCommands::confirmReplacingMergedPane()
{
    if (!m_form.hasUnsavedChanges(Pane::Template))
        return;
    const QString name = m_form.paneFileName(Pane::Template);
    if (m_form.templateFileName().isEmpty() || name != m_form.templateFileName()) {
        m_form.confirmSaveChanges(Pane::Template);
        return;
    }
    const QString question
        = QStringLiteral("Save changes to %1?\n\n"
                         "The merge reads the Template file from disk: changes not saved "
                         "take no part in it.")
              .arg(name);
    switch (m_form.dialogs().askYesNoCancel(&m_form, question)) {
    case QMessageBox::Yes:
        m_form.fileCommands()->savePane(Pane::Template);
        break;
    case QMessageBox::No:
        break;
    default:
        throw SilentAbort();
    }
}

void AssemblyCommands::doIt1Click()
{
    RichEditor *document = m_form.richEditEx1();
    RichEditor *information = m_form.richEditEx2();

    // The merge reads a copy of the information pane's lines: one read of
    // the pane instead of one per token, and nothing the event loop does
    // while the merge runs can change them under it.
    const QStringList lines = information->wideLines().toStringList();
    const assembly::LineCallbacks informationLines(
        [&lines] { return int(lines.size()); }, [&lines](int index) { return lines.at(index); });
    if (informationLines.count() < 2)
        return report(m_form, assembly::messages::noInformationFile());
    const int templateLineCount = document->wideLines().count();
    if (templateLineCount < 2)
        return report(m_form, assembly::messages::noTemplateFile());
    confirmReplacingMergedPane();

    QLabel *panel = m_form.msgPanel();
    panel->setText(QStringLiteral("Please wait"));
    panel->show();
    panel->raise();
    // Whichever way the merge ends, the panel goes.
    auto hidePanel = qScopeGuard([panel] { panel->hide(); });
    repaintNow();

    assembly::MergeOptions options;
    options.overwrite = m_form.overwriteMode();
    assembly::MergeEngine engine(informationLines, valueEncoderFor(information->codePage()), options);
    engine.setProgressCallback([panel](qint64 replacements) {
        panel->setText(assembly::messages::progressCaption(replacements));
        repaintNow();
    });
    assembly::MergeResult result = engine.run(m_form.templateFileName(), templateLineCount);
    if (!result.ok()) {
        // Nothing has been changed: both panes hold what they held.
        panel->hide();
        return report(m_form, *result.failure);
    }

    // The finished document comes from memory; no file is written.
    information->hide();
    QBuffer buffer(&result.text);
    buffer.open(QIODevice::ReadOnly);
    const InputFormat format = document->inputFormat();
    const bool selectedInOut = document->selectedInOut();
    auto restoreFormat = qScopeGuard([&] {
        document->setInputFormat(format);
        document->setSelectedInOut(selectedInOut);
    });
    document->setInputFormat(InputFormat::RTF);
    document->setSelectedInOut(false);
    document->clear();
    document->loadFromStream(buffer);
    // A new document that exists nowhere but in the pane: closing or
    // replacing it asks first, and saving offers no name (least of all the
    // template's).
    document->document()->setModified(true);
    m_form.setPaneFileName(Pane::Template, untitled);

    panel->hide();
    repaintNow();
    m_form.showPane(Pane::Template);
    report(m_form, assembly::messages::mergeDone(result.replacements));
    m_form.showAndFocusPane(Pane::Template);
}

// --- heading lookup ---

bool AssemblyCommands::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::MouseButtonPress || m_forwardingPress
        || watched != m_form.richEditEx1()->viewport())
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
    m_form.runCommand([this, globalPos] { richEditEx1MouseDown(Qt::LeftButton, globalPos); });
    return true;
}

void AssemblyCommands::richEditEx1MouseDown(Qt::MouseButton button, QPoint globalPos)
{
    if (button != Qt::LeftButton)
        return;
    RichEditor *pane = m_form.richEditEx1();
    // Where the press put the caret. A press inside a selection leaves the
    // selection for a possible drag, so the caret is asked of the pressed
    // point rather than of the selection.
    const QPoint viewportPos = pane->viewport()->mapFromGlobal(globalPos);
    const int caret = pane->cursorForPosition(viewportPos).position();

    // "@", its digits and the character after them, as far as the text goes.
    const QTextDocument *document = pane->document();
    const int end = pane->textLength();
    QString text;
    for (int position = caret; position < end; ++position) {
        const QChar c = document->characterAt(position);
        text.append(c == QChar::ParagraphSeparator ? QChar(u'\n') : c);
        if (text.size() == 1 ? c != u'@' : !isAsciiDigit(c))
            break;
    }
    const assembly::HeadingLookup lookup
        = assembly::lookUpHeading(text, 0, paneLines(m_form.richEditEx2()));
    pane->setSelection(caret + lookup.selectionStart, lookup.selectionLength);

    Balloon *balloon = m_form.balloon();
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
