#include "richtext/pagebands.h"

#include "richtext/pagebandfields.h"
#include "richtext/pagebandrtf.h"
#include "richtext/pagebandset.h"
#include "richtext/pagewindow.h"
#include "richtext/rtfimport.h"

#include <QAbstractTextDocumentLayout>
#include <QHash>
#include <QPaintDevice>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

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
        copy.reset(source->clone());
        copy->setDefaultFont(source->defaultFont());
        copy->setDocumentMargin(0);
        copy->setUndoRedoEnabled(false);
        if (numbered)
            fillMarks(*copy, pageNumber, pageCount);
        if (target && qAbs(targetDpiX - ScreenDpi) > Epsilon)
            scaleBlockIndents(*copy, targetDpiX / ScreenDpi);
        if (target)
            copy->documentLayout()->setPaintDevice(target);
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

void PageBands::draw(QPainter &painter, const Band &band, const QRectF &paper, const QRectF &text,
                     bool header, int pageNumber, int pageCount) const
{
    QPaintDevice *device = painter.device();
    const qreal dpiX = device ? device->logicalDpiX() : ScreenDpi;
    const qreal dpiY = device ? device->logicalDpiY() : ScreenDpi;
    QTextDocument &document =
        band.laidOut(device, dpiX, qMax<qreal>(1, text.width()), qMax(1, pageNumber),
                     qMax(qMax(1, pageNumber), pageCount));
    const qreal height = document.documentLayout()->documentSize().height();
    const qreal top = header ? paper.top() + m_headerY * dpiY / 1440
                             : paper.bottom() - m_footerY * dpiY / 1440 - height;

    painter.save();
    painter.translate(text.left(), top);
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette.setColor(QPalette::Text, Qt::black);
    document.documentLayout()->draw(&painter, context);
    painter.restore();
}

} // namespace richtext
