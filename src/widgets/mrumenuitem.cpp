#include "widgets/mrumenuitem.h"

MRUMenuItem::MRUMenuItem(const MRUFileList *owner, int itemNumber, QObject *parent)
    : QAction(parent)
    , m_owner(owner)
    , m_itemNumber(itemNumber)
{
}
