// Shows a few balloons over a plain window on a real display, for looking
// at them (for instance under Xvfb with a screenshot). Not run by CTest.
//   balloondemo [seconds]

#include "balloon.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTimer>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 5;

    QPlainTextEdit desk;
    desk.setPlainText(QStringLiteral("Dear @1,\n\nThank you for your letter of @2 about @3.\n"
                                     "The balloon should float over this text, shaped,\n"
                                     "with the text showing around its rounded corners."));
    desk.setGeometry(20, 20, 760, 560);
    desk.show();

    Balloon yellow;
    yellow.setColor(QColor(255, 255, 0));
    Balloon red;
    red.setColor(QColor(255, 0, 0));
    QFont big = red.font();
    big.setPointSize(11);
    red.setFont(big);
    red.setAlign(Balloon::Alignment::Left);
    Balloon square;
    square.setShape(Balloon::Shape::Rectangle);
    square.setTextAlign(Balloon::TextAlignment::Left);
    square.setColor(QColor(192, 192, 192));

    QTimer::singleShot(300, &app, [&] {
        yellow.showBalloon(QPoint(120, 100), QStringLiteral("Name of the client"));
        red.showBalloon(QPoint(700, 300), QStringLiteral("You have not chosen an information file@"
                                                         "You need to complete this step@"
                                                         "or there will be nothing to merge"));
        square.showBalloon(QPoint(200, 420), QStringLiteral("A@Longer line here@B"));
    });
    QTimer::singleShot(seconds * 1000, &app, &QApplication::quit);
    return app.exec();
}
