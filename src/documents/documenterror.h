#pragma once

// The one kind of error the document layer raises. Its message is a single
// line that names the file, so the window can show it as it stands and the
// command line can print it without reflowing anything.

#include <QString>

#include <stdexcept>

namespace documents {

class DocumentError : public std::runtime_error {
public:
    // `action` says what could not be done ("Cannot write file"), `path` the
    // file it concerns, `reason` why, in the system's words when it gave
    // some ("No space left on device"). `reason` may be empty, and so may
    // `path` where the bytes came from memory (a conversion); whoever knows
    // the file then throws again with it.
    DocumentError(const QString &action, const QString &path, const QString &reason);

    // `Cannot write file "/x/y.rtf": No space left on device`
    QString message() const;

    QString action() const { return m_action; }
    QString path() const { return m_path; }
    QString reason() const { return m_reason; }

    // The message without the file, for lines that name the file in front
    // of it: `cannot write file: No space left on device`.
    QString detail() const;

private:
    QString m_action;
    QString m_path;
    QString m_reason;
};

} // namespace documents
