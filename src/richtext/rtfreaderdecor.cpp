#include "richtext/rtfdecor.h"
#include "richtext/rtfreader.h"

namespace richtext::rtf {

int borderStyleOfWord(std::string_view word)
{
    if (word == "brdrth")
        return BorderDef::Thick;
    if (word == "brdrdb" || word == "brdrtriple")
        return BorderDef::Double;
    if (word == "brdrdot")
        return BorderDef::Dotted;
    if (word.substr(0, 8) == "brdrdash")
        return BorderDef::Dashed;
    return BorderDef::Single; // \brdrs, \brdrsh, \brdrhair and the like
}

bool Reader::applyDecorWord(ParState &p, Kw id, bool hasParam, int param)
{
    const int value = hasParam ? param : 0;
    // Each change makes (or finds) the set the paragraph now refers to;
    // paragraphs that read alike share one.
    const auto change = [this, &p](auto &&edit) {
        auto &sets = m_tables.decorSets;
        DecorDef decor;
        if (p.decor >= 0 && size_t(p.decor) < sets.size())
            decor = sets[size_t(p.decor)];
        edit(decor);
        if (decor == DecorDef()) {
            p.decor = -1;
            return;
        }
        const auto found = std::find(sets.begin(), sets.end(), decor);
        if (found != sets.end()) {
            p.decor = int(found - sets.begin());
        } else if (sets.size() < 65536) {
            p.decor = int(sets.size());
            sets.push_back(decor);
        }
    };
    // The sides the border words that follow describe.
    const auto onSides = [this, &change](auto &&edit) {
        if (m_decorSide < 0)
            return;
        change([this, &edit](DecorDef &decor) {
            for (int side = 0; side < 4; ++side) {
                if (m_decorSide == 4 || m_decorSide == side)
                    edit(decor, side);
            }
        });
    };
    const auto startSide = [&](int side) {
        m_decorSide = side;
        onSides([](DecorDef &decor, int s) {
            decor.sides[s] = BorderDef();
            decor.space[s] = 0;
        });
    };
    switch (id) {
    case Kw::BrdrT: startSide(BorderSide::Top); return true;
    case Kw::BrdrL: startSide(BorderSide::Left); return true;
    case Kw::BrdrB: startSide(BorderSide::Bottom); return true;
    case Kw::BrdrR: startSide(BorderSide::Right); return true;
    case Kw::Box: startSide(4); return true;
    case Kw::BrdrOther:
        // Lines between paragraphs and bars beside them are not drawn; their
        // words must not change the box.
        m_decorSide = -1;
        return true;
    case Kw::BrdrStyle:
        onSides([value](DecorDef &d, int s) { d.sides[s].style = std::uint8_t(std::clamp(value, 0, 5)); });
        return true;
    case Kw::BrdrNone:
        onSides([](DecorDef &d, int s) { d.sides[s].style = BorderDef::None; });
        return true;
    case Kw::BrdrW:
        onSides([value](DecorDef &d, int s) { d.sides[s].width = std::clamp(value, 0, 255); });
        return true;
    case Kw::BrdrCf:
        onSides([value](DecorDef &d, int s) { d.sides[s].color = std::max(value, 0); });
        return true;
    case Kw::BrSp:
        onSides([value](DecorDef &d, int s) { d.space[s] = std::clamp(value, 0, 31680); });
        return true;
    case Kw::CbPat:
        change([value](DecorDef &d) { d.background = std::max(value, 0); });
        return true;
    case Kw::CfPat:
        change([value](DecorDef &d) { d.pattern = std::max(value, 0); });
        return true;
    case Kw::Shading:
        change([value](DecorDef &d) { d.shading = std::clamp(value, 0, 10000); });
        return true;
    default:
        return false;
    }
}

ParagraphDecor decorFromRtf(const DecorDef &def, const DocumentTables &tables)
{
    // Colour index 0 is the automatic colour, as for text.
    const auto color = [&tables](int index) { return index > 0 ? tables.color(index) : QColor(); };
    ParagraphDecor decor;
    for (int side = 0; side < 4; ++side) {
        ParagraphBorder &border = decor.sides[side];
        border.style = BorderStyle(def.sides[side].style);
        if (border.style == BorderStyle::None)
            continue;
        border.width = def.sides[side].width;
        border.space = def.space[side];
        border.color = color(def.sides[side].color);
    }
    decor.background = color(def.background);
    decor.pattern = color(def.pattern);
    decor.shading = def.shading;
    return decor;
}

} // namespace richtext::rtf
