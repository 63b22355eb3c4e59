#pragma once

#include "richtext/pagefootnotes.h"
#include "richtext/pagewindow.h"

#include <QHash>
#include <QList>
#include <QRectF>
#include <QTextFrame>

#include <memory>
#include <utility>
#include <vector>

class QPaintDevice;
class QPainter;
class QTextDocument;
class QTextBlock;
class QTextTable;

namespace richtext {

// Renders a document page by page, the way a printer asks for it: as many
// whole lines as fit a rectangle, from a character index on. It lays out a
// copy of a run of the document for the target device (a PageWindow) and
// cuts pages from it; when a page runs past the run, the next run starts
// with that page. Printing N pages copies and lays out the document about
// once, and the first page costs only its run. A run is made again when the
// document, the device's resolution or the rectangle's width changes.
//
// Pages are cut between lines. A table row moves to the next page when it
// does not fit; only a row taller than a whole page is split, between lines
// of its cells. A form feed (U+000C) ends its page, and the text after it
// starts the next one, and a paragraph (or table) whose format asks for a
// page break before it starts a page, as one asking for a break after it
// ends one. Something taller than a page (a large picture) is
// rendered clipped on a page of its own, so every call makes progress.
// Pages break in the same places whatever the run's length.
//
// The footnotes whose reference marks a page shows (footnotes.h) are drawn
// at the foot of its rectangle under a short separator line, and the page's
// lines end higher by the room they take. A line whose footnotes do not fit
// below it goes to the next page with them; one first on its page stays,
// and what of its footnotes does not fit is clipped.
class PageRenderer
{
public:
    explicit PageRenderer(const QTextDocument &document);
    ~PageRenderer();

    // Renders (or, with render false, only measures) the page that starts
    // at `firstChar` into `rectTwips`, given in twips of the painter's
    // device. Returns the index where the next page starts, or the
    // document's character count when everything was rendered. Without a
    // painter the layout is for a 96 dpi screen and nothing is drawn.
    int formatRange(QPainter *painter, const QRectF &rectTwips, int firstChar, bool render = true);

    // Lays pages out for `device` (a printer) whatever the painter paints
    // on: a preview page recorded into a picture must break its lines
    // exactly where the printer will. Null (the default) means the
    // painter's own device.
    void setLayoutDevice(QPaintDevice *device) { m_layoutDevice = device; }

    // The character ranges [first, end) of the lines the last call
    // rendered; a paragraph's last line includes its paragraph mark.
    QList<std::pair<int, int>> lastRanges() const { return m_lastRanges; }

    // How many characters of the document, at least, one run holds. A page
    // that does not end within its run gets a longer one. A count at or
    // above the document's length lays the whole document out at once.
    void setWindow(int characters);
    static constexpr int DefaultWindow = 16000;

private:
    struct Line
    {
        qreal top = 0;
        qreal bottom = 0;
        int first = 0;
        int end = 0;
    };
    // What a page takes or leaves whole: a line outside tables, or the rows
    // of a top-level table that vertical merges hold together.
    struct Unit
    {
        qreal top = 0;
        qreal bottom = 0;
        int first = 0;
        int end = 0;
        int lineBegin = 0; // its lines in m_lines
        int lineEnd = 0;
        bool pageBreak = false;   // the page ends after it
        bool breakBefore = false; // it starts a page, unless it is the first on one
        bool row = false;
    };
    // One page of a split row: it starts at `top` and is asked for by
    // `firstChar`.
    struct RowPage
    {
        qreal top = 0;
        int firstChar = 0;
    };

    // Where the page starting at a character ends, in the copy's positions.
    struct Cut
    {
        int startUnit = 0;
        qreal top = 0;
        qreal bottom = 0;
        int next = 0;
    };

    void prepare(QPaintDevice *device, qreal dpiX, qreal dpiY, qreal width);
    void load(int firstChar, int characters, int reach = 0);
    bool cutPage(int firstChar, qreal height, Cut &result);
    QTextDocument &copy() const { return *m_window->document(); }
    bool advance();
    bool haveUnit(int index);
    void addTable(QTextTable *table);
    void collectLines(int firstPosition, int lastPosition);
    void collectBlockLines(int blockNumber);
    bool hasPageBreak(int first, int end) const;
    static bool breaksBefore(const QTextFormat &format);
    int unitAt(int position);
    qreal cleanCut(const Unit &unit, qreal top, qreal limit) const;
    int firstBelow(const Unit &unit, qreal cut) const;
    const std::vector<RowPage> &rowPages(int unitIndex, qreal height);
    qreal rowHeight(int unitIndex, qreal height);
    void drawPage(QPainter &painter, const QRectF &page, int startUnit);
    void drawContinuedBlock(QPainter &painter, const QTextBlock &block, const QRectF &page);

    const QTextDocument &m_source;
    std::unique_ptr<PageWindow> m_window; // none until a page is asked for
    int m_windowSize = DefaultWindow;
    bool m_short = false;   // a page needed more than the run holds
    bool m_tooTall = false; // the run ended where the copy grew too tall
    qreal m_tallest = 0;    // how far down the run's pages may be cut
    int m_revision = -1;
    QPaintDevice *m_layoutDevice = nullptr;
    QPaintDevice *m_device = nullptr;
    qreal m_dpiX = 0;
    qreal m_dpiY = 0;
    qreal m_width = -1;

    std::vector<Line> m_lines;
    std::vector<Unit> m_units;
    std::vector<QTextFrame::iterator> m_walk; // where making units goes on
    QHash<int, std::pair<qreal, std::vector<RowPage>>> m_rowPages;
    QList<std::pair<int, int>> m_lastRanges;

    PageFootnotes m_footnotes;
    std::vector<int> m_pageNotes; // the footnotes of the page last cut
    qreal m_noteRoom = 0;         // the room they take
};

} // namespace richtext
