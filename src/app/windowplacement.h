#pragma once

// Where the main window goes on the screen: the place it had when it was
// last closed, or the first-run size in the middle, made to fit the screen
// it opens on.

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

class QWidget;

struct WindowPlacement
{
    QPoint position; // the frame's top-left corner, as QWidget::pos()
    QSize size; // the window without its frame, as QWidget::size()
    bool maximized = false;
};

// The placement made to fit `available` (the screen less its panels): the
// frame, `frame` around the window, no larger than that area, and moved
// just far enough that all of it lies inside.
WindowPlacement fitOnScreen(WindowPlacement wanted, const QRect &available, const QMargins &frame);

// Places a window that is not shown yet: `stored` fitted to the screen it
// was on (the primary screen if that is gone), or without one the classic
// 812 by 612, fitted and centred.
void placeWindow(QWidget &window, const std::optional<WindowPlacement> &stored);

// What to store of a window: where it stands, or where it goes back to
// when it is maximized.
WindowPlacement placementOf(const QWidget &window);
