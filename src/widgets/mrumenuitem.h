#pragma once

// A menu item made by a recent-files list: a separator, the submenu, a name
// or one of the commands. Each knows the list that made it, so the list can
// find and take out exactly its own items among the menu's others.

#include <QAction>

class MRUFileList;

class MRUMenuItem : public QAction
{
    Q_OBJECT

public:
    MRUMenuItem(const MRUFileList *owner, int itemNumber, QObject *parent);

    const MRUFileList *owner() const { return m_owner; }
    // The name's 1-based place in the list; 0 for the other items.
    int itemNumber() const { return m_itemNumber; }
    // The accelerator prefix and the whole file name, whatever the caption shows.
    QString fullCaption() const { return m_fullCaption; }
    void setFullCaption(const QString &caption) { m_fullCaption = caption; }

private:
    const MRUFileList *m_owner;
    int m_itemNumber;
    QString m_fullCaption;
};
