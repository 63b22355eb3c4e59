// Page rendering: pages that cover every character once, form feeds and
// paragraphs that start a new page, long paragraphs and tall table rows
// split between lines, list markers, on an image and on a PDF writer.

#include "richtexttesting.h"
#include "richtext/formatrange.h"
#include "richtext/pagerenderer.h"

#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace richtext;
using namespace testdocs;

namespace {

// A4 text area of 170 x 247 mm in twips, and a smaller one for quick pages.
const QRectF pageTwips(0, 0, 9638, 14003);
const QRectF smallTwips(720, 720, 4320, 2880);

struct Pages
{
    QList<int> starts;                      // first character of each page
    QList<QList<std::pair<int, int>>> ranges; // the lines each page rendered
};

// Renders page after page, as a print loop does; on a paged device each
// page after the first starts with a new page.
Pages paginate(QPainter *painter, const QTextDocument &doc, const QRectF &rect,
               QPagedPaintDevice *device = nullptr, int window = PageRenderer::DefaultWindow)
{
    PageRenderer renderer(doc);
    renderer.setWindow(window);
    Pages pages;
    int next = 0;
    const int count = doc.characterCount();
    do {
        if (device && !pages.starts.isEmpty())
            device->newPage();
        pages.starts << next;
        const int result = renderer.formatRange(painter, rect, next);
        pages.ranges << renderer.lastRanges();
        if (result <= next)
            break; // no progress: the caller's loop would stop here too
        next = result;
    } while (next < count && pages.starts.size() < 10000);
    return pages;
}

// Every character of the document is in exactly one page's lines; a
// failure is recorded against the calling test.
bool coversOnce(const QTextDocument &doc, const Pages &pages)
{
    QList<int> seen(doc.characterCount(), 0);
    for (const auto &page : pages.ranges)
        for (const auto &range : page)
            for (int i = range.first; i < range.second && i < seen.size(); ++i)
                ++seen[i];
    const qsizetype bad = std::find_if(seen.cbegin(), seen.cend(), [](int n) { return n != 1; }) - seen.cbegin();
    const QString problem = QStringLiteral("character %1 rendered %2 times").arg(bad).arg(seen.value(bad));
    return bad == seen.size() || QTest::qVerify(false, "coversOnce", qPrintable(problem), __FILE__, __LINE__);
}

// Pages of `doc` on an 800 x 600 image; their starts rise, and they cover
// every character once.
Pages imagePages(const QTextDocument &doc, const QRectF &rect)
{
    QImage image(800, 600, QImage::Format_RGB32);
    QPainter painter(&image);
    const Pages pages = paginate(&painter, doc, rect);
    coversOnce(doc, pages);
    for (int i = 1; i < pages.starts.size(); ++i)
        QTest::qVerify(pages.starts[i] > pages.starts[i - 1], "rising starts", "", __FILE__, __LINE__);
    return pages;
}

int pageOf(const Pages &pages, int position)
{
    for (int p = 0; p < pages.ranges.size(); ++p)
        for (const auto &range : pages.ranges[p])
            if (range.first <= position && position < range.second)
                return p;
    return -1;
}

QString paragraphs(int n, int words)
{
    QStringList list;
    for (int i = 0; i < n; ++i) {
        QString text = QStringLiteral("Paragraph %1:").arg(i);
        for (int w = 0; w < words; ++w)
            text += QStringLiteral(" word%1").arg(w);
        list << text;
    }
    return list.join(QLatin1Char('\n'));
}

bool hasInk(const QImage &image, const QRect &area)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                return true;
    return false;
}

