#include "widgets/arrowbutton.h"

#include <QPainter>
#include <QPainterPath>

#include <array>
#include <cmath>

namespace {

// A corner moved `by` pixels towards the triangle's centre.
QPointF towards(QPointF corner, QPointF centre, qreal by)
{
    const QPointF d = centre - corner;
    const qreal length = std::hypot(d.x(), d.y());
    return length <= by ? centre : corner + d * (by / length);
}

// Whether an edge faces the light (up or left), which decides its shade:
// light edges are bright when raised and dark when pressed.
bool facesLight(QPointF from, QPointF to, QPointF centre)
{
    const QPointF middle = (from + to) / 2;
    const QPointF outward = middle - centre;
    return outward.y() < -0.01 || (qAbs(outward.y()) <= 0.01 && outward.x() < 0);
}

} // namespace

ArrowButton::ArrowButton(QWidget *parent)
    : ArrowButton(Direction::Up, parent)
{
}

ArrowButton::ArrowButton(Direction direction, QWidget *parent)
    : QAbstractButton(parent)
    , m_direction(direction)
{
    // A graphic control: it never takes the focus from the window's edits.
    setFocusPolicy(Qt::NoFocus);
    resize(sizeHint());
}

void ArrowButton::setDirection(Direction direction)
{
    if (direction == m_direction)
        return;
    m_direction = direction;
    update();
}

void ArrowButton::setButtonColor(const QColor &color)
{
    if (color == m_color)
        return;
    m_color = color;
    update();
}

QPolygon ArrowButton::triangle() const
{
    const int w = width();
    const int h = height();
    const int l = 3;
    const int t = 3;
    const int r = w - 3;
    const int b = h - 3;
    switch (m_direction) {
    case Direction::Up:
        return QPolygon({QPoint(w / 2, t), QPoint(r, b), QPoint(l, b)});
    case Direction::Down:
        return QPolygon({QPoint(w / 2, b), QPoint(l, t), QPoint(r, t)});
    case Direction::Left:
        return QPolygon({QPoint(l, h / 2), QPoint(r, t), QPoint(r, b)});
    case Direction::Right:
        return QPolygon({QPoint(r, h / 2), QPoint(l, b), QPoint(l, t)});
    }
    return {};
}

bool ArrowButton::hitButton(const QPoint &pos) const
{
    return triangle().containsPoint(pos, Qt::OddEvenFill);
}

void ArrowButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);

    const QPolygon outer = triangle();
    const QPointF centre = (QPointF(outer[0]) + QPointF(outer[1]) + QPointF(outer[2])) / 3;

    // The black frame, 2 pixels wide.
    QPainterPath frame;
    frame.addPolygon(QPolygonF(outer));
    frame.closeSubpath();
    painter.fillPath(frame, Qt::black);

    std::array<QPointF, 3> inner;
    for (int i = 0; i < 3; ++i)
        inner[i] = towards(outer[i], centre, 4.0);
    QColor fill = m_color;
    if (!isEnabled()) {
        const int grey = qGray(fill.rgb());
        fill = QColor(grey, grey, grey).lighter(160);
    } else if (isDown()) {
        fill = fill.darker(115);
    }
    QPainterPath body;
    body.addPolygon(QPolygonF({inner[0], inner[1], inner[2]}));
    body.closeSubpath();
    painter.fillPath(body, fill);

    // Raised: white highlight on the edges that face the light, a dark
    // shade on the others; pressed: the other way round.
    const QColor light = isEnabled() ? QColor(Qt::white) : fill.lighter(130);
    const QColor dark = isEnabled() ? fill.darker(200) : fill.darker(130);
    const bool pressed = isDown();
    for (int i = 0; i < 3; ++i) {
        const QPointF from = inner[i];
        const QPointF to = inner[(i + 1) % 3];
        const bool lit = facesLight(from, to, centre) != pressed;
        painter.setPen(QPen(lit ? light : dark, 1.5, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(towards(from, centre, 0.75), towards(to, centre, 0.75));
    }
}
