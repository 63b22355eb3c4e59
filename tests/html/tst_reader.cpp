// The RTF reader: groups, control words and symbols, skipped destinations,
// style splicing, headings and contents links, and inputs that must not
// break it.
#include "htmltestutil.h"

#include <QElapsedTimer>
#include <QTest>

using htmltest::body;
using htmltest::convert;
using htmltest::columns;
using htmltest::q;
using htmltest::row;
using htmltest::toHtml;

class TestReader : public QObject
{
    Q_OBJECT

private slots:
    void controlWordsAndDelimiters_data();
    void controlWordsAndDelimiters();
    void controlSymbols_data();
    void controlSymbols();
    void skippedDestinations_data();
    void skippedDestinations();
    void bookmarkWritesOneParagraphTag();
    void unicodeCharacters_data();
    void unicodeCharacters();
    void styleSplicing_data();
    void styleSplicing();
    void unbalancedBraces_data();
    void unbalancedBraces();
    void deepNestingIsBoundedAndFast();
    void binaryDataPastTheEnd();
    void lineEndsAndEndOfFileMark();
};

void TestReader::controlWordsAndDelimiters_data()
{
    columns();
    // A word that ends its line ends there: the next line's letters are text.
    row("word at line end", "\\b\nold", "<B>old</B>");
    row("same letters on one line", "\\bold", "");
    // A space after a word belongs to it; other delimiters are text.
    row("space delimiter", "\\fs24 text", "<FONT SIZE=+0>text</FONT>");
    row("two words", "\\fs24\\b text", "<B><FONT SIZE=+0>text</FONT></B>");
    row("other delimiter", "\\b;x", "<B>;x</B>");
    row("second space is text", "\\b  x", "<B> x</B>");
    row("group end restores", "{\\b bold} plain", "<B>bold</B> plain");
    row("bad number counts as 0", "\\fs2-4 x", "<FONT SIZE=-2>x</FONT>");
}

HTML_CASES(TestReader, controlWordsAndDelimiters)

void TestReader::controlSymbols_data()
{
    columns();
    row("escaped", "a\\\\b\\{c\\}d", "a\\b{c}d");
    row("nbsp", "a\\~b", "a&nbsp;b");
    row("hyphen", "a\\_b", "a-b");
    row("optional hyphen", "co\\-operate", "cooperate");
    row("hidden symbols", "{\\v \\{\\~\\_}x", "x");
    row("special characters", "a<b & c>d", "a&lt;b &amp; c&gt;d");
    row("hex codes", "\\'e4\\'f6\\'fc\\'c4\\'d6\\'dc\\'df\\'b7", "&auml;&ouml;&uuml;&Auml;&Ouml;&Uuml;&szlig;&middot;");
    row("hex with caps", "\\caps \\'e4x\\'df", "&Auml;X&szlig;");
    row("other hex codes are bytes", "\\'41\\'E4\\'e9", "A\xE4\xE9");
    row("hex across a line end", "x\\'e\n4y", "x&auml;y");
    row("unknown symbol", "a\\|b\\:c", "abc");
    row("backslash ends line", "a\\\nb", "ab");
}

HTML_CASES(TestReader, controlSymbols)

void TestReader::skippedDestinations_data()
{
    columns();
    row("header footer info", "{\\header H}{\\footer F}{\\info{\\title T}{\\author A}}{\\footnote N}body", "body");
    row("list text", "{\\pntext 1.\\tab}x", "x");
    row("ignorable", "{\\*\\generator Writer 1.0;}x", "x");
    // Escaped braces inside a skipped group do not count as braces.
    row("escaped braces", "{\\*\\foo a\\}b{c}\\{d}e", "e");
    row("picture once", "a{\\pict\\wmetafile8\\picw10 0102{abc}ff}b", "a<P>[*** picture ***]<P>b");
    // \bin data is skipped unread, braces and all; the space is its delimiter.
    row("binary picture", "x{\\pict\\bin3 }}}}y", "x<P>[*** picture ***]<P>y");
    row("binary across lines", "x{\\pict\\bin4 }}\n}}y", "x<P>[*** picture ***]<P>y");
    row("binary in text", "a\\bin3 xyzb", "ab");
}

HTML_CASES(TestReader, skippedDestinations)

void TestReader::bookmarkWritesOneParagraphTag()
{
    const std::string page = convert(
        "{\\rtf1 {\\*\\bkmkstart a}{\\*\\bkmkend a}word{\\*\\bkmkstart b}\\par {\\*\\bkmkstart c}next}");
    QCOMPARE(q(body(page)), q("<P>\nword<BR>\n<P>\nnext\n"));
}

