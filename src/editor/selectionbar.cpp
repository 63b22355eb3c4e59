#include "editor/selectionbar.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QTextBlock>
#include <QTextEdit>

SelectionBar::SelectionBar(QTextEdit *editor) : QWidget(editor), m_editor(editor)
{
    setAutoFillBackground(false);
    setCursor(Qt::ArrowCursor);
}

std::pair<int, int> SelectionBar::lineAt(int y) const
{
    QTextCursor cursor = m_editor->cursorForPosition(QPoint(0, y));
    cursor.movePosition(QTextCursor::StartOfLine);
    const int start = cursor.position();
    cursor.movePosition(QTextCursor::EndOfLine);
    int end = cursor.position();
    const QTextBlock block = cursor.block();
    if (end == block.position() + block.length() - 1 && block.next().isValid())
        ++end; // take the paragraph end with the last line of a paragraph
    return {start, end};
}

void SelectionBar::select(int anchor, int position)
{
    QTextCursor cursor(m_editor->document());
    cursor.setPosition(anchor);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    m_editor->setTextCursor(cursor);
}

void SelectionBar::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), m_editor->viewport()->palette().base());
}

void SelectionBar::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const auto [start, end] = lineAt(event->position().toPoint().y());
    if (event->modifiers() & Qt::ShiftModifier) {
        const QTextCursor current = m_editor->textCursor();
        m_anchorStart = m_anchorEnd = current.anchor();
    } else {
        m_anchorStart = start;
        m_anchorEnd = end;
    }
    if (start < m_anchorStart)
        select(m_anchorEnd, start);
    else
        select(m_anchorStart, qMax(end, m_anchorEnd));
    m_editor->setFocus(Qt::MouseFocusReason);
}

void SelectionBar::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return;
    const auto [start, end] = lineAt(event->position().toPoint().y());
    if (start < m_anchorStart)
        select(m_anchorEnd, start);
    else
        select(m_anchorStart, qMax(end, m_anchorEnd));
    m_editor->ensureCursorVisible();
}

void SelectionBar::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept(); // the selection was made on press and move
}

void SelectionBar::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QTextCursor at = m_editor->cursorForPosition(QPoint(0, event->position().toPoint().y()));
    const QTextBlock block = at.block();
    int end = block.position() + block.length() - 1;
    if (block.next().isValid())
        ++end;
    m_anchorStart = block.position();
    m_anchorEnd = end;
    select(m_anchorStart, m_anchorEnd);
}

void SelectionBar::wheelEvent(QWheelEvent *event)
{
    // The strip scrolls with the text beside it.
    QApplication::sendEvent(m_editor->viewport(), event);
}
