// Table conversion: rows and cells, the look-ahead that finds the table's
// end, and tables that end early or nest deeply.
#include "htmltestutil.h"

#include <QTest>

using htmltest::q;
using htmltest::row;

namespace {
const std::string Open = "<BR><TABLE BORDER=2><TR><TD>";
const std::string Close = "</TABLE><BR>";
} // namespace

class TestTableConvert : public QObject
{
    Q_OBJECT

private slots:
    void tables_data()
    {
        htmltest::columns();
        row("one row, two paragraphs after", "\\trowd\\cellx1000\\cellx2000\\pard\\intbl a\\cell b\\cell\\row\\pard x\\par\\pard y\\par", Open + "a</TD><TD>b</TD></TR>" + Close + "x<BR>y<BR>");
        row("second row with trowd", "\\trowd\\pard\\intbl a\\cell\\row\\trowd\\cellx1000\\pard\\intbl c\\cell\\row\\pard\\pard", Open + "a</TD></TR><TR><TD>c</TD></TR>" + Close);
        row("second row without trowd", "\\trowd\\pard\\intbl a\\cell\\row\\intbl c\\cell d\\cell\\row\\pard\\pard", Open + "a</TD></TR><TR><TD>c</TD><TD>d</TD></TR>" + Close);
        row("paragraph end inside cells", "\\trowd\\pard\\intbl a\\par b\\cell c\\par d\\cell\\row\\pard\\pard", Open + "a<BR>b</TD><TD>c<BR>d</TD></TR>" + Close);
        row("formatting in cells", "\\trowd\\pard\\intbl\\b a\\cell\\i b\\cell\\row\\pard\\pard", Open + "<B>a</B></TD><TD><I>b</I></TD></TR>" + Close);
        row("aligned paragraphs in cells are closed", "\\trowd\\pard\\intbl\\qc a\\par\\pard\\intbl\\qr b\\par c\\cell\\row\\pard\\pard", Open + "<CENTER>a</CENTER><BR><DIV ALIGN=right>b</DIV><BR><DIV ALIGN=right>c</DIV></TD></TR>" + Close);
        row("group ends in cells", "\\trowd\\pard\\intbl{\\b a} b\\cell\\row\\pard\\pard", Open + "<B>a</B> b</TD></TR>" + Close);
        row("cell text after a row joins a new row", "\\trowd\\pard\\intbl a\\cell\\row\\pard x\\intbl y\\cell\\row\\pard\\pard", Open + "a</TD></TR><TR><TD>xy</TD></TR>" + Close);
        row("widctlpar before intbl keeps the table", "\\trowd\\pard\\intbl a\\cell\\row\\widctlpar\\intbl b\\cell\\row\\pard\\pard", Open + "a</TD></TR><TR><TD>b</TD></TR>" + Close);
        row("widctlpar ends like pard", "\\trowd\\pard\\intbl a\\cell\\row\\widctlpar x\\widctlpar y", Open + "a</TD></TR>" + Close + "xy");
        row("skipped groups in cells", "\\trowd\\pard\\intbl{\\*\\bkmkstart b}a{\\footnote n}\\cell{\\pict 0a0b}\\cell\\row\\pard\\pard", Open + "a</TD><TD><P>[*** picture ***]<P></TD></TR>" + Close);
        row("list text is shown in tables", "\\trowd\\pard\\intbl{\\pntext x}a\\cell\\row\\pard\\pard", Open + "xa</TD></TR>" + Close);
        row("lists closed before the table", "{\\*\\pn\\pnlvlblt}item\\par\\trowd\\pard\\intbl a\\cell\\row\\pard\\pard", "<UL><LI type=disc>item</LI></UL>" + Open + "a</TD></TR>" + Close);
        row("unicode and hex in cells", "\\trowd\\pard\\intbl\\u945?\\'e4\\~\\cell\\row\\pard\\pard", Open + "&#945;&auml;&nbsp;</TD></TR>" + Close);
        // The input ends while looking ahead: the table ends and what was read
        // ahead is read again as paragraphs.
        row("ends in look-ahead", "\\trowd\\pard\\intbl a\\cell\\row\\pard tail", Open + "a</TD></TR>" + Close + "tail");
        // No paragraph start after the last row: the text is not lost. A table
        // cut off by the end of the input is closed all the same.
        row("ends after the row", "\\trowd\\pard\\intbl a\\cell\\row tail", Open + "a</TD></TR>" + Close + "tail");
        row("ends inside a cell", "\\trowd\\pard\\intbl a\\cell\\b b", Open + "a</TD><TD><B>b</B></TD></TR>" + Close);
        row("ends in the first cell", "\\trowd\\pard\\intbl\\qc a", Open + "<CENTER>a</CENTER></TD></TR>" + Close);
        // Lines read ahead are joined; a word that ended its line still ends
        // there, and the paragraphs after the table keep their line structure.
        row("paragraph lines after the table", "\\trowd\\pard\\intbl a\\cell\\row\n\\pard one\\par\ntwo\\par\n\\pard three", Open + "a</TD></TR>" + Close + "one<BR>two<BR>three");
        row("table end found by looking ahead", "{\\rtf1\\trowd\\cellx1000\n\\pard\\intbl a\\cell\\row\n\\pard first\\par\n\\pard second\\par\n}",
            "<BR>\n<TABLE BORDER=2><TR><TD>a</TD></TR></TABLE><BR>\nfirst<BR>\nsecond<BR>\n\n");
        // A picture right after the table is read again with the paragraphs.
        row("picture in look-ahead", "\\trowd\\pard\\intbl a\\cell\\row\\pard x{\\pict 00}\\par\\pard y", Open + "a</TD></TR>" + Close + "x<P>[*** picture ***]<P><BR>y");
        row("deep nesting in a cell", "\\trowd\\pard\\intbl " + std::string(40, '{') + "\\b a" + std::string(40, '}') + " b\\cell\\row\\pard\\pard", Open + "<B>a</B> b</TD></TR>" + Close);
        row("deeper, never closed", "{\\rtf1\\trowd\\pard\\intbl " + std::string(200000, '{') + "x", Open + "x</TD></TR>" + Close);
        row("closing groups opened before the table", "{{\\trowd\\pard\\intbl a\\cell}}\\row\\pard\\pard z", Open + "a</TD></TR>" + Close + "z");
    }
    void tables() { htmltest::compareRow(); }

