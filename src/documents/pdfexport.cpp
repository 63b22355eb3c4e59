#include "documents/pdfexport.h"

#include "documents/documenterror.h"
#include "richtext/pagebands.h"
#include "richtext/pagerenderer.h"
#include "richtext/pagesetup.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>

namespace documents {

namespace {

constexpr qreal TwipsPerPoint = 20;

// The page in PDF points. Paper sizes are portrait by definition, so a wide
// page is a turned portrait one; a size within a point or so of a standard
// one (A4 given in whole twips) is that standard size.
QPageLayout pageLayout(const richtext::PageSetup &page)
{
    const bool wide = page.paperWidth > page.paperHeight;
    const QSizeF portrait(qMin(page.paperWidth, page.paperHeight) / TwipsPerPoint,
                          qMax(page.paperWidth, page.paperHeight) / TwipsPerPoint);
    const QMarginsF margins(page.marginLeft / TwipsPerPoint, page.marginTop / TwipsPerPoint,
                            page.marginRight / TwipsPerPoint, page.marginBottom / TwipsPerPoint);
    return QPageLayout(QPageSize(portrait, QPageSize::Point), wide ? QPageLayout::Landscape : QPageLayout::Portrait,
                       margins, QPageLayout::Point);
}

QString titleOf(const QTextDocument &document, const PdfOptions &options)
{
    const QString own = document.metaInformation(QTextDocument::DocumentTitle);
    return own.trimmed().isEmpty() ? options.title : own;
}

// The page's paper and text area in the painter's device pixels, with the
// text area's corner at the painter's origin (the writer keeps the margins
// outside it).
struct PageArea
{
    QRectF paper;
    QRectF text;
};

PageArea pageArea(const QPainter &painter, const richtext::PageSetup &page)
{
    // Device pixels per twip.
    const qreal x = painter.device()->logicalDpiX() / 1440.0;
    const qreal y = painter.device()->logicalDpiY() / 1440.0;
    const QRectF text = page.textRect();
    return {QRectF(-text.left() * x, -text.top() * y, page.paperWidth * x, page.paperHeight * y),
            QRectF(0, 0, text.width() * x, text.height() * y)};
}

// The rectangle, in twips from the painter's origin, that the body of page
// `number` takes: the text area, less what a tall header or footer takes.
QRectF bodyRect(const richtext::PageBands &bands, QPainter &painter, const PageArea &area,
                int number, int pages)
{
    QPaintDevice *device = painter.device();
    const QRectF pixels =
        bands.isEmpty() ? area.text
                        : bands.textRect(device, area.paper, area.text, number, pages);
    const qreal x = 1440.0 / device->logicalDpiX();
    const qreal y = 1440.0 / device->logicalDpiY();
    return QRectF(pixels.left() * x, pixels.top() * y, pixels.width() * x, pixels.height() * y);
}

// The pages the document takes: what the loop below makes of it.
int pageCount(richtext::PageRenderer &renderer, const richtext::PageBands &bands,
              QPainter &painter, const PageArea &area, int count)
{
    int pages = 1;
    for (int first = 0;; ++pages) {
        // The page count is not known yet; the bands are measured as if
        // this were the last page.
        const QRectF body = bodyRect(bands, painter, area, pages, 0);
        const int next = renderer.formatRange(&painter, body, first, false);
        if (next >= count || next <= first)
            return pages;
        first = next;
    }
}

} // namespace

QByteArray exportPdf(const QTextDocument &document, const PdfOptions &options)
{
    const richtext::PageSetup page = richtext::pageSetup(document);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(qBound(72, options.resolution, 9600));
        writer.setCreator(QStringLiteral("Quorin"));
        writer.setTitle(titleOf(document, options));
        writer.setPageLayout(pageLayout(page));

        QPainter painter;
        if (!painter.begin(&writer))
            throw DocumentError(QStringLiteral("Cannot make a PDF"), QString(), QString());
        const PageArea area = pageArea(painter, page);
        richtext::PageRenderer renderer(document);
        const int count = document.characterCount();
        const richtext::PageBands bands(document);
        // Headers and footers may show the page count: count the pages first.
        const int pages = bands.isEmpty() ? 0 : pageCount(renderer, bands, painter, area, count);
        for (int first = 0, number = 1;; ++number) {
            if (!bands.isEmpty()) {
                bands.drawHeader(painter, area.paper, area.text, number, pages);
                bands.drawFooter(painter, area.paper, area.text, number, pages);
            }
            const int next =
                renderer.formatRange(&painter, bodyRect(bands, painter, area, number, pages), first);
            if (next >= count || next <= first)
                break;
            writer.newPage();
            first = next;
        }
        painter.end();
    }
    return bytes;
}

} // namespace documents
