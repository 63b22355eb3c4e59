#include "app/chrome/hints.h"

#include <QVariant>
#include <QWidget>

QString shortHint(const QString &hint)
{
    const qsizetype bar = hint.indexOf(u'|');
    return bar < 0 ? hint : hint.left(bar);
}

QString longHint(const QString &hint)
{
    const qsizetype bar = hint.indexOf(u'|');
    return bar < 0 ? hint : hint.mid(bar + 1);
}

void setHint(QWidget *widget, const QString &hint)
{
    widget->setProperty("hint", hint);
    widget->setToolTip(shortHint(hint));
    widget->setStatusTip(longHint(hint));
}

QString hintOf(const QWidget *widget)
{
    return widget->property("hint").toString();
}
