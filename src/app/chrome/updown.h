#pragma once

// A pair of arrow buttons that step the whole number in a line edit up or
// down within a range, without wrapping. Text that is not a number steps
// from the bottom of the range.

#include <QWidget>

class QLineEdit;
class QToolButton;

class UpDown : public QWidget
{
    Q_OBJECT

public:
    explicit UpDown(QWidget *parent = nullptr);

    void setBuddy(QLineEdit *buddy) { m_buddy = buddy; }
    QLineEdit *buddy() const { return m_buddy; }
    void setRange(int minimum, int maximum);
    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }

    void stepUp() { step(+1); }
    void stepDown() { step(-1); }

signals:
    // A step has put its number into the buddy.
    void stepped();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void step(int delta);

    QLineEdit *m_buddy = nullptr;
    QToolButton *m_up = nullptr;
    QToolButton *m_down = nullptr;
    int m_minimum = 0;
    int m_maximum = 100;
};
