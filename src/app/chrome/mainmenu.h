#pragma once

// The menu bar of the main window: File, Edit, Document Assembly, Window
// and Help with every item in its place. Each item is a QAction whose
// object name is the item's name ("FileNewItem", "DoIt1" ...), whose status
// tip is its hint (shown in the hint panel) and which starts disabled: a
// command group enables the items it carries out when it connects them.
// Each menu carries its help context in the property "helpContext".

#include <QAction>
#include <QHash>
#include <QObject>
#include <QString>

class QMenu;
class QMenuBar;

// Two items may share one shortcut ("&Toggle Windows" and "Switch" both
// answer Ctrl+W). Qt would treat the pair as ambiguous and run neither;
// this action runs on such a shortcut all the same (the pair takes turns,
// and both run the same command).
class SharedShortcutAction : public QAction
{
    Q_OBJECT

public:
    using QAction::QAction;

protected:
    bool event(QEvent *event) override;
};

class MainMenu : public QObject
{
    Q_OBJECT

public:
    // Builds the menus into the bar; the actions belong to `owner`, so their
    // shortcuts work anywhere in the owner's window and their hints reach it.
    MainMenu(QMenuBar *bar, QWidget *owner);

    // The item of that name, or nullptr.
    QAction *action(const QString &name) const { return m_actions.value(name); }
    // The menus by object name: "FileMenu", "EditMenu", "AssemblyMenu",
    // "WindowMenu", "HelpMenu".
    QMenu *menu(const QString &name) const { return m_menus.value(name); }
    // Item names in menu order.
    const QStringList &actionNames() const { return m_order; }

private:
    QMenu *addMenu(QMenuBar *bar, const char *name, const QString &title, int helpContext);
    QAction *addItem(QMenu *menu, QWidget *owner, const char *name, const QString &caption,
                     const QKeySequence &shortcut, const QString &hint, bool shared = false);

    QHash<QString, QAction *> m_actions;
    QHash<QString, QMenu *> m_menus;
    QStringList m_order;
};
