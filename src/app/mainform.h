#pragma once

// The main window: it creates and lays out the components (menus, toolbar,
// ruler, the two panes, hint panel, status bar, timers, balloon, help
// window), owns the workspace and shows it (the caption follows the
// document's name), and wires the command groups (file, edit, format,
// assembly, help) to the menus and buttons. The commands themselves live in
// those groups, which reach the window only through its CommandContext.
//
// Every command runs through runCommand(): an exception that leaves it is
// shown in the error box of the dialog interface and the window stays
// usable; a SilentAbort (the user cancelled a question) ends it quietly.

#include "app/commandcontext.h"
#include "app/commandline.h"
#include "app/dialogs/dialogs.h"
#include "app/panearea.h"
#include "app/workspace.h"
#include "print/printdialogs.h"

#include <QMainWindow>
#include <QString>

#include <functional>
#include <memory>

class AssemblyCommands;
class Balloon;
class CreditsForm;
class EditCommands;
class FileCommands;
class FormatCommands;
class HelpCommands;
class PrintCommands;
class HelpForm;
class HintPanel;
class MainMenu;
class MRUFileList;
class QAbstractButton;
class QAction;
class QLabel;
class QProgressBar;
class QStatusBar;
class QTimer;
class RichEditor;
class Ruler;
class SpeedBar;
class TemplateCheckCommand;
class TipOfDayDialog;
class WindowSettings;
namespace print {
class RichPrinter;
}

class MainForm : public QMainWindow, public CommandContext
{
    Q_OBJECT

public:
    // Without a dialog interface the window asks through real dialogs;
    // without a print dialog interface, the printer's questions too.
    explicit MainForm(std::unique_ptr<Dialogs> dialogs = nullptr, QWidget *parent = nullptr,
                      std::unique_ptr<print::PrintDialogs> printDialogs = nullptr);
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
    // Recent Information files and recent Templates.
    MRUFileList *mruFiles1() const { return m_mruFiles1; }
    MRUFileList *mruFiles2() const { return m_mruFiles2; }
    TipOfDayDialog *tipDlg1() const { return m_tipDlg1; }
    CreditsForm *creditsForm() const { return m_creditsForm; }

    FileCommands *fileCommands() const { return m_fileCommands; }
    EditCommands *editCommands() const { return m_editCommands; }
    FormatCommands *formatCommands() const { return m_formatCommands; }
    AssemblyCommands *assemblyCommands() const { return m_assemblyCommands; }
    TemplateCheckCommand *templateCheckCommand() const { return m_templateCheckCommand; }
    HelpCommands *helpCommands() const { return m_helpCommands; }
    PrintCommands *printCommands() const { return m_printCommands; }
    // RichPrinter1: prints and previews the document pane.
    print::RichPrinter *richPrinter1() const { return m_richPrinter1; }

    // --- the commands' context ---
    Workspace &workspace() override { return *m_workspace; }
    Dialogs &dialogs() override { return *m_dialogs; }
    QWidget *mainWindow() override { return this; }
    FileDialogOptions &openDialog() override { return m_openDialog; }
    FileDialogOptions &saveDialog() override { return m_saveDialog; }
    void rememberDialogFolder(const QString &path) override;
    PaneArea &panes() override { return *m_paneArea; }
    print::RichPrinter &richPrinter() override { return *m_richPrinter1; }
    // Runs a command, reporting what leaves it (see above).
    void runCommand(const std::function<void()> &command) override;
    void savePane(Pane which) override;

    // "&Toggle Windows" and "Switch".
    void t1Click();

    // Opens the files named on the command line, in order, each through
    // the command that opens its kind of file. A file that cannot be opened
    // is reported and the others still open.
    void openFiles(const QList<StartupFile> &files);

    // --- hints ---
    // The application's current hint. Every change of it runs showhint(),
    // an empty text included.
    QString applicationHint() const { return m_applicationHint; }
    void setApplicationHint(const QString &hint);
    void showhint();
    void timer1Timer();
    // Timer2's tick, one second after creation: stops it and runs the
    // start-up tip hook; by default it shows a random tip when the tip
    // window's "show at start-up" box was left ticked.
    void timer2Timer();
    void setStartupTipHook(std::function<void()> hook) { m_startupTipHook = std::move(hook); }
    std::function<void()> startupTipHook() const { return m_startupTipHook; }

    // --- commands ---
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
    void connectCommands();
    void showDocumentName();
    void openFile(const StartupFile &file);
    // The file dialogs start in the folder used last, in this run or an
    // earlier one, else in the user's documents.
    void setUpFileDialogs();
    void createRecentFiles();
    void createTips();

    std::unique_ptr<Dialogs> m_dialogs;
    std::unique_ptr<print::PrintDialogs> m_printDialogs;
    std::unique_ptr<WindowSettings> m_settings;
    Workspace *m_workspace = nullptr;
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
    MRUFileList *m_mruFiles1 = nullptr;
    MRUFileList *m_mruFiles2 = nullptr;
    TipOfDayDialog *m_tipDlg1 = nullptr;
    CreditsForm *m_creditsForm = nullptr;

    FileCommands *m_fileCommands = nullptr;
    EditCommands *m_editCommands = nullptr;
    FormatCommands *m_formatCommands = nullptr;
    AssemblyCommands *m_assemblyCommands = nullptr;
    TemplateCheckCommand *m_templateCheckCommand = nullptr;
    HelpCommands *m_helpCommands = nullptr;
    PrintCommands *m_printCommands = nullptr;
    print::RichPrinter *m_richPrinter1 = nullptr;

    QString m_applicationHint;
    std::function<void()> m_startupTipHook;
};
