#include "editor/paraattributes.h"
#include "editor/richeditor.h"
#include "editor/richeditorlines.h"
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

// Pixels of the widget's rendering, without a selection over the text, that
// are close to `color`.
int pixelsNear(RichEditor &editor, const QColor &color)
{
    editor.setTextCursor(QTextCursor(editor.document()));
    const QImage image = editor.grab().toImage();
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            n += qAbs(c.red() - color.red()) < 40 && qAbs(c.green() - color.green()) < 40
                 && qAbs(c.blue() - color.blue()) < 40;
        }
    }
    editor.selectAll();
    return n;
}

} // namespace

class TestAttributes : public QObject
{
    Q_OBJECT

private slots:
    void colourAndHiddenAsPainted()
    {
        RichEditor editor;
        editor.setFont(QFont(editor.font().family(), 40));
        editor.resize(300, 120);
        insert(editor, QStringLiteral("MMMM"));
        editor.selectAll();
        auto &attributes = editor.selAttributes();
        QVERIFY(!attributes.color().isValid()); // plain text: automatic colour
        attributes.setColor(Qt::red);
        QVERIFY(pixelsNear(editor, Qt::red) > 50);

        // The window text colour is the automatic colour: painted as the palette says.
        attributes.setColor(TextAttributes::windowTextColor());
        QCOMPARE(attributes.color(), TextAttributes::windowTextColor());
        QVERIFY(formatAt(editor, 1).boolProperty(prop::AutoColor));
        QCOMPARE(pixelsNear(editor, Qt::red), 0);
        QVERIFY(pixelsNear(editor, editor.palette().color(QPalette::Text)) > 50);

        // Hidden text stays in the text but is not painted; nor is a form
        // feed, which is one character and no line of its own.
        attributes.setHidden(true);
        QCOMPARE(pixelsNear(editor, editor.palette().color(QPalette::Text)), 0);
        QCOMPARE(editor.toPlainText(), QStringLiteral("MMMM"));
        editor.setPlainText(QStringLiteral("\f"));
        QCOMPARE(editor.textLength(), 1);
        QCOMPARE(editor.lines().count(), 1);
        const QImage withPageBreak = editor.grab().toImage();
        editor.setPlainText(QString());
        QCOMPARE(withPageBreak, editor.grab().toImage());
    }

    void writeChangesOnlyThatPropertyAndAssignDropsStrikeOut()
    {
        RichEditor editor;
        QTextCharFormat red;
        red.setForeground(Qt::red);
        red.setFontFamilies({QStringLiteral("Courier")});
        red.setFontPointSize(10.5);
        red.setFontItalic(true);
        red.setFontStrikeOut(true);
        QTextCharFormat blue;
        blue.setForeground(Qt::blue);
        blue.setFontPointSize(14);
        blue.setFontUnderline(true);
        insert(editor, QStringLiteral("aaa"), red);
        insert(editor, QStringLiteral("bbb"), blue);
        editor.selectAll();
        auto &a = editor.selAttributes();
        a.setBold(true);
        red.setFontWeight(QFont::Bold);
        blue.setFontWeight(QFont::Bold);
        QCOMPARE(formatAt(editor, 1), red);
        QCOMPARE(formatAt(editor, 4), blue);
        // The read reports the first selected character, in whole points.
        QVERIFY(a.size() == 10 && a.italic());

        // Strike-out does not travel to a font; the other way it does, and the
        // copy is one undo step.
        QFont font;
        font.setStrikeOut(true);
        QColor color;
        a.assignTo(font, color);
        QVERIFY(!font.strikeOut() && font.bold() && font.italic() && !font.underline());
        QCOMPARE(font.family(), QStringLiteral("Courier"));
        QCOMPARE(font.pointSizeF(), 10.5);
        QCOMPARE(color, QColor(Qt::red));
        QFont source(QStringLiteral("Serif"), 12);
        source.setUnderline(true);
        a.assign(source, Qt::darkGreen);
        QVERIFY(!a.strikeOut() && !a.bold() && !a.italic() && a.underlineType() == 1);
        QCOMPARE(a.size(), 12);
        QCOMPARE(a.color(), QColor(Qt::darkGreen));
        editor.undo();
        QVERIFY(a.strikeOut() && a.bold() && a.italic() && a.color() == QColor(Qt::red));

        // Small and all capitals share Qt's one field: switching one off leaves
        // the other alone.
        a.setAllCaps(true);
        a.setSmallCaps(false);
        QVERIFY(a.allCaps());
    }

    void wordFormattingOnAndOff()
    {
        RichEditor editor;
        insert(editor, QStringLiteral("hello world"));
        editor.setSelection(2, 0);
        editor.selAttributes().setBold(true);
        QVERIFY(formatAt(editor, 0).fontWeight() == QFont::Bold && formatAt(editor, 4).fontWeight() == QFont::Bold);
        QVERIFY(formatAt(editor, 5).fontWeight() != QFont::Bold);

        // Off: the caret's attributes are for what comes next only.
        RichEditor plain;
        plain.show();
        QVERIFY(QTest::qWaitForWindowExposed(&plain));
        insert(plain, QStringLiteral("hello world"));
        plain.setWordFormatting(false);
        plain.setSelection(2, 0);
        plain.selAttributes().setBold(true);
        for (int i = 0; i < plain.textLength(); ++i)
            QVERIFY(formatAt(plain, i).fontWeight() != QFont::Bold);
        QVERIFY(plain.selAttributes().bold());
        QTest::keyClicks(&plain, QStringLiteral("X"));
        QCOMPARE(plain.toPlainText(), QStringLiteral("heXllo world"));
        QCOMPARE(formatAt(plain, 2).fontWeight(), int(QFont::Bold));
        QVERIFY(formatAt(plain, 3).fontWeight() != QFont::Bold);
    }

