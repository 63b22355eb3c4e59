#include "widgets/mrufilelist.h"

#include "widgets/mrumenuitem.h"
#include "widgets/mrustorage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>

#include <algorithm>

namespace {

// The application's own settings file, where the names live by default.
QSettings applicationSettings(QSettings::Scope scope)
{
    return QSettings(QSettings::IniFormat, scope, QCoreApplication::organizationName(),
                     QCoreApplication::applicationName());
}

// "\Software\My Application" and "Software/My Application/" name the same
// group: settings keys are separated by "/" and have no leading one.
QString groupPath(QString name)
{
    name.replace(u'\\', u'/');
    while (name.startsWith(u'/'))
        name.remove(0, 1);
    while (name.endsWith(u'/'))
        name.chop(1);
    return name;
}

} // namespace

MRUFileList::MRUFileList(QObject *parent)
    : QObject(parent)
{
}

MRUFileList::~MRUFileList()
{
    if (m_autoSave)
        saveItems();
    removeMenuItems();
}

void MRUFileList::addItem(const QString &fileName)
{
    const auto listed = std::find_if(m_items.cbegin(), m_items.cend(), [&](const QString &name) {
        return name.compare(fileName, m_caseSensitivity) == 0;
    });
    const qsizetype at = listed == m_items.cend() ? -1 : listed - m_items.cbegin();
    if (at < 0) {
        m_addToTop ? m_items.prepend(fileName) : m_items.append(fileName);
        while (m_items.size() > m_maximum)
            m_addToTop ? m_items.removeLast() : m_items.removeFirst();
    } else {
        m_items.move(at, m_addToTop ? 0 : m_items.size() - 1);
    }
    populateMenu();
}

void MRUFileList::clearAllItems()
{
    removeMenuItems();
    m_items.clear();
}

void MRUFileList::removeObsoleteItems()
{
    bool removed = false;
    for (qsizetype i = m_items.size() - 1; i >= 0; --i) {
        if (isObsolete(m_items.at(i))) {
            m_items.removeAt(i);
            removed = true;
        }
    }
    if (removed)
        populateMenu();
}

bool MRUFileList::isObsolete(const QString &fileName) const
{
    if (m_obsoleteTest)
        return m_obsoleteTest(fileName);
    return !QFileInfo::exists(fileName);
}

void MRUFileList::loadItems()
{
    clearAllItems();
    withStore([this](QSettings &settings, const QString &group) {
        m_items = mru::readNames(settings, group, m_maximum, m_caseSensitivity);
    });
    populateMenu();
}

bool MRUFileList::saveItems()
{
    bool written = true;
    withStore([this, &written](QSettings &settings, const QString &group) {
        written = mru::writeNames(settings, group, m_items);
    });
    return written;
}

void MRUFileList::withStore(const std::function<void(QSettings &, const QString &)> &work)
{
    const QString key = groupPath(m_autoSaveKey);
    if (groupPath(m_autoSaveName).isEmpty() || key.isEmpty())
        return;
    if (!m_useRegistry) {
        QString path = m_autoSaveName;
        if (QDir::isRelativePath(path)) {
            const QString folder = QFileInfo(applicationSettings(m_autoSaveScope).fileName()).path();
            path = QDir(folder).filePath(path);
        }
        QSettings file(path, QSettings::IniFormat);
        work(file, key);
        return;
    }
    const QString group = groupPath(m_autoSaveName) + u'/' + key;
    if (m_settings) {
        work(*m_settings, group);
    } else {
        QSettings settings = applicationSettings(m_autoSaveScope);
        work(settings, group);
    }
}

void MRUFileList::reloadWhenAutoSaving()
{
    if (m_autoSave)
        loadItems();
}

// --- menus ---------------------------------------------------------------

