#include "editor/paraattributes.h"
#include "editor/richeditor.h"
#include "editor/textattributes.h"
#include "richtext/textproperties.h"

#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

namespace prop = richtext::prop;

namespace {

QTextCharFormat formatAt(RichEditor &editor, int position)
{
    QTextCursor cursor(editor.document());
    cursor.setPosition(position + 1);
    return cursor.charFormat();
}

void insert(RichEditor &editor, const QString &text, const QTextCharFormat &format = {})
{
    QTextCursor cursor(editor.document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text, format);
}

// Pixels of the widget's rendering that are close to `color`.
int pixelsNear(const QImage &image, const QColor &color)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (qAbs(c.red() - color.red()) < 40 && qAbs(c.green() - color.green()) < 40
                && qAbs(c.blue() - color.blue()) < 40)
                ++n;
        }
    }
    return n;
}

} // namespace

class TestAttributes : public QObject
{
    Q_OBJECT

private slots:
    void colourAndHiddenAsPainted();
    void writeChangesOnlyThatProperty();
    void wordFormattingOnAndOff();
    void styleAndPropertiesKeptForRtf();
    void assignToFontDropsStrikeOut();
    void defaultAttributesAreTheDocumentDefault();
    void indentsAreIndependentTwips();
    void alignmentAndNumbering();
};

void TestAttributes::colourAndHiddenAsPainted()
{
    RichEditor editor;
    QFont font = editor.font();
    font.setPointSize(40);
    editor.setFont(font);
    editor.resize(300, 120);
    insert(editor, QStringLiteral("MMMM"));
    editor.selectAll();
    auto &attributes = editor.selAttributes();
    QVERIFY(!attributes.color().isValid()); // plain text: automatic colour

    attributes.setColor(Qt::red);
    editor.setSelection(0, 0); // no selection highlight over the text
    QVERIFY(pixelsNear(editor.grab().toImage(), Qt::red) > 50);
    editor.selectAll();

    attributes.setColor(TextAttributes::windowTextColor());
    QCOMPARE(attributes.color(), TextAttributes::windowTextColor());
    QVERIFY(formatAt(editor, 1).boolProperty(prop::AutoColor));
    editor.setTextCursor(QTextCursor(editor.document())); // no selection highlight
    const QImage image = editor.grab().toImage();
    QCOMPARE(pixelsNear(image, Qt::red), 0);
    QVERIFY(pixelsNear(image, editor.palette().color(QPalette::Text)) > 50);

    // Hidden text stays in the text but is not painted.
    editor.selectAll();
    editor.selAttributes().setHidden(true);
    editor.setTextCursor(QTextCursor(editor.document()));
    QCOMPARE(pixelsNear(editor.grab().toImage(), editor.palette().color(QPalette::Text)), 0);
    QCOMPARE(editor.toPlainText(), QStringLiteral("MMMM"));
}

void TestAttributes::writeChangesOnlyThatProperty()
{
    RichEditor editor;
    QTextCharFormat red;
    red.setForeground(Qt::red);
    red.setFontPointSize(10.5);
    red.setFontItalic(true);
    QTextCharFormat blue;
    blue.setForeground(Qt::blue);
    blue.setFontPointSize(14);
    blue.setFontUnderline(true);
    insert(editor, QStringLiteral("aaa"), red);
    insert(editor, QStringLiteral("bbb"), blue);
    editor.selectAll();
    editor.selAttributes().setBold(true);

    const QTextCharFormat a = formatAt(editor, 1);
    const QTextCharFormat b = formatAt(editor, 4);
    QCOMPARE(a.fontWeight(), int(QFont::Bold));
    QCOMPARE(b.fontWeight(), int(QFont::Bold));
    QCOMPARE(a.foreground().color(), QColor(Qt::red));
    QCOMPARE(b.foreground().color(), QColor(Qt::blue));
    QCOMPARE(a.fontPointSize(), 10.5);
    QCOMPARE(b.fontPointSize(), 14.0);
    QVERIFY(!a.fontUnderline() && b.fontUnderline());
    // The read reports the first selected character, in whole points.
    QCOMPARE(editor.selAttributes().size(), 10);
    QVERIFY(editor.selAttributes().italic());

    // Small and all capitals share Qt's one field: switching one off leaves
    // the other alone.
    editor.selAttributes().setAllCaps(true);
    editor.selAttributes().setSmallCaps(false);
    QVERIFY(editor.selAttributes().allCaps());
}

