// RTF markup and the HTML it becomes: groups, control words and symbols,
// skipped destinations, Unicode, style splicing, headings and contents
// links, the tags and their order, lists and indentation, and inputs that
// must not break the reader.
#include "htmltestutil.h"
#include "html/htmlwriter.h"

#include <QTest>

using htmltest::q;
using htmltest::row;

class TestMarkup : public QObject
{
    Q_OBJECT

private slots:
    void reader_data()
    {
        htmltest::columns();
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
        // CR LF, LF and a lone CR end lines; code 26 ends the input.
        row("line ends", "\\b\r\nx\\b0\ry\\i\nz", "<B>x</B>y<I>z</I>");
        row("end of file mark", "{\\rtf1 abc\x1a" "def}", "abc");
        row("end of file mark after the document", "{\\rtf1 abc}\r\n\x1a\r\nxyz", "abc");

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
        // A backslash and a line end are a paragraph end, also where lines are joined.
        row("backslash ends line", "a\\\nb", "a<BR>b");
        row("backslash ends a joined line", "\\trowd\\pard\\intbl a\\cell\\row\n\\pard x\\\ny\\par",
            "<BR><TABLE BORDER=2><TR><TD>a</TD></TR></TABLE><BR>x<BR>y<BR>");
        // Capitals inside a control word belong to it, not to the text.
        row("capitals in a word", "{\\mmathPr\\mbrkBin0\\mdefJc1}x", "x");

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
        row("binary past the end", "{\\rtf1 a\\bin999999999999 xyz\n{\\pict\\bin99999 ab", "a");
        // Bookmarks next to each other, or before a paragraph end, make one <P>.
        row("bookmarks", "{\\rtf1 {\\*\\bkmkstart a}{\\*\\bkmkend a}word{\\*\\bkmkstart b}\\par {\\*\\bkmkstart c}next}",
            "<P>\nword<BR>\n<P>\nnext\n");

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

        row("style applies", "{\\stylesheet{\\s2\\b\\fs28 Title;}}\\s2 text", "<B><FONT SIZE=+1>text</FONT></B>");
        row("based on", "{\\stylesheet{\\s1\\i Base;}{\\s2\\sbasedon1 \\ul x;}}\\s2 t", "<I><U>t</U></I>");
        // Definitions that name a style again are applied once, never expanded
        // again: these documents would otherwise never end.
        row("refers to itself", "{\\stylesheet{\\s1\\s1\\i Loop;}}\\s1 x", "<I>x</I>");
        row("refer to each other", "{\\stylesheet{\\s1\\s2\\b A;}{\\s2\\s1\\i B;}}\\s1 x\\par\\pard\\plain\\s2 y", "<B>x</B><BR><I>y</I>");
        row("number beyond the table", "{\\stylesheet{\\s301\\b X;}}\\s301 x", "x");
        row("unknown style", "\\s7 x", "x");
        // Contents entries link to the headings of their level, k-th to k-th;
        // a contents level without a heading style links nowhere.
        row("contents and headings",
            "{\\stylesheet{\\s1 heading 1;}{\\s2 toc 1;}{\\s3 heading 2;}{\\s4 toc 3;}}"
            "\\pard\\s2 Intro\\par\\pard\\s2 Next\\par Same\\par\\pard\\s1 Chapter\\par"
            "\\pard\\s3 Sub\\par\\pard\\s1 Two\\par\\pard\\s4 Entry\\par",
            "<A HREF=\"#1-1\">Intro</A><BR><A HREF=\"#1-2\">Next</A><BR><A HREF=\"#1-3\">Same</A><BR>"
            "<A NAME=\"1-1\">C</A>hapter<BR><A NAME=\"2-1\">S</A>ub<BR><A NAME=\"1-2\">T</A>wo<BR>Entry<BR>");

        // A surplus brace at the outermost level ends the conversion; text
        // after the document's group is still read at the outermost level.
        row("surplus brace", "{\\rtf1 a}}b\nmore text", "a");
        row("text after the document", "{\\rtf1 a}b", "ab");
        // A missing brace ends at the end of the input; the last line is read once.
        row("missing braces", "{\\rtf1 {\\b a", "<B>a</B>");
        row("missing brace, last line once", "{\\rtf1 abc", "abc");
        row("nested missing braces", "{\\rtf1 x\n{{{abc", "xabc");
        row("empty groups", "{\\rtf1 {}{{}}x}", "x");
        const int depth = 300000;
        row("deep nesting", "{\\rtf1 " + std::string(depth, '{') + "\\b x" + std::string(depth, '}') + " y}", "<B>x</B> y");
        row("deep nesting, never closed", "{\\rtf1 " + std::string(depth, '{') + "\\i z", "<I>z</I>");
    }
    void reader() { htmltest::compareRow(); }

