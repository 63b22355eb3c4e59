// The HTML writer: tags and their order, font sizes, text tokens, hidden
// text, alignment, bullet and numbered lists and indentation.
#include "htmltestutil.h"
#include "html/htmlwriter.h"

#include <QTest>

using htmltest::columns;
using htmltest::q;
using htmltest::row;
using htmltest::toHtml;

class TestWriter : public QObject
{
    Q_OBJECT

private slots:
    void formatting_data();
    void formatting();
    void fontSizeSteps_data();
    void fontSizeSteps();
    void tagOrderAndClosing();
    void tokens_data();
    void tokens();
    void alignment_data();
    void alignment();
    void lists_data();
    void lists();
    void indentation_data();
    void indentation();
    void badCharacterCodeIsAnError();
};

void TestWriter::formatting_data()
{
    columns();
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
}

HTML_CASES(TestWriter, formatting)

void TestWriter::fontSizeSteps_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<QByteArray>("tag");
    const std::pair<int, const char *> steps[] = {
        {0, "-2"},  {8, "-2"},  {9, "-1"},  {11, "-1"}, {12, "+0"}, {13, "+1"}, {15, "+1"},
        {16, "+2"}, {20, "+2"}, {21, "+3"}, {28, "+3"}, {29, "+4"}, {400, "+4"},
    };
    for (const auto &[points, step] : steps)
        QTest::addRow("%d", points) << points << q(std::string("<FONT SIZE=") + step + ">");
}

void TestWriter::fontSizeSteps()
{
    QFETCH(int, points);
    QFETCH(QByteArray, tag);
    QCOMPARE(q(html::HtmlWriter::fontSizeTag(points)), tag);
}

void TestWriter::tagOrderAndClosing()
{
    // Tags open in a fixed order and close in the reverse one.
    const std::string rtf = "{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255\\green0\\blue0;}"
                            "\\strike\\super\\sub\\ul\\i\\b\\cf1\\f0\\fs24 x";
    QCOMPARE(q(toHtml(rtf)),
             q("<B><I><U><SUB><SUP><S><FONT COLOR=\"#FF0000\"><FONT FACE=\"Arial\"><FONT SIZE=+0>x"
               "</FONT></FONT></FONT></S></SUP></SUB></U></I></B>"));
}

void TestWriter::tokens_data()
{
    columns();
    row("tab", "a\\tab b", "a&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;b");
    row("quotes", "\\lquote\\rquote\\ldblquote\\rdblquote", "''\"\"");
    row("dashes and spaces", "\\emdash\\endash\\emspace\\enspace", "---&nbsp;&nbsp;&nbsp;");
    row("line and page", "a\\line b\\page c", "a<BR>b<BR><HR><BR>c");
    row("hidden tokens", "{\\v\\tab\\emdash\\lquote}x", "x");
}

HTML_CASES(TestWriter, tokens)

void TestWriter::alignment_data()
{
    columns();
    row("centred", "\\qc x\\par", "<CENTER>x</CENTER><BR>");
    row("right", "\\qr x\\par", "<DIV ALIGN=right>x</DIV><BR>");
    row("until pard", "\\qc a\\par b\\par\\pard c\\par", "<CENTER>a</CENTER><BR><CENTER>b</CENTER><BR>c<BR>");
    row("with tags", "\\qc\\b x\\par", "<CENTER><B>x</B></CENTER><BR>");
}

HTML_CASES(TestWriter, alignment)

void TestWriter::lists_data()
{
    columns();
    const std::string bullet = "{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'B7}}";
    row("bullets", bullet + "one\\par {\\pntext\\'B7\\tab}two\\par\\pard after\\par", "<UL><LI type=disc>one</LI><LI type=disc>two</LI></UL>after<BR>");
    row("list at the end", bullet + "one\\par", "<UL><LI type=disc>one</LI></UL>");
    row("open item at the end", bullet + "one", "<UL><LI type=disc>one</LI></UL>");
    // An item that starts with a coded letter or a symbol starts inside it.
    row("item starts with a code", bullet + "\\'c4pfel\\par \\'c4rger\\par \\ldblquote q\\par", "<UL><LI type=disc>&Auml;pfel</LI><LI type=disc>&Auml;rger</LI>"
                                                  "<LI type=disc>\"q</LI></UL>");
    row("numbered", "{\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody\\pndec\\pnstart1{\\pntxta .}}one\\par"
             "{\\pntext 2.\\tab}two\\par\\pard after\\par", "1.one<BR>2.two<BR>after<BR>");
    row("numbered with text before", "{\\*\\pn\\pnlvlbody\\pnucrm\\pnstart4{\\pntxtb (}{\\pntxta )}}a\\par b\\par", "(4)a<BR>(5)b<BR>");
    row("start before style: no number", "{\\*\\pn\\pnlvlbody\\pnstart1\\pndec{\\pntxta .}}a\\par b\\par", ".a<BR>b<BR>");
    row("level 5 is a bullet", "{\\*\\pn\\pnlvl5\\pndec}x\\par", "<UL><LI type=disc>x</LI></UL>");
    row("numbering group over lines", "{\\*\\pn\\pnlvlbody\\pndec\\pnstart2\n{\\pntxta\n.}\n}x", "2.x");
}

HTML_CASES(TestWriter, lists)

void TestWriter::indentation_data()
{
    columns();
    row("li720", "\\li720 x", "<UL><UL><UL>x</UL></UL></UL>");
    row("fi-360 before li720", "\\fi-360\\li720 x", "<UL><UL>x</UL></UL>");
    row("fi after li does not count", "\\li720\\fi-360 x", "<UL><UL><UL>x</UL></UL></UL>");
    row("first li only", "\\li300\\li5000 x", "<UL><UL>x</UL></UL>");
    std::string deepest;
    for (int i = 0; i < 21; ++i)
        deepest += "<UL>";
    deepest += "x";
    for (int i = 0; i < 21; ++i)
        deepest += "</UL>";
    row("at most 21", "\\li99999 x", deepest);
    row("pard closes", "\\li720 a\\par\\pard b", "<UL><UL><UL>a<BR></UL></UL></UL>b");
    // Paragraphs of the same indent share one set of lists.
    row("lists shared", "\\li720 a\\par\\pard\\li720 b\\par\\pard\\li300 c\\par", "<UL><UL><UL>a<BR>b<BR></UL>c<BR></UL></UL>");
    row("negative", "\\li-720 x", "x");
    row("li without digit", "\\lin720 x", "x");
}

HTML_CASES(TestWriter, indentation)

void TestWriter::badCharacterCodeIsAnError()
{
    html::Result result;
    const std::string page = htmltest::convert("{\\rtf1 ok\\b x\\'zz never}", {}, &result);
    QVERIFY(!result.ok);
    QVERIFY2(result.error.find("zz") != std::string::npos, result.error.c_str());
    // The page is finished all the same.
    QCOMPARE(q(htmltest::body(page)), q("ok<B>x</B>\n"));
    // Hidden text writes nothing, so its code is never checked.
    htmltest::convert("{\\rtf1 {\\v\\'zz}x}", {}, &result);
    QVERIFY(result.ok);
    // A code cut off by the end of the input.
    htmltest::convert("{\\rtf1 x\\'4", {}, &result);
    QVERIFY(!result.ok);
}

QTEST_GUILESS_MAIN(TestWriter)
#include "tst_writer.moc"
