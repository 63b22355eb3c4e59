#include "app/mainform.h"

#include "app/chrome/hintpanel.h"
#include "app/chrome/hints.h"
#include "app/chrome/mainmenu.h"
#include "app/chrome/ruler.h"
#include "app/chrome/speedbar.h"
#include "app/commanderror.h"
#include "app/commands/assemblycommands.h"
#include "app/commands/editcommands.h"
#include "app/commands/filecommands.h"
#include "app/commands/formatcommands.h"
#include "app/commands/helpcommands.h"
#include "app/commands/printcommands.h"
#include "app/commands/templatecheckcommand.h"
#include "app/dialogs/dialogs.h"
#include "app/dialogs/helpform.h"
#include "app/quorinapplication.h"
#include "app/windowsettings.h"
#include "editor/richeditor.h"
#include "editor/richeditorlines.h"
#include "print/printdialogs.h"
#include "print/richprinter.h"
#include "widgets/balloon.h"
#include "widgets/creditsform.h"
#include "widgets/mrufilelist.h"
#include "widgets/quorintips.h"
#include "widgets/tipofdaydialog.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QPushButton>
#include <QToolButton>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QMenuBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTimer>
#include <QVBoxLayout>

MainForm::MainForm(std::unique_ptr<Dialogs> dialogs, QWidget *parent,
                   std::unique_ptr<print::PrintDialogs> printDialogs)
    : QMainWindow(parent)
    , m_dialogs(dialogs ? std::move(dialogs) : std::make_unique<Dialogs>())
    , m_printDialogs(printDialogs ? std::move(printDialogs) : std::make_unique<print::PrintDialogs>())
    , m_settings(std::make_unique<WindowSettings>())
{
    setObjectName(QStringLiteral("MainForm"));
    setProperty("helpContext", 20);

    createComponents();
    // Where the last run left it, never larger than the screen nor off it.
    placeWindow(*this, m_settings->placement());

    // Hints reach showhint() through event() (menu items and anything with
    // a status tip) and eventFilter() (toolbar controls, whose long hint
    // may be empty).
    for (QWidget *control : m_speedBar->controls())
        control->installEventFilter(this);

    setUpFileDialogs();
    showDocumentName();

    m_speedBar->fillFontNames();
    m_ruler->setupRuler();
    runCommand([this] { m_formatCommands->selectionChange(); });

    m_timer2->start();
}

MainForm::~MainForm()
{
    // The commands go first, so that nothing the panes or the ruler signal
    // while the window comes apart reaches them; then the windows and
    // widgets that use the dialog interface, which goes with the members.
    delete m_helpCommands;
    // The lists store themselves as they go, while the settings still exist.
    delete m_mruFiles1;
    delete m_mruFiles2;
    delete m_templateCheckCommand;
    delete m_assemblyCommands;
    delete m_formatCommands;
    delete m_editCommands;
    delete m_fileCommands;
    m_formatCommands = nullptr;
    delete m_helpForm;
    delete m_paneArea;
}

void MainForm::createComponents()
{
    m_menu = new MainMenu(menuBar(), this);

    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    auto *layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_speedBar = new SpeedBar(client);
    m_ruler = new Ruler(client);
    m_paneArea = new PaneArea(client);
    m_hintPanel = new HintPanel(client);
    layout->addWidget(m_speedBar);
    layout->addWidget(m_ruler);
    layout->addWidget(m_paneArea, 1);
    layout->addWidget(m_hintPanel);
    setCentralWidget(client);

    m_statusBar = statusBar();
    m_statusBar->setObjectName(QStringLiteral("StatusBar"));
    m_statusBar->setFixedHeight(20);

    // Toolbar controls wait, like menu items, for the command group that
    // gives them something to do.
    for (QWidget *control : m_speedBar->controls())
        control->setEnabled(false);

    m_timer2 = new QTimer(this);
    m_timer2->setObjectName(QStringLiteral("Timer2"));
    m_timer2->setInterval(1000);
    m_timer2->setSingleShot(true);
    connect(m_timer2, &QTimer::timeout, this, &MainForm::timer2Timer);

    m_balloon = new Balloon(this);
    m_balloon->setObjectName(QStringLiteral("Balloon1"));
    m_balloon->setColor(QColor(0xC0, 0xC0, 0xC0));
    QFont balloonFont(QStringLiteral("MS Sans Serif"));
    balloonFont.setStyleHint(QFont::SansSerif);
    balloonFont.setPixelSize(11);
    m_balloon->setFont(balloonFont);
    m_balloon->setDivisionChar(u'@');
    m_balloon->setHideIfMouseMove(true);
    m_balloon->setHideIfMouseClick(false);
    m_balloon->setShape(Balloon::Shape::RoundRect);
    m_balloon->setTextAlign(Balloon::TextAlignment::Center);

    m_helpForm = new HelpForm(*m_dialogs, this);
    m_creditsForm = new CreditsForm(this);
    m_creditsForm->hide();
    createTips();

    // The unsaved-changes rule asks about a pane's content when a command
    // runs, so it never works from a stale copy.
    m_workspace = new Workspace(
        [this](Pane which) {
            RichEditor *editor = pane(which);
            return PaneContent{editor->document()->isModified(), editor->wideLines().count() == 0};
        },
        this);
    connect(m_workspace, &Workspace::documentNameChanged, this, &MainForm::showDocumentName);

    m_fileCommands = new FileCommands(*this);
    m_editCommands = new EditCommands(*this);
    m_formatCommands = new FormatCommands(*this, *m_speedBar, *m_ruler);
    m_assemblyCommands = new AssemblyCommands(*this, *m_balloon);
    m_templateCheckCommand = new TemplateCheckCommand(*this);
    m_helpCommands = new HelpCommands(*m_helpForm, *m_tipDlg1, *m_creditsForm, this);
    // The printer keeps its settings in the window's settings file.
    m_richPrinter1 = new print::RichPrinter(*m_printDialogs, m_settings->store().fileName(), this);
    m_richPrinter1->setObjectName(QStringLiteral("RichPrinter1"));
    // Margins set in Page Setup are there the next time, as the header,
    // footer, logo and borders are: an office sets them once for its paper.
    m_richPrinter1->setSaveMargins(true);
    m_printCommands = new PrintCommands(*this);
    createRecentFiles();
    connectCommands();

    // The document pane is the active control at start-up.
    m_paneArea->richEditEx1()->setFocus(Qt::OtherFocusReason);
}

