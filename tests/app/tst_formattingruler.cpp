// The indent ruler: marker places for given indents, the indents a dragged
// marker sets, and the limits that keep a dragged indent on the page.

#include "mainformfixture.h"

#include "app/commands/formatcommands.h"
#include "editor/paraattributes.h"
#include "editor/richeditor.h"
#include "app/chrome/ruler.h"
#include "app/chrome/rulergeometry.h"

#include <QtTest>

using namespace rulergeometry;

namespace {

// A shown window with one paragraph in the document pane.
struct RulerFixture : MainFormFixture
{
    RulerFixture()
    {
        editor = form->richEditEx1();
        ruler = form->ruler();
        editor->setPlainText(QStringLiteral("A paragraph"));
    }
    RichEditor *editor;
    Ruler *ruler;
};

// Presses the marker at its middle, moves it by dx and releases it, with
// real mouse events.
void drag(RulerMarker *marker, int dx)
{
    const QPoint grip(marker->width() / 2, marker->height() / 2);
    QTest::mousePress(marker, Qt::LeftButton, {}, grip);
    QTest::mouseMove(marker, grip + QPoint(dx, 0));
    QTest::mouseRelease(marker, Qt::LeftButton, {}, grip);
}

} // namespace

class TestFormattingRuler : public QObject
{
    Q_OBJECT

private slots:
    void geometry()
    {
        // 54 pt is 72 px: a floating 4/3 would give 71.999... and truncate to 71.
        for (int points = 0; points <= 600; ++points)
            QCOMPARE(pixelsFor(points), points * 4 / 3);
        QCOMPARE(pointsFor(73), 54);
        QCOMPARE(pointsFor(-5), -3); // toward zero, as trunc does

        MarkerPlaces places = markerPlaces(54, -18, 10.5, 800); // a hanging paragraph
        QCOMPARE(places.first, 74);
        QCOMPARE(places.left, 50);
        QCOMPARE(places.right, 800 - 6 - 22);
        QCOMPARE(markerPlaces(0.75, 0, 0, 800).first, 3);

        // Ordinary indents pass unchanged; nothing goes left of the gutter; 800
        // px leave a 591 pt column, of which 18 stay free of indents.
        Indents kept = keepOnPage({36, -18, 20}, 800, false);
        QVERIFY(kept.first == 36 && kept.left == -18 && kept.right == 20);
        kept = keepOnPage({-10, -5, -3}, 800, false);
        QVERIFY(kept.first == 0 && kept.left == 0 && kept.right == 0);
        QCOMPARE(keepOnPage({20, -30, 0}, 800, false).left, -20.0);
        kept = keepOnPage({0, 700, 100}, 800, false);
        QCOMPARE(kept.first + kept.left, 591.0 - 18 - 100);
        kept = keepOnPage({50, 0, 700}, 800, true);
        QVERIFY(kept.right == 591 - 18 - 50 && kept.first == 50);
    }

    void zeroIndentsAfterStartUp()
    {
        MainFormFixture f;
        QVERIFY(f.showActive());
        Ruler *ruler = f.form->ruler();
        QCOMPARE(ruler->firstInd()->x(), 2);
        QCOMPARE(ruler->leftInd()->x(), 2);
        QCOMPARE(ruler->rightInd()->x(), ruler->width() - 14);
        QCOMPARE(ruler->rulerLine()->width(), ruler->width() - 8);
        // The right marker follows the ruler when the window is resized.
        f.form->resize(f.form->width() + 100, f.form->height());
        QTRY_COMPARE(ruler->rightInd()->x(), ruler->width() - 14);
        // The text keeps the gutter; setting it left the empty document
        // unmodified and without an undo step.
        QTextDocument *document = f.form->richEditEx1()->document();
        QCOMPARE(document->documentMargin(), 6.0);
        QVERIFY(!document->isModified());
        QCOMPARE(document->availableUndoSteps(), 0);
    }

    // A drag sets the indents on release (one undo step) and the markers
    // are placed again from the paragraph. Markers: 0 first, 1 left, 2 right.
    void drag_data()
    {
        QTest::addColumn<double>("first");
        QTest::addColumn<double>("left");
        QTest::addColumn<int>("marker");
        QTest::addColumn<int>("dx");
        QTest::addColumn<QList<double>>("expected");
        // Left edge 73 plus the grip (5): 54 points from the gutter, of
        // which the first indent holds 10.
        QTest::newRow("left marker") << 10.0 << 0.0 << 1 << 58 << QList<double>{10, 44, 0};
        // trunc((32 + 5 - 6) / (4/3)); the following lines stay put.
        QTest::newRow("first marker") << 0.0 << 54.0 << 0 << 30 << QList<double>{23, 31, 0};
        QTest::newRow("right marker") << 0.0 << 0.0 << 2 << -20 << QList<double>{0, 0, 15};
        QTest::newRow("first past the gutter") << 20.0 << 0.0 << 0 << -200 << QList<double>{0, 20, 0};
        QTest::newRow("right past the edge") << 0.0 << 0.0 << 2 << 200 << QList<double>{0, 0, 0};
    }

    void drag()
    {
        QFETCH(double, first);
        QFETCH(double, left);
        QFETCH(int, marker);
        QFETCH(int, dx);
        QFETCH(QList<double>, expected);
        RulerFixture f;
        QVERIFY(f.showActive());
        ParaAttributes &paragraph = f.editor->paragraph();
        paragraph.setFirstIndent(first);
        paragraph.setLeftIndent(left);
        f.editor->document()->clearUndoRedoStacks();
        RulerMarker *markers[] = {f.ruler->firstInd(), f.ruler->leftInd(), f.ruler->rightInd()};
        ::drag(markers[marker], dx);
        QVERIFY(!f.form->formatCommands()->dragging());
        QCOMPARE((QList<double>{paragraph.firstIndent(), paragraph.leftIndent(), paragraph.rightIndent()}), expected);
        const MarkerPlaces places = markerPlaces(expected[0], expected[1], expected[2], f.ruler->width());
        QCOMPARE((QList<int>{markers[0]->x(), markers[1]->x(), markers[2]->x()}),
                 (QList<int>{places.first, places.left, places.right}));
        f.editor->document()->undo();
        QCOMPARE((QList<double>{paragraph.firstIndent(), paragraph.leftIndent()}), (QList<double>{first, left}));
    }

    // Past the right marker a column of text is left.
    void leftMarkerLeavesATextColumn()
    {
        RulerFixture f;
        QVERIFY(f.showActive());
        ::drag(f.ruler->leftInd(), f.ruler->width());
        QCOMPARE(f.editor->paragraph().leftIndent(), double(pointsFor(f.ruler->width() - 12) - minTextWidth));
    }
};

QTEST_MAIN(TestFormattingRuler)
#include "tst_formattingruler.moc"
