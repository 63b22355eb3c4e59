// The RTF writer's output, feature by feature: the exact forms a rich-edit
// control writes where the form is fixed, and the rules that the merge and
// the clipboard rely on (runs never split, identical bytes every time,
// selections written alone).

#include "documentbuilding.h"
#include "richtext/rtfexport.h"
#include "richtext/rtfimport.h"
#include "richtext/textkinds.h"
#include "richtext/textproperties.h"

#include <QBuffer>
#include <QRegularExpression>
#include <QTest>

using namespace richtext;
using namespace testdocs;

namespace {

// Qt tables have a one-pixel border unless told otherwise; the cell
// definitions are easier to read without it.
QByteArray withoutBorders(QByteArray rtf)
{
    return rtf.replace("\\clbrdrt\\brdrs\\brdrw15\\clbrdrl\\brdrs\\brdrw15\\clbrdrb\\brdrs"
                       "\\brdrw15\\clbrdrr\\brdrs\\brdrw15",
                       "");
}

} // namespace

// A fresh document in 10 pt Arial, and a cursor in it.
#define NEW_DOCUMENT QTextDocument doc; setUp(doc); QTextCursor cursor(&doc)
#define CONTAINS(rtf, piece) QVERIFY2((rtf).contains(piece), (rtf).constData())

using FormatEdit = std::function<void(QTextCharFormat &)>;
using BlockEdit = std::function<void(QTextBlockFormat &)>;
Q_DECLARE_METATYPE(FormatEdit)
Q_DECLARE_METATYPE(BlockEdit)

class TestRtfWriter : public QObject
{
    Q_OBJECT

private slots:
    void header()
    {
        NEW_DOCUMENT;
        cursor.insertText(QStringLiteral("Hello"));
        const QByteArray rtf = toRtf(doc);
        QVERIFY2(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil"
                                "\\fcharset0 Arial;}}\r\n{\\colortbl ;}\r\n"),
                 rtf.constData());
        QVERIFY(rtf.contains("\\viewkind4\\uc1\\pard"));
        QVERIFY(rtf.contains("\\f0\\fs20 Hello\\par\r\n}"));
        QVERIFY(rtf.endsWith("}\r\n"));

