#include "richtext/footnotes.h"
#include "richtext/rtfreader.h"

// Footnote groups: not read into the text, but kept whole as the file holds
// them (footnotes.h), on the format of their reference mark.
namespace richtext::rtf {

namespace {

// A mark the file writes itself ("*", "a)") is the text just before the
// group; no longer than this.
constexpr qsizetype MaxMark = 8;

} // namespace

void Reader::footnoteWord(std::string_view word, bool hasParam, int param)
{
    if (word == "ftnstart") {
        if (hasParam)
            m_footnoteNumber = std::clamp(param, 0, 999999);
        return;
    }
    if (word != "chftn")
        return;
    // The number of the footnote that follows; the group takes it as its
    // mark when nothing comes between.
    const QString number = QString::number(m_footnoteNumber);
    bodyText(number);
    m_autoMarkEnd = m_shown;
    m_autoMarkSize = number.size();
}

bool Reader::keepFootnote(std::string_view word)
{
    if (!opensBodyGroup(word))
        return false;
    const qsizetype start = m_groupStart;
    skipCurrentGroup();
    // A group the data ends in is dropped: written back it would leave the
    // file unbalanced. So is one too large to keep; its mark stays as text.
    const qsizetype size = m_tokenizer.position() - start;
    if (m_done || size > Footnote::MaxGroupSize || size < 2)
        return true;

    Footnote note;
    note.group = m_data.sliced(start, size).toByteArray();
    note.tables = footnoteTablesRtf(m_tables, note.group);

    // The mark is the text just before the group: the number of a \chftn
    // when that came last, else the file's own mark. Both are still in the
    // run not handed on (a format change alone does not hand it on).
    CharState markState = m_runState;
    QString mark;
    const QString number = QString::number(m_footnoteNumber);
    if (m_autoMarkEnd == m_shown && m_autoMarkSize == number.size() && m_run.endsWith(number)) {
        note.automatic = true;
        mark = m_run.right(number.size());
    } else {
        // A raised mark ("{\super a)}") is all of its word; in the line of
        // the text, only the last character is taken, the word it ends is
        // no part of it.
        const bool raised = m_runState.script == CharState::Super || m_runState.offset > 0;
        const qsizetype most = raised ? MaxMark : 1;
        qsizetype n = 0;
        while (n < m_run.size() && n < most && !m_run.at(m_run.size() - 1 - n).isSpace())
            ++n;
        mark = m_run.right(n);
    }
    if (!mark.isEmpty()) {
        m_run.chop(mark.size());
        flushRun();
    } else {
        // No mark at all: the footnote gets the automatic number.
        flushRun();
        note.automatic = true;
        mark = number;
        markState = m_stack.back().chr;
        markState.script = CharState::Super;
        m_shown += mark.size();
    }
    if (note.automatic)
        ++m_footnoteNumber;
    m_autoMarkEnd = -1;

    m_tables.footnotes.push_back(footnoteValue(note));
    markState.footnote = int(m_tables.footnotes.size() - 1);
    m_sink.text(mark, markState);
    return true;
}

} // namespace richtext::rtf
