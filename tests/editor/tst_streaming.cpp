#include "editor/editorerror.h"
#include "editor/richeditor.h"
#include "editor/richeditorlines.h"
#include "testsupport.h"
#include "editor/textattributes.h"

#include "richtext/documentio.h"
#include "richtext/rtfexport.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

class TestStreaming : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void windowAndHeadlessGiveTheSameRtf_data() { testsupport::addCorpusRows(); }
    void windowAndHeadlessGiveTheSameRtf();
    void formatComesFromInputFormatNotExtension();
    void insertFromFileKeepsSurroundings();
    void bytesAndLoadBytesLeaveThePropertiesAlone();
    void progressPerBlock();
    void failuresThrowTheFixedMessages();
    void failedSaveKeepsTheOldFile();
    void textUnicodeAndSelectedInOut();

private:
    QString write(const QString &name, const QByteArray &data)
    {
        QFile file(m_dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly))
            return {};
        file.write(data);
        return file.fileName();
    }

    QTemporaryDir m_dir;
};

namespace {

QByteArray saved(RichEditor &editor)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    editor.saveToStream(buffer);
    return buffer.data();
}

void load(RichEditor &editor, const QByteArray &data)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    editor.loadFromStream(buffer);
}

} // namespace

void TestStreaming::initTestCase()
{
    // A desktop font nothing should pick up: files must not depend on it.
    QApplication::setFont(QFont(QStringLiteral("Monospace"), 17, QFont::Bold));
}

// The window saves what the editor holds; quorin-batch reads the same file
// into a bare document. Both must write the same bytes.
void TestStreaming::windowAndHeadlessGiveTheSameRtf()
{
    QFETCH(QString, path);
    if (path.isEmpty())
        QSKIP("the RTF corpus is not there");
    const QByteArray input = testsupport::readFile(path);

    RichEditor editor;
    editor.loadBytes(input, InputFormat::RTF);
    const QByteArray fromEditor = editor.bytes(OutputFormat::RTF);

    QTextDocument document;
    document.setDefaultFont(richtext::standardFont());
    QTextCursor cursor(&document);
    richtext::ImportOptions importOptions;
    importOptions.defaultCodePage = editor.codePage();
    importOptions.plainRtf = editor.plainRtf();
    richtext::readDocumentBytes(cursor, input, importOptions);
    richtext::ExportOptions exportOptions;
    exportOptions.codePage = editor.codePage();
    exportOptions.lcid = editor.language();
    exportOptions.plainRtf = editor.plainRtf();
    const QByteArray headless = richtext::toRtf(document, exportOptions);

    QCOMPARE(fromEditor, headless);
}

void TestStreaming::formatComesFromInputFormatNotExtension()
{
    const QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 plain {\\b bold}\\par two\\par}";
    for (const char *name : {"a.rtf", "a.txt", "a.QrZ", "noextension"}) {
        RichEditor editor;
        editor.loadFromFile(write(QString::fromLatin1(name), rtf));
        QCOMPARE(editor.wideLines().toStringList(), (QStringList{"plain bold", "two"}));
        editor.setSelection(6, 4);
        QVERIFY(editor.selAttributes().bold());
        QCOMPARE(editor.selAttributes().size(), 12);
    }
    // Plain text read with the RTF format falls back to text, unformatted,
    // and loading is not cut short by maxLength.
    RichEditor editor;
    editor.setMaxLength(5);
    editor.lines().loadFromFile(write(QStringLiteral("plain.rtf"), "Hello\nWorld\n"));
    QCOMPARE(editor.wideLines().toStringList(), (QStringList{"Hello", "World"}));
    editor.selectAll();
    QVERIFY(!editor.selAttributes().bold() && !editor.selAttributes().color().isValid());
}

void TestStreaming::insertFromFileKeepsSurroundings()
{
    RichEditor editor;
    editor.setPlainText(QStringLiteral("before after"));
    editor.setSelection(7, 0);
    editor.insertFromFile(write(QStringLiteral("frag.rtf"), "{\\rtf1\\ansi {\\b MIDDLE}}"));
    QCOMPARE(editor.toPlainText(), QStringLiteral("before MIDDLEafter"));
    QCOMPARE(editor.selStart(), 13); // the caret after the inserted text
    editor.setSelection(7, 6);
    QVERIFY(editor.selAttributes().bold());
    editor.setSelection(0, 7);
    QVERIFY(!editor.selAttributes().bold());
    editor.setSelection(13, 5);
    QVERIFY(!editor.selAttributes().bold());
    QVERIFY(editor.document()->isModified());
    editor.undo(); // one step
    QCOMPARE(editor.toPlainText(), QStringLiteral("before after"));

    // A selection is replaced; a later load replaces the document again.
    editor.setSelection(0, 6);
    editor.insertFromFile(write(QStringLiteral("piece.txt"), "AFTER"));
    QCOMPARE(editor.toPlainText(), QStringLiteral("AFTER after"));
    editor.loadFromFile(write(QStringLiteral("whole.txt"), "whole"));
    QCOMPARE(editor.toPlainText(), QStringLiteral("whole"));
}

