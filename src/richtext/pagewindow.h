#pragma once

#include <QTextDocument>

#include <memory>
#include <vector>

class QPaintDevice;

namespace richtext {

// Qt lays a block's left and right margins and its first-line indent out in
// the pixels of the device, where it scales every other length from the 96
// dpi the formats are given in: scales them by `factor` (the device's dpi
// over 96), or a page printed at 600 dpi loses its indents.
void scaleBlockIndents(QTextDocument &document, qreal factor);

// A copy of a small document (a page band, a footnote) to be laid out for
// `device` (none: a 96 dpi screen) whose dpi across is `dpiX`: no margin of
// its own, no undo, indents scaled. The caller sets its text width.
std::unique_ptr<QTextDocument> deviceCopy(const QTextDocument &source, QPaintDevice *device,
                                          qreal dpiX);

// A copy of a run of a document's top-level paragraphs and tables, laid out
// for a device, from which pages are cut. Laying out a copy of the whole
// document before the first page costs as much as the document is long, and
// Qt's drawing walks the root frame from its start for every page; a copy
// of a few pages keeps both to the size of that run.
//
// Paragraphs and tables are copied whole, with their formats. What a copy
// would otherwise lose of what stood before it is carried in: the root
// frame's format, the paragraph format of the first paragraph, and the
// numbers of lists that began earlier (paintListMarkers() draws the numbers
// of numbered lists in a copy). Qt lays out each paragraph and table
// on its own, below what precedes it, so every line of the copy stands at
// the same height relative to the others as in the whole document, and
// pages cut from it break where pages of the whole document break.
//
// Positions in the copy differ from the document's by a constant; the copy
// may also hold an empty paragraph before the run (a document starts with a
// paragraph) and one after it (a table is followed by one), which belong to
// no run and which callers skip through copyBegin() and copyEnd().
class PageWindow
{
public:
    explicit PageWindow(const QTextDocument &source);
    ~PageWindow();

    // Copies the top-level paragraph or table holding `position` and those
    // after it, at least `characters` characters of them and at least up
    // to `reach`, unless the document ends sooner, and lays the copy out
    // `width` device pixels wide for `device` (none: a 96 dpi screen). A
    // paragraph just after a table brings the table along, as only with it
    // does it keep its own format.
    void build(int position, int characters, int reach, QPaintDevice *device, qreal dpiX, qreal width);

    QTextDocument *document() const { return m_copy.get(); }

    // The run copied, in the document's positions: [sourceBegin, sourceEnd).
    int sourceBegin() const { return m_begin; }
    int sourceEnd() const { return m_end; }
    bool reachesEnd() const { return m_end >= m_source.characterCount(); }
    // The run in the copy's positions: [copyBegin, copyEnd).
    int copyBegin() const { return m_begin - m_offset; }
    int copyEnd() const { return m_end - m_offset; }
    int toSource(int copyPosition) const { return copyPosition + m_offset; }
    int toCopy(int sourcePosition) const { return sourcePosition - m_offset; }

    // The copy's form feeds, ascending; they show as line separators.
    const std::vector<int> &formFeeds() const { return m_formFeeds; }

private:
    void replaceFormFeeds();
    void numberLists();

    const QTextDocument &m_source;
    std::unique_ptr<QTextDocument> m_copy;
    int m_begin = 0;
    int m_end = 0;
    int m_offset = 0;
    std::vector<int> m_formFeeds;
};

} // namespace richtext
