#pragma once

// The credits window: thanks to the free software Quorin is built on,
// rolling upwards until the user has seen enough.

#include <QDialog>
#include <QStringList>

class VertScrollText;

class CreditsForm : public QDialog
{
    Q_OBJECT

public:
    explicit CreditsForm(QWidget *parent = nullptr);

    VertScrollText *scrollText() const { return m_text; }
    // A general line, then a name and what it gives per entry, the entries
    // apart by blank lines, and a last line of a single space.
    static QStringList creditLines();

private:
    VertScrollText *m_text;
};
