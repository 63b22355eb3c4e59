#pragma once

// The Edit menu's commands: undo and redo, the clipboard, find and
// replace, the insert commands and select all. They join here as they are
// written; until then their items and buttons stay disabled. ("&Toggle
// Windows" belongs to the window itself.)

#include <QObject>

class MainForm;

class EditCommands : public QObject
{
    Q_OBJECT

public:
    explicit EditCommands(MainForm &form);

private:
    MainForm &m_form;
};
