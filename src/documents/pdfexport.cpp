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

// The pages the document takes: what the loop below makes of it.
int pageCount(richtext::PageRenderer &renderer, QPainter &painter, const QRectF &text, int count)
{
    int pages = 1;
    for (int first = 0;; ++pages) {
        const int next = renderer.formatRange(&painter, text, first, false);
        if (next >= count || next <= first)
            return pages;
        first = next;
    }
}

// The document's header and footer on page `number`, in the margins around
// the text area at the painter's origin.
void drawBands(const richtext::PageBands &bands, QPainter &painter, const richtext::PageSetup &page,
               int number, int pages)
{
    // Device pixels per twip.
    const qreal x = painter.device()->logicalDpiX() / 1440.0;
    const qreal y = painter.device()->logicalDpiY() / 1440.0;
    const QRectF text = page.textRect();
    const QRectF paper(-text.left() * x, -text.top() * y, page.paperWidth * x, page.paperHeight * y);
    const QRectF area(0, 0, text.width() * x, text.height() * y);
    bands.drawHeader(painter, paper, area, number, pages);
    bands.drawFooter(painter, paper, area, number, pages);
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
        // The painter's origin is the top left corner of the text area: the
        // writer keeps the margins outside it.
        const QRectF text(QPointF(0, 0), page.textRect().size());
        richtext::PageRenderer renderer(document);
        const int count = document.characterCount();
        const richtext::PageBands bands(document);
        // Headers and footers may show the page count: count the pages first.
        const int pages = bands.isEmpty() ? 0 : pageCount(renderer, painter, text, count);
        for (int first = 0, number = 1;; ++number) {
            if (!bands.isEmpty())
                drawBands(bands, painter, page, number, pages);
            const int next = renderer.formatRange(&painter, text, first);
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
