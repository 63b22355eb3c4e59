#pragma once

// A short list of recently used file names, shown as numbered items in a
// menu ("&1 /home/ann/lease.tem") and kept in the settings between runs.
//
// The owner gives it a menu and the item above which the names go
// (setFileMenu), optionally a context menu whose top gets the names too
// (setPopupMenu), and connects mruItemClick. The list then rebuilds its items
// whenever the names or the look change; it only ever touches the items it
// made itself. With autoSave on, the owner calls loadItems() once the list
// is set up, changing where it is stored loads it from there, and destroying
// the list saves it.
//
// Storage: in the application's settings (INI format in the user's config
// folder) under autoSaveName()/autoSaveKey(), "Software/My Application/MRU
// Items/F0" for the top name; or, with useRegistry off, in the INI file named
// autoSaveName() (relative names are in the user's config folder), section
// autoSaveKey(). Tests and callers that keep their own store hand it over
// with setSettings().

#include "widgets/mrucaptions.h"

#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QSettings>
#include <QStringList>

#include <functional>

class MRUMenuItem;

class MRUFileList : public QObject
{
    Q_OBJECT

public:
    using MRUDisplay = mru::MRUDisplay;
    // A caption for MRUDisplay::Custom, given the name and its full caption
    // (accelerator prefix and name).
    using DisplayNameFunction = std::function<QString(const QString &fileName, const QString &fullCaption)>;
    // Whether a name should go when obsolete names are removed.
    using ObsoleteTest = std::function<bool(const QString &fileName)>;

    explicit MRUFileList(QObject *parent = nullptr);
    // Saves the list when autoSave is on, then takes its items out of the menus.
    ~MRUFileList() override;

    QStringList items() const { return m_items; }
    // Puts the name at the top (or the bottom, without addToTop); a name
    // already listed moves there instead, keeping its spelling.
    void addItem(const QString &fileName);
    // Empties the list and takes its items out of the menus.
    void clearAllItems();
    // Drops names whose files are gone (or that the obsolete test picks).
    void removeObsoleteItems();
    // Replaces the list by the stored one; at most maximum() names are taken.
    void loadItems();
    // Returns false when the store could not be written; nothing is stored
    // (and true returned) when autoSaveName() or autoSaveKey() is empty.
    bool saveItems();
    // Rebuilds the list's items in the menus.
    void populateMenu();

    bool addToTop() const { return m_addToTop; }
    void setAddToTop(bool on) { m_addToTop = on; }
    int maximum() const { return m_maximum; }
    // 0 to 255. A lower maximum drops the names beyond it at once, from the
    // end where new names do not go.
    void setMaximum(int maximum);
    bool removeOnClick() const { return m_removeOnClick; }
    void setRemoveOnClick(bool on) { m_removeOnClick = on; }
    // How names are compared when one is added again. Linux file names differ
    // by case, so by default "A.tem" and "a.tem" are two files.
    Qt::CaseSensitivity caseSensitivity() const { return m_caseSensitivity; }
    void setCaseSensitivity(Qt::CaseSensitivity cs) { m_caseSensitivity = cs; }

    QMenu *fileMenu() const { return m_fileMenu; }
    QAction *fileMenuAnchor() const { return m_fileMenuAnchor; }
    // The names go into `menu` directly above `before`, or at its end when
    // `before` is null (or once it is gone).
    void setFileMenu(QMenu *menu, QAction *before = nullptr);
    QMenu *popupMenu() const { return m_popupMenu; }
    void setPopupMenu(QMenu *menu);
    bool useSubmenu() const { return m_useSubmenu; }
    void setUseSubmenu(bool on);
    QString submenuName() const { return m_submenuName; }
    void setSubmenuName(const QString &name);
    bool insertSeparator() const { return m_insertSeparator; }
    void setInsertSeparator(bool on);

