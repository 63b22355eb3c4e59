#pragma once

// What the main window keeps from one run to the next, in the user's INI
// settings file (the config folder, "Quorin/quorin.ini"): where the window
// stood and how large it was, and the folder the file dialogs last used.
// Values come back checked: a damaged file gives the defaults, never a
// window off the screen or a dialog in a folder that is gone.

#include "app/windowplacement.h"

#include <QString>

#include <memory>
#include <optional>

class QSettings;

class WindowSettings
{
public:
    WindowSettings();
    ~WindowSettings();

    // Nothing when none was stored or what was stored is no placement.
    std::optional<WindowPlacement> placement() const;
    void setPlacement(const WindowPlacement &placement);

    // Empty when none was stored or the folder no longer exists.
    QString lastFolder() const;
    void setLastFolder(const QString &folder);

    // The settings file itself, for the window's other remembered things
    // (the recent-files lists, the tip of the day's check box).
    QSettings &store() { return *m_settings; }

    // Where the settings are kept; empty: the user's config folder. Tests
    // point it at a file of their own before a window is made.
    static void setFileName(const QString &fileName);

private:
    std::unique_ptr<QSettings> m_settings;
};
