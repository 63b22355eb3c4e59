#pragma once

// A main window whose questions are answered by a script, and the files the
// GUI tests feed it.

#include "app/dialogs/dialogs.h"
#include "app/mainform.h"
#include "app/windowsettings.h"
#include "editor/richeditor.h"
#include "editor/richeditorlines.h"
#include "print/printdialogs.h"

#include <QTemporaryDir>
#include <QtTest>

enum class Show { No, Active };

struct MainFormFixture
{
    // The window keeps its settings in `settingsFile`, by default a file of
    // its own: never the user's.
    explicit MainFormFixture(Show show = Show::No,
                             std::unique_ptr<ScriptedDialogs> scripted = std::make_unique<ScriptedDialogs>(),
                             const QString &settingsFile = QString())
        : dialogs(scripted.get())
    {
        auto scriptedPrint = std::make_unique<print::ScriptedPrintDialogs>();
        printDialogs = scriptedPrint.get();
        WindowSettings::setFileName(settingsFile.isEmpty() ? settingsDir.filePath(QStringLiteral("quorin.ini"))
                                                           : settingsFile);
        form = std::make_unique<MainForm>(std::move(scripted), nullptr, std::move(scriptedPrint));
        // A modal tip one second in would stop any test that waits longer;
        // the start-up tip has tests of its own.
        startupTip = form->startupTipHook();
        form->setStartupTipHook({});
        if (show == Show::Active)
            showActive();
    }

    // Focus and shortcuts behave as on a desktop only in an active window.
    void showActive()
    {
        form->show();
        form->activateWindow();
        if (!QTest::qWaitForWindowActive(form.get()))
            throw std::runtime_error("the main window did not become active");
    }
    QAction *action(const char *name) const { return form->action(QLatin1String(name)); }
    // Runs a menu item whose file dialog will return `path`.
    void choose(const char *item, const QString &path)
    {
        dialogs->setNextFileName(path);
        action(item)->trigger();
    }
    RichEditor *document() const { return form->richEditEx1(); }
    RichEditor *info() const { return form->richEditEx2(); }
    bool modified() const { return document()->document()->isModified(); }
    const QStringList &errors() const { return dialogs->errors(); }

    QTemporaryDir settingsDir;
    ScriptedDialogs *dialogs;
    print::ScriptedPrintDialogs *printDialogs = nullptr;
    std::function<void()> startupTip;
    std::unique_ptr<MainForm> form;
};

inline QStringList paneLines(RichEditor *pane)
{
    return pane->wideLines().toStringList();
}

inline QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(file.fileName()));
    return file.fileName();
}

// An RTF template whose text is `body` (RTF source), then a paragraph "End".
inline QByteArray templateRtf(const QByteArray &body)
{
    return "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\r\n"
           "\\pard\\f0\\fs20 " + body + "\\par\r\nEnd\\par\r\n}\r\n";
}
