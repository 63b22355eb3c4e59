#include "app/panearea.h"

#include "app/commanderror.h"
#include "editor/richeditor.h"

#include <QLabel>
#include <QProgressBar>

PaneArea::PaneArea(QWidget *parent)
    : QWidget(parent)
    , m_richEditEx1(new RichEditor(this))
    , m_richEditEx2(new RichEditor(this))
{
    setObjectName(QStringLiteral("PaneArea"));

    m_richEditEx1->setObjectName(QStringLiteral("RichEditEx1"));
    m_richEditEx1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_richEditEx1->setAutoUrlDetect(AutoUrlDetect::None);
    m_richEditEx1->setUrlColor(Qt::blue);
    m_richEditEx1->setUrlCursor(Qt::PointingHandCursor);
    m_richEditEx1->setLanguage(1033);
    m_richEditEx1->setInputFormat(InputFormat::RTF);
    m_richEditEx1->setOutputFormat(OutputFormat::RTF);
    m_richEditEx1->setIncludeOle(true);
    m_richEditEx1->setAllowInPlace(false);
    // Formatting with nothing selected is for the text typed next at the
    // caret, as in every word processor, not for the word around it.
    m_richEditEx1->setWordFormatting(false);

    m_richEditEx2->setObjectName(QStringLiteral("RichEditEx2"));
    m_richEditEx2->setLineWrapMode(QTextEdit::NoWrap);
    m_richEditEx2->setAutoUrlDetect(AutoUrlDetect::None);
    // Information files are read whatever they hold (RTF stays readable),
    // but the pane holds plain lines and stores them as plain text, so a
    // saved .INF file stays the heading/value list other tools can read.
    m_richEditEx2->setInputFormat(InputFormat::RTF);
    m_richEditEx2->setOutputFormat(OutputFormat::Text);

    // The document pane lies in front; both carry the visible flag.
    m_richEditEx1->raise();

    m_msgPanel1 = new QLabel(QStringLiteral("Please wait"), this);
    m_msgPanel1->setObjectName(QStringLiteral("msgpanel1"));
    m_msgPanel1->setAlignment(Qt::AlignCenter);
    m_msgPanel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    m_msgPanel1->setAutoFillBackground(true);
    QPalette lime = m_msgPanel1->palette();
    lime.setColor(QPalette::Window, QColor(0x00, 0xFF, 0x00));
    lime.setColor(QPalette::WindowText, Qt::black);
    m_msgPanel1->setPalette(lime);
    QFont waitFont(QStringLiteral("Modern"));
    waitFont.setStyleHint(QFont::Monospace);
    waitFont.setPixelSize(19);
    waitFont.setBold(true);
    m_msgPanel1->setFont(waitFont);
    m_msgPanel1->resize(349, 25);
    m_msgPanel1->hide();

    m_progressBar1 = new QProgressBar(this);
    m_progressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    m_progressBar1->setRange(0, 100);
    m_progressBar1->resize(525, 18);
    m_progressBar1->hide();
}

namespace {

// A hidden control cannot hold the focus. Qt may leave it on a hidden text
// edit (which declines to pass the focus on), so the pane tests do not
// count it there.
bool holdsFocus(const RichEditor *pane)
{
    return !pane->isHidden() && pane->hasFocus();
}

bool isActiveControl(const RichEditor *pane)
{
    return !pane->isHidden() && pane->window()->focusWidget() == pane;
}

} // namespace

RichEditor *PaneArea::templateFirstPane() const
{
    if (holdsFocus(m_richEditEx1) || isActiveControl(m_richEditEx1) || !m_richEditEx1->isHidden())
        return m_richEditEx1;
    return m_richEditEx2;
}

RichEditor *PaneArea::informationFirstPane() const
{
    if (holdsFocus(m_richEditEx2) || !m_richEditEx2->isHidden())
        return m_richEditEx2;
    return m_richEditEx1;
}

void PaneArea::showOnly(RichEditor *pane)
{
    RichEditor *other = pane == m_richEditEx1 ? m_richEditEx2 : m_richEditEx1;
    const bool hadFocus = other->hasFocus() || window()->focusWidget() == other;
    other->hide();
    pane->show();
    pane->raise();
    // A text edit keeps the focus when hidden (Tab is text to it, so it
    // never passes the focus on); typing would go into the hidden pane.
    if (hadFocus)
        pane->setFocus(Qt::OtherFocusReason);
    // The wait panel stays above whichever pane is shown.
    m_msgPanel1->raise();
}

void PaneArea::showAndFocus(Pane which)
{
    if (pane(which)->isHidden())
        showOnly(which);
    focusPane(pane(which));
}

void PaneArea::switchPanes()
{
    if (templateFirstPane() == m_richEditEx1) {
        showOnly(m_richEditEx2);
        focusPane(m_richEditEx2);
    } else {
        showOnly(m_richEditEx1);
        focusPane(m_richEditEx1);
    }
}

void PaneArea::focusPane(RichEditor *pane)
{
    if (pane->isHidden() || !pane->isEnabled())
        throw CommandError(CommandError::cannotFocus());
    pane->setFocus(Qt::OtherFocusReason);
}

void PaneArea::resizeEvent(QResizeEvent *)
{
    const QRect area = rect();
    m_richEditEx1->setGeometry(area);
    m_richEditEx2->setGeometry(area);
    m_msgPanel1->move((width() - m_msgPanel1->width()) / 2, (height() - m_msgPanel1->height()) / 2);
    m_progressBar1->move((width() - m_progressBar1->width()) / 2, m_msgPanel1->y() + m_msgPanel1->height() - 2);
}
