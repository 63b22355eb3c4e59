// Document Assembly through the window: choosing the files (menu and recent
// lists), the heading lookup under a left press, and "Do It" with its checks,
// wait panel, questions and failures. The merge itself is tested without one.

#include "mainformfixture.h"

#include "app/chrome/mainmenu.h"
#include "app/commands/assemblycommands.h"
#include "widgets/balloon.h"

#include <QLabel>
#include <QMenu>
#include <QSettings>
#include <QSignalSpy>

#include <functional>

namespace {

const QString headings = QStringLiteral("First heading\nfirst\nSecond heading\nsecond\nThird heading\nthird\n");

// Scripted answers, with a look at the window whenever a message is shown.
class WatchingDialogs : public ScriptedDialogs
{
public:
    std::function<void()> onMessage;
    QChar message(const QString &title, const QString &kind, const QString &text, const QString &buttons) override
    {
        if (onMessage)
            onMessage();
        return ScriptedDialogs::message(title, kind, text, buttons);
    }
};

struct Fixture : MainFormFixture
{
    explicit Fixture(WatchingDialogs *watching = new WatchingDialogs)
        : MainFormFixture(Show::Active, std::unique_ptr<ScriptedDialogs>(watching))
        , watch(watching)
    {
    }
    AssemblyCommands *commands() const { return form->assemblyCommands(); }
    Workspace &workspace() const { return form->workspace(); }
    QString templateFileName() const { return form->workspace().templateFileName(); }
    WatchingDialogs *watch;
};

} // namespace

