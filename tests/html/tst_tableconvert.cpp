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
        // No paragraph start after the last row: the text is not lost.
        row("ends after the row", "\\trowd\\pard\\intbl a\\cell\\row tail", Open + "a</TD></TR>" + Close + "tail");
        row("ends inside a cell", "\\trowd\\pard\\intbl a\\cell b", Open + "a</TD><TD>b");
        row("ends in the first cell", "\\trowd\\pard\\intbl a", Open + "a");
        // Lines read ahead are joined; a word that ended its line still ends
        // there, and the paragraphs after the table keep their line structure.
        row("paragraph lines after the table", "\\trowd\\pard\\intbl a\\cell\\row\n\\pard one\\par\ntwo\\par\n\\pard three", Open + "a</TD></TR>" + Close + "one<BR>two<BR>three");
        row("table end found by looking ahead", "{\\rtf1\\trowd\\cellx1000\n\\pard\\intbl a\\cell\\row\n\\pard first\\par\n\\pard second\\par\n}",
            "<BR>\n<TABLE BORDER=2><TR><TD>a</TD></TR></TABLE><BR>\nfirst<BR>\nsecond<BR>\n\n");
        // A picture right after the table is read again with the paragraphs.
        row("picture in look-ahead", "\\trowd\\pard\\intbl a\\cell\\row\\pard x{\\pict 00}\\par\\pard y", Open + "a</TD></TR>" + Close + "x<P>[*** picture ***]<P><BR>y");
        row("deep nesting in a cell", "\\trowd\\pard\\intbl " + std::string(40, '{') + "\\b a" + std::string(40, '}') + " b\\cell\\row\\pard\\pard", Open + "<B>a</B> b</TD></TR>" + Close);
        row("deeper, never closed", "{\\rtf1\\trowd\\pard\\intbl " + std::string(200000, '{') + "x", Open + "x");
        row("closing groups opened before the table", "{{\\trowd\\pard\\intbl a\\cell}}\\row\\pard\\pard z", Open + "a</TD></TR>" + Close + "z");
    }
    void tables() { htmltest::compareRow(); }

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