    MRUDisplay mruDisplay() const { return m_mruDisplay; }
    void setMRUDisplay(MRUDisplay display);
    // Widest caption in pixels of the menu's font for MRUDisplay::FullPath;
    // 0 shows the names whole.
    int maxCaptionWidth() const { return m_maxCaptionWidth; }
    void setMaxCaptionWidth(int width);
    void setDisplayNameFunction(DisplayNameFunction function);
    void setObsoleteTest(ObsoleteTest test) { m_obsoleteTest = std::move(test); }

    bool showClearItem() const { return m_showClearItem; }
    void setShowClearItem(bool on);
    // An empty name shows "&Clear MRU List".
    QString clearItemName() const { return m_clearItemName; }
    void setClearItemName(const QString &name);
    bool showRemoveObsolete() const { return m_showRemoveObsolete; }
    void setShowRemoveObsolete(bool on);
    // An empty name shows "&Remove Obsolete".
    QString removeObsoleteName() const { return m_removeObsoleteName; }
    void setRemoveObsoleteName(const QString &name);

    bool autoSave() const { return m_autoSave; }
    void setAutoSave(bool on) { m_autoSave = on; }
    bool useRegistry() const { return m_useRegistry; }
    void setUseRegistry(bool on) { m_useRegistry = on; }
    QString autoSaveName() const { return m_autoSaveName; }
    void setAutoSaveName(const QString &name);
    QString autoSaveKey() const { return m_autoSaveKey; }
    void setAutoSaveKey(const QString &key);
    // Per user (the default) or machine-wide settings of the application.
    QSettings::Scope autoSaveScope() const { return m_autoSaveScope; }
    void setAutoSaveScope(QSettings::Scope scope);
    // A store to use instead of the application's settings (not owned;
    // null goes back to them). Not used with useRegistry off.
    void setSettings(QSettings *settings);

signals:
    // A name was picked in a menu (after it left the list, with removeOnClick).
    void mruItemClick(const QString &fileName);
    // Every item the list puts into a menu, and every one it takes out.
    void createMRUItem(MRUMenuItem *item);
    void destroyMRUItem(MRUMenuItem *item);

protected:
    virtual QString displayName(const QString &fileName, const QString &fullCaption) const;
    virtual bool isObsolete(const QString &fileName) const;

private:
    void itemClicked(int itemNumber);
    void removeMenuItems();
    void discard(QMenu *menu, MRUMenuItem *item);
    MRUMenuItem *newItem(int itemNumber, QMenu *menu);
    MRUMenuItem *newNameItem(int index, QMenu *menu, const QFontMetrics &metrics);
    QString caption(int index, const QString &fullCaption, const QFontMetrics &metrics) const;
    void dropBeyondMaximum();
    void reloadWhenAutoSaving();
    // Runs `work` on the store with the group that holds the names, unless
    // no name or key says where that is.
    void withStore(const std::function<void(QSettings &, const QString &group)> &work);

    QStringList m_items;
    bool m_addToTop = true;
    int m_maximum = 5;
    bool m_removeOnClick = true;
    Qt::CaseSensitivity m_caseSensitivity = Qt::CaseSensitive;

    QPointer<QMenu> m_fileMenu;
    QPointer<QAction> m_fileMenuAnchor;
    QPointer<QMenu> m_popupMenu;
    bool m_useSubmenu = false;
    QString m_submenuName = QStringLiteral("Reopen");
    bool m_insertSeparator = true;

    MRUDisplay m_mruDisplay = MRUDisplay::FullPath;
    int m_maxCaptionWidth = 200;
    DisplayNameFunction m_displayNameFunction;
    ObsoleteTest m_obsoleteTest;

    bool m_showClearItem = true;
    QString m_clearItemName = QStringLiteral("&Clear MRU List");
    bool m_showRemoveObsolete = true;
    QString m_removeObsoleteName = QStringLiteral("&Remove Obsolete");

    bool m_autoSave = true;
    bool m_useRegistry = true;
    QString m_autoSaveName = QStringLiteral("Software/My Application");
    QString m_autoSaveKey = QStringLiteral("MRU Items");
    QSettings::Scope m_autoSaveScope = QSettings::UserScope;
    QPointer<QSettings> m_settings;
};
