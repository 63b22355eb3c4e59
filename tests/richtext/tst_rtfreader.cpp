// The RTF reader: text, character and paragraph formats, encodings,
// destinations, fields, styles, and where inserted text lands.

#include "rtfreadertesting.h"
#include "richtext/documentio.h"
#include "richtext/textproperties.h"

#include <QTest>
#include <QTextList>

using namespace richtext;
using namespace readertest;

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
    // kept values with, and groups putting the state back.
    void characterFormats()
    {
        const auto doc = load(rtf("\\f0\\fs20 {\\i italic}{\\up6 raised}{\\cf1 crimson}{\\highlight2 marked}"
                                  "{\\expndtw30 wide}{\\f2\\fs31 courier}{\\cf0 auto}\\par"));
        QCOMPARE(formatOf(*doc, "raised").baselineOffset(), 30.0); // 3 pt of a 10 pt font
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
    }

    void plainResetsButKeepsLink()
    {
        const auto doc = load(rtf("{\\field{\\*\\fldinst HYPERLINK \"http://x.example/\"}"
                                  "{\\fldrslt \\b\\fs40 big \\plain link}}\\par"));
        const QTextCharFormat f = formatOf(*doc, "link");
        QCOMPARE(f.fontWeight(), int(QFont::Normal));
        QCOMPARE(f.fontPointSize(), 12.0);
        QCOMPARE(f.anchorHref(), QStringLiteral("http://x.example/"));
    }

    // The writer's tests read each paragraph keyword back; here the
    // reset that \pard is.
    void pardResetsTheParagraph()
    {
        const auto doc = load(rtf("\\pard\\qc\\li720\\keepn\\sl360\\slmult1 centre\\par\\pard plain\\par"));
        const QTextBlockFormat plain = blockOf(*doc, "plain").blockFormat();
        QCOMPARE(plain.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
        QCOMPARE(plain.leftMargin(), 0.0);
        QVERIFY(!plain.boolProperty(prop::KeepWithNext));
        QVERIFY(!plain.hasProperty(prop::LineSpacingRule));
    }

    void tabStops()
    {
        const auto doc = load(rtf("\\pard\\tx720\\tqr\\tx2880\\tqc\\tldot\\tx4320\\tqdec\\tx5760"
                                  "\\tx720 a\\tab b\\par"));
        const QList<QTextOption::Tab> tabs = blockOf(*doc, "a").blockFormat().tabPositions();
        QCOMPARE(tabs.size(), 4); // the second \tx720 replaces the first
        QCOMPARE(tabs[0].position, 48.0);
        QCOMPARE(tabs[0].type, QTextOption::LeftTab);
        QCOMPARE(tabs[1].type, QTextOption::RightTab);
        QCOMPARE(tabs[2].type, QTextOption::CenterTab);
        QCOMPARE(tabs[3].type, QTextOption::DelimiterTab);
        QCOMPARE(tabs[3].delimiter, QChar(u'.'));
        QCOMPARE(blockOf(*doc, "a").text(), QStringLiteral("a\tb"));
    }

    void breaksAndSpecialCharacters()
    {
        const auto doc = load(rtf("one\\line two\\page three\\'0cfour\\par"
                                  "\\emdash\\endash\\~\\-\\_\\bullet\\lquote\\rquote\\ldblquote\\rdblquote"
                                  "\\{\\}\\\\\\par"));
        const QStringList b = blocks(*doc);
        QCOMPARE(b.size(), 2);
        QCOMPARE(b[0], QStringLiteral("one\u2028two\fthree\ffour"));
        QCOMPARE(b[1], QStringLiteral("\u2014\u2013\u00a0\u00ad\u2011\u2022\u2018\u2019\u201c\u201d{}\\"));
        QTextCursor c(doc.get());
        c.setPosition(b[0].indexOf(u'\f') + 1);
        QVERIFY(c.charFormat().boolProperty(prop::FormFeed));
        QVERIFY(!formatOf(*doc, "three").boolProperty(prop::FormFeed));
    }

    void lastParDoesNotAddABlock()
    {
        QCOMPARE(blocks(*load("{\\rtf1 A\\par}")), QStringList{"A"});
        QCOMPARE(blocks(*load("{\\rtf1 A\\par\\par}")), (QStringList{"A", ""}));
        QCOMPARE(blocks(*load("{\\rtf1 A\\par B}")), (QStringList{"A", "B"}));
        QCOMPARE(blocks(*load("{\\rtf1 \\qc A}")), QStringList{"A"});
        QCOMPARE(blockOf(*load("{\\rtf1 \\qc A}"), "A").blockFormat().alignment()
                     & Qt::AlignHorizontal_Mask,
                 Qt::AlignHCenter);
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
        QCOMPARE(doc.begin().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
        QCOMPARE(doc.lastBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
                 Qt::AlignRight);
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

    void unicodeAndSkipCounts_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("text");
        QTest::newRow("uc1 default") << QByteArray("caf\\u233?s") << QStringLiteral("caf\u00e9s");
        QTest::newRow("uc2 hex pair") << QByteArray("\\uc2\\u12354\\'82\\'a0x")
                                      << QStringLiteral("\u3042x");
        QTest::newRow("uc0") << QByteArray("\\uc0\\u233 x") << QStringLiteral("\u00e9x");
        QTest::newRow("negative") << QByteArray("\\u-3913?") << QStringLiteral("\uf0b7");
        QTest::newRow("surrogates") << QByteArray("\\u-10179?\\u-8694?")
                                    << QString::fromUtf8("\xF0\x9F\x98\x8A");
        QTest::newRow("skip counts a control word") << QByteArray("\\u233\\'e9x")
                                                    << QStringLiteral("\u00e9x");
        QTest::newRow("skip ends at group end") << QByteArray("{\\uc3\\u233 a}bc")
                                                << QStringLiteral("\u00e9bc");
        QTest::newRow("uc is scoped") << QByteArray("{\\uc2 {\\u233 ab}\\u233 cd}\\u233 ef")
                                      << QStringLiteral("\u00e9\u00e9\u00e9f");
        QTest::newRow("skip crosses into text run") << QByteArray("\\uc4\\u233 abcdefg")
                                                    << QStringLiteral("\u00e9efg");
        QTest::newRow("broken hex counts") << QByteArray("x\\u345\\'3?x") << QStringLiteral("x\u0159x");
    }

    void unicodeAndSkipCounts()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, text);
        const QByteArray data = "{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fcharset128 MS Gothic;}}\\f0 "
                                + body + "}";
        QCOMPARE(load(data)->toPlainText(), text);
        QCOMPARE(rtfToPlainText(data), text);
    }

    void codePages_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("defaultCodePage");
        QTest::addColumn<bool>("plainRtf");
        QTest::addColumn<QString>("text");
        QTest::newRow("ansicpg1251") << QByteArray("{\\rtf1\\ansi\\ansicpg1251 \\'e0\\'e1}") << 1252
                                     << false << QStringLiteral("\u0430\u0431");
        QTest::newRow("fcharset204 in a 1252 document")
            << QByteArray("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset204 Arial Cyr;}}"
                          "\\f1\\'c4\\'e0 \\f0\\'e9}")
            << 1252 << false << QStringLiteral("\u0414\u0430 \u00e9");
        QTest::newRow("fcharset0 in a 1251 document")
            << QByteArray("{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fcharset0 Arial;}}\\f0\\'e9}") << 1252
            << false << QStringLiteral("\u00e9");
        QTest::newRow("cp932 pairs") << QByteArray("{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fcharset128 G;}}"
                                                   "\\f0\\'82\\'a8\\'8c\\'b3\\'8b\\'43}")
                                     << 1252 << false << QStringLiteral("\u304a\u5143\u6c17");
        QTest::newRow("raw cp932 bytes") << QByteArray("{\\rtf1\\ansicpg932 \x82\xa8x}") << 1252 << false
                                         << QStringLiteral("\u304ax");
        QTest::newRow("default code page") << QByteArray("{\\rtf1\\ansi \\'e0}") << 1251 << false
                                           << QStringLiteral("\u0430");
        QTest::newRow("raw 8-bit in 1252") << QByteArray("{\\rtf1 caf\xe9}") << 1252 << false
                                           << QStringLiteral("caf\u00e9");
        QTest::newRow("plain rtf ignores charsets")
            << QByteArray("{\\rtf1\\ansicpg1252{\\fonttbl{\\f0\\fcharset204 Cyr;}}\\f0\\'e9}") << 1252
            << true << QStringLiteral("\u00e9");
        QTest::newRow("symbol font") << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset2 Symbol;}}\\f0 a\\'b7}")
                                     << 1252 << false << QStringLiteral("a\u00b7");
        QTest::newRow("dbch uses the associated font")
            << QByteArray("{\\rtf1\\ansicpg1252{\\fonttbl{\\f0\\fcharset0 A;}{\\f1\\fcharset128 J;}}"
                          "\\f0\\af1\\dbch\\'82\\'a0\\loch\\'e9}")
            << 1252 << false << QStringLiteral("\u3042\u00e9");
    }

    void codePages()
    {
        QFETCH(QByteArray, data);
        QFETCH(int, defaultCodePage);
        QFETCH(bool, plainRtf);
        QFETCH(QString, text);
        ImportOptions options;
        options.defaultCodePage = defaultCodePage;
        options.plainRtf = plainRtf;
        QCOMPARE(load(data, options)->toPlainText(), text);
        QCOMPARE(rtfToPlainText(data, options), text);
    }

    void rawDoubleByteTrailThatLooksLikeABackslash()
    {
        // U+8868 is 0x95 0x5C in Shift-JIS: the trail is a backslash. A writer
        // that writes the bytes raw must not lose the character or the \par.
        const QByteArray data("{\\rtf1\\ansicpg932{\\fonttbl{\\f0\\fcharset128 G;}}\\f0 \x95\\par x}");
        QCOMPARE(load(data)->toPlainText(), QStringLiteral("\u8868par x"));
        // A trail written as a hex escape stays one.
        QCOMPARE(rtfToPlainText("{\\rtf1\\ansicpg932 \x95\\'5c}"), QStringLiteral("\u8868"));
    }

    void binarySkipped()
    {
        QCOMPARE(rtfToPlainText("{\\rtf1 a\\bin7 }{\\b x}b}"), QStringLiteral("ab"));
        QCOMPARE(load("{\\rtf1 a{\\*\\foo\\bin3 }}}}b}")->toPlainText(), QStringLiteral("ab"));
        // A count beyond the data ends the document there.
        QCOMPARE(rtfToPlainText("{\\rtf1 a\\bin999999999999 xyz}"), QStringLiteral("a"));
        QCOMPARE(rtfToPlainText("{\\rtf1 a\\bin0 b}"), QStringLiteral("ab"));
    }

    void destinationsSkipped_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("unknown optional") << QByteArray("{\\*\\foo hidden {nested \\b text} more}");
        QTest::newRow("deep optional") << QByteArray("{\\*\\a{\\*\\b{\\*\\c x}}}");
        QTest::newRow("info") << QByteArray("{\\info{\\title Title}{\\author Me}}");
        QTest::newRow("header and footer") << QByteArray("{\\header H}{\\footerl F}");
        QTest::newRow("footnote") << QByteArray("{\\footnote note}");
        QTest::newRow("bookmark") << QByteArray("{\\*\\bkmkstart mark}");
        QTest::newRow("list text") << QByteArray("{\\listtext 1.\\tab}{\\pntext 2.\\tab}");
        QTest::newRow("generator") << QByteArray("{\\*\\generator Word;}");
        QTest::newRow("nonshppict") << QByteArray("{\\nonshppict{\\pict\\wmetafile8 0102}}");
        QTest::newRow("upr ansi half") << QByteArray("{\\upr{ansi}{\\*\\ud{}}}");
        QTest::newRow("unknown word") << QByteArray("\\unknownword42 ");
    }

    void destinationsSkipped()
    {
        QFETCH(QByteArray, body);
        const QByteArray data = "{\\rtf1 A" + body + "B}";
        QCOMPARE(load(data)->toPlainText(), QStringLiteral("AB"));
        QCOMPARE(rtfToPlainText(data), QStringLiteral("AB"));
    }

    // Links become anchors; other fields show their result, if any.
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

    void stylesApplied()
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
    }

    void styleCyclesTerminate()
    {
        const auto doc = load("{\\rtf1{\\stylesheet{\\s1\\sbasedon2\\b A;}{\\s2\\sbasedon1\\i B;}"
                              "{\\s3\\sbasedon3\\ul C;}}\\s1 one\\par\\s3 two\\par}");
        QCOMPARE(doc->toPlainText(), QStringLiteral("one\ntwo"));
        QVERIFY(formatOf(*doc, "one").fontItalic());
        QCOMPARE(formatOf(*doc, "two").underlineStyle(), QTextCharFormat::SingleUnderline);
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
        QVERIFY(!error.isEmpty());
        QVERIFY(doc.isEmpty());
        QVERIFY(insertRtf(c, "{\\rtf1 x}", {}, &error));
        QVERIFY(error.isEmpty());
    }

    void prematureCloseKeepsReading()
    {
        // A writer that closes the document group too early loses no text; a
        // second document after the first is not read.
        QCOMPARE(rtfToPlainText("{\\rtf1 A\\par}B\\par}"), QStringLiteral("A\nB\n"));
        QCOMPARE(rtfToPlainText("{\\rtf1 A}{\\rtf1 B}"), QStringLiteral("A"));
        QCOMPARE(rtfToPlainText("{\\rtf1 A}}}\r\n"), QStringLiteral("A"));
    }
};

QTEST_MAIN(TestRtfReader)
#include "tst_rtfreader.moc"
