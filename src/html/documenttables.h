#pragma once

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace html {

// The document's font table, colour table and style sheet as the converter
// keeps them. Filled by the table readers; read by the writer and the reader.
class DocumentTables
{
public:
    static constexpr int FontSlots = 201;  // entries 0..200
    static constexpr int StyleSlots = 301; // style numbers 0..300
    static constexpr int Levels = 9;       // heading and contents levels 1..9

    struct Font
    {
        std::string name;
        int number = 0;
    };
    struct Style
    {
        std::string name;
        std::string definition; // control words with their backslashes, no spaces
    };

    DocumentTables();
    void clear();

    // Stores the next font entry; false when all entries are taken.
    bool addFont(std::string name, int number);
    int fontCount() const { return m_fontCount; }
    const Font &font(int index) const { return m_fonts[std::size_t(index)]; }
    // Name of the first entry with this number; the last entry's name (empty
    // in an ordinary document) when none up to the one before it matches.
    const std::string &fontName(int number) const;
    // Character sets by font number; kept also when the fonts themselves
    // are not ("noFonts"), since the text needs them.
    void addCharset(int number, int charset);
    int fontCharset(int number) const; // -1 when the font names none
    std::size_t charsetCount() const { return m_charsets.size(); }

    void addColor(int color) { m_colors.push_back(color); }
    const std::vector<int> &colors() const { return m_colors; }
    // The colour at a position of the list, the last one past its end, none
    // (-1) while the list is empty.
    int colorFor(int index) const;

    static bool validStyle(int number) { return number >= 0 && number < StyleSlots; }
    const Style &style(int number) const { return m_styles[std::size_t(number)]; }
    Style &style(int number) { return m_styles[std::size_t(number)]; }

    // Style numbers by level (1..9); -1 where the level has none.
    int tocStyle(int level) const { return m_toc[std::size_t(level)]; }
    int headingStyle(int level) const { return m_heading[std::size_t(level)]; }
    // Files a paragraph style under its name: "toc N" styles and "heading N" styles.
    void classifyStyle(int number, std::string_view name);

private:
    const Font &fontEntry(int number) const;

    std::array<Font, FontSlots> m_fonts;
    std::vector<std::pair<int, int>> m_charsets; // font number, character set
    int m_fontCount = 0;
    std::vector<int> m_colors;
    std::vector<Style> m_styles;
    std::array<int, Levels + 1> m_toc {};
    std::array<int, Levels + 1> m_heading {};
};

// A style's definition with its base definition in front, cleared of words
// the HTML cannot show (widow control, spacing, tabs, style links) and of a
// base indent that the style's own indent replaces.
std::string normalizeStyle(std::string definition, std::string base);

} // namespace html
