// Reading and writing whole documents: streams, files and insertion.
#include "editor/richeditor.h"

#include "editor/editorerror.h"
#include "editor/textattributes.h"
#include "richtext/documentio.h"
#include "richtext/rtfexport.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSaveFile>
#include <QTextCursor>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>
#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextLayout>

#include <functional>

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

// Lays out the rest of a document after its first screen, a few
// milliseconds at a time. Qt's own background layout doubles its step each
// time until it lays out hundreds of thousands of characters at once, which
// holds up the event loop for longer than a user waits for a key to show;
// so while this runs, Qt's timer ticks are taken from its layout and this
// steps instead, a few thousand characters at a time against a clock.
class BackgroundLayout : public QObject
{
public:
    static constexpr int stepMs = 25;
    static constexpr int chunk = 8000;

    explicit BackgroundLayout(QTextDocument *document)
        : QObject(document->documentLayout()), m_document(document)
    {
        setObjectName(name());
        parent()->installEventFilter(this);
        connect(&m_timer, &QTimer::timeout, this, &BackgroundLayout::step);
        m_timer.start(10);
    }

    // One run per document: a new load starts over.
    static void restart(QTextDocument *document)
    {
        delete document->documentLayout()->findChild<QObject *>(name(), Qt::FindDirectChildrenOnly);
        new BackgroundLayout(document);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        return watched == parent() && event->type() == QEvent::Timer;
    }

private:
    static QString name() { return QStringLiteral("backgroundLayout"); }

    void step()
    {
        QAbstractTextDocumentLayout *layout = m_document->documentLayout();
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < stepMs) {
            // A few thousand characters a call: each call walks the laid-out
            // frame from its start, so calls per paragraph would cost more
            // than the layout itself.
            const int end = m_document->characterCount();
            const QTextBlock block = m_document->findBlock(qMin(m_position + chunk, end - 1));
            if (!block.isValid() || m_position >= end) {
                finish(layout);
                return;
            }
            m_bottom = qMax(m_bottom, layout->blockBoundingRect(block).bottom());
            m_position = block.position() + qMax(1, block.length());
        }
        // A new size for the scroll bars (the view asks the layout for the
        // size laid out so far; documentSize() would lay out the rest at
        // once). Nothing needs repainting: a paint lays out what it shows.
        emit layout->documentSizeChanged(QSizeF(0, m_bottom));
    }

    void finish(QAbstractTextDocumentLayout *layout)
    {
        m_timer.stop();
        layout->removeEventFilter(this);
        // Qt's next tick finds nothing left to lay out and reports the
        // final size itself.
        deleteLater();
    }

    QTextDocument *m_document;
    QTimer m_timer;
    int m_position = 0;
    qreal m_bottom = 0;
};

// A fresh document is laid out the way Qt lays out a document it loads
// itself: the first screen at once, the rest a step at a time while the
// event loop runs. Qt does that only when one change covers the whole
// document, so the old text is cleared inside the same edit block as the
// import. And nothing may ask for a position far down before the first
// paint: a caret in the document would be carried along by the insertions
// (its anchor is, whatever it is told), and showing or repainting it would
// lay out everything up to the end in one go. So the editor holds no caret
// while the text goes in, and gets one at the start afterwards.
void readFresh(RichEditor &editor, const std::function<void(QTextCursor &)> &import)
{
    QTextDocument *doc = editor.document();
    struct Restore
    {
        RichEditor &editor;
        QTextDocument *doc;
        bool undo;
        QTextCursor block;
        ~Restore()
        {
            block.endEditBlock();
            doc->setUndoRedoEnabled(undo);
            // A fresh document: nothing to undo into, nothing to save yet.
            doc->clearUndoRedoStacks();
            doc->setModified(false);
            editor.setTextCursor(QTextCursor(doc));
            editor.viewport()->update();
        }
    } restore{editor, doc, doc->isUndoRedoEnabled(), QTextCursor(doc)};
    // Recording every insertion of a large file would only cost time and
    // memory: the history is dropped afterwards anyway.
    doc->setUndoRedoEnabled(false);
    restore.block.beginEditBlock();
    BackgroundLayout::restart(doc);
    editor.QTextEdit::clear();
    editor.setTextCursor(QTextCursor());
    QTextCursor cursor(doc);
    cursor.setCharFormat(editor.defAttributes().defaultFormat());
    import(cursor);
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
    richtext::ImportOptions options;
    options.defaultCodePage = m_codePage;
    options.plainRtf = m_plainRtf;
    const auto import = [&](QTextCursor &cursor) {
        switch (format) {
        case InputFormat::RTF: richtext::readDocumentBytes(cursor, data, options); break;
        case InputFormat::Text: richtext::insertPlainText(cursor, data, m_codePage); break;
        case InputFormat::Unicode: insertText(cursor, decodeUtf16(data)); break;
        }
    };
    if (!intoSelection) {
        readFresh(*this, import);
        return;
    }
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    import(cursor);
    cursor.endEditBlock();
    cursor.clearSelection();
    setTextCursor(cursor);
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
