// Page rendering: pages that cover every character once, form feeds that
// start a new page, long paragraphs and tall table rows split between lines,
// on an image and on a PDF writer.

#include "documentbuilding.h"
#include "formatrange.h"
#include "pagerenderer.h"

#include <QPainter>
#include <QPdfWriter>
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

Pages paginate(QPainter *painter, const QTextDocument &doc, const QRectF &rect, bool render = true)
{
    PageRenderer renderer(doc);
    Pages pages;
    int next = 0;
    const int count = doc.characterCount();
    do {
        pages.starts << next;
        const int result = renderer.formatRange(painter, rect, next, render);
        pages.ranges << renderer.lastRanges();
        if (result <= next)
            break; // no progress: the caller's loop would stop here too
        next = result;
    } while (next < count && pages.starts.size() < 10000);
    return pages;
}

// Every character of the document is in exactly one page's lines.
bool coversOnce(const QTextDocument &doc, const Pages &pages, QString *why)
{
    QList<int> seen(doc.characterCount(), 0);
    for (const auto &page : pages.ranges)
        for (const auto &range : page)
            for (int i = range.first; i < range.second && i < seen.size(); ++i)
                ++seen[i];
    for (int i = 0; i < seen.size(); ++i) {
        if (seen[i] != 1) {
            *why = QStringLiteral("character %1 rendered %2 times").arg(i).arg(seen[i]);
            return false;
        }
    }
    return true;
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

} // namespace

class TestFormatRange : public QObject
{
    Q_OBJECT

private slots:
    void emptyDocument();
    void pagesCoverEveryCharacterOnce_data();
    void pagesCoverEveryCharacterOnce();
    void drawing();
    void formFeedStartsANewPage();
    void formFeedAtParagraphEnd();
    void longParagraphSplitsBetweenLines();
    void rowsMoveWholeToTheNextPage();
    void tallRowSplits();
    void pictureTallerThanThePage();
    void pdfPages();
    void followsDocumentChanges();
};

void TestFormatRange::emptyDocument()
{
    QTextDocument doc;
    QImage image(800, 600, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QCOMPARE(formatRange(&painter, doc, smallTwips, 0), doc.characterCount());
    QCOMPARE(formatRange(&painter, doc, smallTwips, 5), doc.characterCount());
}

void TestFormatRange::pagesCoverEveryCharacterOnce_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("paragraphs") << 0;
    QTest::newRow("tables and lists") << 1;
    QTest::newRow("form feeds") << 2;
}

void TestFormatRange::pagesCoverEveryCharacterOnce()
{
    QFETCH(int, kind);
    QTextDocument doc;
    setUp(doc);
    QTextCursor cursor(&doc);
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
        cursor.insertText(QStringLiteral("\f"));
        cursor.insertText(paragraphs(3, 5));
        cursor.insertText(QStringLiteral("x\fy\f\f"));
        cursor.insertBlock();
        cursor.insertText(paragraphs(3, 5));
    }
    QImage image(1200, 1000, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    const Pages pages = paginate(&painter, doc, smallTwips);
    QString why;
    QVERIFY2(coversOnce(doc, pages, &why), qPrintable(why));
    QVERIFY(pages.starts.size() > 3);
    for (int i = 1; i < pages.starts.size(); ++i)
        QVERIFY(pages.starts[i] > pages.starts[i - 1]);
}

void TestFormatRange::drawing()
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

void TestFormatRange::formFeedStartsANewPage()
{
    QTextDocument doc;
    setUp(doc);
    QTextCursor cursor(&doc);
    cursor.insertText(QStringLiteral("one\ftwo"));
    cursor.insertBlock();
    cursor.insertText(QStringLiteral("three"));
    QImage image(800, 600, QImage::Format_RGB32);
    QPainter painter(&image);
    const Pages pages = paginate(&painter, doc, pageTwips);
    QCOMPARE(pages.starts, QList<int>({0, 4}));
    QCOMPARE(pageOf(pages, 0), 0);
    QCOMPARE(pageOf(pages, 3), 0); // the form feed itself ends the first page
    QCOMPARE(pageOf(pages, 4), 1);
    QCOMPARE(pageOf(pages, 8), 1);
    QString why;
    QVERIFY2(coversOnce(doc, pages, &why), qPrintable(why));
}

void TestFormatRange::formFeedAtParagraphEnd()
{
    // A break at the end of a paragraph: the next page starts with the next
    // paragraph, not with an empty line.
    QTextDocument doc;
    setUp(doc);
    QTextCursor cursor(&doc);
    cursor.insertText(QStringLiteral("one\f"));
    cursor.insertBlock();
    cursor.insertText(QStringLiteral("two\f"));
    QImage image(800, 600, QImage::Format_RGB32);
    QPainter painter(&image);
    const Pages pages = paginate(&painter, doc, pageTwips);
    QCOMPARE(pages.starts, QList<int>({0, 5}));
    QCOMPARE(pages.ranges.value(1).value(0).first, 5);
}

void TestFormatRange::longParagraphSplitsBetweenLines()
{
    QTextDocument doc;
    setUp(doc);
    QTextCursor(&doc).insertText(paragraphs(1, 3000));
    QImage image(800, 600, QImage::Format_RGB32);
    QPainter painter(&image);
    const Pages pages = paginate(&painter, doc, smallTwips);
    QVERIFY(pages.starts.size() > 5);
    // Pages start where lines start: never inside a word.
    const QString text = doc.toPlainText();
    for (int i = 1; i < pages.starts.size(); ++i) {
        const int start = pages.starts[i];
        QVERIFY2(text.at(start - 1) == QLatin1Char(' '), qPrintable(text.mid(start - 10, 20)));
    }
    QString why;
    QVERIFY2(coversOnce(doc, pages, &why), qPrintable(why));
}

