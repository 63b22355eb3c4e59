#pragma once

// The footnotes of printed pages: found by their reference marks in a laid
// out copy of the document (footnotes.h), each read once into a small
// document of its own and laid out for the page's device and text width,
// and drawn at the foot of a page under a short separator line.

#include <QByteArray>
#include <QHash>
#include <QRectF>

#include <memory>
#include <utility>
#include <vector>

class QPaintDevice;
class QPainter;
class QTextDocument;

namespace richtext {

class PageFootnotes
{
public:
    PageFootnotes();
    ~PageFootnotes();
    PageFootnotes(const PageFootnotes &) = delete;
    PageFootnotes &operator=(const PageFootnotes &) = delete;

    // The device (none: a 96 dpi screen), its resolution and the text width
    // in its pixels that footnotes are laid out for.
    void setTarget(QPaintDevice *device, qreal dpiX, qreal dpiY, qreal width);

    // Finds the reference marks of `copy`; the default font of footnotes is
    // that of `source`. Cheap for a document without footnotes.
    void scan(const QTextDocument &copy, const QTextDocument &source);
    bool isEmpty() const { return m_marks.empty(); }

    // Appends the footnotes whose marks end in [first, end) of the copy.
    void collect(int first, int end, std::vector<int> &notes) const;
    // The height footnotes take at the foot of a page, separator included;
    // 0 for none.
    qreal room(const std::vector<int> &notes);

    // Draws them in `area` (device pixels), from its top down.
    void draw(QPainter &painter, const QRectF &area, const std::vector<int> &notes);

private:
    struct Note;

    qreal separatorRoom() const;
    Note &laidOut(int note);

    QPaintDevice *m_device = nullptr;
    qreal m_dpiX = 96;
    qreal m_dpiY = 96;
    qreal m_width = -1;
    // Per mark, ascending: the copy position of its last character and its
    // footnote.
    std::vector<std::pair<int, int>> m_marks;
    // Each footnote once, known by its value and mark text.
    std::vector<std::unique_ptr<Note>> m_notes;
    QHash<QByteArray, int> m_index;
};

} // namespace richtext
