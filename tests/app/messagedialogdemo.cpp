// Shows one message dialog on a real display, for looking at it (for
// instance under Xvfb with a screenshot). Not run by CTest. Prints the
// answer; the dialog closes by itself after the given seconds.
//   messagedialogdemo <case 1-4> [seconds]

#include "messagedialog.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int which = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 1;
    const int seconds = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 5;

    QTimer::singleShot(seconds * 1000, &app, [] {
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
    });

    QChar answer;
    switch (which) {
    case 2:
        answer = showMessageDialog(QString(), QStringLiteral("!"),
                                   QStringLiteral(" There is a problem with this file;There must be an even number "
                                                  "of lines with;information appearing only on the even lines;"
                                                  "edit and save it before proceeding."));
        break;
    case 3:
        answer = showMessageDialog(QStringLiteral("12 replacements were made"), QStringLiteral("I"),
                                   QStringLiteral("You now have at least TWO choices;1.   Print from this programme "
                                                  "using appropriate menu items/buttons  OR;;2.   Select all  this "
                                                  "text (ctrl A);3.    Copy/cut it to the Windows clipboard ;4.    "
                                                  "Paste it into your Word Procesing Programme"));
        break;
    case 4:
        answer = showMessageDialog(QStringLiteral("QRN"), QStringLiteral("?"),
                                   QStringLiteral("Save the changes? CENTERTEXT;a;;b"),
                                   QStringLiteral("&Yes &No   &Cancel"));
        break;
    default:
        answer = showMessageDialog(QStringLiteral("QRN"), QStringLiteral("!"),
                                   QStringLiteral("You have not chosen a Template file;Please do so"), QString());
        break;
    }
    std::printf("answer: %s\n", QString(answer).toLocal8Bit().constData());
    return 0;
}
