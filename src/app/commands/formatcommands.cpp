#include "app/commands/formatcommands.h"

#include "app/chrome/ruler.h"
#include "app/chrome/speedbar.h"
#include "app/chrome/updown.h"
#include "app/commandcontext.h"
#include "app/dialogs/dialogs.h"
#include "app/panearea.h"
#include "editor/paraattributes.h"
#include "editor/richeditor.h"
#include "editor/textattributes.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolButton>

#include <algorithm>

namespace {

void moveLeft(QWidget *marker, int left)
{
    marker->move(left, marker->y());
}

// Shows the alignment of a justified paragraph: no button down.
void releaseAll(QButtonGroup *group)
{
    group->setExclusive(false);
    for (QAbstractButton *button : group->buttons())
        button->setChecked(false);
    group->setExclusive(true);
}

void setControlColor(QWidget *widget, QPalette::ColorRole role, const QColor &color)
{
    QPalette palette = widget->palette();
    palette.setColor(role, color);
    widget->setPalette(palette);
}

} // namespace

FormatCommands::FormatCommands(CommandContext &context, SpeedBar &bar, Ruler &ruler)
    : QObject(context.mainWindow())
    , m_context(context)
    , m_bar(&bar)
    , m_ruler(&ruler)
{
    RichEditor *editor = documentPane();
    // Text changes and caret moves both refresh the toolbar: the user
    // expects it to show the format where the caret stands.
    connect(editor, &QTextEdit::textChanged, this,
            [this] { m_context.runCommand([this] { selectionChange(); }); });
    connect(editor, &QTextEdit::cursorPositionChanged, this,
            [this] { m_context.runCommand([this] { selectionChange(); }); });
    // A new selection may end where the caret already was.
    connect(editor, &QTextEdit::selectionChanged, this,
            [this] { m_context.runCommand([this] { selectionChange(); }); });
    // The gutter is checked before every repaint of the text.
    editor->viewport()->installEventFilter(this);

    connectToolbar();
    connectRuler();
}

void FormatCommands::connectToolbar()
{
    // The window connects the buttons' clicks like every other command;
    // the boxes report every change of their own.
    SpeedBar *bar = m_bar;
    // A size applies when the user is done with it: Enter (which also
    // returns to the text), leaving the box after typing, or an arrow. On
    // the way to "14" the box holds "1", and on the way to another size it
    // may be empty; neither is meant.
    QLineEdit *size = bar->fontSize();
    connect(size, &QLineEdit::textEdited, this, [this] { m_sizeEdited = true; });
    connect(size, &QLineEdit::returnPressed, this, [this] {
        m_context.runCommand([this] {
            fontSizeChange();
            if (!documentPane()->isHidden())
                PaneArea::focusPane(documentPane());
        });
    });
    connect(size, &QLineEdit::editingFinished, this, [this] {
        if (m_sizeEdited)
            m_context.runCommand([this] { fontSizeChange(); });
    });
    connect(bar->upDown(), &UpDown::stepped, this, [this] { m_context.runCommand([this] { fontSizeChange(); }); });
    // A name applies when it is chosen from the list or confirmed with
    // Enter, not at every key: "Arial Black" would pass through "Arial".
    connect(bar->fontName(), &QComboBox::activated, this,
            [this] { m_context.runCommand([this] { fontNameChange(); }); });
    if (QLineEdit *nameEdit = bar->fontName()->lineEdit()) {
        connect(nameEdit, &QLineEdit::returnPressed, this,
                [this] { m_context.runCommand([this] { fontNameChange(); }); });
    }
    for (QWidget *control : {static_cast<QWidget *>(bar->fontName()), static_cast<QWidget *>(bar->fontSize()),
                             static_cast<QWidget *>(bar->upDown()), static_cast<QWidget *>(bar->colorSwatch())})
        control->setEnabled(true);
}

RichEditor *FormatCommands::documentPane() const
{
    return m_context.panes().richEditEx1();
}

RichEditor *FormatCommands::showFormattedPane()
{
    if (documentPane()->isHidden())
        m_context.panes().showAndFocus(Pane::Template);
    return documentPane();
}

void FormatCommands::connectRuler()
{
    Ruler *ruler = m_ruler;
    // The layout sizes the ruler after the window's own resize; the right
    // indent marker is placed from the ruler's width.
    connect(ruler, &Ruler::resized, this, [this] { m_context.runCommand([this] { selectionChange(); }); });
    for (RulerMarker *marker : {ruler->firstInd(), ruler->leftInd(), ruler->rightInd()}) {
        connect(marker, &RulerMarker::pressed, this, [this, marker](int x) {
            m_context.runCommand([this, marker, x] { rulerItemMouseDown(marker, x); });
        });
        connect(marker, &RulerMarker::moved, this, [this, marker](int x) {
            m_context.runCommand([this, marker, x] { rulerItemMouseMove(marker, x); });
        });
        connect(marker, &RulerMarker::released, this,
                [this, marker] { m_context.runCommand([this, marker] { rulerItemMouseUp(marker); }); });
    }
}

