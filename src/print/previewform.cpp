#include "print/previewform.h"

#include "print/preview2.h"
#include "print/printdialogs.h"
#include "widgets/arrowbutton.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QStyle>
#include <QToolButton>


namespace print {

namespace {

const QString saveErrorText = QStringLiteral("Can not save the page information (MetaFiles)");
const QColor teal(0, 128, 128);

bool readCompressFlag(const QString &settingsFile)
{
    // Compressing is the default; only an explicit "no" turns it off.
    if (settingsFile.isEmpty())
        return true;
    const QSettings settings(settingsFile, QSettings::IniFormat);
    const QString value
        = settings.value(QStringLiteral("RichPrint.Settings/Compress/CompressPreview")).toString().trimmed();
    return !(value == QLatin1String("0") || value.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0);
}

QRect availableScreen(const QWidget *widget)
{
    QScreen *screen = widget->screen() ? widget->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

QLabel *makeLabel(const QString &name, const QString &text, QWidget *parent, QPoint at)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->move(at);
    label->adjustSize();
    return label;
}

QToolButton *makeButton(const QString &name, const QString &text, const QString &tip, QWidget *parent,
                        const QRect &bounds)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(text);
    button->setToolTip(tip);
    button->setGeometry(bounds);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

// The panel's parts sit at fixed places in 395 x 71 pixels, so its font
// must let each fixed text fit its slot: a narrow sans face at 11 pixels
// where there is one, smaller where the desktop only has wide faces.
QFont panelFont(const QFont &base)
{
    QFont font = base;
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("Helvetica")});
    font.setStyleHint(QFont::SansSerif);
    const std::pair<const char *, int> fixedTexts[] = {
        {"Page number:", 71}, {"Zoom factor:", 62}, {"Zoom step:", 58}, {"PREVIOUS", 57}, {"Smaller", 46}};
    for (int pixels = 11; pixels >= 8; --pixels) {
        font.setPixelSize(pixels);
        const QFontMetrics metrics(font);
        bool fits = true;
        for (const auto &[text, width] : fixedTexts)
            fits = fits && metrics.horizontalAdvance(QLatin1String(text)) <= width;
        if (fits)
            break;
    }
    return font;
}

} // namespace

PreviewForm::PreviewForm(PrintDialogs &dialogs, QPrinter &printer, double aspectRatio, QWidget *parent)
    : PreviewForm(dialogs, printer, aspectRatio, QString(), parent)
{
}

PreviewForm::PreviewForm(PrintDialogs &dialogs, QPrinter &printer, double aspectRatio, const QString &settingsFile,
                         QWidget *parent)
    : QWidget(parent,
              Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                  | Qt::WindowCloseButtonHint)
    , m_dialogs(dialogs)
    , m_printer(printer)
    , m_aspectRatio(aspectRatio)
    , m_store(readCompressFlag(settingsFile))
{
    setObjectName(QStringLiteral("RichPreviewForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Print Preview (Formatting)"));

    createControls();
    const QRect screen = availableScreen(this);
    m_layout = previewLayout(screen.size(), m_aspectRatio);
    placeControls();
    setFixedSize(m_layout.client);
    move(screen.x() + (screen.width() - m_layout.window.width()) / 2,
         screen.y() + (screen.height() - m_layout.window.height()) / 2);

    refresh();
    show();
}

PreviewForm::~PreviewForm() = default;

