#include "editor/editorerror.h"
#include "editor/richeditor.h"
#include "editor/richeditorlines.h"
#include "testsupport.h"
#include "editor/textattributes.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

class TestStreaming : public QObject
{
    Q_OBJECT

private slots:
    void formatComesFromInputFormatNotExtension();
    void insertFromFileKeepsSurroundings();
    void freshLoadStartsUnmodifiedWithoutUndo();
    void progressPerBlock();
    void failuresThrowTheFixedMessages();
    void failedSaveKeepsTheOldFile();
    void textUnicodeAndSelectedInOut();
    void rtfRoundTripThroughFile();

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

void TestStreaming::freshLoadStartsUnmodifiedWithoutUndo()
{
    RichEditor editor;
    editor.setPlainText(QStringLiteral("old"));
    editor.setSelText(QStringLiteral("edit "));
    QVERIFY(editor.document()->isUndoAvailable());
    load(editor, "new text");
    QCOMPARE(editor.toPlainText(), QStringLiteral("new text"));
    QVERIFY(!editor.document()->isUndoAvailable());
    QVERIFY(!editor.document()->isModified());
    QCOMPARE(editor.selStart(), 0);
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
    connect(&editor, &RichEditor::saveProgress, this, [](qint64 pos, qint64) {
        if (pos > 0)
            throw std::runtime_error("cancelled");
    });
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, editor.saveToFile(path));
    QCOMPARE(testsupport::readFile(path), QByteArray("precious"));
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), before); // no temporary file left
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

void TestStreaming::rtfRoundTripThroughFile()
{
    RichEditor editor;
    editor.setPlainText(QStringLiteral("plain bold\fnext page"));
    editor.setSelection(6, 4);
    editor.selAttributes().setBold(true);
    editor.selAttributes().setUnderlineType(3);
    const QString path = m_dir.filePath(QStringLiteral("round.rtf"));
    editor.saveToFile(path);
    QVERIFY(testsupport::readFile(path).startsWith("{\\rtf"));

    RichEditor again;
    again.loadFromFile(path);
    QCOMPARE(again.toPlainText(), editor.toPlainText());
    again.setSelection(6, 4);
    QVERIFY(again.selAttributes().bold());
    QCOMPARE(again.selAttributes().underlineType(), 3);
    again.setSelection(0, 5);
    QVERIFY(!again.selAttributes().bold());
}

QTEST_MAIN(TestStreaming)
#include "tst_streaming.moc"
