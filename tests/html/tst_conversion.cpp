// The conversion as a whole: the page frame, files and options, errors,
// conversions side by side, pathological inputs, the golden pages and the
// corpus of other programs' RTF.
#include "htmltestutil.h"
#include "testsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <fstream>
#include <thread>

using htmltest::BodyLine;
using htmltest::convert;
using htmltest::q;
using htmltest::Tail;

namespace {

const std::string Head = "<HTML>\r\n<HEAD>\r\n<TITLE></TITLE>\r\n</HEAD>\r\n" + BodyLine;

std::string readAll(const QString &path)
{
    return testsupport::readFile(path).toStdString();
}

} // namespace

class TestConversion : public QObject
{
    Q_OBJECT

private slots:
    void pageFrame()
    {
        // Empty input still makes a page; the last buffer is written even empty.
        QCOMPARE(q(convert("")), q(Head + "\r\n" + Tail));
        // The alignment tag that was opened is closed, though the group that
        // set it has ended.
        const std::string page = convert("{\\rtf1 \\qc\\b x}");
        QCOMPARE(q(page), q(Head + "<CENTER><B>x</B></CENTER>\r\n" + Tail));
        // Alignment set at the outermost level is closed by the tail.
        QCOMPARE(q(convert("\\qr\\i y")), q(Head + "<DIV ALIGN=right><I>y</I></DIV>\r\n" + Tail));
    }

    void filesAndTitle()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const std::string in = dir.filePath("$$$").toStdString();
        const QString out = dir.filePath("page.html");
        std::ofstream(in) << "{\\rtf1 new}";
        // The title is the input's name as passed; an old page is replaced.
        std::ofstream(out.toStdString()) << "old page";
        QVERIFY(html::rtfToHtmlFile(in, out.toStdString(), {}).ok);
        const std::string page = readAll(out);
        QVERIFY(page.rfind("<HTML>\r\n<HEAD>\r\n<TITLE>" + in + "</TITLE>\r\n", 0) == 0);
        QCOMPARE(q(htmltest::body(page)), q("new\n"));
        QVERIFY(!QFile::exists(out + ".part"));

        html::Options options;
        options.title = "Smith & <Sons>";
        const std::string head = "<HTML>\r\n<HEAD>\r\n<TITLE>Smith &amp; &lt;Sons&gt;</TITLE>\r\n";
        QCOMPARE(q(convert("", options).substr(0, head.size())), q(head));

        // A missing input creates no page; an unwritable place is reported.
        const QString missing = dir.filePath("missing.html");
        html::Result result = html::rtfToHtmlFile(dir.filePath("missing.rtf").toStdString(), missing.toStdString(), {});
        QVERIFY(!result.ok && result.error.find("missing.rtf") != std::string::npos);
        QVERIFY(!QFile::exists(missing));
        result = html::rtfToHtmlFile(in, dir.filePath("no/such/page.html").toStdString(), {});
        QVERIFY(!result.ok);

