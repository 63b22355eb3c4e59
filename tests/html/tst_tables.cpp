// The font table, colour table and style sheet: their readers, the lookups
// and the style normalisation.
#include "html/conversion.h"
#include "htmltestutil.h"
#include "html/tablereaders.h"

#include <QTest>

#include <sstream>

using htmltest::q;
using htmltest::toHtml;

namespace {

// A conversion whose current line is `first`, with `rest` as further input;
// `read` runs a table reader from just after its keyword.
struct Fixture
{
    explicit Fixture(const std::string &first, const std::string &rest = {}, const html::Options &options = {})
        : in(rest)
        , c(in, out, options)
    {
        c.line.set(first);
    }
    void read(void (*reader)(html::Conversion &, std::size_t), const std::string &keyword)
    {
        reader(c, c.line.view().find(keyword) + keyword.size());
    }
    QByteArray left() const { return q(std::string(c.line.view())); }
    QStringList fonts() const
    {
        QStringList list;
        for (int i = 0; i < c.tables.fontCount(); ++i)
            list << QString::fromStdString(c.tables.font(i).name) + "/" + QString::number(c.tables.font(i).number);
        return list;
    }

    std::istringstream in;
    std::ostringstream out;
    html::Conversion c;
};

} // namespace

class TestTables : public QObject
{
    Q_OBJECT

private slots:
    void fontTable_data()
    {
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QByteArray>("rest");
        QTest::addColumn<QStringList>("fonts");
        QTest::addColumn<QByteArray>("left"); // the table's closing brace is left for the reader
        QTest::newRow("rich edit") << q("{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\froman\\fprq2\\fcharset2 Symbol;}}\\viewkind4")
                                   << q("") << QStringList {"Arial/0", "Symbol/1"} << q("}\\viewkind4");
        // The rest is joined when the line runs short.
        QTest::newRow("across lines") << q("{\\fonttbl{\\f0\\fswiss Arial;}") << q("{\\f3\\fmodern Courier New;}}\n\\pard x\n")
                                      << QStringList {"Arial/0", "Courier New/3"} << q("}\\pard x");
        QTest::newRow("alternative and panose")
            << q("{\\fonttbl{\\f0\\froman{\\*\\panose 0202}Times New Roman{\\*\\falt Times};}{\\f2\\fnil{\\*\\panose 0}Wingdings;}}x")
            << q("") << QStringList {"Times/0", "Wingdings/2"} << q("}x");
        // Spaces between entries do not make the scan run into the document.
        QTest::newRow("spaces") << q("{\\fonttbl {\\f0 A;} {\\f1 B;} }\\deftab720") << q("")
                                << QStringList {"A/0", "B/1"} << q("}\\deftab720");
        QTest::newRow("without entry groups") << q("{\\fonttbl\\f0\\fswiss Arial;}{\\colortbl;}") << q("")
                                              << QStringList {"Arial/0"} << q("}{\\colortbl;}");
        QTest::newRow("no entries") << q("{\\fonttbl}rest of it") << q("") << QStringList {} << q("}rest of it");
        // A name may start right after a word, with a character code; taking
        // it for the start of the next entry lost the whole document.
        QTest::newRow("name in codes") << q("{\\fonttbl{\\f0\\fnil\\fcharset134\\'41\\'42;}{\\f1\\fnil Arial;}}\\pard")
                                       << q("") << QStringList {"AB/0", "Arial/1"} << q("}\\pard");
        QTest::newRow("code inside a name") << q("{\\fonttbl{\\f0 Caf\\'65 Sans;}}x") << q("") << QStringList {"Cafe Sans/0"} << q("}x");
        QTest::newRow("word at a line end") << q("{\\fonttbl{\\f0\\fnil\\fcharset204") << q("Cyr;}}x\n")
                                            << QStringList {"Cyr/0"} << q("}x");
    }

    void fontCharsets()
    {
        // The character set of each font, kept also when the fonts are not.
        for (const bool noFonts : {false, true}) {
            html::Options options;
            options.noFonts = noFonts;
            Fixture f("{\\fonttbl{\\f0\\fnil\\fcharset204 A;}{\\f3\\fcharset134\\'cb\\'ce;}{\\f4 C;}}", {}, options);
            f.read(html::readFontTable, "\\fonttbl");
            QCOMPARE(f.c.tables.fontCharset(0), 204);
            QCOMPARE(f.c.tables.fontCharset(3), 134);
            QCOMPARE(f.c.tables.fontCharset(4), -1);
            QCOMPARE(f.c.tables.fontCount(), noFonts ? 0 : 3);
        }
    }