void TestReader::unicodeCharacters_data()
{
    columns();
    row("euro", "\\u8364?uro", "&#8364;uro");
    row("greek", "\\u945?\\u946?\\u947?", "&#945;&#946;&#947;");
    row("polish with hex fallback", "\\u321\\'4cód\\u378\\'7a", "&#321;ód&#378;");
    row("space delimiter then fallback", "\\u1044 ?x", "&#1044;x");
    row("two fallback characters", "\\uc2\\u8364??x", "&#8364;x");
    row("no fallback", "\\uc0\\u8364 x", "&#8364;x");
    row("uc is restored with its group", "{\\uc0\\u945}\\u946?", "&#945;&#946;");
    row("negative value", "\\u-4064?", "&#61472;");
    row("surrogate pair", "\\u-10179?\\u-8704?", "&#128512;");
    row("lone low surrogate", "\\u56832?", "&#65533;");
    row("zero", "\\u0?x", "&#65533;x");
    row("control word ends the fallback", "\\uc3\\u945 a\\b b", "&#945;<B>b</B>");
    row("hidden", "{\\v\\u945?}x", "x");
    // Letters right after the number are its fallback and then text.
    row("letter fallback", "\\u945a", "&#945;");
    row("letter fallback then text", "\\u945abc", "&#945;bc");
    row("two letter fallbacks", "\\uc2\\u228xyz", "&#228;z");
    row("underline words untouched", "\\ul x\\ulnone y", "<U>x</U>y");
}

HTML_CASES(TestReader, unicodeCharacters)

void TestReader::styleSplicing_data()
{
    columns();
    row("definition applies", "{\\stylesheet{\\s2\\b\\fs28 Title;}}\\s2 text", "<B><FONT SIZE=+1>text</FONT></B>");
    row("based on", "{\\stylesheet{\\s1\\i Base;}{\\s2\\sbasedon1 \\ul x;}}\\s2 t", "<I><U>t</U></I>");
    // Definitions that name a style again are applied once, never expanded
    // again: these documents would otherwise never end.
    row("refers to itself", "{\\stylesheet{\\s1\\s1\\i Loop;}}\\s1 x", "<I>x</I>");
    row("refer to each other", "{\\stylesheet{\\s1\\s2\\b A;}{\\s2\\s1\\i B;}}\\s1 x\\par\\pard\\plain\\s2 y", "<B>x</B><BR><I>y</I>");
    row("number beyond the table", "{\\stylesheet{\\s301\\b X;}}\\s301 x", "x");
    row("unknown style", "\\s7 x", "x");
    // Contents entries link to the headings of their level, k-th to k-th;
    // a contents level without a heading style links nowhere.
    const std::string sheet = "{\\stylesheet{\\s1 heading 1;}{\\s2 toc 1;}{\\s3 heading 2;}{\\s4 toc 3;}}";
    row("contents and headings",
        sheet + "\\pard\\s2 Intro\\par\\pard\\s2 Next\\par Same\\par\\pard\\s1 Chapter\\par"
                "\\pard\\s3 Sub\\par\\pard\\s1 Two\\par\\pard\\s4 Entry\\par",
        "<A HREF=\"#1-1\">Intro</A><BR><A HREF=\"#1-2\">Next</A><BR><A HREF=\"#1-3\">Same</A><BR>"
        "<A NAME=\"1-1\">C</A>hapter<BR><A NAME=\"2-1\">S</A>ub<BR><A NAME=\"1-2\">T</A>wo<BR>Entry<BR>");
}

HTML_CASES(TestReader, styleSplicing)

void TestReader::unbalancedBraces_data()
{
    columns();
    // A surplus brace at the outermost level ends the conversion.
    row("surplus brace", "{\\rtf1 a}}b\nmore text", "a");
    // Text after the document's group is still read at the outermost level.
    row("text after the document", "{\\rtf1 a}b", "ab");
    // A missing brace ends at the end of the input; the last line is read once.
    row("missing braces", "{\\rtf1 {\\b a", "<B>a</B>");
    row("missing brace, last line once", "{\\rtf1 abc", "abc");
    row("nested missing braces", "{\\rtf1 x\n{{{abc", "xabc");
    row("empty groups", "{\\rtf1 {}{{}}x}", "x");
}

void TestReader::unbalancedBraces()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QByteArray, expected);
    QCOMPARE(q(htmltest::flat(convert(rtf.toStdString()))), expected);
}

void TestReader::deepNestingIsBoundedAndFast()
{
    QElapsedTimer timer;
    timer.start();
    const int depth = 300000;
    std::string rtf = "{\\rtf1 " + std::string(depth, '{') + "\\b x" + std::string(depth, '}') + " y}";
    QCOMPARE(q(toHtml(rtf)), q("<B>x</B> y"));
    // Unclosed: every level ends at the end of the input.
    rtf = "{\\rtf1 " + std::string(depth, '{') + "\\i z";
    QCOMPARE(q(htmltest::flat(convert(rtf))), q("<I>z</I>"));
    QVERIFY2(timer.elapsed() < 30000, "nesting took too long"); // a hang guard
}

void TestReader::binaryDataPastTheEnd()
{
    html::Result result;
    const std::string page = convert("{\\rtf1 a\\bin999999999999 xyz\n{\\pict\\bin99999 ab", {}, &result);
    QVERIFY(result.ok);
    QCOMPARE(q(body(page)), q("a\n"));
}

void TestReader::lineEndsAndEndOfFileMark()
{
    // CR LF, LF and a lone CR end lines; code 26 ends the input.
    QCOMPARE(q(toHtml("\\b\r\nx\\b0\ry\\i\nz")), q("<B>x</B>y<I>z</I>"));
    QCOMPARE(q(htmltest::flat(convert("{\\rtf1 abc\x1a" "def}"))), q("abc"));
    QCOMPARE(q(htmltest::flat(convert("{\\rtf1 abc}\r\n\x1a\r\nxyz"))), q("abc"));
}

QTEST_GUILESS_MAIN(TestReader)
#include "tst_reader.moc"
