#pragma once

// The print preview window. The printer hands it every finished page while
// a preview run goes on; it keeps them in a PageStore (one file per page,
// compressed unless the settings say otherwise) and shows the newest one
// under the caption "Print Preview (Formatting)". When the run is over it
// shows page 1 under "Print Preview", and, when the screen has room for two
// windows and there is more than one page, the pages in pairs with the
// right-hand one in a Preview2 beside it. The user zooms, moves between
// pages, types a page number, and prints a range of the stored pages.
// Closing the window removes every page file; the window deletes itself.
//
// The window is visible from its creation. Keys go to the window before
// its controls: Page Up next, Page Down previous, Home, End, the arrows
// scroll, L larger, S smaller, P print.

#include "print/pagestore.h"
#include "print/preview2.h"
#include "print/previewnavigation.h"

#include <QPointer>
#include <QSize>
#include <QWidget>

class ArrowButton;
class QAbstractButton;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPicture;
class QPrinter;
class QScrollArea;
class QToolButton;

namespace print {

class PrintDialogs;

class PreviewForm : public QWidget
{
    Q_OBJECT

public:
    // With no settings file the pages are compressed.
    PreviewForm(PrintDialogs &dialogs, QPrinter &printer, double aspectRatio, QWidget *parent = nullptr);
    // Compression as "RichPrint.Settings/Compress/CompressPreview" of the
    // INI file `settingsFile` says, the value the printer writes before each
    // preview: "0" (or "false") stores the pages plainly; no such value
    // compresses.
    PreviewForm(PrintDialogs &dialogs, QPrinter &printer, double aspectRatio, const QString &settingsFile,
                QWidget *parent = nullptr);
    ~PreviewForm() override;

    // The paper in printer pixels, which every page is drawn in.
    void setPageSize(const QSize &printerPixels);
    QSize pageSize() const { return m_pageSize; }

    // Keeps a finished page (printer pixels of the whole paper, origin at
    // the paper's corner) and shows it. A page that cannot be stored is
    // reported and counted; production goes on.
    void storePage(const QPicture &page);

    // The run is over: page 1, the final caption, two-page mode if the
    // screen is wide enough.
    void productionFinished();

    bool compress() const { return m_store.compress(); }
    const PageStore &pageStore() const { return m_store; }
    const PreviewNavigation &navigation() const { return m_nav; }
    // The window of the right-hand pages; null in one-page mode.
    Preview2 *secondWindow() const { return m_preview2; }
    // The layout the window was given at creation.
    const PreviewLayout &layout() const { return m_layout; }

public slots:
    void nextPages();
    void previousPages();
    void firstPage();
    void lastPage();
    void larger();
    void smaller();
    void resetZoom();
    // Asks for a range of pages and prints them.
    void printPages();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void placeControls();
    void enterTwoPageMode();
    // Shows what the navigation says: the pages, their numbers, the
    // controls' states and the zoom.
    void refresh();
    void showPage(PageView *view, int index);
    void applyZoom(QScrollArea *box, PageView *view);
    void pageNumberTyped(const QString &text);
    bool handleKey(QKeyEvent *event);
    void scrollBy(int dx, int dy);
    // Prints pages [first, last] (0-based) as one job; false when the
    // printer could not start it.
    bool printJob(int first, int last);

    PrintDialogs &m_dialogs;
    QPrinter &m_printer;
    double m_aspectRatio;
    QSize m_pageSize;
    PageStore m_store;
    PreviewNavigation m_nav;
    PreviewLayout m_layout;
    bool m_finished = false;
    bool m_closed = false;
    bool m_saveFailed = false;
    // Set while Edit1's own typing is shown, so its text stays as typed.
    bool m_typing = false;

    QScrollArea *m_scrollBox = nullptr;
    PageView *m_image = nullptr;
    QWidget *m_panel = nullptr;
    ArrowButton *m_nextArrow = nullptr;
    ArrowButton *m_previousArrow = nullptr;
    QLabel *m_nextLabel = nullptr;
    QLabel *m_nextPageLabel = nullptr;
    QLabel *m_previousLabel = nullptr;
    QLabel *m_previousPageLabel = nullptr;
    QLabel *m_pageNumberLabel = nullptr;
    QLineEdit *m_pageNumber = nullptr;
    QLabel *m_total = nullptr;
    QToolButton *m_print = nullptr;
    QToolButton *m_close = nullptr;
    QToolButton *m_larger = nullptr;
    QToolButton *m_smaller = nullptr;
    QLabel *m_zoomFactorLabel = nullptr;
    QLabel *m_zoomFactor = nullptr;
    QLabel *m_zoomStepLabel = nullptr;
    QLineEdit *m_zoomStep = nullptr;
    QPointer<Preview2> m_preview2;
};

} // namespace print
