// The output side: line breaking, the tag-pair optimiser, links, and the
// buffered writer checked against a direct model of its rules.
#include "htmltestutil.h"
#include "html/linewriter.h"

#include <QRandomGenerator>
#include <QTest>

#include <cctype>
#include <set>
#include <sstream>

using htmltest::q;

namespace {

bool isBlockTag(const std::string &tag)
{
    static const std::set<std::string> blocks = {"P", "BR", "HR", "TABLE", "TR", "TD", "UL", "LI", "OL", "CENTER", "DIV"};
    std::string name;
    for (const char c : tag.substr(tag[1] == '/' ? 2 : 1)) {
        if (!std::isalpha(static_cast<unsigned char>(c)))
            break;
        name += char(std::toupper(static_cast<unsigned char>(c)));
    }
    return blocks.count(name) > 0;
}

// True when a line end after `text` touches white space or a block tag, so
// that it cannot split a word.
bool spaceBefore(std::string text)
{
    while (!text.empty() && text.back() == '>') {
        const std::size_t open = text.rfind('<');
        if (isBlockTag(text.substr(open)))
            return true;
        text.erase(open);
    }
    return text.empty() || std::isspace(static_cast<unsigned char>(text.back()));
}

bool spaceAfter(std::string text)
{
    while (!text.empty() && text.front() == '<') {
        const std::size_t close = text.find('>');
        if (isBlockTag(text.substr(0, close + 1)))
            return true;
        text.erase(0, close + 1);
    }
    return !text.empty() && std::isspace(static_cast<unsigned char>(text.front()));
}

// The page's line rules written out plainly, without the shortcuts the real
// writer takes: every fragment optimises the whole unwritten buffer.
class ModelWriter
{
public:
    explicit ModelWriter(const html::LineWriter &patterns)
        : m_optimizer(patterns)
    {
    }
    void writeOut(const std::string &fragment)
    {
        if (fragment.empty())
            return;
        // A long buffer waits to be a line until the next fragment shows
        // that the line end does not split a word.
        if (m_pending > 0 && spaceAfter(fragment)) {
            lines += html::LineWriter::linkUrls(m_buffer.substr(0, m_pending)) + "\r\n";
            m_buffer.erase(0, m_pending);
        }
        m_pending = 0;
        m_buffer += fragment;
        std::string t = m_optimizer.optimize(m_buffer);
        std::size_t end = findBreak(t);
        if (end == std::string::npos && t.size() <= 100)
            return;
        while (end != std::string::npos) {
            lines += html::LineWriter::linkUrls(t.substr(0, end)) + "\r\n";
            t.erase(0, end);
            end = findBreak(t);
        }
        m_buffer = t;
        const std::size_t n = t.size();
        if (n > 100 && t[n - 1] == '>' && t[n - 2] != 'L' && t[n - 2] != 'A') {
            if (spaceBefore(t)) {
                lines += html::LineWriter::linkUrls(t) + "\r\n";
                m_buffer.clear();
            } else if (n > html::LineWriter::ForcedBreak) {
                lines += html::LineWriter::linkUrls(t.substr(0, n - 1)) + "\r\n";
                m_buffer = ">";
            } else {
                m_pending = n;
            }
        }
    }
    std::string finish()
    {
        if (m_pending > 0) {
            lines += html::LineWriter::linkUrls(m_buffer.substr(0, m_pending)) + "\r\n";
            m_buffer.erase(0, m_pending);
        }
        return lines + m_buffer + "\r\n";
    }
    std::string lines;

private:
    static std::size_t findBreak(const std::string &t)
    {
        std::size_t p = t.find("<P>");
        if (p != std::string::npos)
            return p + 3;
        p = t.find("<BR>");
        return p == std::string::npos ? p : p + 4;
    }
    const html::LineWriter &m_optimizer;
    std::string m_buffer;
    std::size_t m_pending = 0;
};

struct Writer
{
    explicit Writer(bool optimize = false)
        : w(out)
    {
        w.setOptimize(optimize);
    }
    std::string finish()
    {
        w.writeRemaining();
        w.flush();
        return out.str();
    }
    std::ostringstream out;
    html::LineWriter w;
};

} // namespace

