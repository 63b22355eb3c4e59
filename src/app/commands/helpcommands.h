#pragma once

// The Help menu. "Contents" shows the help window with the program's help
// file. "Tip of the Day", "Credits" and "About" join as their windows are
// written; until then their items stay disabled.

#include <QObject>

class HelpForm;

class HelpCommands : public QObject
{
    Q_OBJECT

public:
    explicit HelpCommands(HelpForm &helpForm, QObject *parent = nullptr);

    // "Contents": the help window, modeless, with qrnhelp.htm loaded afresh.
    void g1Click();

private:
    HelpForm &m_helpForm;
};
