// Paragraph borders, shading and tab leaders: read from RTF, written back
// unchanged, and painted where a word processor shows them.

#include "richtexttesting.h"
#include "richtext/paragraphdecor.h"
#include "richtext/textproperties.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTest>

using namespace richtext;
using namespace testdocs;
using namespace Qt::StringLiterals;

namespace {

QString describe(const ParagraphDecor &d)
{
    static const char *const sides[] = {"top", "left", "bottom", "right"};
    static const char *const styles[] = {"none", "single", "thick", "double", "dotted", "dashed"};
    QStringList out;
    for (int s = 0; s < 4; ++s) {
        const ParagraphBorder &b = d.sides[s];
        if (b.style == BorderStyle::None)
            continue;
        out << QStringLiteral("%1 %2 %3 %4 %5")
                   .arg(sides[s], styles[int(b.style)])
                   .arg(b.width)
                   .arg(b.space)
                   .arg(b.color.isValid() ? b.color.name() : QStringLiteral("auto"));
    }
    if (d.hasShading())
        out << QStringLiteral("shade %1").arg(d.shadingColor().name());
    return out.join(u"; ");
}

QString leaders(const QTextBlockFormat &format)
{
    QStringList out;
    const QList<QTextOption::Tab> tabs = format.tabPositions();
    const QList<TabLeader> kinds = tabLeaders(format);
    for (qsizetype i = 0; i < tabs.size(); ++i)
        out << QStringLiteral("%1:%2").arg(qRound(tabs[i].position * 15)).arg(int(kinds.value(i)));
    return out.join(u' ');
}

// The document drawn as the page renderer draws it: Qt's paint, then ours.
QImage paint(QTextDocument &doc)
{
    doc.setTextWidth(500);
    QImage image(520, int(doc.size().height()) + 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.translate(10, 20);
    doc.drawContents(&painter);
    paintParagraphDecor(painter, doc, QRectF(-10, -20, image.width(), image.height()));
    painter.end();
    return image;
}

bool dark(QRgb p)
{
    return qGray(p) < 128;
}

// Rows on which dark pixels run across most of [x0, x1): drawn lines.
int horizontalLines(const QImage &image, int x0, int x1)
{
    int lines = 0;
    bool inLine = false;
    for (int y = 0; y < image.height(); ++y) {
        int n = 0;
        for (int x = x0; x < x1; ++x)
            n += dark(image.pixel(x, y));
        const bool line = n > (x1 - x0) * 9 / 10;
        lines += line && !inLine;
        inLine = line;
    }
    return lines;
}

} // namespace

class TestParagraphDecor : public QObject
{
    Q_OBJECT

private slots:
    void readAndRoundTrip_data();
    void readAndRoundTrip();
    void leadersReadAndRoundTrip();
    void leadersPainted_data();
    void leadersPainted();
    void boxOfParagraphRun();
    void shadingFillsGaps();
    void roomForBorders_data();
    void roomForBorders();
    void roomFollowsEdits();
};

void TestParagraphDecor::readAndRoundTrip_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("letterhead rule")
        << QByteArray("\\pard\\brdrb\\brdrs\\brdrw10\\brsp20 Head\\par") << "Head"
        << "bottom single 10 20 auto";
    QTest::newRow("box, double, coloured")
        << QByteArray("\\pard\\box\\brdrdb\\brdrw15\\brdrcf1\\brsp40 Note\\par") << "Note"
        << "top double 15 40 #ff0000; left double 15 40 #ff0000; "
           "bottom double 15 40 #ff0000; right double 15 40 #ff0000";
    QTest::newRow("sides of their own")
        << QByteArray("\\pard\\brdrt\\brdrth\\brdrw20\\brdrl\\brdrdot\\brdrr\\brdrdash\\brdrcf2 X\\par")
        << "X" << "top thick 20 0 auto; left dotted 0 0 auto; right dashed 0 0 #0000ff";
    QTest::newRow("side with none") << QByteArray("\\pard\\brdrb\\brdrnone X\\par") << "X" << "";
    QTest::newRow("between-line words leave the box alone")
        << QByteArray("\\pard\\brdrb\\brdrs\\brdrbtw\\brdrdb\\brdrw60 X\\par") << "X"
        << "bottom single 0 0 auto";
    QTest::newRow("background colour") << QByteArray("\\pard\\cbpat2 X\\par") << "X"
                                       << "shade #0000ff";
    QTest::newRow("grey percentage over white") << QByteArray("\\pard\\shading1000 X\\par") << "X"
                                                << "shade #e6e6e6";
    QTest::newRow("pattern colour mixed in")
        << QByteArray("\\pard\\cbpat2\\cfpat1\\shading5000 X\\par") << "X" << "shade #800080";
    QTest::newRow("pard ends it")
        << QByteArray("\\pard\\box\\brdrs\\cbpat1 A\\par\\pard B\\par") << "B" << "";
    QTest::newRow("from the style sheet")
        << QByteArray("{\\stylesheet{\\s1\\brdrb\\brdrth\\brdrw30 Rule;}}\\pard\\s1 Styled\\par")
        << "Styled" << "bottom thick 30 0 auto";
    QTest::newRow("cell borders stay in the table")
        << QByteArray("\\trowd\\clbrdrb\\brdrs\\brdrw40\\cellx2000\\pard\\intbl Cell\\cell\\row"
                      "\\pard After\\par")
        << "Cell" << "";
    QTest::newRow("paragraph border inside a cell")
        << QByteArray("\\trowd\\clbrdrb\\brdrs\\cellx2000\\pard\\intbl\\brdrt\\brdrdb In\\cell\\row")
        << "In" << "top double 0 0 auto";
    QTest::newRow("absurd values clamped")
        << QByteArray("\\pard\\brdrt\\brdrs\\brdrw99999\\brsp-5\\shading70000 X\\par") << "X"
        << "top single 255 0 auto; shade #000000";
}

