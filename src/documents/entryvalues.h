#pragma once

// The values of an Information file's entries as the merge puts them into a
// template, for checking the template before a merge: their bytes, their
// length in text characters, the escaping they get, and where their own
// tokens lead.

#include "assembly/informationfile.h"
#include "assembly/mergeengine.h"
#include "assembly/mergetoken.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

namespace documents {

class EntryValues {
public:
    // `engine` encodes and escapes values (MergeEngine::valueBytes) by
    // `rules`, exactly as its merge would.
    EntryValues(const assembly::InformationLines &information, const assembly::MergeEngine &engine,
        const assembly::TextRules &rules);

    // Entries the merge accepts a token of: entry N while 2N - 1 is within
    // the line count (the value of the last one may be missing, and empty).
    qint64 entryCount() const { return m_entries; }
    bool accepts(const assembly::TokenIndex &index) const;

    QString heading(qint64 entry) const;
    QString line(qint64 entry) const; // the value line as the file holds it
    const QByteArray &bytes(qint64 entry); // as the merge puts it in
    qint64 length(qint64 entry); // in text characters, as overwrite mode counts

    // What putting in an entry's value leads to once the merge scans it
    // (only values that hold an "@" have anything to say): the first thing
    // that stops or ends the merge, in the order the merge meets it.
    struct Outcome {
        enum class Kind {
            Fine,
            EndsEarly, // an "@" with no digit after it, in entry `entry`'s value
            NoEntry, // `token`, in entry `entry`'s value, names no entry
            Loop, // `token`, in entry `entry`'s value, leads back along the way
        };
        Kind kind = Kind::Fine;
        qint64 entry = 0;
        QByteArray token;
    };
    const Outcome &outcome(qint64 entry);

    // Overwrite mode: the text characters after `token` (a token of an
    // entry the merge accepts) that putting in its value takes, values
    // inside it included. Worked out by the merge engine itself on the
    // token followed by plain text, so a value whose own tokens overwrite
    // past its end is counted as the merge counts it.
    qint64 overwrittenAfter(const QByteArray &token);

    // Entries whose tokens stand inside values the merge reaches.
    bool usedByValue(qint64 entry) const;

    // What the merge's escaping does to an entry's braces and backslashes:
    // the control words it keeps (they act), the groups it keeps, and how
    // many characters it escapes (they show as typed). Non-ASCII characters
    // are left out, so what is counted is what the value's author typed.
    struct Escaping {
        QStringList keptWords; // "\par", in order, each once
        int keptGroups = 0;
        int escaped = 0;
    };
    Escaping escaping(qint64 entry) const;

private:
    struct Value {
        QByteArray bytes;
        qint64 length = 0;
        bool known = false;
    };
    enum class State : unsigned char { Unvisited, OnPath, Done };
    Value &value(qint64 entry);

    const assembly::InformationLines &m_information;
    const assembly::MergeEngine &m_engine;
    assembly::TextRules m_rules;
    int m_lineCount;
    qint64 m_entries;
    std::vector<Value> m_values; // by entry number
    std::vector<State> m_state;
    std::vector<Outcome> m_outcomes;
    std::vector<bool> m_usedByValue;
    QHash<QByteArray, qint64> m_overwritten; // by token
};

} // namespace documents
