// A document's page read from its RTF, kept with it and written back; and the
// document as a PDF on that page: paginated as it prints, every line on one
// page, its text extractable and its fonts embedded. The PDF is read back
// with poppler's tools, as a viewer reads it.
#include "documents/documentexport.h"
#include "documents/documentreader.h"
#include "documents/pdfexport.h"
#include "pdfreadback.h"
#include "richtext/pagesetup.h"
#include "richtext/rtfimport.h"
#include "testsupport.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QImage>
#include <QSet>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include <memory>

using namespace Qt::StringLiterals;
using pdfreadback::texts;
using richtext::PageSetup;

namespace {

QByteArray rtf(const QByteArray &pageWords, const QByteArray &body = "Text\\par")
{
    return "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}"
           "{\\f1\\fswiss Arial;}{\\f2\\fmodern Courier New;}}"
           + pageWords + "\r\n\\f0\\fs24 " + body + "}";
}

std::unique_ptr<QTextDocument> documentOf(const QByteArray &bytes)
{
    auto document = std::make_unique<QTextDocument>();
    documents::readDocument(*document, bytes);
    return document;
}

QByteArray pdfOf(const QByteArray &bytes)
{
    return documents::exportPdf(*documentOf(bytes));
}

QList<int> fields(const PageSetup &page)
{
    return { page.paperWidth, page.paperHeight, page.marginLeft, page.marginRight, page.marginTop,
        page.marginBottom, int(page.landscape) };
}

// Paragraphs of numbered words ("w1 w2 ..."), many to a line, enough for
// several pages; the words in document order come back in `words`.
QByteArray numberedText(int count, QStringList &words)
{
    QByteArray body;
    for (int i = 1; i <= count; ++i) {
        const QString word = QStringLiteral("w%1").arg(i);
        words << word;
        body += word.toLatin1() + (i % 23 == 0 ? "\\par " : " ");
    }
    return body + "\\par";
}

// The text area of `page` in PDF points, a point of slack around it for the
// glyph boxes poppler reports.
QRectF textArea(const PageSetup &page)
{
    const QRectF twips = page.textRect();
    return QRectF(twips.topLeft() / 20, twips.size() / 20).adjusted(-1, -1, 1, 1);
}

QList<pdfreadback::Word> wordsInside(const QList<pdfreadback::Word> &words, const QRectF &area)
{
    QList<pdfreadback::Word> inside;
    for (const auto &word : words) {
        if (area.contains(word.box))
            inside << word;
    }
    return inside;
}

QByteArray pngPicture(int widthTwips, int heightTwips)
{
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return "{\\pict\\pngblip\\picw8\\pich8\\picwgoal" + QByteArray::number(widthTwips) + "\\pichgoal"
        + QByteArray::number(heightTwips) + " " + png.toHex() + "}";
}

} // namespace

#define REQUIRE_POPPLER()                                                                          \
    if (!pdfreadback::available())                                                                 \
    QSKIP("poppler-utils (pdfinfo, pdftotext, pdffonts) is not installed: nothing to read the PDF with")

