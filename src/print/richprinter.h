#pragma once

// The printer of the editor's document: it prints a QTextDocument page by
// page inside margins given in millimetres or inches, decorates every page
// with a header, footer, logo and border lines, renders the same pages into
// pictures for the preview window, and drives the progress window and the
// page setup dialog.
//
// The printer works in full-page mode: the painter's origin is the paper's
// corner, and every page is drawn translated to the printable area's origin,
// the origin all band and text-area arithmetic uses.

#include "print/pagegeometry.h"
#include "print/printsettings.h"
#include "print/printtypes.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QObject>
#include <QPageLayout>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class QPainter;
class QPicture;
class QPrinter;
class QTextDocument;
class QWidget;

namespace print {

class PreviewForm;
class PrintDialogs;
class RichPrntProgDlg;
struct PageDecoration;
struct PageSetupValues;

class RichPrinter : public QObject
{
    Q_OBJECT

public:
    // `settingsFile` is the INI file that keeps the margins (when
    // saveMargins is on), what Page Setup puts around the text (header,
    // footer, font, logo, borders; loaded here) and the preview's
    // compression choice; empty keeps nothing.
    RichPrinter(PrintDialogs &dialogs, const QString &settingsFile, QObject *parent = nullptr);
    ~RichPrinter() override;

    QPrinter &printer() { return *m_printer; }
    PrintDialogs &dialogs() { return m_dialogs; }
    const QString &settingsFile() const { return m_settings.fileName(); }

    bool compressPreview() const { return m_compressPreview; }
    void setCompressPreview(bool compress) { m_compressPreview = compress; }
    bool saveMargins() const { return m_saveMargins; }
    void setSaveMargins(bool save) { m_saveMargins = save; }
    QImage bitmapLogo() const { return m_logo; }
    void setBitmapLogo(const QImage &logo) { m_logo = logo; }

    // Margins in the measure unit, each kept between its gutter and the
    // paper's size less the opposite gutter. They cannot change while the
    // printer prints (ELinePrinter).
    double marginTop() const { return m_margins.top; }
    double marginBottom() const { return m_margins.bottom; }
    double marginLeft() const { return m_margins.left; }
    double marginRight() const { return m_margins.right; }
    void setMarginTop(double margin);
    void setMarginBottom(double margin);
    void setMarginLeft(double margin);
    void setMarginRight(double margin);

    // Logo position and size below the header, in the measure unit, scaled
    // by the text area's share of the paper; stored as given.
    double logoTop() const { return m_logoTop; }
    double logoLeft() const { return m_logoLeft; }
    double logoWidth() const { return m_logoWidth; }
    double logoHeight() const { return m_logoHeight; }
    void setLogoTop(double value) { m_logoTop = value; }
    void setLogoLeft(double value) { m_logoLeft = value; }
    void setLogoWidth(double value) { m_logoWidth = value; }
    void setLogoHeight(double value) { m_logoHeight = value; }

    // Changing the unit converts the margins, the border offset and the
    // default column width (not the logo values); the margins are then
    // clamped again for the unit in force.
    MeasureUnit measureUnit() const { return m_unit; }
    void setMeasureUnit(MeasureUnit unit);

    QString header() const { return m_header; }
    void setHeader(const QString &text) { m_header = text; }
    QString headerFormat() const { return m_headerFormat; }
    void setHeaderFormat(const QString &format) { m_headerFormat = format; }
    QString footer() const { return m_footer; }
    void setFooter(const QString &text) { m_footer = text; }
    QString footerFormat() const { return m_footerFormat; }
    void setFooterFormat(const QString &format) { m_footerFormat = format; }
    PageBorders pageBorders() const { return m_borders; }
    void setPageBorders(PageBorders borders) { m_borders = borders; }
    bool showProgress() const { return m_showProgress; }
    void setShowProgress(bool show) { m_showProgress = show; }

    // The header and footer font and its colour; white prints black.
    QFont fontHeaderFooter() const { return m_font; }
    void setFontHeaderFooter(const QFont &font) { m_font = font; }
    QColor fontHeaderFooterColor() const { return m_fontColor; }
    void setFontHeaderFooterColor(const QColor &color);

    // The printer's own orientation and job title; they cannot change while
    // it prints (ELinePrinter).
    QPageLayout::Orientation orientation() const;
    void setOrientation(QPageLayout::Orientation orientation);
    QString title() const;
    void setTitle(const QString &title);

