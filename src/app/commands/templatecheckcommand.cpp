#include "app/commands/templatecheckcommand.h"

#include "app/commandcontext.h"
#include "app/dialogs/dialogs.h"
#include "app/dialogs/templatecheckdialog.h"
#include "app/panearea.h"
#include "assembly/informationfile.h"
#include "assembly/messages.h"
#include "documents/documentreader.h"
#include "documents/templatecheck.h"
#include "editor/richeditor.h"
#include "editor/richeditorlines.h"

#include <QFileInfo>
#include <QRect>
#include <QTextBlock>
#include <QTextDocument>
#include <QWidget>

namespace {

void showMessage(CommandContext &context, const assembly::AssemblyMessage &message)
{
    context.dialogs().message(message.title, QString(message.kind), message.text);
}

QString counted(std::size_t n, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

TemplateCheckCommand::TemplateCheckCommand(CommandContext &context)
    : QObject(context.mainWindow())
    , m_context(context)
{
}

void TemplateCheckCommand::checkTemplate1Click()
{
    Workspace &workspace = m_context.workspace();
    // The lines as they are now, read once, as the merge reads them.
    const QStringList lines = m_context.panes().richEditEx2()->wideLines().toStringList();
    const assembly::LineCallbacks information(
        [&lines] { return int(lines.size()); }, [&lines](int index) { return lines.at(index); });
    if (information.count() < 2)
        return showMessage(m_context, assembly::messages::noInformationFile());
    const QString path = workspace.templateFileName();
    if (path.isEmpty())
        return showMessage(m_context, assembly::messages::noTemplateFile());
    if (workspace.paneFileName(Pane::Template) == path)
        m_context.confirmSaveChanges(Pane::Template, Replacement::ByMerge);

    documents::CheckOptions options;
    options.overwrite = workspace.overwriteMode();
    std::vector<documents::Finding> findings
        = documents::checkTemplate(documents::readFileBytes(path), information, options);
    m_checkedPath = path;

    std::size_t counts[3] = { 0, 0, 0 };
    for (const documents::Finding &finding : findings)
        ++counts[int(finding.severity)];
    if (!m_dialog) {
        m_dialog = new TemplateCheckDialog(m_context.mainWindow());
        connect(m_dialog, &TemplateCheckDialog::findingChosen, this,
            [this](int index) { m_context.runCommand([this, index] { showFinding(index); }); });
        // Over the lower part of the window, so that the top of the pane,
        // where a chosen place is scrolled into view, stays visible. Where
        // the user moves it afterwards, it stays.
        const QRect window = m_context.mainWindow()->geometry();
        m_dialog->resize(qMin(m_dialog->width(), window.width() - 40), m_dialog->height());
        m_dialog->move(window.left() + (window.width() - m_dialog->width()) / 2,
            qMax(window.top(), window.bottom() - m_dialog->height() - 40));
    }
    m_dialog->setFindings(std::move(findings), subject(counts[0], counts[1], counts[2]));
    m_dialog->show();
    m_dialog->raise();
    m_dialog->activateWindow();
}

QString TemplateCheckCommand::subject(
    std::size_t errors, std::size_t warnings, std::size_t notes) const
{
    const Workspace &workspace = m_context.workspace();
    const QString information = workspace.informationFileName().isEmpty()
        ? QStringLiteral("the information pane")
        : QFileInfo(workspace.informationFileName()).fileName();
    QStringList found;
    if (errors > 0)
        found.append(counted(errors, "error", "errors"));
    if (warnings > 0)
        found.append(counted(warnings, "warning", "warnings"));
    if (notes > 0)
        found.append(counted(notes, "note", "notes"));
    return QStringLiteral("%1 (as saved) with %2, for a merge in %3 mode: %4.")
        .arg(QFileInfo(m_checkedPath).fileName(), information,
            workspace.overwriteMode() ? QStringLiteral("overwrite") : QStringLiteral("insert"),
            found.isEmpty() ? QStringLiteral("nothing to report")
                            : found.join(QStringLiteral(", ")));
}

void TemplateCheckCommand::showFinding(int index)
{
    if (!m_dialog || index < 0 || std::size_t(index) >= m_dialog->findings().size())
        return;
    // A copy: putting the template back may run a save, and the list must
    // not change under the finding meanwhile.
    const documents::Finding finding = m_dialog->findings()[std::size_t(index)];
    if (finding.place == documents::Finding::Place::Information)
        showInformationLine(finding);
    else
        showTemplatePlace(finding);
}

void TemplateCheckCommand::showTemplatePlace(const documents::Finding &finding)
{
    if (finding.textPosition < 0) {
        m_dialog->setStatus(
            QStringLiteral("%1 of the template's source shows no text in the document "
                           "(a page header or footer, a footnote, the font table ...): "
                           "there is nothing to select.")
                .arg(TemplateCheckDialog::placeText(finding)));
        return;
    }
    if (!bringBackCheckedTemplate())
        return;
    RichEditor *pane = m_context.panes().richEditEx1();
    const QTextDocument *document = pane->document();
    const int at = finding.textPosition;
    // Edits since the check move the places after them; an "@" that is no
    // longer where the check saw it is not guessed at.
    if (at >= pane->textLength() || document->characterAt(at) != u'@') {
        m_context.panes().showAndFocus(Pane::Template);
        m_dialog->setStatus(
            QStringLiteral("The template has changed since the check: run Check Template "
                           "again (it reads the Template file as saved)."));
        return;
    }
    // The "@" and the digits the document shows after it: a token split by
    // formatting in the source is one run of characters here.
    int length = 1;
    while (at + length < pane->textLength() && isAsciiDigit(document->characterAt(at + length)))
        ++length;
    m_context.panes().showAndFocus(Pane::Template);
    pane->setSelection(at, length);
    pane->ensureCursorVisible();
    m_context.mainWindow()->activateWindow();
    m_dialog->setStatus(QStringLiteral("Selected \"%1\" in the template (source %2).")
                            .arg(pane->selText(), TemplateCheckDialog::placeText(finding)));
}

bool TemplateCheckCommand::bringBackCheckedTemplate()
{
    Workspace &workspace = m_context.workspace();
    if (workspace.templateFileName() != m_checkedPath) {
        m_dialog->setStatus(
            QStringLiteral("Another Template file has been chosen since the check: run "
                           "Check Template again."));
        return false;
    }
    if (workspace.paneFileName(Pane::Template) == m_checkedPath)
        return true;
    // The pane holds another document (the finished one, after a merge):
    // the template comes back as choosing it again would bring it, after
    // the question about what the pane holds.
    m_context.confirmSaveChanges(Pane::Template);
    m_context.panes().richEditEx1()->loadFromFile(m_checkedPath);
    workspace.setPaneFileName(Pane::Template, m_checkedPath);
    workspace.setDocumentName(Workspace::untitled());
    return true;
}

void TemplateCheckCommand::showInformationLine(const documents::Finding &finding)
{
    RichEditor *pane = m_context.panes().richEditEx2();
    // The information pane does not wrap: each line is one block.
    const QTextBlock block = pane->document()->findBlockByNumber(finding.line - 1);
    if (!block.isValid()) {
        m_dialog->setStatus(
            QStringLiteral("The information pane has no line %1 now: run Check Template "
                           "again.")
                .arg(finding.line));
        return;
    }
    m_context.panes().showAndFocus(Pane::Information);
    pane->setSelection(block.position(), block.length() - 1);
    pane->ensureCursorVisible();
    m_context.mainWindow()->activateWindow();
    m_dialog->setStatus(
        QStringLiteral("Selected line %1 of the information pane.").arg(finding.line));
}
