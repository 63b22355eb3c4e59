// The RTF reader: text, character and paragraph formats, encodings,
// destinations, fields, styles, and where inserted text lands.

#include "rtfreadertesting.h"
#include "richtext/textproperties.h"

#include <QTest>
#include <QTextList>

using namespace richtext;
using namespace readertest;

class TestRtfReader : public QObject
{
    Q_OBJECT

private slots:
    void detection_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("rtf");
        QTest::newRow("plain") << QByteArray("{\\rtf1 x}") << true;
        QTest::newRow("bom and space") << QByteArray("\xEF\xBB\xBF \r\n{\\rtf1}") << true;
        QTest::newRow("space after brace") << QByteArray("{\n  \\rtf1}") << true;
        QTest::newRow("text") << QByteArray("rtf is a format") << false;
        QTest::newRow("short") << QByteArray("{\\rt") << false;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("other group") << QByteArray("{\\b x}") << false;
    }

    void detection()
    {
        QFETCH(QByteArray, data);
        QFETCH(bool, rtf);
        QCOMPARE(isRtf(data), rtf);
    }

    void characterFormats()
    {
        const auto doc = load(rtf(
            "\\f0\\fs20 {\\b bold}{\\i italic}{\\ul under}{\\uldb double}{\\ulwave wave}"
            "{\\strike struck}{\\super sup}{\\sub sub}{\\up6 raised}{\\dn4 lowered}"
            "{\\cf1 crimson}{\\highlight2 marked}{\\v hidden}{\\caps caps}{\\scaps small}"
            "{\\expndtw30 wide}{\\lang1049 russian}{\\f2\\fs31 courier}{\\cf0 auto}\\par"));

        QCOMPARE(formatOf(*doc, "bold").fontWeight(), int(QFont::Bold));
        QVERIFY(formatOf(*doc, "italic").fontItalic());
        QCOMPARE(formatOf(*doc, "italic").fontWeight(), int(QFont::Normal));
        QCOMPARE(formatOf(*doc, "under").underlineStyle(), QTextCharFormat::SingleUnderline);
        QCOMPARE(formatOf(*doc, "under").intProperty(prop::UnderlineKind), 1);
        QCOMPARE(formatOf(*doc, "double").intProperty(prop::UnderlineKind), 3);
        QCOMPARE(formatOf(*doc, "wave").underlineStyle(), QTextCharFormat::WaveUnderline);
        QVERIFY(formatOf(*doc, "struck").fontStrikeOut());
        QCOMPARE(formatOf(*doc, "sup").verticalAlignment(), QTextCharFormat::AlignSuperScript);
        QCOMPARE(formatOf(*doc, "sub").verticalAlignment(), QTextCharFormat::AlignSubScript);
        QCOMPARE(formatOf(*doc, "raised").intProperty(prop::Offset), 6);
        QCOMPARE(formatOf(*doc, "raised").baselineOffset(), 30.0); // 3 pt of a 10 pt font
        QCOMPARE(formatOf(*doc, "lowered").intProperty(prop::Offset), -4);
        QCOMPARE(formatOf(*doc, "crimson").foreground().color(), QColor(255, 0, 0));
        QCOMPARE(formatOf(*doc, "marked").background().color(), QColor(0, 0, 255));
        QVERIFY(formatOf(*doc, "hidden").boolProperty(prop::Hidden));
        QCOMPARE(formatOf(*doc, "caps").fontCapitalization(), QFont::AllUppercase);
        QCOMPARE(formatOf(*doc, "small").fontCapitalization(), QFont::SmallCaps);
        QCOMPARE(formatOf(*doc, "wide").intProperty(prop::CharSpacing), 30);
        QCOMPARE(formatOf(*doc, "wide").fontLetterSpacing(), 2.0);
        QCOMPARE(formatOf(*doc, "russian").intProperty(prop::Lcid), 1049);
        const QTextCharFormat courier = formatOf(*doc, "courier");
        QCOMPARE(courier.fontFamilies().toStringList(), QStringList{"Courier Cyr"});
        QCOMPARE(courier.fontPointSize(), 15.5);
        QCOMPARE(courier.intProperty(prop::FontCharset), 204);
        QCOMPARE(courier.stringProperty(prop::FontFamilyKind), QStringLiteral("fmodern"));
        QCOMPARE(formatOf(*doc, "bold").fontPointSize(), 10.0);
        QVERIFY(!formatOf(*doc, "auto").hasProperty(QTextFormat::ForegroundBrush));
        // Groups restore the state around them.
        QCOMPARE(formatOf(*doc, "italic").underlineStyle(), QTextCharFormat::NoUnderline);
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

    void paragraphFormats()
    {
        const auto doc = load(rtf("\\pard\\qr right\\par"
                                  "\\pard\\qc\\li720\\ri360\\fi-360\\sb120\\sa240 centre\\par"
                                  "\\pard\\qj\\keepn\\keep\\pagebb justified\\par"
                                  "\\pard\\sl360\\slmult1 onehalf\\par"
                                  "\\pard\\sl-300 exact\\par"
                                  "\\pard plain\\par"));
        QCOMPARE(blockOf(*doc, "right").blockFormat().alignment() & Qt::AlignHorizontal_Mask,
                 Qt::AlignRight);
        const QTextBlockFormat centre = blockOf(*doc, "centre").blockFormat();
        QCOMPARE(centre.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        QCOMPARE(centre.leftMargin(), 48.0);
        QCOMPARE(centre.rightMargin(), 24.0);
        QCOMPARE(centre.textIndent(), -24.0);
        QCOMPARE(centre.topMargin(), 8.0);
        QCOMPARE(centre.bottomMargin(), 16.0);
        const QTextBlockFormat justified = blockOf(*doc, "justified").blockFormat();
        QCOMPARE(justified.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignJustify);
        QVERIFY(justified.boolProperty(prop::KeepWithNext));
        QVERIFY(justified.boolProperty(prop::KeepTogether));
        QVERIFY(justified.boolProperty(prop::PageBreakBefore));
        QVERIFY(justified.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore);
        const QTextBlockFormat half = blockOf(*doc, "onehalf").blockFormat();
        QCOMPARE(half.lineHeightType(), int(QTextBlockFormat::ProportionalHeight));
        QCOMPARE(half.lineHeight(), 150.0);
        QCOMPARE(half.intProperty(prop::LineSpacingRule), 360);
        QVERIFY(half.boolProperty(prop::LineSpacingMultiple));
        const QTextBlockFormat exact = blockOf(*doc, "exact").blockFormat();
        QCOMPARE(exact.lineHeightType(), int(QTextBlockFormat::FixedHeight));
        QCOMPARE(exact.lineHeight(), 20.0);
        // \pard resets every paragraph property.
        const QTextBlockFormat plain = blockOf(*doc, "plain").blockFormat();
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

    void plainTextDecoding_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("codePage");
        QTest::addColumn<QString>("text");
        QTest::newRow("utf-8") << QByteArray("caf\xc3\xa9\r\nx") << 1252 << QStringLiteral("caf\u00e9\nx");
        QTest::newRow("utf-8 bom") << QByteArray("\xef\xbb\xbf\xd0\xb0\rb") << 1251
                                   << QStringLiteral("\u0430\nb");
        QTest::newRow("cp1252") << QByteArray("caf\xe9 \x80") << 1252 << QStringLiteral("caf\u00e9 \u20ac");
        QTest::newRow("cp1251") << QByteArray("\xe0\xe1") << 1251 << QStringLiteral("\u0430\u0431");
        QTest::newRow("utf-16 bom") << QByteArray("\xff\xfeh\0i\0", 6) << 1252 << QStringLiteral("hi");
        QTest::newRow("truncated utf-8 is not utf-8") << QByteArray("ab\xc3") << 1252
                                                       << QStringLiteral("ab\u00c3");
        QTest::newRow("frame characters") << QByteArray("a\xef\xb7\x90z") << 1252
                                          << QStringLiteral("a\ufffdz");
    }

    void plainTextDecoding()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, codePage);
        QFETCH(QString, text);
        QCOMPARE(decodePlainText(bytes, codePage), text);
        QCOMPARE(rtfToPlainText(bytes, {codePage, false}), text);
    }

    void insertPlainTextKeepsPageBreaks()
    {
        QTextDocument doc;
        QTextCursor c(&doc);
        insertPlainText(c, "one\r\ntwo\fthree\n", 1252);
        QCOMPARE(blocks(doc), (QStringList{"one", "two\fthree", ""}));
        QTextCursor at(&doc);
        at.setPosition(8);
        QVERIFY(at.charFormat().boolProperty(prop::FormFeed));
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
