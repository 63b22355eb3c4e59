#include "editor/richeditor.h"

#include "richtext/codepage.h"
#include "richtext/documentio.h"
#include "richtext/footnotes.h"
#include "richtext/listmarkers.h"
#include "richtext/paragraphdecor.h"
#include "richtext/textproperties.h"
#include "editor/blocksinview.h"
#include "editor/borderroomkeeper.h"
#include "editor/linkhighlighter.h"
#include "editor/paraattributes.h"
#include "editor/richeditorlines.h"
#include "editor/selectionbar.h"
#include "editor/textattributes.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <climits>

RichEditor::RichEditor(QWidget *parent) : QTextEdit(parent)
{
    m_selAttributes = std::make_unique<TextAttributes>(*this, TextAttributes::Kind::Selection);
    m_defAttributes = std::make_unique<TextAttributes>(*this, TextAttributes::Kind::Default);
    m_paragraph = std::make_unique<ParaAttributes>(*this);
    m_wideLines = std::make_unique<WideRichEditorStrings>(*this);
    m_lines = std::make_unique<RichEditorStrings>(*this, *m_wideLines);
    m_customUrls = UrlTypeList::defaults();
    new BorderRoomKeeper(document());
    m_highlighter = new LinkHighlighter(document());
    m_highlighter->setTypes(m_customUrls);
    m_highlighter->setUrlColor(m_urlColor);
    // Links report the mouse moving over them with no button held.
    viewport()->setMouseTracking(true);
    setLanguage(richtext::codepage::systemDefaultLcid());
    // The control's font is the document's default font, which the RTF
    // writer names; the desktop's font would make the same file save
    // differently here and in quorin-batch.
    setFont(richtext::standardFont());
    // Text typed right after a footnote's mark takes the mark's format, but
    // it is not part of the mark: kept on it, the text would be saved with
    // a second copy of the footnote.
    connect(this, &QTextEdit::currentCharFormatChanged, this, [this](const QTextCharFormat &format) {
        if (format.hasProperty(richtext::prop::Footnote) && !textCursor().hasSelection()) {
            QTextCharFormat typed = format;
            typed.clearProperty(richtext::prop::Footnote);
            setCurrentCharFormat(typed);
        }
    });
}

RichEditor::~RichEditor() = default;

// --- properties -------------------------------------------------------------

// A child widget is created when it is first shown; until then settings are
// only stored, as they are while a form is being read.
bool RichEditor::hasBeenShown() const
{
    return testAttribute(Qt::WA_WState_Created);
}

void RichEditor::setUndoLimit(int limit)
{
    m_undoLimit = qMax(0, limit);
    if (hasBeenShown())
        applyUndoLimit();
}

void RichEditor::applyUndoLimit()
{
    // Qt's undo stack has no depth of its own: on or off is what it offers.
    document()->setUndoRedoEnabled(m_undoLimit > 0);
}

void RichEditor::setShowSelectionBar(bool on)
{
    m_showSelectionBar = on;
    if (on && !m_selectionBar)
        m_selectionBar = new SelectionBar(this);
    setViewportMargins(on ? SelectionBar::barWidth : 0, 0, 0, 0);
    if (m_selectionBar) {
        m_selectionBar->setVisible(on);
        layoutSelectionBar();
    }
}

void RichEditor::layoutSelectionBar()
{
    if (!m_selectionBar)
        return;
    const QRect view = viewport()->geometry();
    m_selectionBar->setGeometry(view.left() - SelectionBar::barWidth, view.top(),
                                SelectionBar::barWidth, view.height());
}

void RichEditor::setLanguage(int lcid)
{
    m_language = lcid & 0xFFFF;
    m_codePage = richtext::codepage::forLcid(m_language);
}

QString RichEditor::toWide(QByteArrayView bytes) const
{
    return richtext::codepage::toUnicode(bytes, m_codePage);
}

QByteArray RichEditor::toBytes(QStringView text) const
{
    return richtext::codepage::fromUnicode(text, m_codePage);
}

int RichEditor::roomFor(int replacing) const
{
    if (m_maxLength <= 0)
        return INT_MAX;
    return qMax(0, m_maxLength - (textLength() - replacing));
}

// --- text and selection -----------------------------------------------------

int RichEditor::textLength() const
{
    return document()->characterCount() - 1; // without the final paragraph end
}