class TestLineWriter : public QObject
{
    Q_OBJECT

private slots:
    void lines_data()
    {
        QTest::addColumn<bool>("optimize");
        QTest::addColumn<QStringList>("patterns");
        QTest::addColumn<QStringList>("fragments");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("break after BR") << false << QStringList() << QStringList{"one<BR>two<BR>three"}
                                        << q("one<BR>\r\ntwo<BR>\r\nthree\r\n");
        // A "<P>" is the break even when a "<BR>" comes first.
        QTest::newRow("P before BR") << false << QStringList() << QStringList{"a<BR>b<P>c<BR>d"}
                                     << q("a<BR>b<P>\r\nc<BR>\r\nd\r\n");
        // A long paragraph without breaks is cut at the first ">" past 100
        // characters that does not end "<UL>", "</UL>" or "</A>".
        QStringList words;
        for (int i = 0; i < 12; ++i)
            words << "<B>" << "word" << "</B>" << " ";
        QTest::newRow("long paragraph") << false << QStringList() << words
                                        << q("<B>word</B> <B>word</B> <B>word</B> <B>word</B> <B>word</B> <B>word</B> "
                                             "<B>word</B> <B>word</B> <B>word</B>\r\n <B>word</B> <B>word</B> <B>word</B> \r\n");
        // A line end is a space to a browser: it never falls between two
        // letters, only next to a space or a block tag.
        const QString x100(100, QLatin1Char('x'));
        QTest::newRow("not inside a word") << false << QStringList() << QStringList {"<B>", x100, "</B>", "<I>y</I><BR>"}
                                           << q("<B>" + x100.toStdString() + "</B><I>y</I><BR>\r\n\r\n");
        QTest::newRow("before a space") << false << QStringList() << QStringList {"<B>", x100, "</B>", "<I> y</I>"}
                                        << q("<B>" + x100.toStdString() + "</B>\r\n<I> y</I>\r\n");
        QTest::newRow("after a space") << false << QStringList() << QStringList {"<B>", x100, " </B>", "<I>y</I>"}
                                       << q("<B>" + x100.toStdString() + " </B>\r\n<I>y</I>\r\n");
        QTest::newRow("at a block tag") << false << QStringList() << QStringList {x100, "x</TD>", "<TD>y"}
                                        << q(x100.toStdString() + "x</TD>\r\n<TD>y\r\n");
        QTest::newRow("before the block tag") << false << QStringList() << QStringList {"<B>", x100, "</B>", "</TD>"}
                                              << q("<B>" + x100.toStdString() + "</B>\r\n</TD>\r\n");
        QTest::newRow("at the end") << false << QStringList() << QStringList {"<B>", x100, "</B>"}
                                    << q("<B>" + x100.toStdString() + "</B>\r\n\r\n");
        // A paragraph that offers no such place is broken inside a tag.
        const std::string huge(70000, 'x');
        QTest::newRow("inside a tag at last") << false << QStringList() << QStringList {"<B>", QString::fromStdString(huge), "</B>", "y"}
                                              << q("<B>" + huge + "</B\r\n>y\r\n");
        QTest::newRow("not after lists and links") << false << QStringList()
                                                   << QStringList{QString(101, QLatin1Char('x')), "<UL>", "<UL>", "</A>", "<I>"}
                                                   << q(std::string(101, 'x') + "<UL><UL></A><I>\r\n\r\n");
        // The buffer keeps its text as it came until a line is written, and is
        // optimised again with each fragment.
        QTest::newRow("unwritten buffer optimised again")
            << true << QStringList{"<FONT SIZE=+1></FONT>", "<FONT FACE=\"n\"></FONT>", "</FONT><FONT FACE=\"n\">"}
            << QStringList{"<FONT SIZE=+1></FONT>", "<FONT FACE=\"n\">", "x</FONT><BR>"}
            << q("<FONT SIZE=+1>x</FONT><BR>\r\n\r\n");
    }

    void lines()
    {
        QFETCH(bool, optimize);
        QFETCH(QStringList, patterns);
        QFETCH(QStringList, fragments);
        QFETCH(QByteArray, expected);
        Writer writer(optimize);
        for (const QString &p : patterns)
            writer.w.addPattern(p.toStdString());
        for (const QString &f : fragments)
            writer.w.writeOut(f.toStdString());
        QCOMPARE(q(writer.finish()), expected);
    }

    void optimize_data()
    {
        QTest::addColumn<bool>("on");
        QTest::addColumn<QStringList>("patterns"); // registered, oldest first
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("expected");
        const QStringList sizes = {"<FONT SIZE=-2></FONT>", "<FONT SIZE=+1></FONT>", "<FONT SIZE=+4></FONT>"};
        // With the option off only list pairs go, empty or back to back.
        QTest::newRow("off: pairs stay") << false << sizes << q("<B></B><FONT SIZE=+1></FONT>")
                                         << q("<B></B><FONT SIZE=+1></FONT>");
        QTest::newRow("off: lists") << false << QStringList() << q("a</UL><UL>b<UL></UL>c</UL></UL><UL><UL>") << q("abc");
        QTest::newRow("empty pairs") << true << sizes << q("<B></B><I></I><U></U><SUP></SUP><SUB></SUB><S></S>x") << q("x");
        QTest::newRow("joined pairs") << true << sizes << q("<B>a</B><B>b</B>") << q("<B>ab</B>");
        QTest::newRow("nested") << true << sizes << q("<B><I><U></U></I></B>") << q("");
        QTest::newRow("alignment") << true << sizes << q("<CENTER>a</CENTER><CENTER>b</CENTER><DIV ALIGN=right></DIV>")
                                   << q("<CENTER>ab</CENTER>");
        QTest::newRow("font sizes") << true << sizes << q("<FONT SIZE=-2></FONT><FONT SIZE=+4></FONT>x") << q("x");
        QTest::newRow("other tags stay") << true << sizes << q("<FONT SIZE=+5></FONT><A></A>")
                                         << q("<FONT SIZE=+5></FONT><A></A>");
        // The newest pattern goes first and takes the "</FONT>" the other needs.
        QTest::newRow("newest first: face") << true << QStringList {"<FONT SIZE=+1></FONT>", "</FONT><FONT FACE=\"A\">"}
                                            << q("<FONT SIZE=+1></FONT><FONT FACE=\"A\">x") << q("<FONT SIZE=+1>x");
        QTest::newRow("newest first: size") << true << QStringList {"</FONT><FONT FACE=\"A\">", "<FONT SIZE=+1></FONT>"}
                                            << q("<FONT SIZE=+1></FONT><FONT FACE=\"A\">x") << q("<FONT FACE=\"A\">x");
    }

