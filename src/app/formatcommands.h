#pragma once

// The formatting toolbar and ruler. For now this keeps them in step with
// the document pane: selectionChange() sets the style buttons, font boxes,
// alignment and the ruler's indent markers from the paragraph and
// character format at the caret. The handlers that change the format join
// here as they are written; until then the controls stay disabled.

#include <QObject>

class MainForm;

class FormatCommands : public QObject
{
    Q_OBJECT

public:
    explicit FormatCommands(MainForm &form);

    // Pixels between the pane's edge and its text, left and right.
    static constexpr int gutter = 6;
    // Ruler pixels per point of indent.
    static constexpr double rulerFactor = 4.0 / 3.0;
    // Taken off the computed place of the first- and left-indent markers.
    static constexpr int markerOffset = 4;

    // Synchronises the toolbar and ruler from RichEditEx1. Runs on every
    // text change of that pane, at creation and on resize; updating() is
    // true while it runs (also when it fails), so handlers can tell their
    // own changes from the user's.
    void selectionChange();
    bool updating() const { return m_updating; }

    // The text of RichEditEx1 keeps the gutter from both edges.
    void setEditRect();
    // The window was resized: edit rectangle, then toolbar and ruler.
    void formResize();

private:
    MainForm &m_form;
    bool m_updating = false;
};
