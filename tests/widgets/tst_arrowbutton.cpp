#include "widgets/arrowbutton.h"

#include <QSignalSpy>
#include <QTest>

using Direction = ArrowButton::Direction;

class TestArrowButton : public QObject
{
    Q_OBJECT

private slots:
    // Only the triangle is the button: a click in a corner beside it must
    // not move the preview a page.
    void clicksCountInsideTheTriangleOnly_data()
    {
        QTest::addColumn<Direction>("direction");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<bool>("clicked");
        QTest::newRow("up, centre") << Direction::Up << QPoint(16, 20) << true;
        QTest::newRow("up, near the apex") << Direction::Up << QPoint(16, 6) << true;
        QTest::newRow("up, top-left corner") << Direction::Up << QPoint(4, 4) << false;
        QTest::newRow("up, top-right corner") << Direction::Up << QPoint(29, 6) << false;
        QTest::newRow("down, centre") << Direction::Down << QPoint(16, 12) << true;
        QTest::newRow("down, bottom-left corner") << Direction::Down << QPoint(4, 28) << false;
        QTest::newRow("down, top-left, inside") << Direction::Down << QPoint(6, 5) << true;
        QTest::newRow("left, bottom-left corner") << Direction::Left << QPoint(5, 28) << false;
        QTest::newRow("left, right side") << Direction::Left << QPoint(27, 25) << true;
        QTest::newRow("right, top-right corner") << Direction::Right << QPoint(28, 5) << false;
        QTest::newRow("right, near the apex") << Direction::Right << QPoint(27, 16) << true;
        QTest::newRow("outside the inset") << Direction::Up << QPoint(1, 31) << false;
    }
    void clicksCountInsideTheTriangleOnly()
    {
        QFETCH(Direction, direction);
        QFETCH(QPoint, at);
        QFETCH(bool, clicked);
        ArrowButton button(direction);
        QCOMPARE(button.size(), QSize(33, 33));
        QSignalSpy spy(&button, &QAbstractButton::clicked);
        QTest::mousePress(&button, Qt::LeftButton, {}, at);
        QCOMPARE(button.isDown(), clicked);
        QTest::mouseRelease(&button, Qt::LeftButton, {}, at);
        QCOMPARE(spy.count(), clicked ? 1 : 0);
    }
};

QTEST_MAIN(TestArrowButton)
#include "tst_arrowbutton.moc"
