// "Do It" through the window: its own pane checks, the finished document in
// the template pane with the wait panel, focus and names around it, the
// unsaved-changes question, and a failure that leaves the panes alone. What
// the merge makes of a template is tested without a window.

#include "assemblytestutil.h"

#include <QDir>
#include <QLabel>

#include <functional>

using namespace assemblytest;

namespace {

// Scripted answers, with a look at the window whenever a message is shown.
class WatchingDialogs : public ScriptedDialogs
{
public:
    std::function<void()> onMessage;

    QChar message(const QString &title, const QString &kind, const QString &text,
                  const QString &buttons) override
    {
        if (onMessage)
            onMessage();
        return ScriptedDialogs::message(title, kind, text, buttons);
    }
};

struct Fixture : MainFormFixture
{
    Fixture()
    {
        auto watching = std::make_unique<WatchingDialogs>();
        watch = watching.get();
        dialogs = watching.get();
        form = std::make_unique<MainForm>(std::move(watching));
        shown = showActive();
    }
    WatchingDialogs *watch = nullptr;
    bool shown = false;
};

// Counts the times a widget is shown.
class ShowCounter : public QObject
{
public:
    int shown = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        shown += event->type() == QEvent::Show;
        return false;
    }
};

} // namespace

class TestAssemblyMerge : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }

    void refusesWithoutPaneContents()
    {
        Fixture f;
        QVERIFY(f.shown);
        MainForm &form = *f.form;
        // The checks look at the panes, not at the chosen paths: one line is
        // not an Information file.
        form.richEditEx2()->wideLines().setText(QStringLiteral("Only a heading"));
        f.action("DoIt1")->trigger();
        form.richEditEx2()->wideLines().setText(QStringLiteral("H\nV"));
        form.richEditEx1()->wideLines().setText(QStringLiteral("one line"));
        f.action("DoIt1")->trigger();
        QCOMPARE(f.dialogs->messages().size(), 2);
        QCOMPARE(f.dialogs->messages().at(0).text, QStringLiteral("You have not chosen an information file;Please do so"));
        QCOMPARE(f.dialogs->messages().at(1).text, QStringLiteral("You have not chosen a Template file;Please do so"));
        QCOMPARE(f.dialogs->messages().at(1).kind, QStringLiteral("!"));

        // Both panes filled, but no template was ever chosen: the read fails.
        form.richEditEx1()->wideLines().setText(QStringLiteral("@1\nx"));
        form.richEditEx1()->document()->setModified(false);
        f.action("DoIt1")->trigger();
        QCOMPARE(f.dialogs->errors().size(), 1);
        QVERIFY(f.dialogs->errors().first().startsWith(QStringLiteral("Cannot open file")));
        QVERIFY(form.msgPanel()->isHidden());
        QCOMPARE(paneLines(form.richEditEx1()), (QStringList{"@1", "x"}));
    }

    void doIt_data()
    {
        QTest::addColumn<bool>("overwrite");
        QTest::addColumn<QString>("expected");
        QTest::newRow("insert") << false << "Name: Smith______";
        QTest::newRow("overwrite") << true << "Name: Smith___";
    }

    // As a user does it, with the keys: the finished document replaces the
    // template in the pane, as a new document of no file.
    void doIt()
    {
        QFETCH(bool, overwrite);
        QFETCH(QString, expected);
        Fixture f;
        QVERIFY(f.shown);
        MainForm &form = *f.form;
        load(f, "Name\nSmith\n", "Name: @1______");
        if (overwrite)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_T, Qt::ControlModifier);
        QCOMPARE(f.action("ToggleInsOverwrite1")->isChecked(), overwrite);
        const QString caption = form.windowTitle();
        bool panelHidden = false;
        bool documentShown = false;
        f.watch->onMessage = [&] {
            panelHidden = form.msgPanel()->isHidden();
            documentShown = !form.richEditEx1()->isHidden();
        };
        ShowCounter panelShows;
        form.msgPanel()->installEventFilter(&panelShows);

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_D, Qt::ControlModifier);

        QVERIFY(f.dialogs->errors().isEmpty());
        QCOMPARE(f.dialogs->messages().size(), 1);
        QCOMPARE(f.dialogs->messages().first().title, QStringLiteral("1 replacements were made"));
        QCOMPARE(f.dialogs->messages().first().kind, QStringLiteral("I"));
        QCOMPARE(panelShows.shown, 1);
        QVERIFY(panelHidden && documentShown);
        QCOMPARE(form.msgPanel()->text(), QStringLiteral("1  replacements  "));
        QCOMPARE(paneLines(form.richEditEx1()), (QStringList{expected, "End"}));
        QVERIFY(form.richEditEx2()->isHidden());
        QCOMPARE(QApplication::focusWidget(), form.richEditEx1());
        QCOMPARE(form.windowTitle(), caption);
        QCOMPARE(form.workspace().templateFileName(), m_template);
        QVERIFY(form.richEditEx1()->document()->isModified());
        QCOMPARE(form.workspace().paneFileName(Pane::Template), QStringLiteral("untitled"));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), (QStringList{"data.inf", "form.tem"}));
        QVERIFY(!QFile::exists(QStringLiteral("$$$")));
    }

    // A value of braces that do not balance goes in as text: the rest of the
    // template still follows it.
    void valueCannotBreakTheDocument()
    {
        Fixture f;
        QVERIFY(f.shown);
        load(f, "Name\nSmith }}}} {Jnr\n", "Dear @1 here");
        f.action("DoIt1")->trigger();
        QVERIFY(f.dialogs->errors().isEmpty());
        QCOMPARE(paneLines(f.form->richEditEx1()), (QStringList{"Dear Smith }}}} {Jnr here", "End"}));
    }

    void failureLeavesPanesAsTheyWere_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("message"); // the message dialog's, or else the error box's
        QTest::addColumn<bool>("errorBox");
        QTest::newRow("entry beyond the file") << QByteArray("@1 @3 ")
            << "Your TEMPLATE file contains a value;that is not in the INFORMATION file ;"
               "Please correct the error before proceeding" << false;
        QTest::newRow("integer overflow") << QByteArray("@1073741824 ") << "Integer overflow" << true;
    }

    void failureLeavesPanesAsTheyWere()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, message);
        QFETCH(bool, errorBox);
        Fixture f;
        QVERIFY(f.shown);
        MainForm &form = *f.form;
        load(f, "A\na\nB\nb\n", body);
        const QStringList before = paneLines(form.richEditEx1());
        bool panelHidden = false;
        f.watch->onMessage = [&] { panelHidden = form.msgPanel()->isHidden(); };

        f.action("DoIt1")->trigger();

        QCOMPARE(errorBox ? f.dialogs->errors().value(0) : f.dialogs->messages().value(0).text, message);
        QCOMPARE(f.dialogs->errors().size() + f.dialogs->messages().size(), 1);
        QVERIFY(panelHidden || errorBox);
        QVERIFY(form.msgPanel()->isHidden());
        QCOMPARE(paneLines(form.richEditEx1()), before);
        QVERIFY(!form.richEditEx1()->document()->isModified());
        QCOMPARE(form.workspace().paneFileName(Pane::Template), m_template);
    }

    void unsavedTemplateIsAskedAboutBeforeMerge()
    {
        Fixture f;
        QVERIFY(f.shown);
        MainForm &form = *f.form;
        load(f, "Name\nSmith\n", "Dear @1");
        QTextCursor cursor(form.richEditEx1()->document());
        cursor.movePosition(QTextCursor::EndOfBlock);
        cursor.insertText(QStringLiteral(", thanks"));

        // Cancel keeps the edited template.
        f.dialogs->setNextAnswer(QMessageBox::Cancel);
        f.action("DoIt1")->trigger();
        QCOMPARE(f.dialogs->questions().size(), 1);
        QVERIFY(f.dialogs->questions().first().contains(QStringLiteral("reads the Template file from disk")));
        QCOMPARE(paneLines(form.richEditEx1()).first(), QStringLiteral("Dear @1, thanks"));

        // Yes saves it over the template, and the merge sees the edit.
        f.dialogs->setNextAnswer(QMessageBox::Yes);
        f.dialogs->setNextFileName(m_template);
        f.action("DoIt1")->trigger();
        QCOMPARE(f.dialogs->saveRequests().first().fileName, m_template);
        QCOMPARE(paneLines(form.richEditEx1()).first(), QStringLiteral("Dear Smith, thanks"));
        QVERIFY(f.dialogs->allAnswersUsed());

        // The finished document is asked about by its own name; the next
        // merge reads the template file afresh.
        form.richEditEx2()->wideLines().put(1, QStringLiteral("Jones"));
        f.dialogs->setNextAnswer(QMessageBox::No);
        f.action("DoIt1")->trigger();
        QCOMPARE(f.dialogs->questions().last(), QStringLiteral("Save changes to untitled?"));
        QCOMPARE(paneLines(form.richEditEx1()).first(), QStringLiteral("Dear Jones, thanks"));
    }

private:
    void load(Fixture &f, const QByteArray &information, const QByteArray &templateBody)
    {
        m_template = writeFile(*m_dir, QStringLiteral("form.tem"), templateRtf(templateBody));
        choose(f, "EditInformationFile1", writeFile(*m_dir, QStringLiteral("data.inf"), information));
        choose(f, "EditTemplateFile1", m_template);
        f.dialogs->clearRecords();
    }
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_template;
};

QTEST_MAIN(TestAssemblyMerge)
#include "tst_assemblymerge.moc"
