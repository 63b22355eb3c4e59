// The formatting toolbar and the indent ruler: what they show of the
// document pane, and what their buttons, boxes, dialogs and dragged markers
// change there.

#include "mainformfixture.h"

#include "app/chrome/ruler.h"
#include "app/chrome/rulergeometry.h"
#include "app/chrome/speedbar.h"
#include "app/chrome/updown.h"
#include "app/commands/formatcommands.h"
#include "editor/paraattributes.h"
#include "editor/textattributes.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QToolButton>

using namespace rulergeometry;

namespace {

// A shown window whose document pane holds `text`, all selected.
struct Fixture : MainFormFixture
{
    explicit Fixture(const QString &text = QStringLiteral("A paragraph"))
    {
        editor = document();
        bar = form->speedBar();
        editor->setPlainText(text);
        editor->selectAll();
        showActive();
    }
    TextAttributes &selected() { return editor->selAttributes(); }
    void click(QAbstractButton *button) { QTest::mouseClick(button, Qt::LeftButton); }
    RichEditor *editor;
    SpeedBar *bar;
};

// The format a character is shown in: its own over the document's default font.
QTextCharFormat formatAt(RichEditor *editor, int position)
{
    QTextCursor cursor(editor->document());
    cursor.setPosition(position + 1);
    QTextCharFormat shown;
    shown.setFont(editor->document()->defaultFont());
    shown.merge(cursor.charFormat());
    return shown;
}

// Presses the marker at its middle, moves it by dx and releases it, with
// real mouse events.
void drag(RulerMarker *marker, int dx)
{
    const QPoint grip(marker->width() / 2, marker->height() / 2);
    QTest::mousePress(marker, Qt::LeftButton, {}, grip);
    QTest::mouseMove(marker, grip + QPoint(dx, 0));
    QTest::mouseRelease(marker, Qt::LeftButton, {}, grip);
}

const QColor chosenColour(200, 0, 0);
QString chosenFamily; // a face of the list other than the text's own

// Uses a control as a user does: 0 bold, 1 italic, 2 underline, 3 size
// (typed, Enter), 4 colour, 5 font name, 6 centre, 7 bullets, 8 the ruler.
void applyFormat(Fixture &f, int control)
{
    QAbstractButton *buttons[] = {f.bar->boldButton(), f.bar->italicButton(), f.bar->underlineButton(), nullptr,
                                  f.bar->colorButton(), nullptr, f.bar->centerAlign(), f.bar->bulletsButton()};
    QComboBox *names = f.bar->fontName();
    if (control == 3) {
        f.bar->fontSize()->setFocus();
        f.bar->fontSize()->selectAll();
        QTest::keyClicks(f.bar->fontSize(), QStringLiteral("31\r"));
    } else if (control == 5) {
        chosenFamily = names->itemText(names->itemText(0) == f.editor->font().family() ? 1 : 0);
        names->setCurrentText(chosenFamily);
        emit names->activated(names->currentIndex());
    } else if (control == 8) {
        drag(f.form->ruler()->leftInd(), 30);
    } else {
        if (control == 4)
            f.dialogs->setNextColor(chosenColour);
        f.click(buttons[control]);
    }
}

// Whether a character shows the format control 0-5 gives.
bool isFormatted(const QTextCharFormat &format, int control)
{
    const bool formatted[] = {format.fontWeight() == QFont::Bold, format.fontItalic(), format.fontUnderline(),
                              format.fontPointSize() == 31, format.foreground().color() == chosenColour,
                              format.fontFamilies().toStringList().value(0) == chosenFamily};
    return formatted[control];
}

} // namespace