    // Tables next to each other stay apart and keep the text between them;
    // no cell, row or formatting is dropped in a way that leaves a tag alone.
    void tablesApart_data()
    {
        htmltest::columns();
        const std::string a = "\\trowd\\cellx100\\pard\\intbl a\\cell\\row\n";
        const std::string b = "\\trowd\\cellx100\\pard\\intbl b\\cell\\row\n";
        const std::string tableA = Open + "a</TD></TR>" + Close;
        const std::string tableB = Open + "b</TD></TR>" + Close;
        // As the editor writes them: one "\\pard" before the paragraphs between.
        row("text between tables", a + "\\pard\\par\nBetween\\par\n" + b + "\\pard\\par\n",
            tableA + "<BR>Between<BR>" + tableB + "<BR>");
        row("one paragraph between", a + "\\pard Between\\par\n" + b + "\\pard\\par", tableA + "Between<BR>" + tableB + "<BR>");
        row("text right before the next table", a + "\\pard x " + b + "\\pard\\pard", tableA + "x " + tableB);
        // The text collected after a row opened tags; dropping it left their
        // closing tags behind.
        row("formatted text between", "{\\fonttbl{\\f0 Arial;}}" + a + "\\pard\\f0 x" + b + "\\pard\\pard y",
            tableA + "<FONT FACE=\"Arial\">x</FONT>" + tableB + "<FONT FACE=\"Arial\">y</FONT>");
        // Rows of one table: nothing but a row definition, or "\\pard\\intbl", between.
        row("rows of one table", a + "\\pard\\intbl b\\cell\\row\n" + b + "\\pard\\pard", Open + "a</TD></TR><TR><TD>b</TD></TR><TR><TD>b</TD></TR>" + Close);
        row("text after a row without paragraph start", "\\trowd\\pard\\intbl a\\cell\\row x\\trowd\\pard\\intbl b\\cell\\row\\pard\\pard",
            Open + "a</TD></TR><TR><TD>xb</TD></TR>" + Close);

        row("text after the last cell is a cell", "\\trowd\\pard\\intbl a\\cell\\b b\\row\\pard\\pard z", Open + "a</TD><TD><B>b</B></TD></TR>" + Close + "z");
        row("formatting after the last cell is dropped", "\\trowd\\pard\\intbl a\\cell\\b\\row\\pard\\pard z", Open + "a</TD></TR>" + Close + "z");
        row("row without a cell end", "\\trowd\\pard\\intbl\\i a\\row\\pard\\pard", Open + "<I>a</I></TD></TR>" + Close);
        row("indentation ends with its cell", "\\trowd\\pard\\intbl\\li720 a\\cell\\pard\\intbl b\\cell\\row\\pard\\pard",
            Open + "<UL><UL><UL>a</UL></UL></UL></TD><TD>b</TD></TR>" + Close);
        // A table inside a cell: each of its cells is a line of the outer cell.
        row("nested table", "\\trowd\\pard\\intbl x\\cell\\pard\\intbl\\itap2 a\\nestcell b\\nestcell{\\*\\nesttableprops\\trowd\\cellx10\\nestrow}"
                            "{\\nonesttables\\par}\\pard\\intbl\\cell\\row\\pard\\pard",
            Open + "x</TD><TD>a<BR>b<BR></TD></TR>" + Close);
        // Link text is kept, in a cell and between tables.
        row("links", a + "\\pard{\\field{\\*\\fldinst{HYPERLINK \"x\"}}{\\fldrslt{\\ul link}}}\\par\n"
                     "\\trowd\\pard\\intbl{\\field{\\*\\fldinst{HYPERLINK \"y\"}}{\\fldrslt in cell}}\\cell\\row\\pard\\pard",
            tableA + "<U>link</U><BR>" + Open + "in cell</TD></TR>" + Close);
        // What was read ahead is read again, so what it did to the writer is
        // undone: its lists were never written.
        row("indented paragraph after a table", a + "\\pard\\li720 x\\par\\pard y",
            tableA + "<UL><UL><UL>x<BR></UL></UL></UL>y");
    }
    void tablesApart() { htmltest::compareRow(); }

    void lookAheadIsBounded()
    {
        // A row followed by one paragraph start and a very long rest: the table
        // ends without holding the rest of the document.
        std::string rtf = "{\\rtf1\\trowd\\pard\\intbl a\\cell\\row\\pard ";
        for (int i = 0; i < 30000; ++i)
            rtf += "some text of the document\\par\n";
        const std::string flat = htmltest::flat(htmltest::convert(rtf + "}"));
        QVERIFY(flat.rfind(Open + "a</TD></TR>" + Close + "some text", 0) == 0);
        QVERIFY(std::count(flat.begin(), flat.end(), 's') >= 30000);
    }
};

QTEST_GUILESS_MAIN(TestTableConvert)
#include "tst_tableconvert.moc"
