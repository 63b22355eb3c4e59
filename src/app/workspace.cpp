#include "app/workspace.h"

#include <QFileInfo>

namespace {

int paneIndex(Pane which)
{
    return which == Pane::Template ? 0 : 1;
}

} // namespace

Workspace::Workspace(ContentProbe probe, QObject *parent)
    : QObject(parent)
    , m_probe(std::move(probe))
{
}

void Workspace::setDocumentName(const QString &name)
{
    m_documentName = name;
    emit documentNameChanged(name);
}

QString Workspace::documentFileName() const
{
    return m_documentName.mid(m_documentName.lastIndexOf(u'/') + 1);
}

void Workspace::setOverwriteMode(bool on)
{
    if (on == m_overwriteMode)
        return;
    m_overwriteMode = on;
    emit overwriteModeChanged(on);
}

QString Workspace::paneFileName(Pane which) const
{
    return m_paneFileNames[paneIndex(which)];
}

void Workspace::setPaneFileName(Pane which, const QString &name)
{
    m_paneFileNames[paneIndex(which)] = name;
}

bool Workspace::hasOwnFile(Pane which) const
{
    return paneFileName(which).compare(untitled(), Qt::CaseInsensitive) != 0;
}

QString Workspace::saveTarget(Pane which) const
{
    if (!hasOwnFile(which))
        return QString();
    const QString own = paneFileName(which);
    if (which == Pane::Template && !m_templateFileName.isEmpty()
        && QFileInfo(own).absoluteFilePath() == QFileInfo(m_templateFileName).absoluteFilePath())
        return QString();
    return own;
}

bool Workspace::hasUnsavedChanges(Pane which) const
{
    const PaneContent content = m_probe(which);
    return content.modified && !content.empty;
}

QList<SaveQuestion> Workspace::saveQuestions(
    Panes which, Pane shownFirst, Replacement replacement) const
{
    const Pane second = shownFirst == Pane::Template ? Pane::Information : Pane::Template;
    QList<SaveQuestion> questions;
    for (Pane pane : {shownFirst, second}) {
        if (!which.testFlag(pane) || !hasUnsavedChanges(pane))
            continue;
        QString text = QStringLiteral("Save changes to %1?").arg(paneFileName(pane));
        // Only when the pane holds the very file the merge will read does
        // saving change what the merge sees; a finished document or an
        // unrelated text gets the plain question.
        if (replacement == Replacement::ByMerge && pane == Pane::Template
            && !m_templateFileName.isEmpty() && paneFileName(pane) == m_templateFileName) {
            text += QStringLiteral("\n\nThe merge reads the Template file from disk: changes "
                                   "not saved take no part in it.");
        }
        questions.append({pane, text});
    }
    return questions;
}
