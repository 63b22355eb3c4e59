#include "richtext/pagefootnotes.h"

#include "richtext/footnotes.h"
#include "richtext/pagewindow.h"
#include "richtext/rtfimport.h"
#include "richtext/textproperties.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QSet>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace richtext {

namespace {

constexpr qreal Epsilon = 0.01;
// Above the footnotes: the gap to the separator line and the gap below it,
// in points.
constexpr qreal GapAbove = 6;
constexpr qreal GapBelow = 4;
constexpr qreal SeparatorWidth = 0.5;

} // namespace

struct PageFootnotes::Note
{
    std::unique_ptr<QTextDocument> source;
    // The copy last laid out, and what for.
    std::unique_ptr<QTextDocument> copy;
    QPaintDevice *device = nullptr;
    qreal dpiX = 0;
    qreal width = -1;
};

PageFootnotes::PageFootnotes() = default;
PageFootnotes::~PageFootnotes() = default;

void PageFootnotes::setTarget(QPaintDevice *device, qreal dpiX, qreal dpiY, qreal width)
{
    m_device = device;
    m_dpiX = dpiX;
    m_dpiY = dpiY;
    m_width = width;
}

void PageFootnotes::scan(const QTextDocument &copy, const QTextDocument &source)
{
    m_marks.clear();
    QSet<int> markFormats;
    const QList<QTextFormat> formats = copy.allFormats();
    for (int i = 0; i < formats.size(); ++i) {
        if (formats.at(i).hasProperty(prop::Footnote))
            markFormats.insert(i);
    }
    if (markFormats.isEmpty())
        return;
    for (QTextBlock block = copy.begin(); block.isValid(); block = block.next()) {
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid() || !markFormats.contains(fragment.charFormatIndex()))
                continue;
            const QByteArray value = fragment.charFormat().property(prop::Footnote).toByteArray();
            const QString mark = fragment.text();
            const QByteArray key = value + '\0' + mark.toUtf8();
            int note = m_index.value(key, -1);
            if (note < 0) {
                auto entry = std::make_unique<Note>();
                entry->source = std::make_unique<QTextDocument>();
                entry->source->setUndoRedoEnabled(false);
                entry->source->setDefaultFont(source.defaultFont());
                if (const auto footnote = footnoteFromValue(value)) {
                    QTextCursor cursor(entry->source.get());
                    insertRtf(cursor, footnoteDocumentRtf(*footnote, mark));
                }
                note = int(m_notes.size());
                m_notes.push_back(std::move(entry));
                m_index.insert(key, note);
            }
            m_marks.emplace_back(fragment.position() + fragment.length() - 1, note);
        }
    }
    std::sort(m_marks.begin(), m_marks.end());
}

void PageFootnotes::collect(int first, int end, std::vector<int> &notes) const
{
    auto it = std::lower_bound(m_marks.begin(), m_marks.end(), std::pair(first, -1));
    for (; it != m_marks.end() && it->first < end; ++it)
        notes.push_back(it->second);
}

qreal PageFootnotes::separatorRoom() const
{
    return (GapAbove + GapBelow) * m_dpiY / 72;
}

PageFootnotes::Note &PageFootnotes::laidOut(int index)
{
    Note &note = *m_notes[size_t(index)];
    const qreal width = qMax<qreal>(1, m_width);
    if (note.copy && note.device == m_device && qAbs(note.dpiX - m_dpiX) < Epsilon
        && qAbs(note.width - width) < Epsilon)
        return note;
    note.device = m_device;
    note.dpiX = m_dpiX;
    note.width = width;
    note.copy = deviceCopy(*note.source, m_device, m_dpiX);
    note.copy->setTextWidth(width);
    return note;
}

qreal PageFootnotes::room(const std::vector<int> &notes)
{
    if (notes.empty())
        return 0;
    qreal height = separatorRoom();
    for (int note : notes)
        height += laidOut(note).copy->documentLayout()->documentSize().height();
    return height;
}

void PageFootnotes::draw(QPainter &painter, const QRectF &area, const std::vector<int> &notes)
{
    if (notes.empty() || area.height() <= 0)
        return;
    painter.save();
    QPen pen(Qt::black);
    pen.setWidthF(SeparatorWidth * m_dpiY / 72);
    painter.setPen(pen);
    const qreal lineY = area.top() + GapAbove * m_dpiY / 72;
    painter.drawLine(QPointF(area.left(), lineY), QPointF(area.left() + area.width() / 3, lineY));
    qreal y = area.top() + separatorRoom();
    for (int index : notes) {
        if (y >= area.bottom() - Epsilon)
            break; // the rest does not fit: clipped
        QTextDocument &note = *laidOut(index).copy;
        painter.save();
        painter.translate(area.left(), y);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = QRectF(0, 0, area.width(), area.bottom() - y);
        context.palette.setColor(QPalette::Text, Qt::black);
        note.documentLayout()->draw(&painter, context);
        painter.restore();
        y += note.documentLayout()->documentSize().height();
    }
    painter.restore();
}

} // namespace richtext
