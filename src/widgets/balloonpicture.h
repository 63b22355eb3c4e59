#pragma once

// Paints a balloon hint: the drop shadow, the body joined with its tail into
// one outlined shape, and the text. Everything outside the shape stays fully
// transparent, so the picture's alpha doubles as the window's mask.

#include "widgets/balloongeometry.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainterPath>
#include <QStringList>

namespace balloon {

struct Style
{
    QColor color;     // fill of body and tail
    QColor textColor;
    QFont font;
    Shape shape = Shape::RoundRect;
    Alignment align = Alignment::Right;
};

// The body and tail as one closed outline through the centres of the
// outline pixels, in picture coordinates.
QPainterPath outlinePath(const Geometry &geometry, Shape shape, Alignment align);

// The whole picture, as large as the window, transparent outside.
QImage paintPicture(const Geometry &geometry, const QStringList &lines, const Style &style);

} // namespace balloon