class TestPdfExport : public QObject {
    Q_OBJECT

private slots:
    void pageFromRtf_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("kept");
        QTest::addColumn<QList<int>>("page"); // width, height, left, right, top, bottom, landscape
        const QList<int> letter { 12240, 15840, 1800, 1800, 1440, 1440, 0 };
        QTest::newRow("none: RTF's Letter page") << rtf("") << false << letter;
        QTest::newRow("the document's page")
            << rtf("\\paperw11906\\paperh16838\\margl1134\\margr850\\margt1417\\margb1134") << true
            << QList<int> { 11906, 16838, 1134, 850, 1417, 1134, 0 };
        QTest::newRow("one word, defaults for the rest")
            << rtf("\\margl720") << true << QList<int> { 12240, 15840, 720, 1800, 1440, 1440, 0 };
        QTest::newRow("landscape of a portrait size")
            << rtf("\\paperw12240\\paperh15840\\landscape") << true
            << QList<int> { 15840, 12240, 1800, 1800, 1440, 1440, 1 };
        QTest::newRow("landscape of a turned size")
            << rtf("\\paperw15840\\paperh12240\\landscape") << true
            << QList<int> { 15840, 12240, 1800, 1800, 1440, 1440, 1 };
        QTest::newRow("the first section's words win")
            << rtf("\\paperw12240\\paperh15840\\margl1800\\sectd\\pgwsxn11906\\pghsxn16838\\marglsxn2880"
                   "\\lndscpsxn")
            << true << QList<int> { 16838, 11906, 2880, 1800, 1440, 1440, 1 };
        QTest::newRow("later sections change nothing")
            << rtf("\\margl1000", "One\\sect\\sectd\\marglsxn5000\\pgwsxn3000 Two\\par") << true
            << QList<int> { 12240, 15840, 1000, 1800, 1440, 1440, 0 };
        QTest::newRow("\\sectd forgets the section's words before it")
            << rtf("\\marglsxn5000\\sectd\\margl1000") << true
            << QList<int> { 12240, 15840, 1000, 1800, 1440, 1440, 0 };
        QTest::newRow("inside a skipped destination") << rtf("{\\*\\pgdsctbl\\paperw5000\\margl9}")
                                                     << false << letter;
        // Any number a file gives still makes a page with room for text.
        QTest::newRow("nonsense numbers")
            << rtf("\\paperw0\\paperh99999999\\margl-720\\margr100000\\margt20000\\margb-20000") << true
            << QList<int> { 720, 63360, 270, 270, 20000, 20000, 0 };
        QTest::newRow("margins wider than the paper")
            << rtf("\\paperw12240\\margl12000\\margr12000") << true
            << QList<int> { 12240, 15840, 4590, 4590, 1440, 1440, 0 };
    }
    void pageFromRtf()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, kept);
        QFETCH(QList<int>, page);
        const auto document = documentOf(bytes);
        QCOMPARE(richtext::hasPageSetup(*document), kept);
        QCOMPARE(fields(richtext::pageSetup(*document)), page);
        QVERIFY(richtext::pageSetup(*document).textRect().width() > 0);
    }

    // A page read is a page written: a template saved from the window keeps
    // it. A document that never had one is written as it always was.
    void pageIsWrittenBack()
    {
        const QByteArray words = "\\paperw15840\\paperh12240\\margl1134\\margr850\\margt1417\\margb567\\landscape";
        const auto document = documentOf(rtf(words));
        const QByteArray written = documents::exportDocument(*document, documents::FileFormat::Rtf);
        QVERIFY2(written.contains(words), written.constData());
        const auto again = documentOf(written);
        QCOMPARE(fields(richtext::pageSetup(*again)), fields(richtext::pageSetup(*document)));
        QVERIFY(richtext::hasPageSetup(*again));

        const QByteArray plain = documents::exportDocument(*documentOf(rtf("")), documents::FileFormat::Rtf);
        QVERIFY2(!plain.contains("\\paperw") && !plain.contains("\\marg"), plain.constData());
    }

    // The page belongs to the document read: another file read in its place
    // brings its own or none; RTF inserted into text leaves the page alone.
    void pageGoesWithTheDocument()
    {
        QTextDocument document;
        documents::readDocument(document, rtf("\\margl720"));
        QVERIFY(richtext::hasPageSetup(document));
        documents::readDocument(document, "plain text, no page");
        QVERIFY(!richtext::hasPageSetup(document));
        documents::readDocument(document, rtf("\\margl720"));
        QTextCursor end(&document);
        end.movePosition(QTextCursor::End);
        richtext::insertRtf(end, rtf("\\margl3000\\paperw9000"));
        QCOMPARE(richtext::pageSetup(document).marginLeft, 720);
        QCOMPARE(richtext::pageSetup(document).paperWidth, 12240);
        // A copy made for printing keeps it.
        const std::unique_ptr<QTextDocument> copy(document.clone());
        QCOMPARE(richtext::pageSetup(*copy).marginLeft, 720);
    }

    void pdfPageAndMargins_data()
    {
        QTest::addColumn<QByteArray>("pageWords");
        QTest::addColumn<QSizeF>("paper"); // points
        QTest::addColumn<QPointF>("firstWord"); // points from the top left
        QTest::newRow("none: Letter, RTF's margins") << QByteArray() << QSizeF(612, 792) << QPointF(90, 72);
        QTest::newRow("A4 and the document's margins")
            << QByteArray("\\paperw11906\\paperh16838\\margl2880\\margr1440\\margt2160\\margb1440")
            << QSizeF(595, 842) << QPointF(144, 108);
        QTest::newRow("landscape") << QByteArray("\\paperw12240\\paperh15840\\landscape\\margl720\\margt1080")
                                   << QSizeF(792, 612) << QPointF(36, 54);
        QTest::newRow("an odd size, the first section's margin")
            << QByteArray("\\paperw8000\\paperh9000\\margt400\\sectd\\marglsxn1000") << QSizeF(400, 450)
            << QPointF(50, 20);
    }
    void pdfPageAndMargins()
    {
        REQUIRE_POPPLER();
        QFETCH(QByteArray, pageWords);
        QFETCH(QSizeF, paper);
        QFETCH(QPointF, firstWord);
        const QByteArray pdf = pdfOf(rtf(pageWords, "Hello\\par"));
        const pdfreadback::Info info = pdfreadback::info(pdf);
        QCOMPARE(info.pages, 1);
        QVERIFY2(qAbs(info.pageSize.width() - paper.width()) <= 1 && qAbs(info.pageSize.height() - paper.height()) <= 1,
            qPrintable(QStringLiteral("%1 x %2").arg(info.pageSize.width()).arg(info.pageSize.height())));
        const auto words = pdfreadback::words(pdf);
        QCOMPARE(texts(words), QStringList { QStringLiteral("Hello") });
        const QPointF at = words.first().box.topLeft();
        QVERIFY2(qAbs(at.x() - firstWord.x()) <= 0.5 && qAbs(at.y() - firstWord.y()) <= 1.5,
            qPrintable(QStringLiteral("at %1, %2").arg(at.x()).arg(at.y())));
    }

    // Form feeds end pages; an empty document is one empty page.
    void pdfPageBreaks_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QStringList>("pages"); // each page's words, joined by spaces
        QTest::newRow("empty") << QByteArray() << QStringList { QString() };
        QTest::newRow("one page") << QByteArray("One two\\par") << QStringList { "One two" };
        QTest::newRow("a break in a paragraph")
            << QByteArray("One\\page Two\\par") << QStringList { "One", "Two" };
        QTest::newRow("breaks between paragraphs and an empty page")
            << QByteArray("One\\par\\page Two\\par\\page\\page Four\\par")
            << QStringList { "One", "Two", "", "Four" };
        // A list item's marker goes with its first line only.
        const QByteArray numbered = "{\\*\\pn\\pnlvlbody\\pndec\\pnstart7{\\pntxta .}}";
        QTest::newRow("a list item across a break")
            << numbered + "One\\page Two\\par Three\\par" << QStringList { "7. One", "Two 8. Three" };
        QTest::newRow("list items on both sides of a break")
            << numbered + "One\\page\\par Two\\par" << QStringList { "7. One", "8. Two" };
    }
    void pdfPageBreaks()
    {
        REQUIRE_POPPLER();
        QFETCH(QByteArray, body);
        QFETCH(QStringList, pages);
        const QByteArray pdf = pdfOf(rtf("", body));
        QCOMPARE(pdfreadback::info(pdf).pages, int(pages.size()));
        QStringList joined(pages.size());
        for (const auto &word : pdfreadback::words(pdf))
            joined[word.page] += (joined[word.page].isEmpty() ? u""_s : u" "_s) + word.text;
        QCOMPARE(joined, pages);
    }

    // A long text fills every page but the last down to the bottom margin,
    // between the side margins, and goes on where the page before stopped:
    // each line once, on one page, as a viewer's search and copy find it.
    void pdfLongTextFillsPages_data()
    {
        QTest::addColumn<QByteArray>("pageWords");
        QTest::addColumn<QByteArray>("paragraphWords");
        QTest::newRow("Letter") << QByteArray() << QByteArray();
        QTest::newRow("A5 landscape, wide margins")
            << QByteArray("\\paperw8391\\paperh11906\\landscape\\margl2000\\margr1500\\margt1800\\margb1200")
            << QByteArray();
        // A paragraph that goes on from the page before starts where the
        // page's first paragraph would.
        QTest::newRow("indented paragraphs with space around them")
            << QByteArray() << QByteArray("\\li1440\\ri720\\sb240\\sa120 ");
    }
    void pdfLongTextFillsPages()
    {
        REQUIRE_POPPLER();
        QFETCH(QByteArray, pageWords);
        QFETCH(QByteArray, paragraphWords);
        QStringList expected;
        const auto document = documentOf(rtf(pageWords, paragraphWords + numberedText(2400, expected)));
        const PageSetup page = richtext::pageSetup(*document);
        const QByteArray pdf = documents::exportPdf(*document);
        const int pages = pdfreadback::info(pdf).pages;
        QVERIFY2(pages >= 3, qPrintable(QString::number(pages)));

        const QRectF area = textArea(page);
        const auto words = pdfreadback::words(pdf);
        const auto inside = wordsInside(words, area);
        QCOMPARE(inside.last().text, expected.last());
        QCOMPARE(inside.last().page, pages - 1);
        const qreal lineHeight = inside.first().box.height();
        const QPointF firstWord = inside.first().box.topLeft();
        for (int p = 0; p < pages; ++p) {
            qreal lowest = 0;
            QPointF topLeft(1e9, 1e9);
            for (const auto &word : inside) {
                if (word.page == p) {
                    lowest = qMax(lowest, word.box.bottom());
                    topLeft = QPointF(qMin(topLeft.x(), word.box.left()), qMin(topLeft.y(), word.box.top()));
                }
            }
            const QString where = QStringLiteral("page %1 starts at %2, %3 and ends at %4 of %5")
                                      .arg(p + 1).arg(topLeft.x()).arg(topLeft.y()).arg(lowest).arg(area.bottom());
            QVERIFY2(qAbs(topLeft.x() - firstWord.x()) <= 0.5 && qAbs(topLeft.y() - firstWord.y()) <= 0.5,
                qPrintable(where));
            QVERIFY2(p + 1 == pages || lowest > area.bottom() - 2.5 * lineHeight, qPrintable(where));
        }
        for (const auto &word : words)
            QVERIFY2(word.box.left() >= area.left() && word.box.right() <= area.right(), qPrintable(word.text));
        QCOMPARE(texts(words), expected);
    }

    void pdfTextAndFonts()
    {
        REQUIRE_POPPLER();
        const QByteArray body = "Caf\\'e9 na\\'efve \\u8220?quoted\\u8221? \\u321?\\'f3d\\u378?\\par"
                                "\\f1 Sans \\b bold\\b0\\par\\f2 Mono \\i italic\\i0\\par";
        const QByteArray pdf = pdfOf(rtf("", body));
        const QStringList words = texts(pdfreadback::words(pdf));
        QCOMPARE(words.join(u' '),
            QStringLiteral("Caf\u00e9 na\u00efve \u201cquoted\u201d \u0141\u00f3d\u017a Sans bold Mono italic"));
        const auto fonts = pdfreadback::fonts(pdf);
        QVERIFY2(fonts.size() >= 3, qPrintable(QString::number(fonts.size()))); // serif, sans, mono at least
        for (const auto &[name, embedded] : fonts)
            QVERIFY2(embedded, qPrintable(name));
    }

    // List bullets are text on the page, be the list read from RTF or made
    // in the editor (where Qt would draw a shape).
    void pdfBulletsAreText_data()
    {
        QTest::addColumn<QByteArray>("pn"); // empty: a list made through QTextCursor
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("bullet");
        QTest::newRow("rtf, Symbol") << QByteArray("{\\*\\pn\\pnlvlblt\\pnf3{\\pntxtb\\'b7}}") << 0 << u"\u2022"_s;
        QTest::newRow("editor disc") << QByteArray() << int(QTextListFormat::ListDisc) << u"\u2022"_s;
        QTest::newRow("editor square") << QByteArray() << int(QTextListFormat::ListSquare) << u"\u25aa"_s;
    }
    void pdfBulletsAreText()
    {
        REQUIRE_POPPLER();
        QFETCH(QByteArray, pn);
        QFETCH(int, style);
        QFETCH(QString, bullet);
        const auto document = documentOf(rtf("", "{\\fonttbl{\\f3\\fcharset2 Symbol;}}" + pn + "one\\par two\\par"));
        if (pn.isEmpty())
            QTextCursor(document.get()).createList(QTextListFormat::Style(style))->add(document->lastBlock());
        QStringList words = texts(pdfreadback::words(documents::exportPdf(*document)));
        QCOMPARE(words.removeAll(bullet), 2);
        QCOMPARE(words, (QStringList { u"one"_s, u"two"_s }));
    }

    // Qt stamps the time of writing into the file and has no way to set it;
    // apart from that stamp, the same document gives the same bytes.
    void pdfSameBytesTwice()
    {
        const auto document = documentOf(rtf("\\margl720", "One\\page Two \\b bold\\b0\\par"));
        static const QRegularExpression stamp(QStringLiteral("/CreationDate \\(D:[^)]*\\)"));
        const auto unstamped = [](const QByteArray &pdf) {
            return QString::fromLatin1(pdf).replace(stamp, QStringLiteral("/CreationDate ()")).toLatin1();
        };
        const QByteArray first = documents::exportPdf(*document);
        QVERIFY(QString::fromLatin1(first).contains(stamp));
        QTest::qWait(1100); // a second later: another stamp
        QCOMPARE(unstamped(documents::exportPdf(*document)), unstamped(first));
    }

    // Documents that give a page nothing that fits, or many pages of
    // nothing, end in a bounded number of pages and a bounded time.
    void pdfAlwaysEnds_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("maxPages");
        QTest::newRow("a picture taller than the page")
            << rtf("", "Before\\par " + pngPicture(3000, 40000) + "\\par After\\par") << 4;
        QByteArray tallRow = "\\trowd\\cellx4000 ";
        for (int i = 0; i < 400; ++i)
            tallRow += "L" + QByteArray::number(i) + "\\line ";
        QTest::newRow("a table row taller than the page") << rtf("", tallRow + "\\cell\\row After\\par") << 40;
        QTest::newRow("a thousand page breaks") << rtf("", QByteArray("\\page ").repeated(1000) + "End\\par")
                                               << 1001;
    }
    void pdfAlwaysEnds()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, maxPages);
        QElapsedTimer timer;
        timer.start();
        const QByteArray pdf = pdfOf(bytes);
        QVERIFY2(timer.elapsed() < 60000, qPrintable(QString::number(timer.elapsed())));
        QVERIFY(pdf.startsWith("%PDF-"));
        if (!pdfreadback::available())
            return;
        const int pages = pdfreadback::info(pdf).pages;
        QVERIFY2(pages >= 1 && pages <= maxPages, qPrintable(QString::number(pages)));
        // Each word once: a split row shows each line of its cells on one
        // page, as a viewer's search and copy find it.
        QSet<QString> seen;
        QStringList twice;
        for (const auto &word : pdfreadback::words(pdf)) {
            if (seen.contains(word.text))
                twice << QStringLiteral("%1 (page %2)").arg(word.text).arg(word.page + 1);
            seen.insert(word.text);
        }
        QVERIFY2(twice.size() <= 1, qPrintable(twice.join(u", ")));
        QVERIFY2(twice.isEmpty(), qPrintable(twice.join(u", ")));
    }

    // Files from other word processors: each gives a PDF whose fonts are
    // all embedded, so it shows the same on any machine.
    void corpusFilesGivePdfs_data() { testsupport::addCorpusRows(); }
    void corpusFilesGivePdfs()
    {
        QFETCH(QString, path);
        if (path.isEmpty())
            QSKIP("the RTF corpus is not there");
        REQUIRE_POPPLER();
        const QByteArray pdf = pdfOf(testsupport::readFile(path));
        QVERIFY(pdfreadback::info(pdf).pages >= 1);
        for (const auto &[name, embedded] : pdfreadback::fonts(pdf))
            QVERIFY2(embedded, qPrintable(name));
    }
};

QTEST_MAIN(TestPdfExport)
#include "tst_pdfexport.moc"
