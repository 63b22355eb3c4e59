// The two panes: which one a command picks, switching with Ctrl+W, where
// the focus goes when a pane is hidden (also while another window is
// active), and focusing a hidden pane.

#include "assemblytestutil.h"

#include "app/commanderror.h"
#include "app/commands/assemblycommands.h"

using namespace assemblytest;

class TestMainFormPanes : public QObject
{
    Q_OBJECT

private slots:
    void testsDisagreeOnlyBeforeFirstHide()
    {
        MainFormFixture f;
        QVERIFY(f.showActive());
        PaneArea *panes = f.form->paneArea();
        QCOMPARE(panes->templateFirstPane(), f.form->richEditEx1());
        QCOMPARE(panes->informationFirstPane(), f.form->richEditEx2());
        for (Pane role : {Pane::Information, Pane::Template}) {
            panes->showOnly(role);
            QCOMPARE(panes->templateFirstPane(), f.form->pane(role));
            QCOMPARE(panes->informationFirstPane(), f.form->pane(role));
        }
    }

    void ctrlWSwitchesAndFocuses()
    {
        MainFormFixture f;
        QVERIFY(f.showActive());
        // The real key: both items carry Ctrl+W and either may take it.
        for (RichEditor *expected : {f.form->richEditEx2(), f.form->richEditEx1(), f.form->richEditEx2()}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_W, Qt::ControlModifier);
            QVERIFY(expected->isVisible());
            QCOMPARE(QApplication::focusWidget(), expected);
        }
        QVERIFY(f.form->richEditEx1()->isHidden());
        f.action("T1")->trigger();
        QCOMPARE(QApplication::focusWidget(), f.form->richEditEx1());
        f.action("Switch1")->trigger();
        QCOMPARE(QApplication::focusWidget(), f.form->richEditEx2());
        QVERIFY(f.dialogs->errors().isEmpty());
    }

    // While another window is active no widget of ours "has" the focus, yet
    // the window remembers which one gets it back. A pane hidden then must
    // not keep it, or the user's next keys go into the hidden pane.
    void focusFollowsThePaneShownWhileInactive()
    {
        QTemporaryDir dir;
        const QString tem = writeFile(dir, QStringLiteral("t.tem"), templateRtf("Hello"));
        const QString inf = writeFile(dir, QStringLiteral("a.inf"), "H\nV\n");
        MainFormFixture f;
        QVERIFY(f.showActive());
        QWidget other;
        const auto deactivate = [&] {
            other.show();
            other.activateWindow();
            return QTest::qWaitForWindowActive(&other);
        };

        QVERIFY(deactivate());
        QCOMPARE(f.form->focusWidget(), f.form->richEditEx1());
        f.form->assemblyCommands()->mruFiles1MRUItemClick(inf);
        QVERIFY(f.form->richEditEx1()->isHidden());
        QCOMPARE(f.form->focusWidget(), f.form->richEditEx2());
        f.form->assemblyCommands()->mruFiles2MRUItemClick(tem);
        QCOMPARE(f.form->focusWidget(), f.form->richEditEx1());
        f.form->t1Click();
        QCOMPARE(f.form->focusWidget(), f.form->richEditEx2());

        // Back in the window, typing goes into the pane in view.
        QVERIFY(f.showActive());
        QCOMPARE(QApplication::focusWidget(), f.form->richEditEx2());
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("x"));
        QCOMPARE(f.form->richEditEx2()->wideLines().get(0), QStringLiteral("xH"));
        QVERIFY(f.dialogs->errors().isEmpty());
    }

    void focusingHiddenPaneFailsUnlessShown()
    {
        MainFormFixture f;
        QVERIFY(f.showActive());
        PaneArea *panes = f.form->paneArea();
        panes->showOnly(Pane::Information);
        f.form->runCommand([&f] { PaneArea::focusPane(f.form->richEditEx1()); });
        QCOMPARE(f.dialogs->errors(), QStringList{QStringLiteral("Cannot focus a disabled or invisible window")});
        QVERIFY(f.form->richEditEx1()->isHidden());
        // Showing it first makes it focusable.
        panes->showAndFocus(Pane::Template);
        QVERIFY(f.form->richEditEx2()->isHidden());
        QCOMPARE(QApplication::focusWidget(), f.form->richEditEx1());
    }
};

QTEST_MAIN(TestMainFormPanes)
#include "tst_mainformpanes.moc"
