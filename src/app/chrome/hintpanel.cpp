#include "app/chrome/hintpanel.h"

#include <QApplication>
#include <QMenu>
#include <QPainter>
#include <QTimer>

HintPanel::HintPanel(QWidget *parent)
    : QFrame(parent)
    , m_timer1(new QTimer(this))
{
    setObjectName(QStringLiteral("Hintpanel"));
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(2);
    setFixedHeight(25);
    QFont hintFont(QStringLiteral("Times New Roman"));
    hintFont.setStyleHint(QFont::Serif);
    hintFont.setPixelSize(11);
    hintFont.setBold(true);
    setFont(hintFont);
    setAutoFillBackground(true);
    setColor(menuColor());
    hide();

    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(4000);
    connect(m_timer1, &QTimer::timeout, this, &HintPanel::timer1Timer);
}

QColor HintPanel::menuColor()
{
    return QApplication::palette("QMenu").color(QPalette::Window);
}

void HintPanel::showHint(const QString &text)
{
    setColor(hintColor());
    m_caption = text;
    show();
    update();
    if (!m_timer1->isActive())
        m_timer1->start();
}

void HintPanel::timer1Timer()
{
    m_caption.clear();
    setColor(menuColor());
    m_timer1->stop();
    update();
}

void HintPanel::setColor(const QColor &color)
{
    m_color = color;
    QPalette pal = palette();
    pal.setColor(QPalette::Window, color);
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);
}

void HintPanel::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    if (m_caption.isEmpty())
        return;
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    // One line, centred like a panel caption; a hint's line breaks become
    // spaces rather than squeezing a second line into the strip.
    QString line = m_caption;
    line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    line.replace(u'\n', u' ');
    const QRect area = contentsRect().adjusted(4, 0, -4, 0);
    const QString shown = painter.fontMetrics().elidedText(line, Qt::ElideRight, area.width());
    painter.drawText(area, Qt::AlignCenter, shown);
}