class TestAssembly : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_f = std::make_unique<Fixture>();
    }
    void cleanup() { m_f.reset(); }

    // The dialog lists "*.inf" or "*.tem" and starts where the last one
    // ended; the chosen path is announced to the recent-files list. An odd
    // number of lines is reported, the file loaded and chosen all the same.
    void chooseFromTheMenu()
    {
        Fixture &f = *m_f;
        const Workspace &workspace = f.workspace();
        QSignalSpy informationChosen(f.commands(), &AssemblyCommands::informationFileChosen);
        QSignalSpy templateChosen(f.commands(), &AssemblyCommands::templateFileChosen);
        // Cancelled dialogs (no file queued) change nothing.
        f.action("EditInformationFile1")->trigger();
        f.action("EditTemplateFile1")->trigger();
        QCOMPARE(f.dialogs->openRequests().size(), 2);
        QVERIFY(workspace.informationFileName().isEmpty() && f.templateFileName().isEmpty());

        const QString info = file("client.inf", "Name\nSmith\nCity\n");
        f.choose("EditInformationFile1", info);
        QVERIFY(workspace.informationFileName() == info && workspace.paneFileName(Pane::Information) == info);
        QCOMPARE(f.form->windowTitle(), QStringLiteral("client.inf - QRN    Quorin"));
        QVERIFY(f.document()->isHidden());
        QCOMPARE(paneLines(f.info()), (QStringList{"Name", "Smith", "City"}));
        QCOMPARE(f.dialogs->messages().size(), 1);
        QCOMPARE(f.dialogs->messages().first().kind, QStringLiteral("!"));
        QVERIFY(f.dialogs->messages().first().text.startsWith(QStringLiteral(" There is a problem with this file;")));
        QCOMPARE(f.form->openDialog().directory, m_dir->path());

        // A template: the caption says "untitled", so that saving the
        // finished document never offers the template's name.
        const QString tem = file("Lease.tem", templateRtf("Tenant: @1"));
        f.choose("EditTemplateFile1", tem);
        QCOMPARE(f.templateFileName(), tem);
        QCOMPARE(f.form->windowTitle(), QStringLiteral("untitled - QRN    Quorin"));
        QVERIFY(f.info()->isHidden());
        QCOMPARE(paneLines(f.document()), (QStringList{"Tenant: @1", "End"}));
        QVERIFY(!f.modified());
        QCOMPARE(informationChosen.size(), 1);
        QCOMPARE(templateChosen.value(0).value(0).toString(), tem);

        // An unreadable file is reported; the chosen path stays, as the
        // state set before a load does, and the pane keeps its template.
        const QString missing = m_dir->filePath(QStringLiteral("gone.tem"));
        f.choose("EditTemplateFile1", missing);
        QCOMPARE(f.errors().size(), 1);
        QVERIFY(f.errors().first().contains(QStringLiteral("gone.tem")));
        QCOMPARE(f.templateFileName(), missing);
        QCOMPARE(paneLines(f.document()).first(), QStringLiteral("Tenant: @1"));
        QCOMPARE(workspace.paneFileName(Pane::Template), tem);
    }

    void replacingEditedPaneAsksFirst()
    {
        Fixture &f = *m_f;
        const QString first = file("first.inf", "H\nOld\n");
        const QString second = file("second.inf", "H\nNew\n");
        f.choose("EditInformationFile1", first);
        f.info()->insertPlainText(QStringLiteral("Edited "));

        // Cancel: the edited pane and every piece of state stay; No: the new
        // file replaces it.
        f.dialogs->setNextAnswer(QMessageBox::Cancel);
        f.choose("EditInformationFile1", second);
        QCOMPARE(f.workspace().informationFileName(), first);
        QCOMPARE(paneLines(f.info()).first(), QStringLiteral("Edited H"));
        f.dialogs->setNextAnswer(QMessageBox::No);
        f.choose("EditInformationFile1", second);
        QCOMPARE(f.workspace().informationFileName(), second);
        QCOMPARE(paneLines(f.info()), (QStringList{"H", "New"}));
        QCOMPARE(f.dialogs->questions(), QStringList(2, QStringLiteral("Save changes to %1?").arg(first)));

        // The template pane is asked about when a template from the
        // recent-files list replaces it.
        f.form->paneArea()->showOnly(Pane::Template);
        f.document()->insertPlainText(QStringLiteral("A letter"));
        const QString tem = file("t.tem", templateRtf("@1"));
        f.dialogs->setNextAnswer(QMessageBox::Cancel);
        f.commands()->mruFiles2MRUItemClick(tem);
        QCOMPARE(f.dialogs->questions().mid(2), QStringList{QStringLiteral("Save changes to untitled?")});
        QVERIFY(f.templateFileName().isEmpty());
        QCOMPARE(paneLines(f.document()), QStringList{QStringLiteral("A letter")});
        QVERIFY(f.errors().isEmpty());
    }

    // A file from a list: the caption is the path itself, the document's
    // name stays, and the list (which took the entry out) hears nothing. An
    // odd number of lines is reported here too.
    void recentFiles()
    {
        Fixture &f = *m_f;
        QSignalSpy chosen(f.commands(), &AssemblyCommands::informationFileChosen);
        const QString info = file("recent.inf", "H1\nV1\n");
        const QString tem = file("recent.tem", templateRtf("Hello @1"));
        f.workspace().setDocumentName(QStringLiteral("/some/letter.rtf"));
        f.commands()->mruFiles1MRUItemClick(info);
        QCOMPARE(f.form->windowTitle(), info);
        QCOMPARE(f.workspace().informationFileName(), info);
        QVERIFY(f.document()->isHidden());
        QVERIFY(f.dialogs->messages().isEmpty());
        f.commands()->mruFiles1MRUItemClick(file("odd.inf", "H1\nV1\nH2\n"));
        QCOMPARE(f.dialogs->messages().size(), 1);
        f.commands()->mruFiles2MRUItemClick(tem);
        QCOMPARE(f.form->windowTitle(), tem);
        QCOMPARE(f.templateFileName(), tem);
        QVERIFY(f.info()->isHidden());
        QCOMPARE(f.workspace().documentName(), QStringLiteral("/some/letter.rtf"));
        QCOMPARE(chosen.size(), 0);

        // A vanished file: the error box, no exception into the caller,
        // nothing changed.
        f.commands()->mruFiles2MRUItemClick(m_dir->filePath(QStringLiteral("gone.tem")));
        QCOMPARE(f.errors().size(), 1);
        QCOMPARE(f.templateFileName(), tem);
        QCOMPARE(f.form->windowTitle(), tem);
        QCOMPARE(paneLines(f.document()).first(), QStringLiteral("Hello @1"));
    }

    // The two "Recent Files" submenus: each directly above its Edit/Select
    // item, filled by the menu commands, emptied of an entry by its click,
    // and kept in the window's settings for the next run.
    void recentFilesMenus()
    {
        const QString settings = m_dir->filePath(QStringLiteral("quorin.ini"));
        const QString info = file("client.inf", "Name\nSmith\n");
        const QString tem = file("letter.tem", templateRtf("Dear @1"));
        const auto submenuAbove = [](MainFormFixture &f, const char *item) -> QMenu * {
            const QList<QAction *> items = f.form->mainMenu()->menu(QStringLiteral("AssemblyMenu"))->actions();
            const qsizetype at = items.indexOf(f.action(item));
            return at > 0 ? items.at(at - 1)->menu() : nullptr;
        };
        const auto names = [](QMenu *menu) {
            QStringList shown;
            for (QAction *action : menu->actions())
                shown.append(action->text());
            return shown;
        };
        {
            MainFormFixture f(Show::No, std::make_unique<ScriptedDialogs>(), settings);
            f.choose("EditInformationFile1", info);
            f.choose("EditTemplateFile1", tem);
            f.choose("EditInformationFile1", info); // again: still one entry
            QMenu *recentInfo = submenuAbove(f, "EditInformationFile1");
            QMenu *recentTem = submenuAbove(f, "EditTemplateFile1");
            QVERIFY(recentInfo && recentTem);
            QCOMPARE(recentInfo->title(), QStringLiteral("Recent Files"));
            // Two entries each at most: a name chosen again moves up.
            QVERIFY(names(recentInfo).first().startsWith(QStringLiteral("&1 ")));
            QVERIFY(names(recentInfo).first().endsWith(QStringLiteral("client.inf")));
            QVERIFY(!names(recentInfo).at(1).startsWith(QStringLiteral("&2")));
            QVERIFY(names(recentTem).first().endsWith(QStringLiteral("letter.tem")));
        }
        QSettings stored(settings, QSettings::IniFormat);
        QCOMPARE(stored.value(QStringLiteral("Software/My Application/MRU Items/F0")).toString(), info);
        QCOMPARE(stored.value(QStringLiteral("Software/My Application/MRU Items2/F0")).toString(), tem);

        // The next run offers them; a click loads the template and takes it
        // out of its list.
        MainFormFixture f(Show::No, std::make_unique<ScriptedDialogs>(), settings);
        QMenu *recentTem = submenuAbove(f, "EditTemplateFile1");
        QVERIFY(recentTem);
        recentTem->actions().first()->trigger();
        QCOMPARE(f.form->workspace().templateFileName(), tem);
        QCOMPARE(paneLines(f.document()).first(), QStringLiteral("Dear @1"));
        // The list rebuilt its submenu without the entry.
        recentTem = submenuAbove(f, "EditTemplateFile1");
        QVERIFY(!recentTem || !names(recentTem).first().endsWith(QStringLiteral("letter.tem")));
        QVERIFY(f.action("EditTemplateFile1")->isEnabled());
        QVERIFY(f.errors().isEmpty());
    }

    // A real left press on a token in the template pane: the selection it
    // leaves (the token alone; elsewhere none, the caret at the press) and
    // the balloon it shows. Without an information file the balloon is red
    // and in 11 points, a size it keeps.
    void headingLookup_data()
    {
        QTest::addColumn<QString>("information"); // empty: three headings
        QTest::addColumn<QString>("marker");
        QTest::addColumn<int>("selectionLength");
        QTest::addColumn<QString>("text"); // the balloon's; empty: no balloon
        QTest::newRow("token and space") << QString() << "@3 here" << 2 << "Third heading";
        QTest::newRow("several digits") << QString() << "@02 x" << 3 << "Second heading";
        QTest::newRow("comma after the token") << QString() << "@3, and" << 0 << QString();
        QTest::newRow("at the end of the text") << QString() << "@2" << 0 << QString();
        QTest::newRow("ordinary text") << QString() << "Party" << 0 << QString();
        QTest::newRow("no information file") << "one line only" << "@3 here" << 2
            << "You have not chosen an information file@You need to complete this step@or there will be nothing to merge";
    }

    void headingLookup()
    {
        QFETCH(QString, information);
        QFETCH(QString, marker);
        QFETCH(int, selectionLength);
        QFETCH(QString, text);
        Fixture &f = *m_f;
        f.info()->wideLines().setText(information.isEmpty() ? headings : information);
        // Typed, so that nothing follows the last token.
        f.document()->insertPlainText(QStringLiteral("Party @3 here, @3, and @9 there\nLine @1\nTwo @02 x @ home\nEnd @2"));
        Balloon *balloon = f.form->balloon();
        const int sizeBefore = balloon->font().pointSize();
        QPoint tip = pressAt(marker);
        QCOMPARE(f.document()->selStart(), f.document()->toPlainText().indexOf(marker));
        QCOMPARE(f.document()->selLength(), selectionLength);
        QCOMPARE(balloon->isVisible(), !text.isEmpty());
        if (text.isEmpty())
            return;
        const bool warning = !information.isEmpty();
        QCOMPARE(balloon->color(), warning ? QColor(0xFF, 0x00, 0x00) : QColor(0xFF, 0xFF, 0x00));
        QCOMPARE(balloon->font().pointSize(), warning ? 11 : sizeBefore);
        QVERIFY(shows(tip, text));
        QVERIFY(f.errors().isEmpty());
        if (!warning)
            return;
        f.info()->wideLines().setText(headings);
        tip = pressAt(marker);
        QCOMPARE(balloon->color(), QColor(0xFF, 0xFF, 0x00));
        QCOMPARE(balloon->font().pointSize(), 11);
        QVERIFY(shows(tip, QStringLiteral("Third heading")));
    }

    // A click and a key, as a user edits a template: the key types where
    // the click put the caret, and replaces only a token the click selected.
    void clickThenType_data()
    {
        QTest::addColumn<QString>("marker"); // clicked at its first character
        QTest::addColumn<QString>("expected");
        const QString text = QStringLiteral("Details @1 here\n\nEnd");
        QTest::newRow("inside a word") << "ails" << QString(text).replace("Details", "DetQails");
        QTest::newRow("blank line") << "\nEnd" << QString(text).replace("\n\n", "\nQ\n");
        QTest::newRow("token") << "@1" << QString(text).replace("@1", "Q");
        QTest::newRow("token, between its @ and digit") << "1 here" << QString(text).replace("@1", "Q");
    }

    void clickThenType()
    {
        QFETCH(QString, marker);
        QFETCH(QString, expected);
        Fixture &f = *m_f;
        f.info()->wideLines().setText(headings);
        f.document()->setPlainText(QStringLiteral("Details @1 here\n\nEnd"));
        pressAt(marker);
        QTest::keyClick(f.document(), 'Q');
        QCOMPARE(f.document()->toPlainText(), expected);
    }

    // Other buttons look nothing up, pressed or called directly as the
    // recent press handlers might.
    void headingLookupTakesTheLeftButtonOnly()
    {
        Fixture &f = *m_f;
        f.document()->wideLines().setText(QStringLiteral("Party @3 here"));
        f.info()->wideLines().setText(headings);
        pressAt(QStringLiteral("@3"), Qt::MiddleButton);
        QVERIFY(f.form->balloon()->isHidden());
        QCOMPARE(f.document()->selLength(), 0);
        f.commands()->richEditEx1MouseDown(Qt::RightButton, QPoint());
        QVERIFY(f.form->balloon()->isHidden());
    }

    // As a user does it, with the keys: the finished document replaces the
    // template in the pane, as a new document of no file. A value of braces
    // that do not balance goes in as text.
    void doIt_data()
    {
        QTest::addColumn<QByteArray>("information");
        QTest::addColumn<bool>("overwrite");
        QTest::addColumn<QString>("expected");
        QTest::newRow("insert") << QByteArray("Name\nSmith\n") << false << "Name: Smith______";
        QTest::newRow("overwrite") << QByteArray("Name\nSmith\n") << true << "Name: Smith___";
        QTest::newRow("braces") << QByteArray("Name\nSmith }}}} {Jnr\n") << false << "Name: Smith }}}} {Jnr______";
    }

    void doIt()
    {
        QFETCH(QByteArray, information);
        QFETCH(bool, overwrite);
        QFETCH(QString, expected);
        Fixture &f = *m_f;
        load(information, "Name: @1______");
        if (overwrite)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_T, Qt::ControlModifier);
        QCOMPARE(f.action("ToggleInsOverwrite1")->isChecked(), overwrite);
        const QString caption = f.form->windowTitle();
        bool panelHidden = false;
        bool documentShown = false;
        f.watch->onMessage = [&] {
            panelHidden = f.form->msgPanel()->isHidden();
            documentShown = !f.document()->isHidden();
        };

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_D, Qt::ControlModifier);

        QVERIFY(f.errors().isEmpty());
        QCOMPARE(f.dialogs->messages().size(), 1);
        QCOMPARE(f.dialogs->messages().first().title, QStringLiteral("1 replacements were made"));
        QCOMPARE(f.dialogs->messages().first().kind, QStringLiteral("I"));
        QVERIFY(panelHidden && documentShown);
        QCOMPARE(f.form->msgPanel()->text(), QStringLiteral("1  replacements  "));
        QCOMPARE(paneLines(f.document()), (QStringList{expected, "End"}));
        QVERIFY(f.info()->isHidden());
        QCOMPARE(QApplication::focusWidget(), f.document());
        QCOMPARE(f.form->windowTitle(), caption);
        QCOMPARE(f.templateFileName(), m_template);
        QVERIFY(f.modified());
        QCOMPARE(f.workspace().paneFileName(Pane::Template), QStringLiteral("untitled"));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), (QStringList{"data.inf", "form.tem"}));
        QVERIFY(!QFile::exists(QStringLiteral("$$$")));
    }

    // Nothing is merged and the panes stay as they were: the checks look at
    // the panes, not at the chosen paths (a pane's text given replaces the
    // chosen file's); a template never chosen cannot be read; the merge
    // itself can fail.
    void doItRefuses_data()
    {
        QTest::addColumn<QString>("information");
        QTest::addColumn<QByteArray>("body"); // the template file's; empty: none chosen
        QTest::addColumn<QString>("document");
        QTest::addColumn<QString>("message"); // the message dialog's start, or else the error box's
        QTest::addColumn<bool>("errorBox");
        const QString info = QStringLiteral("A\na\nB\nb");
        QTest::newRow("one line of information") << "Only a heading" << QByteArray("@1") << QString()
            << "You have not chosen an information file;Please do so" << false;
        QTest::newRow("one line of template") << info << QByteArray("@1") << "one line"
            << "You have not chosen a Template file;Please do so" << false;
        QTest::newRow("no template chosen") << info << QByteArray() << "@1\nx" << "Cannot open file" << true;
        QTest::newRow("entry beyond the file") << info << QByteArray("@1 @3 ") << QString()
            << "Your TEMPLATE file contains a value;that is not in the INFORMATION file ;"
               "Please correct the error before proceeding" << false;
        QTest::newRow("integer overflow") << info << QByteArray("@1073741824 ") << QString() << "Integer overflow" << true;
    }

    void doItRefuses()
    {
        QFETCH(QString, information);
        QFETCH(QByteArray, body);
        QFETCH(QString, document);
        QFETCH(QString, message);
        QFETCH(bool, errorBox);
        Fixture &f = *m_f;
        if (!body.isEmpty())
            load(information.toUtf8(), body);
        f.info()->wideLines().setText(information);
        if (!document.isEmpty()) {
            f.document()->wideLines().setText(document);
            f.document()->document()->setModified(false);
        }
        const QStringList before = paneLines(f.document());
        const QString paneFile = f.workspace().paneFileName(Pane::Template);
        bool panelHidden = false;
        f.watch->onMessage = [&] { panelHidden = f.form->msgPanel()->isHidden(); };
        f.action("DoIt1")->trigger();
        const QString shown = errorBox ? f.errors().value(0) : f.dialogs->messages().value(0).text;
        QVERIFY2(shown.startsWith(message), qPrintable(shown));
        QCOMPARE(f.errors().size() + f.dialogs->messages().size(), 1);
        QVERIFY(panelHidden || errorBox);
        QVERIFY(f.form->msgPanel()->isHidden());
        QCOMPARE(paneLines(f.document()), before);
        QVERIFY(!f.modified());
        QCOMPARE(f.workspace().paneFileName(Pane::Template), paneFile);
    }

    void unsavedTemplateIsAskedAboutBeforeMerge()
    {
        Fixture &f = *m_f;
        load("Name\nSmith\n", "Dear @1");
        QTextCursor cursor(f.document()->document());
        cursor.movePosition(QTextCursor::EndOfBlock);
        cursor.insertText(QStringLiteral(", thanks"));

        // Only the merge warns that it reads the file; Cancel keeps the edit.
        f.dialogs->setNextAnswer(QMessageBox::Cancel);
        f.choose("EditTemplateFile1", m_template);
        f.dialogs->setNextAnswer(QMessageBox::Cancel);
        f.action("DoIt1")->trigger();
        QCOMPARE(f.dialogs->questions().first(), QStringLiteral("Save changes to %1?").arg(m_template));
        QVERIFY(f.dialogs->questions().last().startsWith(f.dialogs->questions().first() + QStringLiteral("\n\nThe merge reads")));
        QCOMPARE(paneLines(f.document()).first(), QStringLiteral("Dear @1, thanks"));

        // Yes saves it over the template, and the merge sees the edit.
        f.dialogs->setNextAnswer(QMessageBox::Yes);
        f.choose("DoIt1", m_template);
        QCOMPARE(f.dialogs->saveRequests().first().fileName, m_template);
        QCOMPARE(paneLines(f.document()).first(), QStringLiteral("Dear Smith, thanks"));
        QVERIFY(f.dialogs->allAnswersUsed());

        // The finished document is asked about by its own name; the next
        // merge reads the template file afresh.
        f.info()->wideLines().put(1, QStringLiteral("Jones"));
        f.dialogs->setNextAnswer(QMessageBox::No);
        f.action("DoIt1")->trigger();
        QCOMPARE(f.dialogs->questions().last(), QStringLiteral("Save changes to untitled?"));
        QCOMPARE(paneLines(f.document()).first(), QStringLiteral("Dear Jones, thanks"));
    }

