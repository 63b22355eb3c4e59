#pragma once

// A triangular push button that points up, right, left or down, drawn in a
// colour of its own with a raised look that turns pressed while the left
// mouse button is held inside the triangle. Only the triangle is the button:
// a press in the corners around it does nothing. The preview window moves
// between pages with two of them.

#include <QAbstractButton>
#include <QColor>
#include <QPolygon>

class ArrowButton : public QAbstractButton
{
    Q_OBJECT
    Q_PROPERTY(Direction direction READ direction WRITE setDirection)
    Q_PROPERTY(QColor buttonColor READ buttonColor WRITE setButtonColor)

public:
    enum class Direction { Up, Right, Left, Down };
    Q_ENUM(Direction)

    explicit ArrowButton(QWidget *parent = nullptr);
    ArrowButton(Direction direction, QWidget *parent = nullptr);

    Direction direction() const { return m_direction; }
    void setDirection(Direction direction);
    QColor buttonColor() const { return m_color; }
    void setButtonColor(const QColor &color);

    // The triangle's corners for the button's size: inset 3 pixels from
    // the edges, the apex in the middle of the side it points to.
    QPolygon triangle() const;

    QSize sizeHint() const override { return QSize(33, 33); }
    QSize minimumSizeHint() const override { return QSize(9, 9); }

protected:
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &pos) const override;

private:
    Direction m_direction = Direction::Up;
    QColor m_color = QColor(0, 128, 128);
};
