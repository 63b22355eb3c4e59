// "Check Template" through the window: the findings list and where choosing
// a finding leads; the question before an overwrite merge whose values do
// not fit; a row of a .csv table as the Information file.

#include "mainformfixture.h"

#include "app/commands/assemblycommands.h"
#include "app/commands/templatecheckcommand.h"
#include "app/dialogs/templatecheckdialog.h"

#include <QTreeWidget>

namespace {

// One finding of each kind the window shows places for: a token in a page
// header (no place in the text), a value too long in overwrite mode, a
// token with no entry, an "@" in an e-mail address, a token split by
// formatting, an empty value and an unused entry.
const QByteArray problems = "Name: @1____ Date: 1 May\\par\r\nTown: @9 \\par\r\n"
                            "Mail: jo@example.com\\par\r\nRef: @{\\b 2}\\par\r\nNote: @3 ";
const QByteArray problemsHeader = "{\\header\\pard Page for @2\\par}\r\n";
const QByteArray problemsInformation
    = "Name\nAlexander Smithson\nRef\nR-17\nRemark\n\nUnused\nnothing\n";

// The last row of `kind`: in the order of the source, a finding in the
// page header comes before those in the text.
QTreeWidgetItem *rowOfKind(QTreeWidget *list, const QString &kind)
{
    for (int i = list->topLevelItemCount() - 1; i >= 0; --i) {
        if (list->topLevelItem(i)->text(0) == kind)
            return list->topLevelItem(i);
    }
    return nullptr;
}

} // namespace

