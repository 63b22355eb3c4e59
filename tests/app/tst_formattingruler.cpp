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

    void dragLeftMarker()
    {
        RulerFixture f;
        QVERIFY(f.showActive());
        f.editor->paragraph().setFirstIndent(10);
        RulerMarker *marker = f.ruler->leftInd();
        QCOMPARE(marker->x(), 15); // trunc(10 * 4/3) - 4 + 6

        // Left edge plus the grip (5) at 78: 54 points from the gutter.
        drag(marker, 73 - marker->x());
        QVERIFY(!f.form->formatCommands()->dragging());
        QCOMPARE(f.form->formatCommands()->dragOffset(), 5);
        QCOMPARE(f.editor->paragraph().leftIndent(), 54.0 - 10);
        QCOMPARE(f.editor->paragraph().firstIndent(), 10.0);
        QCOMPARE(marker->x(), 74); // placed again from the paragraph
    }

    void dragFirstMarkerKeepsFollowingLines()
    {
        RulerFixture f;
        QVERIFY(f.showActive());
        f.editor->paragraph().setLeftIndent(54);
        const int leftMarkerAt = f.ruler->leftInd()->x();

        drag(f.ruler->firstInd(), 30);
        const double first = f.editor->paragraph().firstIndent();
        QCOMPARE(first, 23.0); // trunc((32 + 5 - 6) / (4/3))
        // The following lines stay where they were.
        QCOMPARE(first + f.editor->paragraph().leftIndent(), 54.0);
        QCOMPARE(f.ruler->leftInd()->x(), leftMarkerAt);
        // One drag, one undo step.
        f.editor->document()->undo();
        QCOMPARE(f.editor->paragraph().firstIndent(), 0.0);
        QCOMPARE(f.editor->paragraph().leftIndent(), 54.0);
    }

    void dragRightMarker()
    {
        RulerFixture f;
        QVERIFY(f.showActive());
        const int width = f.ruler->width();
        drag(f.ruler->rightInd(), -20);
        // trunc((width - (width - 34) + 4 - 2) / (4/3)) - 12
        QCOMPARE(f.editor->paragraph().rightIndent(), 15.0);
        QCOMPARE(f.ruler->rightInd()->x(), width - 6 - 28);
    }

    void dragsStayOnThePage()
    {
        RulerFixture f;
        QVERIFY(f.showActive());
        ParaAttributes &paragraph = f.editor->paragraph();
        // Past the ends: the markers stop at the gutters, the indents at 0.
        drag(f.ruler->firstInd(), -200);
        drag(f.ruler->rightInd(), 200);
        QVERIFY(paragraph.firstIndent() == 0 && paragraph.leftIndent() == 0 && paragraph.rightIndent() == 0);

        // Past the right marker: a text column is left.
        drag(f.ruler->leftInd(), f.ruler->width());
        QCOMPARE(paragraph.leftIndent(), double(pointsFor(f.ruler->width() - 12) - minTextWidth));
        drag(f.ruler->rightInd(), -f.ruler->width());
        QCOMPARE(paragraph.rightIndent(), 0.0);
    }
};

QTEST_MAIN(TestFormattingRuler)
#include "tst_formattingruler.moc"