class TestFormatting : public QObject
{
    Q_OBJECT

private slots:
    // Typing, moving the caret and selecting all bring the toolbar to the
    // format at the caret (of the first character of a selection), and
    // showing it never writes back.
    void toolbarFollowsTheCaret()
    {
        Fixture f(QStringLiteral("plain BOLD plain"));
        f.selected().setSize(10);
        f.editor->setSelection(6, 4);
        f.selected().setBold(true);
        f.selected().setSize(20);
        f.editor->setSelection(16, 0);
        QVERIFY(!f.bar->boldButton()->isChecked());
        QCOMPARE(f.bar->fontSize()->text(), QStringLiteral("10"));
        QCOMPARE(f.bar->fontName()->currentText(), f.selected().name());

        f.editor->setSelection(8, 0);
        QTest::keyClicks(f.editor, QStringLiteral("x"));
        QCOMPARE(f.editor->toPlainText(), QStringLiteral("plain BOxLD plain"));
        QVERIFY(f.bar->boldButton()->isChecked());
        QVERIFY(!f.form->formatCommands()->updating());
        QTest::keyClick(f.editor, Qt::Key_End);
        QVERIFY(!f.bar->boldButton()->isChecked());
        f.editor->setSelection(7, 1);
        QVERIFY(f.bar->boldButton()->isChecked());
        f.editor->setSelection(5, 3);
        QCOMPARE(f.bar->fontSize()->text(), QStringLiteral("10"));
        QCOMPARE(formatAt(f.editor, 7).fontPointSize(), 20.0);
    }

    void styleButtonsLeaveOtherStylesAlone()
    {
        Fixture f(QStringLiteral("slanted upright"));
        f.editor->setSelection(0, 7);
        f.selected().setItalic(true);
        f.editor->setSelection(8, 7);
        f.selected().setUnderlineType(3); // double

        f.editor->selectAll();
        QVERIFY(f.bar->italicButton()->isChecked()); // as the first character
        f.click(f.bar->boldButton());
        // Bold everywhere; italic and the double underline stay where they were.
        QVERIFY(formatAt(f.editor, 0).fontWeight() == QFont::Bold && formatAt(f.editor, 10).fontWeight() == QFont::Bold);
        QVERIFY(formatAt(f.editor, 0).fontItalic() && !formatAt(f.editor, 10).fontItalic());
        f.editor->setSelection(9, 2);
        QCOMPARE(f.selected().underlineType(), 3);

        f.editor->selectAll();
        f.click(f.bar->italicButton());
        f.click(f.bar->underlineButton());
        QVERIFY(!formatAt(f.editor, 0).fontItalic());
        QVERIFY(formatAt(f.editor, 0).fontWeight() == QFont::Bold);
        f.editor->setSelection(9, 2);
        QCOMPARE(f.selected().underlineType(), 1);
    }

    // Nothing selected: a format is for the text typed next. The text there,
    // the other pane, New and the next file loaded never see it; it is no
    // change to undo or save. (Controls 0-5.) While the information pane is
    // shown, every control shows the document pane first and formats the
    // selection there; the information pane stays as it was. (Controls 0-8.)
    void format_data()
    {
        QTest::addColumn<int>("control");
        QTest::addColumn<bool>("selected");
        for (int control = 0; control <= 8; ++control) {
            QTest::addRow("%d, information pane shown", control) << control << true;
            if (control < 6)
                QTest::addRow("%d, nothing selected", control) << control << false;
        }
    }

