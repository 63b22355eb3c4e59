#pragma once

// The formatting toolbar and ruler. They format the document pane
// (RichEditEx1) only: bold, italic, underline, font name and size, colour,
// alignment, bullets, Edit > "&Font...", and the paragraph indents dragged
// on the ruler. While the information pane is shown, a command first shows
// the document pane, so the user sees what changes.
//
// Character formats go to the selection, or with nothing selected to the
// text typed next at the caret. They never touch the pane's default
// attributes: those reach every character without a format of its own, in
// the text already there and in every document loaded later.
//
// selectionChange() sets the buttons, boxes and ruler markers from the
// pane's current format. It runs on every text change of the pane and on
// every caret move (so the toolbar always shows the format where the user
// is), at creation, on resize and after an indent drag. While it runs,
// updating() is true and the handlers do nothing, so the controls it sets
// never write back into the document.

#include "app/chrome/rulergeometry.h"

#include <QFlags>
#include <QObject>

class CommandContext;
class RichEditor;
class Ruler;
class RulerMarker;
class SpeedBar;
class TextAttributes;

class FormatCommands : public QObject
{
    Q_OBJECT

public:
    FormatCommands(CommandContext &context, SpeedBar &bar, Ruler &ruler);

    static constexpr int gutter = rulergeometry::gutter;
    static constexpr double rulerFactor = 4.0 / 3.0;
    static constexpr int markerOffset = rulergeometry::markerOffset;

    // Synchronises the toolbar and ruler from RichEditEx1; updating() is
    // true while it runs (reset also when it fails).
    void selectionChange();
    bool updating() const { return m_updating; }

    // The text of RichEditEx1 keeps the gutter from both edges.
    void setEditRect();
    // The window was resized: edit rectangle, then toolbar and ruler.
    void formResize();

    // What the character commands change: the selection's attributes, which
    // with nothing selected are those of the text typed next.
    TextAttributes &currentTextAttributes() const;

    // --- toolbar handlers ---
    // Each switches its one style on or off (the button's state) for the
    // current text attributes, and leaves the other styles of every
    // character alone.
    void boldButtonClick();
    void italicButtonClick();
    void underlineButtonClick();
    // The size box's text as whole points, applied on Enter, when the box
    // is left after an edit, and at every step of the arrows; never while
    // the user is still typing. Text that is no size (empty, not a whole
    // number, below 1 point) changes nothing and the box shows the current
    // size again; sizes above maxFontSize are cut.
    void fontSizeChange();
    static constexpr int maxFontSize = 1638;
    // The font of the list that the name box's text names (compared
    // without regard to case). A name the list does not hold changes
    // nothing.
    void fontNameChange();
    // Tags: 0 left, 1 right, 2 centre.
    void alignButtonClick(int tag);
    void bulletsButtonClick();
    // Edit > "&Font...": the font dialog, opened at the selection's font.
    void selectFont();
    // The colour button: the chosen colour becomes the colour of the
    // current text attributes, of the button's caption and of the swatch.
    void colorbuttonClick();

    // --- ruler ---
    // The three markers share the handlers; x is the mouse position
    // relative to the marker. A marker is grabbed at its middle, moves with
    // the mouse within the ruler, and sets its indent on release.
    void rulerItemMouseDown(RulerMarker *marker, int x);
    void rulerItemMouseMove(RulerMarker *marker, int x);
    void rulerItemMouseUp(RulerMarker *marker);
    void firstIndMouseUp();
    void leftIndMouseUp();
    void rightIndMouseUp();
    // Half the width of the marker being dragged.
    int dragOffset() const { return m_dragOffset; }
    bool dragging() const { return m_dragging; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void connectToolbar();
    void connectRuler();
    RichEditor *documentPane() const;
    // The document pane, shown and focused first if the information pane
    // hides it.
    RichEditor *showFormattedPane();
    void fontSizeEdited();
    enum class IndentWrite { First = 0x1, Left = 0x2, Right = 0x4 };
    Q_DECLARE_FLAGS(IndentWrites, IndentWrite)
    // Writes the indents a drag set, kept on the page, then synchronises.
    void applyIndents(const rulergeometry::Indents &wanted, IndentWrites writes, bool rightDragged);
    void moveMarker(RulerMarker *marker, int x);
    int rulerWidth() const;

    CommandContext &m_context;
    SpeedBar *m_bar;
    Ruler *m_ruler;
    bool m_updating = false;
    int m_dragOffset = 0;
    bool m_dragging = false;
    // The size box holds text typed since the size was last applied.
    bool m_sizeEdited = false;
};