void TestAttributes::wordFormattingOnAndOff()
{
    RichEditor editor;
    insert(editor, QStringLiteral("hello world"));
    editor.setSelection(2, 0);
    QVERIFY(editor.wordFormatting());
    editor.selAttributes().setBold(true);
    for (int i = 0; i < 5; ++i)
        QCOMPARE(formatAt(editor, i).fontWeight(), int(QFont::Bold));
    QVERIFY(formatAt(editor, 7).fontWeight() != int(QFont::Bold));

    RichEditor plain;
    plain.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plain));
    insert(plain, QStringLiteral("hello world"));
    plain.setWordFormatting(false);
    plain.setSelection(2, 0);
    plain.selAttributes().setBold(true);
    for (int i = 0; i < plain.textLength(); ++i)
        QVERIFY(formatAt(plain, i).fontWeight() != int(QFont::Bold));
    QVERIFY(plain.selAttributes().bold()); // what comes next
    QTest::keyClicks(&plain, QStringLiteral("X"));
    QCOMPARE(plain.toPlainText(), QStringLiteral("heXllo world"));
    QCOMPARE(formatAt(plain, 2).fontWeight(), int(QFont::Bold));
    QVERIFY(formatAt(plain, 3).fontWeight() != int(QFont::Bold));
}

void TestAttributes::styleAndPropertiesKeptForRtf()
{
    RichEditor editor;
    insert(editor, QStringLiteral("under"));
    editor.selectAll();
    auto &attributes = editor.selAttributes();
    attributes.setUnderlineType(3); // double
    QVERIFY(attributes.style().testFlag(FontStyle::Underline));

    attributes.setStyle(FontStyle::Underline | FontStyle::Bold);
    QCOMPARE(attributes.underlineType(), 1);
    QCOMPARE(attributes.style(), FontStyle::Underline | FontStyle::Bold);
    QCOMPARE(formatAt(editor, 0).intProperty(prop::UnderlineKind), 1);

    attributes.setUnderlineType(8);
    QCOMPARE(formatAt(editor, 0).underlineStyle(), QTextCharFormat::WaveUnderline);
    // Qt's own underline action knows no kinds; switched off there, it is off.
    attributes.setUnderlineType(3);
    editor.setFontUnderline(false);
    QCOMPARE(attributes.underlineType(), 0);
    QVERIFY(!editor.bytes(OutputFormat::RTF).contains("\\uldb"));
    attributes.setUnderlineType(8);
    attributes.setStyle(FontStyle::Italic);
    QCOMPARE(attributes.underlineType(), 0);
    QCOMPARE(attributes.style(), FontStyles(FontStyle::Italic));
    QCOMPARE(formatAt(editor, 0).underlineStyle(), QTextCharFormat::NoUnderline);

    // What Qt cannot show stays on the text in the units the RTF writer reads.
    auto &a = attributes;
    a.setOffset(3);
    a.setSpacing(1.5);
    a.setLcid(0x10419);    // cut to 16 bits
    a.setAnimation(0x105); // cut to a byte
    a.setEmboss(true);
    const QTextCharFormat f = formatAt(editor, 0);
    QCOMPARE(f.intProperty(prop::Offset), 6);       // half points
    QCOMPARE(f.intProperty(prop::CharSpacing), 30); // twips
    QCOMPARE(f.intProperty(prop::Lcid), 0x0419);
    QCOMPARE(f.intProperty(prop::Animation), 5);
    QVERIFY(f.boolProperty(prop::Emboss) && !f.boolProperty(prop::Shadow));
    QCOMPARE(a.offset(), 3.0);
    QCOMPARE(a.spacing(), 1.5);
    QCOMPARE(a.lcid(), 0x0419);
    QVERIFY(a.emboss() && !a.imprint());
}

void TestAttributes::assignToFontDropsStrikeOut()
{
    RichEditor editor;
    QTextCharFormat format;
    format.setFontFamilies({QStringLiteral("Courier")});
    format.setFontPointSize(10.5);
    format.setFontStrikeOut(true);
    format.setFontItalic(true);
    format.setFontWeight(QFont::Bold);
    insert(editor, QStringLiteral("struck"), format);
    editor.selectAll();

    QFont font;
    font.setStrikeOut(true);
    QColor color;
    editor.selAttributes().assignTo(font, color);
    QVERIFY(!font.strikeOut());
    QVERIFY(font.bold() && font.italic() && !font.underline());
    QCOMPARE(font.family(), QStringLiteral("Courier"));
    QCOMPARE(font.pointSizeF(), 10.5);
    QVERIFY(!color.isValid());

    // The other way strike-out travels; the copy is one undo step.
    QFont source(QStringLiteral("Serif"), 12);
    source.setUnderline(true);
    auto &a = editor.selAttributes();
    a.assign(source, Qt::darkGreen);
    QVERIFY(!a.strikeOut() && !a.bold() && !a.italic());
    QCOMPARE(a.underlineType(), 1);
    QCOMPARE(a.size(), 12);
    QCOMPARE(a.color(), QColor(Qt::darkGreen));
    editor.undo();
    QVERIFY(a.strikeOut() && a.bold() && a.italic() && !a.color().isValid());
}

