// The RTF reader: text, character and paragraph formats, encodings,
// destinations, fields, styles and where inserted text lands; and hostile or
// broken input, which ends in bounded time and memory with what can be read
// read.

#include "richtexttesting.h"
#include "richtext/documentio.h"
#include "richtext/textproperties.h"
#include "testsupport.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTest>
#include <QTextList>

using namespace richtext;
using namespace testdocs;

namespace {

// Loads the data both ways and lays the document out, as the editor will.
// Returns the milliseconds taken.
qint64 exercise(const QByteArray &data)
{
    QElapsedTimer timer;
    timer.start();
    const auto doc = load(data);
    doc->setTextWidth(600);
    doc->documentLayout()->documentSize();
    rtfToPlainText(data);
    return timer.elapsed();
}

// A document that uses most of what the reader knows, for cutting short.
QByteArray richSample()
{
    return rtf(
        "{\\stylesheet{\\s1\\b Heading;}}{\\*\\listtable{\\list{\\listlevel\\levelnfc0"
        "{\\leveltext\\'02\\'00.;}}\\listid1}}{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}"
        "\\pard\\s1 Title\\par\\pard\\ls1 item\\par\\pard{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}} bullet\\par"
        "\\pard\\qc {\\b\\i\\ul\\cf1 formatted}\\u8364? caf\\'e9 {\\f2\\'e0}\\line x\\tab y\\page\\par"
        "{\\field{\\*\\fldinst HYPERLINK \"http://a.example\"}{\\fldrslt link}}\\par"
        "\\trowd\\clmgf\\cellx1000\\clmrg\\cellx2000\\clvmgf\\cellx3000\\pard\\intbl a\\cell\\cell b\\cell\\row"
        "\\trowd\\cellx1000\\cellx2000\\clvmrg\\cellx3000\\pard\\intbl c\\cell"
        "\\pard\\intbl\\itap2 n\\nestcell{\\*\\nesttableprops\\trowd\\cellx500\\nestrow}"
        "\\pard\\intbl\\itap1 d\\cell\\cell\\row"
        "\\pard{\\pict\\pngblip\\picwgoal300\\pichgoal300 89504e470d0a1a0a0000}"
        "{\\pict\\wmetafile8\\picw100\\pich100 0100}{\\*\\foo skipped}"
        "{\\object\\objemb{\\*\\objdata 0102}{\\result{\\pict\\dibitmap0 28000000}}}"
        "{\\upr{x}{\\*\\ud{\\uc2\\u12354\\'82\\'a0}}}\\bin3 {}}\\par");
}

} // namespace