    void styleAndPropertiesKeptForRtf()
    {
        RichEditor editor;
        insert(editor, QStringLiteral("under"));
        editor.selectAll();
        auto &a = editor.selAttributes();
        a.setUnderlineType(3); // double
        QVERIFY(a.style().testFlag(FontStyle::Underline));
        a.setStyle(FontStyle::Underline | FontStyle::Bold);
        QVERIFY(a.underlineType() == 1 && a.style() == (FontStyle::Underline | FontStyle::Bold));
        QCOMPARE(formatAt(editor, 0).intProperty(prop::UnderlineKind), 1);
        a.setUnderlineType(8);
        QCOMPARE(formatAt(editor, 0).underlineStyle(), QTextCharFormat::WaveUnderline);
        // Qt's own underline action knows no kinds; switched off there, it is off.
        a.setUnderlineType(3);
        editor.setFontUnderline(false);
        QCOMPARE(a.underlineType(), 0);
        QVERIFY(!editor.bytes(OutputFormat::RTF).contains("\\uldb"));
        a.setUnderlineType(8);
        a.setStyle(FontStyle::Italic);
        QVERIFY(a.underlineType() == 0 && a.style() == FontStyles(FontStyle::Italic));
        QCOMPARE(formatAt(editor, 0).underlineStyle(), QTextCharFormat::NoUnderline);

        // What Qt cannot show stays on the text in the units the RTF writer reads.
        a.setOffset(3);
        a.setSpacing(1.5);
        a.setKerning(0.25);
        a.setLcid(0x10419);    // cut to 16 bits
        a.setAnimation(0x105); // cut to a byte
        a.setEmboss(true);
        const QTextCharFormat f = formatAt(editor, 0);
        // Offset, spacing and kerning in twips, so a quarter point is kept.
        QCOMPARE((QList<int>{f.intProperty(prop::Offset), f.intProperty(prop::CharSpacing), f.intProperty(prop::Kerning),
                             f.intProperty(prop::Lcid), f.intProperty(prop::Animation)}),
                 (QList<int>{60, 30, 5, 0x0419, 5}));
        QVERIFY(f.baselineOffset() > 0); // and the raised text shows raised
        QVERIFY(f.boolProperty(prop::Emboss) && !f.boolProperty(prop::Shadow));
        QCOMPARE((QList<double>{a.offset(), a.spacing(), a.kerning(), double(a.lcid())}),
                 (QList<double>{3, 1.5, 0.25, 0x0419}));
        QVERIFY(a.emboss() && !a.imprint());
    }

    void defaultAttributesAreTheDocumentDefault()
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

    void paragraphAttributes()
    {
        RichEditor editor;
        editor.setPlainText(QStringLiteral("one\ntwo\nthree"));
        editor.selectAll();
        auto &p = editor.paragraph();
        p.setFirstIndent(0.5);
        const QTextBlockFormat block = editor.document()->firstBlock().blockFormat();
        QCOMPARE(qRound((block.leftMargin() + block.textIndent()) * 15), 10); // 10 twips
        QCOMPARE(p.firstIndent(), 0.5);
        // The indents are independent of each other.
        p.setLeftIndent(18);
        QCOMPARE(p.firstIndent(), 0.5);
        p.setFirstIndent(36);
        p.setRightIndent(72);
        QCOMPARE((QList<double>{p.leftIndent(), p.firstIndent(), p.rightIndent()}), (QList<double>{18, 36, 72}));
        // Halves of a twip round to even.
        p.setRightIndent(0.125); // 2.5 twips
        QCOMPARE(p.rightIndent(), 0.1);
        p.setRightIndent(0.375); // 7.5 twips
        QCOMPARE(p.rightIndent(), 0.4);

        // Every touched paragraph changes, the untouched one does not.
        editor.setSelection(0, 7); // "one" and "two", up to its end
        p.setFirstIndent(0);
        p.setAlignment(ParaAlignment::Center);
        p.setNumbering(1);
        QCOMPARE(p.firstIndent(), 0.0);
        const QTextList *list = editor.document()->firstBlock().textList();
        QVERIFY(list && list->count() == 2 && !editor.document()->lastBlock().textList());
        p.setNumbering(2); // the whole list changes style
        QCOMPARE(editor.document()->firstBlock().textList()->format().style(), QTextListFormat::ListDecimal);
        p.setNumbering(9); // a kind Qt has no style for: kept, shown as bullets
        QCOMPARE(p.numbering(), 9);
        editor.setSelection(editor.textLength(), 0);
        QCOMPARE(p.alignment(), ParaAlignment::Left);
        QCOMPARE(p.firstIndent(), 36.0);
        QCOMPARE(p.leftIndent(), 18.0);
        editor.setSelection(0, 0);
        QCOMPARE(p.alignment(), ParaAlignment::Center);
        p.setNumbering(0);
        QVERIFY(!editor.document()->firstBlock().textList());
    }
};

QTEST_MAIN(TestAttributes)
#include "tst_attributes.moc"
