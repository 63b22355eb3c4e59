#pragma once

// The strip that shows the long hint of the menu item or control under the
// mouse. Every change of the hint paints it yellow with the new text;
// Timer1 then turns it back to the menu colour, empty, four seconds after
// the first hint of a series (a hint arriving while the timer runs does not
// restart it). Hidden until the first hint, it stays visible afterwards.

#include <QColor>
#include <QFrame>
#include <QString>

class QTimer;

class HintPanel : public QFrame
{
    Q_OBJECT

public:
    explicit HintPanel(QWidget *parent = nullptr);

    static QColor hintColor() { return QColor(0xFF, 0xFF, 0x00); }
    // The colour of menus in the current style: the panel's resting colour.
    static QColor menuColor();

    QString caption() const { return m_caption; }
    QColor color() const { return m_color; }
    QTimer *timer1() const { return m_timer1; }

    // showhint: yellow, the text (empty text too), shown, Timer1 running.
    void showHint(const QString &text);
    // Timer1's tick: empty, menu colour, Timer1 stopped.
    void timer1Timer();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void setColor(const QColor &color);

    QString m_caption;
    QColor m_color;
    QTimer *m_timer1 = nullptr;
};