void MRUFileList::populateMenu()
{
    if (!m_fileMenu && !m_popupMenu)
        return;
    removeMenuItems();
    if (m_items.isEmpty())
        return;

    if (m_fileMenu) {
        QMenu *target = m_fileMenu;
        QAction *before = m_fileMenuAnchor && m_fileMenu->actions().contains(m_fileMenuAnchor)
                              ? m_fileMenuAnchor.data()
                              : nullptr;
        if (m_insertSeparator) {
            MRUMenuItem *separator = newItem(0, target);
            separator->setSeparator(true);
            target->insertAction(before, separator);
        }
        if (m_useSubmenu) {
            MRUMenuItem *submenuItem = newItem(0, target);
            submenuItem->setText(m_submenuName);
            // The submenu belongs to the menu, as a submenu made with
            // QMenu::addMenu does, and goes when its item is taken out.
            auto *submenu = new QMenu(m_submenuName, m_fileMenu);
            submenuItem->setMenu(submenu);
            target->insertAction(before, submenuItem);
            target = submenu;
            before = nullptr;
        }
        const QFontMetrics metrics(target->font());
        for (int i = 0; i < m_items.size(); ++i)
            target->insertAction(before, newNameItem(i, target, metrics));

        if (m_showClearItem || m_showRemoveObsolete) {
            MRUMenuItem *separator = newItem(0, target);
            separator->setSeparator(true);
            target->insertAction(before, separator);
        }
        if (m_showClearItem) {
            MRUMenuItem *clear = newItem(0, target);
            clear->setText(m_clearItemName.isEmpty() ? QStringLiteral("&Clear MRU List") : m_clearItemName);
            connect(clear, &QAction::triggered, this, &MRUFileList::clearAllItems);
            target->insertAction(before, clear);
        }
        if (m_showRemoveObsolete) {
            MRUMenuItem *remove = newItem(0, target);
            remove->setText(m_removeObsoleteName.isEmpty() ? QStringLiteral("&Remove Obsolete")
                                                           : m_removeObsoleteName);
            connect(remove, &QAction::triggered, this, &MRUFileList::removeObsoleteItems);
            target->insertAction(before, remove);
        }
    }

    if (m_popupMenu) {
        QAction *top = m_popupMenu->actions().value(0);
        const QFontMetrics metrics(m_popupMenu->font());
        for (int i = 0; i < m_items.size(); ++i)
            m_popupMenu->insertAction(top, newNameItem(i, m_popupMenu, metrics));
    }
}

MRUMenuItem *MRUFileList::newItem(int itemNumber, QMenu *menu)
{
    auto *item = new MRUMenuItem(this, itemNumber, menu);
    emit createMRUItem(item);
    return item;
}

MRUMenuItem *MRUFileList::newNameItem(int index, QMenu *menu, const QFontMetrics &metrics)
{
    const QString &name = m_items.at(index);
    MRUMenuItem *item = newItem(index + 1, menu);
    item->setFullCaption(mru::accelerator(index) + mru::menuText(name));
    item->setText(caption(index, item->fullCaption(), metrics));
    connect(item, &QAction::triggered, this, [this, number = index + 1] { itemClicked(number); });
    return item;
}

QString MRUFileList::caption(int index, const QString &fullCaption, const QFontMetrics &metrics) const
{
    const QString &fileName = m_items.at(index);
    switch (m_mruDisplay) {
    case MRUDisplay::FullPath:
        if (m_maxCaptionWidth <= 0)
            return fullCaption;
        return mru::accelerator(index) + mru::menuText(mru::shortenPath(fileName, metrics, m_maxCaptionWidth));
    case MRUDisplay::FileNameExt:
        return mru::fileNamePart(fullCaption);
    case MRUDisplay::FileNameOnly:
        return mru::withoutExtension(mru::fileNamePart(fullCaption));
    case MRUDisplay::Custom:
        return displayName(fileName, fullCaption);
    }
    return fullCaption;
}

QString MRUFileList::displayName(const QString &fileName, const QString &fullCaption) const
{
    return m_displayNameFunction ? m_displayNameFunction(fileName, fullCaption) : fullCaption;
}

void MRUFileList::removeMenuItems()
{
    for (QMenu *menu : {m_fileMenu.data(), m_popupMenu.data()}) {
        if (!menu)
            continue;
        const QList<QAction *> actions = menu->actions();
        for (qsizetype i = actions.size() - 1; i >= 0; --i) {
            auto *item = qobject_cast<MRUMenuItem *>(actions.at(i));
            if (item && item->owner() == this)
                discard(menu, item);
        }
    }
}