void PreviewForm::createControls()
{
    m_scrollBox = new QScrollArea(this);
    m_scrollBox->setObjectName(QStringLiteral("ScrollBox1"));
    m_scrollBox->setFrameShape(QFrame::NoFrame);
    m_scrollBox->setBackgroundRole(QPalette::Dark);
    m_scrollBox->setFocusPolicy(Qt::NoFocus);
    m_image = new PageView;
    m_image->setObjectName(QStringLiteral("Image1"));
    m_scrollBox->setWidget(m_image);
    connect(m_image, &PageView::resetZoomRequested, this, &PreviewForm::resetZoom);

    auto *panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    const QFont small = panelFont(panel->font());
    panel->setFont(small);
    m_panel = panel;

    m_pageNumberLabel = makeLabel(QStringLiteral("Label4"), QStringLiteral("Page number:"), panel, QPoint(6, 8));
    m_pageNumber = new QLineEdit(panel);
    m_pageNumber->setObjectName(QStringLiteral("Edit1"));
    m_pageNumber->setToolTip(QStringLiteral("Number of current page (can be changed manually) "));
    m_pageNumber->setAlignment(Qt::AlignRight);
    m_pageNumber->setGeometry(79, 4, 44, 21);
    connect(m_pageNumber, &QLineEdit::textEdited, this, &PreviewForm::pageNumberTyped);
    m_total = makeLabel(QStringLiteral("Label10"), QStringLiteral("(0)"), panel, QPoint(127, 6));
    m_total->setToolTip(QStringLiteral("Total number of pages"));
    m_total->setAutoFillBackground(true);
    QPalette yellow = m_total->palette();
    yellow.setColor(QPalette::Window, Qt::yellow);
    yellow.setColor(QPalette::WindowText, Qt::black);
    m_total->setPalette(yellow);
    m_total->setMargin(2);
    m_total->hide();

    m_nextArrow = new ArrowButton(ArrowButton::Direction::Up, panel);
    m_nextArrow->setObjectName(QStringLiteral("ArrowButton2"));
    m_nextArrow->setToolTip(QStringLiteral("Showing next pages [PgUp]"));
    m_nextArrow->move(4, 34);
    connect(m_nextArrow, &QAbstractButton::clicked, this, &PreviewForm::nextPages);
    m_nextLabel = makeLabel(QStringLiteral("Label1"), QStringLiteral("NEXT "), panel, QPoint(39, 37));
    m_nextPageLabel = makeLabel(QStringLiteral("Label3"), QStringLiteral("page"), panel, QPoint(39, 51));

    m_previousArrow = new ArrowButton(ArrowButton::Direction::Down, panel);
    m_previousArrow->setObjectName(QStringLiteral("ArrowButton1"));
    m_previousArrow->setToolTip(QStringLiteral("Showing previous pages [PgDn]"));
    m_previousArrow->move(74, 34);
    connect(m_previousArrow, &QAbstractButton::clicked, this, &PreviewForm::previousPages);
    m_previousLabel = makeLabel(QStringLiteral("Label2"), QStringLiteral("PREVIOUS"), panel, QPoint(109, 37));
    m_previousPageLabel = makeLabel(QStringLiteral("Label9"), QStringLiteral("page"), panel, QPoint(109, 51));

    m_print = makeButton(QStringLiteral("SpeedButton1"), QStringLiteral("&Printing"),
                         QStringLiteral("Printing of selection from document ['P' key]"), panel,
                         QRect(168, 4, 56, 27));
    connect(m_print, &QToolButton::clicked, this, &PreviewForm::printPages);
    m_close = makeButton(QStringLiteral("BitBtn1"), QStringLiteral("Close"), QStringLiteral("Closing this preview"),
                         panel, QRect(168, 38, 56, 27));
    m_close->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    m_close->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_close->setIconSize(QSize(12, 12));
    connect(m_close, &QToolButton::clicked, this, &QWidget::close);
    m_larger = makeButton(QStringLiteral("SpeedButton2"), QStringLiteral("&Larger"),
                          QStringLiteral("Larger zoom ['L' key]"), panel, QRect(226, 4, 54, 27));
    connect(m_larger, &QToolButton::clicked, this, &PreviewForm::larger);
    m_smaller = makeButton(QStringLiteral("SpeedButton3"), QStringLiteral("&Smaller"),
                           QStringLiteral("Smaller zoom ['S' key]"), panel, QRect(226, 38, 54, 27));
    connect(m_smaller, &QToolButton::clicked, this, &PreviewForm::smaller);

    m_zoomFactorLabel = makeLabel(QStringLiteral("Label8"), QStringLiteral("Zoom factor:"), panel, QPoint(288, 9));
    m_zoomFactor = makeLabel(QStringLiteral("Label7"), PreviewNavigation::numberText(1.0), panel, QPoint(352, 9));
    m_zoomFactor->setToolTip(QStringLiteral("Actual size of the zoom (double click for a value of one)"));
    QPalette tealText = m_zoomFactor->palette();
    tealText.setColor(QPalette::WindowText, teal);
    m_zoomFactor->setPalette(tealText);
    QFont bold = small;
    bold.setBold(true);
    m_zoomFactor->setFont(bold);
    m_zoomFactor->resize(40, m_zoomFactor->height());
    m_zoomStepLabel = makeLabel(QStringLiteral("Label6"), QStringLiteral("Zoom step:"), panel, QPoint(288, 44));
    m_zoomStep = new QLineEdit(panel);
    m_zoomStep->setObjectName(QStringLiteral("MaskEdit1"));
    m_zoomStep->setToolTip(QStringLiteral("Input step size zooming"));
    m_zoomStep->setInputMask(QStringLiteral("9.999;_"));
    m_zoomStep->setMaxLength(5);
    m_zoomStep->setText(PreviewNavigation::numberText(PreviewNavigation::defaultStep));
    m_zoomStep->setGeometry(348, 40, 42, 21);
    connect(m_zoomStep, &QLineEdit::textEdited, this, [this](const QString &text) { m_nav.setStepText(text); });

    // Keys reach the window before any of its controls.
    installEventFilter(this);
    for (QWidget *child : findChildren<QWidget *>())
        child->installEventFilter(this);
}

