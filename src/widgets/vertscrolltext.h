#pragma once

// Lines of text that roll upwards over an optional background picture: the
// text enters at the bottom, moves one pixel per interval and, with
// repeatScroll, starts again from the bottom once it has left the top.
// It rolls only while it is enabled and shown, and starts from the bottom
// each time it is shown.

#include <QPixmap>
#include <QStringList>
#include <QTimer>
#include <QWidget>

class VertScrollText : public QWidget
{
    Q_OBJECT

public:
    explicit VertScrollText(QWidget *parent = nullptr);

    QStringList lines() const { return m_lines; }
    void setLines(const QStringList &lines);
    // Milliseconds between two one-pixel steps.
    int interval() const { return m_timer.interval(); }
    void setInterval(int ms) { m_timer.setInterval(ms); }
    QPixmap bkgrndBitmap() const { return m_bkgrndBitmap; }
    void setBkgrndBitmap(const QPixmap &picture);
    bool repeatScroll() const { return m_repeatScroll; }
    void setRepeatScroll(bool on) { m_repeatScroll = on; }
    // Qt::AlignLeft, Qt::AlignHCenter or Qt::AlignRight: where each line stands.
    Qt::Alignment alignment() const { return m_alignment; }
    void setAlignment(Qt::Alignment alignment);
    // Whether the background picture is stretched over the whole control
    // or drawn once at its top left.
    bool stretch() const { return m_stretch; }
    void setStretch(bool on);

    // The top of the text, in pixels from the control's top.
    int position() const { return m_position; }
    int textHeight() const { return m_textHeight; }
    bool isScrolling() const { return m_timer.isActive(); }
    // One timer tick: wraps to the bottom (or stops, without repeatScroll)
    // once the text has left the top, then moves the text up one pixel.
    void step();

    // The text as it is drawn: one line per line height, transparent around it.
    QImage textPicture() const { return m_textPicture; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void prepare();
    void restart();

    QStringList m_lines;
    QPixmap m_bkgrndBitmap;
    bool m_repeatScroll = true;
    Qt::Alignment m_alignment = Qt::AlignLeft;
    bool m_stretch = true;

    QTimer m_timer;
    int m_position = 0;
    int m_textHeight = 0;
    QImage m_textPicture;
    QPixmap m_background;
};
