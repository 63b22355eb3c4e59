#include "app/chrome/ruler.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <QTextOption>

#include <algorithm>

RulerMarker::RulerMarker(Shape shape, QWidget *parent)
    : QWidget(parent)
    , m_shape(shape)
{
    setCursor(Qt::SizeHorCursor);
}

void RulerMarker::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1));
    painter.setBrush(palette().color(QPalette::Mid));
    const qreal w = width() - 1;
    const qreal h = std::min<qreal>(height() - 1, w * 0.8);
    QPolygonF triangle;
    if (m_shape == Shape::Down)
        triangle << QPointF(0.5, 0.5) << QPointF(w + 0.5, 0.5) << QPointF(w / 2 + 0.5, h + 0.5);
    else
        triangle << QPointF(0.5, h + 0.5) << QPointF(w + 0.5, h + 0.5) << QPointF(w / 2 + 0.5, 0.5);
    painter.drawPolygon(triangle);
}

void RulerMarker::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit pressed(qRound(event->position().x()));
}

void RulerMarker::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() & Qt::LeftButton)
        emit moved(qRound(event->position().x()));
}

void RulerMarker::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit released(qRound(event->position().x()));
}

Ruler::Ruler(QWidget *parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("Ruler"));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    setFixedHeight(26);
    QFont rulerFont(QStringLiteral("Arial"));
    rulerFont.setStyleHint(QFont::SansSerif);
    rulerFont.setPixelSize(11);
    setFont(rulerFont);

    m_rulerLine = new QFrame(this);
    m_rulerLine->setObjectName(QStringLiteral("RulerLine"));
    m_rulerLine->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    m_rulerLine->setGeometry(4, 12, 579, 2);

    m_firstInd = new RulerMarker(RulerMarker::Shape::Down, this);
    m_firstInd->setObjectName(QStringLiteral("FirstInd"));
    m_firstInd->setGeometry(2, 2, 10, 9);
    m_leftInd = new RulerMarker(RulerMarker::Shape::Up, this);
    m_leftInd->setObjectName(QStringLiteral("LeftInd"));
    m_leftInd->setGeometry(2, 12, 10, 11);
    m_rightInd = new RulerMarker(RulerMarker::Shape::Up, this);
    m_rightInd->setObjectName(QStringLiteral("RightInd"));
    m_rightInd->setGeometry(575, 14, 9, 12);
}

void Ruler::setupRuler()
{
    m_caption = QStringLiteral("\t|").repeated(100);
    update();
}

qreal Ruler::tabStop() const
{
    return 8 * QFontMetricsF(font()).averageCharWidth();
}

void Ruler::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    if (m_caption.isEmpty())
        return;
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Mid).darker(130));
    QTextOption option(Qt::AlignLeft | Qt::AlignVCenter);
    option.setWrapMode(QTextOption::NoWrap);
    option.setTabStopDistance(tabStop());
    painter.drawText(QRectF(contentsRect()), m_caption, option);
}

void Ruler::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    m_rulerLine->resize(width() - 2 * m_rulerLine->x(), m_rulerLine->height());
    emit resized();
}
