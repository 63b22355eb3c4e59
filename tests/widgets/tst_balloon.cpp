#include "widgets/balloon.h"
#include "widgets/balloonpicture.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

using balloon::Alignment;
using balloon::Shape;
using balloon::TextAlignment;

namespace {

const QColor fill(255, 255, 0);

bool clear(const QImage &image, QPoint p) { return qAlpha(image.pixel(p)) == 0; }
QColor at(const QImage &image, QPoint p) { return QColor::fromRgba(image.pixel(p)); }

// A mouse event with an exact screen position, passed through the
// application's event filters like one from the window system.
void mouse(QWidget *target, QEvent::Type type, QPoint global, Qt::MouseButton button = Qt::NoButton)
{
    QMouseEvent event(type, QPointF(target->mapFromGlobal(global)), QPointF(global), button,
                      type == QEvent::MouseButtonPress ? Qt::MouseButtons(button) : Qt::NoButton, {});
    QApplication::sendEvent(target, &event);
}

} // namespace

class TestBalloon : public QObject
{
    Q_OBJECT

private slots:
    void geometryFollowsTheCursor_data()
    {
        QTest::addColumn<Alignment>("align");
        QTest::addColumn<QRect>("window");
        QTest::addColumn<QRect>("body");
        QTest::addColumn<QRect>("tail");
        QTest::addColumn<QPoint>("tip");
        // Lines 30 and 50 wide, 13 high: Wt = 50, H = 26, W = 73; cursor (100, 200).
        QTest::newRow("right") << Alignment::Right << QRect(100, 157, 73, 46) << QRect(QPoint(10, 0), QPoint(70, 28))
                               << QRect(0, 24, 15, 21) << QPoint(3, 39);
        QTest::newRow("left") << Alignment::Left << QRect(27, 157, 73, 46) << QRect(QPoint(2, 0), QPoint(62, 28))
                              << QRect(58, 24, 15, 21) << QPoint(69, 39);
    }

    void geometryFollowsTheCursor()
    {
        QFETCH(Alignment, align);
        QFETCH(QRect, window);
        QFETCH(QRect, body);
        QFETCH(QRect, tail);
        QFETCH(QPoint, tip);
        const balloon::Geometry g = balloon::layout(QPoint(100, 200), QList<int>{30, 50}, 13, align, TextAlignment::Center);
        QCOMPARE(g.window, window); // bottom edge 3 pixels below the cursor
        QCOMPARE(g.body, body);
        QCOMPARE(g.shadow, body.translated(2, 2));
        QCOMPARE(g.tail, tail);
        QCOMPARE(g.tipPixels, (QList<QPoint>{tip, tip + QPoint(0, 1), tip + QPoint(1, 2)}));
        QVERIFY(QRect(QPoint(0, 0), window.size()).contains(g.shadow | g.tail));
    }

    void textPositions()
    {
        struct Case { Alignment align; TextAlignment text; int narrowX, wideX; };
        const Case cases[] = {{Alignment::Right, TextAlignment::Center, 15 + 25 - 15, 15},
                              {Alignment::Right, TextAlignment::Right, 15 + 19, 15},
                              {Alignment::Left, TextAlignment::Left, 8, 8},
                              {Alignment::Left, TextAlignment::Center, 8 + 25 - 15, 8}};
        for (const Case &c : cases) {
            // Widths 31, 50 and an empty last line, which still takes its height.
            const balloon::Geometry g = balloon::layout(QPoint(500, 500), QList<int>{31, 50, 0}, 13, c.align, c.text);
            QCOMPARE(g.textHeight, 39);
            QCOMPARE(g.textOrigins, (QList<QPoint>{{c.narrowX, 1}, {c.wideX, 14}, {g.textOrigins.at(2).x(), 27}}));
        }
    }

    void pictureIsOneClosedShape_data()
    {
        QTest::addColumn<Shape>("shape");
        QTest::addColumn<Alignment>("align");
        QTest::newRow("round right") << Shape::RoundRect << Alignment::Right;
        QTest::newRow("round left") << Shape::RoundRect << Alignment::Left;
        QTest::newRow("square left") << Shape::Rectangle << Alignment::Left;
    }

    void pictureIsOneClosedShape()
    {
        QFETCH(Shape, shape);
        QFETCH(Alignment, align);
        const QPoint cursor(400, 300);
        const balloon::Geometry g = balloon::layout(cursor, QList<int>{40, 60}, 13, align, TextAlignment::Center);
        balloon::Style style{fill, Qt::black, QApplication::font(), shape, align};
        // Empty lines: every opaque pixel is fill, outline or shadow.
        const QImage image = balloon::paintPicture(g, QStringList{QString(), QString()}, style);
        const int midY = g.textHeight / 2;

        QCOMPARE(at(image, QPoint(g.body.left(), midY)), QColor(Qt::black));
        QCOMPARE(at(image, QPoint(g.body.left() + 1, midY)), fill);
        QVERIFY(clear(image, QPoint(g.body.left() - 1, midY)));
        QCOMPARE(at(image, QPoint(g.body.right() + 2, midY)), QColor(Qt::black)); // shadow
        QCOMPARE(at(image, QPoint(g.body.center().x(), g.textHeight + 4)), QColor(Qt::black));
        QVERIFY(clear(image, QPoint(g.body.center().x(), g.textHeight + 5)));
        QCOMPARE(clear(image, g.body.topLeft()), shape == Shape::RoundRect);
        const QPoint tipOnScreen = g.window.topLeft() + g.tip;
        QVERIFY((tipOnScreen - cursor).manhattanLength() <= 6);

        // The outline is closed everywhere, round the tip and where the tail
        // joins the body: no fill pixel touches the outside.
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (at(image, QPoint(x, y)) == fill)
                    for (const QPoint n : {QPoint(x + 1, y), QPoint(x - 1, y), QPoint(x, y + 1), QPoint(x, y - 1)})
                        QVERIFY2(image.rect().contains(n) && !clear(image, n), qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));

