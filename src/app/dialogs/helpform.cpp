#include "app/dialogs/helpform.h"

#include "app/commanderror.h"
#include "app/dialogs/dialogs.h"

#include <QAction>
#include <QFileInfo>
#include <QMenuBar>
#include <QTextBrowser>
#include <QUrl>

HelpForm::HelpForm(Dialogs &dialogs, QWidget *parent)
    : QMainWindow(parent, Qt::Window)
    , m_dialogs(dialogs)
    , m_viewer(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("HelpForm"));
    setWindowTitle(QStringLiteral("QRN Help"));
    // A help window left open must not keep the program alive.
    setAttribute(Qt::WA_QuitOnClose, false);
    setGeometry(125, 230, 622, 300);

    m_viewer->setObjectName(QStringLiteral("HtmlViewer"));
    m_viewer->setOpenExternalLinks(true);
    setCentralWidget(m_viewer);

    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("FileMenu"));
    QAction *load = file->addAction(QStringLiteral("&Load "));
    load->setObjectName(QStringLiteral("Load1"));
    load->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    QAction *exit = file->addAction(QStringLiteral("E&xit"));
    exit->setObjectName(QStringLiteral("Exit1"));
    exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));
    connect(load, &QAction::triggered, this, [this] { run(&HelpForm::loadClick); });
    connect(exit, &QAction::triggered, this, [this] { run(&HelpForm::exitClick); });
}

void HelpForm::showHelp(const QString &path)
{
    loadFile(path);
    show();
    raise();
    activateWindow();
}

void HelpForm::loadFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable())
        throw CommandError(CommandError::cannotOpenFile(path));
    m_lastFolder = info.absolutePath();
    const QUrl url = QUrl::fromLocalFile(info.absoluteFilePath());
    m_viewer->clear();
    // The browser skips loading a source it already shows; reload() reads
    // the file again, as a file changed on disk should be.
    if (m_viewer->source() == url)
        m_viewer->reload();
    else
        m_viewer->setSource(url);
}

void HelpForm::loadClick()
{
    FileDialogOptions options;
    options.caption = QStringLiteral("Load");
    options.directory = m_lastFolder;
    options.filter = QStringLiteral("HTML Files|*.htm||*.html");
    const QString path = m_dialogs.openFileName(this, options);
    if (!path.isEmpty())
        loadFile(path);
}

void HelpForm::exitClick()
{
    hide();
}

void HelpForm::run(void (HelpForm::*command)())
{
    try {
        (this->*command)();
    } catch (...) {
        if (const std::optional<QString> message = errorMessageFor(std::current_exception()))
            m_dialogs.error(this, *message);
    }
}