int RichEditor::selStart() const
{
    return textCursor().selectionStart();
}

int RichEditor::selLength() const
{
    const QTextCursor cursor = textCursor();
    return cursor.selectionEnd() - cursor.selectionStart();
}

void RichEditor::setSelection(int start, int length)
{
    const int n = textLength();
    start = qBound(0, start, n);
    const int end = int(qMin<qint64>(qint64(start) + qMax(0, length), n));
    QTextCursor cursor(document());
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

QString RichEditor::selText() const
{
    QString text = textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

void RichEditor::setSelText(const QString &text)
{
    QString insert = text;
    insert.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    insert.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QTextCursor cursor = textCursor();
    insert.truncate(roomFor(cursor.selectionEnd() - cursor.selectionStart()));
    cursor.insertText(insert);
    setTextCursor(cursor);
}

void RichEditor::clear()
{
    closeObjects();
    QTextEdit::clear();
    setCurrentCharFormat(m_defAttributes->defaultFormat());
}

// --- search -----------------------------------------------------------------

namespace {

bool isWordChar(QChar ch)
{
    return ch.isLetterOrNumber() || ch == QLatin1Char('_');
}

bool isWholeWord(const QString &text, qsizetype at, qsizetype length)
{
    if (at > 0 && isWordChar(text.at(at - 1)))
        return false;
    const qsizetype after = at + length;
    return after >= text.size() || !isWordChar(text.at(after));
}

} // namespace

int RichEditor::findText(const QString &text, int startPos, int length, FindOptions options) const
{
    if (text.isEmpty())
        return -1;
    // The raw text has one character per document position, paragraph ends
    // included (as U+2029).
    const QString haystack = document()->toRawText();
    QString needle = text;
    needle.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    needle.replace(QLatin1Char('\r'), QChar::ParagraphSeparator);
    needle.replace(QLatin1Char('\n'), QChar::ParagraphSeparator);

    const qsizetype size = haystack.size();
    const qsizetype start = qBound<qsizetype>(0, qsizetype(startPos), size);
    const bool backward = options.testFlag(FindOption::Backward);
    qsizetype lo, hi; // the match must lie within [lo, hi]
    if (backward) {
        hi = start;
        lo = length > 0 ? qMax<qsizetype>(0, start - length) : 0;
    } else {
        lo = start;
        hi = length > 0 ? qMin<qsizetype>(size, start + qsizetype(length)) : size;
    }
    const Qt::CaseSensitivity cs =
        options.testFlag(FindOption::MatchCase) ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const bool wholeWord = options.testFlag(FindOption::WholeWord);
    const qsizetype n = needle.size();

    if (!backward) {
        for (qsizetype from = lo; from + n <= hi;) {
            const qsizetype at = haystack.indexOf(needle, from, cs);
            if (at < 0 || at + n > hi)
                return -1;
            if (!wholeWord || isWholeWord(haystack, at, n))
                return int(at);
            from = at + 1;
        }
        return -1;
    }
    for (qsizetype from = hi - n; from >= lo;) {
        const qsizetype at = haystack.lastIndexOf(needle, from, cs);
        if (at < lo)
            return -1;
        if (!wholeWord || isWholeWord(haystack, at, n))
            return int(at);
        from = at - 1;
    }
    return -1;
}

// --- redraw lock ------------------------------------------------------------

void RichEditor::suspendPainting()
{
    if (m_paintSuspended++ == 0)
        viewport()->setUpdatesEnabled(false);
}

void RichEditor::resumePainting()
{
    if (m_paintSuspended == 0)
        return;
    if (--m_paintSuspended == 0) {
        viewport()->setUpdatesEnabled(true);
        viewport()->update();
    }
}

int RichEditor::firstVisiblePosition() const
{
    return cursorForPosition(QPoint(0, 0)).position();
}

void RichEditor::scrollToLineOf(int position)
{
    const QTextBlock block = document()->findBlock(qBound(0, position, textLength()));
    const QTextLayout *layout = block.layout();
    if (!block.isValid() || !layout)
        return;
    const QTextLine line = layout->lineForTextPosition(position - block.position());
    const qreal blockTop = document()->documentLayout()->blockBoundingRect(block).top();
    const int top = int(blockTop + (line.isValid() ? line.y() : 0));
    const int bottom = int(blockTop + (line.isValid() ? line.y() + line.height() : 0));
    QScrollBar *bar = verticalScrollBar();
    // Keep a scroll offset that already shows the line on top; the scroll
    // bar's range bounds the rest (a document that became too short).
    if (bar->value() < top || bar->value() >= bottom)
        bar->setValue(top);
}

void RichEditor::lockRedraw()
{
    // Only the outermost lock saves the view: inner ones would save a state
    // the outer caller is in the middle of changing.
    if (m_redrawLock++ == 0) {
        const QTextCursor cursor = textCursor();
        m_savedSelStart = cursor.selectionStart();
        m_savedSelLength = cursor.selectionEnd() - cursor.selectionStart();
        m_savedTopPosition = firstVisiblePosition();
        m_savedScroll = verticalScrollBar()->value();
        suspendPainting();
    }
}

void RichEditor::unlockRedraw()
{
    if (m_redrawLock == 0 || --m_redrawLock > 0)
        return;
    setSelection(m_savedSelStart, m_savedSelLength);
    verticalScrollBar()->setValue(m_savedScroll);
    scrollToLineOf(m_savedTopPosition);
    resumePainting();
}

// --- events -----------------------------------------------------------------

void RichEditor::keyPressEvent(QKeyEvent *event)
{
    if (m_maxLength > 0 && !isReadOnly()) {
        int typed = 0;
        const QString text = event->text();
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
            typed = 1;
        else if (!text.isEmpty() && (text.at(0).isPrint() || text.at(0) == QLatin1Char('\t')))
            typed = int(text.size());
        if (typed > 0 && typed > roomFor(selLength())) {
            QApplication::beep();
            event->accept();
            return;
        }
    }
    QTextEdit::keyPressEvent(event);
}

void RichEditor::inputMethodEvent(QInputMethodEvent *event)
{
    const int room = roomFor(selLength());
    if (m_maxLength > 0 && event->commitString().size() > room) {
        QInputMethodEvent cut(event->preeditString(), event->attributes());
        cut.setCommitString(event->commitString().left(room), event->replacementStart(),
                            event->replacementLength());
        QTextEdit::inputMethodEvent(&cut);
        return;
    }
    QTextEdit::inputMethodEvent(event);
}

void RichEditor::changeEvent(QEvent *event)
{
    QTextEdit::changeEvent(event);
    // The control's font is the document's default character format.
    if (event->type() == QEvent::FontChange)
        m_defAttributes->assign(font());
}

void RichEditor::resizeEvent(QResizeEvent *event)
{
    QTextEdit::resizeEvent(event);
    layoutSelectionBar();
}

namespace {

// The text of the footnote whose mark holds `position`, empty when none.
QString footnoteAt(const QTextDocument &document, int position)
{
    const QTextBlock block = document.findBlock(position);
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (position < fragment.position() || position >= fragment.position() + fragment.length())
            continue;
        const auto note = richtext::footnoteOf(fragment.charFormat());
        return note ? richtext::footnoteText(*note, fragment.text()).trimmed() : QString();
    }
    return {};
}

} // namespace

bool RichEditor::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        const QPointF scrolled(horizontalScrollBar()->value(), verticalScrollBar()->value());
        const int position = document()->documentLayout()->hitTest(help->pos() + scrolled, Qt::ExactHit);
        const QString note = position >= 0 ? footnoteAt(*document(), position) : QString();
        if (!note.isEmpty()) {
            QToolTip::showText(help->globalPos(), note, viewport());
            return true;
        }
    }
    return QTextEdit::viewportEvent(event);
}

void RichEditor::paintEvent(QPaintEvent *event)
{
    QTextEdit::paintEvent(event);
    QPainter painter(viewport());
    const QPointF scrolled(horizontalScrollBar()->value(), verticalScrollBar()->value());
    painter.translate(-scrolled);
    const QRectF clip = QRectF(event->rect()).translated(scrolled);
    const QColor text = viewport()->palette().color(QPalette::Text);
    // Only the blocks in view: walking every list item of a long document
    // on each paint, or hit-testing it from its start, costs more than the
    // paint. A box the range cuts is cut outside the clip, which the
    // painter keeps to.
    const auto [first, end] = blocksInView(*document(), clip);
    richtext::paintListMarkers(painter, *document(), clip, text, first, end);
    // Borders, shading and tab leaders.
    richtext::paintParagraphDecor(painter, *document(), clip, text, first, end);
}