private:
    QString file(const char *name, const QByteArray &bytes) { return writeFile(*m_dir, QLatin1String(name), bytes); }

    void load(const QByteArray &information, const QByteArray &templateBody)
    {
        m_template = file("form.tem", templateRtf(templateBody));
        m_f->choose("EditInformationFile1", file("data.inf", information));
        m_f->choose("EditTemplateFile1", m_template);
        m_f->dialogs->clearRecords();
    }

    // Whether the balloon shows `text` at `tip`: drawing that again changes nothing.
    bool shows(QPoint tip, const QString &text)
    {
        Balloon *balloon = m_f->form->balloon();
        const QImage picture = balloon->picture();
        balloon->showBalloon(tip, text);
        return balloon->picture() == picture;
    }

    // Clicks at the first character of `marker` in the template pane;
    // returns the screen point.
    QPoint pressAt(const QString &marker, Qt::MouseButton button = Qt::LeftButton)
    {
        RichEditor *pane = m_f->document();
        QTextCursor cursor(pane->document());
        cursor.setPosition(pane->toPlainText().indexOf(marker));
        const QRect caret = pane->cursorRect(cursor);
        const QPoint point(caret.left() + 2, caret.center().y());
        m_f->form->balloon()->hideBalloon();
        QTest::mouseClick(pane->viewport(), button, {}, point);
        return pane->viewport()->mapToGlobal(point);
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Fixture> m_f;
    QString m_template;
};

QTEST_MAIN(TestAssembly)
#include "tst_assembly.moc"
