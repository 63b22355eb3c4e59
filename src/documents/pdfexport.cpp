#include "documents/pdfexport.h"

#include "documents/documenterror.h"
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
        for (int first = 0;;) {
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
