#pragma once

// The Document Assembly menu: choosing the Information and Template files,
// the merge and the insert/overwrite switch, and the heading balloon over
// a token. They join here as they are written; until then their items stay
// disabled. The state they share (chosen files, overwrite mode) is kept by
// the main window.

#include <QObject>

class MainForm;

class AssemblyCommands : public QObject
{
    Q_OBJECT

public:
    explicit AssemblyCommands(MainForm &form);

private:
    MainForm &m_form;
};
