#pragma once

// The application object. Besides running the event loop it is the last
// line of defence for errors: an exception that leaves an event handler
// (a key press in a pane, a timer, a command run outside
// MainForm::runCommand) is caught in notify() and its message shown through
// the error reporter, which the main window points at its dialog interface.
// A SilentAbort is swallowed without a message. The event is then treated
// as handled and the program carries on.

#include <QApplication>

#include <exception>
#include <functional>

// "QRN    Quorin" (four spaces): the caption's second half and the title of
// the error box. Kept apart from QGuiApplication::applicationDisplayName,
// which the platform would append to every window title a second time.
QString applicationTitle();

class QuorinApplication : public QApplication
{
    Q_OBJECT

public:
    QuorinApplication(int &argc, char **argv);

    using ErrorReporter = std::function<void(const QString &message)>;
    // Without a reporter, messages go to the log (qWarning).
    void setErrorReporter(ErrorReporter reporter) { m_reporter = std::move(reporter); }

    bool notify(QObject *receiver, QEvent *event) override;

    // Shows the message of an exception that left a command through the
    // running QuorinApplication's reporter; nothing for a SilentAbort.
    static void reportException(std::exception_ptr error);

private:
    void report(const QString &message);

    ErrorReporter m_reporter;
    // A reporter that opens a message box runs an event loop; an error
    // raised inside it must not open a second box on top of the first.
    bool m_reporting = false;
};