    void format()
    {
        QFETCH(int, control);
        QFETCH(bool, selected);
        Fixture f(QStringLiteral("plain words"));
        f.info()->setPlainText(QStringLiteral("Name\nSmith"));
        const QByteArray information = f.info()->bytes(OutputFormat::RTF);
        const QFont defaultFont = f.editor->document()->defaultFont();
        f.editor->document()->setModified(false);
        if (selected) {
            f.form->t1Click();
            applyFormat(f, control);
            QVERIFY(f.editor->isVisible() && f.info()->isHidden() && f.modified());
            QCOMPARE(QApplication::focusWidget(), f.editor);
            QCOMPARE(f.info()->bytes(OutputFormat::RTF), information);
            QVERIFY(control > 5 || isFormatted(formatAt(f.editor, 4), control));
            QVERIFY(f.errors().isEmpty());
            return;
        }
        f.editor->setSelection(5, 0);
        const int undoSteps = f.editor->document()->availableUndoSteps();
        applyFormat(f, control);
        QVERIFY(!f.modified() && f.editor->document()->availableUndoSteps() == undoSteps);
        QTest::keyClicks(f.editor, QStringLiteral("x"));
        QCOMPARE(f.editor->toPlainText(), QStringLiteral("plainx words"));
        QVERIFY(isFormatted(formatAt(f.editor, 5), control));
        for (int i : {0, 4, 6, 10})
            QVERIFY(!isFormatted(formatAt(f.editor, i), control));
        QVERIFY(!isFormatted(formatAt(f.info(), 0), control));
        f.editor->document()->undo();
        QCOMPARE(f.editor->toPlainText(), QStringLiteral("plain words"));

        // Again, then New; again, then a template.
        QTemporaryDir dir;
        const QString tem = writeFile(dir, QStringLiteral("t.tem"), "{\\rtf1\\ansi Dear @1\\par}");
        for (const char *item : {"FileNewItem", "EditTemplateFile1"}) {
            applyFormat(f, control);
            f.editor->document()->setModified(false);
            if (item[0] == 'E')
                f.dialogs->setNextFileName(tem);
            f.action(item)->trigger();
            QTest::keyClicks(f.editor, QStringLiteral("new "));
            QVERIFY(!isFormatted(formatAt(f.editor, 0), control) && !isFormatted(formatAt(f.editor, 5), control));
        }
        QCOMPARE(paneLines(f.editor), QStringList{QStringLiteral("new Dear @1")});
        QCOMPARE(f.editor->document()->defaultFont(), defaultFont);
        QVERIFY(f.errors().isEmpty() && f.dialogs->allAnswersUsed());
    }

    // A size applies when the user is done: Enter (back to the text),
    // leaving the box after typing, an arrow; never on the way. Text that is
    // no size is taken back without a word.
    void fontSizeBox_data()
    {
        QTest::addColumn<QString>("typed"); // then 0 Enter, 1 leaving the box, 2 the up arrow
        QTest::addColumn<int>("finish");
        QTest::addColumn<int>("size"); // the selection's afterwards
        QTest::newRow("14, Enter") << "14" << 0 << 14;
        QTest::newRow("14, leave") << "14" << 1 << 14;
        QTest::newRow("14, up") << "14" << 2 << 15;
        QTest::newRow("empty, leave") << "" << 1 << 12;
        QTest::newRow("text, Enter") << "big" << 0 << 12;
        QTest::newRow("past the largest") << "99999" << 0 << FormatCommands::maxFontSize;
    }

    void fontSizeBox()
    {
        QFETCH(QString, typed);
        QFETCH(int, finish);
        QFETCH(int, size);
        Fixture f;
        f.selected().setSize(12);
        f.editor->document()->clearUndoRedoStacks();
        QLineEdit *box = f.bar->fontSize();
        box->setFocus();
        box->selectAll();
        for (const QChar c : QStringLiteral("\b") + typed) {
            QTest::keyClick(box, c.toLatin1());
            QCOMPARE(f.selected().size(), 12);
        }
        QWidget *arrow = f.bar->upDown()->findChild<QToolButton *>(QStringLiteral("UpArrow"));
        finish == 0 ? QTest::keyClick(box, Qt::Key_Return) : finish == 1 ? f.editor->setFocus() : QTest::mouseClick(arrow, Qt::LeftButton);
        QVERIFY(f.selected().size() == size && box->text() == QString::number(size));
        QCOMPARE(f.editor->document()->availableUndoSteps(), size == 12 ? 0 : 1);
        QVERIFY(finish != 0 || QApplication::focusWidget() == f.editor);
        QVERIFY(f.errors().isEmpty());
    }

