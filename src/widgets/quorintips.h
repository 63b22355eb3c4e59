#pragma once

// Quorin's own tips of the day and the look of its tip window.

#include <QStringList>

class TipOfDayDialog;

QStringList quorinTips();

// The tips, random order, a bold blue heading, centred on the screen: the
// tip dialog as the main window shows it at start-up.
void setUpQuorinTips(TipOfDayDialog &dialog);
