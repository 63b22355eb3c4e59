#include "app/dialogs/finddialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

FindDialog::FindDialog(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FindDialog1"));
    setWindowTitle(QStringLiteral("Find"));
    setModal(false);

    auto *label = new QLabel(QStringLiteral("Fi&nd what:"), this);
    m_findText = new QLineEdit(this);
    m_findText->setObjectName(QStringLiteral("FindText"));
    label->setBuddy(m_findText);

    m_wholeWord = new QCheckBox(QStringLiteral("Match &whole word only"), this);
    m_wholeWord->setObjectName(QStringLiteral("WholeWord"));
    m_matchCase = new QCheckBox(QStringLiteral("Match &case"), this);
    m_matchCase->setObjectName(QStringLiteral("MatchCase"));
    // Searches have always been case-sensitive; the box starts ticked so
    // the first search behaves as users know it.
    m_matchCase->setChecked(true);

    auto *direction = new QGroupBox(QStringLiteral("Direction"), this);
    m_up = new QRadioButton(QStringLiteral("&Up"), direction);
    m_up->setObjectName(QStringLiteral("Up"));
    m_down = new QRadioButton(QStringLiteral("&Down"), direction);
    m_down->setObjectName(QStringLiteral("Down"));
    m_down->setChecked(true);
    auto *directionLayout = new QHBoxLayout(direction);
    directionLayout->addWidget(m_up);
    directionLayout->addWidget(m_down);

    m_findNext = new QPushButton(QStringLiteral("&Find Next"), this);
    m_findNext->setObjectName(QStringLiteral("FindNext"));
    m_findNext->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("Cancel"));

    auto *grid = new QGridLayout(this);
    grid->addWidget(label, 0, 0);
    grid->addWidget(m_findText, 0, 1);
    grid->addWidget(m_wholeWord, 1, 0, 1, 2);
    grid->addWidget(m_matchCase, 2, 0);
    grid->addWidget(direction, 2, 1);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(m_findNext);
    buttons->addWidget(cancel);
    buttons->addStretch();
    grid->addLayout(buttons, 0, 2, 3, 1);

    connect(m_findNext, &QPushButton::clicked, this, &FindDialog::findNext);
    connect(cancel, &QPushButton::clicked, this, &QDialog::hide);
    connect(m_findText, &QLineEdit::textChanged, this, &FindDialog::updateButtons);
    updateButtons();
}

QString FindDialog::findText() const
{
    return m_findText->text();
}

void FindDialog::setFindText(const QString &text)
{
    m_findText->setText(text);
}

FindOptions FindDialog::options() const
{
    FindOptions options;
    if (m_matchCase->isChecked())
        options |= FindOption::MatchCase;
    if (m_wholeWord->isChecked())
        options |= FindOption::WholeWord;
    if (m_up->isChecked())
        options |= FindOption::Backward;
    return options;
}

void FindDialog::updateButtons()
{
    m_findNext->setEnabled(!m_findText->text().isEmpty());
}
