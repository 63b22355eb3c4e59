#include "editor/richeditor.h"
#include "editor/richeditorlines.h"
#include "editor/textattributes.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTest>
#include <QTextDocument>

namespace {

// Puts the given formats on the clipboard; a null argument leaves its format out.
void offer(const QByteArray &rtf, const QString &html, const QString &text,
           const QString &rtfType = QStringLiteral("text/rtf"))
{
    auto *mime = new QMimeData;
    if (!rtf.isNull())
        mime->setData(rtfType, rtf);
    if (!html.isNull())
        mime->setHtml(html);
    if (!text.isNull())
        mime->setText(text);
    QGuiApplication::clipboard()->setMimeData(mime);
}

} // namespace

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
    offer("{\\rtf1\\ansi {\\b RTF}}", QStringLiteral("<i>HTML</i>"), QStringLiteral("TEXT"));
    editor.paste();
    QCOMPARE(editor.toPlainText(), QStringLiteral("[RTF]"));
    editor.setSelection(1, 3);
    QVERIFY(editor.selAttributes().bold());

    // LibreOffice Writer offers its RTF as "text/richtext" too.
    RichEditor office;
    offer("{\\rtf1\\ansi {\\i Writer}}", {}, {}, QStringLiteral("text/richtext"));
    QVERIFY(office.canPaste());
    office.paste();
    QCOMPARE(office.toPlainText(), QStringLiteral("Writer"));
    office.selectAll();
    QVERIFY(office.selAttributes().italic());
}

void TestClipboard::pasteTakesHtmlBeforeText()
{
    RichEditor editor;
    offer({}, QStringLiteral("<b>HTML</b>"), QStringLiteral("TEXT"));
    editor.paste();
    QCOMPARE(editor.toPlainText(), QStringLiteral("HTML"));
    editor.selectAll();
    QVERIFY(editor.selAttributes().bold());

    // A plain-text editor takes the text, its line ends as paragraph ends.
    offer({}, QStringLiteral("<b>HTML</b>"), QStringLiteral("a\r\nb\rc"));
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
    offer({}, QStringLiteral("<b>123456</b>"), {});
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