void TestFormatRange::rowsMoveWholeToTheNextPage()
{
    QTextDocument doc;
    setUp(doc);
    QTextCursor cursor(&doc);
    QTextTable *table = cursor.insertTable(20, 2);
    for (int r = 0; r < 20; ++r) {
        table->cellAt(r, 0).firstCursorPosition().insertText(QStringLiteral("row %1").arg(r));
        table->cellAt(r, 1).firstCursorPosition().insertText(paragraphs(1, r % 3 * 8));
    }
    QImage image(800, 600, QImage::Format_RGB32);
    QPainter painter(&image);
    const Pages pages = paginate(&painter, doc, smallTwips);
    QVERIFY(pages.starts.size() > 2);
    for (int r = 0; r < 20; ++r) {
        const int a = pageOf(pages, table->cellAt(r, 0).firstPosition());
        const int b = pageOf(pages, table->cellAt(r, 1).lastPosition() - 1);
        QCOMPARE(a, b);
    }
    QString why;
    QVERIFY2(coversOnce(doc, pages, &why), qPrintable(why));
}

void TestFormatRange::tallRowSplits()
{
    QTextDocument doc;
    setUp(doc);
    QTextCursor cursor(&doc);
    cursor.insertText(QStringLiteral("before"));
    QTextTable *table = cursor.insertTable(2, 2);
    table->cellAt(0, 0).firstCursorPosition().insertText(QStringLiteral("short"));
    table->cellAt(0, 1).firstCursorPosition().insertText(paragraphs(8, 40));
    table->cellAt(1, 0).firstCursorPosition().insertText(QStringLiteral("next row"));
    QImage image(800, 600, QImage::Format_RGB32);
    QPainter painter(&image);
    const Pages pages = paginate(&painter, doc, smallTwips);
    // The row is taller than a page: it starts on a page of its own (the
    // "before" line stays alone) and goes on over several pages.
    QCOMPARE(pageOf(pages, 0), 0);
    QCOMPARE(pageOf(pages, table->cellAt(0, 0).firstPosition()), 1);
    QVERIFY(pageOf(pages, table->cellAt(0, 1).lastPosition() - 1) > 2);
    QString why;
    QVERIFY2(coversOnce(doc, pages, &why), qPrintable(why));
    for (int i = 1; i < pages.starts.size(); ++i)
        QVERIFY(pages.starts[i] > pages.starts[i - 1]);
}

void TestFormatRange::pictureTallerThanThePage()
{
    // Something that can never fit still moves the page on.
    QTextDocument doc;
    setUp(doc);
    QTextCursor cursor(&doc);
    cursor.insertText(QStringLiteral("above"));
    cursor.insertBlock();
    insertImage(doc, cursor, QStringLiteral("tall"), testImage(50, 2000));
    cursor.insertBlock();
    cursor.insertText(QStringLiteral("below"));
    QImage image(800, 600, QImage::Format_RGB32);
    QPainter painter(&image);
    const Pages pages = paginate(&painter, doc, smallTwips);
    QCOMPARE(pages.starts.size(), 3);
    QString why;
    QVERIFY2(coversOnce(doc, pages, &why), qPrintable(why));
}

void TestFormatRange::pdfPages()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("out.pdf"));
    QTextDocument doc;
    setUp(doc);
    QTextCursor cursor(&doc);
    cursor.insertText(paragraphs(60, 40));
    cursor.insertText(QStringLiteral("\f"));
    cursor.insertText(QStringLiteral("after the break"));
    QTextTable *table = cursor.insertTable(3, 2);
    table->cellAt(2, 1).firstCursorPosition().insertText(QStringLiteral("cell"));

    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(600);
    QPainter painter(&writer);
    PageRenderer renderer(doc);
    Pages pages;
    int next = 0;
    while (next < doc.characterCount() && pages.starts.size() < 100) {
        if (!pages.starts.isEmpty())
            writer.newPage();
        pages.starts << next;
        const int result = renderer.formatRange(&painter, pageTwips, next);
        pages.ranges << renderer.lastRanges();
        QVERIFY(result > next);
        next = result;
    }
    painter.end();
    QString why;
    QVERIFY2(coversOnce(doc, pages, &why), qPrintable(why));
    QVERIFY(pages.starts.size() >= 3);
    // The text after the form feed starts a page.
    const int after = doc.toPlainText().indexOf(QStringLiteral("after the break"));
    QVERIFY(pages.starts.contains(after));
    QVERIFY(QFileInfo(path).size() > 1000);

    // The same pages at screen resolution break elsewhere (fonts scale, but
    // not exactly), yet cover the document just as well.
    QImage image(800, 600, QImage::Format_RGB32);
    QPainter screen(&image);
    const Pages screenPages = paginate(&screen, doc, pageTwips);
    QVERIFY2(coversOnce(doc, screenPages, &why), qPrintable(why));
    QVERIFY(qAbs(screenPages.starts.size() - pages.starts.size()) <= 1);
}

void TestFormatRange::followsDocumentChanges()
{
    QTextDocument doc;
    setUp(doc);
    QTextCursor cursor(&doc);
    cursor.insertText(QStringLiteral("short"));
    PageRenderer renderer(doc);
    QCOMPARE(renderer.formatRange(nullptr, smallTwips, 0, false), doc.characterCount());
    cursor.insertText(paragraphs(40, 30));
    QVERIFY(renderer.formatRange(nullptr, smallTwips, 0, false) < doc.characterCount());
}

QTEST_MAIN(TestFormatRange)
#include "tst_formatrange.moc"
