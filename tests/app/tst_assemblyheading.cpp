// The heading lookup: a real left press on a token in the template pane,
// the selection it leaves and the balloon it shows.

#include "assemblytestutil.h"

#include "app/commands/assemblycommands.h"
#include "widgets/balloon.h"

using namespace assemblytest;

namespace {

const QString info = QStringLiteral("First heading\nfirst\nSecond heading\nsecond\nThird heading\nthird\n");
const QString noInformation = QStringLiteral(
    "You have not chosen an information file@You need to complete this step@or there will be nothing to merge");

// A point inside the left half of the character at `position`.
QPoint pointOf(RichEditor *pane, int position)
{
    QTextCursor cursor(pane->document());
    cursor.setPosition(position);
    const QRect caret = pane->cursorRect(cursor);
    return QPoint(caret.left() + 2, caret.center().y());
}

// What a balloon with the shown one's settings draws for `text` at `tip`.
QImage referencePicture(const Balloon &shown, QPoint tip, const QString &text)
{
    Balloon reference;
    reference.setColor(shown.color());
    reference.setTextColor(shown.textColor());
    reference.setFont(shown.font());
    reference.setDivisionChar(shown.divisionChar());
    reference.setShape(shown.shape());
    reference.setTextAlign(shown.textAlign());
    reference.setAlign(shown.align());
    reference.showBalloon(tip, text);
    const QImage picture = reference.picture();
    reference.hideBalloon();
    return picture;
}

} // namespace

class TestAssemblyHeading : public QObject
{
    Q_OBJECT

private slots:
    void lookup_data()
    {
        QTest::addColumn<QString>("marker");
        QTest::addColumn<int>("selectionLength");
        QTest::addColumn<QString>("heading"); // empty: no balloon

        QTest::newRow("token and space") << "@3 here" << 3 << "Third heading";
        QTest::newRow("several digits") << "@02 x" << 4 << "Second heading";
        QTest::newRow("comma after the token") << "@3, and" << 3 << QString();
        QTest::newRow("at the end of the text") << "@2" << 2 << QString();
        QTest::newRow("ordinary text") << "Party" << 1 << QString();
    }

    void lookup()
    {
        QFETCH(QString, marker);
        QFETCH(int, selectionLength);
        QFETCH(QString, heading);

        MainFormFixture f;
        QVERIFY(f.showActive());
        RichEditor *pane = f.form->richEditEx1();
        f.form->richEditEx2()->wideLines().setText(info);
        // Typed, so that nothing follows the last token.
        pane->clear();
        pane->insertPlainText(QStringLiteral("Party @3 here, @3, and @9 there\nLine @1\nTwo @02 x @ home\nEnd @2"));
        QCOMPARE(pane->textLength(), int(pane->toPlainText().size()));
        Balloon *balloon = f.form->balloon();
        const int sizeBefore = balloon->font().pointSize();

        const QPoint tip = pressAt(f, marker);

        const int position = pane->toPlainText().indexOf(marker);
        QCOMPARE(pane->selStart(), position);
        QCOMPARE(pane->selLength(), selectionLength);
        if (heading.isEmpty()) {
            QVERIFY(balloon->isHidden());
            return;
        }
        QVERIFY(balloon->isVisible());
        QCOMPARE(balloon->color(), QColor(0xFF, 0xFF, 0x00));
        QCOMPARE(balloon->font().pointSize(), sizeBefore);
        QCOMPARE(balloon->balloonGeometry().textOrigins.size(), 1);
        QCOMPARE(balloon->picture(), referencePicture(*balloon, tip, heading));
        QVERIFY(f.dialogs->errors().isEmpty());
    }

    void noInformationFileShowsRedBalloonAtSize11()
    {
        MainFormFixture f;
        QVERIFY(f.showActive());
        f.form->richEditEx1()->wideLines().setText(QStringLiteral("Party @3 here"));
        f.form->richEditEx2()->wideLines().setText(QStringLiteral("one line only"));
        Balloon *balloon = f.form->balloon();

        QPoint tip = pressAt(f, QStringLiteral("@3"));
        QVERIFY(balloon->isVisible());
        QCOMPARE(balloon->color(), QColor(0xFF, 0x00, 0x00));
        QCOMPARE(balloon->font().pointSize(), 11);
        QCOMPARE(balloon->balloonGeometry().textOrigins.size(), 3);
        QCOMPARE(balloon->picture(), referencePicture(*balloon, tip, noInformation));

        // Once a file is there the heading shows in yellow; the size stays.
        f.form->richEditEx2()->wideLines().setText(info);
        tip = pressAt(f, QStringLiteral("@3"));
        QCOMPARE(balloon->color(), QColor(0xFF, 0xFF, 0x00));
        QCOMPARE(balloon->font().pointSize(), 11);
        QCOMPARE(balloon->picture(), referencePicture(*balloon, tip, QStringLiteral("Third heading")));

        // Other buttons do nothing, pressed or called directly as the recent
        // press handlers might.
        f.form->richEditEx1()->setSelection(0, 0);
        pressAt(f, QStringLiteral("@3"), Qt::MiddleButton);
        QVERIFY(balloon->isHidden());
        QCOMPARE(f.form->richEditEx1()->selLength(), 0);
        f.form->assemblyCommands()->richEditEx1MouseDown(Qt::RightButton, QPoint());
        QVERIFY(balloon->isHidden());
    }

private:
    // Presses at the first character of `marker` in the template pane;
    // returns the screen point.
    QPoint pressAt(MainFormFixture &f, const QString &marker, Qt::MouseButton button = Qt::LeftButton)
    {
        RichEditor *pane = f.form->richEditEx1();
        const int position = pane->toPlainText().indexOf(marker);
        if (position < 0)
            qFatal("marker not in the pane");
        const QPoint point = pointOf(pane, position);
        f.form->balloon()->hideBalloon();
        QTest::mousePress(pane->viewport(), button, {}, point);
        QTest::mouseRelease(pane->viewport(), button, {}, point);
        return pane->viewport()->mapToGlobal(point);
    }
};

QTEST_MAIN(TestAssemblyHeading)
#include "tst_assemblyheading.moc"
