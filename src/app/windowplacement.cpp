#include "app/windowplacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace {

// Room for a window manager's title bar and borders, which are not known
// before the window is first shown.
const QMargins frameAllowance(8, 32, 8, 8);

int placeWithin(int start, int length, int areaStart, int areaLength)
{
    // A window as long as the area starts where the area starts.
    return std::clamp(start, areaStart, areaStart + std::max(0, areaLength - length));
}

} // namespace

WindowPlacement fitOnScreen(WindowPlacement wanted, const QRect &available, const QMargins &frame)
{
    const QSize room(available.width() - frame.left() - frame.right(),
                     available.height() - frame.top() - frame.bottom());
    wanted.size = wanted.size.boundedTo(room).expandedTo(QSize(1, 1));
    const QSize outer = wanted.size.grownBy(frame);
    wanted.position.setX(placeWithin(wanted.position.x(), outer.width(), available.x(), available.width()));
    wanted.position.setY(placeWithin(wanted.position.y(), outer.height(), available.y(), available.height()));
    return wanted;
}

void placeWindow(QWidget &window, const std::optional<WindowPlacement> &stored)
{
    QScreen *screen = stored ? QGuiApplication::screenAt(stored->position + QPoint(frameAllowance.left(),
                                                                                   frameAllowance.top()))
                             : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen) {
        window.resize(812, 612);
        return;
    }
    const QRect available = screen->availableGeometry();
    WindowPlacement wanted;
    if (stored) {
        wanted = *stored;
    } else {
        wanted.size = fitOnScreen({available.topLeft(), QSize(812, 612)}, available, frameAllowance).size;
        const QSize outer = wanted.size.grownBy(frameAllowance);
        wanted.position = available.center() - QPoint(outer.width(), outer.height()) / 2;
    }
    const WindowPlacement placed = fitOnScreen(wanted, available, frameAllowance);
    window.resize(placed.size);
    window.move(placed.position);
    if (placed.maximized)
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
}

WindowPlacement placementOf(const QWidget &window)
{
    WindowPlacement placement{window.pos(), window.size(), window.isMaximized()};
    if (placement.maximized) {
        const QRect normal = window.normalGeometry();
        placement.size = normal.size();
        placement.position = normal.topLeft() - (window.geometry().topLeft() - window.pos());
    }
    return placement;
}
