#pragma once

// The modeless Replace dialog: the text to find and its replacement, whole
// word and match case (on by default). Replacing runs forward through the
// pane, so the dialog offers no direction. Its buttons emit findNext(),
// replace() and replaceAll(); the Edit commands do the work.
//
// Controls by object name: "FindText", "ReplaceText", "WholeWord",
// "MatchCase", "FindNext", "Replace", "ReplaceAll", "Cancel".

#include "editor/editortypes.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

class ReplaceDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ReplaceDialog(QWidget *parent = nullptr);

    QString findText() const;
    void setFindText(const QString &text);
    QString replaceText() const;
    void setReplaceText(const QString &text);
    FindOptions options() const;

signals:
    void findNext();
    void replace();
    void replaceAll();

private:
    void updateButtons();

    QLineEdit *m_findText = nullptr;
    QLineEdit *m_replaceText = nullptr;
    QCheckBox *m_wholeWord = nullptr;
    QCheckBox *m_matchCase = nullptr;
    QPushButton *m_findNext = nullptr;
    QPushButton *m_replace = nullptr;
    QPushButton *m_replaceAll = nullptr;
};
