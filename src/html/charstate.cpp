#include "html/charstate.h"

namespace html {

void CharState::reset(Reset mode)
{
    if (mode != Reset::Paragraph) {
        hidden = caps = bold = italic = underline = false;
        superscript = subscript = strike = false;
        fontNumber = -1;
        color = NoColor;
        fontSize = -1;
    }
    if (mode != Reset::Text)
        alignRight = alignCenter = false;
}

bool CharState::operator==(const CharState &o) const
{
    return hidden == o.hidden && caps == o.caps && bold == o.bold && italic == o.italic
        && underline == o.underline && superscript == o.superscript
        && subscript == o.subscript && strike == o.strike && fontNumber == o.fontNumber
        && color == o.color && fontSize == o.fontSize && alignRight == o.alignRight
        && alignCenter == o.alignCenter;
}

std::string colorString(int color)
{
    if (color < 0)
        return "none";
    static const char digits[] = "0123456789ABCDEF";
    std::string s = "#";
    for (int shift = 20; shift >= 0; shift -= 4)
        s += digits[(color >> shift) & 0xF];
    return s;
}

} // namespace html