void TestStreaming::bytesAndLoadBytesLeaveThePropertiesAlone()
{
    RichEditor editor;
    editor.setSelectedInOut(true);
    editor.setInputFormat(InputFormat::Unicode);
    editor.setOutputFormat(OutputFormat::Unicode);
    editor.setPlainText(QStringLiteral("old"));
    editor.setSelText(QStringLiteral("edit "));
    QVERIFY(editor.document()->isUndoAvailable());

    // A whole new document in the format asked for, whatever the properties say.
    editor.loadBytes("{\\rtf1 one {\\b two}\\par three}", InputFormat::RTF);
    QCOMPARE(editor.toPlainText(), QStringLiteral("one two\nthree"));
    QVERIFY(!editor.document()->isUndoAvailable());
    QVERIFY(!editor.document()->isModified());
    QCOMPARE(editor.selStart(), 0);

    editor.setSelection(4, 3);
    QCOMPARE(editor.bytes(OutputFormat::Text), QByteArray("one two\nthree"));
    QCOMPARE(editor.bytes(OutputFormat::Text, TextRange{4, 7}), QByteArray("two"));
    QCOMPARE(editor.bytes(OutputFormat::Text, TextRange{7, 4}), QByteArray("two"));
    const QByteArray rtf = editor.bytes(OutputFormat::RTF, TextRange{4, 7});
    QVERIFY(rtf.endsWith("two}\r\n") && !rtf.contains("one"));
    QCOMPARE(editor.inputFormat(), InputFormat::Unicode);
    QCOMPARE(editor.outputFormat(), OutputFormat::Unicode);
    QVERIFY(editor.selectedInOut());
    QCOMPARE(editor.selLength(), 3);
    QCOMPARE(saved(editor), QByteArray("t\0w\0o\0", 6)); // the stream still follows them
}

void TestStreaming::progressPerBlock()
{
    RichEditor editor;
    editor.setOutputFormat(OutputFormat::Text);
    editor.setPlainText(QString(10000, QLatin1Char('z')));
    QSignalSpy saving(&editor, &RichEditor::saveProgress);
    const QByteArray data = saved(editor);
    QCOMPARE(saving.count(), 3); // 4096 + 4096 + 1808 bytes
    QCOMPARE(saving.at(0).at(0).toLongLong(), 4096);
    QCOMPARE(saving.last(), (QVariantList{qint64(10000), qint64(10000)}));

    QSignalSpy loaded(&editor, &RichEditor::loadProgress);
    load(editor, data);
    QCOMPARE(loaded.count(), 4); // before each block and before the end
    QCOMPARE(loaded.at(0), (QVariantList{qint64(0), qint64(10000)}));
    QCOMPARE(loaded.at(1).at(0).toLongLong(), 4096);
    QCOMPARE(loaded.last().at(0).toLongLong(), 10000);
    QCOMPARE(editor.textLength(), 10000);
}

void TestStreaming::failuresThrowTheFixedMessages()
{
    RichEditor editor;
    editor.setPlainText(QString(10000, QLatin1Char('q')));
    testsupport::FailingDevice failing(5000);
    failing.open(QIODevice::WriteOnly);
    try {
        editor.saveToStream(failing);
        QFAIL("no error");
    } catch (const EditorError &error) {
        QCOMPARE(error.message(), QStringLiteral("Failed to Save Stream"));
    }
    QBuffer closed;
    try {
        editor.loadFromStream(closed);
        QFAIL("no error");
    } catch (const EditorError &error) {
        QCOMPARE(error.message(), QStringLiteral("Failed to Load Stream"));
    }
    QCOMPARE(editor.textLength(), 10000); // a failed load leaves the document alone
    QVERIFY_THROWS_EXCEPTION(EditorError, editor.loadFromFile(m_dir.filePath(QStringLiteral("missing"))));
    QVERIFY_THROWS_EXCEPTION(EditorError, editor.saveToFile(m_dir.filePath(QStringLiteral("no/dir/x"))));
}

void TestStreaming::failedSaveKeepsTheOldFile()
{
    const QString path = write(QStringLiteral("keep.txt"), "precious");
    const QStringList before = QDir(m_dir.path()).entryList(QDir::Files);
    RichEditor editor;
    editor.setOutputFormat(OutputFormat::Text);
    editor.setPlainText(QString(20000, QLatin1Char('n')));
    // The save breaks off after its first block (a full disk, or a progress
    // handler that cancels).
    const auto cancel = connect(&editor, &RichEditor::saveProgress, this, [](qint64 pos, qint64) {
        if (pos > 0)
            throw std::runtime_error("cancelled");
    });
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, editor.saveToFile(path));
    QCOMPARE(testsupport::readFile(path), QByteArray("precious"));
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), before); // no temporary file left
    disconnect(cancel);
    editor.saveToFile(path);
    QCOMPARE(testsupport::readFile(path), QByteArray(20000, 'n'));
}

void TestStreaming::textUnicodeAndSelectedInOut()
{
    RichEditor editor;
    editor.wideLines().setText(QString::fromUtf8("Привет\nwörld\f"));
    editor.setOutputFormat(OutputFormat::Text);
    QCOMPARE(saved(editor), QString::fromUtf8("Привет\nwörld\f\n").toUtf8());

    editor.setOutputFormat(OutputFormat::Unicode);
    const QByteArray wide = saved(editor);
    QCOMPARE(wide.left(2), QByteArray("\x1F\x04", 2)); // П, little-endian
    RichEditor reader;
    reader.setInputFormat(InputFormat::Unicode);
    load(reader, wide);
    QCOMPARE(reader.wideLines().toStringList(), editor.wideLines().toStringList());

    // Only the selection goes out, and in.
    reader.setPlainText(QStringLiteral("keep THIS keep"));
    reader.setSelectedInOut(true);
    reader.setOutputFormat(OutputFormat::Text);
    reader.setSelection(5, 4);
    QCOMPARE(saved(reader), QByteArray("THIS"));
    reader.setInputFormat(InputFormat::Text);
    load(reader, "that");
    QCOMPARE(reader.toPlainText(), QStringLiteral("keep that keep"));
}

QTEST_MAIN(TestStreaming)
#include "tst_streaming.moc"