void TestParagraphDecor::readAndRoundTrip()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    const auto doc = load(rtf(body));
    const QTextBlock block = blockOf(*doc, text);
    QVERIFY(block.isValid());
    QCOMPARE(describe(paragraphDecor(block.blockFormat())), expected);
    if (paragraphDecor(block.blockFormat()).hasShading())
        QVERIFY(block.blockFormat().background().style() != Qt::NoBrush);

    const auto again = reread(*doc);
    QCOMPARE(describe(paragraphDecor(blockOf(*again, text).blockFormat())), expected);
}

void TestParagraphDecor::leadersReadAndRoundTrip()
{
    const auto doc = load(rtf("\\pard\\tldot\\tx2000\\tx4000\\tqr\\tlul\\tx6000\\tlth\\tx7000"
                              "\\tleq\\tx8000\\tlhyph\\tx9000 Name\\tab x\\par\\pard Plain\\tab y\\par"));
    const QString expected = "2000:1 4000:0 6000:3 7000:4 8000:5 9000:2";
    QCOMPARE(leaders(blockOf(*doc, "Name").blockFormat()), expected);
    QVERIFY(!blockOf(*doc, "Plain").blockFormat().hasProperty(prop::TabLeaders));
    const auto again = reread(*doc);
    QCOMPARE(leaders(blockOf(*again, "Name").blockFormat()), expected);
    QCOMPARE(blockOf(*again, "Name").blockFormat().tabPositions().at(2).type, QTextOption::RightTab);

    // Positions changed since (the ruler): the stale leaders are not used.
    QTextBlockFormat changed = blockOf(*doc, "Name").blockFormat();
    changed.setTabPositions({QTextOption::Tab(100, QTextOption::LeftTab)});
    QVERIFY(tabLeaders(changed).isEmpty());
}

void TestParagraphDecor::leadersPainted_data()
{
    QTest::addColumn<QByteArray>("leader");
    QTest::addColumn<bool>("solid"); // a line rather than marks with gaps
    QTest::addColumn<bool>("shown");
    QTest::newRow("dots") << QByteArray("\\tldot") << false << true;
    QTest::newRow("hyphens") << QByteArray("\\tlhyph") << false << true;
    QTest::newRow("underline") << QByteArray("\\tlul") << true << true;
    QTest::newRow("thick") << QByteArray("\\tlth") << true << true;
    QTest::newRow("none") << QByteArray() << false << false;
}

