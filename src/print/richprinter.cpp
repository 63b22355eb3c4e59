#include "print/richprinter.h"

#include "print/pagedecoration.h"
#include "print/pagesetupchoices.h"
#include "print/pagesetupform.h"
#include "print/printdialogs.h"
#include "print/printerpicture.h"
#include "print/richprntprogdlg.h"
#include "richtext/pagebands.h"
#include "richtext/pagerenderer.h"

#include <QCoreApplication>
#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextDocument>

#include <cmath>

namespace print {

namespace {

const QString StartError = QStringLiteral("Not be able to start the printing.");
const QString EndError = QStringLiteral("Not be able to end the printing.");
const QString FileError = QStringLiteral("Not be able to print to a file.");
const QString NewPageError = QStringLiteral("Not be able to print a new page.");
const QString NoTextAreaError = QStringLiteral("The margins leave no room for text on the page.");

const QString PreparingPrint = QStringLiteral("Preparing to Print");
const QString PreparingPreview = QStringLiteral("Preparing to Print Preview");
const QString CurrentlyPrinting = QStringLiteral("Currently Printing");
const QString FinishedPrint = QStringLiteral("Finished Printing");
const QString FinishedPreview = QStringLiteral("Finished Preparing Preview");

bool printsToFile(const QPrinter &printer)
{
    return printer.outputFormat() == QPrinter::PdfFormat || !printer.outputFileName().isEmpty();
}

// A PDF whose writing was cut short (a full disk) lacks its trailer; Qt's
// writer does not report that, so the file is checked before the run calls
// itself a success.
bool pdfComplete(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly) || file.size() < 8)
        return false;
    file.seek(qMax<qint64>(0, file.size() - 1024));
    return file.readAll().contains("%%EOF");
}

} // namespace

RichPrinter::RichPrinter(PrintDialogs &dialogs, const QString &settingsFile, QObject *parent)
    : QObject(parent)
    , m_dialogs(dialogs)
    , m_settings(settingsFile)
    , m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
    , m_font(QStringLiteral("Courier New"), 10)
{
    // Without a print queue the print dialog still offers a PDF file.
    if (QPrinterInfo::availablePrinterNames().isEmpty())
        m_printer->setOutputFormat(QPrinter::PdfFormat);
    m_printer->setFullPage(true);
    PageDecoration stored = decoration();
    m_settings.loadDecoration(stored, m_unit);
    setDecoration(stored);
}

RichPrinter::~RichPrinter()
{
    delete m_progress.data();
}

// ---- properties ------------------------------------------------------------

PageGeometry RichPrinter::geometryFor(const PageMargins &margins) const
{
    return PageGeometry::compute(PrinterMetrics::of(*m_printer), m_unit, margins,
                                 lineHeight(headerFooterFont(m_font), m_printer.get()));
}

PageGeometry RichPrinter::pageGeometry() const
{
    return geometryFor(m_margins);
}

double RichPrinter::gutterTop() const
{
    return pageGeometry().gutterTop;
}

double RichPrinter::gutterBottom() const
{
    return pageGeometry().gutterBottom;
}

double RichPrinter::gutterLeft() const
{
    return pageGeometry().gutterLeft;
}

double RichPrinter::gutterRight() const
{
    return pageGeometry().gutterRight;
}

void RichPrinter::setMargin(Side side, double margin)
{
    static const char *const names[] = {"top", "bottom", "left", "right"};
    if (m_printing)
        throw ELinePrinter(QStringLiteral("Unable to change %1 margin while printing")
                               .arg(QLatin1String(names[int(side)])));
    // Not a number has no place between two gutters: the margin stays.
    if (std::isnan(margin))
        return;
    const PageGeometry g = pageGeometry();
    switch (side) {
    case Side::Top:
        m_margins.top = qMax(g.gutterTop, qMin(margin, g.paperSize.height() - g.gutterBottom));
        break;
    case Side::Bottom:
        m_margins.bottom = qMax(g.gutterBottom, qMin(margin, g.paperSize.height() - g.gutterTop));
        break;
    case Side::Left:
        m_margins.left = qMax(g.gutterLeft, qMin(margin, g.paperSize.width() - g.gutterRight));
        break;
    case Side::Right:
        m_margins.right = qMax(g.gutterRight, qMin(margin, g.paperSize.width() - g.gutterLeft));
        break;
    }
}

