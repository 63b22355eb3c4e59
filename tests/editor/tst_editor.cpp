#include "editor/blocksinview.h"
#include "editor/richeditor.h"
#include "editor/richeditorlines.h"
#include "editor/selectionbar.h"
#include "editor/textattributes.h"

#include <QAbstractTextDocumentLayout>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>
#include <QToolTip>
#include <QTextBlock>
#include <QTextTable>

class TestEditor : public QObject
{
    Q_OBJECT

private slots:
    void typing()
    {
        RichEditor editor;
        editor.resize(60, 300);
        editor.setUndoLimit(0); // as stored settings do before the window exists
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        QCOMPARE(editor.lines().count(), 0);
        QTest::keyClicks(&editor, QStringLiteral("abc"));
        QVERIFY(editor.document()->isUndoAvailable()); // the limit switches undo on a live control only
        QCOMPARE(editor.lines().count(), 1);
        QTest::keyClick(&editor, Qt::Key_Return); // an empty last paragraph is no line
        QCOMPARE(editor.lines().count(), 1);
        // A paragraph that wraps to many screen lines is one line.
        QTest::keyClicks(&editor, QString(40, QLatin1Char('w')).replace(QLatin1Char('w'), QLatin1String("w ")));
        QCOMPARE(editor.lines().count(), 2);

        editor.setUndoLimit(0);
        editor.clear(); // keeps the setting
        QTest::keyClicks(&editor, QStringLiteral("abc"));
        QVERIFY(!editor.document()->isUndoAvailable());
        editor.setUndoLimit(100);
        QTest::keyClicks(&editor, QStringLiteral("d"));
        editor.undo();
        QCOMPARE(editor.toPlainText(), QStringLiteral("abc"));

        editor.clear();
        editor.setMaxLength(4);
        QTest::keyClicks(&editor, QStringLiteral("abcdef"));
        QCOMPARE(editor.toPlainText(), QStringLiteral("abcd"));
        QTest::keyClick(&editor, Qt::Key_Return);
        QCOMPARE(editor.textLength(), 4);
        editor.setSelection(1, 2);
        QTest::keyClicks(&editor, QStringLiteral("XYZ")); // replaces "bc", then full
        QCOMPARE(editor.toPlainText(), QStringLiteral("aXYd"));
        QTest::keyClick(&editor, Qt::Key_Backspace); // deleting is always allowed
        QCOMPARE(editor.toPlainText(), QStringLiteral("aXd"));
        editor.setSelText(QStringLiteral("12345"));
        QCOMPARE(editor.toPlainText(), QStringLiteral("aX1d"));
        editor.setMaxLength(0);
        QTest::keyClicks(&editor, QStringLiteral("more"));
        QCOMPARE(editor.textLength(), 8);
    }

    void redrawLockRestoresSelectionAndTopLine()
    {
        RichEditor editor;
        editor.resize(300, 200);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        QStringList lines;
        for (int i = 0; i < 300; ++i)
            lines << QStringLiteral("line %1").arg(i);
        editor.wideLines().setText(lines.join(QLatin1Char('\n')));
        editor.setSelection(editor.findText(QStringLiteral("line 120"), 0, 0), 8);
        editor.verticalScrollBar()->setValue(editor.verticalScrollBar()->maximum() / 3);
        const int top = editor.cursorForPosition(QPoint(0, 0)).block().blockNumber();
        const int scroll = editor.verticalScrollBar()->value();
        QVERIFY(top > 10);

        editor.lockRedraw();
        editor.lockRedraw();
        QVERIFY(!editor.viewport()->updatesEnabled());
        editor.setSelection(5, 3);
        editor.unlockRedraw();
        QCOMPARE(editor.selStart(), 5); // still locked
        editor.selectAll();
        editor.verticalScrollBar()->setValue(editor.verticalScrollBar()->maximum());
        editor.unlockRedraw();
        QVERIFY(!editor.isRedrawLocked() && editor.viewport()->updatesEnabled());
        QCOMPARE(editor.selText(), QStringLiteral("line 120"));
        QCOMPARE(editor.cursorForPosition(QPoint(0, 0)).block().blockNumber(), top);
        QCOMPARE(editor.verticalScrollBar()->value(), scroll);

        // The text shrank under the lock: the view goes as far as it can.
        editor.lockRedraw();
        editor.wideLines().setText(QStringLiteral("short"));
        editor.unlockRedraw();
        QCOMPARE(editor.verticalScrollBar()->value(), 0);
        QVERIFY(editor.selStart() <= editor.textLength());
    }