    void optimize()
    {
        QFETCH(bool, on);
        QFETCH(QStringList, patterns);
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, expected);
        std::ostringstream out;
        html::LineWriter w(out);
        w.setOptimize(on);
        for (const QString &p : patterns)
            w.addPattern(p.toStdString());
        QCOMPARE(q(w.optimize(text.toStdString())), expected);
    }

    void linkUrls_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("comma") << q("see http://a.com, then")
                               << q("see <A HREF=\"http://a.com\">http://a.com</A>, then");
        QTest::newRow("two and a tag") << q("http://a.b/c?d=1 x http://e.f<BR>")
                                       << q("<A HREF=\"http://a.b/c?d=1\">http://a.b/c?d=1</A> x "
                                            "<A HREF=\"http://e.f\">http://e.f</A><BR>");
        QTest::newRow("end of line") << q("http://x") << q("<A HREF=\"http://x\">http://x</A>");
        QTest::newRow("other schemes") << q("https://x ftp://y") << q("https://x ftp://y");
    }

    void linkUrls()
    {
        QFETCH(QByteArray, line);
        QFETCH(QByteArray, expected);
        QCOMPARE(q(html::LineWriter::linkUrls(line.toStdString())), expected);
    }

    void matchesTheModel_data()
    {
        QTest::addColumn<bool>("optimize");
        QTest::addColumn<int>("seed");
        for (int seed = 1; seed <= 40; ++seed) {
            QTest::addRow("plain %d", seed) << false << seed;
            QTest::addRow("optimize %d", seed) << true << seed;
        }
    }

    void matchesTheModel()
    {
        QFETCH(bool, optimize);
        QFETCH(int, seed);
        // Fragments as the writer produces them; long runs of text make the
        // buffer long enough for the writer's windowed optimisation.
        static const char *const fragments[] = {
            "<B>", "</B>", "<I>", "</I>", "<U>", "</U>", "<FONT SIZE=+1>", "</FONT>",
            "<FONT FACE=\"A\">", "<FONT COLOR=\"#FF0000\">", "<UL>", "</UL>", "<CENTER>", "</CENTER>",
            "<BR>", "<P>", "</A>", "<LI type=disc>", "</LI>", "x", "word ", "http://a.b ", ",",
            "<DIV ALIGN=right>", "</DIV>", "<SUP>", "</SUP>", "<S>", "</S>",
        };
        QRandomGenerator random {quint32(seed)};
        Writer real(optimize);
        for (const char *size : {"-2", "-1", "+0", "+1", "+2", "+3", "+4"})
            real.w.addPattern(std::string("<FONT SIZE=") + size + "></FONT>");
        real.w.addPattern("<FONT FACE=\"A\"></FONT>");
        real.w.addPattern("</FONT><FONT FACE=\"A\">");
        real.w.addPattern("<FONT COLOR=\"#FF0000\"></FONT>");
        ModelWriter model(real.w);
        const int count = 3000;
        const bool longRuns = seed % 2 == 0;
        for (int i = 0; i < count; ++i) {
            std::string f;
            if (longRuns && random.bounded(50) == 0)
                f = std::string(300 + random.bounded(500), 'y');
            else
                f = fragments[random.bounded(int(std::size(fragments)))];
            if (!longRuns && random.bounded(3) == 0)
                f = fragments[random.bounded(20)];
            real.w.writeOut(f);
            model.writeOut(f);
        }
        QCOMPARE(q(real.finish()), q(model.finish()));
    }

    void failingOutputIsReported()
    {
        std::ostringstream out;
        out.setstate(std::ios::badbit);
        html::Result result;
        std::istringstream in("{\\rtf1 x}");
        result = html::rtfToHtml(in, out, {});
        QVERIFY(!result.ok);
        QVERIFY(!result.error.empty());
    }
};

QTEST_GUILESS_MAIN(TestLineWriter)
#include "tst_linewriter.moc"