    double borderOffset() const { return m_borderOffset; }
    void setBorderOffset(double offset) { m_borderOffset = offset; }
    // The width of a header or footer column whose format gives none.
    double defaultColumnWidth() const { return m_defaultColumnWidth; }
    void setDefaultColumnWidth(double width) { m_defaultColumnWidth = width; }

    // The paper edges the printer cannot reach, in the measure unit.
    double gutterTop() const;
    double gutterBottom() const;
    double gutterLeft() const;
    double gutterRight() const;

    // Options of the page setup dialog; asking to disable the margins wins
    // over asking for them.
    PageOptions optionsDialog() const { return m_options; }
    void setOptionsDialog(PageOptions options);

    // A print job is on (from its start to its end).
    bool isPrinting() const { return m_printing; }
    // A preview run is on.
    bool isPreviewing() const { return m_previewing; }

    // The page as the printer would lay it out now.
    PageGeometry pageGeometry() const;

    // Prints the whole document on the printer; `firstPage` is the number
    // the first page shows. Failures throw ELinePrinter; a run that fails
    // midway aborts the job, closes the progress window and emits abortDoc.
    // The document is never changed.
    void printRichEdit(const QTextDocument &document, unsigned firstPage = 1);
    // The print command: the print dialog, then the whole document from
    // page 1. False when the user cancelled the dialog.
    bool print(QWidget *parent, const QTextDocument &document);

    // Renders the document into preview pages and opens the preview window
    // on them (a top-level window that deletes itself when closed).
    PreviewForm *previewRichEdit(const QTextDocument &document);
    // The preview run without a window: every finished page, a picture in
    // printer pixels of the whole paper with its origin at the paper's
    // corner, goes to `storePage`.
    void renderPreview(const QTextDocument &document, const std::function<void(const QPicture &)> &storePage);

    // The Page Setup window on this printer's paper, orientation, margins
    // and decoration. On OK the printer takes what it shows (margins
    // clamped to the paper chosen) and remembers the decoration in the
    // settings file; cancel changes nothing. True when the user confirmed.
    bool showPageSetup(QWidget *parent = nullptr);

    // The progress window of the run in progress, if it shows one.
    RichPrntProgDlg *progressWindow() const;

public slots:
    // Ends the run in progress after the page being drawn; the pages so far
    // are printed (or previewed).
    void cancel() { m_cancelRequested = true; }

signals:
    void beginDoc();
    void endDoc();
    void abortDoc();
    void newPage();
    // Every status the run reports, as the progress window shows it.
    void statusChanged(const QString &status);

private:
    class Run;
    friend class Run;

    enum class Side { Top, Bottom, Left, Right };
    void setMargin(Side side, double margin);
    void clampMargins();
    void loadSettings();
    void saveSettings();
    void runPages(const QTextDocument &document, unsigned firstPage,
                  const std::function<void(const QPicture &)> *storePage);
    void updateStatus(const QString *status);
    void closeProgress();
    PageDecoration decoration() const;
    void setDecoration(const PageDecoration &decoration);
    PageSetupValues pageSetupValues() const;
    void applyPageSetupValues(const PageSetupValues &values);
    PageGeometry geometryFor(const PageMargins &margins) const;

    PrintDialogs &m_dialogs;
    PrintSettings m_settings;
    std::unique_ptr<QPrinter> m_printer;

    bool m_compressPreview = true;
    bool m_saveMargins = false;
    QImage m_logo;
    PageMargins m_margins;
    double m_logoTop = 0.0;
    double m_logoLeft = 0.0;
    double m_logoWidth = 25.0;
    double m_logoHeight = 20.0;
    MeasureUnit m_unit = MeasureUnit::Millimeters;
    QString m_header = QStringLiteral("{$TITLE}");
    QString m_headerFormat = QStringLiteral(">100");
    QString m_footer = QStringLiteral("Page {$PAGE}");
    QString m_footerFormat = QStringLiteral(">100");
    PageBorders m_borders;
    bool m_showProgress = true;
    QFont m_font;
    QColor m_fontColor = Qt::black;
    double m_borderOffset = 2.0;
    double m_defaultColumnWidth = 0.0;
    PageOptions m_options = PageSetupFlag::Margins;

    // Run state.
    bool m_running = false;
    bool m_printing = false;
    bool m_previewing = false;
    bool m_cancelRequested = false;
    unsigned m_pageNumber = 1;
    unsigned m_lineCounter = 0;
    QPointer<RichPrntProgDlg> m_progress;
};

} // namespace print
