#include "editor/richeditorlines.h"

#include "editor/editorerror.h"
#include "editor/richeditor.h"
#include "editor/textattributes.h"

#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

QString withParagraphBreaks(const QString &text)
{
    QString result = text;
    result.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    result.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return result;
}

QStringList splitLines(const QString &text)
{
    QStringList lines = withParagraphBreaks(text).split(QLatin1Char('\n'));
    if (lines.last().isEmpty())
        lines.removeLast(); // a final break ends the last line, it adds none
    return lines;
}

} // namespace

WideRichEditorStrings::WideRichEditorStrings(RichEditor &editor) : m_editor(editor)
{
}

// Lines are paragraphs (QTextBlocks), not the screen lines they wrap to:
// callers count and address entries of files, never layout rows.
int WideRichEditorStrings::count() const
{
    const QTextDocument *document = m_editor.document();
    const int blocks = document->blockCount();
    return document->lastBlock().length() <= 1 ? blocks - 1 : blocks;
}

QString WideRichEditorStrings::get(int index) const
{
    if (index < 0 || index >= count())
        return {};
    return m_editor.document()->findBlockByNumber(index).text();
}

void WideRichEditorStrings::ensureRoom(int replacing, qsizetype adding) const
{
    if (adding > m_editor.roomFor(replacing))
        throw EditorError(EditorError::lineInsertion());
}

void WideRichEditorStrings::put(int index, const QString &text)
{
    if (index < 0 || index >= count())
        return;
    const QTextBlock block = m_editor.document()->findBlockByNumber(index);
    if (!block.isValid())
        return;
    const QString line = withParagraphBreaks(text);
    const int oldLength = block.length() - 1;
    ensureRoom(oldLength, line.size());
    QTextCursor cursor(m_editor.document());
    cursor.setPosition(block.position());
    cursor.setPosition(block.position() + oldLength, QTextCursor::KeepAnchor);
    cursor.insertText(line);
}

void WideRichEditorStrings::insert(int index, const QString &text)
{
    if (index < 0)
        return;
    QTextDocument *document = m_editor.document();
    const QString line = withParagraphBreaks(text);
    int position;
    QString inserted;
    const QTextBlock block = document->findBlockByNumber(index);
    if (block.isValid()) {
        position = block.position();
        inserted = line + QLatin1Char('\n');
    } else {
        // Appending after a last line that has no paragraph end yet.
        const QTextBlock previous = index > 0 ? document->findBlockByNumber(index - 1) : QTextBlock();
        if (!previous.isValid() || previous.length() <= 1)
            return;
        position = previous.position() + previous.length() - 1;
        inserted = QLatin1Char('\n') + line;
    }
    ensureRoom(0, inserted.size());
    QTextCursor cursor(document);
    cursor.setPosition(position);
    cursor.insertText(inserted);
    if (cursor.position() != position + inserted.size())
        throw EditorError(EditorError::lineInsertion());
}

void WideRichEditorStrings::remove(int index)
{
    if (index < 0 || index >= count())
        return;
    const QTextBlock block = m_editor.document()->findBlockByNumber(index);
    if (!block.isValid())
        return;
    const int start = block.position();
    // The last line keeps the paragraph end before it.
    const int end = block.next().isValid() ? block.next().position()
                                           : block.position() + block.length() - 1;
    if (start == end)
        return;
    QTextCursor cursor(m_editor.document());
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

void WideRichEditorStrings::clear()
{
    m_editor.clear();
}

QStringList WideRichEditorStrings::toStringList() const
{
    QStringList lines;
    const int n = count();
    lines.reserve(n);
    QTextBlock block = m_editor.document()->begin();
    for (int i = 0; i < n; ++i, block = block.next())
        lines.append(block.text());
    return lines;
}

QString WideRichEditorStrings::text() const
{
    QString result;
    const QStringList lines = toStringList();
    for (const QString &line : lines)
        result += line + QLatin1Char('\n');
    return result;
}

void WideRichEditorStrings::setText(const QString &text)
{
    const QStringList lines = splitLines(text);
    qsizetype total = 0;
    for (const QString &line : lines)
        total += line.size() + 1;
    ensureRoom(m_editor.textLength(), total);

    beginUpdate();
    {
        // One textChanged() for the whole rebuild, from endUpdate().
        const QSignalBlocker quiet(&m_editor);
        m_editor.clear();
        if (!lines.isEmpty()) {
            QTextCursor cursor(m_editor.document());
            cursor.setCharFormat(m_editor.defAttributes().defaultFormat());
            cursor.insertText(lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
        }
        m_editor.setTextCursor(QTextCursor(m_editor.document()));
    }
    endUpdate();
}

void WideRichEditorStrings::addStrings(const QStringList &strings)
{
    qsizetype total = 0;
    for (const QString &line : strings)
        total += withParagraphBreaks(line).size() + 1;
    ensureRoom(0, total);

    beginUpdate();
    QTextCursor group(m_editor.document());
    group.beginEditBlock();
    try {
        for (const QString &line : strings)
            add(line);
    } catch (...) {
        group.endEditBlock();
        endUpdate();
        throw;
    }
    group.endEditBlock();
    endUpdate();
}

void WideRichEditorStrings::beginUpdate()
{
    if (m_updates++ == 0)
        m_editor.suspendPainting();
}

void WideRichEditorStrings::endUpdate()
{
    if (m_updates == 0)
        return;
    if (--m_updates == 0) {
        m_editor.resumePainting();
        emit m_editor.textChanged();
    }
}

int WideRichEditorStrings::language() const
{
    return m_editor.language();
}

void WideRichEditorStrings::setLanguage(int lcid)
{
    m_editor.setLanguage(lcid);
}

void WideRichEditorStrings::loadFromFile(const QString &fileName)
{
    m_editor.loadFromFile(fileName);
}

void WideRichEditorStrings::saveToFile(const QString &fileName)
{
    m_editor.saveToFile(fileName);
}

void WideRichEditorStrings::loadFromStream(QIODevice &device)
{
    m_editor.loadFromStream(device);
}

void WideRichEditorStrings::saveToStream(QIODevice &device)
{
    m_editor.saveToStream(device);
}

// --- the 8-bit face ---------------------------------------------------------

RichEditorStrings::RichEditorStrings(RichEditor &editor, WideRichEditorStrings &wide)
    : m_editor(editor), m_wide(wide)
{
}

QByteArray RichEditorStrings::get(int index) const
{
    return m_editor.toBytes(m_wide.get(index));
}

void RichEditorStrings::put(int index, const QByteArray &text)
{
    m_wide.put(index, m_editor.toWide(text));
}

void RichEditorStrings::insert(int index, const QByteArray &text)
{
    m_wide.insert(index, m_editor.toWide(text));
}

QByteArrayList RichEditorStrings::toList() const
{
    QByteArrayList result;
    const QStringList lines = m_wide.toStringList();
    result.reserve(lines.size());
    for (const QString &line : lines)
        result.append(m_editor.toBytes(line));
    return result;
}

QByteArray RichEditorStrings::text() const
{
    return m_editor.toBytes(m_wide.text());
}

void RichEditorStrings::setText(const QByteArray &text)
{
    m_wide.setText(m_editor.toWide(text));
}

void RichEditorStrings::addStrings(const QByteArrayList &strings)
{
    QStringList wide;
    wide.reserve(strings.size());
    for (const QByteArray &line : strings)
        wide.append(m_editor.toWide(line));
    m_wide.addStrings(wide);
}
