#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

#include "assembly/messages.h"

// The Information file: entries of two lines each, a heading line and a value
// line. Entry N's heading is line 2N-2 and its value line 2N-1 (zero-based).
namespace assembly {

// Where the merge and the heading lookup read Information lines from: the
// information pane in the window, an InformationFile elsewhere. The count
// follows the editor's rule that an empty last line is not counted; line()
// of an index outside 0..count-1 (that empty last line, or no line at all)
// is empty, as the editor hands it out.
class InformationLines {
public:
    virtual ~InformationLines() = default;
    virtual int count() const = 0;
    virtual QString line(int index) const = 0;
};

// Information lines read through two functions, for instance from an editor
// pane: `count` with the editor's rule, `line` empty outside 0..count-1.
class LineCallbacks : public InformationLines {
public:
    LineCallbacks(std::function<int()> count, std::function<QString(int)> line)
        : m_count(std::move(count))
        , m_line(std::move(line))
    {
    }
    int count() const override { return m_count(); }
    QString line(int index) const override
    {
        return index >= 0 && index < m_count() ? m_line(index) : QString();
    }

private:
    std::function<int()> m_count;
    std::function<QString(int)> m_line;
};

// Bytes to text for files that are not UTF-8 (the pane's code page).
using TextDecoder = std::function<QString(QByteArrayView)>;

class InformationFile : public InformationLines {
public:
    InformationFile() = default;
    // Lines as the editor holds them after loading a text file: split at CR
    // LF, CR or LF; an empty last line is kept but not counted.
    explicit InformationFile(const QStringList &lines);

    // Decodes as UTF-16 after a UTF-16 byte-order mark, as UTF-8 when the
    // bytes are valid UTF-8 (a byte-order mark is dropped), else with
    // `decoder`, else as Latin-1.
    static InformationFile fromBytes(QByteArrayView bytes, const TextDecoder &decoder = {});
    static QString decode(QByteArrayView bytes, const TextDecoder &decoder = {});
    static InformationFile fromText(QStringView text);

    int count() const override;
    QString line(int index) const override;

    // Entries are numbered from 1; out of range gives an empty string.
    QString heading(qint64 entry) const;
    QString value(qint64 entry) const;

    // The warning shown after choosing a file whose line count is odd.
    std::optional<AssemblyMessage> lineCountProblem() const;

private:
    QStringList m_lines; // every line, the uncounted empty last one included
};

// The check made after an Information file is loaded into the pane.
std::optional<AssemblyMessage> checkLineCount(const InformationLines &lines);

} // namespace assembly
