#include "richtext/pagewindow.h"

#include "richtext/listmarkers.h"
#include "richtext/textkinds.h"
#include "richtext/textproperties.h"

#include <QAbstractTextDocumentLayout>
#include <QHash>
#include <QSet>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTextFrame>
#include <QTextList>

#include <optional>

namespace richtext {

namespace {

constexpr QChar FormFeed(0x000c);
// The mark that ends a frame (a table) in QTextDocument's text; the paragraph
// after the frame keeps its format on it.
constexpr QChar FrameEnd(0xfdd1);
constexpr QChar FrameStart(0xfdd0);
constexpr qreal ScreenDpi = 96;

// The copy asks the document it was made from for the pictures it shows.
class WindowDocument : public QTextDocument
{
public:
    explicit WindowDocument(const QTextDocument &source) : m_source(source) {}

protected:
    QVariant loadResource(int type, const QUrl &name) override { return m_source.resource(type, name); }

private:
    const QTextDocument &m_source;
};

// The top-level paragraph or frame holding `position`, as [first, end).
// A paragraph ends with the mark that starts what follows it, a frame with
// its own end mark.
std::pair<int, int> elementAt(const QTextDocument &document, int position)
{
    // A cursor only reads here; QTextCursor wants a document it may edit.
    QTextCursor cursor(const_cast<QTextDocument *>(&document));
    cursor.setPosition(position);
    const QTextFrame *root = document.rootFrame();
    const QTextFrame *frame = cursor.currentFrame();
    if (frame && frame != root) {
        while (frame->parentFrame() != root)
            frame = frame->parentFrame();
        return {frame->firstPosition(), frame->lastPosition() + 1};
    }
    const QTextBlock block = document.findBlock(position);
    return {block.position(), block.position() + block.length()};
}

// Whether two characters read the same, where the marks that end paragraphs
// and begin or end frames count as one: the copy ends its last paragraph with
// a mark of its own.
bool sameCharacter(QChar a, QChar b)
{
    auto mark = [](QChar c) { return c == QChar::ParagraphSeparator || c == FrameEnd || c == FrameStart; };
    return a == b || (mark(a) && mark(b));
}

bool markerHidden(const QTextBlockFormat &format)
{
    return format.hasProperty(QTextFormat::ListStyle)
           && format.intProperty(QTextFormat::ListStyle) == QTextListFormat::ListStyleUndefined;
}

} // namespace

PageWindow::PageWindow(const QTextDocument &source) : m_source(source) {}

PageWindow::~PageWindow() = default;

void PageWindow::build(int position, int characters, int reach, QPaintDevice *device, qreal dpiX,
                       qreal width)
{
    const int count = m_source.characterCount();
    int begin = elementAt(m_source, qBound(0, position, count - 1)).first;
    if (begin > 0 && m_source.characterAt(begin - 1) == FrameEnd)
        begin = elementAt(m_source, begin - 1).first;
    const qint64 last = qMax<qint64>(qint64(begin) + qMax(1, characters), reach) - 1;
    int end = last < count - 1 ? elementAt(m_source, int(last)).second : count;
    // A copy made from the document's start has the first paragraph's
    // format only when it holds more than that paragraph's mark.
    if (begin == 0 && end == 1)
        end = count > 1 ? elementAt(m_source, 1).second : count;
    m_begin = begin;
    m_end = end;
    // The copy starts with the mark before the run, which carries the first
    // paragraph's format (and list): it becomes the empty paragraph that a
    // document starts with, and the run follows it.
    m_offset = begin == 0 ? 0 : begin - 1;

    m_copy = std::make_unique<WindowDocument>(m_source);
    m_copy->setUndoRedoEnabled(false);
    m_copy->setDefaultFont(m_source.defaultFont());
    m_copy->setIndentWidth(m_source.indentWidth());
    m_copy->setDefaultTextOption(m_source.defaultTextOption());
    m_copy->setDocumentMargin(0);
    // The layout is made for the device before the copy is filled, and
    // holds still while the copy has no page size: it lays out whatever
    // changes at once, and would lay the copy out for the screen when made
    // later. The width at the end has it start afresh and go on lazily, as
    // far as pages ask.
    if (device)
        m_copy->documentLayout()->setPaintDevice(device);
    m_copy->setPageSize(QSizeF(0, 0));
    QTextCursor cursor(m_copy.get());
    cursor.beginEditBlock();
    if (end - 1 > m_offset) {
        QTextCursor selection(const_cast<QTextDocument *>(&m_source));
        selection.setPosition(m_offset);
        selection.setPosition(end - 1, QTextCursor::KeepAnchor);
        cursor.insertFragment(QTextDocumentFragment(selection));
    } else {
        // An empty document: its one paragraph's formats.
        QTextBlockFormat format = m_source.begin().blockFormat();
        format.setObjectIndex(-1);
        cursor.setBlockFormat(format);
        cursor.setBlockCharFormat(m_source.begin().charFormat());
    }
    // Positions map by a constant only if the copy holds the run where it
    // is expected; a structure that copies otherwise has the whole
    // document copied instead, which is slower but right.
    if (begin > 0
        && (m_copy->characterCount() < copyEnd()
            || !sameCharacter(m_copy->characterAt(copyBegin()), m_source.characterAt(begin)))) {
        cursor.endEditBlock();
        build(0, count, 0, device, dpiX, width);
        return;
    }
    // The root frame keeps the page; the rectangle given is the text area,
    // so the frame has no margin of its own.
    QTextFrameFormat root = m_source.rootFrame()->frameFormat();
    root.setMargin(0);
    m_copy->rootFrame()->setFrameFormat(root);
    numberLists();
    if (device && qAbs(dpiX - ScreenDpi) > 0.01)
        scaleBlockIndents(*m_copy, dpiX / ScreenDpi);
    replaceFormFeeds();
    cursor.endEditBlock();
    m_copy->setTextWidth(width);
}

void PageWindow::numberLists()
{
    // A numbered list that began before the run would count from its first
    // item in the copy: its first number moves on to where the document
    // has got to. Qt 6.4 numbers every list from 1, so paintListMarkers()
    // draws the numbers of every numbered list in a copy, whether the run
    // cuts it or not: a page shows the same wherever its run starts. It
    // draws bullets too, as text, so that a PDF has them in its text where
    // Qt would draw a shape.
    QSet<const QTextList *> seen;
    QTextBlockFormat hidden;
    hideQtMarker(hidden);
    QTextCursor cursor(m_copy.get());
    for (QTextBlock block = m_copy->findBlock(copyBegin()); block.isValid() && block.position() < copyEnd();
         block = block.next()) {
        QTextList *list = block.textList();
        if (!list || seen.contains(list))
            continue;
        seen.insert(list);
        QTextListFormat format = list->format();
        const bool bullet = listKindOf(format.style()) == ListKind::Bullet;
        const QTextBlock original = m_source.findBlock(toSource(block.position()));
        const QTextList *originalList = original.textList();
        const int earlier = originalList && !bullet ? originalList->itemNumber(original) : 0;
        if (earlier > 0) {
            const int start = format.hasProperty(prop::NumberingStart) ? format.intProperty(prop::NumberingStart)
                                                                       : 1;
            format.setProperty(prop::NumberingStart, start + earlier);
            list->setFormat(format);
        }
        for (int i = 0; i < list->count(); ++i) {
            const QTextBlock item = list->item(i);
            if (!markerHidden(item.blockFormat())) {
                cursor.setPosition(item.position());
                cursor.mergeBlockFormat(hidden);
            }
        }
    }
}

std::unique_ptr<QTextDocument> deviceCopy(const QTextDocument &source, QPaintDevice *device,
                                          qreal dpiX)
{
    std::unique_ptr<QTextDocument> copy(source.clone());
    copy->setDefaultFont(source.defaultFont());
    copy->setDocumentMargin(0);
    copy->setUndoRedoEnabled(false);
    if (device && qAbs(dpiX - 96) > 0.01)
        scaleBlockIndents(*copy, dpiX / 96);
    if (device)
        copy->documentLayout()->setPaintDevice(device);
    return copy;
}

void scaleBlockIndents(QTextDocument &document, qreal factor)
{
    // The scaled format per format index met, none where nothing changes.
    QHash<int, std::optional<QTextBlockFormat>> scaled;
    QTextCursor cursor(&document);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        auto it = scaled.find(block.blockFormatIndex());
        if (it == scaled.end()) {
            std::optional<QTextBlockFormat> change;
            QTextBlockFormat format = block.blockFormat();
            if (format.leftMargin() != 0 || format.rightMargin() != 0 || format.textIndent() != 0) {
                format.setLeftMargin(format.leftMargin() * factor);
                format.setRightMargin(format.rightMargin() * factor);
                format.setTextIndent(format.textIndent() * factor);
                change = format;
            }
            it = scaled.insert(block.blockFormatIndex(), change);
        }
        if (*it) {
            cursor.setPosition(block.position());
            cursor.setBlockFormat(**it);
        }
    }
}

void PageWindow::replaceFormFeeds()
{
    // A form feed shows nothing but ends its line, so that the text after
    // it can start the next page. Replacing it keeps every position.
    m_formFeeds.clear();
    for (QTextBlock block = m_copy->begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        for (qsizetype i = text.indexOf(FormFeed); i >= 0; i = text.indexOf(FormFeed, i + 1)) {
            const int position = block.position() + int(i);
            m_formFeeds.push_back(position);
            QTextCursor cursor(m_copy.get());
            cursor.setPosition(position + 1);
            const QTextCharFormat format = cursor.charFormat();
            cursor.setPosition(position, QTextCursor::KeepAnchor);
            // At the end of a paragraph the paragraph ends the line already;
            // a line separator there would add an empty line.
            const bool last = i == text.size() - 1;
            cursor.insertText(QString(QChar(last ? 0x200b : 0x2028)), format);
        }
    }
}

} // namespace richtext