    void fontTable()
    {
        QFETCH(QByteArray, first);
        QFETCH(QByteArray, rest);
        QFETCH(QStringList, fonts);
        QFETCH(QByteArray, left);
        Fixture f(first.toStdString(), rest.toStdString());
        f.read(html::readFontTable, "\\fonttbl");
        QCOMPARE(f.fonts(), fonts);
        QCOMPARE(f.left(), left);
    }

    void fontLookupAndOptions()
    {
        // An unknown number gives the name of the last entry: empty here.
        QCOMPARE(q(toHtml("{\\fonttbl{\\f0 Arial;}}\\f0 a\\f9 b")),
                 q("<FONT FACE=\"Arial\">a</FONT><FONT FACE=\"\">b</FONT>"));
        html::DocumentTables t;
        for (int i = 0; i < 250; ++i)
            t.addFont("F" + std::to_string(i), i);
        QCOMPARE(t.fontCount(), html::DocumentTables::FontSlots);
        QCOMPARE(q(t.fontName(7)), q("F7"));

        // noFonts: the table is read, nothing is stored, no face is written.
        html::Options options;
        options.noFonts = true;
        Fixture f("{\\fonttbl{\\f0\\fswiss Arial;}}x", {}, options);
        f.read(html::readFontTable, "\\fonttbl");
        QCOMPARE(f.c.tables.fontCount(), 0);
        QCOMPARE(f.left(), q("}x"));
        QCOMPARE(q(toHtml("{\\fonttbl{\\f0\\fswiss Arial;}}\\f0 text", options)), q("text"));

        // optimize: pairs of the first three fonts, newest first.
        options = {};
        options.optimize = true;
        Fixture g("{\\fonttbl{\\f0 A;}{\\f1 B;}{\\f2 C;}{\\f3 D;}}", {}, options);
        g.read(html::readFontTable, "\\fonttbl");
        const std::vector<std::string> expected = {
            "</FONT><FONT FACE=\"C\">", "<FONT FACE=\"C\"></FONT>", "</FONT><FONT FACE=\"B\">",
            "<FONT FACE=\"B\"></FONT>", "</FONT><FONT FACE=\"A\">", "<FONT FACE=\"A\"></FONT>",
        };
        QVERIFY(g.c.out.patterns() == expected);
        options.onlyDefiniteOpt = true;
        Fixture h("{\\fonttbl{\\f0 A;}}", {}, options);
        h.read(html::readFontTable, "\\fonttbl");
        QVERIFY(h.c.out.patterns() == std::vector<std::string> {"<FONT FACE=\"A\"></FONT>"});
    }

    void colorTable_data()
    {
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<QStringList>("colors");
        QTest::newRow("empty first entry") << q("{\\colortbl ;\\red0\\green0\\blue0;\\red255\\green0\\blue0;}")
                                           << QStringList {"#000000", "#000000", "#FF0000"};
        QTest::newRow("no empty entry") << q("{\\colortbl\\red255\\green0\\blue0;}") << QStringList {"#FF0000"};
        QTest::newRow("only the empty entry") << q("{\\colortbl;}") << QStringList {"#000000"};
        QTest::newRow("no entries") << q("{\\colortbl}") << QStringList {};
        QTest::newRow("missing and large components") << q("{\\colortbl\\green171;\\red300\\blue9999999999999;}")
                                                      << QStringList {"#00AB00", "#FF00FF"};
        QTest::newRow("space before the end") << q("{\\colortbl;\\red16\\green32\\blue48; }")
                                              << QStringList {"#000000", "#102030"};
    }

    void colorTable()
    {
        QFETCH(QByteArray, table);
        QFETCH(QStringList, colors);
        Fixture f(table.toStdString() + "\\pard");
        f.read(html::readColorTable, "\\colortbl");
        QStringList got;
        for (const int color : f.c.tables.colors())
            got << QString::fromStdString(html::colorString(color));
        QCOMPARE(got, colors);
        QCOMPARE(f.left(), q("}\\pard"));
        // An index past the end gives the last colour; no colours, no tag.
        if (colors.size() == 3)
            QCOMPARE(q(toHtml(table.toStdString() + "\\cf2 x\\cf9 y\\cf0 z")),
                     q("<FONT COLOR=\"#FF0000\">xy</FONT><FONT COLOR=\"#000000\">z</FONT>"));
        if (colors.isEmpty())
            QCOMPARE(q(toHtml(table.toStdString() + "\\cf3 x")), q("x"));
    }

