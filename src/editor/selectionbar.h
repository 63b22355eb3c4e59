#pragma once

#include <QTextCursor>
#include <QWidget>

class QTextEdit;

// The strip left of an editor's text: a click selects the screen line
// beside it, dragging extends the selection line by line, Shift+click
// extends the selection to the line, and a double click selects the
// paragraph.
class SelectionBar : public QWidget
{
    Q_OBJECT

public:
    static constexpr int barWidth = 12;

    explicit SelectionBar(QTextEdit *editor);

    QSize sizeHint() const override { return {barWidth, 0}; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    // [start, end) of the screen line at height y of the viewport, with the
    // paragraph end when the line ends its paragraph.
    std::pair<int, int> lineAt(int y) const;
    void select(int anchor, int position);

    QTextEdit *m_editor;
    int m_anchorStart = 0;
    int m_anchorEnd = 0;
};
