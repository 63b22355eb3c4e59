#include "widgets/balloonpicture.h"

#include <QPainter>
#include <QPolygonF>

namespace balloon {

namespace {

// A shape whose outline runs through the centres of the rectangle's edge
// pixels, so that an aliased one-pixel pen lands exactly on them.
QPainterPath shapePath(const QRect &pixels, Shape shape)
{
    const QRectF r = QRectF(pixels).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath path;
    if (shape == Shape::RoundRect) {
        const qreal radius = (cornerDiameter - 1) / 2.0;
        path.addRoundedRect(r, radius, radius);
    } else {
        path.addRect(r);
    }
    return path;
}

// The tail for a balloon to the right of the cursor: it leaves the body's
// bottom-left corner and curls down to a narrow tip beside the cursor. The
// last points lie inside the body so that the union is one shape.
QPolygonF rightTail(int h)
{
    return QPolygonF({{11, h - 3.0}, {7, h + 3.0}, {4, h + 8.0}, {2, h + 12.0}, {2, h + 15.0},
                      {4, h + 17.0}, {6, h + 15.0}, {7, h + 12.0}, {10, h + 7.0}, {14, h + 3.0},
                      {19, h + 1.0}, {19, h - 3.0}});
}

// The mirror image for a balloon to the left of the cursor, whose tip sits
// one pixel further out so that the tip pixels stay inside.
QPolygonF leftTail(int h, int rightmost)
{
    const int r = rightmost;
    return QPolygonF({{r - 11.0, h - 3.0}, {r - 7.0, h + 3.0}, {r - 4.0, h + 8.0}, {r - 1.0, h + 12.0},
                      {r - 1.0, h + 15.0}, {r - 3.0, h + 17.0}, {r - 5.0, h + 15.0}, {r - 7.0, h + 12.0},
                      {r - 10.0, h + 7.0}, {r - 14.0, h + 3.0}, {r - 19.0, h + 1.0}, {r - 19.0, h - 3.0}});
}

} // namespace

QPainterPath outlinePath(const Geometry &geometry, Shape shape, Alignment align)
{
    const int h = geometry.textHeight;
    QPolygonF tail = align == Alignment::Right ? rightTail(h) : leftTail(h, geometry.window.width() - 1);
    tail.translate(0.5, 0.5); // pixel indices to pixel centres
    QPainterPath tailPath;
    tailPath.addPolygon(tail);
    tailPath.closeSubpath();
    return shapePath(geometry.body, shape).united(tailPath).simplified();
}

QImage paintPicture(const Geometry &geometry, const QStringList &lines, const Style &style)
{
    QImage image(geometry.window.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    // Crisp one-pixel edges: the window mask is one bit deep, so a blended
    // edge would show as a fringe against the desktop.
    painter.setRenderHint(QPainter::Antialiasing, false);

    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::black);
    painter.drawPath(shapePath(geometry.shadow, style.shape));

    painter.setBrush(style.color);
    painter.drawPath(outlinePath(geometry, style.shape, style.align));

    // The narrow tip can fall between fill and outline; make it the
    // balloon's colour so the tail ends in a point, not a black blot.
    painter.setPen(style.color);
    for (const QPoint &p : geometry.tipPixels)
        painter.drawPoint(p);

    painter.setFont(style.font);
    painter.setPen(style.textColor);
    const QFontMetrics metrics(style.font);
    for (int i = 0; i < lines.size() && i < geometry.textOrigins.size(); ++i) {
        const QPoint origin = geometry.textOrigins.at(i);
        painter.drawText(QPoint(origin.x(), origin.y() + metrics.ascent()), lines.at(i));
    }
    return image;
}

} // namespace balloon
