// Lists as other word processors write them: start values, bullet shapes,
// lists inside lists, lists that go on after other paragraphs and numbers
// with their parents' numbers. Each document is read, written by our writer
// and read again, and must show the same markers every time.

#include "richtexttesting.h"
#include "richtext/listmarkers.h"

#include <QImage>
#include <QPainter>
#include <QTest>
#include <QTextDocumentFragment>

using namespace richtext;
using namespace testdocs;

namespace {

// Each paragraph as "marker text" ("- text" outside a list).
QStringList markers(const QTextDocument &doc)
{
    QStringList out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const QString marker = listMarkerText(b);
        out << (marker.isEmpty() ? QStringLiteral("-") : marker) + u' ' + b.text();
    }
    return out;
}

QByteArray pn(const char *words, const char *text)
{
    return QByteArray("{\\*\\pn") + words + "}" + text + "\\par ";
}

// A list table of one list (\ls1) with the given levels.
QByteArray listTable(const char *levels, const char *override = "")
{
    return QByteArray("{\\*\\listtable{\\list") + levels + "\\listid5}}"
           + "{\\*\\listoverridetable{\\listoverride\\listid5" + override + "\\ls1}}";
}

} // namespace

class TestRtfLists : public QObject
{
    Q_OBJECT

private slots:
    void markersSurviveWritingBack_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QStringList>("expected");

        const char *numbered = "\\pnlvlbody\\pndec\\pnstart7{\\pntxta .}";
        QTest::newRow("pn start") << "\\pard\\li360\\fi-360" + pn(numbered, "a") + "b\\par c\\par"
                                  << QStringList{"7. a", "8. b", "9. c"};
        QTest::newRow("level start")
            << listTable("{\\listlevel\\levelnfc4\\levelstartat7{\\leveltext\\'02\\'00);}\\li360\\fi-360}")
                   + "\\pard\\ls1\\li360\\fi-360 a\\par b\\par"
            << QStringList{"g) a", "h) b"};
        QTest::newRow("override start")
            << listTable("{\\listlevel\\levelnfc0\\levelstartat1{\\leveltext\\'02\\'00.;}}",
                         "\\listoverridecount1{\\lfolevel\\listoverridestartat\\levelstartat3}")
                   + "\\pard\\ls1\\li360\\fi-360 a\\par b\\par"
            << QStringList{"3. a", "4. b"};
        QTest::newRow("start in the override itself")
            << listTable("{\\listlevel\\levelnfc0\\levelstartat1{\\leveltext\\'02\\'00.;}}",
                         "\\listoverridecount0\\levelstartat7")
                   + "\\pard\\ls1\\li360\\fi-360 a\\par b\\par"
            << QStringList{"7. a", "8. b"};
        QTest::newRow("override level")
            << listTable("{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}}",
                         "\\listoverridecount1{\\lfolevel\\listoverrideformat{\\listlevel\\levelnfc2"
                         "\\levelstartat4{\\leveltext\\'02\\'00.;}}}")
                   + "\\pard\\ls1\\li360\\fi-360 a\\par"
            << QStringList{"iv. a"};

        // Bullets by their character and face: Qt's shapes where it has
        // one, the character itself where it has not.
        QTest::newRow("bullets")
            << "\\pard\\li360\\fi-360" + pn("\\pnlvlblt\\pnf1{\\pntxtb \\'b7}", "disc")
                   + "\\pard\\li360\\fi-360" + pn("\\pnlvlblt\\pnf3{\\pntxtb \\'a7}", "square")
                   + "\\pard\\li360\\fi-360" + pn("\\pnlvlblt\\pnf0{\\pntxtb o}", "circle")
                   + "\\pard\\li360\\fi-360" + pn("\\pnlvlblt\\pnf0{\\pntxtb \\'96}", "dash")
                   + "\\pard\\li360\\fi-360" + pn("\\pnlvlblt\\pnf3{\\pntxtb \\'d8}", "arrow")
            << QStringList{"\u2022 disc", "\u25aa square", "\u25e6 circle", "\u2013 dash", "\u27a2 arrow"};
        QTest::newRow("level bullet")
            << listTable("{\\listlevel\\levelnfc23{\\leveltext\\'01\\u-3880 ?;}\\f3}") + "\\pard\\ls1 a\\par"
            << QStringList{"\u27a2 a"};