    void styleSheet()
    {
        Fixture f("{\\stylesheet{\\widctlpar\\f0\\fs20 Normal;}{\\s1\\b\\fs24 Base;}{\\s2\\sbasedon1 \\fs28 x;}"
                  "{\\s3\\i{\\*\\foo bar}\\ul Name\\'e4;}{\\*\\cs10 \\additive\\b Default Font;}{\\ds4\\i Section;}"
                  "{\\s5\\sbasedon5\\ul Self;}{\\s6\\sbasedon9\\v Later;}{\\s301\\b Big;}}\\pard");
        f.read(html::readStyleSheet, "\\stylesheet");
        const html::DocumentTables &t = f.c.tables;
        QCOMPARE(q(t.style(0).name), q("Normal"));
        QCOMPARE(q(t.style(0).definition), q("\\f0\\fs20"));
        QCOMPARE(q(t.style(2).definition), q("\\b\\fs24\\fs28"));
        QCOMPARE(q(t.style(2).name), q("x"));
        QCOMPARE(q(t.style(3).definition), q("\\i\\ul")); // nested group skipped
        QCOMPARE(q(t.style(3).name), q("Name\xE4"));
        // Character and section styles are skipped; a base must have a lower number.
        QCOMPARE(q(t.style(10).definition + t.style(4).definition), q(""));
        QCOMPARE(q(t.style(5).definition), q("\\ul"));
        QCOMPARE(q(t.style(6).definition), q("\\v"));
        QCOMPARE(f.left(), q("}\\pard"));
    }

    void headingAndContentsStyles()
    {
        Fixture f("{\\stylesheet{\\s3 heading 2;}{\\s9 toc 1;}{\\s4\\b Heading 3;}{\\s5 toc;}"
                  "{\\s7 heading 10;}{\\s8 toc 1 (toc 2);}}");
        f.read(html::readStyleSheet, "\\stylesheet");
        const html::DocumentTables &t = f.c.tables;
        QCOMPARE(t.headingStyle(2), 3);
        QCOMPARE(t.tocStyle(1), 9);
        QCOMPARE(t.headingStyle(3), -1); // the test is case-sensitive
        // The level is the last digit 1-9 of the name.
        QCOMPARE(t.headingStyle(1), 7);
        QCOMPARE(t.tocStyle(2), 8);
    }

    void normalizeStyle_data()
    {
        QTest::addColumn<QByteArray>("definition");
        QTest::addColumn<QByteArray>("base");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("words removed") << q("\\widctlpar\\adjustright\\keepn\\cgrid\\b") << q("") << q("\\b");
        QTest::newRow("words with parameters")
            << q("\\sa120\\sb60\\sl240\\slmult1\\tx720\\lang1031\\kerning28\\expndtw10\\outlinelevel0\\snext0\\i")
            << q("") << q("\\i");
        QTest::newRow("every occurrence") << q("\\tx720\\b\\tx720\\tx1440") << q("") << q("\\b");
        QTest::newRow("base first") << q("\\fs28") << q("\\b\\fs24") << q("\\b\\fs24\\fs28");
        QTest::newRow("base inside") << q("\\b\\fs24\\ul") << q("\\b\\fs24") << q("\\b\\fs24\\ul");
        QTest::newRow("own indent wins") << q("\\li360\\b") << q("\\fi-360\\li720\\i") << q("\\i\\li360\\b");
        QTest::newRow("base indent kept") << q("\\b") << q("\\li720") << q("\\li720\\b");
    }

    void normalizeStyle()
    {
        QFETCH(QByteArray, definition);
        QFETCH(QByteArray, base);
        QFETCH(QByteArray, expected);
        QCOMPARE(q(html::normalizeStyle(definition.toStdString(), base.toStdString())), expected);
    }

    void damagedTablesEndTheirScan()
    {
        // Tables that end with the input leave nothing to read again, and the
        // text before a table is read once.
        for (const char *rtf : {"{\\rtf1 a{\\fonttbl{\\f0 Arial", "{\\rtf1 a{\\colortbl\\red1", "{\\rtf1 a{\\stylesheet{\\s1 x",
                                "{\\rtf1 a{\\fonttbl{\\f", "{\\rtf1 a{\\fonttbl{\\f0{", "{\\rtf1 a{\\stylesheet{\\s1{\\*",
                                "{\\rtf1 a{\\fonttbl}", "{\\rtf1 a{\\colortbl;}{\\colortbl}"}) {
            html::Result result;
            const std::string page = htmltest::convert(rtf, {}, &result);
            QVERIFY(result.ok);
            QCOMPARE(q(htmltest::flat(page)), q("a"));
        }
    }
};

QTEST_GUILESS_MAIN(TestTables)
#include "tst_tables.moc"