void TestParagraphDecor::leadersPainted()
{
    QFETCH(QByteArray, leader);
    QFETCH(bool, solid);
    QFETCH(bool, shown);
    // "Signed" then a tab to 5000 twips (333 px): the gap from the word's
    // end to the stop is filled.
    const auto doc = load(rtf("\\pard" + leader + "\\tx5000\\fs24 Signed\\tab\\par"));
    const QImage image = paint(*doc);
    const QTextBlock block = doc->begin();
    const QTextLine line = block.layout()->lineAt(0);
    const int x0 = 10 + qCeil(line.cursorToX(6)) + 4;
    const int x1 = 10 + 330;
    int darkest = 0; // the row with most dark pixels in the gap
    for (int y = 20; y < 20 + int(line.height()) + 4; ++y) {
        int n = 0;
        for (int x = x0; x < x1; ++x)
            n += qGray(image.pixel(x, y)) < 160;
        darkest = qMax(darkest, n);
    }
    if (!shown) {
        QCOMPARE(darkest, 0);
    } else if (solid) {
        QVERIFY2(darkest > (x1 - x0) * 9 / 10, qPrintable(QString::number(darkest)));
    } else {
        QVERIFY2(darkest > (x1 - x0) / 8 && darkest < (x1 - x0) * 17 / 20,
                 qPrintable(QString::number(darkest)));
    }
}

void TestParagraphDecor::boxOfParagraphRun()
{
    // Two paragraphs with the same box are one box: a top and a bottom
    // line, none between. A different box after them is a box of its own.
    const auto doc = load(rtf("\\pard\\box\\brdrs\\brdrw20\\brsp40\\sa200 One\\par Two\\par"
                              "\\pard\\sb400\\box\\brdrdb\\brdrw20 Three\\par"));
    const QImage image = paint(*doc);
    QCOMPARE(horizontalLines(image, 200, 400), 2 + 4); // the double box has two lines a side
    const QImage plain = paint(*load(rtf("\\pard One\\par Two\\par")));
    QCOMPARE(horizontalLines(plain, 200, 400), 0);
    // The box's sides stand left of the text.
    const QTextBlock one = doc->begin();
    const int textLeft = 10 + qFloor(doc->documentLayout()->blockBoundingRect(one).left()
                                     + one.layout()->lineAt(0).naturalTextRect().left());
    int darkLeft = 0;
    for (int x = 0; x < textLeft; ++x)
        darkLeft += dark(image.pixel(x, 30));
    QVERIFY(darkLeft > 0);
}

void TestParagraphDecor::shadingFillsGaps()
{
    // Qt shades the lines of each paragraph; the gap between two
    // paragraphs of one shaded run is shaded too, as a word processor does.
    const auto doc = load(rtf("\\pard\\cbpat2\\sa400 One\\par Two\\par\\pard\\sb400 Three\\par"));
    const QImage image = paint(*doc);
    const QRectF one = doc->documentLayout()->blockBoundingRect(doc->begin());
    const QRectF two = doc->documentLayout()->blockBoundingRect(doc->begin().next());
    const int gapY = 20 + int((one.bottom() + two.top()) / 2);
    QCOMPARE(QColor(image.pixel(400, gapY)), QColor(Qt::blue));
    const QRectF three = doc->documentLayout()->blockBoundingRect(doc->begin().next().next());
    QCOMPARE(QColor(image.pixel(400, 20 + int((two.bottom() + three.top()) / 2))),
             QColor(Qt::white));
}

