#pragma once

// The main window: it creates and lays out the components (menus, toolbar,
// ruler, the two panes, hint panel, status bar, timers, balloon, help
// window), keeps the little state that ties document assembly together,
// and wires the command groups (file, edit, format, assembly, help) to the
// menus and buttons. The commands themselves live in those groups.
//
// Every command runs through runCommand(): an exception that leaves it is
// shown in the error box of the dialog interface and the window stays
// usable; a SilentAbort (the user cancelled a question) ends it quietly.

#include "app/dialogs/dialogs.h"
#include "app/panearea.h"

#include <QMainWindow>
#include <QString>

#include <functional>
#include <memory>

class AssemblyCommands;
class Balloon;
class EditCommands;
class FileCommands;
class FormatCommands;
class HelpCommands;
class HelpForm;
class HintPanel;
class MainMenu;
class QAbstractButton;
class QAction;
class QLabel;
class QProgressBar;
class QStatusBar;
class QTimer;
class RichEditor;
class Ruler;
class SpeedBar;

class MainForm : public QMainWindow
{
    Q_OBJECT

public:
    // Without a dialog interface the window asks through real dialogs.
    explicit MainForm(std::unique_ptr<Dialogs> dialogs = nullptr, QWidget *parent = nullptr);
    ~MainForm() override;

    // --- components ---
    RichEditor *richEditEx1() const;
    RichEditor *richEditEx2() const;
    RichEditor *pane(Pane which) const;
    PaneArea *paneArea() const { return m_paneArea; }
    MainMenu *mainMenu() const { return m_menu; }
    QAction *action(const QString &name) const;
    SpeedBar *speedBar() const { return m_speedBar; }
    Ruler *ruler() const { return m_ruler; }
    HintPanel *hintPanel() const { return m_hintPanel; }
    QLabel *msgPanel() const;
    QProgressBar *progressBar() const;
    QTimer *timer1() const;
    QTimer *timer2() const { return m_timer2; }
    Balloon *balloon() const { return m_balloon; }
    HelpForm *helpForm() const { return m_helpForm; }
    Dialogs &dialogs() const { return *m_dialogs; }
    // The state of the two file dialogs between uses: where they start, the
    // filter, the name field.
    FileDialogOptions &openDialog() { return m_openDialog; }
    FileDialogOptions &saveDialog() { return m_saveDialog; }

    FileCommands *fileCommands() const { return m_fileCommands; }
    EditCommands *editCommands() const { return m_editCommands; }
    FormatCommands *formatCommands() const { return m_formatCommands; }
    AssemblyCommands *assemblyCommands() const { return m_assemblyCommands; }
    HelpCommands *helpCommands() const { return m_helpCommands; }

    // --- state ---
    QString documentName() const { return m_documentName; }
    // Stores the name and sets the caption "<file name> - QRN    Quorin",
    // the file name being the part after the last "/".
    void setDocumentName(const QString &name);
    QString templateFileName() const { return m_templateFileName; }
    void setTemplateFileName(const QString &path) { m_templateFileName = path; }
    QString informationFileName() const { return m_informationFileName; }
    void setInformationFileName(const QString &path) { m_informationFileName = path; }
    bool overwriteMode() const { return m_overwriteMode; }
    void setOverwriteMode(bool on) { m_overwriteMode = on; }

    // The file a pane's content came from or was last saved to, named by the
    // unsaved-changes question; "untitled" until a command sets it. Commands
    // that load, save or clear a pane keep it up to date.
    QString paneFileName(Pane which) const;
    void setPaneFileName(Pane which, const QString &name);

    // --- panes ---
    RichEditor *templateFirstPane() const;
    RichEditor *informationFirstPane() const;
    // Shows the pane and hides the other.
    void showPane(Pane which);
    // Gives the pane the focus; throws CommandError for a hidden pane.
    void focusPane(RichEditor *pane);
    // For commands that act on a pane whatever is shown: shows it first.
    void showAndFocusPane(Pane which);
    // "&Toggle Windows" and "Switch".
    void t1Click();

    // --- unsaved changes ---
    // True when the pane holds lines and its modified flag is set.
    bool hasUnsavedChanges(Pane which) const;
    // Asks "Save changes to <file>?" (Yes, No, Cancel) about every pane of
    // `which` that holds unsaved changes, the pane shown first. Yes saves
    // that pane, No goes on, Cancel throws SilentAbort. Commands pass the
    // panes they would replace or drop; closing passes both.
    void confirmSaveChanges(Panes which);

    // --- hints ---
    // The application's current hint. Every change of it runs showhint(),
    // an empty text included.
    QString applicationHint() const { return m_applicationHint; }
    void setApplicationHint(const QString &hint);
    void showhint();
    void timer1Timer();
    // Timer2's tick, one second after creation: stops it and runs the
    // start-up tip hook, which the tip dialog sets (it checks its own
    // show-at-start-up setting).
    void timer2Timer();
    void setStartupTipHook(std::function<void()> hook) { m_startupTipHook = std::move(hook); }

    // --- commands ---
    // Runs a command, reporting what leaves it (see above).
    void runCommand(const std::function<void()> &command);
    // Shows the message of an exception in the error box; nothing for a
    // SilentAbort.
    void reportError(std::exception_ptr error);
    // Connects an item or a button to a command run through runCommand and
    // enables it.
    void connectCommand(QAction *action, std::function<void()> command);
    void connectCommand(QAbstractButton *button, std::function<void()> command);

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void createComponents();

    std::unique_ptr<Dialogs> m_dialogs;
    FileDialogOptions m_openDialog;
    FileDialogOptions m_saveDialog;

    MainMenu *m_menu = nullptr;
    SpeedBar *m_speedBar = nullptr;
    Ruler *m_ruler = nullptr;
    PaneArea *m_paneArea = nullptr;
    HintPanel *m_hintPanel = nullptr;
    QStatusBar *m_statusBar = nullptr;
    QTimer *m_timer2 = nullptr;
    Balloon *m_balloon = nullptr;
    HelpForm *m_helpForm = nullptr;

    FileCommands *m_fileCommands = nullptr;
    EditCommands *m_editCommands = nullptr;
    FormatCommands *m_formatCommands = nullptr;
    AssemblyCommands *m_assemblyCommands = nullptr;
    HelpCommands *m_helpCommands = nullptr;

    QString m_documentName;
    QString m_templateFileName;
    QString m_informationFileName;
    bool m_overwriteMode = false;
    QString m_paneFileNames[2];
    QString m_applicationHint;
    std::function<void()> m_startupTipHook;
};