void RichPrinter::setMarginTop(double margin)
{
    setMargin(Side::Top, margin);
}

void RichPrinter::setMarginBottom(double margin)
{
    setMargin(Side::Bottom, margin);
}

void RichPrinter::setMarginLeft(double margin)
{
    setMargin(Side::Left, margin);
}

void RichPrinter::setMarginRight(double margin)
{
    setMargin(Side::Right, margin);
}

void RichPrinter::clampMargins()
{
    if (m_printing)
        return;
    setMarginTop(m_margins.top);
    setMarginBottom(m_margins.bottom);
    setMarginLeft(m_margins.left);
    setMarginRight(m_margins.right);
}

void RichPrinter::setMeasureUnit(MeasureUnit unit)
{
    if (unit != m_unit) {
        m_unit = unit;
        constexpr double MillimetresPerInch = 25.4;
        const double factor = unit == MeasureUnit::Millimeters ? MillimetresPerInch : 1 / MillimetresPerInch;
        m_margins.top *= factor;
        m_margins.bottom *= factor;
        m_margins.left *= factor;
        m_margins.right *= factor;
        m_borderOffset *= factor;
        m_defaultColumnWidth *= factor;
    }
    clampMargins();
}

void RichPrinter::setFontHeaderFooterColor(const QColor &color)
{
    m_fontColor = headerFooterColor(color);
}

QPageLayout::Orientation RichPrinter::orientation() const
{
    return m_printer->pageLayout().orientation();
}

void RichPrinter::setOrientation(QPageLayout::Orientation orientation)
{
    if (m_printing)
        throw ELinePrinter(QStringLiteral("Unable to change orientation while printing"));
    m_printer->setPageOrientation(orientation);
}

QString RichPrinter::title() const
{
    return m_printer->docName();
}

void RichPrinter::setTitle(const QString &title)
{
    if (m_printing)
        throw ELinePrinter(QStringLiteral("Unable to change title while printing"));
    m_printer->setDocName(title);
}

void RichPrinter::setOptionsDialog(PageOptions options)
{
    m_options = normalizedPageOptions(options);
}

PageDecoration RichPrinter::decoration() const
{
    PageDecoration d;
    d.header = m_header;
    d.headerFormat = m_headerFormat;
    d.footer = m_footer;
    d.footerFormat = m_footerFormat;
    d.font = m_font;
    d.fontColor = headerFooterColor(m_fontColor);
    d.logo = m_logo;
    d.logoTop = m_logoTop;
    d.logoLeft = m_logoLeft;
    d.logoWidth = m_logoWidth;
    d.logoHeight = m_logoHeight;
    d.borders = m_borders;
    d.borderOffset = m_borderOffset;
    d.defaultColumnWidth = m_defaultColumnWidth;
    return d;
}

void RichPrinter::setDecoration(const PageDecoration &d)
{
    m_header = d.header;
    m_headerFormat = d.headerFormat;
    m_footer = d.footer;
    m_footerFormat = d.footerFormat;
    m_font = d.font;
    setFontHeaderFooterColor(d.fontColor);
    m_logo = d.logo;
    m_logoTop = d.logoTop;
    m_logoLeft = d.logoLeft;
    m_logoWidth = d.logoWidth;
    m_logoHeight = d.logoHeight;
    m_borders = d.borders;
    m_borderOffset = d.borderOffset;
    m_defaultColumnWidth = d.defaultColumnWidth;
}

// ---- settings --------------------------------------------------------------

