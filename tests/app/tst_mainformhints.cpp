// The hint panel: every change of the application's hint paints it yellow
// with the text, Timer1 turns it back to the menu colour four seconds after
// the first hint of a series. Menu items and toolbar controls feed it.

#include "mainformfixture.h"

#include "app/chrome/hintpanel.h"
#include "app/chrome/mainmenu.h"
#include "app/chrome/speedbar.h"

#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

class TestMainFormHints : public QObject
{
    Q_OBJECT

private slots:
    void hintSeriesAndTimer1()
    {
        MainFormFixture f;
        QVERIFY(f.showActive());
        HintPanel *panel = f.form->hintPanel();
        QTimer *timer1 = f.form->findChild<QTimer *>(QStringLiteral("Timer1"));
        QVERIFY(timer1);
        QVERIFY(panel->isHidden());

        f.form->setApplicationHint(QStringLiteral("first"));
        QVERIFY(panel->isVisible());
        QCOMPARE(panel->caption(), QStringLiteral("first"));
        QCOMPARE(panel->color(), HintPanel::hintColor());
        QVERIFY(timer1->isActive());
        const int series = timer1->timerId();

        // A second hint while Timer1 runs does not restart it.
        f.form->setApplicationHint(QStringLiteral("second"));
        QCOMPARE(panel->caption(), QStringLiteral("second"));
        QCOMPARE(timer1->timerId(), series);

        // The tick ends the series: empty, menu colour, still visible.
        f.form->timer1Timer();
        QVERIFY(!timer1->isActive());
        QVERIFY(panel->caption().isEmpty());
        QCOMPARE(panel->color(), HintPanel::menuColor());
        QVERIFY(panel->isVisible());

        // The next hint starts a new series.
        f.form->setApplicationHint(QStringLiteral("third"));
        QVERIFY(timer1->isActive());
        QCOMPARE(panel->color(), HintPanel::hintColor());

        // Timer1 really ends the series on its own.
        timer1->setInterval(20);
        timer1->start();
        QTRY_COMPARE(panel->color(), HintPanel::menuColor());

        // An empty hint starts a series too: yellow and empty.
        f.form->setApplicationHint(QString());
        QCOMPARE(panel->color(), HintPanel::hintColor());
        QVERIFY(panel->caption().isEmpty());
        QVERIFY(timer1->isActive());
    }

    void menuItemHintReachesPanel()
    {
        MainFormFixture f;
        QVERIFY(f.showActive());
        QMenu *file = f.form->mainMenu()->menu(QStringLiteral("FileMenu"));
        file->popup(f.form->mapToGlobal(QPoint(0, 0)));
        QVERIFY(QTest::qWaitForWindowExposed(file));
        file->setActiveAction(f.action("FileNewItem"));
        QCOMPARE(f.form->hintPanel()->caption(), QStringLiteral("Create a new file"));
        QCOMPARE(f.form->hintPanel()->color(), HintPanel::hintColor());
        // The status bar is never written.
        QVERIFY(f.form->statusBar()->currentMessage().isEmpty());
        file->close();

        // A status tip from anywhere in the window lands in the panel too.
        QStatusTipEvent tip(QStringLiteral("line one\nline two"));
        QApplication::sendEvent(f.form->centralWidget(), &tip);
        QCOMPARE(f.form->applicationHint(), QStringLiteral("line one\nline two"));
        QCOMPARE(f.form->hintPanel()->caption(), QStringLiteral("line one\nline two"));
    }

    void toolbarLongHints()
    {
        MainFormFixture f;
        QVERIFY(f.showActive());
        SpeedBar *bar = f.form->speedBar();
        QEvent enter(QEvent::Enter);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(bar->boldButton(), &enter);
        QCOMPARE(f.form->applicationHint(), QStringLiteral("Bold"));
        QApplication::sendEvent(bar->boldButton(), &leave);
        QVERIFY(f.form->applicationHint().isEmpty());

        // "Open|" has an empty long hint: the panel turns yellow and empty.
        f.form->setApplicationHint(QStringLiteral("something"));
        f.form->timer1Timer();
        QApplication::sendEvent(bar->openButton(), &enter);
        QVERIFY(f.form->applicationHint().isEmpty());
        QCOMPARE(f.form->hintPanel()->color(), HintPanel::hintColor());
    }
};

QTEST_MAIN(TestMainFormHints)
#include "tst_mainformhints.moc"