void TestParagraphDecor::roomForBorders_data()
{
    // Each row's paragraphs say \sa60; the room (line and spacing, twips)
    // comes on top of it, and on top of the space before of "Top".
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("roomBefore");
    QTest::addColumn<int>("roomAfter");
    QTest::addColumn<int>("roomLeft"); // and right, where the row has a right side

    const QByteArray joined = "\\pard\\sa60\\box\\brdrs\\brdrw10\\brsp20 JoinA\\par JoinB\\par JoinC\\par";
    QTest::newRow("box") << QByteArray("\\pard\\sa60\\box\\brdrs\\brdrw10\\brsp20 Boxed\\par") << "Boxed" << 30 << 30 << 30;
    QTest::newRow("rule, no width given") << QByteArray("\\pard\\sa60\\brdrb\\brdrs Ruled\\par") << "Ruled" << 0 << 16 << 0;
    QTest::newRow("rule above") << QByteArray("\\pard\\sa60\\sb100\\brdrt\\brdrs\\brdrw20\\brsp40 Top\\par")
                                << "Top" << 60 << 0 << 0;
    QTest::newRow("double line") << QByteArray("\\pard\\sa60\\brdrb\\brdrdb\\brdrw20 Db\\par") << "Db" << 0 << 60 << 0;
    QTest::newRow("side border") << QByteArray("\\pard\\sa60\\brdrl\\brdrs\\brsp80 Side\\par") << "Side" << 0 << 0 << 96;
    QTest::newRow("joined box, first") << joined << "JoinA" << 30 << 0 << 30;
    QTest::newRow("joined box, inside") << joined << "JoinB" << 0 << 0 << 30;
    QTest::newRow("joined box, last") << joined << "JoinC" << 0 << 30 << 30;
}

void TestParagraphDecor::roomForBorders()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, text);
    QFETCH(int, roomBefore);
    QFETCH(int, roomAfter);
    QFETCH(int, roomLeft);
    const int before = text == u"Top" ? 100 : 0;
    const auto doc = load(rtf(body.constData()));
    const QTextBlockFormat format = blockOf(*doc, text).blockFormat();
    QCOMPARE(qRound(format.topMargin() * 15), before + roomBefore);
    QCOMPARE(qRound(format.bottomMargin() * 15), 60 + roomAfter);
    QCOMPARE(qRound(format.leftMargin() * 15), roomLeft);
    QCOMPARE(qRound(format.rightMargin() * 15), text == u"Side" ? 0 : roomLeft);

    // Written back as the file had it, and read again alike.
    const QByteArray written = toRtf(*doc);
    QVERIFY(written.contains("\\sa60"));
    QCOMPARE(written.count("\\sa"), written.count("\\sa60"));
    QCOMPARE(written.contains("\\sb"), before > 0);
    QVERIFY(before == 0 || written.contains("\\sb100"));
    const QTextBlockFormat again = blockOf(*reread(*doc), text).blockFormat();
    QCOMPARE(again.topMargin(), format.topMargin());
    QCOMPARE(again.bottomMargin(), format.bottomMargin());
    QCOMPARE(again.leftMargin(), format.leftMargin());
    QVERIFY(!written.contains("\\li") && !written.contains("\\ri"));
}

void TestParagraphDecor::roomFollowsEdits()
{
    const auto doc = load(rtf("\\pard\\sa60 Plain\\par\\pard\\sa60\\box\\brdrs\\brdrw10\\brsp20 Boxed\\par"));
    const auto margins = [&doc](const char *text) {
        const QTextBlockFormat f = blockOf(*doc, QString::fromLatin1(text)).blockFormat();
        return std::make_pair(qRound(f.topMargin() * 15), qRound(f.bottomMargin() * 15));
    };
    applyBorderRoom(*doc); // made again, nothing adds up
    QCOMPARE(margins("Boxed"), std::make_pair(30, 90));

    // The paragraph before joins the box: the room moves to its top.
    QTextCursor cursor(blockOf(*doc, u"Plain"_s));
    QTextBlockFormat format = cursor.blockFormat();
    setParagraphDecor(format, paragraphDecor(blockOf(*doc, u"Boxed"_s).blockFormat()));
    cursor.setBlockFormat(format);
    applyBorderRoom(*doc, 0, 1);
    QCOMPARE(margins("Plain"), std::make_pair(30, 60));
    QCOMPARE(margins("Boxed"), std::make_pair(0, 90));
}

QTEST_MAIN(TestParagraphDecor)
#include "tst_paragraphdecor.moc"
