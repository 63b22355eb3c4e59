#include "richtext/rtfreader.h"

// Page header and footer groups: not read into the document, but kept whole
// as the file holds them (pagebandset.h), to be drawn on printed pages and
// written back when the document is saved.
namespace richtext::rtf {

bool Reader::keepPageBand(std::string_view word)
{
    const Group &g = m_stack.back();
    if (m_stack.size() < 3 || g.dest != Dest::Body || g.field >= 0 || g.object >= 0
        || !m_tables.bands.wants(word))
        return false;
    // The word must be the group's first: "{\header", "{\*\header".
    const qsizetype start = m_groupStart;
    const qsizetype wordStart = word.data() - m_data.data() - 1; // its backslash
    if (start < 0 || wordStart <= start || wordStart >= m_data.size() || m_data[start] != '{')
        return false;
    for (qsizetype i = start + 1; i < wordStart; ++i) {
        const char c = m_data[i];
        const bool star = c == '\\' && i + 1 < wordStart && m_data[i + 1] == '*';
        if (star)
            ++i;
        else if (c != ' ' && c != '\r' && c != '\n' && c != '\t')
            return false;
    }
    skipCurrentGroup();
    // A group the data ends in is not kept: it took the rest of the file,
    // and written back it would leave the file unbalanced.
    if (!m_done)
        m_tables.bands.keep(word, m_data.sliced(start, m_tokenizer.position() - start));
    return true;
}

} // namespace richtext::rtf
