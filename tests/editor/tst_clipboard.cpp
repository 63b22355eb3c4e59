#include "richeditor.h"
#include "richeditorlines.h"
#include "textattributes.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTest>
#include <QTextDocument>

class TestClipboard : public QObject
{
    Q_OBJECT

private slots:
    void copyOffersRtfHtmlAndText();
    void pastePrefersRtf();
    void pasteTakesHtmlBeforeText();
    void pasteIsCutAtMaxLengthAndIsOneUndoStep();
};

void TestClipboard::copyOffersRtfHtmlAndText()
{
    RichEditor editor;
    editor.setPlainText(QStringLiteral("one two\nthree"));
    editor.setSelection(4, 6);
    editor.selAttributes().setBold(true);
    editor.copy();
    const QMimeData *mime = QGuiApplication::clipboard()->mimeData();
    QVERIFY(mime);
    QVERIFY(mime->data(QStringLiteral("text/rtf")).startsWith("{\\rtf"));
    QCOMPARE(mime->data(QStringLiteral("application/rtf")), mime->data(QStringLiteral("text/rtf")));
    QVERIFY(mime->hasHtml());
    QVERIFY(mime->html().contains(QLatin1String("two")));
    QCOMPARE(mime->text(), QStringLiteral("two\nth"));
}

void TestClipboard::pastePrefersRtf()
{
    RichEditor editor;
    editor.setPlainText(QStringLiteral("[]"));
    editor.setSelection(1, 0);
    auto *mime = new QMimeData;
    mime->setData(QStringLiteral("text/rtf"), "{\\rtf1\\ansi {\\b RTF}}");
    mime->setHtml(QStringLiteral("<i>HTML</i>"));
    mime->setText(QStringLiteral("TEXT"));
    QGuiApplication::clipboard()->setMimeData(mime);
    editor.paste();
    QCOMPARE(editor.toPlainText(), QStringLiteral("[RTF]"));
    editor.setSelection(1, 3);
    QVERIFY(editor.selAttributes().bold());

    // LibreOffice Writer offers its RTF as "text/richtext" too.
    RichEditor office;
    mime = new QMimeData;
    mime->setData(QStringLiteral("text/richtext"), "{\\rtf1\\ansi {\\i Writer}}");
    QGuiApplication::clipboard()->setMimeData(mime);
    QVERIFY(office.canPaste());
    office.paste();
    QCOMPARE(office.toPlainText(), QStringLiteral("Writer"));
    office.selectAll();
    QVERIFY(office.selAttributes().italic());
}

void TestClipboard::pasteTakesHtmlBeforeText()
{
    RichEditor editor;
    auto *mime = new QMimeData;
    mime->setHtml(QStringLiteral("<b>HTML</b>"));
    mime->setText(QStringLiteral("TEXT"));
    QGuiApplication::clipboard()->setMimeData(mime);
    editor.paste();
    QCOMPARE(editor.toPlainText(), QStringLiteral("HTML"));
    editor.selectAll();
    QVERIFY(editor.selAttributes().bold());

    // A plain-text editor takes the text, its line ends as paragraph ends.
    mime = new QMimeData;
    mime->setHtml(QStringLiteral("<b>HTML</b>"));
    mime->setText(QStringLiteral("a\r\nb\rc"));
    QGuiApplication::clipboard()->setMimeData(mime);
    RichEditor plain;
    plain.setAcceptRichText(false);
    plain.paste();
    QCOMPARE(plain.wideLines().toStringList(), (QStringList{"a", "b", "c"}));
}

void TestClipboard::pasteIsCutAtMaxLengthAndIsOneUndoStep()
{
    RichEditor editor;
    editor.setPlainText(QStringLiteral("ab"));
    editor.setMaxLength(5);
    editor.setSelection(1, 0);
    auto *mime = new QMimeData;
    mime->setHtml(QStringLiteral("<b>123456</b>"));
    QGuiApplication::clipboard()->setMimeData(mime);
    editor.paste();
    QCOMPARE(editor.toPlainText(), QStringLiteral("a123b"));
    QCOMPARE(editor.selStart(), 4);
    editor.paste(); // full: nothing happens
    QCOMPARE(editor.toPlainText(), QStringLiteral("a123b"));
    editor.undo();
    QCOMPARE(editor.toPlainText(), QStringLiteral("ab"));
}

QTEST_MAIN(TestClipboard)
#include "tst_clipboard.moc"
