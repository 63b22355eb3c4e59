#include "widgets/balloon.h"
#include "widgets/balloonpicture.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

using balloon::Alignment;
using balloon::Shape;
using balloon::TextAlignment;

namespace {

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
        QTest::addColumn<TextAlignment>("text");
        QTest::addColumn<QList<int>>("x");
        // x: left edges of window, body and tail, the tip's x and each line's text x, for lines 31, 50
        // and 0 wide, 13 high (Wt = 50, H = 39, W = 73) at (100, 200); an odd width shows how centring rounds.
        QTest::newRow("centred") << Alignment::Right << TextAlignment::Center << QList<int>{100, 10, 0, 3, 25, 15, 40};
        QTest::newRow("right-aligned") << Alignment::Right << TextAlignment::Right << QList<int>{100, 10, 0, 3, 34, 15, 65};
        QTest::newRow("left-aligned") << Alignment::Left << TextAlignment::Left << QList<int>{27, 2, 58, 69, 8, 8, 8};
    }
    void geometryFollowsTheCursor()
    {
        QFETCH(Alignment, align);
        QFETCH(TextAlignment, text);
        QFETCH(QList<int>, x);
        const balloon::Geometry g = balloon::layout(QPoint(100, 200), QList<int>{31, 50, 0}, 13, align, text);
        QCOMPARE(g.window, QRect(x[0], 144, 73, 59)); // bottom edge 3 pixels below the cursor
        QCOMPARE(g.body, QRect(x[1], 0, 61, 42));
        QCOMPARE(g.tail, QRect(x[2], 37, 15, 21));
        QCOMPARE(g.tipPixels, (QList<QPoint>{{x[3], 52}, {x[3], 53}, {x[3] + 1, 54}}));
        QCOMPARE(g.textOrigins, (QList<QPoint>{{x[4], 1}, {x[5], 14}, {x[6], 27}}));
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
        const balloon::Geometry g = balloon::layout({400, 300}, QList<int>{40, 60}, 13, align, TextAlignment::Center);
        const QColor fill(Qt::yellow); // empty lines: every opaque pixel is fill, outline or shadow
        const QImage image =
            balloon::paintPicture(g, {QString(), QString()}, {fill, Qt::black, QApplication::font(), shape, align});
        const int midY = g.textHeight / 2;
        QCOMPARE(at(image, QPoint(g.body.left(), midY)), QColor(Qt::black));
        QCOMPARE(at(image, QPoint(g.body.left() + 1, midY)), fill);
        QVERIFY(clear(image, QPoint(g.body.left() - 1, midY)));
        QCOMPARE(at(image, QPoint(g.body.right() + 2, midY)), QColor(Qt::black)); // shadow
        QCOMPARE(clear(image, g.body.topLeft()), shape == Shape::RoundRect);
        QVERIFY((g.window.topLeft() + g.tip - QPoint(400, 300)).manhattanLength() <= 6);

        // Body and tail are one region whose outline is closed everywhere:
        // filling from the body's middle reaches the tip and never the outside.
        QImage flood = image;
        for (QList<QPoint> todo{QPoint(g.body.center().x(), midY)}; !todo.isEmpty();) {
            const QPoint p = todo.takeLast();
            QVERIFY2(flood.rect().contains(p) && !clear(flood, p),
                     qPrintable(QStringLiteral("%1,%2").arg(p.x()).arg(p.y())));
            if (at(flood, p) == fill) {
                flood.setPixel(p, qRgb(0, 0, 255));
                todo << p + QPoint(1, 0) << p - QPoint(1, 0) << p + QPoint(0, 1) << p - QPoint(0, 1);
            }
        }
        for (const QPoint &p : g.tipPixels)
            QCOMPARE(at(flood, p), QColor(0, 0, 255));
    }

    void showingAndHiding()
    {
        QWidget other;
        Balloon b;
        b.showBalloon(QPoint(100, 100), QStringLiteral("First"));
        const QRect first = b.geometry();
        b.showBalloon(QPoint(300, 250), QString()); // empty text keeps the balloon
        QVERIFY(b.isVisible() && b.geometry() == first);

        b.showBalloon(QPoint(100, 300), QStringLiteral("A@B"));
        QCOMPARE(b.geometry().bottomLeft(), QPoint(100, 302));
        const QPoint inside = b.geometry().topLeft() + b.balloonGeometry().body.center();
        // The shape leaves out its corners and the cursor's spot: moves there,
        // or elsewhere, keep the balloon; one over the shape hides it, even when
        // the widget holding the mouse gets the move.
        mouse(&other, QEvent::MouseMove, QPoint(350, 50));
        mouse(&b, QEvent::MouseMove, b.geometry().topLeft());
        mouse(&b, QEvent::MouseMove, QPoint(100, 300));
        QVERIFY(b.isVisible());
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

        // Measured with its own font and division character.
        const QFont font(QApplication::font().family(), 11);
        b.setFont(font);
        b.setDivisionChar(u'|');
        b.showBalloon(QPoint(300, 300), QStringLiteral("A|Wider@line|"));
        const QFontMetrics fm(font);
        QCOMPARE(b.geometry().size(),
                 QSize(fm.horizontalAdvance(QStringLiteral("Wider@line")) + 23, 3 * fm.height() + 20));
    }
};

QTEST_MAIN(TestBalloon)
#include "tst_balloon.moc"
