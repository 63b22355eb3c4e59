#include "richtext/rtfreader.h"

// Page header and footer groups: not read into the document, but kept whole
// as the file holds them (pagebandset.h), to be drawn on printed pages and
// written back when the document is saved.
namespace richtext::rtf {

bool Reader::keepPageBand(std::string_view word)
{
    if (!m_tables.bands.wants(word) || !opensBodyGroup(word))
        return false;
    const qsizetype start = m_groupStart;
    skipCurrentGroup();
    // A group the data ends in is not kept: it took the rest of the file,
    // and written back it would leave the file unbalanced.
    if (!m_done)
        m_tables.bands.keep(word, m_data.sliced(start, m_tokenizer.position() - start));
    return true;
}

} // namespace richtext::rtf
