// Reading and writing whole documents: streams, files and insertion.
#include "editor/richeditor.h"

#include "editor/editorerror.h"
#include "editor/textattributes.h"
#include "richtext/documentio.h"
#include "richtext/rtfexport.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTextCursor>
#include <QTextDocument>

namespace {

// Data moves in blocks of this size; progress is reported per block.
constexpr qint64 blockSize = 4096;

// How long a pipe or socket may stay silent before the data counts as ended.
constexpr int sequentialWaitMs = 30000;

// Unicode input is UTF-16 little-endian; a byte-order mark, when there is
// one, decides the order instead.
QString decodeUtf16(const QByteArray &bytes)
{
    QByteArrayView data(bytes);
    bool bigEndian = false;
    if (data.startsWith("\xFF\xFE")) {
        data = data.sliced(2);
    } else if (data.startsWith("\xFE\xFF")) {
        data = data.sliced(2);
        bigEndian = true;
    }
    QString text(data.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const auto lo = uchar(data[2 * i + (bigEndian ? 1 : 0)]);
        const auto hi = uchar(data[2 * i + (bigEndian ? 0 : 1)]);
        text[i] = QChar(char16_t(lo | (hi << 8)));
    }
    return text;
}

QByteArray encodeUtf16(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    for (const QChar ch : text) {
        bytes.append(char(ch.unicode() & 0xFF));
        bytes.append(char(ch.unicode() >> 8));
    }
    return bytes;
}

void insertText(QTextCursor &cursor, QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    cursor.insertText(text);
}

} // namespace

void RichEditor::loadFromStream(QIODevice &device)
{
    if (!device.isOpen() || !device.isReadable())
        throw EditorError(EditorError::failedToLoad());
    QByteArray data;
    char buffer[blockSize];
    for (;;) {
        emit loadProgress(device.pos(), device.size());
        const qint64 n = device.read(buffer, blockSize);
        if (n < 0)
            throw EditorError(EditorError::failedToLoad());
        if (n == 0) {
            if (device.isSequential() && device.waitForReadyRead(sequentialWaitMs))
                continue;
            break;
        }
        data.append(buffer, n);
    }
    readInto(data, m_inputFormat, m_selectedInOut || m_insertAtSelection);
}

void RichEditor::loadBytes(const QByteArray &bytes, InputFormat format)
{
    readInto(bytes, format, false);
}

void RichEditor::readInto(const QByteArray &data, InputFormat format, bool intoSelection)
{
    QTextCursor cursor;
    if (intoSelection) {
        cursor = textCursor();
    } else {
        QTextEdit::clear();
        cursor = QTextCursor(document());
        cursor.setCharFormat(m_defAttributes->defaultFormat());
    }

    richtext::ImportOptions options;
    options.defaultCodePage = m_codePage;
    options.plainRtf = m_plainRtf;

    cursor.beginEditBlock();
    switch (format) {
    case InputFormat::RTF: richtext::readDocumentBytes(cursor, data, options); break;
    case InputFormat::Text: richtext::insertPlainText(cursor, data, m_codePage); break;
    case InputFormat::Unicode: insertText(cursor, decodeUtf16(data)); break;
    }
    cursor.endEditBlock();

    if (intoSelection) {
        cursor.clearSelection();
        setTextCursor(cursor);
    } else {
        // A fresh document: nothing to undo into, nothing to save yet.
        document()->clearUndoRedoStacks();
        document()->setModified(false);
        setTextCursor(QTextCursor(document()));
    }
}

void RichEditor::saveToStream(QIODevice &device)
{
    if (!device.isOpen() || !device.isWritable())
        throw EditorError(EditorError::failedToSave());
    std::optional<TextRange> range;
    if (m_selectedInOut || m_insertAtSelection) {
        const QTextCursor cursor = textCursor();
        range = TextRange{cursor.selectionStart(), cursor.selectionEnd()};
    }
    const QByteArray data = bytes(m_outputFormat, range);
    for (qint64 done = 0; done < data.size();) {
        const qint64 n = device.write(data.constData() + done, qMin(blockSize, data.size() - done));
        if (n <= 0)
            throw EditorError(EditorError::failedToSave());
        done += n;
        emit saveProgress(device.pos(), device.size());
    }
}

QByteArray RichEditor::bytes(OutputFormat format, std::optional<TextRange> range) const
{
    const int length = textLength();
    const int from = range ? qBound(0, qMin(range->from, range->to), length) : 0;
    const int to = range ? qBound(0, qMax(range->from, range->to), length) : length;
    switch (format) {
    case OutputFormat::RTF:
    case OutputFormat::RTFNoObjs: {
        richtext::ExportOptions options;
        options.codePage = m_codePage;
        options.lcid = m_language;
        options.plainRtf = m_plainRtf;
        options.includeObjects = format == OutputFormat::RTF;
        if (from == 0 && to == textLength())
            return richtext::toRtf(*document(), options);
        return richtext::toRtf(*document(), from, to, options);
    }
    case OutputFormat::Text:
        return richtext::plainText(*document(), from, to).toUtf8();
    case OutputFormat::Textized:
        return richtext::plainText(*document(), from, to, true).toUtf8();
    case OutputFormat::Unicode:
        return encodeUtf16(richtext::plainText(*document(), from, to));
    }
    return {};
}

void RichEditor::loadFromFile(const QString &fileName)
{
    // Both registered kinds ("txt" and "rtf", and any other extension with
    // them) pass the bytes through unchanged: inputFormat() decides.
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        throw EditorError(QStringLiteral("Cannot open file \"%1\". %2")
                              .arg(QDir::toNativeSeparators(fileName), file.errorString()));
    }
    loadFromStream(file);
}

void RichEditor::saveToFile(const QString &fileName)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        throw EditorError(QStringLiteral("Cannot create file \"%1\". %2")
                              .arg(QDir::toNativeSeparators(fileName), file.errorString()));
    }
    saveToStream(file); // on a throw the temporary file is dropped, the old one stays
    if (!file.commit())
        throw EditorError(EditorError::failedToSave());
}

void RichEditor::insertFromFile(const QString &fileName)
{
    struct Flag
    {
        bool &flag;
        explicit Flag(bool &f) : flag(f) { flag = true; }
        ~Flag() { flag = false; }
    } atSelection(m_insertAtSelection);
    loadFromFile(fileName);
}
