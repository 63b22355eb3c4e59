#pragma once

#include <QString>

#include <stdexcept>

// The error the editor control throws when a document cannot be read or
// written or a line edit does not take. The application's top level shows
// message() in its error box; the control stays usable.
class EditorError : public std::runtime_error
{
public:
    explicit EditorError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }

    QString message() const { return m_message; }

    // The fixed texts users see.
    static QString failedToLoad() { return QStringLiteral("Failed to Load Stream"); }
    static QString failedToSave() { return QStringLiteral("Failed to Save Stream"); }
    static QString lineInsertion() { return QStringLiteral("RichEdit line insertion error"); }

private:
    QString m_message;
};
