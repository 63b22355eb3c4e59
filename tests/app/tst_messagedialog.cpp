// The message dialog: lines, buttons and the letters they answer with, icon
// and sound by kind, caption, cursor and placement.

#include "app/dialogs/messagedialog.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
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

QLabel *label(const QWidget &dialog, const char *name = "Message")
{
    return dialog.findChild<QLabel *>(QLatin1String(name));
}

MessageRequest request(const QString &kind, const QString &text, const QString &title = QStringLiteral("QRN"))
{
    return MessageRequest{title, kind, text, QString(), false, QString()};
}

QChar show(const QString &kind, const QString &buttons = QString(), const QString &title = QStringLiteral("QRN"))
{
    return showMessageDialog(title, kind, QStringLiteral("text"), buttons);
}

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
        QCOMPARE(label(dialog)->text(), lines.join(u'\n'));
    }

    void buttonsAndLetters()
    {
        QCOMPARE(parseButtonCaptions(QStringLiteral(" &Yes   &No ")), (QStringList{"&Yes", "&No"}));
        QCOMPARE(acceleratorLetter(QStringLiteral("E&xit")), QChar(u'X'));
        QCOMPARE(acceleratorLetter(QStringLiteral("retry")), QChar(u'R'));
        QCOMPARE(acceleratorLetter(QStringLiteral("ok&")), QChar(u'O'));

        // Equal widths, 10 apart, the row centred; the second answers "N".
        Answerer answer;
        answer.act = [](MessageDialog &d) {
            const QRect yes = button(d, 1)->geometry();
            QVERIFY(yes.width() == button(d, 2)->width() && !button(d, 3));
            QCOMPARE(button(d, 2)->x(), yes.right() + 1 + 10);
            QCOMPARE(yes.left(), d.width() - 1 - button(d, 2)->geometry().right());
            button(d, 2)->click();
        };
        QCOMPARE(show(QStringLiteral("?"), QStringLiteral("&Yes &No")), QChar(u'N'));

        // Closing otherwise answers with the last button, whatever the buttons.
        answer.act = [](MessageDialog &d) { d.close(); };
        QCOMPARE(show(QStringLiteral("!")), QChar(u'O'));
        QCOMPARE(show(QString(), QStringLiteral("&Yes &No &Cancel")), QChar(u'C'));
        answer.act = [](MessageDialog &d) { QTest::keyClick(&d, Qt::Key_Escape); };
        QCOMPARE(show(QStringLiteral("H"), QStringLiteral("&Abort"), QString()), QChar(u'A'));
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
            QLabel *icon = label(d, "Icon");
            QCOMPARE(icon != nullptr, pixmap >= 0);
            if (icon) {
                const QIcon expected = d.style()->standardIcon(QStyle::StandardPixmap(pixmap), nullptr, &d);
                QCOMPARE(icon->pixmap().toImage(), expected.pixmap(32, 32).toImage());
                QVERIFY(label(d)->x() > icon->geometry().right());
            }
        };
        show(kind);
        QCOMPARE(answer.sounds, QList<MessageSound>{sound});
        dialogSettings().sound = false;
        show(kind);
        QCOMPARE(answer.sounds.size(), 1);
    }

    // Leading spaces go; no caption at all means no caption bar; an empty
    // title takes the default caption.
    void captionAndCursor()
    {
        MessageDialog spaced(request(QString(), QStringLiteral("x"), QStringLiteral("   QRN ")));
        QCOMPARE(spaced.windowTitle(), QStringLiteral("QRN "));
        QVERIFY(!(spaced.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        MessageDialog bare(request(QStringLiteral("!"), QStringLiteral("x"), QStringLiteral("  ")));
        QVERIFY(!bare.hasCaptionBar() && (bare.windowFlags() & Qt::FramelessWindowHint));
        dialogSettings().defaultCaption = QStringLiteral("Quorin");
        MessageDialog fallback(request(QStringLiteral("!"), QStringLiteral("x"), QString()));
        QCOMPARE(fallback.windowTitle(), QStringLiteral("Quorin"));
        QVERIFY(fallback.hasCaptionBar());

        // The arrow cursor while a dialog waits, whatever the program showed;
        // the program's cursor back afterwards.
        Answerer answer;
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        show(QStringLiteral("!"));
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        QGuiApplication::restoreOverrideCursor();
        QCOMPARE(answer.cursor, Qt::ArrowCursor);
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
        QCOMPARE(cut.height(), QGuiApplication::primaryScreen()->geometry().height());
        QCOMPARE(cut.y(), 0);
        QVERIFY(button(cut, 1)->geometry().bottom() < cut.height());

        // More than 255 characters, lines wider than the area: all shown,
        // wrapped, and the buttons stay below the wrapped text.
        const QString longLine = QStringList(60, QStringLiteral("word")).join(u' ');
        dialogSettings().workArea = QRect(0, 0, 400, 2000);
        MessageDialog wide(request(QStringLiteral("!"), longLine + u';' + longLine));
        QLabel *text = label(wide);
        QCOMPARE(text->text(), longLine + u'\n' + longLine);
        QCOMPARE(wide.width(), 400);
        QCOMPARE(text->geometry().right(), 400 - 10 - 1);
        QCOMPARE(text->height(), text->heightForWidth(text->width()));
        QVERIFY(text->height() > 2 * wide.layoutInfo().lineHeight);
        QCOMPARE(button(wide, 1)->y(), text->geometry().bottom() + 1 + 10);
    }
};

QTEST_MAIN(TestMessageDialog)
#include "tst_messagedialog.moc"
