#include "richtext/pagebands.h"

#include "richtext/listmarkers.h"
#include "richtext/pagebandfields.h"
#include "richtext/pagebandrtf.h"
#include "richtext/pagebandset.h"
#include "richtext/pagewindow.h"
#include "richtext/paragraphdecor.h"
#include "richtext/rtfimport.h"

#include <QAbstractTextDocumentLayout>
#include <QHash>
#include <QPaintDevice>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>

#include <algorithm>
#include <optional>

namespace richtext {

namespace {

constexpr qreal ScreenDpi = 96;
constexpr qreal Epsilon = 0.01;

bool holdsMarks(const QTextDocument &document)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        if (std::any_of(text.begin(), text.end(), pagemark::isMark))
            return true;
    }
    return false;
}

// Each page mark becomes the number it stands for, in the mark's format.
void fillMarks(QTextDocument &document, int page, int count)
{
    QTextCursor cursor(&document);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        const int position = block.position();
        for (qsizetype i = text.size() - 1; i >= 0; --i) {
            if (!pagemark::isMark(text.at(i)))
                continue;
            cursor.setPosition(position + int(i) + 1);
            const QTextCharFormat format = cursor.charFormat();
            cursor.setPosition(position + int(i), QTextCursor::KeepAnchor);
            cursor.insertText(pagemark::text(text.at(i), page, count), format);
        }
    }
}

// How tall a laid out band is. Qt lays the first paragraph's space before
// and the last one's space after out as nothing; word processors keep both
// in a header or footer (a heading with space before it starts that much
// below \headery, and the body starts below the last paragraph's space
// after). `lead` is the room above Qt's layout.
struct Extent
{
    qreal lead = 0;
    qreal height = 0;
};

Extent extentOf(const QTextDocument &document, qreal dpiY)
{
    QAbstractTextDocumentLayout *layout = document.documentLayout();
    Extent extent;
    extent.height = layout->documentSize().height();
    const qreal scale = dpiY / ScreenDpi;
    const QTextBlock first = document.begin();
    const QTextBlock last = document.lastBlock();
    const QTextFrame *root = document.rootFrame();
    if (first.isValid() && QTextCursor(first).currentFrame() == root) {
        const qreal wanted = first.blockFormat().topMargin() * scale;
        extent.lead = qMax<qreal>(0, wanted - layout->blockBoundingRect(first).top());
    }
    if (last.isValid() && QTextCursor(last).currentFrame() == root) {
        const qreal wanted = layout->blockBoundingRect(last).bottom()
                             + last.blockFormat().bottomMargin() * scale;
        extent.height = qMax(extent.height, wanted);
    }
    return extent;
}

} // namespace

struct PageBands::Band
{
    std::unique_ptr<QTextDocument> source;
    bool numbered = false; // it shows page numbers or counts

    // The copy last laid out, and what it was laid out for.
    mutable std::unique_ptr<QTextDocument> copy;
    mutable QPaintDevice *device = nullptr;
    mutable qreal dpiX = 0;
    mutable qreal width = -1;
    mutable int page = 0;
    mutable int count = 0;

    QTextDocument &laidOut(QPaintDevice *target, qreal targetDpiX, qreal targetWidth,
                           int pageNumber, int pageCount) const
    {
        if (!numbered)
            pageNumber = pageCount = 0;
        if (copy && device == target && qAbs(dpiX - targetDpiX) < Epsilon
            && qAbs(width - targetWidth) < Epsilon && page == pageNumber && count == pageCount)
            return *copy;
        device = target;
        dpiX = targetDpiX;
        width = targetWidth;
        page = pageNumber;
        count = pageCount;
        copy = deviceCopy(*source, target, targetDpiX);
        if (numbered)
            fillMarks(*copy, pageNumber, pageCount);
        copy->setTextWidth(targetWidth);
        return *copy;
    }
};

PageBands::PageBands(const QTextDocument &document)
{
    const PageBandSet set = pageBandSet(document);
    m_titlePage = set.titlePage;
    m_facingPages = set.facingPages;
    m_headerY = set.headerY;
    m_footerY = set.footerY;
    m_firstNumber = set.firstPageNumber;
    for (int i = 0; i < PageBandKindCount; ++i) {
        const QByteArray rtf = bandDocumentRtf(set, PageBandKind(i));
        if (rtf.isEmpty())
            continue;
        auto band = std::make_unique<Band>();
        band->source = std::make_unique<QTextDocument>();
        band->source->setUndoRedoEnabled(false);
        band->source->setDefaultFont(document.defaultFont());
        QTextCursor cursor(band->source.get());
        insertRtf(cursor, rtf);
        band->numbered = holdsMarks(*band->source);
        m_bands[size_t(i)] = std::move(band);
    }
}

