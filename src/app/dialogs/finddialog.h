#pragma once

// The modeless Find dialog: the text to find, whole word, match case (on
// by default) and the direction. It only asks; each press of Find Next
// emits findNext() and the Edit commands search the pane.
//
// Controls by object name, for tests and hints: "FindText", "WholeWord",
// "MatchCase", "Up", "Down", "FindNext", "Cancel".

#include "editor/editortypes.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

class FindDialog : public QDialog
{
    Q_OBJECT

public:
    explicit FindDialog(QWidget *parent = nullptr);

    QString findText() const;
    void setFindText(const QString &text);
    // The choices shown, as the editor's search takes them.
    FindOptions options() const;

signals:
    void findNext();

private:
    void updateButtons();

    QLineEdit *m_findText = nullptr;
    QCheckBox *m_wholeWord = nullptr;
    QCheckBox *m_matchCase = nullptr;
    QRadioButton *m_up = nullptr;
    QRadioButton *m_down = nullptr;
    QPushButton *m_findNext = nullptr;
};
