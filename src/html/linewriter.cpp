#include "html/linewriter.h"

#include "html/conversionerror.h"

#include <algorithm>

namespace html {

namespace {

constexpr std::size_t FlushSize = 64 * 1024;
// An unwritten buffer that shrinks to a few characters while collecting
// thousands (a run of empty tag pairs) stops being kept unoptimised here.
constexpr std::size_t RawLimit = 1024;

constexpr std::string_view AttributePairs[] = {
    "<B></B>",     "<I></I>",     "<U></U>",   "</B><B>",     "</I><I>",     "</U><U>",
    "<SUP></SUP>", "<SUB></SUB>", "<S></S>",   "</SUP><SUP>", "</SUB><SUB>", "</S><S>",
    "<CENTER></CENTER>", "</CENTER><CENTER>", "<DIV ALIGN=right></DIV>", "</DIV><DIV ALIGN=right>",
};
constexpr std::string_view ListPairs[] = {"<UL></UL>", "</UL><UL>"};

// Removes every occurrence of pattern from text, left to right, without
// looking at what a removal joins (the next pass does).
bool removeAll(std::string &text, std::string_view pattern, std::size_t guard, bool &touched)
{
    std::size_t p = text.find(pattern);
    if (p == std::string::npos)
        return false;
    if (p < guard)
        touched = true;
    // Compact in place: the kept pieces move left over the removed ones.
    char *data = text.data();
    std::size_t write = p;
    std::size_t read = p + pattern.size();
    while ((p = text.find(pattern, read)) != std::string::npos) {
        std::copy(data + read, data + p, data + write);
        write += p - read;
        read = p + pattern.size();
    }
    std::copy(data + read, data + text.size(), data + write);
    text.resize(write + text.size() - read);
    return true;
}

// End of the first line break in text at or after `from`: after the first
// "<P>", or only when there is none, after the first "<BR>".
std::size_t findBreak(const std::string &text, std::size_t from)
{
    std::size_t p = text.find("<P>", from);
    if (p != std::string::npos)
        return p + 3;
    p = text.find("<BR>", from);
    if (p != std::string::npos)
        return p + 4;
    return std::string::npos;
}

// Tags that begin or end a block: white space next to them shows nothing.
bool isBlockTag(std::string_view tag)
{
    std::size_t i = 1;
    if (i < tag.size() && tag[i] == '/')
        ++i;
    std::size_t end = i;
    while (end < tag.size() && ((tag[end] >= 'A' && tag[end] <= 'Z') || (tag[end] >= 'a' && tag[end] <= 'z')))
        ++end;
    static constexpr std::string_view Blocks[] = {"P",  "BR", "HR", "TABLE",  "TR", "TD",
                                                  "UL", "LI", "OL", "CENTER", "DIV"};
    const std::string_view name = tag.substr(i, end - i);
    for (const std::string_view b : Blocks) {
        if (name.size() == b.size()
            && std::equal(name.begin(), name.end(), b.begin(), [](char x, char y) { return (x & ~0x20) == y; }))
            return true;
    }
    return false;
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

LineWriter::Side LineWriter::sideBefore(std::string_view text)
{
    std::size_t i = text.size();
    while (i > 0) {
        if (text[i - 1] != '>')
            return isSpace(text[i - 1]) ? Side::Space : Side::Word;
        const std::size_t open = text.rfind('<', i - 1);
        if (open == std::string_view::npos)
            return Side::Word;
        if (isBlockTag(text.substr(open, i - open)))
            return Side::Space;
        i = open;
    }
    return Side::Space; // nothing but inline tags: no word to split
}

LineWriter::Side LineWriter::sideAfter(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] != '<')
            return isSpace(text[i]) ? Side::Space : Side::Word;
        const std::size_t close = text.find('>', i);
        if (close == std::string_view::npos)
            return Side::Word;
        if (isBlockTag(text.substr(i, close + 1 - i)))
            return Side::Space;
        i = close + 1;
    }
    return Side::Unknown;
}

LineWriter::LineWriter(std::ostream &out)
    : m_out(out)
{
    for (std::string_view p : AttributePairs)
        m_longestPattern = std::max(m_longestPattern, p.size());
    indexPatterns();
}

LineWriter::~LineWriter() = default;

void LineWriter::setOptimize(bool on)
{
    m_optimize = on;
    indexPatterns();
}

namespace {

// "<...><...>" with no other angle bracket inside.
bool isTwoTags(std::string_view p)
{
    const std::size_t join = p.find("><");
    return !p.empty() && p.front() == '<' && p.back() == '>' && join != std::string_view::npos
        && p.find_first_of("<>", 1) == join && p.find_first_of("<>", join + 2) == p.size() - 1;
}

} // namespace

