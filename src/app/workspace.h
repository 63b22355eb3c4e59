#pragma once

// The work in hand, apart from the widgets that show it: the document's name
// (which the caption follows), the Template and Information files chosen
// last, the merge mode, the file each pane's content belongs to, and the
// rule that says which panes a command must ask about before it replaces or
// drops them. MainForm owns it and shows what it says; the commands read and
// change it through their context. No widgets, so the rule is tested alone.

#include <QFlags>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>

// The two panes by their role.
enum class Pane {
    Template = 0x1, // RichEditEx1: the template or finished document
    Information = 0x2, // RichEditEx2: the Information file
};
Q_DECLARE_FLAGS(Panes, Pane)
Q_DECLARE_OPERATORS_FOR_FLAGS(Panes)

// What the unsaved-changes rule needs to know of a pane's content right now.
struct PaneContent
{
    bool modified = false;
    bool empty = true;
};

// Why a command replaces a pane. A merge reads the Template file from disk,
// so edits to that file in the pane take no part unless saved first; the
// question says so.
enum class Replacement { Plain, ByMerge };

struct SaveQuestion
{
    Pane pane;
    QString text;
};

class Workspace : public QObject
{
    Q_OBJECT

public:
    using ContentProbe = std::function<PaneContent(Pane)>;
    // `probe` reports a pane's content whenever the rule asks.
    explicit Workspace(ContentProbe probe, QObject *parent = nullptr);

    // Start-up, choosing a template and a merge name the document
    // "untitled"; New names it "Untitled". Either way the document has no
    // file of its own, and Save asks for a name as Save As does.
    static QString untitled() { return QStringLiteral("untitled"); }
    static QString newDocumentName() { return QStringLiteral("Untitled"); }

    QString documentName() const { return m_documentName; }
    void setDocumentName(const QString &name);
    // The part of the document name after the last "/", for the caption.
    QString documentFileName() const;

    QString templateFileName() const { return m_templateFileName; }
    void setTemplateFileName(const QString &path) { m_templateFileName = path; }
    QString informationFileName() const { return m_informationFileName; }
    void setInformationFileName(const QString &path) { m_informationFileName = path; }

    bool overwriteMode() const { return m_overwriteMode; }
    void setOverwriteMode(bool on);

    // The file a pane's content came from or was last saved to, named by
    // the unsaved-changes question; "untitled" until a command sets it.
    QString paneFileName(Pane which) const;
    void setPaneFileName(Pane which, const QString &name);
    // A pane named "untitled" in any case has never had a file of its own.
    bool hasOwnFile(Pane which) const;
    // The file Save may write the pane to after the user confirms it, or
    // nothing when Save must ask for a new name. A template chosen for the
    // merge is never a save target: the finished document or an edited copy
    // saved over it would destroy the form itself.
    QString saveTarget(Pane which) const;

    // Modified and holding at least one line: text typed and deleted again
    // leaves nothing worth a question.
    bool hasUnsavedChanges(Pane which) const;
    // The questions a command that replaces or drops `which` must ask,
    // one per pane with unsaved changes, `shownFirst` asked first.
    QList<SaveQuestion> saveQuestions(
        Panes which, Pane shownFirst, Replacement replacement = Replacement::Plain) const;

signals:
    void documentNameChanged(const QString &name);
    void overwriteModeChanged(bool on);

private:
    ContentProbe m_probe;
    QString m_documentName = untitled();
    QString m_templateFileName;
    QString m_informationFileName;
    bool m_overwriteMode = false;
    QString m_paneFileNames[2] = {untitled(), untitled()};
};