void RichPrinter::loadSettings()
{
    const std::optional<StoredPageSettings> stored = m_settings.load();
    if (!stored) {
        setMeasureUnit(m_unit);
        return;
    }
    // The stored margins are in the stored unit: the unit comes first, so
    // that switching it does not convert margins that need no converting.
    setMeasureUnit(stored->unit);
    setMarginLeft(stored->marginLeft.value_or(m_margins.left));
    setMarginTop(stored->marginTop.value_or(m_margins.top));
    setMarginBottom(stored->marginBottom.value_or(m_margins.bottom));
    setMarginRight(stored->marginRight.value_or(m_margins.right));
    setOrientation(stored->orientation);
    // The paper turned: the margins must fit it.
    clampMargins();
}

void RichPrinter::saveSettings()
{
    m_settings.save(m_margins.left, m_margins.top, m_margins.bottom, m_margins.right, m_unit, orientation());
}

// ---- page setup ------------------------------------------------------------

PageSetupValues RichPrinter::pageSetupValues() const
{
    PageSetupValues values;
    values.unit = m_unit;
    values.margins = m_margins;
    values.orientation = orientation();
    values.pageSize = m_printer->pageLayout().pageSize();
    values.decoration = decoration();
    return values;
}

void RichPrinter::applyPageSetupValues(const PageSetupValues &values)
{
    // The window works in the unit it was given; should it ever hand back
    // another one, the margins are in that one.
    setMeasureUnit(values.unit);
    // The paper first: the margins are clamped to the paper they are for.
    if (!(m_options & PageSetupFlag::DisablePaper) && values.pageSize.isValid())
        m_printer->setPageSize(values.pageSize);
    if (!(m_options & PageSetupFlag::DisableOrientation))
        setOrientation(values.orientation);
    m_printer->setFullPage(true);
    if (!(m_options & PageSetupFlag::DisableMargins)) {
        const PageMargins margins = editedMargins(m_margins, values.margins, m_unit);
        setMarginLeft(margins.left);
        setMarginTop(margins.top);
        setMarginRight(margins.right);
        setMarginBottom(margins.bottom);
    }
    // The paper or its orientation may have changed under margins the
    // user did not touch.
    clampMargins();
    setDecoration(values.decoration);
}

bool RichPrinter::showPageSetup(QWidget *parent)
{
    if (m_saveMargins)
        loadSettings();
    PageSetupValues values = pageSetupValues();
    if (!m_dialogs.pageSetup(parent, *m_printer, values, m_options))
        return false;
    // The page cannot change under a run in progress.
    if (m_running)
        return true;
    applyPageSetupValues(values);
    if (m_saveMargins)
        saveSettings();
    m_settings.saveDecoration(decoration(), m_unit);
    return true;
}

// ---- progress --------------------------------------------------------------

void RichPrinter::updateStatus(const QString *status)
{
    if (status)
        emit statusChanged(*status);
    const bool wanted = m_showProgress && (m_printing || m_previewing);
    if (!wanted) {
        closeProgress();
        return;
    }
    if (!m_progress) {
        m_progress = new RichPrntProgDlg();
        connect(m_progress, &RichPrntProgDlg::cancelClicked, this, &RichPrinter::cancel);
    }
    if (!m_progress->isVisible())
        m_progress->show();
    m_progress->showStatus(status, title(), m_pageNumber);
}

RichPrntProgDlg *RichPrinter::progressWindow() const
{
    return m_progress.data();
}

void RichPrinter::closeProgress()
{
    if (!m_progress)
        return;
    m_progress->hide();
    delete m_progress.data();
    m_progress = nullptr;
}

// ---- runs ------------------------------------------------------------------

bool RichPrinter::print(QWidget *parent, const QTextDocument &document)
{
    if (!m_dialogs.print(parent, *m_printer))
        return false;
    m_printer->setFullPage(true);
    printRichEdit(document, 1);
    return true;
}

void RichPrinter::printRichEdit(const QTextDocument &document, unsigned firstPage)
{
    runPages(document, firstPage, nullptr);
}

