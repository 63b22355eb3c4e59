#include "html/documenttables.h"

namespace html {

DocumentTables::DocumentTables()
    : m_styles(StyleSlots)
{
    clear();
}

void DocumentTables::clear()
{
    for (Font &f : m_fonts)
        f = Font();
    m_fontCount = 0;
    m_charsets.clear();
    m_colors.clear();
    for (Style &s : m_styles)
        s = Style();
    m_toc.fill(-1);
    m_heading.fill(-1);
}

bool DocumentTables::addFont(std::string name, int number)
{
    if (m_fontCount >= FontSlots)
        return false;
    Font &f = m_fonts[std::size_t(m_fontCount++)];
    f.name = std::move(name);
    f.number = number;
    return true;
}

void DocumentTables::addCharset(int number, int charset)
{
    if (m_charsets.size() < std::size_t(FontSlots))
        m_charsets.emplace_back(number, charset);
}

const DocumentTables::Font &DocumentTables::fontEntry(int number) const
{
    for (int i = 0; i < FontSlots - 1; ++i) {
        if (m_fonts[std::size_t(i)].number == number)
            return m_fonts[std::size_t(i)];
    }
    return m_fonts[FontSlots - 1];
}

const std::string &DocumentTables::fontName(int number) const
{
    return fontEntry(number).name;
}

int DocumentTables::fontCharset(int number) const
{
    for (const auto &[font, charset] : m_charsets) {
        if (font == number)
            return charset;
    }
    return -1;
}

int DocumentTables::colorFor(int index) const
{
    if (m_colors.empty())
        return -1;
    if (index < 0)
        index = 0;
    if (std::size_t(index) >= m_colors.size())
        return m_colors.back();
    return m_colors[std::size_t(index)];
}

namespace {

// The last digit 1-9 in text from position `from` on; 0 when there is none.
int lastLevelDigit(std::string_view text, std::size_t from)
{
    int level = 0;
    for (std::size_t i = from; i < text.size(); ++i) {
        if (text[i] >= '1' && text[i] <= '9')
            level = text[i] - '0';
    }
    return level;
}

void removeAll(std::string &text, std::string_view what)
{
    if (what.empty())
        return;
    std::size_t p = text.find(what);
    while (p != std::string::npos) {
        text.erase(p, what.size());
        p = text.find(what, p);
    }
}

// Removes every word that starts with `prefix`, with its parameter: the text
// from the prefix up to the next backslash or space, wherever it occurs.
void removeWords(std::string &text, std::string_view prefix)
{
    std::size_t p;
    while ((p = text.find(prefix)) != std::string::npos) {
        std::size_t end = text.find_first_of("\\ ", p + 1);
        if (end == std::string::npos)
            end = text.size();
        removeAll(text, std::string(text, p, end - p));
    }
}

} // namespace

void DocumentTables::classifyStyle(int number, std::string_view name)
{
    if (name.find("toc") != std::string_view::npos) {
        if (const int level = lastLevelDigit(name, 3))
            m_toc[std::size_t(level)] = number;
    } else if (name.find("heading") != std::string_view::npos) {
        if (const int level = lastLevelDigit(name, 7))
            m_heading[std::size_t(level)] = number;
    }
}

std::string normalizeStyle(std::string d, std::string b)
{
    for (std::string_view word : {"\\widctlpar", "\\adjustright", "\\nowidctlpar", "\\keepn",
                                  "\\cgrid", "\\widctl"})
        removeAll(d, word);
    for (std::string_view prefix : {"\\sbasedon", "\\snext", "\\sa", "\\sb", "\\lang", "\\slmult",
                                    "\\sl", "\\outlinelevel", "\\kerning", "\\expndtw", "\\expnd",
                                    "\\tx"})
        removeWords(d, prefix);
    if (d.find(b) != std::string::npos)
        b.clear();
    const auto hasIndent = [](const std::string &s) {
        return s.find("\\fi") != std::string::npos || s.find("\\li") != std::string::npos;
    };
    if (hasIndent(d) && hasIndent(b)) {
        removeWords(b, "\\fi");
        removeWords(b, "\\li");
    }
    return b + d;
}

} // namespace html
