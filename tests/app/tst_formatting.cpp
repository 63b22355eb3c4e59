// The formatting toolbar: what it shows of the document pane, and what its
// buttons, boxes and dialogs change there.

#include "mainformfixture.h"

#include "app/commands/formatcommands.h"
#include "editor/paraattributes.h"
#include "editor/richeditor.h"
#include "app/chrome/speedbar.h"
#include "editor/textattributes.h"
#include "app/chrome/updown.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QToolButton>
#include <QtTest>

namespace {

// A shown window whose document pane holds `text`, all selected.
struct Fixture : MainFormFixture
{
    explicit Fixture(const QString &text)
    {
        editor = form->richEditEx1();
        bar = form->speedBar();
        editor->setPlainText(text);
        editor->selectAll();
        shown = showActive();
    }
    RichEditor *editor;
    SpeedBar *bar;
    bool shown;
};

QTextCharFormat formatAt(RichEditor *editor, int position)
{
    QTextCursor cursor(editor->document());
    cursor.setPosition(position + 1);
    return cursor.charFormat();
}

} // namespace

class TestFormatting : public QObject
{
    Q_OBJECT

private slots:
    void toolbarFollowsTypingAndCaret()
    {
        Fixture f(QStringLiteral("plain BOLD plain"));
        QVERIFY(f.shown);
        f.editor->setSelection(6, 4);
        f.editor->selAttributes().setBold(true);
        f.editor->setSelection(16, 0);
        QVERIFY(!f.bar->boldButton()->isChecked());

        // Typing inside the bold word: the button goes down.
        f.editor->setSelection(8, 0);
        QTest::keyClicks(f.editor, QStringLiteral("x"));
        QCOMPARE(f.editor->toPlainText(), QStringLiteral("plain BOxLD plain"));
        QVERIFY(f.bar->boldButton()->isChecked());
        QVERIFY(!f.form->formatCommands()->updating());
        // Moving the caret without typing follows it too.
        QTest::keyClick(f.editor, Qt::Key_End);
        QVERIFY(!f.bar->boldButton()->isChecked());
        f.editor->setSelection(7, 1);
        QVERIFY(f.bar->boldButton()->isChecked());
    }

    void boldWithoutSelectionChangesDefaults()
    {
        Fixture f(QStringLiteral("some words"));
        QVERIFY(f.shown);
        f.editor->selAttributes().setBold(false); // a weight of their own
        f.editor->setSelection(2, 0);             // inside "some", nothing selected
        QVERIFY(!f.editor->defAttributes().bold());

        QTest::mouseClick(f.bar->boldButton(), Qt::LeftButton);
        QVERIFY(f.editor->defAttributes().bold());
        // Not the word at the caret, as a write to the selection would do.
        QCOMPARE(formatAt(f.editor, 1).fontWeight(), int(QFont::Normal));
        QTest::mouseClick(f.bar->boldButton(), Qt::LeftButton);
        QVERIFY(!f.editor->defAttributes().bold());
    }

    void styleButtonsLeaveOtherStylesAlone()
    {
        Fixture f(QStringLiteral("slanted upright"));
        QVERIFY(f.shown);
        f.editor->setSelection(0, 7);
        f.editor->selAttributes().setItalic(true);
        f.editor->setSelection(8, 7);
        f.editor->selAttributes().setUnderlineType(3); // double

        f.editor->selectAll();
        QVERIFY(f.bar->italicButton()->isChecked()); // as the first character
        QTest::mouseClick(f.bar->boldButton(), Qt::LeftButton);
        // Bold everywhere; italic and the double underline stay where they were.
        QVERIFY(formatAt(f.editor, 0).fontWeight() == QFont::Bold && formatAt(f.editor, 10).fontWeight() == QFont::Bold);
        QVERIFY(formatAt(f.editor, 0).fontItalic() && !formatAt(f.editor, 10).fontItalic());
        f.editor->setSelection(9, 2);
        QCOMPARE(f.editor->selAttributes().underlineType(), 3);

        f.editor->selectAll();
        QTest::mouseClick(f.bar->italicButton(), Qt::LeftButton);
        QTest::mouseClick(f.bar->underlineButton(), Qt::LeftButton);
        QVERIFY(!formatAt(f.editor, 0).fontItalic());
        QVERIFY(formatAt(f.editor, 0).fontWeight() == QFont::Bold);
        f.editor->setSelection(9, 2);
        QCOMPARE(f.editor->selAttributes().underlineType(), 1);
    }

    void synchronisingNeverWritesBack()
    {
        Fixture f(QStringLiteral("big small"));
        QVERIFY(f.shown);
        f.editor->selAttributes().setSize(10);
        f.editor->setSelection(0, 3);
        f.editor->selAttributes().setSize(20);
        f.editor->setSelection(6, 0);
        QCOMPARE(f.bar->fontSize()->text(), QStringLiteral("10"));
        QCOMPARE(f.bar->fontName()->currentText(), f.editor->selAttributes().name());

        // Selecting both sizes shows the first one and changes nothing.
        f.editor->selectAll();
        QCOMPARE(f.bar->fontSize()->text(), QStringLiteral("20"));
        QCOMPARE(formatAt(f.editor, 5).fontPointSize(), 10.0);
    }