// A long document of what decides where pages break and what they show:
// RTF lists that go on over many pages (one numbered from 7, whose markers
// we draw, one of bullets), a list Qt numbers itself, long paragraphs, a
// paragraph with a page break before it, form feeds inside and at the end
// of paragraphs, a table of many rows with a vertical merge and a row taller
// than a page, paragraphs right after tables, indents and a picture.
std::unique_ptr<QTextDocument> variedDocument()
{
    QByteArray body = "\\pard\\fi360 " + paragraphs(1, 120).toLatin1() + "\\par\r\n";
    for (int i = 0; i < 30; ++i)
        body += "{\\pntext " + QByteArray::number(7 + i) + ".\\tab}{\\*\\pn\\pnlvlbody\\pndec\\pnstart7{\\pntxta .}}"
                "\\fi-360\\li720 Clause " + QByteArray::number(i) + ": the parties agree to the terms set out above.\\par\r\n";
    body += "\\pard\\pagebb A page of its own.\\par\\pard Before a form feed\\page after it.\\par\r\n";
    for (int r = 0; r < 40; ++r) {
        body += "\\trowd\\trgaph108\\trbrdrt\\brdrs\\trbrdrb\\brdrs";
        body += r % 7 == 3 ? "\\clvmgf" : r % 7 == 4 ? "\\clvmrg" : "";
        body += "\\cellx1500\\cellx4000\\pard\\intbl Row " + QByteArray::number(r) + "\\cell ";
        body += r == 20 ? paragraphs(12, 20).toLatin1().replace("\n", "\\par ")
                        : paragraphs(1, r % 5 * 6).toLatin1();
        body += "\\cell\\row\r\n";
    }
    body += "\\pard\\pagebb\\li1440\\qc After the table, on a page of its own, indented and centred: "
            + paragraphs(1, 30).toLatin1() + "\\par\\pard A form feed at the end\\page\\par\r\n";
    for (int i = 0; i < 25; ++i)
        body += "{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent360{\\pntxtb\\'B7}}"
                "\\fi-360\\li720 Bullet " + QByteArray::number(i) + " of a list that goes on.\\par\r\n";
    auto doc = load(rtf(body.constData()));
    setUp(*doc);

    QTextCursor cursor(doc.get());
    cursor.movePosition(QTextCursor::End);
    cursor.insertBlock(QTextBlockFormat());
    cursor.createList(QTextListFormat::ListDecimal);
    for (int i = 0; i < 45; ++i) {
        if (i > 0)
            cursor.insertBlock();
        cursor.insertText(QStringLiteral("Item %1 that Qt numbers").arg(i));
    }
    cursor.insertBlock(QTextBlockFormat());
    QTextTable *table = cursor.insertTable(12, 2);
    for (int r = 0; r < 12; ++r)
        table->cellAt(r, 1).firstCursorPosition().insertText(paragraphs(1, r * 3));
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QStringLiteral("Right after the second table."));
    cursor.insertBlock();
    insertImage(*doc, cursor, QStringLiteral("picture"), testImage(120, 60));
    cursor.insertText(QStringLiteral(" "));
    cursor.insertText(paragraphs(10, 25));
    return doc;
}

// Pixels of testImage(): no grey like text has.
bool hasPicture(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qBlue(image.pixel(x, y)) == 128 && qRed(image.pixel(x, y)) != qGreen(image.pixel(x, y)))
                return true;
    return false;
}

} // namespace

// A fresh document in 10 pt Arial, and a cursor in it.
#define NEW_DOCUMENT QTextDocument doc; setUp(doc); QTextCursor cursor(&doc)