class TestRtfReader : public QObject
{
    Q_OBJECT

private slots:
    // Any bytes give a document: RTF when they are RTF, else text in the
    // encoding that a byte-order mark, or the bytes' validity, names.
    void readDocumentBytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("codePage");
        QTest::addColumn<QString>("text");
        QTest::newRow("rtf") << QByteArray("{\\rtf1 {\\b x}\\'e9}") << 1251 << QStringLiteral("x\u0439");
        QTest::newRow("rtf after bom and space") << QByteArray("\xEF\xBB\xBF \r\n{\\rtf1 x}") << 1252
                                                 << QStringLiteral("x");
        QTest::newRow("line end after the brace") << QByteArray("{\r\n\\rtf1 x}") << 1252 << QStringLiteral("x");
        QTest::newRow("another group is text") << QByteArray("{\\b x}") << 1252 << QStringLiteral("{\\b x}");
        QTest::newRow("cut short") << QByteArray("{\\rt") << 1252 << QStringLiteral("{\\rt");
        QTest::newRow("empty") << QByteArray() << 1252 << QString();
        QTest::newRow("utf-8") << QByteArray("caf\xc3\xa9\r\nx\fy") << 1252 << QStringLiteral("caf\u00e9\nx\fy");
        QTest::newRow("utf-8 bom") << QByteArray("\xef\xbb\xbf\xd0\xb0\rb") << 1251
                                   << QStringLiteral("\u0430\nb");
        QTest::newRow("cp1252") << QByteArray("caf\xe9 \x80") << 1252 << QStringLiteral("caf\u00e9 \u20ac");
        QTest::newRow("cp1251") << QByteArray("\xe0\xe1") << 1251 << QStringLiteral("\u0430\u0431");
        QTest::newRow("utf-16le bom") << QByteArray("\xff\xfeh\0\x14\x04", 6) << 1252 << QStringLiteral("h\u0414");
        QTest::newRow("utf-16be bom") << QByteArray("\xfe\xff\0h\x04\x14", 6) << 1252 << QStringLiteral("h\u0414");
        QTest::newRow("truncated utf-8 is not utf-8") << QByteArray("ab\xc3") << 1252
                                                       << QStringLiteral("ab\u00c3");
        QTest::newRow("frame characters") << QByteArray("a\xef\xb7\x90z") << 1252
                                          << QStringLiteral("a\ufffdz");
    }

    void readDocumentBytes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, codePage);
        QFETCH(QString, text);
        const ImportOptions options{codePage, false};
        QTextDocument doc;
        QTextCursor cursor(&doc);
        richtext::readDocumentBytes(cursor, bytes, options);
        QCOMPARE(doc.toPlainText(), text);
        QCOMPARE(rtfToPlainText(bytes, options), text);
        // A form feed stays a page break the editor can hide.
        for (int at = doc.toPlainText().indexOf(u'\f'); at >= 0; at = doc.toPlainText().indexOf(u'\f', at + 1)) {
            QTextCursor c(&doc);
            c.setPosition(at + 1);
            QVERIFY(c.charFormat().boolProperty(prop::FormFeed));
        }
    }

    void documentAsText_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<bool>("named");
        QTest::addColumn<QString>("text");
        // "one" / "two" line break "three" object / "four": paragraph ends at 3 and 14.
        QTest::newRow("whole") << 0 << -1 << false << QStringLiteral("one\ntwo\nthree\nfour");
        QTest::newRow("objects named") << 0 << -1 << true << QStringLiteral("one\ntwo\nthreereport.pdf\nfour");
        QTest::newRow("inside a paragraph") << 1 << 2 << false << QStringLiteral("n");
        QTest::newRow("up to a paragraph end") << 0 << 3 << false << QStringLiteral("one");
        QTest::newRow("with the paragraph end") << 0 << 4 << false << QStringLiteral("one\n");
        QTest::newRow("across") << 2 << 5 << false << QStringLiteral("e\nt");
        QTest::newRow("past the end") << 15 << 1000 << false << QStringLiteral("four");
    }

    void documentAsText()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(bool, named);
        QFETCH(QString, text);
        QTextDocument doc;
        QTextCursor c(&doc);
        c.insertText(QStringLiteral("one\ntwo") + QChar(QChar::LineSeparator) + QStringLiteral("three"));
        QTextImageFormat object;
        object.setProperty(prop::ObjectFileName, QStringLiteral("report.pdf"));
        c.insertImage(object);
        c.insertText(QStringLiteral("\nfour"));
        QCOMPARE(plainText(doc, from, to, named), text);
    }

    // The writer's tests read each character keyword back; here what they
    // leave out: fonts and colours through their tables, the looks Qt shows
    // kept values with, groups putting the state back, and \plain, which
    // resets all but a link.
    void characterFormats()
    {
        const auto doc = load(rtf("\\f0\\fs20 {\\i italic}{\\up6 raised}{\\cf1 crimson}{\\highlight2 marked}"
                                  "{\\expndtw30 wide}{\\f2\\fs31 courier}{\\cf0 auto}"
                                  "{\\field{\\*\\fldinst HYPERLINK \"http://x.example/\"}"
                                  "{\\fldrslt \\b\\fs40 big \\plain link}}\\par"));
        QCOMPARE(formatOf(*doc, "raised").intProperty(prop::Offset), 60); // 3 pt, in twips
        QCOMPARE(formatOf(*doc, "crimson").foreground().color(), QColor(255, 0, 0));
        QCOMPARE(formatOf(*doc, "marked").background().color(), QColor(0, 0, 255));
        QCOMPARE(formatOf(*doc, "wide").fontLetterSpacing(), 2.0);
        const QTextCharFormat courier = formatOf(*doc, "courier");
        QCOMPARE(courier.fontFamilies().toStringList(), QStringList{"Courier Cyr"});
        QCOMPARE(courier.intProperty(prop::FontCharset), 204);
        QCOMPARE(courier.stringProperty(prop::FontFamilyKind), QStringLiteral("fmodern"));
        QVERIFY(!formatOf(*doc, "auto").hasProperty(QTextFormat::ForegroundBrush));
        QVERIFY(!formatOf(*doc, "raised").fontItalic());
        QCOMPARE(formatOf(*doc, "auto").fontPointSize(), 10.0);
        const QTextCharFormat link = formatOf(*doc, "link");
        QVERIFY(link.fontWeight() == QFont::Normal && link.fontPointSize() == 12.0);
        QCOMPARE(link.anchorHref(), QStringLiteral("http://x.example/"));
    }

    // The writer's tests read each paragraph keyword back; here the reset
    // that \pard is, and a last paragraph without \par that keeps its format.
    void pardResetsTheParagraph()
    {
        const auto doc = load(rtf("\\pard\\qc\\li720\\keepn\\sl360\\slmult1 centre\\par\\pard plain\\par\\qc last"));
        const QTextBlockFormat plain = blockOf(*doc, "plain").blockFormat();
        QCOMPARE(plain.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
        QCOMPARE(plain.leftMargin(), 0.0);
        QVERIFY(!plain.boolProperty(prop::KeepWithNext) && !plain.hasProperty(prop::LineSpacingRule));
        QCOMPARE(blockOf(*doc, "last").blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    }

    void tabStops()
    {
        const auto doc = load(rtf("\\pard\\tx720\\tqr\\tx2880\\tqc\\tldot\\tx4320\\tqdec\\tx5760"
                                  "\\tx720 a\\tab b\\par"));
        const QList<QTextOption::Tab> tabs = blockOf(*doc, "a").blockFormat().tabPositions();
        // The second \tx720 replaces the first.
        QCOMPARE(tabs, (QList<QTextOption::Tab>{{48, QTextOption::LeftTab}, {192, QTextOption::RightTab},
                                                {288, QTextOption::CenterTab}, {384, QTextOption::DelimiterTab, u'.'}}));
        QCOMPARE(blockOf(*doc, "a").text(), QStringLiteral("a\tb"));
    }

    void breaksAndSpecialCharacters()
    {
        const auto doc = load(rtf("one\\line two\\page three\\'0cfour\\par"
                                  "\\emdash\\endash\\~\\-\\_\\bullet\\lquote\\rquote\\ldblquote\\rdblquote"
                                  "\\{\\}\\\\\\par"));
        QCOMPARE(blocks(*doc), (QStringList{QStringLiteral("one\u2028two\fthree\ffour"),
                                            QStringLiteral("\u2014\u2013\u00a0\u00ad\u2011\u2022\u2018\u2019\u201c\u201d{}\\")}));
        QTextCursor c(doc.get());
        c.setPosition(8); // after the \page
        QVERIFY(c.charFormat().boolProperty(prop::FormFeed));
        QVERIFY(!formatOf(*doc, "three").boolProperty(prop::FormFeed));
    }

    void insertsIntoExistingText()
    {
        QTextDocument doc;
        QTextCursor c(&doc);
        QTextBlockFormat right;
        right.setAlignment(Qt::AlignRight);
        c.setBlockFormat(right);
        c.insertText(QStringLiteral("xxyy"));
        c.setPosition(2);
        QVERIFY(insertRtf(c, "{\\rtf1 \\qc A\\par\\ql\\b B\\par}"));
        QCOMPARE(blocks(doc), (QStringList{"xxA", "B", "yy"}));
        // The paragraph the text went into keeps its format; so does the text
        // after the cursor.
        QVERIFY(doc.begin().blockFormat().alignment() & Qt::AlignRight);
        QVERIFY(doc.lastBlock().blockFormat().alignment() & Qt::AlignRight);
        QCOMPARE(formatOf(doc, "B").fontWeight(), int(QFont::Bold));
        QCOMPARE(c.position(), 5); // after "B", like typing

        // A fragment without paragraph ends stays in the paragraph.
        QTextDocument one;
        QTextCursor d(&one);
        d.insertText(QStringLiteral("[]"));
        d.setPosition(1);
        QVERIFY(insertRtf(d, "{\\rtf1 {\\i mid}}"));
        QCOMPARE(blocks(one), QStringList{"[mid]"});

        // A selection is replaced.
        d.setPosition(1);
        d.setPosition(4, QTextCursor::KeepAnchor);
        QVERIFY(insertRtf(d, "{\\rtf1 new}"));
        QCOMPARE(one.toPlainText(), QStringLiteral("[new]"));
    }

    // The text of RTF, read into a document and as plain text: the same but
    // for the last paragraph end, which the document does not add as a block.
    void textOfRtf_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("defaultCodePage");
        QTest::addColumn<bool>("plainRtf");
        QTest::addColumn<QString>("text");
        auto row = [](const char *name, const QByteArray &data, const QString &text, int codePage = 1252,
                      bool plainRtf = false) { QTest::newRow(name) << data << codePage << plainRtf << text; };
        const auto japanese = [](const char *body) {
            return "{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fcharset128 MS Gothic;}}\\f0 " + QByteArray(body) + "}";
        };
        row("last par adds no block", "{\\rtf1 A\\par}", "A\n");
        row("empty last paragraph", "{\\rtf1 A\\par\\par}", "A\n\n");
        row("text after the last par", "{\\rtf1 A\\par B}", "A\nB");
        // A writer that closes the document group too early loses no text; a
        // second document after the first is not read.
        row("premature close", "{\\rtf1 A\\par}B\\par}", "A\nB\n");
        row("a second document", "{\\rtf1 A}{\\rtf1 B}", "A");
        row("surplus braces", "{\\rtf1 A}}}\r\n", "A");

        row("uc1 default", japanese("caf\\u233?s"), "caf\u00e9s");
        row("uc2 hex pair", japanese("\\uc2\\u12354\\'82\\'a0x"), "\u3042x");
        row("uc0", japanese("\\uc0\\u233 x"), "\u00e9x");
        row("negative", japanese("\\u-3913?"), "\uf0b7");
        row("surrogates", japanese("\\u-10179?\\u-8694?"), QString::fromUtf8("\xF0\x9F\x98\x8A"));
        row("skip counts a control word", japanese("\\u233\\'e9x"), "\u00e9x");
        row("skip ends at group end", japanese("{\\uc3\\u233 a}bc"), "\u00e9bc");
        row("uc is scoped", japanese("{\\uc2 {\\u233 ab}\\u233 cd}\\u233 ef"), "\u00e9\u00e9\u00e9f");
        row("skip crosses into text run", japanese("\\uc4\\u233 abcdefg"), "\u00e9efg");
        row("broken hex counts", japanese("x\\u345\\'3?x"), "x\u0159x");

        row("ansicpg1251", "{\\rtf1\\ansi\\ansicpg1251 \\'e0\\'e1}", "\u0430\u0431");
        row("fcharset204 in a 1252 document",
            "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset204 Arial Cyr;}}\\f1\\'c4\\'e0 \\f0\\'e9}",
            "\u0414\u0430 \u00e9");
        row("fcharset0 in a 1251 document",
            "{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fcharset0 Arial;}}\\f0\\'e9}", "\u00e9");
        row("cp932 pairs", japanese("\\'82\\'a8\\'8c\\'b3\\'8b\\'43"), "\u304a\u5143\u6c17");
        row("raw cp932 bytes", "{\\rtf1\\ansicpg932 \x82\xa8x}", "\u304ax");
        // U+8868 is 0x95 0x5C in Shift-JIS: the trail is a backslash. A writer
        // that writes the bytes raw must not lose the character or the \par.
        row("raw trail that looks like a backslash", japanese("\x95\\par x"), "\u8868par x");
        row("trail written as a hex escape", "{\\rtf1\\ansicpg932 \x95\\'5c}", "\u8868");
        row("default code page", "{\\rtf1\\ansi \\'e0}", "\u0430", 1251);
        row("raw 8-bit in 1252", "{\\rtf1 caf\xe9}", "caf\u00e9");
        row("plain rtf ignores charsets", "{\\rtf1\\ansicpg1252{\\fonttbl{\\f0\\fcharset204 Cyr;}}\\f0\\'e9}",
            "\u00e9", 1252, true);
        row("symbol font", "{\\rtf1{\\fonttbl{\\f0\\fcharset2 Symbol;}}\\f0 a\\'b7}", "a\u00b7");
        row("dbch uses the associated font", "{\\rtf1\\ansicpg1252{\\fonttbl{\\f0\\fcharset0 A;}{\\f1\\fcharset128 J;}}"
                                             "\\f0\\af1\\dbch\\'82\\'a0\\loch\\'e9}", "\u3042\u00e9");
        // Word's order: the Western font associated, the Chinese one the run's own.
        row("dbch uses the run's font", "{\\rtf1\\ansicpg936{\\fonttbl{\\f0\\fcharset0 A;}{\\f1\\fcharset134 S;}}"
                                        "\\loch\\af0\\hich\\af0\\dbch\\f1 \\'b2\\'e2}", "\u6d4b");

        row("binary skipped", "{\\rtf1 a\\bin7 }{\\b x}b}", "ab");
        row("binary in a skipped group", "{\\rtf1 a{\\*\\foo\\bin3 }}}}b}", "ab");
        // A count beyond the data ends the document there.
        row("binary past the end", "{\\rtf1 a\\bin999999999999 xyz}", "a");
        row("empty binary", "{\\rtf1 a\\bin0 b}", "ab");
        const char *const skipped[][2] = {
            {"unknown optional", "{\\*\\foo hidden {nested \\b text} more}"},
            {"deep optional", "{\\*\\a{\\*\\b{\\*\\c x}}}"},
            {"info", "{\\info{\\title Title}{\\author Me}}"},
            {"header and footer", "{\\header H}{\\footerl F}"},
            {"footnote", "{\\footnote note}"},
            {"bookmark", "{\\*\\bkmkstart mark}"},
            {"list text", "{\\listtext 1.\\tab}{\\pntext 2.\\tab}"},
            {"generator", "{\\*\\generator Word;}"},
            {"nonshppict", "{\\nonshppict{\\pict\\wmetafile8 0102}}"},
            {"upr ansi half", "{\\upr{ansi}{\\*\\ud{}}}"},
            {"unknown word", "\\unknownword42 "},
        };
        for (const auto &[name, body] : skipped)
            row(name, "{\\rtf1 A" + QByteArray(body) + "B}", "AB");
    }

    void textOfRtf()
    {
        QFETCH(QByteArray, data);
        QFETCH(int, defaultCodePage);
        QFETCH(bool, plainRtf);
        QFETCH(QString, text);
        const ImportOptions options{defaultCodePage, plainRtf};
        QCOMPARE(rtfToPlainText(data, options), text);
        QCOMPARE(load(data, options)->toPlainText(), text.endsWith(u'\n') ? text.chopped(1) : text);
    }

    void fields()
    {
        const auto doc = load(rtf(
            "see {\\field{\\*\\fldinst {HYPERLINK \"https://example.com/a b\"}}"
            "{\\fldrslt {\\cf2\\ul the site}}} and "
            "{\\field{\\*\\fldinst HYPERLINK \\\\l \"top\" }{\\fldrslt here}}"
            "{\\field{\\*\\fldinst HYPERLINK \"doc.rtf\" \\\\l \"part\" \\\\o \"tip\"}{\\fldrslt there}}.\\par "
            "Page {\\field{\\*\\fldinst PAGE}{\\fldrslt 3}} of {\\field{\\*\\fldinst NUMPAGES}}.\\par"));
        QCOMPARE(doc->toPlainText(), QStringLiteral("see the site and herethere.\nPage 3 of ."));
        const QTextCharFormat site = formatOf(*doc, "the site");
        QVERIFY(site.isAnchor());
        QCOMPARE(site.anchorHref(), QStringLiteral("https://example.com/a b"));
        QCOMPARE(site.foreground().color(), QColor(0, 0, 255));
        QCOMPARE(formatOf(*doc, "here").anchorHref(), QStringLiteral("#top"));
        QCOMPARE(formatOf(*doc, "there").anchorHref(), QStringLiteral("doc.rtf#part"));
        QVERIFY(!formatOf(*doc, "and").isAnchor());
        QVERIFY(!formatOf(*doc, "3").isAnchor());
    }

    void styles()
    {
        const auto doc = load(
            "{\\rtf1{\\stylesheet{\\ql Normal;}{\\s1\\sbasedon0\\b\\fs32\\sb240 Heading;}"
            "{\\s2\\sbasedon1\\i Sub;}{\\*\\cs10\\ul Emphasis;}}"
            "\\pard\\s1 Title\\par\\pard\\s2 Subtitle\\par\\pard\\plain body {\\cs10 stress}\\par}");
        const QTextCharFormat title = formatOf(*doc, "Title");
        QCOMPARE(title.fontWeight(), int(QFont::Bold));
        QCOMPARE(title.fontPointSize(), 16.0);
        QCOMPARE(blockOf(*doc, "Title").blockFormat().topMargin(), 16.0);
        const QTextCharFormat sub = formatOf(*doc, "Subtitle");
        QVERIFY(sub.fontItalic());
        QCOMPARE(sub.fontWeight(), int(QFont::Bold)); // from the style it is based on
        QCOMPARE(formatOf(*doc, "body").fontWeight(), int(QFont::Normal));
        QCOMPARE(formatOf(*doc, "stress").underlineStyle(), QTextCharFormat::SingleUnderline);

        // Styles based on each other, or on themselves, end.
        const auto cycles = load("{\\rtf1{\\stylesheet{\\s1\\sbasedon2\\b A;}{\\s2\\sbasedon1\\i B;}"
                                 "{\\s3\\sbasedon3\\ul C;}}\\s1 one\\par\\s3 two\\par}");
        QCOMPARE(cycles->toPlainText(), QStringLiteral("one\ntwo"));
        QVERIFY(formatOf(*cycles, "one").fontItalic());
        QCOMPARE(formatOf(*cycles, "two").underlineStyle(), QTextCharFormat::SingleUnderline);
    }

    void plainTextOfRtf()
    {
        const QByteArray data = rtf("Title\\par {\\v secret}shown\\line next\\page after\\par"
                                    "\\trowd\\cellx1000\\cellx2000\\pard\\intbl a\\cell b\\cell\\row"
                                    "\\pard end{\\pict\\pngblip 89504e47}\\par");
        QCOMPARE(rtfToPlainText(data),
                 QStringLiteral("Title\nshown\nnext\fafter\na\tb\nend\n"));
    }

    void notRtfIsRefused()
    {
        QTextDocument doc;
        QTextCursor c(&doc);
        QString error;
        QVERIFY(!insertRtf(c, "just text", {}, &error));
        QVERIFY(!error.isEmpty() && doc.isEmpty());
        QVERIFY(insertRtf(c, "{\\rtf1 x}", {}, &error));
        QVERIFY(error.isEmpty());
    }

    // Each ends in bounded time and keeps the text it could read.
    void hostileInput_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("kept");
        QTest::newRow("100,000 nested groups")
            << "{\\rtf1 a" + QByteArray(100000, '{') + "\\b deep" + QByteArray(100000, '}') + " b}"
            << QStringLiteral("adeep b");
        QTest::newRow("100,000 groups left open") << "{\\rtf1 " + QByteArray(100000, '{') + "x"
                                                  << QStringLiteral("x");
        QTest::newRow("huge numbers") << QByteArray(
            "{\\rtf1\\ansicpg99999999999\\deff-99999999999{\\fonttbl{\\f99999999999\\fcharset-5 A;}}"
            "{\\colortbl;\\red99999999999\\green-1\\blue300;}"
            "\\uc99999999999\\u99999999999 ab\\uc1\\u-99999999999 c"
            "\\fs99999999999\\fs-5\\up99999999999\\expnd-99999999999\\li99999999999\\fi-99999999999"
            "\\sl-99999999999\\tx99999999999\\cf99999999999\\ls99999999999\\ilvl99999999999"
            "\\itap99999999999\\intbl x\\nestcell\\trowd\\trleft-99999999999\\cellx99999999999"
            "\\cellx-99999999999\\nestrow{\\pict\\picw99999999999\\picwgoal99999999999"
            "\\picscalex99999999999\\pngblip 00}{\\*\\listtable{\\list{\\listlevel\\levelnfc99999999"
            "\\levelstartat-99999999{\\leveltext\\'ff;}}\\listid1}} text\\par}")
                                      << QStringLiteral("text");
        for (const char *count : {"2147483647", "99999999999999999999", "-5", ""}) {
            QTest::addRow("bin count '%s'", count)
                << "{\\rtf1 a{\\pict\\bin" + QByteArray(count) + " xyz}b\\bin" + count + " }c}"
                << QStringLiteral("a");
        }
        // \bin data is never read as RTF, even when it looks like it.
        QTest::newRow("bin data that looks like RTF") << QByteArray("{\\rtf1 a\\bin6 {\\b x}b}")
                                                      << QStringLiteral("ab");
        QTest::newRow("itap 100000") << QByteArray("{\\rtf1\\pard\\intbl\\itap100000 deep\\nestcell"
                                                   "\\pard\\intbl\\itap1 x\\cell\\row}")
                                     << QStringLiteral("deep");
        QByteArray wide = "{\\rtf1\\trowd\\pard\\intbl ";
        for (int c = 0; c < 1000; ++c)
            wide += QByteArray::number(c) + "\\cell ";
        QTest::newRow("1000 cells in a row") << wide + "\\row}" << QStringLiteral("999");
        // Inputs the fuzzer once broke the reader with (clean under the sanitizer build too).
        const QDir dir(testsupport::dataPath(QStringLiteral("fuzz/rtfreader")));
        const QStringList names = dir.entryList(QDir::Files);
        QVERIFY(!names.isEmpty());
        for (const QString &name : names)
            QTest::newRow(qPrintable(name)) << testsupport::readFile(dir.filePath(name)) << QString();
    }

    void hostileInput()
    {
        QFETCH(QByteArray, data);
        QFETCH(QString, kept);
        QVERIFY(exercise(data) < 5000);
        QVERIFY(load(data)->toPlainText().remove(QChar::ObjectReplacementCharacter).contains(kept));
    }

    void deepDestinations_data()
    {
        QTest::addColumn<QByteArray>("unit");
        QTest::newRow("optional") << QByteArray("{\\*\\foo ");
        QTest::newRow("fields") << QByteArray("{\\field{\\*\\fldinst HYPERLINK x}{\\fldrslt ");
        QTest::newRow("font tables") << QByteArray("{\\fonttbl{\\f1 ");
        // Style entries look at their parent group while the group stack grows.
        QTest::newRow("style sheets") << QByteArray("{\\stylesheet{\\s1 ");
        QTest::newRow("pictures") << QByteArray("{\\pict ab");
        QTest::newRow("objects") << QByteArray("{\\object{\\*\\objdata 01}{\\result ");
        QTest::newRow("upr") << QByteArray("{\\upr{\\*\\ud ");
        QTest::newRow("list levels") << QByteArray("{\\*\\listtable{\\list{\\listlevel{\\leveltext ");
    }

    void deepDestinations()
    {
        QFETCH(QByteArray, unit);
        QByteArray data = "{\\rtf1 start";
        for (int i = 0; i < 20000; ++i)
            data += unit;
        QVERIFY(exercise(data) < 5000);
        data += QByteArray(100000, '}');
        QVERIFY(exercise(data) < 5000);
        QVERIFY(rtfToPlainText(data).startsWith(QStringLiteral("start")));
    }

    void everyTruncation()
    {
        const QByteArray sample = richSample();
        QElapsedTimer timer;
        timer.start();
        for (qsizetype n = 0; n <= sample.size(); ++n)
            exercise(sample.left(n));
        QVERIFY(timer.elapsed() < 30000);
        // The whole sample reads as intended.
        const auto doc = load(sample);
        QVERIFY(doc->toPlainText().contains(QStringLiteral("formatted\u20ac caf\u00e9 \u0430")));
        QVERIFY(doc->toPlainText().contains(QStringLiteral("\u3042")));
    }

    void randomGarbage()
    {
        // Bytes drawn mostly from RTF's own alphabet, so that the reader takes
        // many paths; the seed keeps runs repeatable.
        QRandomGenerator random(20240611);
        static const char alphabet[] = "{}\\\\\\'*abcdefgilnprstuvx0123456789- ;\r\n";
        static const char *const words[] = {"par", "cell", "row", "trowd", "cellx", "pict", "bin",
                                            "u", "uc", "itap", "nestcell", "nestrow", "field",
                                            "fldinst", "fldrslt", "intbl", "pard", "plain", "ls",
                                            "pn", "pntxtb", "f", "fs", "clvmrg", "clmrg", "object"};
        QElapsedTimer timer;
        timer.start();
        for (int round = 0; round < 300; ++round) {
            QByteArray data = "{\\rtf1 ";
            const int length = 200 + int(random.bounded(4000));
            while (data.size() < length) {
                const quint32 pick = random.bounded(10);
                if (pick < 3) {
                    data += '\\';
                    data += words[random.bounded(int(std::size(words)))];
                    if (random.bounded(2))
                        data += QByteArray::number(int(random.bounded(2000)) - 500);
                } else if (pick < 4) {
                    data += char(random.bounded(256));
                } else {
                    data += alphabet[random.bounded(int(sizeof alphabet - 1))];
                }
            }
            exercise(data);
        }
        QVERIFY2(timer.elapsed() < 60000, qPrintable(QString::number(timer.elapsed())));
    }

    void tableBudgets()
    {
        // A few bytes per row must not make millions of cells: past the budget
        // the cells are written as paragraphs, and no text is lost.
        QByteArray data = "{\\rtf1\\trowd";
        for (int c = 1; c <= 64; ++c)
            data += "\\cellx" + QByteArray::number(c * 100);
        const QByteArray row = "\\pard\\intbl" + QByteArray("\\cell").repeated(64) + "\\row\n";
        for (int r = 0; r < 7000; ++r)
            data += row;
        QElapsedTimer timer;
        timer.start();
        QVERIFY(load(data + "\\pard end}")->toPlainText().endsWith(QStringLiteral("end")));
        QVERIFY2(timer.elapsed() < 20000, qPrintable(QString::number(timer.elapsed())));

        // Merges down a long column.
        data = "{\\rtf1";
        for (int r = 0; r < 3000; ++r) {
            data += r == 0 ? "\\trowd\\clvmgf\\cellx1000\\cellx2000" : "\\trowd\\clvmrg\\cellx1000\\cellx2000";
            data += "\\pard\\intbl\\cell " + QByteArray::number(r) + "\\cell\\row";
        }
        data += "}";
        QVERIFY(exercise(data) < 20000);
        const auto doc = load(data);
        QTextTable *t = tablesIn(doc->rootFrame()).value(0);
        QVERIFY(t);
        QCOMPARE(t->cellAt(0, 0).rowSpan(), 3000);
        QCOMPARE(cellText(t, 2999, 1), QStringLiteral("2999"));
    }

    void largeDocumentInBoundedTime()
    {
        // 20,000 paragraphs in the style of a rich-edit control: runs of
        // formats, bullets, a table now and then. Generous bounds: the figures
        // printed are what matter.
        QByteArray data = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset2 Symbol;}}"
                          "{\\colortbl ;\\red255\\green0\\blue0;}\\viewkind4\\uc1 ";
        static const char *const formats[] = {"\\b ", "\\b0 ", "\\i ", "\\i0 ", "\\cf1 ", "\\cf0 ", "\\ul ", "\\ulnone "};
        for (int p = 0; p < 20000; ++p) {
            if (p % 50 == 0)
                data += "\\trowd\\cellx3000\\cellx6000\\pard\\intbl one\\cell two\\cell\\row ";
            data += p % 10 == 0 ? "\\pard{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1{\\pntxtb\\'B7}}\\fi-360\\li360 "
                                : "\\pard\\sa200 ";
            for (int r = 0; r < 6; ++r) {
                data += formats[(p + r) % 8];
                data += "lorem ipsum caf\\'e9 dolor ";
            }
            data += "\\par\n";
        }
        data += "}";
        QElapsedTimer timer;
        timer.start();
        const auto doc = load(data);
        const qint64 build = timer.restart();
        const QString plain = rtfToPlainText(data);
        const qint64 text = timer.elapsed();
        qInfo("%lld bytes: document %lld ms, plain text %lld ms", qlonglong(data.size()), build, text);
        QVERIFY(build < 10000);
        QVERIFY(text < 5000);
        QVERIFY(doc->blockCount() > 20000);
    }

};

QTEST_MAIN(TestRtfReader)
#include "tst_rtfreader.moc"