void MRUFileList::discard(QMenu *menu, MRUMenuItem *item)
{
    menu->removeAction(item);
    if (QMenu *submenu = item->menu()) {
        const QList<QAction *> actions = submenu->actions();
        for (qsizetype i = actions.size() - 1; i >= 0; --i) {
            if (auto *inner = qobject_cast<MRUMenuItem *>(actions.at(i)); inner && inner->owner() == this)
                discard(submenu, inner);
        }
        submenu->deleteLater();
    }
    emit destroyMRUItem(item);
    // The item may be the one whose click is being handled right now (a
    // picked name leaves the list); it must outlive that call.
    item->deleteLater();
}

void MRUFileList::itemClicked(int itemNumber)
{
    if (itemNumber < 1 || itemNumber > m_items.size())
        return;
    const QString name = m_items.at(itemNumber - 1);
    if (m_removeOnClick) {
        m_items.removeAt(itemNumber - 1);
        populateMenu();
    }
    emit mruItemClick(name);
}

// --- properties ----------------------------------------------------------

void MRUFileList::setMaximum(int maximum)
{
    m_maximum = std::clamp(maximum, 0, 255);
    dropBeyondMaximum();
    populateMenu();
}

void MRUFileList::dropBeyondMaximum()
{
    while (m_items.size() > m_maximum)
        m_addToTop ? m_items.removeLast() : m_items.removeFirst();
}

void MRUFileList::setFileMenu(QMenu *menu, QAction *before)
{
    removeMenuItems();
    m_fileMenu = menu;
    m_fileMenuAnchor = before;
    populateMenu();
}

void MRUFileList::setPopupMenu(QMenu *menu)
{
    removeMenuItems();
    m_popupMenu = menu;
    populateMenu();
}

void MRUFileList::setUseSubmenu(bool on)
{
    m_useSubmenu = on;
    populateMenu();
}

void MRUFileList::setSubmenuName(const QString &name)
{
    m_submenuName = name;
    if (m_useSubmenu)
        populateMenu();
}

void MRUFileList::setInsertSeparator(bool on)
{
    m_insertSeparator = on;
    populateMenu();
}

void MRUFileList::setMRUDisplay(MRUDisplay display)
{
    m_mruDisplay = display;
    populateMenu();
}

void MRUFileList::setMaxCaptionWidth(int width)
{
    m_maxCaptionWidth = width;
    populateMenu();
}

void MRUFileList::setDisplayNameFunction(DisplayNameFunction function)
{
    m_displayNameFunction = std::move(function);
    if (m_mruDisplay == MRUDisplay::Custom)
        populateMenu();
}

void MRUFileList::setShowClearItem(bool on)
{
    m_showClearItem = on;
    populateMenu();
}

void MRUFileList::setClearItemName(const QString &name)
{
    m_clearItemName = name;
    populateMenu();
}

void MRUFileList::setShowRemoveObsolete(bool on)
{
    m_showRemoveObsolete = on;
    populateMenu();
}

void MRUFileList::setRemoveObsoleteName(const QString &name)
{
    m_removeObsoleteName = name;
    populateMenu();
}

void MRUFileList::setAutoSaveName(const QString &name)
{
    if (name == m_autoSaveName)
        return;
    m_autoSaveName = name;
    reloadWhenAutoSaving();
}

void MRUFileList::setAutoSaveKey(const QString &key)
{
    if (key == m_autoSaveKey)
        return;
    m_autoSaveKey = key;
    reloadWhenAutoSaving();
}

void MRUFileList::setAutoSaveScope(QSettings::Scope scope)
{
    if (scope == m_autoSaveScope)
        return;
    m_autoSaveScope = scope;
    reloadWhenAutoSaving();
}

void MRUFileList::setSettings(QSettings *settings)
{
    m_settings = settings;
    reloadWhenAutoSaving();
}
