#include "widgets/vertscrolltext.h"

#include <QPainter>
#include <QShowEvent>

#include <cmath>

VertScrollText::VertScrollText(QWidget *parent)
    : QWidget(parent)
    , m_lines{QStringLiteral("Scrolling text goes here ....")}
{
    m_timer.setInterval(50);
    connect(&m_timer, &QTimer::timeout, this, &VertScrollText::step);
    // Every pixel is painted from the background picture.
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(200, 100);
    m_position = height();
    prepare();
}

void VertScrollText::setLines(const QStringList &lines)
{
    m_lines = lines;
    prepare();
}

void VertScrollText::setBkgrndBitmap(const QPixmap &picture)
{
    m_bkgrndBitmap = picture;
    prepare();
}

void VertScrollText::setAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment;
    prepare();
}

void VertScrollText::setStretch(bool on)
{
    m_stretch = on;
    prepare();
}

void VertScrollText::step()
{
    if (m_position + m_textHeight < 0) {
        if (m_repeatScroll)
            m_position = height();
        else
            m_timer.stop();
    }
    --m_position;
    update();
}

void VertScrollText::restart()
{
    m_position = height();
    if (isEnabled() && isVisible())
        m_timer.start();
    else
        m_timer.stop();
    update();
}

void VertScrollText::prepare()
{
    const QFontMetrics metrics(font());
    const int lineHeight = metrics.height();
    const int w = std::max(width(), 1);
    m_textHeight = lineHeight * int(m_lines.size());
    const qreal ratio = devicePixelRatioF();

    m_textPicture = QImage(QSize(w, m_textHeight) * ratio, QImage::Format_ARGB32_Premultiplied);
    m_textPicture.setDevicePixelRatio(ratio);
    m_textPicture.fill(Qt::transparent);
    if (!m_textPicture.isNull()) {
        QPainter painter(&m_textPicture);
        painter.setFont(font());
        painter.setPen(palette().color(QPalette::Active, QPalette::WindowText));
        int y = 0;
        for (const QString &line : std::as_const(m_lines)) {
            const int lineWidth = metrics.horizontalAdvance(line);
            int x = 0;
            if (m_alignment & Qt::AlignRight)
                x = w - lineWidth;
            else if (m_alignment & Qt::AlignHCenter)
                x = int(std::lround((w - lineWidth) / 2.0));
            painter.drawText(x, y + metrics.ascent(), line);
            y += lineHeight;
        }
    }

    m_background = QPixmap(size() * ratio);
    m_background.setDevicePixelRatio(ratio);
    m_background.fill(palette().color(QPalette::Window));
    if (!m_bkgrndBitmap.isNull() && !m_background.isNull()) {
        QPainter painter(&m_background);
        if (m_stretch)
            painter.drawPixmap(rect(), m_bkgrndBitmap);
        else
            painter.drawPixmap(0, 0, m_bkgrndBitmap);
    }
    update();
}

void VertScrollText::paintEvent(QPaintEvent *)
{
    // Qt paints into a back buffer and shows it in one step, so the text
    // moves without flicker.
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_background);
    painter.drawImage(0, m_position, m_textPicture);
}

void VertScrollText::resizeEvent(QResizeEvent *)
{
    prepare();
}

void VertScrollText::showEvent(QShowEvent *)
{
    restart();
}

void VertScrollText::hideEvent(QHideEvent *)
{
    m_timer.stop();
}

void VertScrollText::changeEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::EnabledChange:
        restart();
        break;
    case QEvent::FontChange:
    case QEvent::PaletteChange:
        prepare();
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}
