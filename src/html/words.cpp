#include "html/words.h"

#include <unordered_map>

namespace html {

namespace {

// Control words are short: a plain multiplicative hash beats the library's.
struct WordHash
{
    std::size_t operator()(std::string_view word) const
    {
        std::size_t h = word.size();
        for (const char c : word)
            h = h * 31 + static_cast<unsigned char>(c);
        return h;
    }
};

} // namespace

WordId wordId(std::string_view word)
{
    using W = WordId;
    static const std::unordered_map<std::string_view, WordId, WordHash> ids = {
        {"fonttbl", W::FontTable}, {"colortbl", W::ColorTable}, {"stylesheet", W::StyleSheet},
        {"trowd", W::Trowd}, {"intbl", W::Intbl}, {"row", W::Row}, {"cell", W::Cell},
        {"widctlpar", W::Widctlpar}, {"pict", W::Pict}, {"info", W::Info}, {"pntext", W::Pntext},
        {"pntxta", W::Pntxta}, {"pntxtb", W::Pntxtb},
        {"bkmkstart", W::Skipped}, {"bkmkend", W::Skipped}, {"filetbl", W::Skipped},
        {"footer", W::Skipped}, {"footerf", W::Skipped}, {"footnote", W::Skipped},
        {"header", W::Skipped}, {"headerf", W::Skipped}, {"levelnumbers", W::Skipped},
        {"headerl", W::Skipped}, {"headerr", W::Skipped}, {"footerl", W::Skipped},
        {"footerr", W::Skipped},
        {"leveltext", W::Skipped}, {"list", W::Skipped}, {"listlevel", W::Skipped},
        {"listname", W::Skipped}, {"listoverridetable", W::Skipped}, {"listtable", W::Skipped},
        {"revtbl", W::Skipped}, {"sp", W::Skipped}, {"template", W::Skipped},
        // A table inside a table: each of its cells becomes a line of the
        // outer cell, so the text that repeats them for programs that do not
        // know such tables is not read.
        {"nestcell", W::NestCell}, {"nonesttables", W::Skipped},
        {"pard", W::Pard}, {"sectd", W::Sectd}, {"par", W::Par}, {"sect", W::Sect},
        {"qc", W::Qc}, {"qr", W::Qr}, {"line", W::Line}, {"page", W::Page},
        {"plain", W::Plain}, {"v", W::V}, {"v0", W::V0}, {"caps", W::Caps}, {"caps0", W::Caps0},
        {"b", W::B}, {"b0", W::B0}, {"i", W::I}, {"i0", W::I0},
        {"ul", W::Ul}, {"uld", W::Ul}, {"uldash", W::Ul}, {"uldashd", W::Ul}, {"uldashdd", W::Ul},
        {"uldb", W::Ul}, {"ulth", W::Ul}, {"ulwave", W::Ul}, {"ulnone", W::UlOff}, {"ul0", W::UlOff},
        {"super", W::Super}, {"sub", W::Sub}, {"nosupersub", W::NoSuperSub},
        {"strike", W::Strike}, {"strikedl", W::Strike}, {"strike0", W::StrikeOff},
        {"strikedl0", W::StrikeOff},
        {"tab", W::Tab}, {"emdash", W::Emdash}, {"endash", W::Endash}, {"emspace", W::Emspace},
        {"enspace", W::Enspace}, {"lquote", W::Lquote}, {"rquote", W::Rquote},
        {"ldblquote", W::Ldblquote}, {"rdblquote", W::Rdblquote},
    };
    const auto it = ids.find(word);
    return it == ids.end() ? W::Other : it->second;
}

bool skippedByReader(WordId id)
{
    return id == WordId::Skipped || id == WordId::Pict || id == WordId::Info || id == WordId::Pntext;
}

bool skippedInTable(WordId id)
{
    return id == WordId::Skipped || id == WordId::Pict || id == WordId::Pntxta || id == WordId::Pntxtb;
}

bool writesToken(WordId id)
{
    return id >= WordId::Tab;
}

} // namespace html
