#include "documents/entryvalues.h"

#include <algorithm>

namespace documents {

EntryValues::EntryValues(const assembly::InformationLines &information,
    const assembly::MergeEngine &engine, const assembly::TextRules &rules)
    : m_information(information)
    , m_engine(engine)
    , m_rules(rules)
    , m_lineCount(std::max(information.count(), 0))
    , m_entries((qint64(m_lineCount) + 1) / 2)
{
    const std::size_t size = std::size_t(m_entries) + 1;
    m_values.resize(size);
    m_state.resize(size, State::Unvisited);
    m_outcomes.resize(size);
    m_usedByValue.resize(size, false);
}

bool EntryValues::accepts(const assembly::TokenIndex &index) const
{
    return index.status == assembly::TokenIndex::Status::Ok && index.lineIndex <= m_lineCount;
}

QString EntryValues::heading(qint64 entry) const
{
    return m_information.line(int(2 * entry - 2));
}

QString EntryValues::line(qint64 entry) const
{
    return m_information.line(int(2 * entry - 1));
}

EntryValues::Value &EntryValues::value(qint64 entry)
{
    Value &value = m_values.at(std::size_t(entry));
    if (!value.known) {
        value.bytes = m_engine.valueBytes(line(entry), m_rules);
        value.length = assembly::textLength(value.bytes, m_rules);
        value.known = true;
    }
    return value;
}

const QByteArray &EntryValues::bytes(qint64 entry)
{
    return value(entry).bytes;
}

qint64 EntryValues::length(qint64 entry)
{
    return value(entry).length;
}

qint64 EntryValues::overwrittenAfter(const QByteArray &token)
{
    if (const auto known = m_overwritten.constFind(token); known != m_overwritten.cend())
        return *known;
    const qint64 entry = assembly::tokenLineIndex(token).entry;
    qint64 taken = std::max<qint64>(length(entry) - token.size(), 0);
    if (bytes(entry).contains('@')) {
        // DEL is a text character no value line holds (nor, as text, any
        // template): what is left of a run of them after the merge tells
        // how many were overwritten.
        constexpr qsizetype probe = 4096;
        const assembly::MergeResult merged = m_engine.merge(token + QByteArray(probe, '\x7f'));
        qsizetype left = 0;
        while (left < merged.text.size() && merged.text[merged.text.size() - 1 - left] == '\x7f')
            ++left;
        taken = merged.ok() ? probe - left : 0;
    }
    m_overwritten.insert(token, taken);
    return taken;
}

bool EntryValues::usedByValue(qint64 entry) const
{
    return entry >= 0 && std::size_t(entry) < m_usedByValue.size()
        && m_usedByValue[std::size_t(entry)];
}

const EntryValues::Outcome &EntryValues::outcome(qint64 root)
{
    if (m_state.at(std::size_t(root)) == State::Done)
        return m_outcomes[std::size_t(root)];

    // The values being scanned, outermost first, as the merge's own stack of
    // values would hold them. An explicit stack: a chain of values inside
    // values is as deep as the Information file is long.
    struct Frame {
        qint64 entry;
        qsizetype pos;
    };
    std::vector<Frame> path { { root, 0 } };
    m_state[std::size_t(root)] = State::OnPath;
    Outcome result;
    while (!path.empty()) {
        const qint64 entry = path.back().entry;
        const QByteArray &text = bytes(entry);
        const qsizetype at = text.indexOf('@', path.back().pos);
        if (at < 0) {
            m_state[std::size_t(entry)] = State::Done;
            m_outcomes[std::size_t(entry)] = Outcome {};
            path.pop_back();
            continue;
        }
        if (assembly::findToken(QByteArrayView(text).sliced(at)) < 0) {
            result = { Outcome::Kind::EndsEarly, entry, {} };
            break;
        }
        const QByteArray token = assembly::extractToken(text, at);
        path.back().pos = at + token.size();
        const assembly::TokenIndex index = assembly::tokenLineIndex(token);
        if (!accepts(index)) {
            result = { Outcome::Kind::NoEntry, entry, token };
            break;
        }
        const std::size_t inner = std::size_t(index.entry);
        m_usedByValue[inner] = true;
        if (m_state[inner] == State::OnPath) {
            result = { Outcome::Kind::Loop, entry, token };
            break;
        }
        if (m_state[inner] == State::Done) {
            if (m_outcomes[inner].kind != Outcome::Kind::Fine) {
                result = m_outcomes[inner];
                break;
            }
            continue;
        }
        m_state[inner] = State::OnPath;
        path.push_back({ index.entry, 0 });
    }
    // Whatever stopped the innermost value stops every value around it.
    for (const Frame &frame : path) {
        m_state[std::size_t(frame.entry)] = State::Done;
        m_outcomes[std::size_t(frame.entry)] = result;
    }
    return m_outcomes[std::size_t(root)];
}

EntryValues::Escaping EntryValues::escaping(qint64 entry) const
{
    QString typed = line(entry);
    for (QChar &c : typed) {
        if (c.unicode() >= 0x80 || c == u'\n') // a table's line break is no typed syntax
            c = u'x';
    }
    const QByteArray before = typed.toLatin1();
    const QByteArray after = m_engine.valueBytes(typed, m_rules);

    Escaping escaping;
    // Escaping only ever adds a backslash (before a brace, or to make "\\").
    escaping.escaped = int(after.count('\\') - before.count('\\'));
    for (qsizetype i = 0; i < after.size(); ++i) {
        const char c = after[i];
        if (c == '{') {
            ++escaping.keptGroups;
        } else if (c == '\\' && i + 1 < after.size()) {
            const char next = after[i + 1];
            if ((next >= 'a' && next <= 'z') || (next >= 'A' && next <= 'Z')) {
                qsizetype end = i + 1;
                while (end < after.size()
                    && ((after[end] >= 'a' && after[end] <= 'z')
                        || (after[end] >= 'A' && after[end] <= 'Z')))
                    ++end;
                const QString word = QString::fromLatin1(after.sliced(i, end - i));
                if (!escaping.keptWords.contains(word))
                    escaping.keptWords.append(word);
                i = end - 1;
            } else {
                ++i; // an escaped character, or "\'hh"
            }
        }
    }
    return escaping;
}

} // namespace documents
