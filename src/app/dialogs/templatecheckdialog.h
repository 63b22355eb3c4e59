#pragma once

// "Check Template"'s list: a small modeless window with one row per finding
// (its severity's icon, its kind, what it says, where it stands) or the one
// row "No problems found.", the whole sentence of the current row under
// the list, a status line and a Close button. Choosing a
// row (double-click or Enter) only announces it: the command that filled
// the list knows the panes, shows the place, and says in the status line
// when there is nothing to show.

#include "documents/templatefinding.h"

#include <QDialog>
#include <QString>

#include <vector>

class QLabel;
class QTreeWidget;

class TemplateCheckDialog : public QDialog {
    Q_OBJECT

public:
    explicit TemplateCheckDialog(QWidget *parent = nullptr);

    // Replaces the list and clears the status line. `subject` says what
    // was checked, for the line above the list.
    void setFindings(std::vector<documents::Finding> findings, const QString &subject);
    const std::vector<documents::Finding> &findings() const { return m_findings; }

    void setStatus(const QString &text);
    QString status() const;

    QTreeWidget *list() const { return m_list; }

    // "12:5" for a place in the template's source, "Information line 7"
    // for one in the Information data.
    static QString placeText(const documents::Finding &finding);

signals:
    // Row `index` of findings() was chosen.
    void findingChosen(int index);

private:
    std::vector<documents::Finding> m_findings;
    QLabel *m_subject = nullptr;
    QTreeWidget *m_list = nullptr;
    QLabel *m_detail = nullptr;
    QLabel *m_status = nullptr;
};