    void fontBoxes()
    {
        Fixture f;
        QLineEdit *box = f.bar->fontSize();
        // The arrows stop at 100.
        box->setText(QStringLiteral("100"));
        f.bar->upDown()->stepUp();
        QCOMPARE(box->text(), QStringLiteral("100"));
        QCOMPARE(f.selected().size(), 100);

        // A name chosen from the list; one typed in any case and confirmed,
        // in the list's spelling; one the list lacks changes nothing and is
        // no error.
        QComboBox *names = f.bar->fontName();
        const QString before = f.selected().name();
        const int lastIndex = names->count() - 1;
        const QString last = names->itemText(lastIndex);
        names->setCurrentIndex(lastIndex);
        emit names->activated(lastIndex);
        QCOMPARE(f.selected().name(), last);
        f.selected().setName(before);
        for (const QString &typed : {last.toUpper(), QStringLiteral("No Such Font 123")}) {
            names->lineEdit()->setText(typed);
            QTest::keyClick(names->lineEdit(), Qt::Key_Return);
            QCOMPARE(f.selected().name(), last);
        }
        QVERIFY(f.errors().isEmpty());
    }

    void alignmentAndBullets()
    {
        Fixture f(QStringLiteral("one\ntwo"));
        f.click(f.bar->centerAlign());
        QCOMPARE(f.editor->paragraph().alignment(), ParaAlignment::Center);
        f.click(f.bar->rightAlign());
        QCOMPARE(f.editor->document()->lastBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
        // A justified paragraph shows no alignment button down.
        f.editor->paragraph().setAlignment(ParaAlignment::Justify);
        QVERIFY(!f.bar->alignGroup()->checkedButton());
        f.editor->paragraph().setAlignment(ParaAlignment::Left);
        QVERIFY(f.bar->leftAlign()->isChecked());
        f.click(f.bar->bulletsButton());
        QCOMPARE(f.editor->paragraph().numbering(), 1);
        f.click(f.bar->bulletsButton());
        QCOMPARE(f.editor->paragraph().numbering(), 0);
    }

    // The automatic colour opens the dialog at the window's text colour; a
    // second colour replaces the first and the swatch shows it; Cancel
    // changes nothing.
    void colourAndFontDialogs()
    {
        Fixture f;
        const QColor red(200, 0, 0);
        const QColor blue(0, 0, 255);
        for (const std::optional<QColor> &answer : {std::optional<QColor>(red), std::optional<QColor>(blue),
                                                   std::optional<QColor>()}) {
            f.dialogs->setNextColor(answer);
            f.click(f.bar->colorButton());
        }
        QCOMPARE(f.dialogs->colorRequests(), (QList<QColor>{f.editor->palette().color(QPalette::Text), red, blue}));
        QCOMPARE(f.selected().color(), blue);
        QCOMPARE(f.bar->colorButton()->palette().color(QPalette::ButtonText), blue);
        QCOMPARE(f.bar->colorSwatch()->palette().color(QPalette::Base), blue);

        // The font dialog, cancelled from the information pane: the document
        // pane is shown and focused, nothing else changes.
        f.selected().setSize(11);
        f.selected().setItalic(true);
        f.form->t1Click();
        f.dialogs->setNextFont(std::nullopt);
        f.action("miEditFont")->trigger();
        QVERIFY(f.editor->isVisible());
        QCOMPARE(QApplication::focusWidget(), f.editor);
        const QFont asked = f.dialogs->fontRequests().value(0);
        QVERIFY(asked.pointSize() == 11 && asked.italic());

        QFont chosen = f.editor->font();
        chosen.setPointSize(20);
        chosen.setBold(true);
        f.dialogs->setNextFont(chosen);
        f.action("miEditFont")->trigger();
        QCOMPARE(f.selected().size(), 20);
        QVERIFY(f.selected().bold() && !f.selected().italic());
        QVERIFY(f.bar->boldButton()->isChecked());
        QVERIFY(f.errors().isEmpty());
    }

    void rulerGeometry()
    {
        // 54 pt is 72 px: a floating 4/3 would give 71.999... and truncate to 71.
        for (int points = 0; points <= 600; ++points)
            QCOMPARE(pixelsFor(points), points * 4 / 3);
        QCOMPARE(pointsFor(73), 54);
        QCOMPARE(pointsFor(-5), -3); // toward zero, as trunc does
        const MarkerPlaces places = markerPlaces(54, -18, 10.5, 800); // a hanging paragraph
        QCOMPARE((QList<int>{places.first, places.left, places.right}), (QList<int>{74, 50, 800 - 6 - 22}));
        QCOMPARE(markerPlaces(0.75, 0, 0, 800).first, 3);

        // Ordinary indents pass unchanged; nothing goes left of the gutter;
        // 800 px leave a 591 pt column, of which 18 stay free of indents.
        Indents kept = keepOnPage({36, -18, 20}, 800, false);
        QVERIFY(kept.first == 36 && kept.left == -18 && kept.right == 20);
        kept = keepOnPage({-10, -5, -3}, 800, false);
        QVERIFY(kept.first == 0 && kept.left == 0 && kept.right == 0);
        QCOMPARE(keepOnPage({20, -30, 0}, 800, false).left, -20.0);
        kept = keepOnPage({0, 700, 100}, 800, false);
        QCOMPARE(kept.first + kept.left, 591.0 - 18 - 100);
        kept = keepOnPage({50, 0, 700}, 800, true);
        QVERIFY(kept.right == 591 - 18 - 50 && kept.first == 50);
    }

    // A drag sets the indents on release (one undo step) and the markers
    // are placed again from the paragraph. Markers: 0 first, 1 left, 2 right.
    void drag_data()
    {
        QTest::addColumn<double>("first");
        QTest::addColumn<double>("left");
        QTest::addColumn<int>("marker");
        QTest::addColumn<int>("dx"); // 0: past the right marker
        QTest::addColumn<QList<double>>("expected"); // a left indent of -1: one that leaves a text column
        // Left edge 73 plus the grip (5): 54 points from the gutter, of
        // which the first indent holds 10.
        QTest::newRow("left marker") << 10.0 << 0.0 << 1 << 58 << QList<double>{10, 44, 0};
        // trunc((32 + 5 - 6) / (4/3)); the following lines stay put.
        QTest::newRow("first marker") << 0.0 << 54.0 << 0 << 30 << QList<double>{23, 31, 0};
        QTest::newRow("right marker") << 0.0 << 0.0 << 2 << -20 << QList<double>{0, 0, 15};
        QTest::newRow("first past the gutter") << 20.0 << 0.0 << 0 << -200 << QList<double>{0, 20, 0};
        QTest::newRow("right past the edge") << 0.0 << 0.0 << 2 << 200 << QList<double>{0, 0, 0};
        QTest::newRow("left past the right marker") << 0.0 << 0.0 << 1 << 0 << QList<double>{0, -1, 0};
    }

    void drag()
    {
        QFETCH(double, first);
        QFETCH(double, left);
        QFETCH(int, marker);
        QFETCH(int, dx);
        QFETCH(QList<double>, expected);
        Fixture f;
        Ruler *ruler = f.form->ruler();
        ParaAttributes &paragraph = f.editor->paragraph();
        paragraph.setFirstIndent(first);
        paragraph.setLeftIndent(left);
        f.editor->document()->clearUndoRedoStacks();
        if (expected[1] < 0)
            expected[1] = pointsFor(ruler->width() - 12) - minTextWidth;
        RulerMarker *markers[] = {ruler->firstInd(), ruler->leftInd(), ruler->rightInd()};
        ::drag(markers[marker], dx ? dx : ruler->width());
        QVERIFY(!f.form->formatCommands()->dragging());
        QCOMPARE((QList<double>{paragraph.firstIndent(), paragraph.leftIndent(), paragraph.rightIndent()}), expected);
        const MarkerPlaces places = markerPlaces(expected[0], expected[1], expected[2], ruler->width());
        QCOMPARE((QList<int>{markers[0]->x(), markers[1]->x(), markers[2]->x()}),
                 (QList<int>{places.first, places.left, places.right}));
        f.editor->document()->undo();
        QCOMPARE((QList<double>{paragraph.firstIndent(), paragraph.leftIndent()}), (QList<double>{first, left}));
    }
};

QTEST_MAIN(TestFormatting)
#include "tst_formatting.moc"
