// "Do It" in the main window: the refusals and failures with their messages,
// the finished document in the template pane, the wait panel, overwrite
// mode, the unsaved-changes question, and whole runs over the samples.

#include "assemblytestutil.h"

#include "app/dialogs/messagedialog.h"
#include "testsupport.h"

#include <QBuffer>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextBlock>

#include <functional>

using namespace assemblytest;

namespace {

// Scripted answers, with a look at the window whenever a message is shown.
class WatchingDialogs : public ScriptedDialogs
{
public:
    std::function<void()> onMessage;
    // Passes messages on to the real message dialog (its answer hook set).
    bool realMessageDialog = false;

    QChar message(const QString &title, const QString &kind, const QString &text,
                  const QString &buttons) override
    {
        if (onMessage)
            onMessage();
        if (realMessageDialog)
            return Dialogs::message(title, kind, text, buttons);
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
    }
    WatchingDialogs *watch = nullptr;
};

// Counts the times a widget is shown.
class ShowCounter : public QObject
{
public:
    int shown = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Show)
            ++shown;
        return false;
    }
};

const QStringList doneLines{
    "You now have at least TWO choices",
    "1.   Print from this programme using appropriate menu items/buttons  OR",
    "",
    "2.   Select all  this text (ctrl A)",
    "3.    Copy/cut it to the Windows clipboard ",
    "4.    Paste it into your Word Procesing Programme"};

const QString notInInformation = QStringLiteral(
    "Your TEMPLATE file contains a value;that is not in the INFORMATION file ;"
    "Please correct the error before proceeding");

// The pane's default font is the desktop's, which differs between machines;
// the font table names it first.
QByteArray withoutDefaultFontName(QByteArray rtf)
{
    static const QRegularExpression defaultFont(QStringLiteral("\\{\\\\f0\\\\fnil\\\\fcharset0 [^;{}]*;\\}"));
    QString text = QString::fromLatin1(rtf);
    text.replace(defaultFont, QStringLiteral("{\\f0\\fnil\\fcharset0 default;}"));
    return text.toLatin1();
}

QByteArray paneRtf(RichEditor *pane)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    pane->saveToStream(buffer);
    return buffer.data();
}

} // namespace