void MainForm::createRecentFiles()
{
    // One list a file kind, each a "Recent Files" submenu directly above its
    // Edit/Select item, kept with the window's other settings.
    QMenu *assemblyMenu = m_menu->menu(QStringLiteral("AssemblyMenu"));
    const auto makeList = [this, assemblyMenu](const char *anchor, const QString &valueName) {
        auto *list = new MRUFileList(this);
        list->setSettings(&m_settings->store());
        list->setUseSubmenu(true);
        list->setSubmenuName(QStringLiteral("Recent Files"));
        list->setInsertSeparator(false);
        list->setAutoSaveName(QStringLiteral("Software/My Application"));
        list->setAutoSaveKey(valueName);
        list->setFileMenu(assemblyMenu, action(QLatin1String(anchor)));
        list->loadItems();
        return list;
    };
    m_mruFiles1 = makeList("EditInformationFile1", QStringLiteral("MRU Items"));
    m_mruFiles2 = makeList("EditTemplateFile1", QStringLiteral("MRU Items2"));

    AssemblyCommands *assembly = m_assemblyCommands;
    connect(m_mruFiles1, &MRUFileList::mruItemClick, assembly, &AssemblyCommands::mruFiles1MRUItemClick);
    connect(m_mruFiles2, &MRUFileList::mruItemClick, assembly, &AssemblyCommands::mruFiles2MRUItemClick);
    // Stored at once, not only when the window goes: a run that ends
    // without closing it keeps its files too.
    const auto remember = [](MRUFileList *list) {
        return [list](const QString &path) {
            list->addItem(path);
            list->saveItems();
        };
    };
    connect(assembly, &AssemblyCommands::informationFileChosen, m_mruFiles1, remember(m_mruFiles1));
    connect(assembly, &AssemblyCommands::templateFileChosen, m_mruFiles2, remember(m_mruFiles2));
}

void MainForm::createTips()
{
    m_tipDlg1 = new TipOfDayDialog(this);
    m_tipDlg1->setSettings(&m_settings->store());
    setUpQuorinTips(*m_tipDlg1);
    m_startupTipHook = [this] {
        if (!m_tipDlg1->storedShowAtStartup())
            return;
        m_tipDlg1->setRandomTips(true);
        m_tipDlg1->exec(this);
    };
}

void MainForm::setUpFileDialogs()
{
    m_openDialog.caption = QStringLiteral("Open");
    m_openDialog.filter = QStringLiteral("Rich Text Files (*.RTF)|*.RTF|Text Files (*.TXT)|*.TXT|try it and see files |*.*");
    m_saveDialog.caption = QStringLiteral("Save As");
    m_saveDialog.filter = QStringLiteral("Rich Text Files (*.RTF)|*.RTF|Text Files (*.TXT)|*.TXT|Html File(*.htm,*.html)|*.hTM,*.HTML");

    // Never the program's own folder: installed, it cannot be written, and
    // the user's files are not there.
    QString folder = m_settings->lastFolder();
    if (folder.isEmpty()) {
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (folder.isEmpty() || !QFileInfo(folder).isDir())
            folder = QDir::homePath();
    }
    m_openDialog.directory = folder;
    m_saveDialog.directory = folder;
}