void PreviewForm::placeControls()
{
    m_scrollBox->setGeometry(m_layout.image);
    m_image->resize(m_layout.image.size());
    m_panel->setGeometry(m_layout.panel);
    for (QWidget *w : {static_cast<QWidget *>(m_zoomFactorLabel), static_cast<QWidget *>(m_zoomFactor),
                       static_cast<QWidget *>(m_zoomStepLabel), static_cast<QWidget *>(m_zoomStep)})
        w->setVisible(m_layout.zoomControls);
}

void PreviewForm::setPageSize(const QSize &printerPixels)
{
    m_pageSize = printerPixels;
    m_image->setPageSize(printerPixels);
    if (m_preview2)
        m_preview2->image()->setPageSize(printerPixels);
}

void PreviewForm::storePage(const QPicture &page)
{
    if (m_closed)
        return;
    if (!m_store.store(page)) {
        // One message per preview: when the folder is gone or the disk is
        // full every further page fails the same way.
        if (!m_saveFailed)
            m_dialogs.error(this, saveErrorText);
        m_saveFailed = true;
    }
    m_nav.setPageCount(m_store.count());
    refresh();
}

void PreviewForm::productionFinished()
{
    if (m_finished || m_closed)
        return;
    m_finished = true;
    m_total->show();
    m_nav.activate();
    if (!m_nav.isTwoPage() && m_nav.pageCount() > 1) {
        const QRect screen = availableScreen(this);
        const int width = m_layout.window.width();
        if (screen.width() < 2 * width) {
            move(screen.x() + (screen.width() - width) / 2, y());
        } else {
            move(screen.x() + std::max(0, (screen.width() - 2 * width) / 2), y());
            enterTwoPageMode();
        }
    }
    setWindowTitle(QStringLiteral("Print Preview"));
    refresh();
}

void PreviewForm::enterTwoPageMode()
{
    m_preview2 = new Preview2(this);
    m_preview2->setKeyHandler([this](QKeyEvent *event) {
        activateWindow();
        handleKey(event);
    });
    connect(m_preview2->image(), &PageView::resetZoomRequested, this, &PreviewForm::resetZoom);
    m_preview2->image()->setPageSize(m_pageSize);
    m_preview2->setFixedSize(size());
    m_preview2->scrollBox()->setGeometry(m_scrollBox->geometry());
    m_preview2->image()->resize(m_scrollBox->size());
    m_preview2->panel()->setGeometry(m_panel->geometry());
    m_preview2->move(x() + m_layout.window.width(), y());
    m_nav.setTwoPage(true);
    m_preview2->show();
    raise();
    activateWindow();
}