void LineWriter::indexPatterns()
{
    m_twoTagPatterns.clear();
    m_otherPatterns = false;
    const auto add = [this](std::string_view p) {
        if (isTwoTags(p))
            m_twoTagPatterns.insert(p);
        else
            m_otherPatterns = true;
    };
    for (std::string_view p : ListPairs)
        add(p);
    if (m_optimize) {
        for (std::string_view p : AttributePairs)
            add(p);
        for (const std::string &p : m_patterns)
            add(p);
    }
}

bool LineWriter::mayChange(std::string_view text) const
{
    if (m_otherPatterns)
        return true;
    // Without the option only the list pairs are removed, and both hold "UL><".
    if (!m_optimize)
        return text.find("UL><") != std::string_view::npos;
    // A two-tag pattern is the tag that ends at a "><" and the tag that
    // starts there, one of them an opening and the other a closing tag.
    for (std::size_t i = text.find("><"); i != std::string_view::npos; i = text.find("><", i + 1)) {
        const std::size_t open = text.rfind('<', i);
        if (open == std::string_view::npos || (text[open + 1] == '/') == (text[i + 2] == '/'))
            continue;
        const std::size_t close = text.find('>', i + 2);
        if (close == std::string_view::npos)
            continue;
        if (m_twoTagPatterns.count(text.substr(open, close + 1 - open)))
            return true;
    }
    return false;
}

void LineWriter::addPattern(const std::string &pattern)
{
    if (pattern.empty() || m_patterns.size() >= MaxPatterns
        || std::find(m_patterns.begin(), m_patterns.end(), pattern) != m_patterns.end())
        return;
    m_patterns.push_back(pattern);
    m_longestPattern = std::max(m_longestPattern, pattern.size());
    m_textIsFixed = false;
    indexPatterns();
}

std::vector<std::string> LineWriter::patterns() const
{
    return std::vector<std::string>(m_patterns.rbegin(), m_patterns.rend());
}

void LineWriter::optimizeInPlace(std::string &text, std::size_t guard, bool &touched) const
{
    if (!mayChange(text))
        return;
    for (;;) {
        bool changed = false;
        if (m_optimize) {
            for (std::string_view p : AttributePairs)
                changed |= removeAll(text, p, guard, touched);
        }
        for (std::string_view p : ListPairs)
            changed |= removeAll(text, p, guard, touched);
        // All registered patterns hold a "<FONT" tag.
        if (m_optimize && text.find("<FONT") != std::string::npos) {
            for (auto it = m_patterns.rbegin(); it != m_patterns.rend(); ++it)
                changed |= removeAll(text, *it, guard, touched);
        }
        if (!changed || !mayChange(text))
            return;
    }
}

std::string LineWriter::optimize(std::string_view text) const
{
    std::string s(text);
    bool touched = false;
    optimizeInPlace(s, 0, touched);
    return s;
}

std::string LineWriter::linkUrls(std::string_view line)
{
    std::string result;
    appendLinked(result, line);
    return result;
}

void LineWriter::appendLinked(std::string &out, std::string_view line)
{
    static constexpr std::string_view Scheme = "http://";
    std::size_t from = 0;
    for (std::size_t p = line.find(Scheme); p != std::string_view::npos; p = line.find(Scheme, from)) {
        std::size_t end = line.find_first_of("< ,", p);
        if (end == std::string_view::npos)
            end = line.size();
        const std::string_view address = line.substr(p, end - p);
        out.append(line.substr(from, p - from));
        out.append("<A HREF=\"").append(address).append("\">").append(address).append("</A>");
        from = end;
    }
    out.append(line.substr(from));
}

void LineWriter::dropRaw()
{
    m_raw.clear();
    m_rawDiffers = false;
}