void MainForm::rememberDialogFolder(const QString &path)
{
    const QString folder = QFileInfo(path).absolutePath();
    m_openDialog.directory = folder;
    m_saveDialog.directory = folder;
    m_settings->setLastFolder(folder);
}

void MainForm::connectCommands()
{
    const auto item = [this](const char *name) { return action(QLatin1String(name)); };

    FileCommands *file = m_fileCommands;
    connectCommand(item("FileNewItem"), [file] { file->fileNew(); });
    connectCommand(item("FileOpenItem"), [file] { file->fileOpen(); });
    connectCommand(item("FileSaveItem"), [file] { file->fileSave(); });
    connectCommand(item("FileSaveAsItem"), [file] { file->fileSaveAs(); });
    connectCommand(item("FileExitItem"), [file] { file->fileExit(); });
    connectCommand(m_speedBar->openButton(), [file] { file->fileOpen(); });
    connectCommand(m_speedBar->saveButton(), [file] { file->fileSave(); });

    PrintCommands *print = m_printCommands;
    connectCommand(item("FilePrintItem"), [print] { print->filePrint(); });
    connectCommand(item("PrintPreview1"), [print] { print->printPreviewbuttonClick(); });
    connectCommand(item("pageDialog1"), [print] { print->pageDialog1Click(); });
    connectCommand(m_speedBar->printButton(), [print] { print->filePrint(); });
    connectCommand(m_speedBar->printPreviewButton(), [print] { print->printPreviewbuttonClick(); });
    connectCommand(m_speedBar->pageSetupButton(), [print] { print->pageDialog1Click(); });

    EditCommands *edit = m_editCommands;
    connectCommand(item("EditUndoItem"), [edit] { edit->editUndo(); });
    connectCommand(item("Redo1"), [edit] { edit->redo(); });
    connectCommand(item("EditCutItem"), [edit] { edit->editCut(); });
    connectCommand(item("EditCopyItem"), [edit] { edit->editCopy(); });
    connectCommand(item("EditPasteItem"), [edit] { edit->editPaste(); });
    connectCommand(item("F1"), [edit] { edit->showFind(); });
    connectCommand(item("R1"), [edit] { edit->showReplace(); });
    connectCommand(item("Insertpagebreak1"), [edit] { edit->insertBlankLines(); });
    connectCommand(item("Insertnonvisiblepagebreak1"), [edit] { edit->insertPageBreak(); });
    connectCommand(item("Selectall2"), [edit] { edit->selectAll(); });
    connectCommand(m_speedBar->undoButton(), [edit] { edit->editUndo(); });
    connectCommand(m_speedBar->cutButton(), [edit] { edit->editCut(); });
    connectCommand(m_speedBar->copyButton(), [edit] { edit->editCopy(); });
    connectCommand(m_speedBar->pasteButton(), [edit] { edit->editPaste(); });
    // SpeedButton3Click: the insert-object dialog for the document pane.
    connectCommand(m_speedBar->oleButton(), [this] { m_paneArea->richEditEx1()->insertObjectDialog(); });

    FormatCommands *format = m_formatCommands;
    connectCommand(m_speedBar->boldButton(), [format] { format->boldButtonClick(); });
    connectCommand(m_speedBar->italicButton(), [format] { format->italicButtonClick(); });
    connectCommand(m_speedBar->underlineButton(), [format] { format->underlineButtonClick(); });
    connectCommand(m_speedBar->bulletsButton(), [format] { format->bulletsButtonClick(); });
    connectCommand(m_speedBar->colorButton(), [format] { format->colorbuttonClick(); });
    for (QAbstractButton *button : m_speedBar->alignGroup()->buttons()) {
        const int tag = SpeedBar::alignmentTag(button);
        connectCommand(button, [format, tag] { format->alignButtonClick(tag); });
    }
    connectCommand(item("miEditFont"), [format] { format->selectFont(); });

    AssemblyCommands *assembly = m_assemblyCommands;
    connectCommand(item("EditInformationFile1"), [assembly] { assembly->editInformationFile1Click(); });
    connectCommand(item("EditTemplateFile1"), [assembly] { assembly->editTemplateFile1Click(); });
    connectCommand(item("DoIt1"), [assembly] { assembly->doIt1Click(); });
    TemplateCheckCommand *check = m_templateCheckCommand;
    connectCommand(item("CheckTemplate1"), [check] { check->checkTemplate1Click(); });
    connectCommand(item("ToggleInsOverwrite1"), [assembly] { assembly->toggleInsOverwrite1Click(); });
    QAction *overwrite = item("ToggleInsOverwrite1");
    overwrite->setChecked(m_workspace->overwriteMode());
    connect(m_workspace, &Workspace::overwriteModeChanged, overwrite, &QAction::setChecked);

    HelpCommands *help = m_helpCommands;
    connectCommand(item("G1"), [help] { help->g1Click(); });
    connectCommand(item("TipoftheDay2"), [help] { help->tipoftheDay2Click(); });
    connectCommand(item("Credits1"), [help] { help->credits1Click(); });
    connectCommand(item("About1"), [help] { help->about1Click(); });

    // Pane switching belongs to the window itself: Edit and Window menus.
    connectCommand(item("T1"), [this] { t1Click(); });
    connectCommand(item("Switch1"), [this] { t1Click(); });
}

