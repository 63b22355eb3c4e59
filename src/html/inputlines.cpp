#include "html/inputlines.h"

#include "html/conversionerror.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace html {

namespace {
constexpr std::size_t ChunkSize = 64 * 1024;
constexpr char EndOfFileMark = 26;

bool endsLine(char c)
{
    return c == '\n' || c == '\r' || c == EndOfFileMark;
}

// The first CR, LF or end-of-file mark in [begin, end), or end.
const char *firstLineEnd(const char *begin, const char *end)
{
    const char *stop = end;
    for (const char c : {'\n', '\r', EndOfFileMark}) {
        if (const void *p = std::memchr(begin, c, std::size_t(stop - begin)))
            stop = static_cast<const char *>(p);
    }
    return stop;
}
} // namespace

InputLines::InputLines(std::istream &in)
    : m_in(in)
    , m_chunk(ChunkSize)
{
}

bool InputLines::fill()
{
    if (m_pos < m_len)
        return true;
    if (m_streamDone)
        return false;
    m_in.read(m_chunk.data(), std::streamsize(m_chunk.size()));
    const std::streamsize got = m_in.gcount();
    if (m_in.bad())
        throw ConversionError("Read error in the RTF input after line " + std::to_string(m_lineNumber));
    m_pos = 0;
    m_len = std::size_t(got);
    if (got <= 0) {
        m_streamDone = true;
        return false;
    }
    return true;
}

bool InputLines::atEnd()
{
    if (m_stopped)
        return true;
    if (!fill())
        return true;
    if (m_skipLineFeed) {
        m_skipLineFeed = false;
        if (m_chunk[m_pos] == '\n') {
            ++m_pos;
            if (!fill())
                return true;
        }
    }
    if (m_chunk[m_pos] == EndOfFileMark) {
        m_stopped = true;
        return true;
    }
    return false;
}

bool InputLines::appendLine(std::string &text)
{
    if (atEnd())
        return false;
    ++m_lineNumber;
    std::size_t length = 0;
    for (;;) {
        if (!fill()) {
            m_lastLineEnded = true;
            return true;
        }
        const char *begin = m_chunk.data() + m_pos;
        const char *end = m_chunk.data() + m_len;
        if (length < LongLine) {
            const char *stop = begin + std::min<std::size_t>(std::size_t(end - begin), LongLine - length);
            const char *p = firstLineEnd(begin, stop);
            text.append(begin, p);
            length += std::size_t(p - begin);
            m_pos += std::size_t(p - begin);
            if (p == stop)
                continue;
        } else {
            // Past the guard: cut before a "{" unless a backslash in the two
            // characters before it could make it part of a control symbol.
            const char *p = begin;
            for (; p != end; ++p) {
                const char c = *p;
                if (endsLine(c))
                    break;
                if (c == '{') {
                    const std::size_t n = text.size();
                    if (text[n - 1] != '\\' && text[n - 2] != '\\') {
                        m_pos += std::size_t(p - begin);
                        m_lastLineEnded = false;
                        return true;
                    }
                }
                text.push_back(c);
            }
            m_pos += std::size_t(p - begin);
            if (p == end)
                continue;
        }
        const char c = m_chunk[m_pos++];
        if (c == EndOfFileMark)
            m_stopped = true;
        else if (c == '\r')
            m_skipLineFeed = true;
        m_lastLineEnded = true;
        return true;
    }
}

std::string_view CurrentLine::view(std::size_t from) const
{
    if (from >= size())
        return {};
    return std::string_view(m_buf).substr(m_start + from);
}

std::string_view CurrentLine::view(std::size_t from, std::size_t count) const
{
    if (from >= size())
        return {};
    return std::string_view(m_buf).substr(m_start + from, count);
}

std::size_t CurrentLine::find(char c, std::size_t from) const
{
    if (from >= size())
        return std::string::npos;
    const std::size_t p = m_buf.find(c, m_start + from);
    return p == std::string::npos ? p : p - m_start;
}

std::size_t CurrentLine::find(std::string_view text, std::size_t from) const
{
    if (from > size())
        return std::string::npos;
    const std::size_t p = m_buf.find(text, m_start + from);
    return p == std::string::npos ? p : p - m_start;
}

void CurrentLine::set(std::string_view text)
{
    m_buf.assign(text);
    m_start = 0;
    m_spliceEnd = 0;
}

void CurrentLine::clear()
{
    m_buf.clear();
    m_start = 0;
    m_spliceEnd = 0;
}

void CurrentLine::cut(std::size_t n)
{
    m_start = std::min(m_buf.size(), m_start + n);
    // Drop the scanned text once it outweighs what is left, so that a long
    // line is not copied for every cut.
    if (m_start >= 64 * 1024 && m_start > size())
        compact();
}

void CurrentLine::compact()
{
    // Some room stays in front for style definitions spliced in later.
    const std::size_t keep = std::min<std::size_t>(m_start, 4096);
    const std::size_t drop = m_start - keep;
    m_buf.erase(0, drop);
    m_spliceEnd = m_spliceEnd > drop ? m_spliceEnd - drop : 0;
    m_start = keep;
}

void CurrentLine::takeRest(std::size_t p, InputLines &in)
{
    while (size() <= p) {
        if (!appendNext(in)) {
            clear();
            return;
        }
    }
    cut(p);
}

bool CurrentLine::loadNext(InputLines &in)
{
    clear();
    return in.appendLine(m_buf);
}

bool CurrentLine::endsInControlWord() const
{
    std::size_t j = m_buf.size();
    while (j > m_start && (std::isalpha((unsigned char)m_buf[j - 1]) || std::isdigit((unsigned char)m_buf[j - 1])
                           || m_buf[j - 1] == '-'))
        --j;
    if (j == m_start || m_buf[j - 1] != '\\')
        return false;
    if (j < m_buf.size() && !std::islower((unsigned char)m_buf[j]))
        return false; // a control symbol such as "\-" is complete
    std::size_t backslashes = 0;
    for (std::size_t k = j; k > m_start && m_buf[k - 1] == '\\'; --k)
        ++backslashes;
    return backslashes % 2 == 1;
}

bool CurrentLine::appendNext(InputLines &in, bool keepWordEnd)
{
    if (m_start >= 64 * 1024 && m_start > size())
        compact();
    if (in.atEnd())
        return false;
    // Joined lines have nothing between them, but a control word that ended
    // its line must still end there: a space, its delimiter, keeps it apart.
    // A backslash that ends a line is a paragraph end ("\" and the line
    // end); joined, it becomes the word that says so.
    if (keepWordEnd && endsInControlWord())
        m_buf.append(m_buf.back() == '\\' ? "par " : " ");
    return in.appendLine(m_buf);
}

void CurrentLine::refill(InputLines &in, std::size_t minimum)
{
    while (size() < minimum && appendNext(in)) {
    }
}

void CurrentLine::splice(std::string_view definition)
{
    const std::size_t n = definition.size();
    if (m_start >= n) {
        m_start -= n;
        std::memcpy(m_buf.data() + m_start, definition.data(), n);
    } else {
        // Leave room in front so that a run of spliced paragraphs on one long
        // line does not copy the line again for every paragraph.
        const std::size_t room = std::max<std::size_t>(4096, size());
        std::string grown;
        grown.reserve(room + n + size());
        grown.append(room, '\0');
        grown.append(definition);
        grown.append(view());
        m_buf.swap(grown);
        m_start = room;
    }
    m_spliceEnd = m_start + n;
}

} // namespace html
