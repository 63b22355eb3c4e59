// The clipboard and drag and drop: RTF first, so formatting survives the
// trip to and from other word processors, then HTML, then plain text.
#include "editor/richeditor.h"

#include "richtext/documentio.h"
#include "richtext/rtfexport.h"
#include "richtext/rtfimport.h"

#include <QApplication>
#include <QMimeData>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

namespace {

// LibreOffice offers RTF under "text/richtext" as well.
const char *const rtfTypes[] = {"text/rtf", "application/rtf", "text/richtext"};

} // namespace

QMimeData *RichEditor::createMimeDataFromSelection() const
{
    auto *mime = new QMimeData;
    const QTextCursor cursor = textCursor();
    if (!cursor.hasSelection())
        return mime;
    const int from = cursor.selectionStart();
    const int to = cursor.selectionEnd();

    richtext::ExportOptions options;
    options.codePage = m_codePage;
    options.lcid = m_language;
    options.plainRtf = m_plainRtf;
    const QByteArray rtf = richtext::toRtf(*document(), from, to, options);
    mime->setData(QStringLiteral("text/rtf"), rtf);
    mime->setData(QStringLiteral("application/rtf"), rtf);
    mime->setHtml(QTextDocumentFragment(cursor).toHtml());
    mime->setText(richtext::plainText(*document(), from, to));
    return mime;
}

bool RichEditor::canInsertFromMimeData(const QMimeData *source) const
{
    if (!source)
        return false;
    for (const char *type : rtfTypes) {
        if (source->hasFormat(QLatin1String(type)))
            return true;
    }
    if (m_includeOle && source->hasUrls())
        return true;
    return QTextEdit::canInsertFromMimeData(source);
}

void RichEditor::insertFromMimeData(const QMimeData *source)
{
    if (!source || isReadOnly())
        return;
    // Files from a file manager become embedded objects (richeditorobjects.cpp).
    if (m_includeOle && insertFiles(source))
        return;
    QTextCursor cursor = textCursor();
    if (m_maxLength > 0 && roomFor(cursor.selectionEnd() - cursor.selectionStart()) == 0) {
        QApplication::beep();
        return;
    }

    richtext::ImportOptions options;
    options.defaultCodePage = m_codePage;
    options.plainRtf = m_plainRtf;

    cursor.beginEditBlock();
    const int start = cursor.selectionStart();
    bool inserted = false;
    if (acceptRichText()) {
        for (const char *type : rtfTypes) {
            const QByteArray data = source->data(QLatin1String(type));
            if (!data.isEmpty() && richtext::isRtf(data) && richtext::insertRtf(cursor, data, options)) {
                inserted = true;
                break;
            }
        }
        if (!inserted && source->hasHtml()) {
            cursor.insertFragment(QTextDocumentFragment::fromHtml(source->html(), document()));
            inserted = true;
        }
    }
    if (!inserted && source->hasText()) {
        QString text = source->text();
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        cursor.insertText(text);
        inserted = true;
    }
    if (inserted)
        cutToMaxLength(cursor, start, cursor.position());
    cursor.endEditBlock();

    if (!inserted) {
        QTextEdit::insertFromMimeData(source); // whatever else Qt knows
        return;
    }
    setTextCursor(cursor);
    ensureCursorVisible();
}

void RichEditor::cutToMaxLength(QTextCursor &cursor, int from, int to)
{
    if (m_maxLength <= 0)
        return;
    const int excess = textLength() - m_maxLength;
    if (excess <= 0)
        return;
    cursor.setPosition(qMax(from, to - excess));
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}
