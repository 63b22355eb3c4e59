#include "app/chrome/mainmenu.h"

#include <QMenu>
#include <QMenuBar>
#include <QShortcutEvent>

bool SharedShortcutAction::event(QEvent *event)
{
    if (event->type() == QEvent::Shortcut && static_cast<QShortcutEvent *>(event)->isAmbiguous()) {
        if (isEnabled())
            activate(QAction::Trigger);
        return true;
    }
    return QAction::event(event);
}

MainMenu::MainMenu(QMenuBar *bar, QWidget *owner)
    : QObject(owner)
{
    const QKeySequence none;
    const QString lineBreak = QStringLiteral("\n");

    QMenu *file = addMenu(bar, "FileMenu", QStringLiteral("&File"), 310);
    addItem(file, owner, "FileNewItem", QStringLiteral("&New"), none, QStringLiteral("Create a new file"));
    addItem(file, owner, "FileOpenItem", QStringLiteral("&Open..."), QKeySequence(Qt::CTRL | Qt::Key_O),
            QStringLiteral("Open an existing file. This will bring up the close dialog in respect of any file already in the window"));
    addItem(file, owner, "FileSaveItem", QStringLiteral("&Save"), QKeySequence(Qt::CTRL | Qt::Key_S),
            QStringLiteral("Save Current File . Take care to NOT overwite a template file and DO keep backup copies of all template and information files"));
    addItem(file, owner, "FileSaveAsItem", QStringLiteral("Save &As..."), none,
            QStringLiteral("Save current file under a new name") + lineBreak + QStringLiteral("See previous menu item."));
    file->addSeparator();
    addItem(file, owner, "pageDialog1", QStringLiteral("page&Dialog"), none,
            QStringLiteral("Use this to adjust portrait/landscape, paper size etc."));
    addItem(file, owner, "PrintPreview1", QStringLiteral("PrintPre&view"), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_V), QString());
    addItem(file, owner, "FilePrintItem", QStringLiteral("&Print"), QKeySequence(Qt::CTRL | Qt::Key_P), QStringLiteral("Print current file"));
    file->addSeparator();
    addItem(file, owner, "FileExitItem", QStringLiteral("E&xit"), none, QStringLiteral("Exit this application"));

    QMenu *edit = addMenu(bar, "EditMenu", QStringLiteral("&Edit"), 320);
    addItem(edit, owner, "EditUndoItem", QStringLiteral("&Undo"), none, QStringLiteral("Undo the last action"));
    addItem(edit, owner, "Redo1", QStringLiteral("R&edo"), none, QStringLiteral("Undo the last undo"));
    edit->addSeparator();
    addItem(edit, owner, "EditCutItem", QStringLiteral("Cu&t"), QKeySequence(Qt::CTRL | Qt::Key_X),
            QStringLiteral("Delete selected item to the clipboard"));
    addItem(edit, owner, "EditCopyItem", QStringLiteral("&Copy"), QKeySequence(Qt::CTRL | Qt::Key_C),
            QStringLiteral("Copy selected item to clipboard"));
    addItem(edit, owner, "EditPasteItem", QStringLiteral("&Paste"), QKeySequence(Qt::SHIFT | Qt::Key_Insert),
            QStringLiteral("Paste contents of clipboard"));
    edit->addSeparator();
    addItem(edit, owner, "F1", QStringLiteral("&Find"), QKeySequence(Qt::CTRL | Qt::Key_F), QString());
    addItem(edit, owner, "R1", QStringLiteral("&Replace"), QKeySequence(Qt::CTRL | Qt::Key_H), QString());
    addItem(edit, owner, "miEditFont", QStringLiteral("&Font..."), none, QString());
    addItem(edit, owner, "Insertpagebreak1", QStringLiteral("Insert Blank lines"), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_I),
            QStringLiteral("This INSERTS 10 blank lines as an aid to formatting."));
    addItem(edit, owner, "Insertnonvisiblepagebreak1", QStringLiteral("Insert page break"), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_P),
            QStringLiteral("This inserts an INVISIBLE page break. You can see it in print preview but NOT in the editing screen."));
    addItem(edit, owner, "Selectall2", QStringLiteral("&Select all"), QKeySequence(Qt::CTRL | Qt::Key_A), QString());
    addItem(edit, owner, "T1", QStringLiteral("&Toggle Windows"), QKeySequence(Qt::CTRL | Qt::Key_W),
            QStringLiteral("Switch  acive window"), true);

    QMenu *assembly = addMenu(bar, "AssemblyMenu", QStringLiteral("&Document Assembly"), 330);
    addItem(assembly, owner, "EditInformationFile1", QStringLiteral("Edit/Select Information File"), none,
            QStringLiteral("Check or edit and save the Information File to be used in a merge. All information files must end with a .INF extension."));
    assembly->addSeparator();
    addItem(assembly, owner, "EditTemplateFile1", QStringLiteral("Edit/Select Template File"), none,
            QStringLiteral("Check or Edit the Template File to be used in the merge. Remember that ALL FORMATTING is done in the Template. These files must end with a .TEM extension"));
    assembly->addSeparator();
    addItem(assembly, owner, "DoIt1", QStringLiteral("Do It"), QKeySequence(Qt::CTRL | Qt::Key_D),
            QStringLiteral("Peform the merge. If EXACT placement of items on the form is required then remember to check the Insert/Overwrite item"));
    // F7 checks, as it checks spelling in word processors; no other item
    // and no editing key uses it.
    addItem(assembly, owner, "CheckTemplate1", QStringLiteral("Check Template"), QKeySequence(Qt::Key_F7),
            QStringLiteral("Check the Template against the Information file before the merge: tokens with no entry, entries not used, "
                           "values too long for overwrite mode ..."));
    QAction *toggle = addItem(assembly, owner, "ToggleInsOverwrite1", QStringLiteral("Toggle Ins/Overwrite"), QKeySequence(Qt::CTRL | Qt::Key_T),
                              QStringLiteral("Toggle Insert/overwrite for the merge. ") + lineBreak
                                  + QStringLiteral("This needs to be ON when items must be placed exactly on a  line, especially if there are several on one line."));
    toggle->setCheckable(true);

    QMenu *window = addMenu(bar, "WindowMenu", QStringLiteral("&Window"), 0);
    addItem(window, owner, "Switch1", QStringLiteral("Switch"), QKeySequence(Qt::CTRL | Qt::Key_W), QString(), true);

    QMenu *help = addMenu(bar, "HelpMenu", QStringLiteral("&Help"), 340);
    addItem(help, owner, "G1", QStringLiteral("Contents"), none, QString());
    addItem(help, owner, "TipoftheDay2", QStringLiteral("Tip of the Day"), none, QString());
    addItem(help, owner, "Credits1", QStringLiteral("Credits"), none, QStringLiteral("Just some of the people who made this possible"));
    addItem(help, owner, "About1", QStringLiteral("About"), none, QString());
}

QMenu *MainMenu::addMenu(QMenuBar *bar, const char *name, const QString &title, int helpContext)
{
    QMenu *menu = bar->addMenu(title);
    menu->setObjectName(QLatin1String(name));
    // Help contexts are kept for a context help system; 0 means none.
    menu->setProperty("helpContext", helpContext);
    // Hints of the items go to the hint panel, not into tooltips.
    menu->setToolTipsVisible(false);
    m_menus.insert(QLatin1String(name), menu);
    return menu;
}

QAction *MainMenu::addItem(QMenu *menu, QWidget *owner, const char *name, const QString &caption,
                           const QKeySequence &shortcut, const QString &hint, bool shared)
{
    QAction *action = shared ? new SharedShortcutAction(caption, owner) : new QAction(caption, owner);
    action->setObjectName(QLatin1String(name));
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    action->setStatusTip(hint);
    // Until a command group connects it, an item has nothing to do.
    action->setEnabled(false);
    menu->addAction(action);
    // The actions belong to the window, not to the menus, so shortcuts
    // work while no menu is open.
    owner->addAction(action);
    m_actions.insert(QLatin1String(name), action);
    m_order.append(QLatin1String(name));
    return action;
}