void TestAttributes::defaultAttributesAreTheDocumentDefault()
{
    RichEditor editor;
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    auto &def = editor.defAttributes();
    def.setName(QStringLiteral("Monospace"));
    def.setSize(20);
    QCOMPARE(editor.document()->defaultFont().family(), QStringLiteral("Monospace"));
    QCOMPARE(editor.document()->defaultFont().pointSizeF(), 20.0);
    def.setColor(Qt::blue);
    QTest::keyClicks(&editor, QStringLiteral("ab"));
    QCOMPARE(formatAt(editor, 0).foreground().color(), QColor(Qt::blue));
    QCOMPARE(editor.selAttributes().size(), 20);

    editor.clear(); // the defaults stay
    QTest::keyClicks(&editor, QStringLiteral("c"));
    QCOMPARE(formatAt(editor, 0).foreground().color(), QColor(Qt::blue));

    // The control's font becomes the default, also of text typed before.
    editor.setFont(QFont(QStringLiteral("Serif"), 13));
    QCOMPARE(def.name(), QStringLiteral("Serif"));
    editor.selectAll();
    QCOMPARE(editor.selAttributes().size(), 13);
    QCOMPARE(editor.selAttributes().color(), QColor(Qt::blue));
}

void TestAttributes::indentsAreIndependentTwips()
{
    RichEditor editor;
    editor.setPlainText(QStringLiteral("one\ntwo\nthree"));
    editor.selectAll();
    auto &p = editor.paragraph();
    p.setFirstIndent(0.5);
    const QTextBlockFormat block = editor.document()->firstBlock().blockFormat();
    QCOMPARE(qRound((block.leftMargin() + block.textIndent()) * 15), 10); // 10 twips
    QCOMPARE(p.firstIndent(), 0.5);

    p.setLeftIndent(18);
    QCOMPARE(p.firstIndent(), 0.5);
    QCOMPARE(p.leftIndent(), 18.0);
    p.setFirstIndent(36);
    QCOMPARE(p.leftIndent(), 18.0);
    QCOMPARE(p.firstIndent(), 36.0);
    p.setRightIndent(72);
    QCOMPARE(p.rightIndent(), 72.0);
    // Halves of a twip round to even.
    p.setRightIndent(0.125); // 2.5 twips
    QCOMPARE(p.rightIndent(), 0.1);
    p.setRightIndent(0.375); // 7.5 twips
    QCOMPARE(p.rightIndent(), 0.4);

    // Every touched paragraph changed, the untouched one did not.
    editor.setSelection(0, 5); // "one" and into "two"
    p.setFirstIndent(0);
    QCOMPARE(p.firstIndent(), 0.0);
    editor.setSelection(editor.textLength(), 0);
    QCOMPARE(p.firstIndent(), 36.0);
    QCOMPARE(p.leftIndent(), 18.0);
}

void TestAttributes::alignmentAndNumbering()
{
    RichEditor editor;
    editor.setPlainText(QStringLiteral("a\nb\nc"));
    editor.setSelection(0, 3); // a and b
    auto &p = editor.paragraph();
    p.setAlignment(ParaAlignment::Center);
    editor.setSelection(4, 0);
    QCOMPARE(p.alignment(), ParaAlignment::Left);

    editor.setSelection(0, 3);
    p.setNumbering(1);
    const QTextList *list = editor.document()->firstBlock().textList();
    QVERIFY(list);
    QCOMPARE(list->count(), 2);
    QVERIFY(!editor.document()->lastBlock().textList());
    p.setNumbering(2); // the whole list changes style
    QCOMPARE(editor.document()->firstBlock().textList()->format().style(),
             QTextListFormat::ListDecimal);
    p.setNumbering(9); // a kind Qt has no style for: kept, shown as bullets
    QCOMPARE(p.numbering(), 9);
    p.setNumbering(0);
    QVERIFY(!editor.document()->firstBlock().textList());
}

QTEST_MAIN(TestAttributes)
#include "tst_attributes.moc"