        // Body and tail are one region: the tip's pixels are reached from the
        // body's middle without crossing the outline.
        QImage flood = image;
        QList<QPoint> todo{QPoint(g.body.center().x(), midY)};
        while (!todo.isEmpty()) {
            const QPoint p = todo.takeLast();
            if (flood.rect().contains(p) && at(flood, p) == fill) {
                flood.setPixel(p, qRgb(0, 0, 255));
                todo << p + QPoint(1, 0) << p - QPoint(1, 0) << p + QPoint(0, 1) << p - QPoint(0, 1);
            }
        }
        for (const QPoint &p : g.tipPixels)
            QCOMPARE(at(flood, p), QColor(0, 0, 255));
    }

    void showingReplacesAndEmptyTextKeeps()
    {
        Balloon b;
        b.showBalloon(QPoint(100, 100), QStringLiteral("First"));
        const QRect first = b.geometry();
        b.showBalloon(QPoint(300, 250), QString());
        QVERIFY(b.isVisible());
        QCOMPARE(b.geometry(), first);

        b.showBalloon(QPoint(300, 250), QStringLiteral("Second@two lines"));
        QVERIFY(b.isVisible());
        QCOMPARE(b.geometry().left(), 300);
        QCOMPARE(b.geometry().bottom() + 1, 253);
        // The mask leaves the desktop visible round the shape and under the cursor.
        const QRegion shape = b.screenShape();
        QVERIFY(shape.contains(b.geometry().topLeft() + b.balloonGeometry().body.center()));
        QVERIFY(!shape.contains(b.geometry().topLeft()));
        QVERIFY(!shape.contains(QPoint(300, 250)));

        b.hideBalloon();
        QVERIFY(!b.isVisible());

        // Measured with its own font and division character.
        QFont font = b.font();
        font.setPointSize(11);
        b.setFont(font);
        b.setDivisionChar(u'|');
        b.showBalloon(QPoint(300, 300), QStringLiteral("A|Wider@line|"));
        const QFontMetrics fm(font);
        QCOMPARE(b.geometry().width(), fm.horizontalAdvance(QStringLiteral("Wider@line")) + 23);
        QCOMPARE(b.geometry().height(), 3 * fm.height() + 20);
        QCOMPARE(b.picture().size(), b.geometry().size());
    }

    void hidingRules()
    {
        QWidget other;
        other.setGeometry(0, 0, 400, 400);
        other.show();
        Balloon b;
        b.showBalloon(QPoint(100, 300), QStringLiteral("A@B"));
        const QPoint inside = b.geometry().topLeft() + b.balloonGeometry().body.center();

        // Moves elsewhere, over the cut-away corner or the cursor's spot keep it.
        mouse(&other, QEvent::MouseMove, QPoint(350, 50));
        mouse(&b, QEvent::MouseMove, b.geometry().topLeft());
        mouse(&b, QEvent::MouseMove, QPoint(100, 300));
        QVERIFY(b.isVisible());
        // Over the shape it goes, even when the widget holding the mouse gets the move.
        mouse(&other, QEvent::MouseMove, inside);
        QVERIFY(!b.isVisible());

        // Clicks only: a right click or one outside the shape keeps it.
        b.setHideIfMouseMove(false);
        b.setHideIfMouseClick(true);
        b.showBalloon(QPoint(100, 300), QStringLiteral("A@B"));
        mouse(&b, QEvent::MouseMove, inside);
        mouse(&b, QEvent::MouseButtonPress, inside, Qt::RightButton);
        mouse(&b, QEvent::MouseButtonPress, b.geometry().topLeft(), Qt::LeftButton);
        QVERIFY(b.isVisible());
        mouse(&b, QEvent::MouseButtonPress, inside, Qt::LeftButton);
        QVERIFY(!b.isVisible());

        // The rules are taken when a balloon is shown.
        b.setHideIfMouseClick(false);
        b.showBalloon(QPoint(100, 300), QStringLiteral("A@B"));
        b.setHideIfMouseMove(true);
        mouse(&b, QEvent::MouseButtonPress, inside, Qt::LeftButton);
        mouse(&b, QEvent::MouseMove, inside);
        QVERIFY(b.isVisible());
    }
};

QTEST_MAIN(TestBalloon)
#include "tst_balloon.moc"
