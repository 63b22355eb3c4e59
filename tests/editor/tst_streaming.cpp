#include "editor/editorerror.h"
#include "editor/richeditor.h"
#include "editor/richeditorlines.h"
#include "editor/textattributes.h"
#include "richtext/documentio.h"
#include "richtext/rtfexport.h"
#include "testsupport.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

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

// A document long enough that laying all of it out takes many screens:
// paragraphs, bullet items (whose markers the editor paints itself) and a
// table now and then.
QByteArray longDocument(InputFormat format, int paragraphs)
{
    QByteArray out;
    if (format != InputFormat::RTF) {
        for (int i = 0; i < paragraphs; ++i)
            out += "Paragraph " + QByteArray::number(i) + " of a long plain text file.\r\n";
        if (format == InputFormat::Unicode) {
            const QString text = QString::fromLatin1(out);
            return QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
        }
        return out;
    }
    out = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard\\f0\\fs20 ";
    for (int i = 0; i < paragraphs; ++i) {
        if (i % 50 == 49) {
            out += "\\trowd\\cellx3000\\cellx6000\\pard\\intbl a\\cell b\\cell\\row\\pard ";
        } else if (i % 10 < 3) {
            out += "{\\pntext\\'B7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'B7}}\\fi-360\\li360 Item "
                   + QByteArray::number(i) + "\\par\\pard ";
        } else {
            out += "Paragraph " + QByteArray::number(i) + " of a long document.\\par ";
        }
    }
    return out + "End\\par}";
}

bool laidOut(const QTextBlock &block)
{
    return block.layout() && block.layout()->lineCount() > 0;
}

QString errorOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const EditorError &error) {
        return error.message();
    }
    return QStringLiteral("no error");
}

} // namespace

class TestStreaming : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString write(const QString &name, const QByteArray &data)
    {
        QFile file(m_dir.filePath(name));
        return file.open(QIODevice::WriteOnly) && file.write(data) == data.size() ? file.fileName() : QString();
    }

