#pragma once

// A cartoon balloon hint: a rounded (or square) box with a drop shadow and a
// tail whose tip points at the mouse cursor, holding one or more lines of
// text. It is a frameless top-level window shaped to the balloon's outline,
// so the desktop shows around it. It goes away when the mouse moves over it
// (or, if so set, when it is clicked), when hideBalloon() is called or when
// the next text is shown; there is no timer.

#include "widgets/balloongeometry.h"

#include <QColor>
#include <QImage>
#include <QRegion>
#include <QWidget>

class Balloon : public QWidget
{
    Q_OBJECT

public:
    using Alignment = balloon::Alignment;
    using Shape = balloon::Shape;
    using TextAlignment = balloon::TextAlignment;

    // The text font is the widget's own font(): the application's family at
    // 8 points until setFont() changes it.
    explicit Balloon(QWidget *parent = nullptr);
    ~Balloon() override;

    Alignment align() const { return m_align; }
    void setAlign(Alignment align) { m_align = align; }
    QColor color() const { return m_color; }
    void setColor(const QColor &color) { m_color = color; }
    QColor textColor() const { return m_textColor; }
    void setTextColor(const QColor &color) { m_textColor = color; }
    QChar divisionChar() const { return m_divisionChar; }
    void setDivisionChar(QChar c) { m_divisionChar = c; }
    bool hideIfMouseMove() const { return m_hideIfMouseMove; }
    void setHideIfMouseMove(bool on) { m_hideIfMouseMove = on; }
    bool hideIfMouseClick() const { return m_hideIfMouseClick; }
    void setHideIfMouseClick(bool on) { m_hideIfMouseClick = on; }
    Shape shape() const { return m_shape; }
    void setShape(Shape shape) { m_shape = shape; }
    TextAlignment textAlign() const { return m_textAlign; }
    void setTextAlign(TextAlignment align) { m_textAlign = align; }

    // Shows the text, its lines separated by divisionChar(), with the tail
    // pointing at the given screen point (or at the mouse cursor). An empty
    // text does nothing and leaves a shown balloon as it is. The settings
    // above are taken now; changing them later affects the next balloon.
    void showBalloon(const QString &text);
    void showBalloon(QPoint globalCursor, const QString &text);
    void hideBalloon();

    // What the last shown balloon was built from, for callers and tests.
    const balloon::Geometry &balloonGeometry() const { return m_geometry; }
    QImage picture() const { return m_picture; }
    // The shaped area on the screen: mouse events over it belong to the balloon.
    QRegion screenShape() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Alignment m_align = Alignment::Right;
    QColor m_color;
    QColor m_textColor = QColor(0, 0, 0);
    QChar m_divisionChar = u'@';
    bool m_hideIfMouseMove = true;
    bool m_hideIfMouseClick = false;
    Shape m_shape = Shape::RoundRect;
    TextAlignment m_textAlign = TextAlignment::Center;

    // Copied when a balloon is shown, as the shown balloon's own rules.
    bool m_shownHidesOnMove = true;
    bool m_shownHidesOnClick = false;
    bool m_filtering = false;
    balloon::Geometry m_geometry;
    QImage m_picture;
    QRegion m_region;
};
