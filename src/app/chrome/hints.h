#pragma once

// A control's hint holds a short part for its tooltip and a long part for
// the hint panel, separated by "|": "Open|" has the tooltip "Open" and an
// empty panel text; a hint without "|" serves as both.

#include <QString>

class QWidget;

QString shortHint(const QString &hint);
QString longHint(const QString &hint);

// Stores the hint (the widget's "hint" property) and sets its tooltip and
// status tip from the two parts.
void setHint(QWidget *widget, const QString &hint);
QString hintOf(const QWidget *widget);