void PreviewForm::refresh()
{
    if (m_closed)
        return;
    const int left = m_nav.currentIndex();
    showPage(m_image, left);
    applyZoom(m_scrollBox, m_image);
    if (m_preview2) {
        const int right = m_nav.rightIndex();
        showPage(m_preview2->image(), right);
        applyZoom(m_preview2->scrollBox(), m_preview2->image());
        m_preview2->setPageNumber(right + 1);
    }

    if (!m_typing)
        m_pageNumber->setText(left >= 0 ? QString::number(left + 1) : QString());
    m_pageNumber->setReadOnly(m_nav.pageNumberReadOnly());
    m_total->setText(QStringLiteral("(%1)").arg(m_nav.pageCount()));
    m_total->adjustSize();

    const bool next = m_nav.nextEnabled();
    const bool previous = m_nav.previousEnabled();
    for (QWidget *w : {static_cast<QWidget *>(m_nextArrow), static_cast<QWidget *>(m_nextLabel),
                       static_cast<QWidget *>(m_nextPageLabel)})
        w->setEnabled(next);
    for (QWidget *w : {static_cast<QWidget *>(m_previousArrow), static_cast<QWidget *>(m_previousLabel),
                       static_cast<QWidget *>(m_previousPageLabel)})
        w->setEnabled(previous);

    m_smaller->setEnabled(m_nav.smallerEnabled());
    m_zoomFactor->setText(PreviewNavigation::numberText(m_nav.zoom()));
}

void PreviewForm::showPage(PageView *view, int index)
{
    // Page files never change once stored: the picture a view holds is
    // reloaded only when it is to show another page.
    if (index == view->pageIndex())
        return;
    if (index < 0)
        view->setPage(-1, std::nullopt);
    else
        view->setPage(index, m_store.load(index));
}

void PreviewForm::applyZoom(QScrollArea *box, PageView *view)
{
    const QSize boxSize = box->size();
    const double zoom = m_nav.zoom();
    if (zoom <= PreviewNavigation::unitZoomLimit)
        view->resize(boxSize);
    else
        view->resize(qRound(boxSize.width() * zoom), qRound(boxSize.height() * zoom));
}

void PreviewForm::nextPages()
{
    m_nav.next();
    refresh();
}

void PreviewForm::previousPages()
{
    m_nav.previous();
    refresh();
}

void PreviewForm::firstPage()
{
    m_nav.first();
    refresh();
}

void PreviewForm::lastPage()
{
    m_nav.last();
    refresh();
}

void PreviewForm::larger()
{
    m_nav.larger();
    refresh();
}

void PreviewForm::smaller()
{
    m_nav.smaller();
    refresh();
}

void PreviewForm::resetZoom()
{
    m_nav.resetZoom();
    refresh();
}

void PreviewForm::pageNumberTyped(const QString &text)
{
    if (!m_nav.typePageNumber(text))
        return;
    // Keep the text as typed: rewriting "4" to the pair's "3" would spoil
    // the next digit the user types.
    m_typing = true;
    refresh();
    m_typing = false;
}

void PreviewForm::scrollBy(int dx, int dy)
{
    QScrollBar *bar = dx != 0 ? m_scrollBox->horizontalScrollBar() : m_scrollBox->verticalScrollBar();
    bar->setValue(bar->value() + (dx + dy) * bar->singleStep());
    if (m_preview2) {
        QScrollBar *other = dx != 0 ? m_preview2->scrollBox()->horizontalScrollBar()
                                    : m_preview2->scrollBox()->verticalScrollBar();
        other->setValue(bar->value());
    }
}

