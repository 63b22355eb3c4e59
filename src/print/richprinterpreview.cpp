// The preview command of RichPrinter: the pages of a preview run go into a
// preview window made for them. Kept apart from the print run so that the
// run itself needs no window.

#include "print/richprinter.h"

#include "print/previewform.h"

#include <QPicture>
#include <QPointer>
#include <QPrinter>

namespace print {

PreviewForm *RichPrinter::previewRichEdit(const QTextDocument &document)
{
    // The stored orientation decides the page's shape.
    if (m_saveMargins)
        loadSettings();
    const PageGeometry geometry = pageGeometry();
    const double aspectRatio = geometry.paperSize.width() > 0
                                   ? geometry.paperSize.height() / geometry.paperSize.width()
                                   : 0.0;
    // The window reads the compression choice when it is made: write it
    // first.
    m_settings.setCompressPreview(m_compressPreview);
    QPointer<PreviewForm> form = m_settings.fileName().isEmpty()
                                     ? new PreviewForm(m_dialogs, *m_printer, aspectRatio)
                                     : new PreviewForm(m_dialogs, *m_printer, aspectRatio, m_settings.fileName());
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->setPageSize(geometry.paperPixels);
    form->show();
    try {
        renderPreview(document, [&form](const QPicture &page) {
            if (form)
                form->storePage(page);
        });
    } catch (...) {
        if (form)
            form->close();
        throw;
    }
    if (form)
        form->productionFinished();
    return form;
}

} // namespace print
