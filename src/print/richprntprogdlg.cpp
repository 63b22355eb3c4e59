#include "print/richprntprogdlg.h"

#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace print {

RichPrntProgDlg::RichPrntProgDlg(QWidget *parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("RichPrntProgDlg"));
    setWindowTitle(QStringLiteral("Print Progress"));
    setWindowModality(Qt::ApplicationModal);

    auto *bevel = new QFrame(this);
    bevel->setObjectName(QStringLiteral("Bevel"));
    bevel->setFrameShape(QFrame::Box);
    bevel->setFrameShadow(QFrame::Sunken);

    m_status = new QLabel(bevel);
    m_status->setObjectName(QStringLiteral("lblStatus"));
    m_title = new QLabel(bevel);
    m_title->setObjectName(QStringLiteral("lblTitle"));
    // A long title must not widen the window past the screen.
    m_title->setMinimumWidth(1);
    m_title->setTextFormat(Qt::PlainText);
    auto *pageDesc = new QLabel(QStringLiteral("Page Number:"), bevel);
    pageDesc->setObjectName(QStringLiteral("lblPageNumDesc"));
    m_pageNumber = new QLabel(bevel);
    m_pageNumber->setObjectName(QStringLiteral("lblPageNumber"));
    m_cancel = new QPushButton(QStringLiteral("Cancel"), bevel);
    m_cancel->setObjectName(QStringLiteral("btnCancel"));
    m_cancel->setAutoDefault(false);

    auto *grid = new QGridLayout(bevel);
    grid->setContentsMargins(8, 6, 8, 6);
    grid->setVerticalSpacing(2);
    grid->addWidget(m_status, 0, 0, 1, 3);
    grid->addWidget(m_title, 1, 0, 1, 3);
    grid->addWidget(pageDesc, 2, 0);
    grid->addWidget(m_pageNumber, 2, 1);
    grid->addWidget(m_cancel, 2, 2, Qt::AlignRight);
    grid->setColumnStretch(1, 1);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(4, 4, 4, 4);
    outer->addWidget(bevel);

    connect(m_cancel, &QPushButton::clicked, this, &RichPrntProgDlg::requestCancel);

    resize(284, 85);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
}

void RichPrntProgDlg::showStatus(const QString *status, const QString &title, unsigned pageNumber)
{
    if (status)
        m_status->setText(*status);
    m_title->setText(title);
    m_pageNumber->setText(QString::number(pageNumber));
    if (isVisible())
        repaint();
}

QString RichPrntProgDlg::status() const
{
    return m_status->text();
}

QString RichPrntProgDlg::title() const
{
    return m_title->text();
}

QString RichPrntProgDlg::pageNumber() const
{
    return m_pageNumber->text();
}

void RichPrntProgDlg::reject()
{
    requestCancel();
}

void RichPrntProgDlg::requestCancel()
{
    if (m_cancelled)
        return;
    m_cancelled = true;
    m_cancel->setEnabled(false);
    emit cancelClicked();
}

} // namespace print
