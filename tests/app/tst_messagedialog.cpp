#include "app/dialogs/messagedialog.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Answers the next dialogs without a modal loop and records the sounds and
// the cursor they were shown with.
struct Answerer
{
    std::function<void(MessageDialog &)> act;
    QList<MessageSound> sounds;
    Qt::CursorShape cursor = Qt::BitmapCursor;

    Answerer()
    {
        MessageDialog::setSoundPlayer([this](MessageSound s) { sounds << s; });
        MessageDialog::setAnswerHook([this](MessageDialog &d) {
            cursor = QGuiApplication::overrideCursor()->shape();
            if (act)
                act(d);
        });
    }
    ~Answerer()
    {
        MessageDialog::setAnswerHook({});
        MessageDialog::setSoundPlayer({});
    }
};

QPushButton *button(const QWidget &dialog, int n)
{
    return dialog.findChild<QPushButton *>(QStringLiteral("button%1").arg(n));
}

MessageRequest request(const QString &kind, const QString &text, const QString &buttons = QString(),
                       const QString &title = QStringLiteral("QRN"))
{
    return MessageRequest{title, kind, text, buttons, false, QString()};
}

QRect screen() { return QGuiApplication::primaryScreen()->geometry(); }

} // namespace

class TestMessageDialog : public QObject
{
    Q_OBJECT

private slots:
    void init() { dialogSettings() = DialogSettings(); }

