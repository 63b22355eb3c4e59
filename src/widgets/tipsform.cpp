#include "widgets/tipsform.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {

QPushButton *button(const QString &text, const char *name, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setMinimumSize(89, 25);
    return b;
}

} // namespace

TipsForm::TipsForm(QWidget *parent)
    : QDialog(parent)
    , m_panel(new QFrame(this))
    , m_picture(new QLabel(m_panel))
    , m_title(new QLabel(m_panel))
    , m_tip(new QLabel(m_panel))
    , m_showAtStartup(new QCheckBox(QStringLiteral(" &Show tips at startup"), this))
    , m_ok(button(QStringLiteral("&OK"), "OKBtn", this))
    , m_next(button(QStringLiteral("&Next Tip"), "NextBtn", this))
    , m_previous(button(QStringLiteral("&Previous Tip"), "PrevBtn", this))
{
    setObjectName(QStringLiteral("TipsForm"));
    m_panel->setObjectName(QStringLiteral("TipPanel"));
    m_picture->setObjectName(QStringLiteral("Image1"));
    m_title->setObjectName(QStringLiteral("TipTitleLbl"));
    m_tip->setObjectName(QStringLiteral("TipLbl"));
    m_showAtStartup->setObjectName(QStringLiteral("ShowChk"));

    m_panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_panel->setLineWidth(2);
    m_panel->setAutoFillBackground(true);
    m_panel->setMinimumSize(327, 189);
    const int iconSize = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    m_picture->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation, nullptr, this).pixmap(iconSize));
    m_picture->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    m_picture->setMinimumWidth(48);
    // Tips are plain sentences; "<" in one must not start markup.
    m_title->setTextFormat(Qt::PlainText);
    m_tip->setTextFormat(Qt::PlainText);
    m_tip->setWordWrap(true);
    m_tip->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_tip->setMinimumSize(252, 127);
    m_tip->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);

    auto *text = new QVBoxLayout;
    text->setSpacing(12);
    text->addWidget(m_title);
    text->addWidget(m_tip, 1);
    auto *panelLayout = new QHBoxLayout(m_panel);
    panelLayout->setContentsMargins(10, 12, 10, 8);
    panelLayout->setSpacing(6);
    panelLayout->addWidget(m_picture, 0, Qt::AlignTop);
    panelLayout->addLayout(text, 1);

    auto *left = new QVBoxLayout;
    left->addWidget(m_panel, 1);
    left->addWidget(m_showAtStartup);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(m_ok);
    buttons->addWidget(m_next);
    buttons->addWidget(m_previous);
    buttons->addStretch();
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(5, 5, 5, 5);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_next, &QPushButton::clicked, this, &TipsForm::nextTip);
    connect(m_previous, &QPushButton::clicked, this, &TipsForm::previousTip);
    setPanelColor(QApplication::palette().color(QPalette::ToolTipBase));
}

void TipsForm::setPanelColor(const QColor &color)
{
    QPalette p = m_panel->palette();
    p.setColor(QPalette::Window, color);
    // Text stays readable on a panel of any colour.
    p.setColor(QPalette::WindowText, color.lightness() < 128 ? Qt::white : Qt::black);
    m_panel->setPalette(p);
}

void TipsForm::setTipTitle(const QString &title, const QFont &font, const QColor &color)
{
    m_title->setText(title);
    m_title->setFont(font);
    QPalette p = m_title->palette();
    p.setColor(QPalette::WindowText, color);
    m_title->setPalette(p);
}

void TipsForm::setTipFont(const QFont &font)
{
    m_tip->setFont(font);
}

void TipsForm::setShowAtStartup(bool on)
{
    m_showAtStartup->setChecked(on);
}

bool TipsForm::showAtStartup() const
{
    return m_showAtStartup->isChecked();
}

void TipsForm::start(const QStringList &tips, const QString &crlfSubstitute, bool random, RandomIndex randomIndex)
{
    m_tips = tips;
    m_crlfSubstitute = crlfSubstitute;
    m_random = random;
    m_randomIndex = std::move(randomIndex);
    m_previous->setVisible(!random);
    m_next->setEnabled(!m_tips.isEmpty());
    m_previous->setEnabled(!m_tips.isEmpty());
    if (m_tips.isEmpty()) {
        m_current = -1;
        m_tip->clear();
        return;
    }
    // A random start is a random index that Next then moves away from, so
    // the first tip shown is itself a random pick.
    m_current = m_random && m_tips.size() > 1 ? m_randomIndex(int(m_tips.size()) - 1) : -1;
    nextTip();
}

void TipsForm::nextTip()
{
    const int count = int(m_tips.size());
    if (count == 0)
        return;
    if (m_random) {
        // A pick among all but the last tip; the current one gives way to
        // the next, so Next always changes the tip when there are two or more.
        int pick = count > 1 ? m_randomIndex(count - 1) : 0;
        if (count > 1 && pick == m_current)
            ++pick;
        m_current = pick;
    } else {
        m_current = (m_current + 1) % count;
    }
    showCurrent();
}

void TipsForm::previousTip()
{
    const int count = int(m_tips.size());
    if (count == 0)
        return;
    m_current = m_current <= 0 ? count - 1 : m_current - 1;
    showCurrent();
}

QString TipsForm::shownTip() const
{
    return m_tip->text();
}

void TipsForm::showCurrent()
{
    QString tip = m_tips.value(m_current);
    if (!m_crlfSubstitute.isEmpty())
        tip.replace(m_crlfSubstitute, QStringLiteral("\n"));
    m_tip->setText(tip);
}