        // A bad character code is reported, and the page is finished all the same.
        std::ofstream(in) << "{\\rtf1 {\\b before}\\'q1 after}";
        result = html::rtfToHtmlFile(in, out.toStdString(), {});
        QVERIFY(!result.ok && result.error.find("q1") != std::string::npos);
        QCOMPARE(q(htmltest::body(readAll(out))), q("<B>before</B>\n"));
    }

    void optionStrings()
    {
        const html::Options o = html::optionsFromStrings({"noFonts", "Optimize", "", "onlyDefiniteOpt "});
        QVERIFY(o.noFonts && !o.optimize && !o.onlyDefiniteOpt);
        const html::Options p = html::optionsFromStrings({"optimize", "onlyDefiniteOpt"});
        QVERIFY(p.optimize && p.onlyDefiniteOpt && !p.noFonts);
    }

    void optimizeOption()
    {
        // A size change without text leaves an empty pair; the optimiser removes
        // it, and back-to-back face tags too, which can change a run's face.
        const std::string rtf = "{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Times;}}\\f0 a{\\fs28\\v x}\\f1 b\\f0 c\\par}";
        QCOMPARE(q(htmltest::flat(convert(rtf))),
                 q("<FONT FACE=\"Arial\">a</FONT><FONT FACE=\"Arial\"><FONT SIZE=+1></FONT></FONT>"
                   "<FONT FACE=\"Times\">b</FONT><FONT FACE=\"Arial\">c</FONT><BR>"));
        html::Options options;
        options.optimize = true;
        QCOMPARE(q(htmltest::flat(convert(rtf, options))), q("<FONT FACE=\"Arial\">abc</FONT><BR>"));
        options.onlyDefiniteOpt = true;
        QCOMPARE(q(htmltest::flat(convert(rtf, options))),
                 q("<FONT FACE=\"Arial\">a</FONT><FONT FACE=\"Times\">b</FONT><FONT FACE=\"Arial\">c</FONT><BR>"));
        // The last, short buffer is written as it came.
        options.onlyDefiniteOpt = false;
        QCOMPARE(q(htmltest::flat(convert("{\\rtf1 \\b a{\\i\\v b}}", options))), q("<B>a</B><B><I></I></B>"));
    }

    void conversionsSideBySide()
    {
        // Each conversion keeps its own state: documents converted on two
        // threads at once give the pages they give one after the other.
        std::string a, b;
        for (int i = 0; i < 200; ++i) {
            a += readAll(testsupport::dataPath("html/richedit-document/input.rtf"));
            b += readAll(testsupport::dataPath("html/headings-and-contents/input.rtf"));
        }
        const std::string expectedA = convert(a);
        const std::string expectedB = convert(b);
        std::string gotA, gotB;
        std::thread first([&] { gotA = convert(a); });
        std::thread second([&] { gotB = convert(b); });
        first.join();
        second.join();
        QVERIFY(gotA == expectedA);
        QVERIFY(gotB == expectedB);
    }

    void pathologicalInputsTerminate_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        auto repeat = [](const std::string &s, int n) {
            std::string out;
            for (int i = 0; i < n; ++i)
                out += s;
            return out;
        };
        QTest::newRow("empty pairs") << q("{\\rtf1 " + repeat("{\\b\\v x}", 200000) + "}");
        QTest::newRow("splices on one line")
            << q("{\\rtf1{\\stylesheet{\\s1\\b\\i\\ul\\fs28 H;}}" + repeat("\\s1 x", 200000) + "}");
        QTest::newRow("many colours") << q("{\\rtf1{\\colortbl;" + repeat("\\red1\\green2\\blue3;", 20000) + "}"
                                           + repeat("\\cf5 a\\cf7 b", 50000) + "}");
        QTest::newRow("long paragraph with tags") << q("{\\rtf1 " + repeat("\\b x\\b0 y{\\i z}", 100000) + "}");
        QTest::newRow("tables") << q("{\\rtf1 " + repeat("\\trowd\\pard\\intbl a\\cell\\row\\pard x\\par\\pard ", 30000) + "}");
        QTest::newRow("bullets") << q("{\\rtf1 " + repeat("{\\*\\pn\\pnlvlblt}", 50000) + "x}");
        QTest::newRow("unclosed groups") << q("{\\rtf1 " + repeat("{\\*\\pn ", 30000));
    }

    void pathologicalInputsTerminate()
    {
        QFETCH(QByteArray, rtf);
        for (const bool optimize : {false, true}) {
            html::Options options;
            options.optimize = optimize;
            QElapsedTimer timer;
            timer.start();
            html::Result result;
            const std::string page = convert(rtf.toStdString(), options, &result);
            QVERIFY(result.ok);
            QVERIFY(page.size() >= Tail.size() && page.compare(page.size() - Tail.size(), Tail.size(), Tail) == 0);
            const std::string unbalanced = htmltest::unbalancedTag(page);
            QVERIFY2(unbalanced.empty(), unbalanced.c_str());
            // A hang guard, not a speed test (the benchmark measures speed): a
            // quadratic or endless conversion of these inputs takes minutes,
            // the sanitizer build a few seconds.
            QVERIFY2(timer.elapsed() < 30000, qPrintable(QString::number(timer.elapsed())));
        }
    }

    void longLineWithoutLineEnds()
    {
        // A document without line ends is read in pieces; the output is the same
        // as for the document with a line end after every paragraph.
        std::string oneLine = "{\\rtf1 ";
        std::string lines = "{\\rtf1 ";
        for (int i = 0; i < 120000; ++i) {
            const std::string paragraph = "{\\b w" + std::to_string(i) + "} text\\par ";
            oneLine += paragraph;
            lines += paragraph + "\r\n";
        }
        QVERIFY(oneLine.size() > 2 * 1024 * 1024);
        QVERIFY(convert(oneLine + "}") == convert(lines + "}"));
    }

    void goldenPages_data()
    {
        QTest::addColumn<QString>("folder");
        const QDir root(testsupport::dataPath("html"));
        const QStringList cases = root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        QVERIFY(!cases.isEmpty());
        for (const QString &name : cases)
            QTest::newRow(qPrintable(name)) << root.filePath(name);
    }

    void goldenPages()
    {
        QFETCH(QString, folder);
        std::vector<std::string> optionStrings;
        const QString optionsFile = folder + "/options.txt";
        if (QFile::exists(optionsFile)) {
            for (const QByteArray &line : testsupport::readFile(optionsFile).split('\n'))
                optionStrings.push_back(line.trimmed().toStdString());
        }
        html::Options options = html::optionsFromStrings(optionStrings);
        options.title = "$$$";
        const std::string page = convert(readAll(folder + "/input.rtf"), options);
        QCOMPARE(q(page), testsupport::readFile(folder + "/expected.html"));
        const std::string unbalanced = htmltest::unbalancedTag(page);
        QVERIFY2(unbalanced.empty(), unbalanced.c_str());
    }

    void corpus_data()
    {
        testsupport::addCorpusRows();
    }

    void corpus()
    {
        QFETCH(QString, path);
        if (path.isEmpty())
            QSKIP("The RTF corpus is not there; nothing to convert");
        QElapsedTimer timer;
        timer.start();
        html::Result result;
        const std::string page = convert(readAll(path), {}, &result);
        QVERIFY2(timer.elapsed() < 30000, "conversion took too long");
        QVERIFY(page.rfind("<HTML>\r\n", 0) == 0);
        QVERIFY(page.size() >= Tail.size() && page.compare(page.size() - Tail.size(), Tail.size(), Tail) == 0);
        // A damaged character code is the one error a document may have.
        if (!result.ok)
            QVERIFY2(result.error.find("character code") != std::string::npos, result.error.c_str());
        // Whatever the document, every tag of the page has its partner.
        const std::string unbalanced = htmltest::unbalancedTag(page);
        QVERIFY2(unbalanced.empty(), unbalanced.c_str());
    }
};

QTEST_GUILESS_MAIN(TestConversion)
#include "tst_conversion.moc"
