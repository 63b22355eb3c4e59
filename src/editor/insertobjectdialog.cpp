#include "editor/insertobjectdialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

InsertObjectDialog::InsertObjectDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("InsertObjectDialog"));
    setWindowTitle(QStringLiteral("Insert Object"));

    auto *source = new QGroupBox(QStringLiteral("Create from file"), this);
    auto *fileLabel = new QLabel(QStringLiteral("&File:"), source);
    m_fileName = new QLineEdit(source);
    m_fileName->setObjectName(QStringLiteral("FileName"));
    m_fileName->setMinimumWidth(280);
    fileLabel->setBuddy(m_fileName);
    auto *browse = new QPushButton(QStringLiteral("&Browse..."), source);
    browse->setObjectName(QStringLiteral("Browse"));
    m_link = new QCheckBox(QStringLiteral("&Link"), source);
    m_link->setObjectName(QStringLiteral("Link"));
    m_icon = new QCheckBox(QStringLiteral("&Display as icon"), source);
    m_icon->setObjectName(QStringLiteral("ShowAsIcon"));

    auto *grid = new QGridLayout(source);
    grid->addWidget(fileLabel, 0, 0);
    grid->addWidget(m_fileName, 0, 1);
    grid->addWidget(browse, 0, 2);
    grid->addWidget(m_link, 1, 1);
    grid->addWidget(m_icon, 2, 1);

    auto *resultBox = new QGroupBox(QStringLiteral("Result"), this);
    m_result = new QLabel(resultBox);
    m_result->setObjectName(QStringLiteral("Result"));
    m_result->setWordWrap(true);
    m_result->setMinimumHeight(m_result->fontMetrics().lineSpacing() * 3);
    auto *resultLayout = new QVBoxLayout(resultBox);
    resultLayout->addWidget(m_result);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(source);
    layout->addWidget(resultBox);
    layout->addWidget(buttons);

    connect(browse, &QPushButton::clicked, this, &InsertObjectDialog::browse);
    connect(m_fileName, &QLineEdit::textChanged, this, &InsertObjectDialog::update);
    connect(m_link, &QCheckBox::toggled, this, &InsertObjectDialog::update);
    connect(m_icon, &QCheckBox::toggled, this, &InsertObjectDialog::update);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    update();
}

ObjectCreateInfo InsertObjectDialog::createInfo() const
{
    ObjectCreateInfo info;
    info.kind = m_link->isChecked() ? ObjectCreateInfo::Kind::LinkToFile : ObjectCreateInfo::Kind::FromFile;
    info.showAsIcon = m_icon->isChecked();
    info.fileName = m_fileName->text().trimmed();
    return info;
}

void InsertObjectDialog::setFileName(const QString &fileName)
{
    m_fileName->setText(fileName);
}

void InsertObjectDialog::setLinked(bool on)
{
    m_link->setChecked(on);
}

void InsertObjectDialog::setShowAsIcon(bool on)
{
    m_icon->setChecked(on);
}

void InsertObjectDialog::browse()
{
    const QString current = m_fileName->text().trimmed();
    const QString chosen = QFileDialog::getOpenFileName(this, QStringLiteral("Browse"), current);
    if (!chosen.isEmpty())
        m_fileName->setText(chosen);
}

void InsertObjectDialog::update()
{
    const QFileInfo file(m_fileName->text().trimmed());
    m_ok->setEnabled(!m_fileName->text().trimmed().isEmpty() && file.isFile());
    const bool link = m_link->isChecked();
    const bool icon = m_icon->isChecked();
    QString text;
    if (!link && !icon)
        text = QStringLiteral("Inserts the contents of the file into your document. A picture "
                              "shows as it is; any other file shows as its icon. Open it from "
                              "its menu with the program the desktop has for it.");
    else if (!link)
        text = QStringLiteral("Inserts the contents of the file into your document, shown as "
                              "an icon with the file's name.");
    else if (!icon)
        text = QStringLiteral("Inserts a picture of the file into your document, linked to the "
                              "file: opening it opens the file itself.");
    else
        text = QStringLiteral("Inserts an icon into your document that stands for the file: "
                              "opening it opens the file itself.");
    m_result->setText(text);
}

void InsertObjectDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Centred across the screen, a third of the free height from the top;
    // the size stays as the layout made it.
    const QScreen *screen = this->screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QSize size = frameGeometry().size();
    move(area.left() + (area.width() - size.width()) / 2,
         area.top() + qMax(0, area.height() - size.height()) / 3);
}
