#pragma once

// The client area of the main window: the template/document pane
// (RichEditEx1) and the information pane (RichEditEx2) lying on the same
// rectangle, the first in front. At start-up both carry the visible flag;
// once a command has hidden one, exactly one of them is shown. It also
// holds the merge's "Please wait" panel and its (never shown) progress bar.
//
// Commands pick the pane they act on with one of two tests:
// - template-first: RichEditEx1 if it has the focus, is the window's focus
//   widget or is not hidden; otherwise RichEditEx2;
// - information-first: RichEditEx2 if it has the focus or is not hidden;
//   otherwise RichEditEx1.
// With one pane hidden both pick the pane shown; right after start-up they
// disagree (RichEditEx1 and RichEditEx2).

#include "app/workspace.h"

#include <QWidget>

class QLabel;
class QProgressBar;
class RichEditor;

class PaneArea : public QWidget
{
    Q_OBJECT

public:
    explicit PaneArea(QWidget *parent = nullptr);

    RichEditor *richEditEx1() const { return m_richEditEx1; }
    RichEditor *richEditEx2() const { return m_richEditEx2; }
    RichEditor *pane(Pane which) const { return which == Pane::Template ? m_richEditEx1 : m_richEditEx2; }
    Pane roleOf(const RichEditor *pane) const { return pane == m_richEditEx1 ? Pane::Template : Pane::Information; }
    // The merge's "Please wait" panel, above whichever pane is shown.
    QLabel *msgPanel() const { return m_msgPanel1; }
    QProgressBar *progressBar() const { return m_progressBar1; }

    RichEditor *templateFirstPane() const;
    RichEditor *informationFirstPane() const;
    Pane templateFirstRole() const { return roleOf(templateFirstPane()); }

    // Shows the pane, hides the other one; the focus follows if the hidden
    // pane had it.
    void showOnly(RichEditor *pane);
    void showOnly(Pane which) { showOnly(pane(which)); }
    // For commands that act on a pane whatever is shown: shows it if hidden,
    // then gives it the focus.
    void showAndFocus(Pane which);
    // Ctrl+W: hides the pane the template-first test picks, shows the other
    // and gives it the focus.
    void switchPanes();

    // Gives the pane the keyboard focus; a hidden or disabled pane cannot
    // take it and throws CommandError(CommandError::cannotFocus()).
    static void focusPane(RichEditor *pane);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    RichEditor *m_richEditEx1 = nullptr;
    RichEditor *m_richEditEx2 = nullptr;
    QLabel *m_msgPanel1 = nullptr;
    QProgressBar *m_progressBar1 = nullptr;
};