        // Every paragraph, empty ones too, ends in \par and CR LF.
        QTextCursor more(&doc);
        more.movePosition(QTextCursor::End);
        more.insertText(QStringLiteral("\n\nc"));
        QVERIFY(toRtf(doc).contains("Hello\\par\r\n\\par\r\nc\\par\r\n}"));
        QTextDocument empty;
        setUp(empty);
        QVERIFY(toRtf(empty).contains("\\pard\\f0\\fs20\\par\r\n}"));
    }

    void headerFollowsOptions()
    {
        QTextDocument doc;
        setUp(doc);
        QTextCursor(&doc).insertText(QString::fromUtf8("Привет"));
        ExportOptions options;
        options.codePage = 1251;
        options.lcid = 1049;
        const QByteArray rtf = toRtf(doc, options);
        QVERIFY(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049{\\fonttbl{\\f0\\fnil"
                               "\\fcharset204 Arial;}}"));
        // In its own code page Cyrillic is bytes, not \u.
        CONTAINS(rtf, "\\'cf\\'f0\\'e8\\'e2\\'e5\\'f2");
        QVERIFY(!rtf.contains("\\u1"));

        // Plain RTF leaves language out.
        QTextCursor cursor(&doc);
        cursor.select(QTextCursor::Document);
        QTextCharFormat french;
        french.setProperty(prop::Lcid, 1036);
        cursor.mergeCharFormat(french);
        QVERIFY(toRtf(doc).contains("\\lang1036"));
        options.plainRtf = true;
        QVERIFY(!toRtf(doc, options).contains("\\lang"));
    }

    void fontTable()
    {
        QTextDocument doc;
        setUp(doc, QStringLiteral("Times New Roman"));
        QTextCursor cursor(&doc);
        // The first run is in another font; \f0 stays the document's font.
        run(cursor, QStringLiteral("mono "), [](QTextCharFormat &f) {
            f.setFontFamilies({QStringLiteral("Courier New")});
        });
        run(cursor, QStringLiteral("plain "));
        run(cursor, QStringLiteral("sans"), [](QTextCharFormat &f) {
            f.setFontFamilies({QStringLiteral("Arial")});
            f.setProperty(prop::FontFamilyKind, QStringLiteral("fswiss"));
            f.setProperty(prop::FontPitch, 2);
        });
        const QByteArray rtf = toRtf(doc);
        CONTAINS(rtf, "{\\fonttbl{\\f0\\fnil\\fcharset0 Times New Roman;}"
                      "{\\f1\\fnil\\fcharset0 Courier New;}"
                      "{\\f2\\fswiss\\fprq2\\fcharset0 Arial;}}");
        QVERIFY(rtf.contains("\\f1\\fs20 mono \\f0 plain \\f2 sans"));

        // A font that no run uses is not listed, whatever the format collection holds.
        cursor.select(QTextCursor::Document);
        QTextCharFormat plain;
        plain.setFontFamilies({QStringLiteral("Times New Roman")});
        cursor.setCharFormat(plain);
        const QByteArray after = toRtf(doc);
        QVERIFY(!after.contains("Courier"));
        QVERIFY(!after.contains("Arial"));
    }

    void colorTable()
    {
        NEW_DOCUMENT;
        run(cursor, QStringLiteral("red"), [](QTextCharFormat &f) { f.setForeground(QColor(255, 0, 0)); });
        run(cursor, QStringLiteral("marked"), [](QTextCharFormat &f) {
            f.setBackground(QColor(0, 0, 255));
            f.setForeground(QColor(255, 0, 0));
        });
        run(cursor, QStringLiteral("auto"), [](QTextCharFormat &f) {
            f.setForeground(QColor(10, 20, 30));
            f.setProperty(prop::AutoColor, true);
        });
        const QByteArray rtf = toRtf(doc);
        CONTAINS(rtf, "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}");
        QVERIFY(rtf.contains("\\cf1\\f0\\fs20 red\\highlight2 marked\\cf0\\highlight0 auto"));
    }

    void characterProperties_data()
    {
        QTest::addColumn<FormatEdit>("edit");
        QTest::addColumn<QByteArray>("on");
        QTest::addColumn<QByteArray>("off");

        auto row = [](const char *name, FormatEdit edit, const char *on, const char *off) {
            QTest::newRow(name) << edit << QByteArray(on) << QByteArray(off);
        };
        // Rows for the properties kept as they are read.
        auto kept = [&row](const char *name, int property, QVariant value, const char *on, const char *off) {
            row(name, [=](QTextCharFormat &f) { f.setProperty(property, value); }, on, off);
        };
        row("bold", [](QTextCharFormat &f) { f.setFontWeight(QFont::Bold); }, "\\b ", "\\b0 ");
        row("italic", [](QTextCharFormat &f) { f.setFontItalic(true); }, "\\i ", "\\i0 ");
        row("underline", [](QTextCharFormat &f) { f.setFontUnderline(true); }, "\\ul ", "\\ulnone ");
        row("wave underline", [](QTextCharFormat &f) { f.setUnderlineStyle(QTextCharFormat::WaveUnderline); },
            "\\ulwave ", "\\ulnone ");
        kept("double underline", prop::UnderlineKind, 3, "\\uldb ", "\\ulnone ");
        kept("word underline", prop::UnderlineKind, 2, "\\ulw ", "\\ulnone ");
        kept("dotted underline", prop::UnderlineKind, 4, "\\uld ", "\\ulnone ");
        kept("thick underline", prop::UnderlineKind, 9, "\\ulth ", "\\ulnone ");
        row("strike", [](QTextCharFormat &f) { f.setFontStrikeOut(true); }, "\\strike ", "\\strike0 ");
        row("superscript", [](QTextCharFormat &f) { f.setVerticalAlignment(QTextCharFormat::AlignSuperScript); },
            "\\super ", "\\nosupersub ");
        row("subscript", [](QTextCharFormat &f) { f.setVerticalAlignment(QTextCharFormat::AlignSubScript); },
            "\\sub ", "\\nosupersub ");
        kept("raised", prop::Offset, 6, "\\up6 ", "\\up0 ");
        kept("lowered", prop::Offset, -4, "\\dn4 ", "\\up0 ");
        kept("hidden", prop::Hidden, true, "\\v ", "\\v0 ");
        row("caps", [](QTextCharFormat &f) { f.setFontCapitalization(QFont::AllUppercase); }, "\\caps ", "\\caps0 ");
        row("small caps", [](QTextCharFormat &f) { f.setFontCapitalization(QFont::SmallCaps); }, "\\scaps ", "\\scaps0 ");
        kept("spacing", prop::CharSpacing, 40, "\\expndtw40 ", "\\expndtw0 ");
        kept("kerning", prop::Kerning, 16, "\\kerning16 ", "\\kerning0 ");
        kept("animation", prop::Animation, 2, "\\animtext2 ", "\\animtext0 ");
        kept("outline", prop::Outline, true, "\\outl ", "\\outl0 ");
        kept("shadow", prop::Shadow, true, "\\shad ", "\\shad0 ");
        kept("emboss", prop::Emboss, true, "\\embo ", "\\embo0 ");
        kept("imprint", prop::Imprint, true, "\\impr ", "\\impr0 ");
        kept("language", prop::Lcid, 1036, "\\lang1036 ", "\\lang1033 ");
        row("half points", [](QTextCharFormat &f) { f.setFontPointSize(10.5); }, "\\fs21 ", "\\fs20 ");
        row("size", [](QTextCharFormat &f) { f.setFontPointSize(24); }, "\\fs48 ", "\\fs20 ");
    }

    void characterProperties()
    {
        QFETCH(FormatEdit, edit);
        QFETCH(QByteArray, on);
        QFETCH(QByteArray, off);
        NEW_DOCUMENT;
        run(cursor, QStringLiteral("before "));
        run(cursor, QStringLiteral("inside"), edit);
        run(cursor, QStringLiteral("after"));
        const QByteArray rtf = toRtf(doc);
        CONTAINS(rtf, on + "inside");
        CONTAINS(rtf, "inside" + off + "after");

        // And the reader takes the words back to the same property.
        QTextDocument read;
        QTextCursor readCursor(&read);
        QVERIFY(insertRtf(readCursor, rtf));
        QTextCharFormat expected;
        edit(expected);
        const auto at = [&read](int position) {
            QTextCursor c(&read);
            c.setPosition(position + 1);
            return c.charFormat();
        };
        const auto properties = expected.properties();
        for (auto it = properties.cbegin(); it != properties.cend(); ++it) {
            QCOMPARE(at(7).property(it.key()), it.value());     // "inside"
            QVERIFY(at(13).property(it.key()) != it.value());  // "after"
        }
    }

    void formattingChangesOnlyWhereItChanges()
    {
        NEW_DOCUMENT;
        auto bold = [](QTextCharFormat &f) { f.setFontWeight(QFont::Bold); };
        run(cursor, QStringLiteral("one "), bold);
        cursor.insertBlock();
        run(cursor, QStringLiteral("two"), bold);
        const QByteArray rtf = toRtf(doc);
        // Bold is switched on once and stays on across the paragraph end.
        QCOMPARE(count(rtf, "\\b\\") + count(rtf, "\\b "), 1);
        CONTAINS(rtf, "one \\par\r\ntwo\\par");
    }

    void paragraphProperties_data()
    {
        QTest::addColumn<BlockEdit>("edit");
        QTest::addColumn<QByteArray>("expected");
        auto row = [](const char *name, BlockEdit edit, const char *expected) {
            QTest::newRow(name) << edit << QByteArray(expected);
        };
        row("centre", [](QTextBlockFormat &f) { f.setAlignment(Qt::AlignHCenter); }, "\\pard\\qc");
        row("right", [](QTextBlockFormat &f) { f.setAlignment(Qt::AlignRight); }, "\\pard\\qr");
        row("justify", [](QTextBlockFormat &f) { f.setAlignment(Qt::AlignJustify); }, "\\pard\\qj");
        row("indents", [](QTextBlockFormat &f) { f.setLeftMargin(48); f.setRightMargin(24); f.setTextIndent(-24); },
            "\\pard\\li720\\ri360\\fi-360");
        row("indent level", [](QTextBlockFormat &f) { f.setIndent(1); }, "\\pard\\li600");
        row("spacing", [](QTextBlockFormat &f) { f.setTopMargin(8); f.setBottomMargin(16); }, "\\pard\\sb120\\sa240");
        row("line spacing kept", [](QTextBlockFormat &f) {
            f.setProperty(prop::LineSpacingRule, 276);
            f.setProperty(prop::LineSpacingMultiple, true);
        }, "\\pard\\sl276\\slmult1");
        row("one and a half", [](QTextBlockFormat &f) { f.setLineHeight(150, QTextBlockFormat::ProportionalHeight); },
            "\\pard\\sl360\\slmult1");
        row("exact", [](QTextBlockFormat &f) { f.setLineHeight(20, QTextBlockFormat::FixedHeight); },
            "\\pard\\sl-300\\slmult0");
        row("tabs", [](QTextBlockFormat &f) {
            f.setTabPositions({QTextOption::Tab(96, QTextOption::LeftTab), QTextOption::Tab(192, QTextOption::RightTab),
                               QTextOption::Tab(288, QTextOption::CenterTab)});
        }, "\\tx1440\\tqr\\tx2880\\tqc\\tx4320");
        row("keep", [](QTextBlockFormat &f) { f.setProperty(prop::KeepWithNext, true); f.setProperty(prop::KeepTogether, true); },
            "\\keepn\\keep");
        row("page break before", [](QTextBlockFormat &f) { f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore); },
            "\\pagebb");
    }

    void paragraphProperties()
    {
        QFETCH(BlockEdit, edit);
        QFETCH(QByteArray, expected);
        NEW_DOCUMENT;
        cursor.insertText(QStringLiteral("first"));
        QTextBlockFormat format;
        edit(format);
        cursor.insertBlock(format);
        cursor.insertText(QStringLiteral("second"));
        cursor.insertBlock(QTextBlockFormat());
        cursor.insertText(QStringLiteral("third"));
        const QByteArray rtf = toRtf(doc);
        CONTAINS(rtf, expected);
        // The properties belong to the second paragraph alone.
        CONTAINS(rtf, "first\\par\r\n\\pard");
        CONTAINS(rtf, "second\\par\r\n\\pard third");

        // The reader takes the words back to a paragraph that writes them again.
        QTextDocument read;
        setUp(read);
        QTextCursor readCursor(&read);
        QVERIFY(insertRtf(readCursor, rtf));
        QCOMPARE(toRtf(read), rtf);
    }

    void text_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("escapes") << QStringLiteral("a\\b{c}d") << QByteArray(" a\\\\b\\{c\\}d\\par");
        QTest::newRow("latin") << QString::fromUtf8("café") << QByteArray(" caf\\'e9\\par");
        QTest::newRow("euro in 1252") << QString::fromUtf8("5€") << QByteArray(" 5\\'80\\par");
        QTest::newRow("outside the code page") << QString::fromUtf8("жук")
                                               << QByteArray("\\u1078?\\u1091?\\u1082?\\par");
        QTest::newRow("above 32767") << QString(QChar(0xfb01)) << QByteArray("\\u-1279?\\par");
        QTest::newRow("surrogate pair") << QString::fromUtf8("😀")
                                        << QByteArray("\\u-10179?\\u-8704?\\par");
        QTest::newRow("tab") << QStringLiteral("a\tb") << QByteArray(" a\\tab b\\par");
        QTest::newRow("line") << QStringLiteral("a") + QChar(0x2028) + QStringLiteral("b")
                              << QByteArray(" a\\line b\\par");
        QTest::newRow("page") << QStringLiteral("a\fb") << QByteArray(" a\\page b\\par");
        QTest::newRow("digits after a word") << QStringLiteral("\t12") << QByteArray("\\tab 12\\par");
        QTest::newRow("control character") << QStringLiteral("a") + QChar(1) << QByteArray(" a\\'01\\par");
    }

    void text()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, expected);
        QTextDocument doc;
        setUp(doc);
        QTextCursor(&doc).insertText(text);
        const QByteArray rtf = toRtf(doc);
        CONTAINS(rtf, expected);
        for (char c : rtf)
            QVERIFY(static_cast<unsigned char>(c) < 0x80);
    }

    void textInTheFontsCodePage()
    {
        // A run whose font carries a Cyrillic charset writes its bytes in 1251,
        // the code page a reader decodes that font's \'hh with.
        NEW_DOCUMENT;
        run(cursor, QString::fromUtf8("да"), [](QTextCharFormat &f) {
            f.setFontFamilies({QStringLiteral("Arial")});
            f.setProperty(prop::FontCharset, 204);
        });
        const QByteArray rtf = toRtf(doc);
        CONTAINS(rtf, "{\\f1\\fnil\\fcharset204 Arial;}");
        CONTAINS(rtf, "\\f1\\fs20\\'e4\\'e0\\par");
    }

    void tokensStayWhole()
    {
        NEW_DOCUMENT;
        run(cursor, QStringLiteral("Dear "));
        run(cursor, QStringLiteral("@12"), [](QTextCharFormat &f) { f.setFontWeight(QFont::Bold); });
        run(cursor, QStringLiteral(", you owe "));
        run(cursor, QStringLiteral("@3"), [](QTextCharFormat &f) {
            f.setFontItalic(true);
            f.setForeground(Qt::red);
            f.setFontPointSize(14);
            f.setProperty(prop::Lcid, 1036);
        });
        run(cursor, QStringLiteral("7 by @45."));
        const QByteArray rtf = toRtf(doc);
        CONTAINS(rtf, "\\b @12\\b0 , you owe");
        CONTAINS(rtf, " @3\\cf0\\i0\\lang1033\\fs20 7 by @45.");
        // Every "@" of the document is followed by exactly its own digits.
        const QRegularExpression token(QStringLiteral("@(\\d+)"));
        QStringList found;
        for (auto it = token.globalMatch(QString::fromLatin1(rtf)); it.hasNext();)
            found << it.next().captured(1);
        QCOMPARE(found, QStringList({QStringLiteral("12"), QStringLiteral("3"), QStringLiteral("45")}));
    }

    void longParagraphIsNotBroken()
    {
        QTextDocument doc;
        setUp(doc);
        QString text;
        for (int i = 0; i < 2000; ++i)
            text += QStringLiteral("word@%1 ").arg(i);
        QTextCursor(&doc).insertText(text);
        const QByteArray rtf = toRtf(doc);
        QVERIFY(rtf.contains(text.toLatin1()));
    }

    void bullets()
    {
        NEW_DOCUMENT;
        cursor.insertText(QStringLiteral("intro\n"));
        cursor.createList(QTextListFormat::ListDisc);
        cursor.insertText(QStringLiteral("one\ntwo"));
        const QByteArray rtf = toRtf(doc);
        CONTAINS(rtf, "{\\f1\\fnil\\fcharset2 Symbol;}");
        CONTAINS(rtf, "\\pard{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0"
                      "{\\pntxtb\\'B7}}");
        CONTAINS(rtf, "one\\par\r\n{\\pntext\\f1\\'B7\\tab}two\\par");
        QCOMPARE(count(rtf, "{\\*\\pn"), 1);
        // Qt's list indent becomes the item's \li, and the marker hangs in it.
        CONTAINS(rtf, "{\\pntxtb\\'B7}}\\li600\\fi-360 one");
    }

    void bulletShapes()
    {
        NEW_DOCUMENT;
        cursor.createList(QTextListFormat::ListCircle);
        cursor.insertText(QStringLiteral("circle"));
        cursor.insertBlock(QTextBlockFormat());
        cursor.insertText(QStringLiteral("gap\n"));
        cursor.createList(QTextListFormat::ListSquare);
        cursor.insertText(QStringLiteral("square"));
        const QByteArray rtf = toRtf(doc);
        CONTAINS(rtf, "{\\f1\\fnil\\fcharset0 Courier New;}{\\f2\\fnil\\fcharset2 Wingdings;}");
        QVERIFY(rtf.contains("{\\pntext\\f1 o\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb o}}"));
        QVERIFY(rtf.contains("{\\pntext\\f2\\'A7\\tab}{\\*\\pn\\pnlvlblt\\pnf2\\pnindent0{\\pntxtb\\'A7}}"));
    }

    void listItemIndents()
    {
        // An item's own hanging indent, as the reader keeps it, wins over the
        // default quarter inch; a list without Qt indent takes the block's.
        NEW_DOCUMENT;
        QTextListFormat flat;
        flat.setStyle(QTextListFormat::ListDecimal);
        flat.setIndent(0);
        QTextBlockFormat item;
        item.setLeftMargin(48);
        item.setProperty(prop::ListTextIndent, -12.0);
        cursor.setBlockFormat(item);
        cursor.createList(flat);
        cursor.insertText(QStringLiteral("x"));
        const QByteArray rtf = toRtf(doc);
        CONTAINS(rtf, "{\\pntxta.}}\\li720\\fi-180\\f0\\fs20 x");
    }

    void numbering()
    {
        NEW_DOCUMENT;
        QTextListFormat format;
        format.setStyle(QTextListFormat::ListDecimal);
        cursor.createList(format);
        cursor.insertText(QStringLiteral("one\ntwo"));
        cursor.insertBlock(QTextBlockFormat());
        cursor.insertText(QStringLiteral("gap\n"));
        format.setStyle(QTextListFormat::ListLowerRoman);
        format.setNumberSuffix(QStringLiteral(")"));
        format.setProperty(prop::NumberingStart, 3);
        cursor.createList(format);
        cursor.insertText(QStringLiteral("three\nfour"));
        const QByteArray rtf = toRtf(doc);
        CONTAINS(rtf, "{\\pntext\\f0 1.\\tab}{\\*\\pn\\pnlvlbody\\pnf0\\pnindent0\\pnstart1"
                      "\\pndec{\\pntxta.}}");
        QVERIFY(rtf.contains("{\\pntext\\f0 2.\\tab}two"));
        QVERIFY(rtf.contains("\\pnstart3\\pnlcrm{\\pntxta)}}"));
        QVERIFY(rtf.contains("{\\pntext\\f0 iii)\\tab}"));
        QVERIFY(rtf.contains("{\\pntext\\f0 iv)\\tab}four"));

        // Numbering kept on the blocks (no list object) counts its own run.
        QTextDocument kept;
        setUp(kept);
        QTextCursor k(&kept);
        QTextBlockFormat numbered;
        numbered.setProperty(prop::NumberingKind, 4);
        numbered.setProperty(prop::NumberingStart, 2);
        k.setBlockFormat(numbered);
        k.insertText(QStringLiteral("b"));
        k.insertBlock(numbered);
        k.insertText(QStringLiteral("c"));
        const QByteArray keptRtf = toRtf(kept);
        CONTAINS(keptRtf, "{\\pntext\\f0 B.\\tab}");
        CONTAINS(keptRtf, "{\\pntext\\f0 C.\\tab}c");
        QVERIFY(keptRtf.contains("\\pnucltr"));
    }

    void tables()
    {
        NEW_DOCUMENT;
        cursor.insertText(QStringLiteral("before"));
        QTextTableFormat format;
        format.setCellPadding(4);
        format.setBorder(1);
        format.setColumnWidthConstraints({QTextLength(QTextLength::FixedLength, 100),
                                          QTextLength(QTextLength::FixedLength, 200)});
        QTextTable *table = cursor.insertTable(2, 2, format);
        table->cellAt(0, 0).firstCursorPosition().insertText(QStringLiteral("a"));
        QTextCursor b = table->cellAt(0, 1).firstCursorPosition();
        b.insertText(QStringLiteral("b1\nb2"));
        table->cellAt(1, 1).firstCursorPosition().insertText(QStringLiteral("d"));
        QTextTableCellFormat shaded;
        shaded.setBackground(QColor(0, 128, 0));
        table->cellAt(1, 0).setFormat(shaded);
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(QStringLiteral("after"));

        const QByteArray rtf = toRtf(doc);
        const QByteArray row1 = "\\trowd\\trgaph60\\clbrdrt\\brdrs\\brdrw15\\clbrdrl\\brdrs\\brdrw15"
                                "\\clbrdrb\\brdrs\\brdrw15\\clbrdrr\\brdrs\\brdrw15\\cellx1500";
        CONTAINS(rtf, row1);
        CONTAINS(rtf, "\\cellx4500\\pard\\intbl a\\cell b1\\par\r\nb2\\cell\\row\r\n");
        CONTAINS(rtf, "\\clcbpat1\\clbrdrt");
        CONTAINS(rtf, "\\cellx4500\\pard\\intbl\\cell d\\cell\\row\r\n\\pard after\\par");
        QCOMPARE(count(rtf, "\\row"), 2);
        QCOMPARE(count(rtf, "\\trowd"), 2);
        QVERIFY(rtf.contains("before\\par\r\n"));
    }

    void mergedCells()
    {
        NEW_DOCUMENT;
        QTextTable *table = cursor.insertTable(2, 3);
        table->mergeCells(0, 0, 1, 2); // across
        table->mergeCells(0, 2, 2, 1); // down
        table->cellAt(0, 0).firstCursorPosition().insertText(QStringLiteral("wide"));
        table->cellAt(0, 2).firstCursorPosition().insertText(QStringLiteral("tall"));
        const QByteArray rtf = withoutBorders(toRtf(doc));
        // Columns without a width share 6.5 inches.
        CONTAINS(rtf, "\\trowd\\trgaph0\\clmgf\\cellx3120\\clmrg\\cellx6240\\clvmgf\\cellx9360");
        CONTAINS(rtf, "\\trowd\\trgaph0\\cellx3120\\cellx6240\\clvmrg\\cellx9360");
        CONTAINS(rtf, "wide\\cell\\cell tall\\cell\\row");
        QCOMPARE(count(rtf, "\\cell\\") + count(rtf, "\\cell "), 6);
    }

    void nestedTables()
    {
        NEW_DOCUMENT;
        QTextTable *outer = cursor.insertTable(1, 2);
        QTextCursor inCell = outer->cellAt(0, 0).firstCursorPosition();
        inCell.insertText(QStringLiteral("out"));
        QTextTable *inner = inCell.insertTable(1, 2);
        inner->cellAt(0, 0).firstCursorPosition().insertText(QStringLiteral("x"));
        inner->cellAt(0, 1).firstCursorPosition().insertText(QStringLiteral("y"));
        outer->cellAt(0, 1).firstCursorPosition().insertText(QStringLiteral("z"));
        const QByteArray rtf = withoutBorders(toRtf(doc));
        CONTAINS(rtf, "\\cellx9360\\pard\\intbl out\\par\r\n\\pard\\intbl\\itap2 x\\nestcell y\\nestcell"
                      "{\\*\\nesttableprops\\trowd\\trgaph0\\cellx4680\\cellx9360\\nestrow}");
        // The outer row's definition is given again at its end: the nested
        // one came after it.
        CONTAINS(rtf, "\\nestrow}{\\nonesttables\\par}\r\n\\pard\\intbl\\cell z\\cell"
                      "\\trowd\\trgaph0\\cellx4680\\cellx9360\\row");
        QCOMPARE(count(rtf, "\\trowd"), 3);
    }

    void pictures()
    {
        NEW_DOCUMENT;
        cursor.insertText(QStringLiteral("see "));
        insertImage(doc, cursor, QStringLiteral("pic1"), testImage(4, 3));
        // Encoded JPEG bytes as the resource go out unchanged.
        QByteArray jpeg;
        {
            QBuffer buffer(&jpeg);
            buffer.open(QIODevice::WriteOnly);
            testImage(5, 5).save(&buffer, "JPEG");
        }
        doc.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("pic2")), jpeg);
        QTextImageFormat second;
        second.setName(QStringLiteral("pic2"));
        second.setWidth(10);
        second.setHeight(10);
        cursor.insertImage(second);

        const QByteArray rtf = toRtf(doc);
        CONTAINS(rtf, "see {\\pict\\pngblip\\picw4\\pich3\\picwgoal60\\pichgoal45\r\n89504e47");
        QVERIFY(rtf.contains("{\\pict\\jpegblip\\picw5\\pich5\\picwgoal150\\pichgoal150\r\n"
                             + jpeg.left(64).toHex() + "\r\n"));

        ExportOptions noObjects;
        noObjects.includeObjects = false;
        const QByteArray without = toRtf(doc, noObjects);
        QVERIFY(!without.contains("\\pict"));
        QVERIFY(without.contains("see \\par"));
    }

    void keptPictureAndObject()
    {
        NEW_DOCUMENT;
        QTextImageFormat metafile;
        setObjectKind(metafile, ObjectKind::WindowsMetafile);
        metafile.setProperty(prop::ObjectMeta, QStringLiteral("wmetafile8"));
        metafile.setProperty(prop::ObjectData, QByteArray("\x01\x02\xfe", 3));
        metafile.setProperty(prop::PictureWidth, 2540);
        metafile.setProperty(prop::PictureHeight, 1270);
        metafile.setProperty(prop::PictureWidthGoal, 1440);
        metafile.setProperty(prop::PictureHeightGoal, 720);
        cursor.insertImage(metafile);

        QTextImageFormat object;
        setObjectKind(object, ObjectKind::Object);
        object.setProperty(prop::ObjectMeta, QStringLiteral("\\objemb\\objw300 {\\evil}"));
        object.setProperty(prop::ObjectData, QByteArray("OLE"));
        object.setProperty(prop::ObjectFileName, QStringLiteral("report.pdf"));
        cursor.insertImage(object);

        const QByteArray rtf = toRtf(doc);
        CONTAINS(rtf, "{\\pict\\wmetafile8\\picw2540\\pich1270\\picwgoal1440\\pichgoal720\r\n"
                      "0102fe\r\n}");
        CONTAINS(rtf, "{\\object\\objemb\\objw300{\\*\\objname report.pdf}{\\*\\objdata\r\n"
                      "4f4c45\r\n}}");
        // Kept keywords are keywords only: nothing else of the stored text gets in.
        QVERIFY(!rtf.contains("evil"));
    }

    void hyperlinks()
    {
        NEW_DOCUMENT;
        run(cursor, QStringLiteral("go "));
        run(cursor, QStringLiteral("there"), [](QTextCharFormat &f) {
            f.setAnchor(true);
            f.setAnchorHref(QStringLiteral("http://example.org/a\"b"));
            f.setFontUnderline(true);
        });
        run(cursor, QStringLiteral(" now"), [](QTextCharFormat &f) {
            f.setAnchor(true);
            f.setAnchorHref(QStringLiteral("http://example.org/a\"b"));
            f.setFontUnderline(true);
            f.setFontWeight(QFont::Bold);
        });
        run(cursor, QStringLiteral(" end"));
        const QByteArray rtf = toRtf(doc);
        // One field for the link's two runs; the formatting inside it ends with
        // its group, so nothing needs switching off after it.
        CONTAINS(rtf, "go {\\field{\\*\\fldinst{HYPERLINK \"http://example.org/a%22b\"}}"
                      "{\\fldrslt{\\ul there\\b  now}}} end\\par");
    }

    void sameDocumentSameBytes()
    {
        auto build = [](QTextDocument &doc) {
            setUp(doc);
            QTextCursor cursor(&doc);
            for (int i = 0; i < 40; ++i) {
                run(cursor, QStringLiteral("run %1 ").arg(i), [i](QTextCharFormat &f) {
                    f.setForeground(QColor::fromHsv(i * 9, 200, 200));
                    f.setBackground(QColor::fromHsv(359 - i * 9, 100, 250));
                    f.setFontFamilies({QStringLiteral("Font%1").arg(i % 7)});
                    f.setFontWeight(i % 2 ? QFont::Bold : QFont::Normal);
                });
                if (i % 5 == 4)
                    cursor.insertBlock();
            }
        };
        QTextDocument first;
        build(first);
        // Another document with the same content, built after unrelated formats
        // have been used, so its format indices and hash layout differ.
        QTextDocument second;
        {
            QTextCursor c(&second);
            run(c, QStringLiteral("x"), [](QTextCharFormat &f) { f.setFontPointSize(33); });
            c.select(QTextCursor::Document);
            c.removeSelectedText();
        }
        build(second);
        const QByteArray a = toRtf(first);
        QCOMPARE(toRtf(first), a);
        QCOMPARE(toRtf(second), a);
    }

    void selection()
    {
        NEW_DOCUMENT;
        run(cursor, QStringLiteral("Hello "));
        run(cursor, QStringLiteral("bold"), [](QTextCharFormat &f) { f.setFontWeight(QFont::Bold); });
        cursor.insertBlock();
        run(cursor, QStringLiteral("second line"));
        run(cursor, QStringLiteral(" in red"), [](QTextCharFormat &f) { f.setForeground(Qt::red); });

        // Inside a paragraph: the characters alone, and no paragraph end.
        const QByteArray part = toRtf(doc, 3, 8);
        CONTAINS(part, "\\pard\\f0\\fs20 lo \\b bo}\r\n");
        QVERIFY(!part.contains("\\par\r\n"));
        QVERIFY(!part.contains("\\red"));

        // Across the paragraph end.
        const QByteArray across = toRtf(doc, 8, 17);
        CONTAINS(across, "\\pard\\b\\f0\\fs20 ld\\par\r\n\\b0 second}");
        QVERIFY(!across.contains("Hello"));

        // The tail of the document, with the last paragraph's end.
        const int count = doc.characterCount();
        const QByteArray tail = toRtf(doc, 18, -1);
        CONTAINS(tail, "line\\cf1  in red\\par\r\n}");
        QCOMPARE(toRtf(doc, 18, count), tail);
        QVERIFY(toRtf(doc, 0, -1) == toRtf(doc));

        // An empty selection is an empty document, not a paragraph.
        const QByteArray none = toRtf(doc, 5, 5);
        QVERIFY(!none.contains("\\par"));
        QVERIFY(none.startsWith("{\\rtf1"));
    }

    void selectionInsideCell()
    {
        NEW_DOCUMENT;
        QTextTable *table = cursor.insertTable(2, 2);
        table->cellAt(0, 0).firstCursorPosition().insertText(QStringLiteral("alpha"));
        table->cellAt(1, 1).firstCursorPosition().insertText(QStringLiteral("omega"));
        const int a = table->cellAt(0, 0).firstPosition();
        const QByteArray inCell = toRtf(doc, a + 1, a + 4);
        CONTAINS(inCell, "lph}");
        QVERIFY(!inCell.contains("\\trowd"));
        QVERIFY(!inCell.contains("\\intbl"));

        // From the first cell into the last: the rows it touches, whole.
        const int o = table->cellAt(1, 1).firstPosition();
        const QByteArray rows = toRtf(doc, a + 2, o + 2);
        QCOMPARE(count(rows, "\\row"), 2);
        CONTAINS(rows, "pha\\cell");
        CONTAINS(rows, "om\\cell\\row");
    }
};

QTEST_MAIN(TestRtfWriter)
#include "tst_rtfwriter.moc"