    void writer_data()
    {
        htmltest::columns();
        row("bold once", "\\b\\b x", "<B>x</B>");
        row("no change, no tags", "\\b0 x", "x");
        row("toggle", "a\\b b\\b0 c", "a<B>b</B>c");
        row("plain", "\\b\\i a\\plain b", "<B><I>a</I></B>b");
        row("size 17 is 8 points", "\\fs17 x", "<FONT SIZE=-2>x</FONT>");
        row("fs without number", "\\fswiss x", "x");
        row("underline kinds", "\\uldb a\\ul0 b\\ulwave c\\ulnone d", "<U>a</U>b<U>c</U>d");
        row("super and sub", "\\up6 a\\nosupersub b\\dn4 c\\nosupersub\\super d", "<SUP>a</SUP>b<SUB>c</SUB><SUP>d</SUP>");
        row("strike", "\\strike a\\strike0 b\\strikedl c\\strikedl0 d", "<S>a</S>b<S>c</S>d");
        row("caps", "\\caps abc\\caps0 def", "ABCdef");
        row("unknown words", "\\viewkind4\\uc1\\deff0\\lang1033 x", "x");
        // Hidden text writes nothing of itself, but the tags pending for it are
        // opened (and closed); with all options off the empty pair stays.
        row("hidden text reopens tags", "{\\b\\v secret}\\par", "<B></B><BR>");
        row("hidden then visible", "\\b\\v hidden\\v0 x", "<B>x</B>");
        // Tags open in a fixed order and close in the reverse one.
        row("tag order", "{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255\\green0\\blue0;}"
                         "\\strike\\super\\sub\\ul\\i\\b\\cf1\\f0\\fs24 x",
            "<B><I><U><SUB><SUP><S><FONT COLOR=\"#FF0000\"><FONT FACE=\"Arial\"><FONT SIZE=+0>x"
            "</FONT></FONT></FONT></S></SUP></SUB></U></I></B>");

        row("tab", "a\\tab b", "a&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;b");
        row("quotes", "\\lquote\\rquote\\ldblquote\\rdblquote", "''\"\"");
        row("dashes and spaces", "\\emdash\\endash\\emspace\\enspace", "---&nbsp;&nbsp;&nbsp;");
        row("line and page", "a\\line b\\page c", "a<BR>b<BR><HR><BR>c");
        row("hidden tokens", "{\\v\\tab\\emdash\\lquote}x", "x");
        // Addresses are linked where lines are written by the breaking rules,
        // not in the last buffer the tail writes.
        row("links", "{\\rtf1 see http://example.com, ok\\par last http://x.y}",
            "see <A HREF=\"http://example.com\">http://example.com</A>, ok<BR>\nlast http://x.y\n");

        row("centred", "\\qc x\\par", "<CENTER>x</CENTER><BR>");
        row("right", "\\qr x\\par", "<DIV ALIGN=right>x</DIV><BR>");
        row("until pard", "\\qc a\\par b\\par\\pard c\\par", "<CENTER>a</CENTER><BR><CENTER>b</CENTER><BR>c<BR>");
        row("with tags", "\\qc\\b x\\par", "<CENTER><B>x</B></CENTER><BR>");

        const std::string bullet = "{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'B7}}";
        row("bullets", bullet + "one\\par {\\pntext\\'B7\\tab}two\\par\\pard after\\par",
            "<UL><LI type=disc>one</LI><LI type=disc>two</LI></UL>after<BR>");
        row("list at the end", bullet + "one\\par", "<UL><LI type=disc>one</LI></UL>");
        row("open item at the end", bullet + "one", "<UL><LI type=disc>one</LI></UL>");
        // An item that starts with a coded letter or a symbol starts inside it.
        row("item starts with a code", bullet + "\\'c4pfel\\par \\'c4rger\\par \\ldblquote q\\par",
            "<UL><LI type=disc>&Auml;pfel</LI><LI type=disc>&Auml;rger</LI><LI type=disc>\"q</LI></UL>");
        row("numbered", "{\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody\\pndec\\pnstart1{\\pntxta .}}one\\par"
                        "{\\pntext 2.\\tab}two\\par\\pard after\\par", "1.one<BR>2.two<BR>after<BR>");
        row("numbered with text before", "{\\*\\pn\\pnlvlbody\\pnucrm\\pnstart4{\\pntxtb (}{\\pntxta )}}a\\par b\\par", "(4)a<BR>(5)b<BR>");
        row("start before style: no number", "{\\*\\pn\\pnlvlbody\\pnstart1\\pndec{\\pntxta .}}a\\par b\\par", ".a<BR>b<BR>");
        row("level 5 is a bullet", "{\\*\\pn\\pnlvl5\\pndec}x\\par", "<UL><LI type=disc>x</LI></UL>");
        row("numbering group over lines", "{\\*\\pn\\pnlvlbody\\pndec\\pnstart2\n{\\pntxta\n.}\n}x", "2.x");

        row("li720", "\\li720 x", "<UL><UL><UL>x</UL></UL></UL>");
        row("fi-360 before li720", "\\fi-360\\li720 x", "<UL><UL>x</UL></UL>");
        row("fi after li does not count", "\\li720\\fi-360 x", "<UL><UL><UL>x</UL></UL></UL>");
        row("first li only", "\\li300\\li5000 x", "<UL><UL>x</UL></UL>");
        std::string deepest = "x";
        for (int i = 0; i < 21; ++i)
            deepest = "<UL>" + deepest + "</UL>";
        row("at most 21", "\\li99999 x", deepest);
        row("pard closes", "\\li720 a\\par\\pard b", "<UL><UL><UL>a<BR></UL></UL></UL>b");
        // Paragraphs of the same indent share one set of lists.
        row("lists shared", "\\li720 a\\par\\pard\\li720 b\\par\\pard\\li300 c\\par", "<UL><UL><UL>a<BR>b<BR></UL>c<BR></UL></UL>");
        row("negative", "\\li-720 x", "x");
        row("li without digit", "\\lin720 x", "x");
    }
    void writer() { htmltest::compareRow(); }