        // A list inside an item starts at its own start, and the outer
        // list goes on after it, as Word writes it (the start on every
        // item) and as our writer does (each item's own number).
        const char *outer = "\\pnlvlbody\\pndec\\pnstart1{\\pntxta .}";
        QTest::newRow("list inside a list")
            << "\\pard\\li360\\fi-360" + pn(outer, "a") + "\\pard\\li360\\fi-360" + pn(outer, "b")
                   + "\\pard\\li720\\fi-360" + pn(outer, "b1") + "\\pard\\li720\\fi-360" + pn(outer, "b2")
                   + "\\pard\\li360\\fi-360" + pn(outer, "c")
            << QStringList{"1. a", "2. b", "1. b1", "2. b2", "3. c"};
        QTest::newRow("paragraphs between")
            << "\\pard\\li360\\fi-360" + pn(outer, "a") + "b\\par\\pard between\\par"
                   + "\\pard\\li360\\fi-360" + pn("\\pnlvlbody\\pndec\\pnstart3{\\pntxta .}", "c")
                   + "\\pard after\\par\\pard\\li360\\fi-360" + pn(outer, "new")
            << QStringList{"1. a", "2. b", "- between", "3. c", "- after", "1. new"};
        QTest::newRow("paragraph inside an item")
            << "\\pard\\li360\\fi-360" + pn(outer, "a") + "\\pard\\li360" + pn("\\pnlvlcont\\pndec", "more")
                   + "\\pard\\li360\\fi-360" + pn(outer, "b")
            << QStringList{"1. a", "- more", "2. b"};

        QTest::newRow("levels with their parents' numbers")
            << listTable("{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}}"
                         "{\\listlevel\\levelnfc0{\\leveltext\\'04\\'00.\\'01.;}}"
                         "{\\listlevel\\levelnfc4{\\leveltext\\'03(\\'02);}}")
                   + "\\pard\\ls1\\ilvl0\\li360\\fi-360 a\\par\\pard\\ls1\\ilvl1\\li900\\fi-540 a1\\par a2\\par"
                   + "\\pard\\ls1\\ilvl2\\li1260\\fi-360 a2x\\par\\pard\\ls1\\ilvl0\\li360\\fi-360 b\\par"
                   + "\\pard\\ls1\\ilvl1\\li900\\fi-540 b1\\par"
            << QStringList{"1. a", "1.1. a1", "1.2. a2", "(a) a2x", "2. b", "2.1. b1"};
    }
    void markersSurviveWritingBack()
    {
        QFETCH(QByteArray, body);
        QFETCH(QStringList, expected);
        const QByteArray fonts = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman\\fcharset2 Symbol;}"
                                 "{\\f3\\fnil\\fcharset2 Wingdings;}}";
        const auto doc = load(fonts + body + "}");
        // An empty last paragraph may follow; it is no list item.
        QStringList shown = markers(*doc);
        if (shown.size() > expected.size() && shown.last() == u"- ")
            shown.removeLast();
        QCOMPARE(shown, expected);
        const auto again = reread(*doc);
        QCOMPARE(markers(*again), markers(*doc));
        QCOMPARE(markers(*reread(*again)), markers(*doc));
    }

    // A label aligned right (\\leveljc2, Word's usual "i." "ii.") ends where
    // the hanging line starts, before and after writing back; one aligned
    // left begins there.
    void labelAlignment_data()
    {
        QTest::addColumn<int>("align");
        QTest::newRow("left") << 0;
        QTest::newRow("right") << 2;
    }
    void labelAlignment()
    {
        QFETCH(int, align);
        const QByteArray level = "{\\listlevel\\levelnfc2\\leveljc" + QByteArray::number(align)
                                 + "\\levelstartat8{\\leveltext\\'02\\'00.;}}";
        const auto doc = load(rtf(listTable(level.constData()) + "\\pard\\ls1\\li1440\\fi-720 text\\par"));
        const auto again = reread(*doc);
        for (const QTextDocument *d : {doc.get(), again.get()}) {
            QTextDocument copy;
            copy.setDocumentMargin(0);
            QTextCursor(&copy).insertFragment(QTextDocumentFragment(d));
            copy.setTextWidth(600);
            QImage image(600, 60, QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            paintListMarkers(painter, copy, QRectF(0, 0, 600, 60));
            painter.end();
            int left = 600, right = -1;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (qGray(image.pixel(x, y)) < 128) {
                        left = qMin(left, x);
                        right = qMax(right, x);
                    }
            // The hanging line starts 720 twips in: 48 px.
            QVERIFY2(right > left, "no label painted");
            if (align == 2)
                QVERIFY2(right <= 48 && right >= 44, qPrintable(QString::number(right)));
            else
                QVERIFY2(left >= 47 && left <= 50, qPrintable(QString::number(left)));
        }
    }

    // A list that goes on after other paragraphs is one list, so that
    // editing it renumbers the items after them too.
    void interruptedListIsOneList()
    {
        const auto doc = load(rtf("\\pard\\li360\\fi-360{\\*\\pn\\pnlvlbody\\pndec\\pnstart1{\\pntxta .}}alpha\\par"
                                  "\\pard middle\\par"
                                  "\\pard\\li360\\fi-360{\\*\\pn\\pnlvlbody\\pndec\\pnstart2{\\pntxta .}}bravo\\par"));
        const auto again = reread(*doc);
        for (const QTextDocument *d : {doc.get(), again.get()}) {
            const QTextList *list = blockOf(*d, "alpha").textList();
            QVERIFY(list && list == blockOf(*d, "bravo").textList());
        }
    }
};

QTEST_MAIN(TestRtfLists)
#include "tst_rtflists.moc"