// --- components ---

RichEditor *MainForm::richEditEx1() const
{
    return m_paneArea->richEditEx1();
}

RichEditor *MainForm::richEditEx2() const
{
    return m_paneArea->richEditEx2();
}

RichEditor *MainForm::pane(Pane which) const
{
    return m_paneArea->pane(which);
}

QAction *MainForm::action(const QString &name) const
{
    return m_menu->action(name);
}

QLabel *MainForm::msgPanel() const
{
    return m_paneArea->msgPanel();
}

QProgressBar *MainForm::progressBar() const
{
    return m_paneArea->progressBar();
}

QTimer *MainForm::timer1() const
{
    return m_hintPanel->timer1();
}

// --- the commands' context ---

void MainForm::showDocumentName()
{
    setWindowTitle(QStringLiteral("%1 - %2").arg(m_workspace->documentFileName(), applicationTitle()));
}

void MainForm::savePane(Pane which)
{
    m_fileCommands->savePane(which);
}

void MainForm::t1Click()
{
    m_paneArea->switchPanes();
}

void MainForm::openFiles(const QList<StartupFile> &files)
{
    for (const StartupFile &file : files)
        runCommand([this, &file] { openFile(file); });
}

void MainForm::openFile(const StartupFile &file)
{
    // A missing file changes nothing: the commands would first take it as
    // the chosen Information or Template file.
    const QFileInfo info(file.path);
    if (!info.isFile() || !info.isReadable())
        throw CommandError(CommandError::cannotOpenFile(file.path));
    switch (file.role) {
    case FileRole::Information:
        m_assemblyCommands->openInformationFile(file.path);
        break;
    case FileRole::Template:
        m_assemblyCommands->openTemplateFile(file.path);
        break;
    case FileRole::Document:
        m_fileCommands->openDocument(file.path);
        break;
    }
}

// --- hints ---

void MainForm::setApplicationHint(const QString &hint)
{
    if (hint == m_applicationHint)
        return;
    m_applicationHint = hint;
    showhint();
}

void MainForm::showhint()
{
    m_hintPanel->showHint(m_applicationHint);
}

void MainForm::timer1Timer()
{
    m_hintPanel->timer1Timer();
}

void MainForm::timer2Timer()
{
    m_timer2->stop();
    if (m_startupTipHook)
        runCommand(m_startupTipHook);
}

// --- commands ---

void MainForm::runCommand(const std::function<void()> &command)
{
    try {
        command();
    } catch (...) {
        reportError(std::current_exception());
    }
}

void MainForm::reportError(std::exception_ptr error)
{
    if (const std::optional<QString> message = errorMessageFor(error))
        m_dialogs->error(this, *message);
}

void MainForm::connectCommand(QAction *action, std::function<void()> command)
{
    connect(action, &QAction::triggered, this, [this, command] { runCommand(command); });
    action->setEnabled(true);
}

void MainForm::connectCommand(QAbstractButton *button, std::function<void()> command)
{
    connect(button, &QAbstractButton::clicked, this, [this, command] { runCommand(command); });
    button->setEnabled(true);
}

// --- events ---

bool MainForm::event(QEvent *event)
{
    if (event->type() == QEvent::StatusTip) {
        // Hints go to the hint panel; the status bar stays empty.
        setApplicationHint(static_cast<QStatusTipEvent *>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

bool MainForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Enter) {
        if (auto *control = qobject_cast<QWidget *>(watched))
            setApplicationHint(longHint(hintOf(control)));
    } else if (event->type() == QEvent::Leave) {
        setApplicationHint(QString());
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainForm::closeEvent(QCloseEvent *event)
{
    try {
        confirmSaveChanges(Pane::Template | Pane::Information);
    } catch (...) {
        // Cancel, or a save that failed: the program keeps running.
        reportError(std::current_exception());
        event->ignore();
        return;
    }
    m_balloon->hideBalloon();
    m_helpForm->hide();
    m_settings->setPlacement(placementOf(*this));
    event->accept();
}

void MainForm::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    if (m_formatCommands)
        runCommand([this] { m_formatCommands->formResize(); });
}