void RichPrinter::renderPreview(const QTextDocument &document,
                                const std::function<void(const QPicture &)> &storePage)
{
    // The preview window reads the choice back when it is made.
    m_settings.setCompressPreview(m_compressPreview);
    runPages(document, 1, &storePage);
}

void RichPrinter::runPages(const QTextDocument &document, unsigned firstPage,
                           const std::function<void(const QPicture &)> *storePage)
{
    // A run started from inside a run (a handler of its signals) would
    // share the painter and the page state.
    if (m_running)
        throw ELinePrinter(StartError);
    const bool preview = storePage != nullptr;

    struct Running
    {
        bool &flag;
        explicit Running(bool &f) : flag(f) { flag = true; }
        ~Running() { flag = false; }
    } running(m_running);
    m_cancelRequested = false;

    if (m_saveMargins)
        loadSettings();
    m_printer->setFullPage(true);
    const PageGeometry geometry = pageGeometry();
    if (!geometry.hasTextArea())
        throw ELinePrinter(NoTextAreaError);
    const PageDecoration pageDecoration = decoration();
    const QString outputFile = m_printer->outputFileName();
    const bool toFile = printsToFile(*m_printer);

    QPainter painter;
    std::unique_ptr<PrinterPicture> picture;

    const auto atPrintableOrigin = [&] {
        painter.resetTransform();
        painter.translate(geometry.printableOrigin);
    };
    const auto startPreviewPage = [&] {
        picture = std::make_unique<PrinterPicture>(geometry.paperPixels, qRound(geometry.dpiX), qRound(geometry.dpiY));
        if (!painter.begin(picture.get()))
            throw ELinePrinter(NewPageError);
        atPrintableOrigin();
    };
    const auto storePreviewPage = [&] {
        painter.end();
        (*storePage)(*picture);
    };
    richtext::PageRenderer renderer(document);
    // Preview pages break their lines where the printer will.
    renderer.setLayoutDevice(m_printer.get());
    const QRectF rect = geometry.textAreaTwips();
    const int length = document.characterCount();
    // The page that starts at `start` is the last one.
    const auto lastPage = [length](int start, int next) { return next < 0 || next >= length || next <= start; };

    // The document's own header and footer show where the decoration
    // leaves its band empty; they may show the page count, so the pages
    // are counted first (measuring only, cheap after the first layout).
    const richtext::PageBands bands(document);
    const QRectF paperPixels(QPointF(0, 0), geometry.paperPixels);
    const QRectF textPixels(geometry.textArea.translated(geometry.printableOrigin));
    int pageCount = 0;
    // Where the document's own band is drawn, a band taller than its room
    // pushes the body away from it, as on the document's PDF pages.
    bool pushedTop = false;
    bool pushedBottom = false;
    const auto bodyRect = [&](int page) {
        if (!pushedTop && !pushedBottom)
            return rect;
        const QRectF pixels = bands.textRect(m_printer.get(), paperPixels, textPixels, page, pageCount);
        const qreal twipsPerPixel = 1440.0 / m_printer->logicalDpiY();
        const qreal top = pushedTop ? qMax(rect.top(), (pixels.top() - geometry.printableOrigin.y()) * twipsPerPixel)
                                    : rect.top();
        const qreal bottom = pushedBottom
                                 ? qMin(rect.bottom(), (pixels.bottom() - geometry.printableOrigin.y()) * twipsPerPixel)
                                 : rect.bottom();
        return QRectF(rect.left(), top, rect.width(), qMax<qreal>(1, bottom - top));
    };
    const auto countPages = [&] {
        int pages = 1;
        for (int start = 0;; ++pages) {
            const int next = renderer.formatRange(&painter, bodyRect(int(firstPage) - 1 + pages), start, false);
            if (lastPage(start, next))
                break;
            start = next;
        }
        pageCount = int(firstPage) - 1 + pages;
    };
    // A logo is drawn only with a header line, even one of spaces.
    const bool drawsLogo = drawsHeader(pageDecoration) && !pageDecoration.logo.isNull();

    const auto decorate = [&] {
        updateStatus(&CurrentlyPrinting);
        PlaceholderValues values;
        values.page = m_pageNumber;
        values.line = m_lineCounter;
        values.title = title();
        decoratePage(painter, pageDecoration, geometry, values);
        if (!bands.isEmpty()) {
            const bool ownHeader = !drawsLogo && expandPlaceholders(pageDecoration.header, values).trimmed().isEmpty();
            const bool ownFooter = expandPlaceholders(pageDecoration.footer, values).trimmed().isEmpty();
            if (ownHeader || ownFooter) {
                // The bands are placed from the paper's corner.
                painter.save();
                painter.translate(-geometry.printableOrigin);
                if (ownHeader)
                    bands.drawHeader(painter, paperPixels, textPixels, int(m_pageNumber), pageCount);
                if (ownFooter)
                    bands.drawFooter(painter, paperPixels, textPixels, int(m_pageNumber), pageCount);
                painter.restore();
            }
        }
        m_lineCounter = 0;
        emit newPage();
    };
    // The progress window's Cancel is the one input let through between
    // pages; the window is application-modal, so nothing else reaches the
    // program while the run waits for it.
    const auto letCancelThrough = [&] {
        if (m_progress && m_progress->isVisible())
            QCoreApplication::processEvents();
    };

    emit beginDoc();
    try {
        if (preview) {
            m_previewing = true;
            startPreviewPage();
        } else {
            if (toFile && !outputFile.isEmpty()) {
                QFile probe(outputFile);
                if (!probe.open(QIODevice::WriteOnly))
                    throw ELinePrinter(probe.errorString());
            }
            if (!painter.begin(m_printer.get()))
                throw ELinePrinter(StartError);
            m_printing = true;
            atPrintableOrigin();
        }
        updateStatus(preview ? &PreparingPreview : &PreparingPrint);
        m_lineCounter = 0;
        m_pageNumber = firstPage;
        if (!bands.isEmpty()) {
            // Which bands are the document's own does not change from page
            // to page: a decoration line is never empty for one page alone.
            PlaceholderValues values;
            values.page = m_pageNumber;
            values.title = title();
            pushedTop = !drawsLogo && expandPlaceholders(pageDecoration.header, values).trimmed().isEmpty();
            pushedBottom = expandPlaceholders(pageDecoration.footer, values).trimmed().isEmpty();
            countPages();
        }
        decorate();

        for (int start = 0;;) {
            const int next = renderer.formatRange(&painter, bodyRect(int(m_pageNumber)), start, true);
            // Nothing more to print, or no progress: a page that takes
            // nothing would repeat for ever.
            if (lastPage(start, next))
                break;
            letCancelThrough();
            if (m_cancelRequested)
                break;
            if (preview) {
                storePreviewPage();
                startPreviewPage();
            } else {
                if (!m_printer->newPage())
                    throw ELinePrinter(NewPageError);
                atPrintableOrigin();
            }
            ++m_pageNumber;
            decorate();
            start = next;
        }

        updateStatus(preview ? &FinishedPreview : &FinishedPrint);
        if (preview) {
            storePreviewPage();
        } else {
            if (!painter.end())
                throw ELinePrinter(toFile ? FileError : EndError);
            if (m_printer->outputFormat() == QPrinter::PdfFormat && !pdfComplete(outputFile))
                throw ELinePrinter(FileError);
            m_printing = false;
        }
    } catch (...) {
        if (m_printing) {
            m_printer->abort();
            if (painter.isActive())
                painter.end();
            // Half a document in a file would pass for the whole one.
            if (m_printer->outputFormat() == QPrinter::PdfFormat && !outputFile.isEmpty())
                QFile::remove(outputFile);
        } else if (painter.isActive()) {
            painter.end();
        }
        m_printing = false;
        m_previewing = false;
        closeProgress();
        emit abortDoc();
        throw;
    }
    m_previewing = false;
    updateStatus(nullptr);
    emit endDoc();
}

} // namespace print