// --- synchronisation ------------------------------------------------------

void FormatCommands::selectionChange()
{
    m_updating = true;
    const auto done = qScopeGuard([this] { m_updating = false; });

    RichEditor *editor = documentPane();
    ParaAttributes &paragraph = editor->paragraph();

    Ruler *ruler = m_ruler;
    const rulergeometry::MarkerPlaces places = rulergeometry::markerPlaces(
        paragraph.firstIndent(), paragraph.leftIndent(), paragraph.rightIndent(), rulerWidth());
    moveLeft(ruler->firstInd(), places.first);
    moveLeft(ruler->leftInd(), places.left);
    moveLeft(ruler->rightInd(), places.right);

    SpeedBar *bar = m_bar;
    TextAttributes &attributes = editor->selAttributes();
    const FontStyles style = attributes.style();
    bar->boldButton()->setChecked(style.testFlag(FontStyle::Bold));
    bar->italicButton()->setChecked(style.testFlag(FontStyle::Italic));
    bar->underlineButton()->setChecked(style.testFlag(FontStyle::Underline));
    bar->bulletsButton()->setChecked(paragraph.numbering() != 0);
    bar->fontSize()->setText(QString::number(attributes.size()));

    // The name's list entry is selected too, so that the list's index and
    // its text never disagree.
    const QString name = attributes.name();
    QComboBox *fontName = bar->fontName();
    fontName->setCurrentIndex(fontName->findText(name, Qt::MatchFixedString));
    fontName->setEditText(name);

    switch (paragraph.alignment()) {
    case ParaAlignment::Left:
        bar->leftAlign()->setChecked(true);
        break;
    case ParaAlignment::Right:
        bar->rightAlign()->setChecked(true);
        break;
    case ParaAlignment::Center:
        bar->centerAlign()->setChecked(true);
        break;
    case ParaAlignment::Justify:
        releaseAll(bar->alignGroup());
        break;
    }
}

void FormatCommands::setEditRect()
{
    QTextDocument *document = documentPane()->document();
    if (document->documentMargin() == gutter)
        return;
    // Qt records the margin as a format change of the document: it must
    // neither mark the document modified nor become an undo step of an
    // untouched document.
    const bool modified = document->isModified();
    const bool untouched = document->availableUndoSteps() == 0 && document->availableRedoSteps() == 0;
    document->setDocumentMargin(gutter);
    if (untouched)
        document->clearUndoRedoStacks();
    document->setModified(modified);
}

void FormatCommands::formResize()
{
    setEditRect();
    selectionChange();
}

bool FormatCommands::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint && watched == documentPane()->viewport())
        setEditRect();
    return QObject::eventFilter(watched, event);
}

// --- character formats ----------------------------------------------------

TextAttributes &FormatCommands::currentTextAttributes() const
{
    // The pane does no word formatting, so with nothing selected these are
    // the attributes of the text typed next.
    return documentPane()->selAttributes();
}

// The three style buttons write their one property, not the whole style
// read from the first selected character: that would spread the first
// character's italic or underline over the selection.
void FormatCommands::boldButtonClick()
{
    if (m_updating)
        return;
    showFormattedPane();
    currentTextAttributes().setBold(m_bar->boldButton()->isChecked());
}

void FormatCommands::italicButtonClick()
{
    if (m_updating)
        return;
    showFormattedPane();
    currentTextAttributes().setItalic(m_bar->italicButton()->isChecked());
}

void FormatCommands::underlineButtonClick()
{
    if (m_updating)
        return;
    showFormattedPane();
    currentTextAttributes().setUnderlineType(m_bar->underlineButton()->isChecked() ? 1 : 0);
}

void FormatCommands::fontSizeChange()
{
    if (m_updating)
        return;
    m_sizeEdited = false;
    bool ok = false;
    const int points = m_bar->fontSize()->text().trimmed().toInt(&ok);
    // Text that is no size (0 is also the arrows' lowest step) is taken
    // back without a word: the box shows the size there is.
    if (ok && points >= 1) {
        showFormattedPane();
        currentTextAttributes().setSize(std::min(points, maxFontSize));
    }
    selectionChange();
}

void FormatCommands::fontNameChange()
{
    if (m_updating)
        return;
    QComboBox *box = m_bar->fontName();
    const int index = box->findText(box->currentText().trimmed(), Qt::MatchFixedString);
    if (index < 0)
        return;
    showFormattedPane();
    currentTextAttributes().setName(box->itemText(index));
}

void FormatCommands::alignButtonClick(int tag)
{
    if (m_updating || tag < 0)
        return;
    showFormattedPane()->paragraph().setAlignment(ParaAlignment(tag));
}

void FormatCommands::bulletsButtonClick()
{
    if (m_updating)
        return;
    showFormattedPane()->paragraph().setNumbering(m_bar->bulletsButton()->isChecked() ? 1 : 0);
}