    // Block tags nest around inline ones, and each closing tag has its
    // opening one: the alignment closes what was opened, lists and items
    // close in order.
    void nesting_data()
    {
        htmltest::columns();
        row("empty centred paragraph", "\\qc\\par\\pard a\\par", "<BR>a<BR>");
        row("centred by a group", "{\\qc a}b\\par c", "<CENTER>ab</CENTER><BR>c");
        row("centred and right", "\\qc\\qr a\\par", "<CENTER>a</CENTER><BR>");
        row("aligned after the text began", "a\\qc b\\par c", "ab<BR><CENTER>c</CENTER>");
        row("aligned at the end", "{\\rtf1 {\\qr\\b x}}", "<DIV ALIGN=right><B>x</B></DIV>");

        const std::string bullet = "{\\pntext\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'B7}}";
        // Indentation lists enclose the bullet list instead of sitting in its item.
        row("indented bullets", bullet + "\\li720 one\\par two\\par\\pard after\\par",
            "<UL><UL><UL><LI type=disc>one</LI><LI type=disc>two</LI></UL></UL></UL>after<BR>");
        row("empty bullet item", bullet + "\\par\\pard x", "<UL><LI type=disc></LI></UL>x");
        row("item closed by pard", bullet + "one\\pard two", "<UL><LI type=disc>one</LI></UL>two");
        row("two numbering groups, one item", bullet + bullet + "one\\par", "<UL><UL><LI type=disc>one</LI></UL></UL>");
        row("indent after the item's text", bullet + "one\\li720 more\\par\\pard x",
            "<UL><LI type=disc>one<UL><UL>more</UL></UL></LI></UL>x");
        // A numbered label is text: lists after it close its tags first.
        row("label before indentation", "\\b{\\*\\pn\\pnlvlbody\\pndec\\pnstart1{\\pntxta .}}\\li720 x\\par",
            "<B>1.</B><UL><UL><UL><B>x</B><BR></UL></UL></UL>");
        row("indent after text", "\\i a\\li720 b\\par\\pard c", "<I>a</I><UL><UL><UL><I>b</I><BR></UL></UL></UL><I>c</I>");
        row("centred text before indentation", "\\qc a\\li720 b\\par\\pard c",
            "<CENTER>a</CENTER><UL><UL><UL><CENTER>b</CENTER><BR></UL></UL></UL>c");
    }
    void nesting() { htmltest::compareRow(); }

