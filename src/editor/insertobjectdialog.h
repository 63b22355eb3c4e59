#pragma once

#include "editor/embeddedobject.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// Chooses a file to become an embedded object: embedded or linked, shown as
// its picture or as an icon. OK is offered once the name is that of a file.
// The dialog places itself centred across the screen and a third of the way
// down, as the control's insert-object dialog always did.
class InsertObjectDialog : public QDialog
{
    Q_OBJECT

public:
    explicit InsertObjectDialog(QWidget *parent = nullptr);

    ObjectCreateInfo createInfo() const;
    void setFileName(const QString &fileName);
    void setLinked(bool on);
    void setShowAsIcon(bool on);

    QPushButton *okButton() const { return m_ok; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void browse();
    void update();

    QLineEdit *m_fileName = nullptr;
    QCheckBox *m_link = nullptr;
    QCheckBox *m_icon = nullptr;
    QLabel *m_result = nullptr;
    QPushButton *m_ok = nullptr;
};
