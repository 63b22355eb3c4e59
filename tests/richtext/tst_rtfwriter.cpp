// The RTF writer's output, feature by feature: the exact forms a rich-edit
// control writes where the form is fixed, and the rules that the merge and
// the clipboard rely on (runs never split, identical bytes every time,
// selections written alone).

#include "richtexttesting.h"
#include "richtext/codepage.h"
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
        cursor.insertText(QStringLiteral("Hello\n\nc"));
        const QByteArray rtf = toRtf(doc);
        QVERIFY2(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil"
                                "\\fcharset0 Arial;}}\r\n{\\colortbl ;}\r\n"),
                 rtf.constData());
        // Every paragraph, empty ones too, ends in \par and CR LF.
        CONTAINS(rtf, "\\viewkind4\\uc1\\pard\\f0\\fs20 Hello\\par\r\n\\par\r\nc\\par\r\n}\r\n");
        QVERIFY(rtf.endsWith("}\r\n"));
        QTextDocument empty;
        setUp(empty);
        QVERIFY(toRtf(empty).contains("\\pard\\f0\\fs20\\par\r\n}"));

        // Another code page and language; in its own code page Cyrillic is bytes, not \u.
        doc.setPlainText(QString::fromUtf8("Привет"));
        ExportOptions options;
        options.codePage = 1251;
        options.lcid = 1049;
        const QByteArray cyrillic = toRtf(doc, options);
        QVERIFY(cyrillic.startsWith("{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049{\\fonttbl{\\f0\\fnil"
                                    "\\fcharset204 Arial;}}"));
        CONTAINS(cyrillic, "\\'cf\\'f0\\'e8\\'e2\\'e5\\'f2");
        QVERIFY(!cyrillic.contains("\\u1"));

        // Plain RTF leaves language out.
        cursor.select(QTextCursor::Document);
        QTextCharFormat french;
        french.setProperty(prop::Lcid, 1036);
        cursor.mergeCharFormat(french);
        QVERIFY(toRtf(doc).contains("\\lang1036"));
        options.plainRtf = true;
        QVERIFY(!toRtf(doc, options).contains("\\lang"));
    }

    void fontAndColorTables()
    {
        QTextDocument doc;
        setUp(doc, QStringLiteral("Times New Roman"));
        QTextCursor cursor(&doc);
        // The first run is in another font; \f0 stays the document's font.
        run(cursor, QStringLiteral("mono "), [](QTextCharFormat &f) {
            f.setFontFamilies({QStringLiteral("Courier New")});
            f.setForeground(QColor(255, 0, 0));
        });
        run(cursor, QStringLiteral("plain "));
        run(cursor, QStringLiteral("sans"), [](QTextCharFormat &f) {
            f.setFontFamilies({QStringLiteral("Arial")});
            f.setProperty(prop::FontFamilyKind, QStringLiteral("fswiss"));
            f.setProperty(prop::FontPitch, 2);
            f.setBackground(QColor(0, 0, 255));
            f.setForeground(QColor(255, 0, 0));
        });
        // A font whose charset is Cyrillic writes its bytes in 1251, the code
        // page a reader decodes that font's \'hh with.
        run(cursor, QString::fromUtf8("да"), [](QTextCharFormat &f) {
            f.setFontFamilies({QStringLiteral("Arial")});
            f.setProperty(prop::FontCharset, 204);
            f.setForeground(QColor(10, 20, 30));
            f.setProperty(prop::AutoColor, true);
        });
        const QByteArray rtf = toRtf(doc);
        CONTAINS(rtf, "{\\fonttbl{\\f0\\fnil\\fcharset0 Times New Roman;}{\\f1\\fnil\\fcharset0 Courier New;}"
                      "{\\f2\\fswiss\\fprq2\\fcharset0 Arial;}{\\f3\\fnil\\fcharset204 Arial;}}");
        CONTAINS(rtf, "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}");
        CONTAINS(rtf, "\\cf1\\f1\\fs20 mono \\cf0\\f0 plain \\cf1\\highlight2\\f2 sans"
                      "\\cf0\\highlight0\\f3\\'e4\\'e0\\par");

        // A font or colour that no run uses is not listed, whatever the format collection holds.
        cursor.select(QTextCursor::Document);
        QTextCharFormat plain;
        plain.setFontFamilies({QStringLiteral("Times New Roman")});
        cursor.setCharFormat(plain);
        const QByteArray after = toRtf(doc);
        QVERIFY(!after.contains("Courier") && !after.contains("Arial") && !after.contains("\\red"));
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
        // Offset and kerning are kept in twips, written in half points.
        kept("raised", prop::Offset, 60, "\\up6 ", "\\up0 ");
        kept("lowered", prop::Offset, -40, "\\dn4 ", "\\up0 ");
        kept("hidden", prop::Hidden, true, "\\v ", "\\v0 ");
        row("caps", [](QTextCharFormat &f) { f.setFontCapitalization(QFont::AllUppercase); }, "\\caps ", "\\caps0 ");
        row("small caps", [](QTextCharFormat &f) { f.setFontCapitalization(QFont::SmallCaps); }, "\\scaps ", "\\scaps0 ");
        kept("spacing", prop::CharSpacing, 40, "\\expndtw40 ", "\\expndtw0 ");
        kept("kerning", prop::Kerning, 160, "\\kerning16 ", "\\kerning0 ");
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
        const auto read = load(rtf);
        QTextCharFormat expected;
        edit(expected);
        const auto properties = expected.properties();
        for (auto it = properties.cbegin(); it != properties.cend(); ++it) {
            QCOMPARE(formatOf(*read, "inside").property(it.key()), it.value());
            QVERIFY(formatOf(*read, "after").property(it.key()) != it.value());
        }
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

    // Text in the document's code page or as \u, in 7-bit RTF that reads back
    // to the same text (but for control characters, which the reader drops).
    void text_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("codePage");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<QString>("read");
        auto row = [](const char *name, const QString &text, const QByteArray &expected, int codePage = 1252,
                      const QString &read = {}) { QTest::newRow(name) << text << codePage << expected << read; };
        row("escapes", QStringLiteral("a\\b{c}d"), " a\\\\b\\{c\\}d\\par");
        row("latin", QString::fromUtf8("café"), " caf\\'e9\\par");
        row("euro in 1252", QString::fromUtf8("5€"), " 5\\'80\\par");
        row("outside the code page", QString::fromUtf8("жук"), "\\u1078?\\u1091?\\u1082?\\par");
        row("above 32767", QString(QChar(0xfb01)), "\\u-1279?\\par");
        row("surrogate pair", QString::fromUtf8("😀"), "\\u-10179?\\u-8704?\\par");
        row("tab", QStringLiteral("a\tb"), " a\\tab b\\par");
        row("line", QStringLiteral("a\u2028b"), " a\\line b\\par");
        row("page", QStringLiteral("a\fb"), " a\\page b\\par");
        row("digits after a word", QStringLiteral("\t12"), "\\tab 12\\par");
        row("control character", QStringLiteral("a\1"), " a\\'01\\par", 1252, QStringLiteral("a"));
        row("1252", QString::fromUtf8("Grüße, € et œuvre — жук"), "Gr\\'fc\\'dfe");
        row("1251", QString::fromUtf8("Привет, мир — café"), "\\'cf\\'f0\\'e8\\'e2\\'e5\\'f2, ", 1251);
        row("1250", QString::fromUtf8("Żółć łódź ß"), "", 1250);
        row("932", QString::fromUtf8("日本語のテキスト ｱｲｳ abc"), "", 932);
        QString words;
        for (int i = 0; i < 2000; ++i)
            words += QStringLiteral("word@%1 ").arg(i);
        row("long paragraph is not broken", words, words.toLatin1());
    }

    void text()
    {
        QFETCH(QString, text);
        QFETCH(int, codePage);
        QFETCH(QByteArray, expected);
        QFETCH(QString, read);
        QTextDocument doc;
        setUp(doc);
        QTextCursor(&doc).insertText(text);
        const QByteArray rtf = toRtf(doc, {codePage, codepage::lcidFor(codePage)});
        CONTAINS(rtf, expected);
        for (char c : rtf)
            QVERIFY(static_cast<unsigned char>(c) < 0x80);
        QCOMPARE(load(rtf)->toRawText(), read.isEmpty() ? text : read);
    }

    // The merge finds "@" tokens in the RTF: a run is never split, and the
    // formatting changes only where it changes.
    void tokensStayWhole()
    {
        NEW_DOCUMENT;
        auto bold = [](QTextCharFormat &f) { f.setFontWeight(QFont::Bold); };
        run(cursor, QStringLiteral("Dear "), bold);
        cursor.insertBlock();
        run(cursor, QStringLiteral("@12"), bold);
        run(cursor, QStringLiteral(", you owe "));
        run(cursor, QStringLiteral("@3"), [](QTextCharFormat &f) {
            f.setFontItalic(true);
            f.setForeground(Qt::red);
            f.setFontPointSize(14);
            f.setProperty(prop::Lcid, 1036);
        });
        run(cursor, QStringLiteral("7 by @45."));
        const QByteArray rtf = toRtf(doc);
        // Bold is switched on once and stays on across the paragraph end.
        CONTAINS(rtf, "\\b\\f0\\fs20 Dear \\par\r\n@12\\b0 , you owe");
        QCOMPARE(count(rtf, "\\b\\") + count(rtf, "\\b "), 1);
        CONTAINS(rtf, " @3\\cf0\\i0\\lang1033\\fs20 7 by @45.");
        // Every "@" of the document is followed by exactly its own digits.
        QStringList found;
        const QRegularExpression token(QStringLiteral("@(\\d+)"));
        for (auto it = token.globalMatch(QString::fromLatin1(rtf)); it.hasNext();)
            found << it.next().captured(1);
        QCOMPARE(found, (QStringList{"12", "3", "45"}));
    }

    void lists()
    {
        NEW_DOCUMENT;
        cursor.insertText(QStringLiteral("intro\n"));
        for (const auto style : {QTextListFormat::ListDisc, QTextListFormat::ListCircle, QTextListFormat::ListSquare}) {
            cursor.createList(style);
            cursor.insertText(QStringLiteral("one\ntwo"));
            cursor.insertBlock(QTextBlockFormat());
            cursor.insertText(QStringLiteral("gap\n"));
        }
        QTextListFormat format;
        format.setStyle(QTextListFormat::ListDecimal);
        cursor.createList(format);
        cursor.insertText(QStringLiteral("first\nsecond"));
        cursor.insertBlock(QTextBlockFormat());
        cursor.insertText(QStringLiteral("gap\n"));
        format.setStyle(QTextListFormat::ListLowerRoman);
        format.setNumberSuffix(QStringLiteral(")"));
        format.setProperty(prop::NumberingStart, 3);
        cursor.createList(format);
        cursor.insertText(QStringLiteral("three\nfour"));
        const QByteArray rtf = toRtf(doc);
        CONTAINS(rtf, "{\\f1\\fnil\\fcharset2 Symbol;}{\\f2\\fnil\\fcharset0 Courier New;}"
                      "{\\f3\\fnil\\fcharset2 Wingdings;}");
        // Qt's list indent becomes the item's \li, and the marker hangs in it.
        CONTAINS(rtf, "intro\\par\r\n\\pard{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'B7}}"
                      "\\li600\\fi-360 one\\par\r\n{\\pntext\\f1\\'B7\\tab}two\\par");
        CONTAINS(rtf, "{\\pntext\\f2 o\\tab}{\\*\\pn\\pnlvlblt\\pnf2\\pnindent0{\\pntxtb o}}");
        CONTAINS(rtf, "{\\pntext\\f3\\'A7\\tab}{\\*\\pn\\pnlvlblt\\pnf3\\pnindent0{\\pntxtb\\'A7}}");
        CONTAINS(rtf, "{\\pntext\\f0 1.\\tab}{\\*\\pn\\pnlvlbody\\pnf0\\pnindent0\\pnstart1\\pndec{\\pntxta.}}");
        CONTAINS(rtf, "{\\pntext\\f0 2.\\tab}second");
        CONTAINS(rtf, "\\pnstart3\\pnlcrm{\\pntxta)}}");
        CONTAINS(rtf, "{\\pntext\\f0 iii)\\tab}");
        CONTAINS(rtf, "{\\pntext\\f0 iv)\\tab}four");
        QCOMPARE(count(rtf, "{\\*\\pn"), 5); // once per list

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
        CONTAINS(keptRtf, "\\pnucltr");
        CONTAINS(keptRtf, "{\\pntext\\f0 B.\\tab}");
        CONTAINS(keptRtf, "{\\pntext\\f0 C.\\tab}c");

        // An item's own hanging indent, as the reader keeps it, wins over the
        // default quarter inch; a list without Qt indent takes the block's.
        QTextDocument flat;
        setUp(flat);
        QTextCursor f(&flat);
        format.setIndent(0);
        QTextBlockFormat item;
        item.setLeftMargin(48);
        item.setProperty(prop::ListTextIndent, -12.0);
        f.setBlockFormat(item);
        f.createList(format);
        f.insertText(QStringLiteral("x"));
        CONTAINS(toRtf(flat), "{\\pntxta)}}\\li720\\fi-180\\f0\\fs20 x");
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

    void mergedAndNestedCells()
    {
        NEW_DOCUMENT;
        QTextTable *table = cursor.insertTable(2, 3);
        table->mergeCells(0, 0, 1, 2); // across
        table->mergeCells(0, 2, 2, 1); // down
        table->cellAt(0, 0).firstCursorPosition().insertText(QStringLiteral("wide"));
        table->cellAt(0, 2).firstCursorPosition().insertText(QStringLiteral("tall"));
        QTextCursor inCell = table->cellAt(1, 0).firstCursorPosition();
        inCell.insertText(QStringLiteral("out"));
        QTextTable *inner = inCell.insertTable(1, 2);
        inner->cellAt(0, 0).firstCursorPosition().insertText(QStringLiteral("x"));
        inner->cellAt(0, 1).firstCursorPosition().insertText(QStringLiteral("y"));
        table->cellAt(1, 1).firstCursorPosition().insertText(QStringLiteral("z"));
        const QByteArray rtf = withoutBorders(toRtf(doc));
        // Columns without a width share the text width of the default page:
        // 6 inches.
        CONTAINS(rtf, "\\trowd\\trgaph0\\clmgf\\cellx2880\\clmrg\\cellx5760\\clvmgf\\cellx8640");
        CONTAINS(rtf, "wide\\cell\\cell tall\\cell\\row");
        CONTAINS(rtf, "\\trowd\\trgaph0\\cellx2880\\cellx5760\\clvmrg\\cellx8640\\pard\\intbl out\\par\r\n"
                      "\\pard\\intbl\\itap2 x\\nestcell y\\nestcell"
                      // The nested table shares its cell's two inches.
                      "{\\*\\nesttableprops\\trowd\\trgaph0\\cellx1440\\cellx2880\\nestrow}");
        // The outer row's definition is given again at its end: the nested
        // one came after it.
        CONTAINS(rtf, "\\nestrow}{\\nonesttables\\par}\r\n\\pard\\intbl\\cell z\\cell\\cell"
                      "\\trowd\\trgaph0\\cellx2880\\cellx5760\\clvmrg\\cellx8640\\row");
        QCOMPARE(count(rtf, "\\trowd"), 4);
        QCOMPARE(count(rtf, "\\cell\\") + count(rtf, "\\cell "), 6); // covered cells too
    }

    void picturesAndObjects()
    {
        NEW_DOCUMENT;
        cursor.insertText(QStringLiteral("see "));
        insertImage(doc, cursor, QStringLiteral("pic1"), testImage(4, 3));
        // Encoded JPEG bytes as the resource go out unchanged.
        QByteArray jpeg;
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        testImage(5, 5).save(&buffer, "JPEG");
        doc.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("pic2")), jpeg);
        QTextImageFormat second;
        second.setName(QStringLiteral("pic2"));
        second.setWidth(10);
        second.setHeight(10);
        cursor.insertImage(second);
        // What Qt cannot show goes out as the bytes and keywords it came with.
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
        CONTAINS(rtf, "see {\\pict\\pngblip\\picw4\\pich3\\picwgoal60\\pichgoal45\r\n89504e47");
        CONTAINS(rtf, "{\\pict\\jpegblip\\picw5\\pich5\\picwgoal150\\pichgoal150\r\n" + jpeg.left(64).toHex() + "\r\n");
        CONTAINS(rtf, "{\\pict\\wmetafile8\\picw2540\\pich1270\\picwgoal1440\\pichgoal720\r\n0102fe\r\n}");
        CONTAINS(rtf, "{\\object\\objemb\\objw300{\\*\\objname report.pdf}{\\*\\objdata\r\n4f4c45\r\n}}");
        // Kept keywords are keywords only: nothing else of the stored text gets in.
        QVERIFY(!rtf.contains("evil"));

        ExportOptions noObjects;
        noObjects.includeObjects = false;
        const QByteArray without = toRtf(doc, noObjects);
        QVERIFY(!without.contains("\\pict") && !without.contains("\\object"));
        CONTAINS(without, "see \\par");
    }

    void hyperlinks()
    {
        NEW_DOCUMENT;
        auto link = [](QTextCharFormat &f) {
            f.setAnchor(true);
            f.setAnchorHref(QStringLiteral("http://example.org/a\"b"));
            f.setFontUnderline(true);
        };
        run(cursor, QStringLiteral("go "));
        run(cursor, QStringLiteral("there"), link);
        run(cursor, QStringLiteral(" now"), [&link](QTextCharFormat &f) {
            link(f);
            f.setFontWeight(QFont::Bold);
        });
        run(cursor, QStringLiteral(" end"));
        // One field for the link's two runs; the formatting inside it ends with
        // its group, so nothing needs switching off after it.
        CONTAINS(toRtf(doc), "go {\\field{\\*\\fldinst{HYPERLINK \"http://example.org/a%22b\"}}"
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
        QTextCursor c(&second);
        run(c, QStringLiteral("x"), [](QTextCharFormat &f) { f.setFontPointSize(33); });
        c.select(QTextCursor::Document);
        c.removeSelectedText();
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
        cursor.insertBlock();
        QTextTable *table = cursor.insertTable(2, 2);
        table->cellAt(0, 0).firstCursorPosition().insertText(QStringLiteral("alpha"));
        table->cellAt(1, 1).firstCursorPosition().insertText(QStringLiteral("omega"));
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(QStringLiteral("end"));

        // Inside a paragraph: the characters alone, and no paragraph end.
        const QByteArray part = toRtf(doc, 3, 8);
        CONTAINS(part, "\\pard\\f0\\fs20 lo \\b bo}\r\n");
        QVERIFY(!part.contains("\\par\r\n") && !part.contains("\\red"));
        // Across the paragraph end.
        const QByteArray across = toRtf(doc, 8, 17);
        CONTAINS(across, "\\pard\\b\\f0\\fs20 ld\\par\r\n\\b0 second}");
        QVERIFY(!across.contains("Hello"));
        // The tail of the document, with the last paragraph's end.
        const int tailStart = doc.characterCount() - 4;
        const QByteArray tail = toRtf(doc, tailStart, -1);
        CONTAINS(tail, "end\\par\r\n}");
        QCOMPARE(toRtf(doc, tailStart, doc.characterCount()), tail);
        QCOMPARE(toRtf(doc, 0, -1), toRtf(doc));
        // An empty selection is an empty document, not a paragraph.
        const QByteArray none = toRtf(doc, 5, 5);
        QVERIFY(none.startsWith("{\\rtf1") && !none.contains("\\par"));

        // Inside one cell: that cell's text alone.
        const int a = table->cellAt(0, 0).firstPosition();
        const QByteArray inCell = toRtf(doc, a + 1, a + 4);
        CONTAINS(inCell, "lph}");
        QVERIFY(!inCell.contains("\\trowd") && !inCell.contains("\\intbl"));
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
