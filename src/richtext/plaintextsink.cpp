#include "richtext/plaintextsink.h"

namespace richtext {

void PlainTextSink::text(QStringView text, const rtf::CharState &format)
{
    if (!format.has(rtf::CharState::Hidden))
        m_text.append(text);
}

void PlainTextSink::pageBreak(const rtf::CharState &format)
{
    if (!format.has(rtf::CharState::Hidden))
        m_text.append(u'\f');
}

void PlainTextSink::paragraphEnd(const rtf::ParState &, const rtf::CharState &, int)
{
    m_text.append(u'\n');
}

void PlainTextSink::cellEnd(const rtf::ParState &, const rtf::CharState &, int)
{
    m_text.append(u'\t');
}

void PlainTextSink::rowEnd(const rtf::RowDef &, int)
{
    if (m_text.endsWith(u'\t'))
        m_text.chop(1);
    m_text.append(u'\n');
}

QString PlainTextSink::takeText()
{
    // Line breaks inside paragraphs read as line ends in plain text.
    m_text.replace(QChar(0x2028), u'\n');
    return std::exchange(m_text, QString());
}

} // namespace richtext
