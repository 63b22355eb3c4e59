#include "richtext/pagerenderer.h"

#include "richtext/listmarkers.h"
#include "richtext/paragraphdecor.h"
#include "richtext/textproperties.h"

#include <QAbstractTextDocumentLayout>
#include <QPaintDevice>
#include <QPainter>
#include <QSet>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextTable>

#include <algorithm>
#include <limits>

namespace richtext {

namespace {

constexpr qreal Epsilon = 0.01;
// How far inside the page the layout's clip stays, in device pixels: more
// than Qt's text positions round by (1/64), less than any line is high.
constexpr qreal ClipInset = 0.25;
// Where a paragraph's lines wait while the layout draws without them: below
// any page.
constexpr qreal OutOfTheWay = 1e7;
// Screen resolution that document lengths (px) are given in.
constexpr qreal ScreenDpi = 96;
// How far down a copy pages are cut from, in device pixels. Qt's layout has
// a page height of its own, 8388607 pixels, where no page size is set, and
// moves table rows that cross it down (so a 10 MB document printed at 1200
// dpi got a gap in the middle). A run laid out taller than this ends, and
// the page that needs more gets a run that starts with it.
constexpr qreal TallestRun = 4'000'000;

} // namespace

PageRenderer::PageRenderer(const QTextDocument &document) : m_source(document) {}

PageRenderer::~PageRenderer() = default;

void PageRenderer::setWindow(int characters)
{
    m_windowSize = qMax(1, characters);
    m_window.reset();
}

void PageRenderer::prepare(QPaintDevice *device, qreal dpiX, qreal dpiY, qreal width)
{
    if (m_window && m_revision == m_source.revision() && m_device == device && m_dpiX == dpiX
        && m_dpiY == dpiY && qAbs(m_width - width) < Epsilon)
        return;
    m_revision = m_source.revision();
    m_device = device;
    m_dpiX = dpiX;
    m_dpiY = dpiY;
    m_width = width;
    m_window.reset();
}

void PageRenderer::load(int firstChar, int characters, int reach)
{
    if (!m_window)
        m_window = std::make_unique<PageWindow>(m_source);
    m_window->build(firstChar, characters, reach, m_device, m_dpiX, m_width);
    // Units are made as pages need them: a page lays out only what it
    // shows, and the lines after it.
    m_rowPages.clear();
    m_lines.clear();
    m_units.clear();
    m_walk.clear();
    m_walk.push_back(copy().rootFrame()->begin());
    m_footnotes.scan(copy(), m_source);
    m_tooTall = false;
    m_tallest = TallestRun;
}

bool PageRenderer::advance()
{
    while (!m_walk.empty()) {
        QTextFrame::iterator &it = m_walk.back();
        if (it.atEnd()) {
            m_walk.pop_back();
            continue;
        }
        QTextFrame *child = it.currentFrame();
        const QTextBlock block = it.currentBlock();
        if (m_walk.size() == 1) {
            // The copy's own paragraphs around the run are no part of it,
            // and nothing that Qt lays out too far down.
            const int first = child ? child->firstPosition() : block.position();
            m_tooTall = !m_units.empty() && m_units.back().bottom > m_tallest;
            if (first >= m_window->copyEnd() || m_tooTall) {
                m_walk.clear();
                break;
            }
            if (first < m_window->copyBegin()) {
                ++it;
                continue;
            }
        }
        ++it;
        if (child) {
            if (auto *table = qobject_cast<QTextTable *>(child))
                addTable(table);
            else
                m_walk.push_back(child->begin()); // invalidates `it`
            return true;
        }
        const int begin = int(m_lines.size());
        collectBlockLines(block.blockNumber());
        const QTextBlockFormat format = block.blockFormat();
        const bool breakAfter = format.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysAfter;
        for (int i = begin; i < int(m_lines.size()); ++i) {
            const Line &line = m_lines[i];
            Unit unit;
            unit.top = line.top;
            unit.bottom = line.bottom;
            unit.first = line.first;
            unit.end = line.end;
            unit.lineBegin = i;
            unit.lineEnd = i + 1;
            unit.pageBreak = hasPageBreak(line.first, line.end)
                             || (breakAfter && i + 1 == int(m_lines.size()));
            unit.breakBefore = i == begin && breaksBefore(format);
            m_units.push_back(unit);
        }
        return true;
    }
    // The run is over; unless the document is too, the page being cut
    // needs another one.
    if (m_tooTall || !m_window->reachesEnd())
        m_short = true;
    return false;
}

bool PageRenderer::haveUnit(int index)
{
    while (int(m_units.size()) <= index) {
        if (!advance())
            return false;
    }
    return true;
}

void PageRenderer::collectBlockLines(int blockNumber)
{
    const QTextBlock block = copy().findBlockByNumber(blockNumber);
    const int position = block.position();
    const int end = position + block.length();
    const QRectF rect = copy().documentLayout()->blockBoundingRect(block);
    const QTextLayout *layout = block.layout();
    const int count = (layout && block.isVisible()) ? layout->lineCount() : 0;
    if (count == 0) {
        m_lines.push_back({rect.top(), rect.top(), position, end});
        return;
    }
    for (int i = 0; i < count; ++i) {
        const QTextLine line = layout->lineAt(i);
        Line entry;
        entry.top = rect.top() + line.y();
        entry.bottom = entry.top + line.height();
        entry.first = i == 0 ? position : position + line.textStart();
        entry.end = i == count - 1 ? end : position + line.textStart() + line.textLength();
        m_lines.push_back(entry);
    }
}

void PageRenderer::collectLines(int firstPosition, int lastPosition)
{
    for (QTextBlock block = copy().findBlock(firstPosition);
         block.isValid() && block.position() <= lastPosition; block = block.next())
        collectBlockLines(block.blockNumber());
}

void PageRenderer::addTable(QTextTable *table)
{
    const int rows = table->rows();
    const int columns = table->columns();
    // The frame's own rectangle would make Qt lay out the whole document;
    // the edge rows reach out by the table's borders and padding instead.
    const QTextTableFormat format = table->format();
    const qreal edge = (format.border() + format.cellPadding() + format.cellSpacing()
                        + format.topMargin() + format.padding())
                       * m_dpiY / ScreenDpi;
    const size_t firstUnit = m_units.size();
    int row = 0;
    while (row < rows) {
        // Rows that a vertically merged cell joins go to a page together.
        int last = row;
        for (int r = row; r <= last && r + 1 < rows; ++r) {
            for (int c = 0; c < columns; ++c) {
                if (table->cellAt(r, c).firstPosition() == table->cellAt(r + 1, c).firstPosition())
                    last = r + 1;
            }
        }
        Unit unit;
        unit.row = true;
        unit.lineBegin = int(m_lines.size());
        for (int r = row; r <= last; ++r) {
            for (int c = 0; c < columns; ++c) {
                // Each cell once, where the grid shows it first.
                const QTextTableCell cell = table->cellAt(r, c);
                const int id = cell.firstPosition();
                if ((c == 0 || table->cellAt(r, c - 1).firstPosition() != id)
                    && (r == 0 || table->cellAt(r - 1, c).firstPosition() != id))
                    collectLines(cell.firstPosition(), cell.lastPosition());
            }
        }
        unit.lineEnd = int(m_lines.size());
        if (unit.lineEnd > unit.lineBegin) {
            unit.first = m_lines[unit.lineBegin].first;
            unit.end = m_lines[unit.lineBegin].end;
            unit.top = m_lines[unit.lineBegin].top;
            unit.bottom = m_lines[unit.lineBegin].bottom;
            for (int i = unit.lineBegin; i < unit.lineEnd; ++i) {
                unit.first = qMin(unit.first, m_lines[i].first);
                unit.end = qMax(unit.end, m_lines[i].end);
                unit.top = qMin(unit.top, m_lines[i].top);
                unit.bottom = qMax(unit.bottom, m_lines[i].bottom);
            }
            unit.pageBreak = hasPageBreak(unit.first, unit.end);
            // A table asks for the break itself, or through its first paragraph.
            const QTextBlockFormat first = table->cellAt(0, 0).firstCursorPosition().blockFormat();
            unit.breakBefore = row == 0 && (breaksBefore(format) || breaksBefore(first));
            m_units.push_back(unit);
        }
        row = last + 1;
    }
    // The rows' edges lie between one row's text and the next one's, so a
    // page shows the cell borders and padding with the row they belong to.
    for (size_t i = firstUnit; i < m_units.size(); ++i) {
        Unit &unit = m_units[i];
        const qreal top = i == firstUnit ? unit.top - edge
                                         : (m_units[i - 1].bottom + unit.top) / 2;
        if (i + 1 == m_units.size())
            unit.bottom += edge;
        if (i > firstUnit)
            m_units[i - 1].bottom = qMax(m_units[i - 1].bottom, top);
        unit.top = qMin(unit.top, top);
    }
}

bool PageRenderer::breaksBefore(const QTextFormat &format)
{
    return (format.intProperty(QTextFormat::PageBreakPolicy) & QTextFormat::PageBreak_AlwaysBefore)
           || format.boolProperty(prop::PageBreakBefore);
}

bool PageRenderer::hasPageBreak(int first, int end) const
{
    const std::vector<int> &formFeeds = m_window->formFeeds();
    const auto it = std::lower_bound(formFeeds.begin(), formFeeds.end(), first);
    return it != formFeeds.end() && *it < end;
}

int PageRenderer::unitAt(int position)
{
    while (m_units.empty() || m_units.back().end <= position) {
        if (!advance())
            break;
    }
    auto it = std::upper_bound(m_units.begin(), m_units.end(), position,
                               [](int p, const Unit &unit) { return p < unit.first; });
    if (it == m_units.begin())
        return 0;
    return int(it - m_units.begin()) - 1;
}

qreal PageRenderer::cleanCut(const Unit &unit, qreal top, qreal limit) const
{
    // The lowest point at or above `limit` that no line of the row crosses;
    // when every such point is at the top, the row is cut through.
    std::vector<std::pair<qreal, qreal>> spans;
    for (int i = unit.lineBegin; i < unit.lineEnd; ++i) {
        const Line &line = m_lines[i];
        if (line.bottom > top + Epsilon && line.top < limit - Epsilon)
            spans.emplace_back(line.top, line.bottom);
    }
    std::sort(spans.begin(), spans.end());
    qreal cut = limit;
    for (const auto &span : spans) {
        if (span.first < limit - Epsilon && span.second > limit + Epsilon)
            cut = qMin(cut, span.first);
    }
    // A line that starts above the cut and crosses it moves the cut up again.
    bool moved = true;
    while (moved) {
        moved = false;
        for (const auto &span : spans) {
            if (span.first < cut - Epsilon && span.second > cut + Epsilon) {
                cut = span.first;
                moved = true;
            }
        }
    }
    return cut > top + Epsilon ? cut : limit;
}

int PageRenderer::firstBelow(const Unit &unit, qreal cut) const
{
    int first = unit.end;
    for (int i = unit.lineBegin; i < unit.lineEnd; ++i) {
        if (m_lines[i].top >= cut - Epsilon)
            first = qMin(first, m_lines[i].first);
    }
    return first;
}

const std::vector<PageRenderer::RowPage> &PageRenderer::rowPages(int unitIndex, qreal height)
{
    auto it = m_rowPages.find(unitIndex);
    if (it != m_rowPages.end() && qAbs(it->first - height) < Epsilon)
        return it->second;
    // The pages of a row taller than a page, worked out from its top. Each
    // is known by the character index the previous page returned; those
    // indices must grow, or the caller would see no progress and stop, so
    // when the next line in document order is still below the cut (a cell
    // with a gap taller than a page), the index moves on by one instead.
    const Unit &unit = m_units[unitIndex];
    std::vector<RowPage> pages{{unit.top, unit.first}};
    while (pages.size() < 100000) {
        const RowPage &page = pages.back();
        if (unit.bottom <= page.top + height + Epsilon)
            break;
        const qreal cut = cleanCut(unit, page.top, page.top + height);
        int next = qMax(firstBelow(unit, cut), page.firstChar + 1);
        if (next >= unit.end)
            break;
        pages.push_back({cut, next});
    }
    it = m_rowPages.insert(unitIndex, {height, std::move(pages)});
    return it->second;
}

void PageRenderer::drawPage(QPainter &painter, const QRectF &page, int startUnit)
{
    const Unit &firstUnit = m_units[startUnit];
    // Qt's layout draws every line that touches its clip and, in a
    // paragraph that starts above the clip, the line just above it too.
    // The painter's clip hides them, but a PDF keeps their text, so a
    // viewer would find those lines on two pages. The clip given to the
    // layout therefore stops short of the pages around this one, and the
    // paragraphs that began on an earlier page (one, or one per cell of a
    // row split across pages) move their lines out of the layout's way
    // while it draws, and are drawn here line by line.
    // A block's lines lie together in m_lines, top first: the block goes
    // on from an earlier page when its first line here is not its first.
    std::vector<QTextBlock> continued;
    QTextBlock previous;
    for (int i = firstUnit.lineBegin; i < firstUnit.lineEnd; ++i) {
        const Line &line = m_lines[i];
        if (line.top < page.top() - Epsilon || line.top >= page.bottom() - Epsilon)
            continue;
        const QTextBlock block = copy().findBlock(line.first);
        if (block == previous)
            continue;
        previous = block;
        if (block.isValid() && block.position() < line.first && block.layout())
            continued.push_back(block);
    }
    std::vector<QPointF> moved;
    for (const QTextBlock &block : continued) {
        QTextLayout *layout = block.layout();
        for (int i = 0; i < layout->lineCount(); ++i) {
            QTextLine line = layout->lineAt(i);
            moved.push_back(line.position());
            line.setPosition(line.position() + QPointF(0, OutOfTheWay));
        }
    }
    // Lines of what comes after the page that Qt lays out across its end
    // (a table that overlaps the paragraph before it) wait too.
    QSet<int> onPage;
    for (const auto &range : std::as_const(m_lastRanges))
        onPage.insert(range.first);
    std::vector<std::pair<QTextLine, QPointF>> later;
    for (int u = startUnit + 1; u < int(m_units.size()) && m_units[u].top < page.bottom() - Epsilon; ++u) {
        for (int i = m_units[u].lineBegin; i < m_units[u].lineEnd; ++i) {
            const Line &entry = m_lines[i];
            if (entry.top >= page.bottom() - Epsilon || onPage.contains(entry.first))
                continue;
            const QTextBlock block = copy().findBlock(entry.first);
            if (!block.layout() || std::find(continued.begin(), continued.end(), block) != continued.end())
                continue;
            QTextLine line = block.layout()->lineForTextPosition(entry.first - block.position());
            if (line.isValid()) {
                later.emplace_back(line, line.position());
                line.setPosition(line.position() + QPointF(0, OutOfTheWay));
            }
        }
    }
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = page.adjusted(0, ClipInset, 0, -ClipInset);
    context.palette.setColor(QPalette::Text, Qt::black);
    if (context.clip.isValid())
        copy().documentLayout()->draw(&painter, context);
    for (auto &[line, position] : later)
        line.setPosition(position);
    auto back = moved.cbegin();
    for (const QTextBlock &block : continued) {
        QTextLayout *layout = block.layout();
        for (int i = 0; i < layout->lineCount(); ++i)
            layout->lineAt(i).setPosition(*back++);
        drawContinuedBlock(painter, block, page);
    }
}

void PageRenderer::drawContinuedBlock(QPainter &painter, const QTextBlock &block,
                                        const QRectF &page)
{
    const QRectF rect = copy().documentLayout()->blockBoundingRect(block);
    const QTextLayout *layout = block.layout();
    if (!layout)
        return;
    const QBrush background = block.blockFormat().background();
    if (background.style() != Qt::NoBrush)
        painter.fillRect(rect.intersected(page), background);
    // Line positions are relative to the block's rectangle, margins and
    // indents included in them.
    const QPointF origin = rect.topLeft();
    painter.save();
    painter.setPen(Qt::black);
    for (int i = 0; i < layout->lineCount(); ++i) {
        const QTextLine line = layout->lineAt(i);
        const qreal lineTop = origin.y() + line.y();
        if (lineTop >= page.top() - Epsilon && lineTop < page.bottom() - Epsilon)
            line.draw(&painter, origin);
    }
    painter.restore();
}

qreal PageRenderer::rowHeight(int unitIndex, qreal height)
{
    // The pages of a row taller than a page leave room for the footnotes of
    // the whole row, so that each of them has room for those it shows; at
    // least half of each page stays the row's.
    if (m_footnotes.isEmpty())
        return height;
    std::vector<int> notes;
    m_footnotes.collect(m_units[unitIndex].first, m_units[unitIndex].end, notes);
    return qMax(height / 2, height - m_footnotes.room(notes));
}

bool PageRenderer::cutPage(int firstChar, qreal height, Cut &result)
{
    m_short = false;
    m_lastRanges.clear();
    m_pageNotes.clear();
    m_noteRoom = 0;
    if (!haveUnit(0)) {
        result.startUnit = -1;
        result.next = m_window->copyEnd();
        return !m_short;
    }
    const int startUnit = unitAt(firstChar);
    qreal top = m_units[startUnit].top;
    int rowPage = -1; // the page of a split row this call renders, if any
    if (m_units[startUnit].row) {
        const auto &pages = rowPages(startUnit, rowHeight(startUnit, height));
        for (size_t p = 0; p < pages.size(); ++p) {
            if (pages[p].firstChar == firstChar) {
                rowPage = int(p);
                top = pages[p].top;
            }
        }
        if (rowPage < 0) {
            // An index no page of this row returned: start at its line.
            const Unit &unit = m_units[startUnit];
            for (int i = unit.lineBegin; i < unit.lineEnd; ++i) {
                if (m_lines[i].first <= firstChar && firstChar < m_lines[i].end)
                    top = m_lines[i].top;
            }
        }
    }
    const qreal limit = top + height;

    qreal bottom = top;
    const int count = m_window->copyEnd();
    int next = count;
    // The lines of a unit whose tops lie in [from, to).
    auto take = [this](const Unit &unit, qreal from, qreal to) {
        for (int i = unit.lineBegin; i < unit.lineEnd; ++i) {
            const Line &line = m_lines[i];
            if (line.top >= from - Epsilon && line.top < to - Epsilon)
                m_lastRanges.append({line.first, line.end});
        }
    };
    constexpr qreal Everything = 1e300;
    // The first character after unit u: where the next page starts.
    auto after = [this, count](int u) { return haveUnit(u + 1) ? m_units[u + 1].first : count; };
    for (int u = startUnit; haveUnit(u); ++u) {
        const Unit unit = m_units[u];
        if (u != startUnit && unit.breakBefore) {
            next = unit.first;
            break;
        }
        const qreal unitTop = u == startUnit ? top : unit.top;
        // The footnotes of the page with this unit's, and their room.
        std::vector<int> notes;
        qreal room = m_noteRoom;
        if (!m_footnotes.isEmpty()) {
            notes = m_pageNotes;
            m_footnotes.collect(unit.first, unit.end, notes);
            if (notes.size() > m_pageNotes.size())
                room = m_footnotes.room(notes);
        }
        if (unit.bottom + room <= limit + Epsilon) {
            take(unit, unitTop, Everything);
            bottom = qMax(bottom, unit.bottom);
            m_pageNotes = std::move(notes);
            m_noteRoom = room;
            if (unit.pageBreak) {
                next = after(u);
                break;
            }
            continue;
        }
        if (u != startUnit) {
            next = unit.first;
            break;
        }
        if (unit.bottom <= limit + Epsilon && !(unit.row && rowPage >= 0)) {
            // First on its page, it fits but its footnotes do not: it
            // stays, and they are clipped.
            take(unit, unitTop, Everything);
            bottom = qMax(bottom, unit.bottom);
            m_pageNotes = std::move(notes);
            m_noteRoom = room;
            next = after(u);
            break;
        }
        // Taller than a page and first on it.
        if (unit.row) {
            const qreal rowLimit = top + rowHeight(u, height);
            const auto &pages = rowPages(u, rowLimit - top);
            const int p = rowPage < 0 ? 0 : rowPage;
            const bool lastPage = rowPage < 0 || p + 1 >= int(pages.size());
            qreal cut = rowLimit;
            if (rowPage < 0)
                cut = cleanCut(unit, top, rowLimit);
            else if (!lastPage)
                cut = pages[p + 1].top;
            take(unit, top, cut);
            bottom = cut;
            if (rowPage < 0)
                next = qMax(firstBelow(unit, cut), firstChar + 1);
            else
                next = lastPage ? unit.end : pages[p + 1].firstChar;
            if (next >= unit.end)
                next = after(u);
            // The footnotes of the row's lines this page shows.
            m_pageNotes.clear();
            for (const auto &range : std::as_const(m_lastRanges))
                m_footnotes.collect(range.first, range.second, m_pageNotes);
        } else {
            take(unit, top, limit);
            bottom = limit;
            next = after(u);
            m_pageNotes = std::move(notes);
        }
        m_noteRoom = m_footnotes.room(m_pageNotes);
        break;
    }

    result.startUnit = startUnit;
    result.top = top;
    result.bottom = bottom;
    result.next = qMin(next, count);
    return !m_short;
}

int PageRenderer::formatRange(QPainter *painter, const QRectF &rectTwips, int firstChar,
                              bool render)
{
    m_lastRanges.clear();
    QPaintDevice *device = m_layoutDevice ? m_layoutDevice : painter ? painter->device() : nullptr;
    const qreal dpiX = device ? device->logicalDpiX() : ScreenDpi;
    const qreal dpiY = device ? device->logicalDpiY() : ScreenDpi;
    const QRectF target(rectTwips.left() * dpiX / 1440, rectTwips.top() * dpiY / 1440,
                        rectTwips.width() * dpiX / 1440, rectTwips.height() * dpiY / 1440);
    const int count = m_source.characterCount();
    if (firstChar >= count)
        return count;
    firstChar = qMax(0, firstChar);
    prepare(device, dpiX, dpiY, qMax<qreal>(1, target.width()));
    m_footnotes.setTarget(device, dpiX, dpiY, qMax<qreal>(1, target.width()));
    if (!m_window || firstChar < m_window->sourceBegin() || firstChar >= m_window->sourceEnd())
        load(firstChar, m_windowSize);
    const qreal height = qMax<qreal>(1, target.height());
    Cut cut;
    qint64 size = m_windowSize;
    bool fresh = false; // the run was made for this page
    while (!cutPage(m_window->toCopy(firstChar), height, cut)) {
        // The page goes on past the run: a run from the page's start, or
        // when the run started with the page, one that reaches further.
        // Only a page that needs it gets a longer run.
        if (m_tooTall) {
            load(firstChar, m_windowSize);
            // A page that goes further down than that even from the top of
            // its own run (a table that tall) takes what Qt gives.
            if (fresh)
                m_tallest = std::numeric_limits<qreal>::infinity();
        } else {
            size = qMin<qint64>(count, 2 * qMax<qint64>(size, m_window->sourceEnd() - firstChar));
            load(firstChar, int(size), m_window->sourceEnd() + 1);
        }
        fresh = true;
    }
    if (cut.startUnit < 0)
        return count;
    const qreal top = cut.top;
    const qreal bottom = cut.bottom;

    if (render && painter) {
        painter->save();
        // Only the page's lines show, but across the whole width of the
        // device: text with a negative indent or a list marker stands in
        // the left margin, as word processors print it.
        const qreal wide = qMax<qreal>(target.width(), 1) * 1000;
        painter->setClipRect(QRectF(target.left() - wide, target.top(), 3 * wide,
                                    qMin(bottom - top, target.height())),
                             Qt::IntersectClip);
        painter->translate(target.left(), target.top() - top);
        const QRectF page(-wide, top, 3 * wide, bottom - top);
        drawPage(*painter, page, cut.startUnit);
        if (!m_lastRanges.isEmpty()) {
            int first = m_lastRanges.front().first;
            int end = m_lastRanges.front().second;
            for (const auto &range : std::as_const(m_lastRanges)) {
                first = qMin(first, range.first);
                end = qMax(end, range.second);
            }
            paintListMarkers(*painter, copy(), page, Qt::black, first, end);
            paintParagraphDecor(*painter, copy(), page, Qt::black, first, end);
        }
        painter->restore();
        if (!m_pageNotes.empty()) {
            // At the foot of the page, below its last line in any case.
            painter->save();
            painter->setClipRect(target, Qt::IntersectClip);
            const qreal notesTop = qMax(target.top() + qMin(bottom - top, target.height()),
                                        target.bottom() - m_noteRoom);
            m_footnotes.draw(*painter, QRectF(target.left(), notesTop, target.width(),
                                              target.bottom() - notesTop),
                             m_pageNotes);
            painter->restore();
        }
    }
    for (auto &range : m_lastRanges)
        range = {m_window->toSource(range.first), m_window->toSource(range.second)};
    return qMin(m_window->toSource(cut.next), count);
}

} // namespace richtext
