#pragma once

// The two ways a command of the main window ends early. The top level
// (MainForm::runCommand and QuorinApplication::notify) catches both: a
// CommandError, like any other exception, is shown in the error box and the
// window stays usable; a SilentAbort ends the command without a word, as
// when the user answers Cancel to a question.

#include <QString>

#include <exception>
#include <optional>
#include <stdexcept>

class SilentAbort : public std::exception
{
public:
    const char *what() const noexcept override { return "Operation aborted"; }
};

class CommandError : public std::runtime_error
{
public:
    explicit CommandError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }

    QString message() const { return m_message; }

    // Giving the keyboard focus to a pane that is hidden or disabled.
    static QString cannotFocus() { return QStringLiteral("Cannot focus a disabled or invisible window"); }
    static QString cannotOpenFile(const QString &path) { return QStringLiteral("Cannot open file %1").arg(path); }

private:
    QString m_message;
};

// The text the error box shows for an exception that left a command, or
// nothing for a SilentAbort. Exceptions of unknown types get a generic text
// rather than being lost.
std::optional<QString> errorMessageFor(std::exception_ptr error);