void FormatCommands::selectFont()
{
    // The user sees the pane being formatted.
    m_context.panes().showAndFocus(Pane::Template);
    RichEditor *editor = documentPane();
    QFont font = editor->font();
    editor->selAttributes().assignTo(font);
    if (const std::optional<QFont> chosen = m_context.dialogs().chooseFont(m_context.mainWindow(), font))
        currentTextAttributes().assign(*chosen);
    PaneArea::focusPane(editor);
}

void FormatCommands::colorbuttonClick()
{
    if (m_updating)
        return;
    RichEditor *editor = showFormattedPane();
    TextAttributes &attributes = currentTextAttributes();
    QColor initial = attributes.color();
    if (!initial.isValid()) // the automatic colour
        initial = editor->palette().color(QPalette::Text);
    const std::optional<QColor> chosen = m_context.dialogs().chooseColor(m_context.mainWindow(), initial);
    if (!chosen || !chosen->isValid())
        return;
    SpeedBar *bar = m_bar;
    setControlColor(bar->colorButton(), QPalette::ButtonText, *chosen);
    setControlColor(bar->colorSwatch(), QPalette::Base, *chosen);
    setControlColor(bar->colorSwatch(), QPalette::Window, *chosen);
    attributes.setColor(*chosen);
}

// --- ruler ----------------------------------------------------------------

int FormatCommands::rulerWidth() const
{
    return m_ruler->width();
}

void FormatCommands::moveMarker(RulerMarker *marker, int x)
{
    moveLeft(marker, rulergeometry::clampMarkerLeft(marker->x() + x - m_dragOffset, m_dragOffset, rulerWidth()));
}

void FormatCommands::rulerItemMouseDown(RulerMarker *marker, int x)
{
    showFormattedPane();
    m_dragOffset = marker->width() / 2;
    moveMarker(marker, x);
    m_dragging = true;
}

void FormatCommands::rulerItemMouseMove(RulerMarker *marker, int x)
{
    if (m_dragging)
        moveMarker(marker, x);
}

void FormatCommands::rulerItemMouseUp(RulerMarker *marker)
{
    if (!m_dragging)
        return;
    m_dragging = false;
    Ruler *ruler = m_ruler;
    if (marker == ruler->firstInd())
        firstIndMouseUp();
    else if (marker == ruler->leftInd())
        leftIndMouseUp();
    else if (marker == ruler->rightInd())
        rightIndMouseUp();
}

void FormatCommands::firstIndMouseUp()
{
    m_dragging = false;
    Ruler *ruler = m_ruler;
    ParaAttributes &paragraph = documentPane()->paragraph();
    // The following lines keep their place: the left indent is measured
    // from the left marker again, against the new first indent.
    const double first = rulergeometry::firstIndentAt(ruler->firstInd()->x(), m_dragOffset);
    const double left = rulergeometry::leftIndentAt(ruler->leftInd()->x(), m_dragOffset, first);
    applyIndents({first, left, paragraph.rightIndent()}, IndentWrites(IndentWrite::First) | IndentWrite::Left, false);
}

void FormatCommands::leftIndMouseUp()
{
    m_dragging = false;
    Ruler *ruler = m_ruler;
    ParaAttributes &paragraph = documentPane()->paragraph();
    const double first = paragraph.firstIndent();
    const double left = rulergeometry::leftIndentAt(ruler->leftInd()->x(), m_dragOffset, first);
    applyIndents({first, left, paragraph.rightIndent()}, IndentWrite::Left, false);
}

void FormatCommands::rightIndMouseUp()
{
    m_dragging = false;
    Ruler *ruler = m_ruler;
    ParaAttributes &paragraph = documentPane()->paragraph();
    const double right = rulergeometry::rightIndentAt(rulerWidth(), ruler->rightInd()->x(), m_dragOffset);
    applyIndents({paragraph.firstIndent(), paragraph.leftIndent(), right}, IndentWrite::Right, true);
}

void FormatCommands::applyIndents(const rulergeometry::Indents &wanted, IndentWrites writes, bool rightDragged)
{
    RichEditor *editor = showFormattedPane();
    ParaAttributes &paragraph = editor->paragraph();
    // An indent the drag did not set is written only when keeping the text
    // on the page had to move it.
    const rulergeometry::Indents kept = rulergeometry::keepOnPage(wanted, rulerWidth(), rightDragged);
    {
        // One drag, one undo step.
        QTextCursor group(editor->document());
        group.beginEditBlock();
        const auto end = qScopeGuard([&group] { group.endEditBlock(); });
        if (writes.testFlag(IndentWrite::First) || kept.first != wanted.first)
            paragraph.setFirstIndent(kept.first);
        if (writes.testFlag(IndentWrite::Left) || kept.left != wanted.left)
            paragraph.setLeftIndent(kept.left);
        if (writes.testFlag(IndentWrite::Right) || kept.right != wanted.right)
            paragraph.setRightIndent(kept.right);
    }
    selectionChange();
}
