#pragma once

// The indent ruler under the toolbar: tick marks at every tab stop, a line
// across, and three markers for the first-line, left and right indents of
// the paragraph at the caret. The ruler draws and reports; moving the
// markers from the paragraph and applying a dragged marker to it is the
// formatting commands' work.

#include <QFrame>
#include <QString>

class RulerMarker : public QWidget
{
    Q_OBJECT

public:
    enum class Shape { Down, Up };

    RulerMarker(Shape shape, QWidget *parent = nullptr);
    Shape shape() const { return m_shape; }

signals:
    // x is the mouse position relative to the marker.
    void pressed(int x);
    void moved(int x);
    void released(int x);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    Shape m_shape;
};

class Ruler : public QFrame
{
    Q_OBJECT

public:
    explicit Ruler(QWidget *parent = nullptr);

    RulerMarker *firstInd() const { return m_firstInd; }
    RulerMarker *leftInd() const { return m_leftInd; }
    RulerMarker *rightInd() const { return m_rightInd; }
    QFrame *rulerLine() const { return m_rulerLine; }

    // The ticks are the caption: "\t|" a hundred times, drawn with its tabs
    // expanded so that a bar stands at every tab stop.
    void setupRuler();
    QString caption() const { return m_caption; }
    // The distance between two tab stops: eight average characters of the
    // ruler's font.
    qreal tabStop() const;

signals:
    // The markers' places depend on the ruler's width.
    void resized();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QString m_caption;
    RulerMarker *m_firstInd = nullptr;
    RulerMarker *m_leftInd = nullptr;
    RulerMarker *m_rightInd = nullptr;
    QFrame *m_rulerLine = nullptr;
};
