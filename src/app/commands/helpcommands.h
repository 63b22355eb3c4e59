#pragma once

// The Help menu. "Contents" shows the help window with the program's help
// file; "Tip of the Day" shows the tips in order (the start-up tip picks
// one at random); "Credits" rolls the thanks; "About" shows the about box.

#include <QObject>

class CreditsForm;
class HelpForm;
class QWidget;
class TipOfDayDialog;

class HelpCommands : public QObject
{
    Q_OBJECT

public:
    HelpCommands(HelpForm &helpForm, TipOfDayDialog &tips, CreditsForm &credits, QWidget *window);

    // "Contents": the help window, modeless, with qrnhelp.htm loaded afresh.
    void g1Click();
    // "Tip of the Day": the next tip in order, modal.
    void tipoftheDay2Click();
    // "Credits": the credits window, modal.
    void credits1Click();
    // "About": an about box made for this showing, modal.
    void about1Click();

private:
    HelpForm &m_helpForm;
    TipOfDayDialog &m_tips;
    CreditsForm &m_credits;
    QWidget *m_window;
};
