#pragma once

// The help window "QRN Help": an HTML viewer with its own File menu,
// "&Load " (Ctrl+O) to show another HTML file and "E&xit" (Ctrl+X) to hide
// the window. The main window creates it hidden and shows it from
// Help > Contents, loading the help file afresh each time.

#include <QMainWindow>
#include <QString>

class Dialogs;
class QTextBrowser;

class HelpForm : public QMainWindow
{
    Q_OBJECT

public:
    explicit HelpForm(Dialogs &dialogs, QWidget *parent = nullptr);

    QTextBrowser *viewer() const { return m_viewer; }

    // Clears the viewer, loads the file and shows the window in front.
    // A missing file throws CommandError("Cannot open file <path>") and
    // leaves the window as it was.
    void showHelp(const QString &path);
    // Clears the viewer and loads the file.
    void loadFile(const QString &path);

    // "&Load ": asks for an HTML file and shows it.
    void loadClick();
    // "E&xit": hides the window.
    void exitClick();

private:
    void run(void (HelpForm::*command)());

    Dialogs &m_dialogs;
    QTextBrowser *m_viewer = nullptr;
    QString m_lastFolder;
};