    void selectionBarClickSelectsLine()
    {
        RichEditor editor;
        editor.resize(300, 200);
        editor.setPlainText(QStringLiteral("first line\nsecond line\nthird"));
        editor.setShowSelectionBar(true);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        auto *bar = editor.findChild<SelectionBar *>();
        QVERIFY(bar && bar->isVisible());
        QVERIFY(bar->geometry().right() < editor.viewport()->geometry().left());
        auto yOf = [&editor](int line) {
            return editor.cursorRect(QTextCursor(editor.document()->findBlockByNumber(line))).center().y();
        };
        QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(4, yOf(1)));
        QCOMPARE(editor.selText(), QStringLiteral("second line\n"));
        QTest::mouseClick(bar, Qt::LeftButton, Qt::ShiftModifier, QPoint(4, yOf(2)));
        QCOMPARE(editor.selText(), QStringLiteral("second line\nthird"));
        editor.setShowSelectionBar(false);
        QVERIFY(!bar->isVisible());
    }

    // Markers of lists read from RTF are drawn by the editor itself: at the
    // start of the hanging line, numbered from the list's start.
    void listMarkersAreDrawn()
    {
        RichEditor editor;
        editor.resize(400, 200);
        editor.loadBytes("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard\\li1440\\fi-1440"
                         "{\\*\\pn\\pnlvlbody\\pndec\\pnstart7{\\pntxta .}}item\\par}",
                         InputFormat::RTF);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        const QImage image = editor.viewport()->grab().toImage();
        const QRect line = editor.cursorRect(QTextCursor(editor.document()->begin()));
        const QRect text = editor.cursorRect(QTextCursor(editor.document()));
        auto ink = [&image, &line](int from, int to) {
            for (int x = from; x < to; ++x)
                for (int y = line.top(); y <= line.bottom(); ++y)
                    if (qGray(image.pixel(x, y)) < 128)
                        return true;
            return false;
        };
        // The text starts an inch (96 px) after the marker.
        QVERIFY(ink(text.left() - 96, text.left() - 76));
        QVERIFY(!ink(text.left() - 70, text.left() - 1));
    }

    void findText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("needle");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("options");
        QTest::addColumn<int>("expected");
        const int back = int(FindOption::Backward), word = int(FindOption::WholeWord), exact = int(FindOption::MatchCase);
        // 100 characters with "abc" at 5, 45 and 95.
        QString dots(100, QLatin1Char('.'));
        for (int at : {5, 45, 95})
            dots.replace(at, 3, QStringLiteral("abc"));
        const struct { const char *name; int start, length, options, expected; } ranges[] = {
            {"length 0 runs to the end", 0, 0, 0, 5},
            {"negative length runs to the end", 46, -3, 0, 95},
            {"past the last", 96, 0, 0, -1},
            {"inside 40..50", 40, 10, 0, 45},
            {"match must end in range", 40, 7, 0, -1},
            {"match ending on range end", 40, 8, 0, 45},
            {"start past the text", 500, 0, 0, -1},
            {"negative start", -20, 0, 0, 5},
            {"10 back from 50 searches 40..50", 50, 10, back, 45},
            {"back: match must end by the start", 47, 10, back, -1},
            {"back: match must begin in range", 50, 4, back, -1},
            {"back: length 0 runs to the beginning", 100, 0, back, 95},
            {"back: the last one before", 44, 0, back, 5},
            {"back: nothing before", 7, 0, back, -1},
        };
        for (const auto &r : ranges)
            QTest::newRow(r.name) << dots << "abc" << r.start << r.length << r.options << r.expected;
        const QString cats = QStringLiteral("concat cat Cat cats cat_x");
        QTest::newRow("inside a word") << cats << "cat" << 0 << 0 << 0 << 3;
        QTest::newRow("whole word") << cats << "cat" << 0 << 0 << word << 7;
        QTest::newRow("whole word, case") << cats << "Cat" << 0 << 0 << (word | exact) << 11;
        QTest::newRow("whole word, any case") << cats << "cat" << 8 << 0 << word << 11;
        QTest::newRow("whole word, no such case") << cats << "cat" << 8 << 0 << (word | exact) << -1;
        QTest::newRow("back, whole word") << cats << "CAT" << 25 << 0 << (back | word) << 11;
        QTest::newRow("back, inside a word") << cats << "CAT" << 25 << 0 << back << 20;
        const QString paragraphs = QStringLiteral("ab\ncd\nef");
        QTest::newRow("across a paragraph end") << paragraphs << "b\nc" << 0 << 0 << 0 << 1;
        QTest::newRow("CR LF is one paragraph end") << paragraphs << "d\r\ne" << 0 << 0 << 0 << 4;
        QTest::newRow("a paragraph end is one position") << paragraphs << "ef" << 0 << 0 << 0 << 6;
        QTest::newRow("empty needle") << paragraphs << "" << 0 << 0 << 0 << -1;
        QTest::newRow("longer than the text") << paragraphs << "longer than the whole text" << 0 << 0 << 0 << -1;
        QTest::newRow("range shorter than the needle") << paragraphs << "ab" << 0 << 1 << 0 << -1;
        QTest::newRow("a form feed is one position") << QStringLiteral("a\fb") << "b" << 0 << 0 << 0 << 2;
    }
    void findText()
    {
        QFETCH(QString, text);
        QFETCH(QString, needle);
        QFETCH(int, start);
        QFETCH(int, length);
        QFETCH(int, options);
        QFETCH(int, expected);
        RichEditor editor;
        editor.setPlainText(text);
        QCOMPARE(editor.findText(needle, start, length, FindOptions::fromInt(options)), expected);
    }

    void copyOffersRtfHtmlAndText()
    {
        RichEditor editor;
        editor.setPlainText(QStringLiteral("one two\nthree"));
        editor.setSelection(4, 6);
        editor.copy();
        const QMimeData *mime = QGuiApplication::clipboard()->mimeData();
        QVERIFY(mime && mime->data(QStringLiteral("text/rtf")).startsWith("{\\rtf"));
        QCOMPARE(mime->data(QStringLiteral("application/rtf")), mime->data(QStringLiteral("text/rtf")));
        QVERIFY(mime->html().contains(QLatin1String("two")));
        QCOMPARE(mime->text(), QStringLiteral("two\nth"));
    }

    // RTF first (LibreOffice Writer offers its RTF as "text/richtext" too),
    // then HTML, then text; a plain-text editor takes the text. A paste is
    // cut at maxLength, and is one undo step.
    void paste_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("rtfType");
        QTest::addColumn<QString>("html");
        QTest::addColumn<bool>("rich");
        QTest::addColumn<int>("maxLength");
        QTest::addColumn<QString>("pasted");
        const QString rtfType = QStringLiteral("text/rtf"), html = QStringLiteral("<b>HTML</b>");
        QTest::newRow("rtf") << QByteArray("{\\rtf1\\ansi {\\b RTF}}") << rtfType << html << true << 0 << "[RTF]";
        QTest::newRow("richtext") << QByteArray("{\\rtf1 {\\b Writer}}") << "text/richtext" << QString() << true << 0 << "[Writer]";
        QTest::newRow("html") << QByteArray() << rtfType << html << true << 0 << "[HTML]";
        QTest::newRow("plain editor") << QByteArray("{\\rtf1 {\\b RTF}}") << rtfType << html << false << 0 << "[a\nb\nc]";
        QTest::newRow("cut at maxLength") << QByteArray() << rtfType << "<b>123456</b>" << true << 5 << "[123]";
    }
    void paste()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, rtfType);
        QFETCH(QString, html);
        QFETCH(bool, rich);
        QFETCH(int, maxLength);
        QFETCH(QString, pasted);
        RichEditor editor;
        editor.setAcceptRichText(rich);
        editor.setPlainText(QStringLiteral("[]"));
        editor.setMaxLength(maxLength);
        editor.setSelection(1, 0);
        auto *mime = new QMimeData;
        if (!rtf.isNull())
            mime->setData(rtfType, rtf);
        if (!html.isNull())
            mime->setHtml(html);
        mime->setText(QStringLiteral("a\r\nb\rc"));
        QGuiApplication::clipboard()->setMimeData(mime);
        QVERIFY(editor.canPaste());
        editor.paste();
        QCOMPARE(editor.toPlainText(), pasted);
        QCOMPARE(editor.selStart(), pasted.size() - 1);
        if (maxLength > 0) {
            editor.paste(); // full: nothing happens
            QCOMPARE(editor.toPlainText(), pasted);
        }
        editor.setSelection(1, 3);
        QCOMPARE(editor.selAttributes().bold(), rich);
        editor.undo();
        QCOMPARE(editor.toPlainText(), QStringLiteral("[]"));
    }
    // Typing right after a footnote's mark continues the text, not the mark:
    // the mark stays an automatic number and the typed text body text.
    void typingAfterAFootnoteMark()
    {
        RichEditor editor;
        editor.loadBytes("{\\rtf1 Body{\\super\\chftn}{\\footnote{\\super\\chftn} Note.}\\par}", InputFormat::RTF);
        QTextCursor cursor = editor.textCursor();
        cursor.setPosition(5); // after "Body1"
        editor.setTextCursor(cursor);
        QTest::keyClicks(&editor, QStringLiteral("xy"));
        QCOMPARE(editor.toPlainText().left(7), QStringLiteral("Body1xy"));
        const QByteArray rtf = editor.bytes(OutputFormat::RTF);
        QCOMPARE(rtf.count("\\footnote"), 1);
        QCOMPARE(rtf.count("\\chftn"), 2); // the mark is still numbered by readers
        RichEditor again;
        again.loadBytes(rtf, InputFormat::RTF);
        QCOMPARE(again.toPlainText().left(7), QStringLiteral("Body1xy"));

        // Resting on the mark shows the footnote; on the body, nothing.
        again.resize(400, 200);
        again.show();
        QVERIFY(QTest::qWaitForWindowExposed(&again));
        const auto tipAt = [&again](int position) {
            QTextCursor at(again.document());
            at.setPosition(position);
            const QPoint point = again.cursorRect(at).center() + QPoint(2, 0);
            QHelpEvent help(QEvent::ToolTip, point, again.viewport()->mapToGlobal(point));
            QCoreApplication::sendEvent(again.viewport(), &help);
            return QToolTip::isVisible() ? QToolTip::text() : QString();
        };
        QCOMPARE(tipAt(1), QString());
        QCOMPARE(tipAt(4), QStringLiteral("1 Note."));
    }

    // A paragraph split inside a box: the room between the border and the
    // text stays at the box's edges, not between its paragraphs, and one
    // undo takes back the split and the room together.
    void splittingABoxedParagraph()
    {
        RichEditor editor;
        editor.loadBytes("{\\rtf1\\pard\\box\\brdrs\\brdrw10\\brsp20 Boxed\\par}", InputFormat::RTF);
        const int blocks = editor.document()->blockCount();
        QTextCursor cursor = editor.textCursor();
        cursor.setPosition(5);
        editor.setTextCursor(cursor);
        QTest::keyClick(&editor, Qt::Key_Return);
        QTest::keyClicks(&editor, QStringLiteral("more"));
        QCoreApplication::processEvents();
        const auto room = [&editor](int block) {
            const QTextBlockFormat f = editor.document()->findBlockByNumber(block).blockFormat();
            return std::make_pair(qRound(f.topMargin() * 15), qRound(f.bottomMargin() * 15));
        };
        QCOMPARE(room(0), std::make_pair(30, 0));
        QCOMPARE(room(1), std::make_pair(0, 30));
        const QByteArray rtf = editor.bytes(OutputFormat::RTF);
        QVERIFY(!rtf.contains("\\sb") && !rtf.contains("\\sa"));
        for (int i = 0; i < 10 && editor.document()->blockCount() > blocks; ++i)
            editor.undo();
        QCOMPARE(editor.document()->blockCount(), blocks);
        QCOMPARE(room(0), std::make_pair(30, 30));
    }

    // The paint finds the blocks in view by halving: whatever the clip, every
    // block that meets it is in the range, and the range stays near the view.
    void blocksInViewCoverTheClip()
    {
        QTextDocument document;
        QTextCursor cursor(&document);
        for (int i = 0; i < 400; ++i) {
            cursor.insertText(QStringLiteral("Paragraph %1 with a few words to wrap.").arg(i));
            cursor.insertBlock();
            if (i % 50 == 25) { // a table of uneven cells now and then
                QTextTable *table = cursor.insertTable(3, 2);
                for (int c = 0; c < 6; ++c)
                    table->cellAt(c / 2, c % 2).firstCursorPosition().insertText(
                        c % 2 == 0 ? QStringLiteral("tall\ntall\ntall") : QStringLiteral("short"));
                cursor.movePosition(QTextCursor::End);
            }
        }
        document.setTextWidth(300);
        QAbstractTextDocumentLayout *layout = document.documentLayout();
        const qreal height = layout->documentSize().height();
        for (qreal top = 0; top < height; top += 9) {
            const QRectF clip(0, top, 300, 120);
            const auto [first, end] = blocksInView(document, clip);
            for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
                if (layout->blockBoundingRect(block).intersects(clip))
                    QVERIFY2(block.position() >= first && block.position() < end,
                             qPrintable(QStringLiteral("block %1 at %2").arg(block.blockNumber()).arg(top)));
            }
            QVERIFY(end - first < document.characterCount() / 4);
        }
    }
};

QTEST_MAIN(TestEditor)
#include "tst_editor.moc"