void LineWriter::writeOut(std::string_view fragment)
{
    if (fragment.empty())
        return;

    if (m_pendingBreak > 0) {
        // The buffer was optimised and held whole when the break was put off.
        if (sideAfter(fragment) == Side::Space) {
            emitLinkedLine(std::string_view(m_text).substr(0, m_pendingBreak));
            m_text.erase(0, m_pendingBreak);
        }
        m_pendingBreak = 0;
    }

    // A fragment without ">" cannot complete a pattern or a break tag, so the
    // buffer's optimised form just grows by it.
    if (fragment.find('>') == std::string_view::npos) {
        m_text.append(fragment);
        if (m_rawDiffers)
            m_raw.append(fragment);
        if (m_text.size() > LineLength || m_raw.size() > RawLimit)
            dropRaw();
        return;
    }

    std::size_t searchFrom = 0;
    if (m_rawDiffers || !m_textIsFixed) {
        std::string buffer = m_rawDiffers ? m_raw : m_text;
        buffer.append(fragment);
        std::string t = buffer;
        bool touched = false;
        optimizeInPlace(t, 0, touched);
        m_textIsFixed = true;
        if (t.size() <= LineLength && findBreak(t, 0) == std::string::npos) {
            // Nothing to write yet: the page keeps the text as it came.
            m_rawDiffers = t != buffer && buffer.size() <= RawLimit;
            m_raw = m_rawDiffers ? std::move(buffer) : std::string();
            m_text = std::move(t);
            return;
        }
        m_text = std::move(t);
    } else {
        // The buffer holds no pattern, so only its end can take part in a
        // removal together with the fragment. Optimise a window at the end;
        // if a removal reaches the window's first characters, widen it and
        // start again.
        const std::size_t joined = m_text.size();
        m_text.append(fragment); // the buffer as it came, until optimised
        const std::size_t guard = m_longestPattern;
        const std::size_t windowMinimum = 2 * m_longestPattern;
        std::size_t start = joined > windowMinimum ? joined - windowMinimum : 0;
        bool changed = false;
        if (mayChange(std::string_view(m_text).substr(start))) {
            std::size_t grow = windowMinimum;
            for (;;) {
                m_window.assign(m_text, start, std::string::npos);
                bool touched = false;
                optimizeInPlace(m_window, start > 0 ? guard : 0, touched);
                if (!touched || start == 0)
                    break;
                start = start > grow ? start - grow : 0;
                grow *= 2;
            }
            // Removing is all the optimiser does.
            changed = m_window.size() != m_text.size() - start;
        }
        searchFrom = start >= 4 ? start - 4 : 0;
        if (changed) {
            if (start + m_window.size() <= LineLength && findBreak(m_window, 0) == std::string::npos) {
                // Nothing to write yet: the page keeps the text as it came.
                if (m_text.size() <= RawLimit) {
                    m_raw = m_text;
                    m_rawDiffers = true;
                }
                m_text.resize(start);
                m_text.append(m_window);
                return;
            }
            m_text.resize(start);
            m_text.append(m_window);
        } else if (m_text.size() <= LineLength && findBreak(m_text, searchFrom) == std::string::npos) {
            return;
        }
    }
    dropRaw();

    std::size_t lineStart = 0;
    std::size_t end = findBreak(m_text, searchFrom);
    while (end != std::string::npos) {
        emitLinkedLine(std::string_view(m_text).substr(lineStart, end - lineStart));
        lineStart = end;
        end = findBreak(m_text, lineStart);
    }
    m_text.erase(0, lineStart);

    const std::size_t n = m_text.size();
    if (n > LineLength && m_text[n - 1] == '>' && m_text[n - 2] != 'L' && m_text[n - 2] != 'A') {
        if (sideBefore(m_text) == Side::Space) {
            emitLinkedLine(m_text);
            m_text.clear();
        } else if (n > ForcedBreak) {
            emitLinkedLine(std::string_view(m_text).substr(0, n - 1));
            m_text.erase(0, n - 1);
        } else {
            m_pendingBreak = n;
        }
    }
}

void LineWriter::writeRemaining()
{
    // Nothing follows: a break that waited is harmless.
    if (m_pendingBreak > 0) {
        emitLinkedLine(std::string_view(m_text).substr(0, m_pendingBreak));
        m_text.erase(0, m_pendingBreak);
        m_pendingBreak = 0;
    }
    writeLine(m_rawDiffers ? m_raw : m_text);
    m_text.clear();
    dropRaw();
}

void LineWriter::writeLine(std::string_view line)
{
    emitLine(line);
}

void LineWriter::emitLinkedLine(std::string_view line)
{
    appendLinked(m_written, line);
    m_written.append("\r\n");
    if (m_written.size() >= FlushSize)
        flush();
}

void LineWriter::emitLine(std::string_view line)
{
    m_written.append(line);
    m_written.append("\r\n");
    if (m_written.size() >= FlushSize)
        flush();
}

void LineWriter::flush()
{
    if (!m_written.empty()) {
        m_out.write(m_written.data(), std::streamsize(m_written.size()));
        m_written.clear();
    }
    m_out.flush();
    if (!m_out)
        throw OutputError("Cannot write the HTML output");
}

std::string LineWriter::pending() const
{
    return m_rawDiffers ? m_raw : m_text;
}

} // namespace html