private slots:
    void initTestCase()
    {
        // A desktop font nothing should pick up: files must not depend on it.
        QApplication::setFont(QFont(QStringLiteral("Monospace"), 17, QFont::Bold));
    }

    // The window saves what the editor holds; quorin-batch reads the same file
    // into a bare document. Both must write the same bytes.
    void windowAndHeadlessGiveTheSameRtf_data() { testsupport::addCorpusRows(); }
    void windowAndHeadlessGiveTheSameRtf()
    {
        QFETCH(QString, path);
        if (path.isEmpty())
            QSKIP("the RTF corpus is not there");
        const QByteArray input = testsupport::readFile(path);
        RichEditor editor;
        editor.loadBytes(input, InputFormat::RTF);

        QTextDocument document;
        document.setDefaultFont(richtext::standardFont());
        QTextCursor cursor(&document);
        richtext::readDocumentBytes(cursor, input, {editor.codePage(), editor.plainRtf()});
        QCOMPARE(editor.bytes(OutputFormat::RTF),
                 richtext::toRtf(document, {editor.codePage(), editor.language(), editor.plainRtf()}));
    }

    void formatComesFromInputFormatNotExtension()
    {
        const QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 plain {\\b bold}\\par two\\par}";
        for (const char *name : {"a.rtf", "a.txt", "a.QrZ", "noextension"}) {
            RichEditor editor;
            editor.loadFromFile(write(QString::fromLatin1(name), rtf));
            QCOMPARE(editor.wideLines().toStringList(), (QStringList{"plain bold", "two"}));
            editor.setSelection(6, 4);
            QVERIFY(editor.selAttributes().bold());
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

    void insertFromFileKeepsSurroundings()
    {
        RichEditor editor;
        editor.setPlainText(QStringLiteral("before after"));
        editor.setSelection(7, 0);
        editor.insertFromFile(write(QStringLiteral("frag.rtf"), "{\\rtf1\\ansi {\\b MIDDLE}}"));
        QCOMPARE(editor.toPlainText(), QStringLiteral("before MIDDLEafter"));
        QCOMPARE(editor.selStart(), 13); // the caret after the inserted text
        for (const auto &[start, length, bold] : {std::tuple{7, 6, true}, {0, 7, false}, {13, 5, false}}) {
            editor.setSelection(start, length);
            QCOMPARE(editor.selAttributes().bold(), bold);
        }
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

    void bytesIgnoreThePropertiesAndStreamsFollowThem()
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
        QVERIFY(!editor.document()->isUndoAvailable() && !editor.document()->isModified());
        QCOMPARE(editor.selStart(), 0);
        editor.setSelection(4, 3);
        QCOMPARE(editor.bytes(OutputFormat::Text), QByteArray("one two\nthree"));
        QCOMPARE(editor.bytes(OutputFormat::Text, TextRange{7, 4}), QByteArray("two"));
        const QByteArray rtf = editor.bytes(OutputFormat::RTF, TextRange{4, 7});
        QVERIFY(rtf.endsWith("two}\r\n") && !rtf.contains("one"));
        QVERIFY(editor.inputFormat() == InputFormat::Unicode && editor.outputFormat() == OutputFormat::Unicode);
        QVERIFY(editor.selectedInOut() && editor.selLength() == 3);

        // The streams follow them: only the selection goes out, and in.
        QCOMPARE(saved(editor), QByteArray("t\0w\0o\0", 6));
        editor.setInputFormat(InputFormat::Text);
        load(editor, "that");
        QCOMPARE(editor.toPlainText(), QStringLiteral("one that\nthree"));

        // Whole documents as UTF-8 text and as UTF-16, little-endian.
        editor.setSelectedInOut(false);
        editor.wideLines().setText(QString::fromUtf8("Привет\nwörld\f"));
        editor.setOutputFormat(OutputFormat::Text);
        QCOMPARE(saved(editor), QString::fromUtf8("Привет\nwörld\f\n").toUtf8());
        editor.setOutputFormat(OutputFormat::Unicode);
        const QByteArray wide = saved(editor);
        QCOMPARE(wide.left(2), QByteArray("\x1F\x04", 2)); // П
        RichEditor reader;
        reader.setInputFormat(InputFormat::Unicode);
        load(reader, wide);
        QCOMPARE(reader.wideLines().toStringList(), editor.wideLines().toStringList());
    }

    void progressPerBlockAndFailures()
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

        testsupport::FailingDevice failing(5000);
        failing.open(QIODevice::WriteOnly);
        QBuffer closed;
        QCOMPARE(errorOf([&] { editor.saveToStream(failing); }), QStringLiteral("Failed to Save Stream"));
        QCOMPARE(errorOf([&] { editor.loadFromStream(closed); }), QStringLiteral("Failed to Load Stream"));
        QCOMPARE(editor.textLength(), 10000); // a failed load leaves the document alone
        QVERIFY_THROWS_EXCEPTION(EditorError, editor.loadFromFile(m_dir.filePath(QStringLiteral("missing"))));
        QVERIFY_THROWS_EXCEPTION(EditorError, editor.saveToFile(m_dir.filePath(QStringLiteral("no/dir/x"))));

        // A save that breaks off after its first block (a full disk, or a
        // progress handler that cancels) leaves the old file and no temporary one.
        const QString path = write(QStringLiteral("keep.txt"), "precious");
        const QStringList before = QDir(m_dir.path()).entryList(QDir::Files);
        const auto cancel = connect(&editor, &RichEditor::saveProgress, this, [](qint64 pos, qint64) {
            if (pos > 0)
                throw std::runtime_error("cancelled");
        });
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, editor.saveToFile(path));
        QCOMPARE(testsupport::readFile(path), QByteArray("precious"));
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), before);
        disconnect(cancel);
        editor.saveToFile(path);
        QCOMPARE(testsupport::readFile(path), data);
    }

    void lineEditsAtTheEdgesAndOutOfRange()
    {
        RichEditor editor;
        auto &lines = editor.wideLines();
        lines.insert(0, QStringLiteral("b"));
        lines.insert(0, QStringLiteral("a"));
        lines.insert(lines.count(), QStringLiteral("c"));
        QCOMPARE(lines.toStringList(), (QStringList{"a", "b", "c"}));
        QCOMPARE(lines.get(-1) + lines.get(3), QString());
        for (int bad : {-1, 3}) {
            lines.put(bad, QStringLiteral("x"));
            lines.remove(bad);
            lines.insert(bad * 5, QStringLiteral("x"));
        }
        QCOMPARE(lines.toStringList(), (QStringList{"a", "b", "c"}));
        // Text with a paragraph end in it becomes two lines.
        lines.put(1, QStringLiteral("one\r\ntwo"));
        QCOMPARE(lines.toStringList(), (QStringList{"a", "one", "two", "c"}));

        lines.setText(QStringLiteral("one\r\ntwo\rthree\n\nfive\n"));
        QCOMPARE(lines.toStringList(), (QStringList{"one", "two", "three", "", "five"}));
        QCOMPARE(lines.text(), QStringLiteral("one\ntwo\nthree\n\nfive\n"));
        // Appending to a last line that has no paragraph end yet.
        editor.setPlainText(QStringLiteral("a\nb"));
        lines.add(QStringLiteral("c"));
        QCOMPARE(editor.toPlainText(), QStringLiteral("a\nb\nc"));
        lines.remove(2); // the last line leaves its paragraph end behind
        QCOMPARE(editor.toPlainText(), QStringLiteral("a\nb\n"));
        lines.remove(0);
        lines.remove(0);
        QCOMPARE(editor.textLength(), 0);
        lines.setText(QStringLiteral("gone"));
        lines.setText(QString());
        QCOMPARE(editor.textLength(), 0);

        lines.addStrings({QStringLiteral("x"), QStringLiteral("y")});
        lines.addStrings({QStringLiteral("z")});
        QCOMPARE(lines.toStringList(), (QStringList{"x", "y", "z"}));
        editor.document()->undo(); // addStrings is one undo step
        QCOMPARE(lines.toStringList(), (QStringList{"x", "y"}));
    }

    void maxLengthAndCodePageOfLines()
    {
        RichEditor editor;
        editor.setMaxLength(6);
        auto &lines = editor.wideLines();
        lines.add(QStringLiteral("abc")); // "abc" + paragraph end: 4
        QCOMPARE(errorOf([&] { lines.add(QStringLiteral("de")); }), // would be 7
                 QStringLiteral("RichEdit line insertion error"));
        QVERIFY_THROWS_EXCEPTION(EditorError, lines.put(0, QStringLiteral("abcdefg")));
        QVERIFY_THROWS_EXCEPTION(EditorError, lines.addStrings({QStringLiteral("x"), QStringLiteral("yz")}));
        QVERIFY_THROWS_EXCEPTION(EditorError, lines.setText(QStringLiteral("1234567")));
        QCOMPARE(editor.toPlainText(), QStringLiteral("abc\n")); // nothing half done
        lines.add(QStringLiteral("d")); // exactly 6
        lines.put(1, QString());
        lines.put(0, QStringLiteral("abcd")); // the freed room can be used
        QCOMPARE(lines.toStringList(), (QStringList{"abcd", ""}));
        editor.setMaxLength(0); // no limit
        lines.add(QString(100000, QLatin1Char('m')));
        QCOMPARE(lines.count(), 3);

        // The 8-bit face uses the code page of the language; what the code page
        // cannot hold reads as "?" through it only.
        editor.setLanguage(1049); // Russian
        QCOMPARE(editor.codePage(), 1251);
        const QByteArray privet("\xCF\xF0\xE8\xE2\xE5\xF2");
        lines.setText(QString());
        editor.lines().add(privet);
        QCOMPARE(lines.get(0), QString::fromUtf8("Привет"));
        editor.lines().put(0, editor.lines().get(0) + "!");
        QCOMPARE(editor.lines().text(), privet + "!\n");
        editor.setLanguage(1033);
        lines.add(QString::fromUtf8("Ωcafé"));
        QCOMPARE(editor.lines().get(0), QByteArray(6, '?') + "!");
        QCOMPARE(editor.lines().get(1), QByteArray("?caf\xE9"));
        QCOMPARE(lines.get(1), QString::fromUtf8("Ωcafé"));
    }

    // Opening a long document lays out its first screen and leaves the
    // rest to the event loop: before the first paint nothing far down has
    // been laid out, the caret waits at the start, and later the end is
    // reached without anyone asking for it. A second load while the first
    // is still being laid out starts over; an edit in between is kept.
    void loadedDocumentIsLaidOutInSteps_data()
    {
        QTest::addColumn<InputFormat>("format");
        QTest::addColumn<bool>("reload");
        QTest::addColumn<bool>("edit");
        QTest::newRow("rtf") << InputFormat::RTF << false << false;
        QTest::newRow("plain text") << InputFormat::Text << false << false;
        QTest::newRow("utf-16") << InputFormat::Unicode << false << false;
        QTest::newRow("rtf loaded twice") << InputFormat::RTF << true << false;
        QTest::newRow("rtf typed into") << InputFormat::RTF << false << true;
    }
    void loadedDocumentIsLaidOutInSteps()
    {
        QFETCH(InputFormat, format);
        QFETCH(bool, reload);
        QFETCH(bool, edit);
        RichEditor editor;
        editor.setUndoLimit(100);
        editor.resize(500, 300);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        editor.setSelText(QStringLiteral("old text"));

        const QByteArray data = longDocument(format, 15000);
        editor.loadBytes(data, format);
        if (reload) {
            QCoreApplication::processEvents();
            editor.loadBytes(data, format);
        }
        QTextDocument *doc = editor.document();
        QVERIFY(doc->blockCount() > 15000);
        QVERIFY(!laidOut(doc->lastBlock()));
        QCOMPARE(editor.textCursor().position(), 0);
        QVERIFY(!editor.textCursor().hasSelection());
        QVERIFY(!doc->isModified());
        QVERIFY(!doc->isUndoAvailable());
        QVERIFY(doc->isUndoRedoEnabled());

        // The first paint lays out what it shows.
        editor.viewport()->repaint();
        QVERIFY(laidOut(doc->firstBlock()));
        QVERIFY(!laidOut(doc->lastBlock()));
        if (edit) {
            // Qt stops laying out ahead once the text changes; what matters
            // is that the edit and the rest of the text are there.
            QTest::keyClicks(editor.viewport(), QStringLiteral("New "));
            QVERIFY(doc->isUndoAvailable());
            QVERIFY(doc->firstBlock().text().startsWith(QLatin1String("New ")));
            QCOMPARE(doc->lastBlock().text(), QStringLiteral("End"));
            return;
        }
        QTRY_VERIFY_WITH_TIMEOUT(laidOut(doc->lastBlock()), 30000);
        QCOMPARE(doc->lastBlock().text(), format == InputFormat::RTF ? QStringLiteral("End") : QString());
        // The scroll bar reaches the end of the document once it is laid out.
        QTRY_VERIFY(editor.verticalScrollBar()->maximum() + editor.viewport()->height()
                    >= int(doc->documentLayout()->documentSize().height()));
    }

    void updateStateSignalsOnceAndRestoresPainting()
    {
        RichEditor editor;
        QSignalSpy changed(&editor, &QTextEdit::textChanged);
        editor.wideLines().setText(QStringLiteral("a\nb\nc"));
        QCOMPARE(changed.count(), 1);
        auto &lines = editor.lines();
        lines.beginUpdate();
        lines.beginUpdate();
        lines.add("d");
        lines.endUpdate();
        QVERIFY(!editor.viewport()->updatesEnabled());
        changed.clear();
        lines.endUpdate();
        QVERIFY(editor.viewport()->updatesEnabled());
        QCOMPARE(changed.count(), 1);
        lines.endUpdate(); // unbalanced: ignored
        QVERIFY(editor.viewport()->updatesEnabled());
    }
};

QTEST_MAIN(TestStreaming)
#include "tst_streaming.moc"
