// The two panes: which one a command picks, switching with Ctrl+W, and
// focusing a hidden pane.

#include "mainformfixture.h"

#include "app/commanderror.h"
#include "editor/richeditor.h"

#include <QtTest>

class TestMainFormPanes : public QObject
{
    Q_OBJECT

private slots:
    void testsDisagreeOnlyBeforeFirstHide()
    {
        MainFormFixture f;
        MainForm &form = *f.form;
        QVERIFY(f.showActive());
        QCOMPARE(form.templateFirstPane(), form.richEditEx1());
        QCOMPARE(form.informationFirstPane(), form.richEditEx2());

        form.showPane(Pane::Information);
        QCOMPARE(form.templateFirstPane(), form.richEditEx2());
        QCOMPARE(form.informationFirstPane(), form.richEditEx2());
        form.showPane(Pane::Template);
        QCOMPARE(form.templateFirstPane(), form.richEditEx1());
        QCOMPARE(form.informationFirstPane(), form.richEditEx1());
    }

    void ctrlWTwiceReturnsToFirstPane()
    {
        MainFormFixture f;
        MainForm &form = *f.form;
        QVERIFY(f.showActive());
        QCOMPARE(QApplication::focusWidget(), form.richEditEx1());

        // The real key: both items carry Ctrl+W and either may take it.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_W, Qt::ControlModifier);
        QVERIFY(form.richEditEx1()->isHidden());
        QVERIFY(form.richEditEx2()->isVisible());
        QCOMPARE(QApplication::focusWidget(), form.richEditEx2());

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_W, Qt::ControlModifier);
        QVERIFY(form.richEditEx1()->isVisible());
        QVERIFY(form.richEditEx2()->isHidden());
        QCOMPARE(QApplication::focusWidget(), form.richEditEx1());

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_W, Qt::ControlModifier);
        QCOMPARE(QApplication::focusWidget(), form.richEditEx2());
        // Both menu items switch.
        f.action("T1")->trigger();
        QCOMPARE(QApplication::focusWidget(), form.richEditEx1());
        f.action("Switch1")->trigger();
        QCOMPARE(QApplication::focusWidget(), form.richEditEx2());
        QVERIFY(form.richEditEx1()->isHidden());
        QVERIFY(f.dialogs->errors().isEmpty());
    }

    void focusingHiddenPaneFailsUnlessShown()
    {
        MainFormFixture f;
        MainForm &form = *f.form;
        QVERIFY(f.showActive());
        form.showPane(Pane::Information);
        try {
            form.focusPane(form.richEditEx1());
            QFAIL("focusing a hidden pane must fail");
        } catch (const CommandError &e) {
            QCOMPARE(e.message(), QStringLiteral("Cannot focus a disabled or invisible window"));
        }
        // Run as a command, the failure lands in the error box.
        form.runCommand([&form] { form.focusPane(form.richEditEx1()); });
        QCOMPARE(f.dialogs->errors(), QStringList{CommandError::cannotFocus()});
        QVERIFY(form.richEditEx1()->isHidden());
        // Showing it first makes it focusable.
        form.showAndFocusPane(Pane::Template);
        QVERIFY(form.richEditEx1()->isVisible());
        QVERIFY(form.richEditEx2()->isHidden());
        QCOMPARE(QApplication::focusWidget(), form.richEditEx1());
    }
};

QTEST_MAIN(TestMainFormPanes)
#include "tst_mainformpanes.moc"
