#pragma once

// Document Assembly > "Check Template": the Template file, read as the merge
// reads it, checked against the information pane's lines in the merge mode
// set now. The findings go into one TemplateCheckDialog, kept for the run
// and refilled by each check. Choosing a finding shows its place: the
// token's characters selected in the template pane (the checked template
// is put back there first if the pane holds something else, a finished
// document say), or the line in the information pane.

#include <QObject>
#include <QString>

class CommandContext;
class TemplateCheckDialog;
namespace documents {
struct Finding;
}

class TemplateCheckCommand : public QObject {
    Q_OBJECT

public:
    explicit TemplateCheckCommand(CommandContext &context);

    // Refuses as "Do It" does without a chosen template or with fewer than
    // two Information lines. A template pane holding the Template file
    // with unsaved changes is asked about first: the check, like the
    // merge, reads the file as saved.
    void checkTemplate1Click();
    // Shows the place of finding `index` of the list; what cannot be shown
    // is said in the list's status line.
    void showFinding(int index);

    // The list window; nullptr before the first check.
    TemplateCheckDialog *dialog() const { return m_dialog; }

private:
    void showTemplatePlace(const documents::Finding &finding);
    void showInformationLine(const documents::Finding &finding);
    // Whether the template pane holds the checked template, after putting
    // it back there if it held another document.
    bool bringBackCheckedTemplate();
    QString subject(std::size_t errors, std::size_t warnings, std::size_t notes) const;

    CommandContext &m_context;
    TemplateCheckDialog *m_dialog = nullptr;
    QString m_checkedPath;
};