class TestFormatRange : public QObject
{
    Q_OBJECT

private slots:
    void pagesCoverEveryCharacterOnce_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("paragraphs") << 0;
        QTest::newRow("tables and lists") << 1;
        QTest::newRow("form feeds") << 2;
    }
    void pagesCoverEveryCharacterOnce()
    {
        QFETCH(int, kind);
        NEW_DOCUMENT;
        cursor.insertText(paragraphs(30, 25));
        if (kind == 1) {
            cursor.insertBlock();
            cursor.createList(QTextListFormat::ListDisc);
            cursor.insertText(paragraphs(5, 10));
            cursor.insertBlock(QTextBlockFormat());
            QTextTable *table = cursor.insertTable(12, 3);
            for (int r = 0; r < 12; ++r)
                for (int c = 0; c < 3; ++c)
                    table->cellAt(r, c).firstCursorPosition().insertText(paragraphs(1, r % 4 * 6));
            table->mergeCells(3, 0, 3, 1);
            cursor.movePosition(QTextCursor::End);
            cursor.insertText(paragraphs(10, 20));
        } else if (kind == 2) {
            cursor.insertText(QStringLiteral("\f") + paragraphs(3, 5) + QStringLiteral("x\fy\f\f\n"));
            cursor.insertText(paragraphs(3, 5));
        }
        QVERIFY(imagePages(doc, smallTwips).starts.size() > 3);
    }

    void drawing()
    {
        QTextDocument doc;
        setUp(doc);
        QTextCursor(&doc).insertText(paragraphs(40, 30));
        QImage image(1000, 1000, QImage::Format_RGB32);
        image.fill(Qt::white);
        PageRenderer renderer(doc);
        {
            // Measuring draws nothing and finds the same end as rendering.
            QPainter painter(&image);
            const int measured = renderer.formatRange(&painter, smallTwips, 0, false);
            painter.end();
            QVERIFY(!hasInk(image, image.rect()));
            QPainter again(&image);
            QCOMPARE(renderer.formatRange(&again, smallTwips, 0), measured);
            QCOMPARE(formatRange(nullptr, doc, smallTwips, 0, false), measured);
        }
        // At 96 dpi 720 twips are 48 px: ink inside the rectangle only.
        const QRect inside(48, 48, 288, 192);
        QVERIFY(hasInk(image, inside));
        QVERIFY(!hasInk(image, QRect(0, 0, 1000, 47)));
        QVERIFY(!hasInk(image, QRect(0, inside.bottom() + 2, 1000, 1000 - inside.bottom() - 2)));
        QVERIFY(!hasInk(image, QRect(inside.right() + 2, 0, 1000 - inside.right() - 2, 1000)));

        // The second page's first line is at the top of the rectangle, whatever
        // lay above it in the document.
        image.fill(Qt::white);
        QPainter painter(&image);
        renderer.formatRange(&painter, smallTwips, renderer.formatRange(nullptr, smallTwips, 0, false));
        painter.end();
        QVERIFY(hasInk(image, QRect(48, 48, 288, 14)));
    }

    // A form feed ends its page; one at a paragraph's end does not leave an
    // empty line at the top of the next page.
    void formFeedStartsANewPage_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("starts");
        QTest::newRow("inside a paragraph") << QStringLiteral("one\ftwo\nthree") << QList<int>{0, 4};
        QTest::newRow("at a paragraph end") << QStringLiteral("one\f\ntwo\f") << QList<int>{0, 5};
        QTest::newRow("at a paragraph start") << QStringLiteral("one\n\ftwo") << QList<int>{0, 5};
    }
    void formFeedStartsANewPage()
    {
        QFETCH(QString, text);
        QFETCH(QList<int>, starts);
        NEW_DOCUMENT;
        cursor.insertText(text);
        const Pages pages = imagePages(doc, pageTwips);
        QCOMPARE(pages.starts, starts);
        for (int p = 0; p < starts.size(); ++p)
            QCOMPARE(pages.ranges.value(p).value(0).first, starts[p]);
    }

    void longParagraphSplitsBetweenLines()
    {
        NEW_DOCUMENT;
        cursor.insertText(paragraphs(1, 3000));
        const Pages pages = imagePages(doc, smallTwips);
        QVERIFY(pages.starts.size() > 5);
        // Pages start where lines start: never inside a word.
        const QString text = doc.toPlainText();
        for (int i = 1; i < pages.starts.size(); ++i) {
            const int start = pages.starts[i];
            QVERIFY2(text.at(start - 1) == QLatin1Char(' '), qPrintable(text.mid(start - 10, 20)));
        }
    }

    // A paragraph that goes on from the page before keeps its background
    // and its indent there, and only its own lines of that page show.
    void continuedParagraph()
    {
        NEW_DOCUMENT;
        QTextBlockFormat format;
        const QColor background(200, 230, 255);
        format.setBackground(background);
        format.setLeftMargin(40);
        cursor.setBlockFormat(format);
        cursor.insertText(paragraphs(1, 600));
        PageRenderer renderer(doc);
        const int second = renderer.formatRange(nullptr, smallTwips, 0, false);
        QImage image(1000, 1000, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        QVERIFY(renderer.formatRange(&painter, smallTwips, second) > second);
        painter.end();
        // The rectangle is 48..336 x 48..240; the text starts 40 px in.
        const QRect inside(48, 48, 288, 192);
        int shaded = 0;
        for (int y = inside.top(); y <= inside.bottom(); ++y)
            for (int x = inside.left(); x <= inside.right(); ++x)
                shaded += image.pixelColor(x, y) == background;
        QVERIFY2(shaded > inside.width() * inside.height() / 4, qPrintable(QString::number(shaded)));
        QVERIFY(!hasInk(image, QRect(48, 48, 38, 192)));
        QVERIFY(hasInk(image, QRect(88, 48, 248, 14)));
    }

    void rowsMoveWholeToTheNextPage()
    {
        NEW_DOCUMENT;
        QTextTable *table = cursor.insertTable(20, 2);
        for (int r = 0; r < 20; ++r) {
            table->cellAt(r, 0).firstCursorPosition().insertText(QStringLiteral("row %1").arg(r));
            table->cellAt(r, 1).firstCursorPosition().insertText(paragraphs(1, r % 3 * 8));
        }
        const Pages pages = imagePages(doc, smallTwips);
        QVERIFY(pages.starts.size() > 2);
        for (int r = 0; r < 20; ++r)
            QCOMPARE(pageOf(pages, table->cellAt(r, 0).firstPosition()),
                     pageOf(pages, table->cellAt(r, 1).lastPosition() - 1));
    }

    void tooTallForAPage()
    {
        NEW_DOCUMENT;
        cursor.insertText(QStringLiteral("before"));
        QTextTable *table = cursor.insertTable(2, 2);
        table->cellAt(0, 0).firstCursorPosition().insertText(QStringLiteral("short"));
        table->cellAt(0, 1).firstCursorPosition().insertText(paragraphs(8, 40));
        table->cellAt(1, 0).firstCursorPosition().insertText(QStringLiteral("next row"));
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(QStringLiteral("above\n"));
        const int picture = cursor.position();
        insertImage(doc, cursor, QStringLiteral("tall"), testImage(50, 2000));
        cursor.insertText(QStringLiteral("\nbelow"));
        const Pages pages = imagePages(doc, smallTwips);
        // A row taller than a page starts on a page of its own (the "before"
        // line stays alone) and goes on over several pages.
        QCOMPARE(pageOf(pages, 0), 0);
        QCOMPARE(pageOf(pages, table->cellAt(0, 0).firstPosition()), 1);
        QVERIFY(pageOf(pages, table->cellAt(0, 1).lastPosition() - 1) > 2);
        // A picture that can never fit still moves the page on.
        QCOMPARE(pageOf(pages, picture), pageOf(pages, picture - 1) + 1);
        QCOMPARE(pageOf(pages, doc.characterCount() - 2), pageOf(pages, picture) + 1);
    }

    void pdfPages()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("out.pdf"));
        NEW_DOCUMENT;
        cursor.insertText(paragraphs(60, 40) + QStringLiteral("\fafter the break"));
        QTextTable *table = cursor.insertTable(3, 2);
        table->cellAt(2, 1).firstCursorPosition().insertText(QStringLiteral("cell"));

        QPdfWriter writer(path);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setResolution(600);
        QPainter painter(&writer);
        const Pages pages = paginate(&painter, doc, pageTwips, &writer);
        painter.end();
        QVERIFY(coversOnce(doc, pages));
        QVERIFY(pages.starts.size() >= 3);
        // The text after the form feed starts a page.
        const int after = doc.toPlainText().indexOf(QStringLiteral("after the break"));
        QVERIFY(pages.starts.contains(after));
        QVERIFY(QFileInfo(path).size() > 1000);

        // The same pages at screen resolution break elsewhere (fonts scale, but
        // not exactly), yet cover the document just as well.
        const Pages screenPages = imagePages(doc, pageTwips);
        QVERIFY(qAbs(screenPages.starts.size() - pages.starts.size()) <= 1);
    }

    // A paragraph (or a table) that asks for a page break before it starts a
    // page, unless it is the first on one; it keeps asking after our writer
    // has written it and it is read again.
    void pageBreakBefore_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QStringList>("firstWords");
        QTest::newRow("paragraphs") << QByteArray("one\\par\\pard\\pagebb two\\par three\\par\\pard four\\par")
                                    << QStringList{"one", "two", "three"};
        QTest::newRow("first paragraph") << QByteArray("\\pagebb one\\par\\pard two\\par")
                                         << QStringList{"one"};
        QTest::newRow("table") << QByteArray("one\\par\\trowd\\cellx2000\\pard\\intbl\\pagebb cell\\cell\\row"
                                             "\\pard after\\par")
                               << QStringList{"one", "cell"};
    }
    void pageBreakBefore()
    {
        QFETCH(QByteArray, body);
        QFETCH(QStringList, firstWords);
        const auto doc = load(rtf(body.constData()));
        const auto again = reread(*doc);
        for (const QTextDocument *d : {doc.get(), again.get()}) {
            const Pages pages = imagePages(*d, pageTwips);
            QStringList words;
            for (int start : pages.starts)
                words << d->toPlainText().mid(start).section(QRegularExpression(QStringLiteral("\\W")), 0, 0,
                                                             QString::SectionSkipEmpty);
            QCOMPARE(words, firstWords);
        }
    }

    // The marker of a list item that hangs stands where the hanging first
    // line starts, as word processors print it, and Qt's own marker (which
    // would say "1." right before the text) is not drawn.
    void listMarkerInTheHangingIndent()
    {
        const auto doc = load(rtf("\\pard\\li1440\\fi-1440{\\*\\pn\\pnlvlbody\\pndec\\pnstart7"
                                  "{\\pntxta .}}item\\par"));
        QImage image(800, 600, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        PageRenderer(*doc).formatRange(&painter, smallTwips, 0);
        painter.end();
        // The page starts at 48 px; the text one inch (96 px) further in.
        QVERIFY(hasInk(image, QRect(48, 48, 20, 20)));
        QVERIFY(!hasInk(image, QRect(72, 48, 70, 20)));
        QVERIFY(hasInk(image, QRect(144, 48, 30, 20)));
    }

    // Indents keep their size on a device of higher resolution (Qt scales
    // every other length of a block itself, but not these).
    void indentsOnAPrinter_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("left indent") << QByteArray("\\li1440 Indented\\par");
        QTest::newRow("first line") << QByteArray("\\fi1440 Indented\\par");
        QTest::newRow("right indent") << QByteArray("\\qr\\ri1440 Indented\\par");
    }
    void indentsOnAPrinter()
    {
        QFETCH(QByteArray, body);
        const auto doc = load(rtf(body.constData()));
        QImage image(2400, 1200, QImage::Format_RGB32);
        image.setDotsPerMeterX(qRound(600 / 0.0254));
        image.setDotsPerMeterY(qRound(600 / 0.0254));
        image.fill(Qt::white);
        QPainter painter(&image);
        // Three inches wide at 600 dpi, from x = 300: an inch of indent is 600 px.
        PageRenderer(*doc).formatRange(&painter, QRectF(720, 720, 4320, 2880), 0);
        painter.end();
        const bool right = body.contains("\\ri");
        const QRect indent = right ? QRect(1500, 300, 600, 150) : QRect(300, 300, 590, 150);
        QVERIFY(!hasInk(image, indent));
        QVERIFY(hasInk(image, right ? QRect(1200, 300, 300, 150) : QRect(900, 300, 300, 150)));
    }

    // Pages are cut from copies of a run of the document at a time; they
    // break where pages of the whole document laid out at once break, and
    // look the same, however short the runs are (a run of one character
    // holds one paragraph or table).
    void runsBreakAsTheWholeDocument_data()
    {
        QTest::addColumn<int>("window");
        QTest::addColumn<int>("dpi");
        QTest::newRow("one paragraph or table a run") << 1 << 96;
        QTest::newRow("short runs") << 400 << 96;
        QTest::newRow("default runs") << int(PageRenderer::DefaultWindow) << 96;
        QTest::newRow("short runs on a printer") << 400 << 600;
    }
    void runsBreakAsTheWholeDocument()
    {
        QFETCH(int, window);
        QFETCH(int, dpi);
        const auto doc = variedDocument();
        const int picture = doc->toPlainText().indexOf(QChar::ObjectReplacementCharacter);
        QImage image(dpi * 5, dpi * 4, QImage::Format_RGB32);
        image.setDotsPerMeterX(qRound(dpi / 0.0254));
        image.setDotsPerMeterY(qRound(dpi / 0.0254));
        QPainter painter(&image);
        const Pages whole = paginate(&painter, *doc, smallTwips, nullptr, doc->characterCount());
        const Pages runs = paginate(&painter, *doc, smallTwips, nullptr, window);
        painter.end();
        QVERIFY(whole.starts.size() > 30);
        QVERIFY(coversOnce(*doc, runs));
        QCOMPARE(runs.starts, whole.starts);
        for (int p = 0; p < whole.ranges.size(); ++p)
            QVERIFY2(runs.ranges[p] == whole.ranges[p], qPrintable(QStringLiteral("page %1").arg(p)));

        if (dpi != 96)
            return;
        // Page by page, last first, so that each page is cut from a run
        // that starts with it (as when a preview goes back), beside the
        // whole document laid out from its start.
        QImage expected(image.size(), QImage::Format_RGB32);
        QImage actual(image.size(), QImage::Format_RGB32);
        PageRenderer wholeRenderer(*doc);
        wholeRenderer.setWindow(doc->characterCount());
        PageRenderer runRenderer(*doc);
        runRenderer.setWindow(window);
        QPainter first(&expected);
        wholeRenderer.formatRange(&first, smallTwips, 0, false);
        first.end();
        for (int p = whole.starts.size() - 1; p >= 0; --p) {
            expected.fill(Qt::white);
            actual.fill(Qt::white);
            QPainter e(&expected);
            QPainter a(&actual);
            QCOMPARE(runRenderer.formatRange(&a, smallTwips, whole.starts[p]),
                     wholeRenderer.formatRange(&e, smallTwips, whole.starts[p]));
            e.end();
            a.end();
            QVERIFY2(actual == expected, qPrintable(QStringLiteral("page %1").arg(p)));
            // A copy shows the document's pictures.
            if (pageOf(whole, picture) == p)
                QVERIFY(hasPicture(actual));
        }
    }

    // Qt lays a table out wrongly where it crosses the layout's own page
    // height (8388607 device pixels): rows move down, the page before
    // ends early. A document laid out taller than that (large type printed
    // at a high resolution) is cut into pages a run at a time, each run far
    // shorter, so its pages break as pages cut from the shortest runs do.
    void tallDocument()
    {
        NEW_DOCUMENT;
        setUp(doc, QStringLiteral("Arial"), 72);
        for (int t = 0; t < 12; ++t) {
            cursor.insertText(paragraphs(40, 3));
            QTextTable *table = cursor.insertTable(6, 3);
            for (int r = 0; r < 6; ++r)
                table->cellAt(r, r % 3).firstCursorPosition().insertText(paragraphs(1, r));
            cursor.movePosition(QTextCursor::End);
        }
        QImage image(10, 10, QImage::Format_RGB32);
        image.setDotsPerMeterX(qRound(9600 / 0.0254));
        image.setDotsPerMeterY(qRound(9600 / 0.0254));
        QPainter painter(&image);
        auto starts = [&](int window) {
            PageRenderer renderer(doc);
            renderer.setWindow(window);
            QList<int> starts;
            for (int first = 0; first < doc.characterCount() && starts.size() < 1000;) {
                starts << first;
                first = renderer.formatRange(&painter, pageTwips, first, false);
            }
            return starts;
        };
        const QList<int> shortest = starts(1);
        // 14003 twips are 93353 pixels at 9600 dpi: 90 pages pass Qt's height.
        QVERIFY(shortest.size() > 100);
        QCOMPARE(starts(PageRenderer::DefaultWindow), shortest);
        QCOMPARE(starts(doc.characterCount()), shortest);
    }

    void emptyAndChangingDocuments()
    {
        NEW_DOCUMENT;
        QImage image(800, 600, QImage::Format_RGB32);
        QPainter painter(&image);
        QCOMPARE(formatRange(&painter, doc, smallTwips, 0), doc.characterCount());
        QCOMPARE(formatRange(&painter, doc, smallTwips, 5), doc.characterCount());
        // A renderer follows changes to its document.
        cursor.insertText(QStringLiteral("short"));
        PageRenderer renderer(doc);
        QCOMPARE(renderer.formatRange(nullptr, smallTwips, 0, false), doc.characterCount());
        cursor.insertText(paragraphs(40, 30));
        QVERIFY(renderer.formatRange(nullptr, smallTwips, 0, false) < doc.characterCount());
    }
};

QTEST_MAIN(TestFormatRange)
#include "tst_formatrange.moc"