    void splitsTextIntoLines_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("empty middle") << "a;;b" << QStringList{"a", "", "b"};
        QTest::newRow("trailing") << "a;" << QStringList{"a", ""};
        QTest::newRow("breaks") << "a\r\nb\n\rc\nd\re" << QStringList{"a", "b", "c", "d", "e"};
        QTest::newRow("two CR LF") << "a\r\n\r\nb" << QStringList{"a", "", "b"};
        QTest::newRow("centre word") << "Hello CenterText;x CENTERTEXT" << QStringList{"Hello", "x CENTERTEXT"};
        QTest::newRow("word needs its space") << "CENTERTEXT" << QStringList{"CENTERTEXT"};
    }

    void splitsTextIntoLines()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        MessageDialog dialog(request(QStringLiteral("!"), text));
        QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("Message"))->text(), lines.join(u'\n'));
        QCOMPARE(dialog.layoutInfo().textHeight, lines.size() * dialog.layoutInfo().lineHeight);
    }

    void buttonsAndLetters()
    {
        QCOMPARE(parseButtonCaptions(QStringLiteral("    ")), QStringList{"&OK"});
        QCOMPARE(parseButtonCaptions(QStringLiteral(" &Yes   &No ")), (QStringList{"&Yes", "&No"}));
        QCOMPARE(acceleratorLetter(QStringLiteral("E&xit")), QChar(u'X'));
        QCOMPARE(acceleratorLetter(QStringLiteral("retry")), QChar(u'R'));
        QCOMPARE(acceleratorLetter(QStringLiteral("ok&")), QChar(u'O'));

        // Equal widths, 10 apart, the row centred; the second answers "N".
        MessageDialog dialog(request(QStringLiteral("?"), QStringLiteral("Go on?"), QStringLiteral("&Yes &No")));
        const QFontMetrics fm(dialog.font());
        const int width = std::max(fm.horizontalAdvance(QStringLiteral("WYes W")), fm.horizontalAdvance(QStringLiteral("WNo W")));
        QCOMPARE(button(dialog, 1)->width(), width);
        QCOMPARE(button(dialog, 2)->x(), button(dialog, 1)->x() + width + 10);
        QCOMPARE(button(dialog, 1)->x(), (dialog.width() - (2 * width + 10)) / 2);
        QVERIFY(!button(dialog, 3));

        Answerer answer;
        answer.act = [](MessageDialog &d) { button(d, 2)->click(); };
        QCOMPARE(showMessageDialog(QStringLiteral("QRN"), QStringLiteral("?"), QStringLiteral("Go on?"), QStringLiteral("&Yes &No")), QChar(u'N'));

        // Closing otherwise answers with the last button, whatever the buttons.
        answer.act = [](MessageDialog &d) { d.close(); };
        QCOMPARE(showMessageDialog(QStringLiteral("QRN"), QStringLiteral("!"), QStringLiteral("x")), QChar(u'O'));
        QCOMPARE(showMessageDialog(QStringLiteral("QRN"), QString(), QStringLiteral("x"), QStringLiteral("&Yes &No &Cancel")), QChar(u'C'));
        answer.act = [](MessageDialog &d) { QTest::keyClick(&d, Qt::Key_Escape); };
        QCOMPARE(showMessageDialog(QString(), QStringLiteral("H"), QStringLiteral("x"), QStringLiteral("&Abort")), QChar(u'A'));
    }

    void kindPicksIconAndSound_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("pixmap"); // QStyle::StandardPixmap, or -1 for none
        QTest::addColumn<MessageSound>("sound");
        QTest::newRow("!") << "!" << int(QStyle::SP_MessageBoxWarning) << MessageSound::Exclamation;
        QTest::newRow("?!x") << "?!x" << int(QStyle::SP_MessageBoxQuestion) << MessageSound::Question;
        QTest::newRow("i") << "i" << int(QStyle::SP_MessageBoxInformation) << MessageSound::Information;
        QTest::newRow("h") << "h" << int(QStyle::SP_MessageBoxCritical) << MessageSound::Stop;
        QTest::newRow("A") << "A" << int(QStyle::SP_DesktopIcon) << MessageSound::Default;
        QTest::newRow("x") << "x" << -1 << MessageSound::Default;
        QTest::newRow("none") << "" << -1 << MessageSound::Default;
    }

    void kindPicksIconAndSound()
    {
        QFETCH(QString, kind);
        QFETCH(int, pixmap);
        QFETCH(MessageSound, sound);
        Answerer answer;
        answer.act = [&](MessageDialog &d) {
            auto *icon = d.findChild<QLabel *>(QStringLiteral("Icon"));
            QCOMPARE(icon != nullptr, pixmap >= 0);
            QCOMPARE(d.layoutInfo().label.left(), std::max((d.width() - d.layoutInfo().textWidth) / 2, pixmap >= 0 ? 52 : 20));
            if (icon) {
                QCOMPARE(icon->geometry(), QRect(10, 10, 32, 32));
                const QIcon expected = d.style()->standardIcon(QStyle::StandardPixmap(pixmap), nullptr, &d);
                QCOMPARE(icon->pixmap().toImage(), expected.pixmap(32, 32).toImage());
            }
        };
        showMessageDialog(QStringLiteral("QRN"), kind, QStringLiteral("text"));
        QCOMPARE(answer.sounds, QList<MessageSound>{sound});
        dialogSettings().sound = false;
        showMessageDialog(QStringLiteral("QRN"), kind, QStringLiteral("text"));
        QCOMPARE(answer.sounds.size(), 1);
    }

    void captionRules()
    {
        MessageDialog spaced(request(QString(), QStringLiteral("x"), QString(), QStringLiteral("   QRN ")));
        QCOMPARE(spaced.windowTitle(), QStringLiteral("QRN "));
        QVERIFY(spaced.windowFlags() & Qt::WindowTitleHint);
        QVERIFY(!(spaced.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));

        MessageDialog bare(request(QStringLiteral("!"), QStringLiteral("x"), QString(), QStringLiteral("  ")));
        QVERIFY(!bare.hasCaptionBar());
        QVERIFY(bare.windowFlags() & Qt::FramelessWindowHint);

        dialogSettings().defaultCaption = QStringLiteral("Quorin");
        MessageDialog fallback(request(QStringLiteral("!"), QStringLiteral("x"), QString(), QString()));
        QCOMPARE(fallback.windowTitle(), QStringLiteral("Quorin"));
        QVERIFY(fallback.hasCaptionBar());
    }

    // The arrow cursor while the dialog waits (whatever the program showed),
    // the program's cursor back afterwards; the text left of no icon.
    void cursorAndPlaceOfText()
    {
        Answerer answer;
        QRect label;
        answer.act = [&](MessageDialog &d) {
            label = d.findChild<QLabel *>(QStringLiteral("Message"))->geometry();
            QVERIFY(!button(d, 2));
            button(d, 1)->click();
        };
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        const QChar result = showMessageDialog(QStringLiteral("QRN"), QStringLiteral("!"),
                                               QStringLiteral("You have not chosen a Template file;Please do so"), QString());
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        QGuiApplication::restoreOverrideCursor();
        QCOMPARE(result, QChar(u'O'));
        QCOMPARE(answer.cursor, Qt::ArrowCursor);
        QCOMPARE(label.topLeft(), QPoint(52, 10));
        QVERIFY(MessageDialog::messageFont(dialogSettings()).bold());
    }

    void placementAndLongText()
    {
        dialogSettings().workArea = QRect(100, 50, 800, 600);
        MessageDialog inArea(request(QStringLiteral("I"), QStringLiteral("one;two")));
        QCOMPARE(inArea.pos(), QPoint((800 - inArea.width()) / 2 + 100, (600 - inArea.height()) / 2 + 50));

        // Too tall: kept in a work area that is part of the screen, cut to the whole screen.
        const QString manyLines = QStringList(200, QStringLiteral("line")).join(u';');
        QVERIFY(MessageDialog(request(QString(), manyLines)).height() > 600);
        dialogSettings().workArea = QRect();
        MessageDialog cut(request(QString(), manyLines));
        QCOMPARE(cut.height(), screen().height());
        QCOMPARE(cut.y(), 0);
        QVERIFY(button(cut, 1)->geometry().bottom() < cut.height());

        // More than 255 characters, lines wider than the area: all shown, wrapped,
        // and the buttons stay below the wrapped text.
        const QString longLine = QStringList(60, QStringLiteral("word")).join(u' ');
        const QString text = longLine + u';' + longLine;
        dialogSettings().workArea = QRect(0, 0, 400, 2000);
        MessageDialog wide(request(QStringLiteral("!"), text));
        auto *label = wide.findChild<QLabel *>(QStringLiteral("Message"));
        QCOMPARE(label->text(), QString(text).replace(u';', u'\n'));
        QCOMPARE(wide.width(), 400);
        QCOMPARE(label->geometry().right(), 400 - 10 - 1);
        QCOMPARE(label->height(), label->heightForWidth(label->width()));
        QVERIFY(label->height() > 2 * wide.layoutInfo().lineHeight);
        QCOMPARE(button(wide, 1)->y(), label->geometry().bottom() + 1 + 10);
    }

    void settingsReachTheWindow()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("logo.png"));
        QImage logo(40, 60, QImage::Format_RGB32);
        logo.fill(Qt::blue);
        QVERIFY(logo.save(file));

        DialogSettings &s = dialogSettings();
        s.pictureFile = file;
        s.textColor = QColor(0, 0, 128);
        s.dialogColor = QColor(255, 255, 224);
        s.buttonTextColor = QColor(128, 0, 0);
        QFont over(QStringLiteral("Serif"));
        over.setPixelSize(17);
        over.setItalic(true);
        s.fontOverride = over;

        MessageDialog d(request(QStringLiteral("I"), QStringLiteral("one line")));
        QCOMPARE(d.palette().color(QPalette::Window), s.dialogColor);
        QCOMPARE(d.findChild<QLabel *>(QStringLiteral("Message"))->palette().color(QPalette::WindowText), s.textColor);
        QCOMPARE(button(d, 1)->palette().color(QPalette::ButtonText), s.buttonTextColor);
        QCOMPARE(d.font().family(), QStringLiteral("Serif"));
        QCOMPARE(d.font().pixelSize(), 17);
        QVERIFY(d.font().italic() && d.font().bold()); // what the override leaves unset stays
        QCOMPARE(d.layoutInfo().lineHeight, QFontMetrics(d.font()).height());

        // The picture sits right of the text.
        QCOMPARE(d.findChild<QLabel *>(QStringLiteral("Picture"))->geometry(), QRect(d.width() - 50, 10, 40, 60));
        s.pictureFile = dir.filePath(QStringLiteral("missing.png"));
        QVERIFY(!MessageDialog(request(QStringLiteral("I"), QStringLiteral("x"))).findChild<QLabel *>(QStringLiteral("Picture")));
    }

    void inputMode()
    {
        Answerer answer;
        QString value = QStringLiteral("old");
        answer.act = [](MessageDialog &d) {
            auto *edit = d.findChild<QLineEdit *>(QStringLiteral("Edit"));
            QCOMPARE(edit->text(), QStringLiteral("old"));
            QCOMPARE(button(d, 2)->text(), QStringLiteral("&Cancel"));
            QVERIFY(edit->geometry().bottom() < button(d, 1)->y() && edit->width() >= 200);
            edit->setText(QStringLiteral("new value"));
            QTest::keyClick(edit, Qt::Key_Return); // Enter presses the first button
        };
        QCOMPARE(showMessageInputDialog(QStringLiteral("QRN"), QString(), QStringLiteral("Name:"), value), QChar(u'O'));
        QCOMPARE(value, QStringLiteral("new value"));

        answer.act = [](MessageDialog &d) {
            d.findChild<QLineEdit *>(QStringLiteral("Edit"))->setText(QStringLiteral("dropped"));
            button(d, 2)->click();
        };
        QCOMPARE(showMessageInputDialog(QStringLiteral("QRN"), QString(), QStringLiteral("Name:"), value), QChar(u'C'));
        QCOMPARE(value, QStringLiteral("new value"));
    }
};

QTEST_MAIN(TestMessageDialog)
#include "tst_messagedialog.moc"
