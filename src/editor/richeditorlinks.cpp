// Links: the detection's settings, the cursor over a link, and the link
// events.
#include "editor/richeditor.h"

#include "editor/desktopopener.h"
#include "editor/linkhighlighter.h"
#include "editor/urlscanner.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

void RichEditor::setAutoUrlDetect(AutoUrlDetect mode)
{
    m_autoUrlDetect = mode;
    m_highlighter->setMode(mode);
}

void RichEditor::setCustomUrls(const UrlTypeList &list)
{
    m_customUrls.assign(list);
    m_highlighter->setTypes(m_customUrls);
}

void RichEditor::addUrlType(const QString &name, const QColor &color, bool underline,
                            std::optional<Qt::CursorShape> cursor)
{
    m_customUrls.add(name, color, underline, cursor);
    m_highlighter->setTypes(m_customUrls);
}

void RichEditor::setUrlColor(const QColor &color)
{
    m_urlColor = color;
    m_highlighter->setUrlColor(color);
}

TextRange RichEditor::lastScanRange() const
{
    return m_highlighter->lastScanRange();
}

int RichEditor::documentPositionAt(const QPoint &viewportPos) const
{
    // The character under the point, not the nearest gap between two
    // (which is what hit tests give): a link ends where its last glyph ends.
    const QPointF point =
        QPointF(viewportPos) + QPointF(horizontalScrollBar()->value(), verticalScrollBar()->value());
    QAbstractTextDocumentLayout *layout = document()->documentLayout();
    const int hit = layout->hitTest(point, Qt::ExactHit);
    if (hit < 0)
        return -1;
    const QTextBlock block = document()->findBlock(hit);
    const QTextLayout *text = block.layout();
    if (!text)
        return -1;
    const QPointF inBlock = point - layout->blockBoundingRect(block).topLeft();
    for (int i = 0; i < text->lineCount(); ++i) {
        const QTextLine line = text->lineAt(i);
        if (inBlock.y() < line.y() || inBlock.y() >= line.y() + line.height())
            continue;
        if (inBlock.x() < line.x() || inBlock.x() >= line.x() + line.naturalTextWidth())
            return -1;
        const int offset = line.xToCursor(inBlock.x(), QTextLine::CursorOnCharacter);
        return offset < block.length() - 1 ? block.position() + offset : -1;
    }
    return -1;
}

std::optional<QString> RichEditor::linkTextAt(const QPoint &viewportPos, QString *target,
                                              int *type) const
{
    const int position = documentPositionAt(viewportPos);
    if (position < 0)
        return std::nullopt;
    // A hyperlink field read from a file reports its target in every mode.
    QTextCursor cursor(document());
    cursor.setPosition(position);
    cursor.movePosition(QTextCursor::NextCharacter);
    const QTextCharFormat format = cursor.charFormat();
    if (format.isAnchor() && !format.anchorHref().isEmpty()) {
        *target = format.anchorHref();
        *type = urlscan::typeOfLinkText(*target, m_customUrls);
        return format.anchorHref();
    }
    if (const std::optional<DetectedLink> link = m_highlighter->linkAt(position)) {
        *target = link->target;
        *type = link->type >= 0 ? urlscan::typeOfLinkText(link->text, m_customUrls) : -1;
        return link->text;
    }
    return std::nullopt;
}

QString RichEditor::linkAt(const QPoint &viewportPos) const
{
    QString target;
    int type = -1;
    return linkTextAt(viewportPos, &target, &type).value_or(QString());
}

void RichEditor::showLinkCursor(bool overLink, int type)
{
    if (overLink) {
        Qt::CursorShape shape = m_urlCursor;
        if (type >= 0 && type < m_customUrls.size() && m_customUrls.at(type).cursor)
            shape = *m_customUrls.at(type).cursor;
        viewport()->setCursor(shape);
        m_linkCursorShown = true;
    } else if (m_linkCursorShown) {
        viewport()->setCursor(isReadOnly() ? Qt::ArrowCursor : Qt::IBeamCursor);
        m_linkCursorShown = false;
    }
}

void RichEditor::mouseMoveEvent(QMouseEvent *event)
{
    QTextEdit::mouseMoveEvent(event);
    QString target;
    int type = -1;
    const std::optional<QString> link = linkTextAt(event->position().toPoint(), &target, &type);
    showLinkCursor(link.has_value(), type);
    if (link && link->size() > 1)
        emit urlMove(*link);
}

void RichEditor::mousePressEvent(QMouseEvent *event)
{
    m_pressedLink.clear();
    if (event->button() == Qt::LeftButton) {
        QString target;
        int type = -1;
        m_pressedLink = linkTextAt(event->position().toPoint(), &target, &type).value_or(QString());
    }
    QTextEdit::mousePressEvent(event);
}

void RichEditor::mouseReleaseEvent(QMouseEvent *event)
{
    QTextEdit::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const QString pressed = std::exchange(m_pressedLink, QString());
    QString target;
    int type = -1;
    const std::optional<QString> link = linkTextAt(event->position().toPoint(), &target, &type);
    // A drag that started elsewhere and ends on a link selects; it is no click.
    if (!link || *link != pressed || link->size() <= 1)
        return;
    emit urlClick(*link);
    // Ctrl+click opens; what is not opened is only reported, with a beep.
    if (event->modifiers().testFlag(Qt::ControlModifier)
        && desktop::openLink(target) != desktop::OpenResult::Opened)
        QApplication::beep();
}