    // Character codes are bytes of the code page that the font's character
    // set names; outside the Western one they are decoded, so a Cyrillic,
    // Greek or Chinese letter is not shown as the Western letter of its byte.
    void characterCodes_data()
    {
        htmltest::columns();
        const std::string fonts = "{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\fnil\\fcharset204 Arial CYR;}"
                                  "{\\f2\\fcharset161 Greek;}{\\f3\\fcharset134\\'cb\\'ce\\'cc\\'e5;}{\\f4\\fcharset128 Mincho;}"
                                  "{\\f5\\fcharset2 Symbol;}{\\f6\\fcharset238 CE;}}";
        const auto face = [](const char *name, const std::string &text) {
            return std::string("<FONT FACE=\"") + name + "\">" + text + "</FONT>";
        };
        row("western", fonts + "\\f0\\'e4\\'e9", face("Arial", "&auml;\xE9"));
        row("cyrillic", fonts + "\\f1\\'e4\\'e0 x", face("Arial CYR", "&#1076;&#1072; x"));
        row("cyrillic capitals", fonts + "\\f1\\caps\\'e4\\'b8", face("Arial CYR", "&#1044;&#1025;"));
        row("greek", fonts + "\\f2\\'e1\\'e2", face("Greek", "&#945;&#946;"));
        // A letter that has a name in Western text keeps it.
        row("central european", fonts + "\\f6\\'e4\\'b9", face("CE", "&auml;&#261;"));
        row("chinese", fonts + "\\f3\\'d6\\'d0\\'ce\\'c4 x", face("\xCB\xCE\xCC\xE5", "&#20013;&#25991; x"));
        // A trail byte may come as a letter; a lead byte without one is shown replaced.
        row("japanese", fonts + "\\f4\\'83T\\'83\\par", face("Mincho", "&#12469;&#65533;") + "<BR>");
        row("symbol font keeps bytes", fonts + "\\f5\\'b7", face("Symbol", "&middot;"));
        row("document code page", "{\\rtf1\\ansi\\ansicpg1251 \\'e4}", "&#1076;");
        // Table cells drop the font's tag but not its language, and the text
        // after the table goes on in it.
        row("in and after a table", fonts + "\\f2\\trowd\\pard\\intbl\\'e1\\cell\\'e2\\cell\\row\\pard\\pard\\'e3",
            "<BR><TABLE BORDER=2><TR><TD>&#945;</TD><TD>&#946;</TD></TR></TABLE><BR>" + face("Greek", "&#947;"));
    }
    void characterCodes() { htmltest::compareRow(); }

    void characterCodesWithoutFonts()
    {
        // No face is written, but the font still decides how codes decode.
        html::Options options;
        options.noFonts = true;
        QCOMPARE(q(htmltest::toHtml("{\\fonttbl{\\f1\\fnil\\fcharset204 Arial CYR;}}\\f1\\'e4", options)), q("&#1076;"));
    }

    void fontSizeSteps()
    {
        const std::pair<int, const char *> steps[] = {
            {0, "-2"},  {8, "-2"},  {9, "-1"},  {11, "-1"}, {12, "+0"}, {13, "+1"}, {15, "+1"},
            {16, "+2"}, {20, "+2"}, {21, "+3"}, {28, "+3"}, {29, "+4"}, {400, "+4"},
        };
        for (const auto &[points, step] : steps)
            QCOMPARE(q(html::HtmlWriter::fontSizeTag(points)), q(std::string("<FONT SIZE=") + step + ">"));
    }

    void badCharacterCodeIsAnError()
    {
        html::Result result;
        const std::string page = htmltest::convert("{\\rtf1 ok\\b x\\'zz never}", {}, &result);
        QVERIFY(!result.ok);
        QVERIFY2(result.error.find("zz") != std::string::npos, result.error.c_str());
        QCOMPARE(q(htmltest::body(page)), q("ok<B>x</B>\n")); // the page is finished all the same
        // Hidden text writes nothing, so its code is never checked.
        htmltest::convert("{\\rtf1 {\\v\\'zz}x}", {}, &result);
        QVERIFY(result.ok);
        // A code cut off by the end of the input.
        htmltest::convert("{\\rtf1 x\\'4", {}, &result);
        QVERIFY(!result.ok);
    }
};

QTEST_GUILESS_MAIN(TestMarkup)
#include "tst_markup.moc"
