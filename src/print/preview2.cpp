#include "print/preview2.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScrollArea>

namespace print {

void drawPage(QPainter &painter, const QPicture &page, const QSize &pageSize, const QRectF &target)
{
    QSizeF source = pageSize;
    if (source.isEmpty()) {
        const QRect extent = page.boundingRect();
        source = QSizeF(std::max(1, extent.right() + 1), std::max(1, extent.bottom() + 1));
    }
    // drawPicture() scales a picture by the device's resolution over the
    // picture's own (a 1200 dpi printer draws a 96 dpi picture 12.5 times
    // larger); the page's coordinates are already device pixels of the
    // paper, so that factor is taken out again.
    const QPaintDevice *device = painter.device();
    const qreal dpiX = device && device->logicalDpiX() > 0 ? qreal(device->logicalDpiX()) / page.logicalDpiX() : 1.0;
    const qreal dpiY = device && device->logicalDpiY() > 0 ? qreal(device->logicalDpiY()) / page.logicalDpiY() : 1.0;
    painter.save();
    // A page starts as a printer's painter does: black pen, no brush, the
    // default font. A widget's painter would start in its palette's colours
    // (white text over a dark scroll box), and a picture that never set a
    // pen would then draw white on the white sheet.
    painter.setPen(QPen());
    painter.setBrush(Qt::NoBrush);
    painter.setFont(QFont());
    painter.translate(target.topLeft());
    painter.scale(target.width() / source.width() / dpiX, target.height() / source.height() / dpiY);
    painter.drawPicture(0, 0, page);
    painter.restore();
}

PageView::PageView(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PageView::setPageSize(const QSize &size)
{
    m_pageSize = size;
    update();
}

void PageView::setPage(int index, std::optional<QPicture> picture)
{
    m_index = index;
    m_picture = std::move(picture);
    update();
}

void PageView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (!m_picture)
        return;
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    painter.setClipRect(rect());
    drawPage(painter, *m_picture, m_pageSize, rect());
}

void PageView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton)
        emit resetZoomRequested();
    QWidget::mousePressEvent(event);
}

Preview2::Preview2(QWidget *preview)
    : QWidget(preview, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("Preview2"));
    setWindowTitle(QStringLiteral("next page"));

    m_scrollBox = new QScrollArea(this);
    m_scrollBox->setObjectName(QStringLiteral("ScrollBox1"));
    m_scrollBox->setFrameShape(QFrame::NoFrame);
    m_scrollBox->setBackgroundRole(QPalette::Dark);
    m_image = new PageView;
    m_image->setObjectName(QStringLiteral("Image1"));
    m_scrollBox->setWidget(m_image);

    m_panel = new QFrame(this);
    m_panel->setObjectName(QStringLiteral("Panel1"));
    static_cast<QFrame *>(m_panel)->setFrameStyle(QFrame::Panel | QFrame::Raised);
    QFont small = m_panel->font();
    small.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("Helvetica")});
    small.setStyleHint(QFont::SansSerif);
    small.setPixelSize(11);
    m_panel->setFont(small);

    m_pageLabel = new QLabel(QStringLiteral("Page number:"), m_panel);
    m_pageLabel->setObjectName(QStringLiteral("Label4"));
    m_pageLabel->move(8, 8);
    m_pageNumber = new QLabel(m_panel);
    m_pageNumber->setObjectName(QStringLiteral("Label5"));
    m_pageNumber->setToolTip(QStringLiteral("Actual page number (second window)"));
    QFont bold = small;
    bold.setBold(true);
    m_pageNumber->setFont(bold);
    QPalette teal = m_pageNumber->palette();
    teal.setColor(QPalette::WindowText, QColor(0, 128, 128));
    m_pageNumber->setPalette(teal);
    m_pageNumber->setGeometry(84, 8, 40, 16);

    for (QWidget *w : findChildren<QWidget *>())
        w->installEventFilter(this);
    installEventFilter(this);
}

void Preview2::setPageNumber(int number)
{
    m_pageLabel->setVisible(number > 0);
    m_pageNumber->setVisible(number > 0);
    m_pageNumber->setText(number > 0 ? QString::number(number).rightJustified(4) : QString());
}

bool Preview2::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && m_keyHandler) {
        m_keyHandler(static_cast<QKeyEvent *>(event));
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace print