class TestTemplateCheck : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_f = std::make_unique<MainFormFixture>(Show::Active);
    }
    void cleanup() { m_f.reset(); }

    // Every finding is a row; choosing one selects the token's characters
    // in the template pane (a split token shows as one "@2"), the line in
    // the information pane, or says there is no place to show.
    void chooseFinding_data()
    {
        QTest::addColumn<bool>("overwrite");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("doubleClick"); // else Enter
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("selected"); // empty: nothing selected
        QTest::addColumn<bool>("inInformation");
        QTest::newRow("token with no entry")
            << false << "token with no entry" << false << 6 << "@9" << false;
        QTest::newRow("@ in an address")
            << false << "merge ends early" << true << 6 << "@" << false;
        QTest::newRow("split token") << false << "split token" << false << 6 << "@2" << false;
        QTest::newRow("value too long") << true << "value too long" << true << 8 << "@1" << false;
        QTest::newRow("unused entry") << false << "unused entry" << false << 6 << "Unused" << true;
        QTest::newRow("token in a header")
            << false << "token in header/footer/footnote" << false << 6 << QString() << false;
    }

    void chooseFinding()
    {
        QFETCH(bool, overwrite);
        QFETCH(QString, kind);
        QFETCH(bool, doubleClick);
        QFETCH(int, rows);
        QFETCH(QString, selected);
        QFETCH(bool, inInformation);
        MainFormFixture &f = *m_f;
        load(problemsInformation, problems, problemsHeader);
        f.form->workspace().setOverwriteMode(overwrite);
        f.document()->setSelection(0, 0);
        f.action("CheckTemplate1")->trigger();
        QVERIFY(f.errors().isEmpty());
        TemplateCheckDialog *dialog = checkDialog();
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->list()->topLevelItemCount(), rows);

        QTreeWidgetItem *row = rowOfKind(dialog->list(), kind);
        QVERIFY(row);
        dialog->list()->setCurrentItem(row);
        if (doubleClick) {
            QWidget *viewport = dialog->list()->viewport();
            const QPoint centre = dialog->list()->visualItemRect(row).center();
            // The first click selects, the second of the pair activates.
            QTest::mouseClick(viewport, Qt::LeftButton, {}, centre);
            QTest::mouseDClick(viewport, Qt::LeftButton, {}, centre);
        } else {
            QTest::keyClick(dialog->list(), Qt::Key_Enter);
        }

        QVERIFY(f.errors().isEmpty());
        QVERIFY(dialog->isVisible());
        if (selected.isEmpty()) {
            QVERIFY2(dialog->status().contains(QStringLiteral("shows no text")),
                qPrintable(dialog->status()));
            QCOMPARE(f.document()->selLength(), 0);
            return;
        }
        RichEditor *pane = inInformation ? f.info() : f.document();
        QVERIFY(!pane->isHidden());
        QCOMPARE(pane->selText(), selected);
        QVERIFY(dialog->status().startsWith(QStringLiteral("Selected")));
    }

    // A clean template gives the one line; the list is the same window,
    // filled again by the next check, here after the pane lost an entry.
    void noProblemsThenRefresh()
    {
        MainFormFixture &f = *m_f;
        load("Name\nSmith\nTown\nYork\n", "Dear @1 of @2,");
        f.action("CheckTemplate1")->trigger();
        TemplateCheckDialog *dialog = checkDialog();
        QVERIFY(dialog);
        QCOMPARE(dialog->list()->topLevelItemCount(), 1);
        QCOMPARE(dialog->list()->topLevelItem(0)->text(1), QStringLiteral("No problems found."));
        QTest::keyClick(dialog->list(), Qt::Key_Enter); // nothing to show, nothing fails
        QVERIFY(dialog->status().isEmpty());

        f.info()->wideLines().setText(QStringLiteral("Name\nSmith"));
        f.action("CheckTemplate1")->trigger();
        QCOMPARE(checkDialog(), dialog);
        QVERIFY(rowOfKind(dialog->list(), QStringLiteral("token with no entry")));
        QVERIFY(f.errors().isEmpty() && f.dialogs->messages().isEmpty());
    }

    // The check reads the Template file as saved: edits of it in the pane
    // are asked about first, as before a merge. Cancel checks nothing.
    void unsavedTemplateIsAskedAbout()
    {
        MainFormFixture &f = *m_f;
        load("Name\nSmith\n", "Dear @1,");
        f.document()->insertPlainText(QStringLiteral("@7 "));
        f.dialogs->setNextAnswer(QMessageBox::Cancel);
        f.action("CheckTemplate1")->trigger();
        QVERIFY(f.dialogs->questions().value(0).startsWith(
            QStringLiteral("Save changes to %1?").arg(m_template)));
        QVERIFY(!checkDialog());

        f.dialogs->setNextAnswer(QMessageBox::Yes);
        f.dialogs->setNextFileName(m_template);
        f.action("CheckTemplate1")->trigger();
        QVERIFY(rowOfKind(checkDialog()->list(), QStringLiteral("token with no entry")));
        QVERIFY(f.errors().isEmpty());
    }

    // The check reads the Template file, as the merge does. After a merge
    // the pane holds the finished document: choosing a finding asks about
    // it, then puts the template back and selects the place.
    void findingAfterMergeBringsTheTemplateBack()
    {
        MainFormFixture &f = *m_f;
        load("Name\nSmith\nTown\nYork\nSpare\nx\n", "Dear @1 of @2,");
        f.action("DoIt1")->trigger();
        QCOMPARE(paneLines(f.document()).first(), QStringLiteral("Dear Smith of York,"));
        f.action("CheckTemplate1")->trigger();
        TemplateCheckDialog *dialog = checkDialog();
        QCOMPARE(dialog->list()->topLevelItemCount(), 1); // the spare entry
        QCOMPARE(paneLines(f.document()).first(), QStringLiteral("Dear Smith of York,"));

        // A finding placed in the template, as a check in overwrite mode
        // gives one.
        f.info()->wideLines().put(1, QStringLiteral("Smith and Sons Limited"));
        f.form->workspace().setOverwriteMode(true);
        f.action("CheckTemplate1")->trigger();
        QTreeWidgetItem *row = rowOfKind(dialog->list(), QStringLiteral("value too long"));
        QVERIFY(row);
        dialog->list()->setCurrentItem(row);
        f.dialogs->setNextAnswer(QMessageBox::No);
        QTest::keyClick(dialog->list(), Qt::Key_Enter);
        QCOMPARE(
            f.dialogs->questions(), QStringList { QStringLiteral("Save changes to untitled?") });
        QCOMPARE(paneLines(f.document()).first(), QStringLiteral("Dear @1 of @2,"));
        QCOMPARE(f.document()->selText(), QStringLiteral("@1"));
        QVERIFY(!f.modified());
        QCOMPARE(f.form->windowTitle(), QStringLiteral("untitled - QRN    Quorin"));
    }

    // Overwrite mode asks before a merge whose values overwrite the form's
    // words, and names them; No changes nothing. Values that fit, and the
    // insert mode, merge without a question.
    void overwriteQuestion_data()
    {
        QTest::addColumn<bool>("overwrite");
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<int>("answer"); // QMessageBox::StandardButton; 0: no question
        QTest::addColumn<QString>("merged"); // empty: not merged
        QTest::newRow("too long, No")
            << true << QByteArray("Alexander") << int(QMessageBox::No) << QString();
        QTest::newRow("too long, Yes")
            << true << QByteArray("Alexander") << int(QMessageBox::Yes) << "Name: Alexander: 1 May";
        QTest::newRow("fits") << true << QByteArray("Al") << 0 << "Name: Al__ Date: 1 May";
        QTest::newRow("insert mode")
            << false << QByteArray("Alexander") << 0 << "Name: Alexander__ Date: 1 May";
    }

    void overwriteQuestion()
    {
        QFETCH(bool, overwrite);
        QFETCH(QByteArray, value);
        QFETCH(int, answer);
        QFETCH(QString, merged);
        MainFormFixture &f = *m_f;
        load("Name\n" + value + "\n", "Name: @1__ Date: 1 May");
        f.form->workspace().setOverwriteMode(overwrite);
        if (answer)
            f.dialogs->setNextAnswer(QMessageBox::StandardButton(answer));
        const QStringList before = paneLines(f.document());
        f.action("DoIt1")->trigger();

        QVERIFY(f.dialogs->allAnswersUsed());
        QCOMPARE(f.dialogs->questions().size(), answer ? 1 : 0);
        if (answer)
            QVERIFY2(
                f.dialogs->questions().first().contains(QStringLiteral("it overwrites \"Date\"")),
                qPrintable(f.dialogs->questions().first()));
        QVERIFY(f.errors().isEmpty());
        if (merged.isEmpty()) {
            QCOMPARE(paneLines(f.document()), before);
            QVERIFY(!f.modified());
            QVERIFY(f.dialogs->messages().isEmpty());
            QCOMPARE(f.form->workspace().paneFileName(Pane::Template), m_template);
            return;
        }
        QCOMPARE(paneLines(f.document()).first(), merged);
        QCOMPARE(f.dialogs->messages().size(), 1);
    }

    // A table's row as the Information file, from the menu or the recent
    // list. A bad table, or Cancel, leaves everything as it was.
    void csvRow_data()
    {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<int>("choice"); // -1: Cancel
        QTest::addColumn<bool>("fromRecentList");
        QTest::addColumn<QStringList>("lines"); // empty: nothing changed
        QTest::addColumn<QString>("error"); // in the error box, and no row asked for
        const QByteArray table = "Name,Town\r\nSmith,York\r\nJones,\"Leeds\r\nWest\"\r\n";
        QTest::newRow("first row")
            << table << 0 << false << QStringList { "Name", "Smith", "Town", "York" } << QString();
        QTest::newRow("value over two lines")
            << table << 1 << false << QStringList { "Name", "Jones", "Town", "Leeds\\line West" }
            << QString();
        QTest::newRow("empty last value") << QByteArray("A,B\n1,\n") << 0 << false
                                          << QStringList { "A", "1", "B", "" } << QString();
        QTest::newRow("from the recent list")
            << table << 0 << true << QStringList { "Name", "Smith", "Town", "York" } << QString();
        QTest::newRow("cancelled") << table << -1 << false << QStringList() << QString();
        QTest::newRow("unterminated quote")
            << QByteArray("Name\n\"Smith\n") << 0 << false << QStringList() << "unterminated quote";
        QTest::newRow("headings only")
            << QByteArray("Name,Town\n") << 0 << false << QStringList() << "no rows of values";
    }

    void csvRow()
    {
        QFETCH(QByteArray, csv);
        QFETCH(int, choice);
        QFETCH(bool, fromRecentList);
        QFETCH(QStringList, lines);
        QFETCH(QString, error);
        MainFormFixture &f = *m_f;
        const QString inf = writeFile(*m_dir, QStringLiteral("old.inf"), "H\nOld\n");
        f.choose("EditInformationFile1", inf);
        const QString path = writeFile(*m_dir, QStringLiteral("clients.csv"), csv);
        f.dialogs->clearRecords();
        if (error.isEmpty())
            f.dialogs->setNextChoice(choice < 0 ? std::nullopt : std::optional<int>(choice));
        const QString captionBefore = f.form->windowTitle();
        if (fromRecentList)
            f.form->assemblyCommands()->mruFiles1MRUItemClick(path);
        else
            f.choose("EditInformationFile1", path);

        QVERIFY(f.dialogs->allAnswersUsed());
        if (!error.isEmpty()) {
            QCOMPARE(f.errors().size(), 1);
            QVERIFY2(f.errors().first().contains(error) && f.errors().first().contains(path),
                qPrintable(f.errors().first()));
            QVERIFY(f.dialogs->choices().isEmpty());
        } else {
            QVERIFY(f.errors().isEmpty());
            QCOMPARE(f.dialogs->choices().first().items.first().left(7), QStringLiteral("Row 2: "));
        }
        if (lines.isEmpty()) {
            QCOMPARE(paneLines(f.info()), (QStringList { "H", "Old" }));
            QCOMPARE(f.form->workspace().informationFileName(), inf);
            QCOMPARE(f.form->windowTitle(), captionBefore);
            return;
        }
        QCOMPARE(paneLines(f.info()).mid(0, f.info()->wideLines().count()), lines);
        QCOMPARE(f.form->workspace().informationFileName(), path);
        const QString row = QStringLiteral(" row %1").arg(choice + 2);
        QCOMPARE(f.form->windowTitle(),
            fromRecentList ? path + row : QStringLiteral("clients.csv%1 - QRN    Quorin").arg(row));
        QVERIFY(!f.info()->isHidden());
        QVERIFY(f.dialogs->messages().isEmpty()); // the count is even
    }

    // The dialog offers tables after its own filters; Save of a row's lines
    // asks for a name and never writes the table.
    void csvFilterAndSave()
    {
        MainFormFixture &f = *m_f;
        const QString path = writeFile(*m_dir, QStringLiteral("clients.csv"), "Name\nSmith\n");
        const QString open = f.form->openDialog().filter;
        f.dialogs->setNextChoice(0);
        f.choose("EditInformationFile1", path);
        QCOMPARE(f.dialogs->openRequests().first().filter,
            open + QStringLiteral("|Spreadsheet table (*.csv)|*.csv"));
        QCOMPARE(f.form->openDialog().filter, open); // File > Open keeps its list

        const QString saved = m_dir->filePath(QStringLiteral("smith.inf"));
        f.dialogs->setNextFileName(saved);
        f.action("FileSaveItem")->trigger();
        QCOMPARE(f.dialogs->saveRequests().first().fileName, QString());
        QFile table(path);
        QVERIFY(table.open(QIODevice::ReadOnly));
        QCOMPARE(table.readAll(), QByteArray("Name\nSmith\n"));
        QFile written(saved);
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(written.readAll());
        QCOMPARE(text.split(QRegularExpression(QStringLiteral("\r?\n"))).mid(0, 2),
            (QStringList { "Name", "Smith" }));
        QCOMPARE(f.form->workspace().informationFileName(), path);
    }

private:
    TemplateCheckDialog *checkDialog() const { return m_f->form->templateCheckCommand()->dialog(); }

    void load(
        const QByteArray &information, const QByteArray &body, const QByteArray &beforeBody = {})
    {
        QByteArray rtf = templateRtf(body);
        if (!beforeBody.isEmpty())
            rtf.replace("\\pard\\f0", beforeBody + "\\pard\\f0");
        m_template = writeFile(*m_dir, QStringLiteral("form.tem"), rtf);
        m_f->choose(
            "EditInformationFile1", writeFile(*m_dir, QStringLiteral("data.inf"), information));
        m_f->choose("EditTemplateFile1", m_template);
        m_f->dialogs->clearRecords();
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<MainFormFixture> m_f;
    QString m_template;
};

QTEST_MAIN(TestTemplateCheck)
#include "tst_templatecheck.moc"