bool PreviewForm::handleKey(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_PageUp:
        nextPages();
        return true;
    case Qt::Key_PageDown:
        previousPages();
        return true;
    case Qt::Key_Home:
        firstPage();
        return true;
    case Qt::Key_End:
        lastPage();
        return true;
    case Qt::Key_Left:
        scrollBy(-1, 0);
        return true;
    case Qt::Key_Right:
        scrollBy(1, 0);
        return true;
    case Qt::Key_Up:
        scrollBy(0, -1);
        return true;
    case Qt::Key_Down:
        scrollBy(0, 1);
        return true;
    default:
        break;
    }
    // Letters with Alt belong to the buttons' mnemonics, with Ctrl to
    // shortcuts.
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    switch (event->key()) {
    case Qt::Key_L:
        larger();
        return true;
    case Qt::Key_S:
        smaller();
        return true;
    case Qt::Key_P:
        printPages();
        return true;
    default:
        return false;
    }
}

bool PreviewForm::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        if (handleKey(static_cast<QKeyEvent *>(event)))
            return true;
        break;
    case QEvent::MouseButtonDblClick:
        if (watched == m_zoomFactor) {
            resetZoom();
            return true;
        }
        break;
    case QEvent::MouseButtonRelease:
        // The labels beside the arrows move as the arrows do.
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            if ((watched == m_nextLabel || watched == m_nextPageLabel) && m_nextLabel->isEnabled()) {
                nextPages();
                return true;
            }
            if ((watched == m_previousLabel || watched == m_previousPageLabel) && m_previousLabel->isEnabled()) {
                previousPages();
                return true;
            }
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void PreviewForm::printPages()
{
    const int count = m_nav.pageCount();
    if (count == 0 || m_closed)
        return;
    m_nav.holdPage();
    const std::optional<std::pair<int, int>> range = m_dialogs.printRange(this, m_printer, 1, count);
    if (!range)
        return;
    const int first = std::clamp(range->first, 1, count);
    const int last = std::clamp(range->second, 1, count);
    if (first > last)
        return;

    QApplication::setOverrideCursor(Qt::WaitCursor);
    // Every page is a print job of its own on a printer. Into a file, jobs
    // after the first would overwrite it and keep only the last page, so
    // there the range is one document.
    if (!m_printer.outputFileName().isEmpty()) {
        printJob(first - 1, last - 1);
    } else {
        for (int index = first - 1; index < last; ++index) {
            if (!printJob(index, index))
                break;
        }
    }
    QApplication::restoreOverrideCursor();
}

bool PreviewForm::printJob(int first, int last)
{
    const bool fullPage = m_printer.fullPage();
    // The painter's origin is the paper's corner, as it was for the page.
    m_printer.setFullPage(true);
    const QRect paper = m_printer.pageLayout().fullRectPixels(m_printer.resolution());

    QPainter painter;
    bool started = false;
    QString failure;
    for (int index = first; index <= last; ++index) {
        m_nav.goToPage(index + 1);
        refresh();
        const std::optional<QPicture> page = m_store.load(index);
        if (!page)
            continue; // a missing page prints nothing, not a blank sheet
        if (!started) {
            if (!painter.begin(&m_printer)) {
                failure = QStringLiteral("Not be able to start the printing.");
                break;
            }
            started = true;
        } else if (!m_printer.newPage()) {
            failure = QStringLiteral("Not be able to print a new page.");
            break;
        }
        drawPage(painter, *page, m_pageSize, QRectF(QPointF(0, 0), QSizeF(paper.size())));
    }
    if (started && !painter.end() && failure.isEmpty())
        failure = QStringLiteral("Not be able to end the printing.");
    m_printer.setFullPage(fullPage);
    if (!failure.isEmpty()) {
        m_dialogs.error(this, failure);
        return false;
    }
    return true;
}

void PreviewForm::closeEvent(QCloseEvent *event)
{
    m_closed = true;
    m_image->setPage(-1, std::nullopt);
    if (m_preview2)
        m_preview2->hide();
    m_store.close();
    QWidget::closeEvent(event);
}

} // namespace print
