#include "widgets/balloon.h"

#include "widgets/balloonpicture.h"

#include <QApplication>
#include <QBitmap>
#include <QCursor>
#include <QMouseEvent>
#include <QPainter>

Balloon::Balloon(QWidget *parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_color(QApplication::palette().color(QPalette::Base))
{
    setObjectName(QStringLiteral("Balloon"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    // The picture covers every shaped pixel; nothing needs clearing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Without tracking no move event reaches a window when no button is down.
    setMouseTracking(true);
    QFont f = QApplication::font();
    f.setPointSize(8);
    setFont(f);
}

Balloon::~Balloon()
{
    if (m_filtering)
        qApp->removeEventFilter(this);
}

void Balloon::showBalloon(const QString &text)
{
    showBalloon(QCursor::pos(), text);
}

void Balloon::showBalloon(QPoint globalCursor, const QString &text)
{
    if (text.isEmpty())
        return;
    hideBalloon();

    const QStringList lines = balloon::splitLines(text, m_divisionChar);
    m_geometry = balloon::layout(globalCursor, lines, QFontMetrics(font()), m_align, m_textAlign);
    balloon::Style style;
    style.color = m_color;
    style.textColor = m_textColor;
    style.font = font();
    style.shape = m_shape;
    style.align = m_align;
    m_picture = balloon::paintPicture(m_geometry, lines, style);
    m_region = QRegion(QBitmap::fromImage(m_picture.createAlphaMask()));

    m_shownHidesOnMove = m_hideIfMouseMove;
    m_shownHidesOnClick = m_hideIfMouseClick;
    setGeometry(m_geometry.window);
    setMask(m_region);
    // An application-wide filter sees the pointer over the balloon even
    // while another widget holds the mouse grab (the press that asked for
    // the balloon is often still down).
    qApp->installEventFilter(this);
    m_filtering = true;
    show();
    update();
}

void Balloon::hideBalloon()
{
    if (m_filtering) {
        qApp->removeEventFilter(this);
        m_filtering = false;
    }
    hide();
}

QRegion Balloon::screenShape() const
{
    return m_region.translated(geometry().topLeft());
}

void Balloon::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawImage(0, 0, m_picture);
}

bool Balloon::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (isVisible() && (type == QEvent::MouseMove || type == QEvent::MouseButtonPress)) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const bool over = screenShape().contains(mouse->globalPosition().toPoint());
        const bool hides = type == QEvent::MouseMove
            ? m_shownHidesOnMove
            : m_shownHidesOnClick && mouse->button() == Qt::LeftButton;
        if (over && hides)
            hideBalloon();
    }
    return QWidget::eventFilter(watched, event);
}