PageBands::~PageBands() = default;

bool PageBands::isEmpty() const
{
    return std::none_of(m_bands.begin(), m_bands.end(),
                        [](const std::unique_ptr<Band> &band) { return bool(band); });
}

const PageBands::Band *PageBands::bandFor(bool header, int pageNumber) const
{
    const auto band = [this, header](PageBandKind headerKind) {
        const int kind = int(headerKind) + (header ? 0 : int(PageBandKind::Footer));
        return m_bands[size_t(kind)].get();
    };
    if (m_titlePage && pageNumber <= 1)
        return band(PageBandKind::HeaderFirst); // a first page without its own has none
    const Band *every = band(PageBandKind::Header);
    if (m_facingPages && pageNumber % 2 == 0) {
        const Band *left = band(PageBandKind::HeaderLeft);
        return left ? left : every;
    }
    if (m_facingPages || !every) {
        // The right pages' band; without \facingp writers also give it as
        // the one for every page.
        const Band *right = band(PageBandKind::HeaderRight);
        return right ? right : every;
    }
    return every;
}

void PageBands::drawHeader(QPainter &painter, const QRectF &paper, const QRectF &text,
                           int pageNumber, int pageCount) const
{
    if (const Band *band = bandFor(true, pageNumber))
        draw(painter, *band, paper, text, true, pageNumber, pageCount);
}

void PageBands::drawFooter(QPainter &painter, const QRectF &paper, const QRectF &text,
                           int pageNumber, int pageCount) const
{
    if (const Band *band = bandFor(false, pageNumber))
        draw(painter, *band, paper, text, false, pageNumber, pageCount);
}

QRectF PageBands::place(const Band &band, QPaintDevice *device, const QRectF &paper,
                        const QRectF &text, bool header, int pageNumber, int pageCount) const
{
    const qreal dpiX = device ? device->logicalDpiX() : ScreenDpi;
    const qreal dpiY = device ? device->logicalDpiY() : ScreenDpi;
    const qreal width = qMax<qreal>(1, text.width());
    // Page `pageNumber` shows its number counted from the file's first
    // number; the count stays that of the pages.
    const int page = qMax(1, pageNumber);
    QTextDocument &document = band.laidOut(device, dpiX, width, page - 1 + m_firstNumber,
                                           qMax(page, pageCount));
    const Extent extent = extentOf(document, dpiY);
    const qreal height = extent.lead + extent.height;
    const qreal top = header ? paper.top() + m_headerY * dpiY / 1440
                             : paper.bottom() - m_footerY * dpiY / 1440 - height;
    return QRectF(text.left(), top, width, height);
}

void PageBands::draw(QPainter &painter, const Band &band, const QRectF &paper, const QRectF &text,
                     bool header, int pageNumber, int pageCount) const
{
    const QRectF where = place(band, painter.device(), paper, text, header, pageNumber, pageCount);
    // place() left the copy laid out for this page.
    QTextDocument &document = *band.copy;
    const qreal dpiY = painter.device() ? painter.device()->logicalDpiY() : ScreenDpi;

    painter.save();
    painter.translate(where.left(), where.top() + extentOf(document, dpiY).lead);
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette.setColor(QPalette::Text, Qt::black);
    document.documentLayout()->draw(&painter, context);
    // What Qt does not draw: our list labels, paragraph borders, shading and
    // leaders (a letterhead's rule under the firm's name).
    const QRectF all(QPointF(0, 0), document.documentLayout()->documentSize());
    paintListMarkers(painter, document, all, Qt::black);
    paintParagraphDecor(painter, document, all, Qt::black);
    painter.restore();
}

QRectF PageBands::textRect(QPaintDevice *device, const QRectF &paper, const QRectF &text,
                           int pageNumber, int pageCount) const
{
    qreal top = text.top();
    qreal bottom = text.bottom();
    // The body follows right under the band's last line (and the space
    // after its last paragraph), with no gap of its own.
    if (const Band *band = bandFor(true, pageNumber))
        top = qMax(top, place(*band, device, paper, text, true, pageNumber, pageCount).bottom());
    if (const Band *band = bandFor(false, pageNumber))
        bottom = qMin(bottom, place(*band, device, paper, text, false, pageNumber, pageCount).top());
    const qreal least = text.height() / 4;
    top = qMin(top, text.bottom() - least);
    bottom = qMax(bottom, top + least);
    return QRectF(text.left(), top, text.width(), bottom - top);
}

} // namespace richtext
