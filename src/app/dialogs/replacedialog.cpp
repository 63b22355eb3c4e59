#include "app/dialogs/replacedialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

ReplaceDialog::ReplaceDialog(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("ReplaceDialog1"));
    setWindowTitle(QStringLiteral("Replace"));
    setModal(false);

    auto *findLabel = new QLabel(QStringLiteral("Fi&nd what:"), this);
    m_findText = new QLineEdit(this);
    m_findText->setObjectName(QStringLiteral("FindText"));
    findLabel->setBuddy(m_findText);
    auto *replaceLabel = new QLabel(QStringLiteral("Re&place with:"), this);
    m_replaceText = new QLineEdit(this);
    m_replaceText->setObjectName(QStringLiteral("ReplaceText"));
    replaceLabel->setBuddy(m_replaceText);

    m_wholeWord = new QCheckBox(QStringLiteral("Match &whole word only"), this);
    m_wholeWord->setObjectName(QStringLiteral("WholeWord"));
    m_matchCase = new QCheckBox(QStringLiteral("Match &case"), this);
    m_matchCase->setObjectName(QStringLiteral("MatchCase"));
    m_matchCase->setChecked(true); // as the Find dialog, for the same reason

    m_findNext = new QPushButton(QStringLiteral("&Find Next"), this);
    m_findNext->setObjectName(QStringLiteral("FindNext"));
    m_findNext->setDefault(true);
    m_replace = new QPushButton(QStringLiteral("&Replace"), this);
    m_replace->setObjectName(QStringLiteral("Replace"));
    m_replaceAll = new QPushButton(QStringLiteral("Replace &All"), this);
    m_replaceAll->setObjectName(QStringLiteral("ReplaceAll"));
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("Cancel"));

    auto *grid = new QGridLayout(this);
    grid->addWidget(findLabel, 0, 0);
    grid->addWidget(m_findText, 0, 1);
    grid->addWidget(replaceLabel, 1, 0);
    grid->addWidget(m_replaceText, 1, 1);
    grid->addWidget(m_wholeWord, 2, 0, 1, 2);
    grid->addWidget(m_matchCase, 3, 0, 1, 2);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(m_findNext);
    buttons->addWidget(m_replace);
    buttons->addWidget(m_replaceAll);
    buttons->addWidget(cancel);
    buttons->addStretch();
    grid->addLayout(buttons, 0, 2, 4, 1);

    connect(m_findNext, &QPushButton::clicked, this, &ReplaceDialog::findNext);
    connect(m_replace, &QPushButton::clicked, this, &ReplaceDialog::replace);
    connect(m_replaceAll, &QPushButton::clicked, this, &ReplaceDialog::replaceAll);
    connect(cancel, &QPushButton::clicked, this, &QDialog::hide);
    connect(m_findText, &QLineEdit::textChanged, this, &ReplaceDialog::updateButtons);
    updateButtons();
}

QString ReplaceDialog::findText() const
{
    return m_findText->text();
}

void ReplaceDialog::setFindText(const QString &text)
{
    m_findText->setText(text);
}

QString ReplaceDialog::replaceText() const
{
    return m_replaceText->text();
}

void ReplaceDialog::setReplaceText(const QString &text)
{
    m_replaceText->setText(text);
}

FindOptions ReplaceDialog::options() const
{
    FindOptions options;
    if (m_matchCase->isChecked())
        options |= FindOption::MatchCase;
    if (m_wholeWord->isChecked())
        options |= FindOption::WholeWord;
    return options;
}

void ReplaceDialog::updateButtons()
{
    const bool any = !m_findText->text().isEmpty();
    m_findNext->setEnabled(any);
    m_replace->setEnabled(any);
    m_replaceAll->setEnabled(any);
}