class TestAssemblyMerge : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void cleanup()
    {
        MessageDialog::setAnswerHook({});
    }

    void refusesWithoutPaneContents()
    {
        Fixture f;
        QVERIFY(f.showActive());
        MainForm &form = *f.form;

        // Nothing loaded: the information pane is checked first.
        f.action("DoIt1")->trigger();
        QCOMPARE(f.dialogs->messages().size(), 1);
        QCOMPARE(f.dialogs->messages().at(0).title, QStringLiteral("QRN"));
        QCOMPARE(f.dialogs->messages().at(0).kind, QStringLiteral("!"));
        QCOMPARE(f.dialogs->messages().at(0).text,
                 QStringLiteral("You have not chosen an information file;Please do so"));

        // The test looks at the panes, not at the chosen paths: an
        // information file of one line is not enough.
        form.richEditEx2()->wideLines().setText(QStringLiteral("Only a heading"));
        f.action("DoIt1")->trigger();
        QCOMPARE(f.dialogs->messages().size(), 2);
        QCOMPARE(f.dialogs->messages().at(1).text,
                 QStringLiteral("You have not chosen an information file;Please do so"));

        form.richEditEx2()->wideLines().setText(QStringLiteral("H\nV"));
        form.richEditEx1()->wideLines().setText(QStringLiteral("one line"));
        f.action("DoIt1")->trigger();
        QCOMPARE(f.dialogs->messages().size(), 3);
        QCOMPARE(f.dialogs->messages().at(2).kind, QStringLiteral("!"));
        QCOMPARE(f.dialogs->messages().at(2).text,
                 QStringLiteral("You have not chosen a Template file;Please do so"));
        QCOMPARE(paneLines(form.richEditEx1()), QStringList{QStringLiteral("one line")});
        QVERIFY(form.msgPanel()->isHidden());
        QVERIFY(f.dialogs->errors().isEmpty());

        // Two lines in each pane, but no template was ever chosen.
        form.richEditEx1()->wideLines().setText(QStringLiteral("@1\nx"));
        form.richEditEx1()->document()->setModified(false);
        f.action("DoIt1")->trigger();
        QCOMPARE(f.dialogs->errors(), QStringList{QStringLiteral("Cannot open file ")});
        QCOMPARE(f.dialogs->messages().size(), 3);
        QVERIFY(form.msgPanel()->isHidden());
        QCOMPARE(paneLines(form.richEditEx1()), (QStringList{"@1", "x"}));
    }

    void insertAndOverwrite_data()
    {
        QTest::addColumn<bool>("overwrite");
        QTest::addColumn<QByteArray>("information");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("bold"); // a word the value made bold
        QTest::newRow("insert") << false << QByteArray("Name\nSmith\n") << QByteArray("Name: @1______")
                                << "Name: Smith______" << 1 << QString();
        QTest::newRow("overwrite") << true << QByteArray("Name\nSmith\n") << QByteArray("Name: @1______")
                                   << "Name: Smith___" << 1 << QString();
        QTest::newRow("overwrite pads") << true
                                        << QByteArray("1\n1\n2\n2\n3\n3\n4\n4\n5\n5\n6\n6\n7\n7\n8\n8\n"
                                                      "9\n9\n10\n10\n11\n11\nTwelve\nAl\n")
                                        << QByteArray("[@12]") << "[Al ]" << 1 << QString();
        // The first "@" is not followed by a digit: the merge ends there.
        QTest::newRow("e-mail address") << false << QByteArray("A\nx\n")
                                        << QByteArray("mail me@home.org about @1") << "mail me@home.org about @1"
                                        << 0 << QString();
        // "ë" and "€" are in the pane's code page (1252), "Ł" is not.
        QTest::newRow("other code pages") << false << QStringLiteral("Name\nZoë Łukasz €5\n").toUtf8()
                                          << QByteArray("To @1 now") << "To Zoë Łukasz €5 now" << 1 << QString();
        // The value is RTF.
        QTest::newRow("value acts as RTF") << false << QByteArray("Name\n\\b Smith\\b0 \n")
                                           << QByteArray("Dear @1 here") << "Dear Smith here" << 1 << "Smith";
    }

    void insertAndOverwrite()
    {
        QFETCH(bool, overwrite);
        QFETCH(QByteArray, information);
        QFETCH(QByteArray, body);
        QFETCH(QString, expected);
        QFETCH(int, count);
        QFETCH(QString, bold);

        Fixture f;
        QVERIFY(f.showActive());
        MainForm &form = *f.form;
        load(f, information, body);
        if (overwrite)
            f.action("ToggleInsOverwrite1")->trigger();
        const QString caption = form.windowTitle();
        // When the closing message appears the panel is gone and the finished
        // document shown.
        bool panelHidden = false;
        bool documentShown = false;
        f.watch->onMessage = [&] {
            panelHidden = form.msgPanel()->isHidden();
            documentShown = !form.richEditEx1()->isHidden();
        };
        ShowCounter panelShows;
        form.msgPanel()->installEventFilter(&panelShows);

        f.action("DoIt1")->trigger();

        QCOMPARE(f.dialogs->messages().size(), 1);
        const ScriptedDialogs::MessageCall &done = f.dialogs->messages().first();
        QCOMPARE(done.title, QStringLiteral("%1 replacements were made").arg(count));
        QCOMPARE(done.kind, QStringLiteral("I"));
        QCOMPARE(done.buttons, QString());
        QCOMPARE(done.text.split(u';'), doneLines);
        QCOMPARE(panelShows.shown, 1);
        QVERIFY(panelHidden);
        QVERIFY(documentShown);
        QVERIFY(f.dialogs->errors().isEmpty());

        QCOMPARE(paneLines(form.richEditEx1()), (QStringList{expected, "End"}));
        QVERIFY(form.richEditEx2()->isHidden());
        QCOMPARE(QApplication::focusWidget(), form.richEditEx1());
        QCOMPARE(form.windowTitle(), caption);
        QCOMPARE(form.templateFileName(), m_template);
        // A new document, not yet saved anywhere, and not under the template's name.
        QVERIFY(form.richEditEx1()->document()->isModified());
        QCOMPARE(form.paneFileName(Pane::Template), QStringLiteral("untitled"));
        if (count > 0)
            QCOMPARE(form.msgPanel()->text(), QStringLiteral("%1  replacements  ").arg(count));
        // No "$$$" left behind, here or in the current folder.
        QVERIFY(!QFile::exists(QStringLiteral("$$$")));
        QVERIFY(!QFile::exists(m_dir->filePath(QStringLiteral("$$$"))));
        QTextCursor cursor(form.richEditEx1()->document());
        cursor.setPosition(2);
        QVERIFY(cursor.charFormat().fontWeight() != int(QFont::Bold));
        if (!bold.isEmpty()) {
            cursor.setPosition(expected.indexOf(bold) + 1);
            QCOMPARE(cursor.charFormat().fontWeight(), int(QFont::Bold));
        }
    }

    void failuresLeavePanesAsTheyWere_data()
    {
        QTest::addColumn<QByteArray>("information");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("text"); // the message, or else the error box's text
        QTest::addColumn<bool>("error");
        QTest::newRow("entry beyond the file") << QByteArray("A\na\nB\nb\n") << QByteArray("@1 @3 ")
                                               << notInInformation << false;
        QTest::newRow("@0") << QByteArray("A\na\n") << QByteArray("zero @0 ") << notInInformation << false;
        QTest::newRow("value refers to itself")
            << QByteArray("A\nsee @1 \n") << QByteArray("@1 ")
            << QStringLiteral("Your INFORMATION file contains a value;that refers to itself "
                              "(entry 1 leads back to @1);Please correct the error before proceeding")
            << false;
        QTest::newRow("integer overflow") << QByteArray("A\na\n") << QByteArray("@1073741824 ")
                                          << QStringLiteral("Integer overflow") << true;
    }

    void failuresLeavePanesAsTheyWere()
    {
        QFETCH(QByteArray, information);
        QFETCH(QByteArray, body);
        QFETCH(QString, text);
        QFETCH(bool, error);

        Fixture f;
        QVERIFY(f.showActive());
        MainForm &form = *f.form;
        load(f, information, body);
        const QStringList before = paneLines(form.richEditEx1());
        bool panelHidden = false;
        f.watch->onMessage = [&] { panelHidden = form.msgPanel()->isHidden(); };

        f.action("DoIt1")->trigger();

        if (error) {
            QCOMPARE(f.dialogs->errors(), QStringList{text});
            QVERIFY(f.dialogs->messages().isEmpty());
        } else {
            QVERIFY(f.dialogs->errors().isEmpty());
            QCOMPARE(f.dialogs->messages().size(), 1);
            QCOMPARE(f.dialogs->messages().first().title, QStringLiteral("QRN"));
            QCOMPARE(f.dialogs->messages().first().kind, QStringLiteral("H"));
            QCOMPARE(f.dialogs->messages().first().text, text);
            QVERIFY(panelHidden);
        }
        QVERIFY(form.msgPanel()->isHidden());
        QCOMPARE(paneLines(form.richEditEx1()), before);
        QVERIFY(!form.richEditEx1()->document()->isModified());
        QVERIFY(!form.richEditEx1()->isHidden());
        QCOMPARE(form.paneFileName(Pane::Template), m_template);
    }

    void unsavedPanesAreAskedAboutBeforeMerge()
    {
        Fixture f;
        QVERIFY(f.showActive());
        MainForm &form = *f.form;
        load(f, "Name\nSmith\n", "Dear @1");
        // The user edits the template in the pane ...
        QTextCursor cursor(form.richEditEx1()->document());
        cursor.movePosition(QTextCursor::EndOfBlock);
        cursor.insertText(QStringLiteral(", thanks"));
        QVERIFY(form.hasUnsavedChanges(Pane::Template));

        // ... and Cancel keeps it.
        f.dialogs->setNextAnswer(QMessageBox::Cancel);
        f.action("DoIt1")->trigger();
        QCOMPARE(f.dialogs->questions().size(), 1);
        const QString question = f.dialogs->questions().first();
        QVERIFY2(question.startsWith(QStringLiteral("Save changes to %1?").arg(m_template)), qPrintable(question));
        QVERIFY2(question.contains(QStringLiteral("reads the Template file from disk")), qPrintable(question));
        QVERIFY(f.dialogs->messages().isEmpty());
        QCOMPARE(paneLines(form.richEditEx1()).first(), QStringLiteral("Dear @1, thanks"));

        // Yes saves it over the template, and the merge then sees the edit.
        f.dialogs->setNextAnswer(QMessageBox::Yes);
        f.dialogs->setNextFileName(m_template);
        f.action("DoIt1")->trigger();
        QCOMPARE(f.dialogs->saveRequests().size(), 1);
        QCOMPARE(f.dialogs->saveRequests().first().fileName, m_template);
        QCOMPARE(paneLines(form.richEditEx1()).first(), QStringLiteral("Dear Smith, thanks"));
        QCOMPARE(f.dialogs->messages().size(), 1);
        QVERIFY(f.dialogs->allAnswersUsed());
        f.dialogs->clearRecords();

        // The finished document is new and unsaved: a second merge asks about
        // it by its own name and then merges the template file afresh.
        form.richEditEx2()->wideLines().put(1, QStringLiteral("Jones"));
        f.dialogs->setNextAnswer(QMessageBox::No);
        f.action("DoIt1")->trigger();
        QCOMPARE(f.dialogs->questions(), QStringList{QStringLiteral("Save changes to untitled?")});
        QCOMPARE(paneLines(form.richEditEx1()).first(), QStringLiteral("Dear Jones, thanks"));
        QCOMPARE(f.dialogs->messages().size(), 1);
    }

    void shortcutAndRealMessageDialog()
    {
        Fixture f;
        QVERIFY(f.showActive());
        load(f, "A\na\nB\nb\n", "@1 @2 @1 ");
        f.watch->realMessageDialog = true;
        QString title;
        QString text;
        MessageKind kind = MessageKind::None;
        QStringList buttons;
        MessageDialog::setAnswerHook([&](MessageDialog &dialog) {
            title = dialog.windowTitle();
            kind = dialog.kind();
            buttons = dialog.buttonCaptions();
            if (auto *label = dialog.findChild<QLabel *>(QStringLiteral("Message")))
                text = label->text();
            dialog.findChild<QPushButton *>(QStringLiteral("button1"))->click();
        });

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_D, Qt::ControlModifier);

        QCOMPARE(title, QStringLiteral("3 replacements were made"));
        QCOMPARE(kind, MessageKind::Information);
        QCOMPARE(buttons, QStringList{QStringLiteral("&OK")});
        QCOMPARE(text.split(u'\n'), doneLines);
        QCOMPARE(paneLines(f.form->richEditEx1()).first(), QStringLiteral("a b a "));
    }

    void samples_data()
    {
        QTest::addColumn<QString>("sample");
        QTest::addColumn<bool>("overwrite");
        QTest::addColumn<int>("count");
        QTest::newRow("LetterOfDemand") << "LetterOfDemand" << false << 14;
        QTest::newRow("StatutoryDeclaration") << "StatutoryDeclaration" << true << 10;
    }

    // As a user does it: Information file, Template file, (overwrite), Do It;
    // the finished document's RTF is compared with one checked by eye.
    void samples()
    {
        QFETCH(QString, sample);
        QFETCH(bool, overwrite);
        QFETCH(int, count);
        const QString samples = QStringLiteral(QUORIN_SOURCE_DIR "/samples/");
        const QString expectedPath = testsupport::dataPath(QStringLiteral("app/%1.expected.rtf").arg(sample));

        Fixture f;
        QVERIFY(f.showActive());
        MainForm &form = *f.form;
        choose(f, "EditInformationFile1", samples + sample + QStringLiteral(".inf"));
        QVERIFY(f.dialogs->messages().isEmpty()); // an even line count
        choose(f, "EditTemplateFile1", samples + sample + QStringLiteral(".tem"));
        if (overwrite)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_T, Qt::ControlModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_D, Qt::ControlModifier);

        QVERIFY(f.dialogs->errors().isEmpty());
        QCOMPARE(f.dialogs->messages().size(), 1);
        QCOMPARE(f.dialogs->messages().first().title, QStringLiteral("%1 replacements were made").arg(count));
        QCOMPARE(f.dialogs->messages().first().kind, QStringLiteral("I"));
        const QString text = form.richEditEx1()->wideLines().text();
        QVERIFY2(!text.contains(u'@'), qPrintable(text));

        const QByteArray actual = paneRtf(form.richEditEx1());
        QFile expectedFile(expectedPath);
        if (!expectedFile.open(QIODevice::ReadOnly)
            || withoutDefaultFontName(expectedFile.readAll()) != withoutDefaultFontName(actual)) {
            const QString written = QDir::temp().filePath(sample + QStringLiteral(".actual.rtf"));
            QFile out(written);
            if (out.open(QIODevice::WriteOnly))
                out.write(actual);
            QFAIL(qPrintable(QStringLiteral("%1 differs from %2 (written to %3)").arg(sample, expectedPath, written)));
        }
    }

private:
    void load(Fixture &f, const QByteArray &information, const QByteArray &templateBody)
    {
        m_info = writeFile(*m_dir, QStringLiteral("data.inf"), information);
        m_template = writeFile(*m_dir, QStringLiteral("form.tem"), templateRtf(templateBody));
        choose(f, "EditInformationFile1", m_info);
        choose(f, "EditTemplateFile1", m_template);
        f.dialogs->clearRecords();
    }
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_info;
    QString m_template;
};

QTEST_MAIN(TestAssemblyMerge)
#include "tst_assemblymerge.moc"