    void fontSizeBox()
    {
        Fixture f(QStringLiteral("text"));
        QVERIFY(f.shown);
        QLineEdit *box = f.bar->fontSize();
        UpDown *arrows = f.bar->upDown();
        box->setText(QStringLiteral("18"));
        QCOMPARE(f.editor->selAttributes().size(), 18);
        arrows->stepUp();
        QCOMPARE(box->text(), QStringLiteral("19"));
        QCOMPARE(f.editor->selAttributes().size(), 19);

        // Not an integer: an error naming the text, the size unchanged.
        box->setText(QStringLiteral("big"));
        box->setText(QString());
        QCOMPARE(f.dialogs->errors(), (QStringList{QStringLiteral("'big' is not a valid integer value"),
                                                  QStringLiteral("'' is not a valid integer value")}));
        QCOMPARE(f.editor->selAttributes().size(), 19);
        // No font of 0 points; sizes past the largest are cut to it.
        box->setText(QStringLiteral("0"));
        QCOMPARE(f.editor->selAttributes().size(), 19);
        box->setText(QStringLiteral("99999"));
        QCOMPARE(f.editor->selAttributes().size(), FormatCommands::maxFontSize);
        // The arrows stop at 100.
        box->setText(QStringLiteral("100"));
        arrows->stepUp();
        QCOMPARE(box->text(), QStringLiteral("100"));
    }

    void fontNameBox()
    {
        Fixture f(QStringLiteral("text"));
        QVERIFY(f.shown);
        QComboBox *box = f.bar->fontName();
        QVERIFY(box->isEnabled() && box->count() > 0);
        const QString before = f.editor->selAttributes().name();
        const int lastIndex = box->count() - 1;
        const QString last = box->itemText(lastIndex);

        // Chosen from the list.
        box->setCurrentIndex(lastIndex);
        emit box->activated(lastIndex);
        QCOMPARE(f.editor->selAttributes().name(), last);
        // Typed in any case and confirmed: the list's spelling.
        f.editor->selAttributes().setName(before);
        box->lineEdit()->setText(last.toUpper());
        QTest::keyClick(box->lineEdit(), Qt::Key_Return);
        QCOMPARE(f.editor->selAttributes().name(), last);
        // A name the list lacks changes nothing and is no error.
        box->lineEdit()->setText(QStringLiteral("No Such Font 123"));
        QTest::keyClick(box->lineEdit(), Qt::Key_Return);
        QCOMPARE(f.editor->selAttributes().name(), last);
        QCOMPARE(f.dialogs->errors(), QStringList());
    }

    void alignmentAndBullets()
    {
        Fixture f(QStringLiteral("one\ntwo"));
        QVERIFY(f.shown);
        QTest::mouseClick(f.bar->centerAlign(), Qt::LeftButton);
        QCOMPARE(f.editor->paragraph().alignment(), ParaAlignment::Center);
        QTest::mouseClick(f.bar->rightAlign(), Qt::LeftButton);
        QCOMPARE(f.editor->document()->lastBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
                 Qt::AlignRight);
        // A justified paragraph shows no alignment button down.
        f.editor->paragraph().setAlignment(ParaAlignment::Justify);
        QVERIFY(!f.bar->alignGroup()->checkedButton());
        f.editor->paragraph().setAlignment(ParaAlignment::Left);
        QVERIFY(f.bar->leftAlign()->isChecked());

        QTest::mouseClick(f.bar->bulletsButton(), Qt::LeftButton);
        QCOMPARE(f.editor->paragraph().numbering(), 1);
        QTest::mouseClick(f.bar->bulletsButton(), Qt::LeftButton);
        QCOMPARE(f.editor->paragraph().numbering(), 0);
    }

    void colourCommand()
    {
        Fixture f(QStringLiteral("red then blue"));
        QVERIFY(f.shown);
        QPushButton *button = f.bar->colorButton();
        // The automatic colour opens the dialog at the window's text colour.
        const QColor red(200, 0, 0);
        f.dialogs->setNextColor(red);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(f.dialogs->colorRequests(), QList<QColor>{f.editor->palette().color(QPalette::Text)});
        QCOMPARE(f.editor->selAttributes().color(), red);
        QCOMPARE(button->palette().color(QPalette::ButtonText), red);

        // A second colour replaces the first (it is not added to it); the
        // swatch shows it. Cancel changes nothing.
        const QColor blue(0, 0, 255);
        f.dialogs->setNextColor(blue);
        QTest::mouseClick(button, Qt::LeftButton);
        f.dialogs->setNextColor(std::nullopt);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(f.dialogs->colorRequests().size(), 3);
        QCOMPARE(f.dialogs->colorRequests().at(1), red);
        QCOMPARE(f.editor->selAttributes().color(), blue);
        QCOMPARE(f.bar->colorSwatch()->palette().color(QPalette::Base), blue);
    }

    void fontDialog()
    {
        Fixture f(QStringLiteral("text"));
        QVERIFY(f.shown);
        f.editor->selAttributes().setSize(11);
        f.editor->selAttributes().setItalic(true);
        QAction *item = f.action("miEditFont");

        // Cancelled from the information pane: the document pane is shown and
        // focused, nothing else changes.
        f.form->t1Click();
        f.dialogs->setNextFont(std::nullopt);
        item->trigger();
        QVERIFY(f.editor->isVisible());
        QCOMPARE(QApplication::focusWidget(), f.editor);
        const QFont asked = f.dialogs->fontRequests().value(0);
        QVERIFY(asked.pointSize() == 11 && asked.italic());

        QFont chosen = f.editor->font();
        chosen.setPointSize(20);
        chosen.setBold(true);
        f.dialogs->setNextFont(chosen);
        item->trigger();
        QCOMPARE(f.editor->selAttributes().size(), 20);
        QVERIFY(f.editor->selAttributes().bold() && !f.editor->selAttributes().italic());
        QVERIFY(f.bar->boldButton()->isChecked());
        QCOMPARE(f.dialogs->errors(), QStringList());
    }
};

QTEST_MAIN(TestFormatting)
#include "tst_formatting.moc"
