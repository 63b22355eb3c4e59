#pragma once

// A main window whose questions are answered by a script, for GUI tests.

#include "app/dialogs/dialogs.h"
#include "app/mainform.h"

#include <QTest>

#include <memory>

struct MainFormFixture
{
    MainFormFixture()
    {
        auto scripted = std::make_unique<ScriptedDialogs>();
        dialogs = scripted.get();
        form = std::make_unique<MainForm>(std::move(scripted));
    }

    // Shown and active, so that focus and shortcuts behave as on a desktop.
    bool showActive()
    {
        form->show();
        form->activateWindow();
        return QTest::qWaitForWindowActive(form.get());
    }

    QAction *action(const char *name) const { return form->action(QLatin1String(name)); }

    ScriptedDialogs *dialogs = nullptr;
    std::unique_ptr<MainForm> form;
};
