#pragma once

// The Document Assembly menu: choosing the Information and Template files
// (from the menu or from a recent-files list), the merge ("Do It") and the
// insert/overwrite switch, and the heading balloon shown when the left
// button is pressed on a token in the template pane. The state they share
// (chosen files, overwrite mode) is kept by the workspace.
//
// Every command that replaces a pane first asks the unsaved-changes
// question about it, so an edited template, Information file or finished
// document is never dropped without the user's word.

#include <QObject>
#include <QPoint>
#include <QString>

class Balloon;
class CommandContext;
class QEvent;

class AssemblyCommands : public QObject
{
    Q_OBJECT

public:
    AssemblyCommands(CommandContext &context, Balloon &balloon);

    // "Edit/Select Information File": the open dialog with "*.inf" in its
    // name field; the chosen file goes into the information pane, which is
    // shown, and an odd line count is reported. A spreadsheet table (.csv)
    // may be chosen too: the user picks one of its rows, whose headings and
    // values become the pane's lines; the pane then has no file of its own
    // (Save asks for a name, never writes over the table), while the table
    // stays the chosen Information file.
    void editInformationFile1Click();
    // "Edit/Select Template File": the same with "*.tem" for the template
    // pane. The caption becomes "untitled - ..." so that saving the
    // finished document never offers the template's own name.
    void editTemplateFile1Click();
    // What the two commands do with the chosen path, for files named on the
    // command line: the same question, state, load and check.
    void openInformationFile(const QString &path);
    void openTemplateFile(const QString &path);

    // Callbacks for the recent-files lists (Information files, Template
    // files), to be connected to their item-click signal. They run as
    // commands of their own: a failure is shown in the error box, never
    // thrown back into the list. The caption becomes the full path.
    void mruFiles1MRUItemClick(const QString &path);
    void mruFiles2MRUItemClick(const QString &path);

    // "Do It": merges the chosen Template file (as saved on disk) with the
    // lines of the information pane and puts the finished document into the
    // template pane as a new, unsaved document. In overwrite mode, values
    // too long for the room after their tokens are shown first and the
    // user is asked whether to go on; No ends the command with nothing
    // changed.
    void doIt1Click();
    // "Toggle Ins/Overwrite": switches the workspace's overwrite mode.
    void toggleInsOverwrite1Click();

    // The heading lookup for a press of `button` at the screen point
    // `globalPos` in the template pane, after the pane has taken the press:
    // the caret position is that of the pressed point, and the balloon's
    // tail points there. The pane's viewport is watched, so a real press
    // gets here. A press on a token selects the token and shows its
    // heading; anywhere else the caret stays where the press put it, so
    // the next key types there instead of replacing a character.
    void richEditEx1MouseDown(Qt::MouseButton button, QPoint globalPos);

signals:
    // A path chosen through the menu, for the recent-files lists to add.
    // Paths opened from a list are not announced: the list took them out.
    void informationFileChosen(const QString &path);
    void templateFileChosen(const QString &path);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The open dialog with `pattern` in its name field and `moreFilters`
    // ("Description|pattern...") after its own filters.
    QString chooseFile(const QString &pattern, const QString &moreFilters = QString());
    // A .csv table as the Information file: one of its rows, chosen by the
    // user, goes into the information pane (see informationtable.h).
    // `fromMenu` as for the two ways of choosing an Information file.
    void openInformationTable(const QString &path, bool fromMenu);
    void loadPane(bool information, const QString &path);
    void checkInformationLineCount();
    void loadRecentInformationFile(const QString &path);
    void loadRecentTemplateFile(const QString &path);

    CommandContext &m_context;
    Balloon &m_balloon;
    bool m_forwardingPress = false;
};
