#include "richtext/rtfreader.h"

// Drawing shapes: {\shp{\*\shpinst ... {\sp{\sn name}{\sv value}} ...
// {\shptxt ...}}{\shprslt ...}}. The document has no floating objects, so a
// shape's content goes into the flow where the shape is anchored: the
// picture of its "pib" property inline, at the shape's size, and the text of
// a text box as paragraphs of their own. Its other properties (lines, fills,
// placement) are not read. \shprslt is what a reader that knows no shapes
// shows instead; it is read only when the shape itself gave nothing, so that
// nothing shows twice. A group of shapes (\shpgrp) is read as a shape
// holding shapes.
namespace richtext::rtf {

namespace {

constexpr int MaxShapeTwips = 1 << 20; // as for a picture's goal size

// Whether the group `tokens` is in shows anything: text, a character, a
// picture or a paragraph end. Looks at its first tokens only; a group that
// says nothing by then counts as showing something.
bool groupShowsSomething(Tokenizer tokens)
{
    int depth = 0;
    for (int n = 0; n < 256; ++n) {
        const Token t = tokens.next();
        switch (t.type) {
        case Token::End:
            return false;
        case Token::GroupStart:
            ++depth;
            break;
        case Token::GroupEnd:
            if (--depth < 0)
                return false;
            break;
        case Token::Text:
            if (t.word.find_first_not_of(" \t") != std::string_view::npos)
                return true;
            break;
        case Token::HexByte:
        case Token::Binary:
            return true;
        case Token::ControlSymbol:
            if (t.param != '*' && t.param != ':' && t.param != '|')
                return true;
            break;
        case Token::ControlWord:
            switch (lookupKeyword(t.word).id) {
            case Kw::U: case Kw::Par: case Kw::Pict: case Kw::Tab: case Kw::Line: case Kw::Sect:
            case Kw::Page: case Kw::Cell: case Kw::NestCell: case Kw::Row: case Kw::NestRow:
            case Kw::Bullet: case Kw::EmDash: case Kw::EnDash: case Kw::EmSpace: case Kw::EnSpace:
            case Kw::QmSpace: case Kw::LQuote: case Kw::RQuote: case Kw::LDblQuote: case Kw::RDblQuote:
                return true;
            default:
                break;
            }
            break;
        }
    }
    return true;
}

} // namespace

bool Reader::beginShapeDestination(Kw id)
{
    Group &g = m_stack.back();
    const Dest d = g.dest;
    const bool body = d == Dest::Body;
    switch (id) {
    case Kw::Shp: {
        if (!body)
            return false;
        ShapeInfo shape;
        shape.parent = g.shape;
        g.shape = int(m_shapes.size());
        m_shapes.push_back(shape);
        return true;
    }
    case Kw::ShpInst:
        if (!body || g.shape < 0)
            return false;
        g.dest = Dest::ShpInst;
        return true;
    case Kw::ShpRslt:
        return body && (g.shape < 0 || !m_shapes[size_t(g.shape)].shown);
    case Kw::Sp:
        if (d != Dest::ShpInst)
            return false;
        g.dest = Dest::ShpProp;
        m_shapeProp.clear();
        return true;
    case Kw::Sn:
        if (d != Dest::ShpProp)
            return false;
        // Property names are plain words: read here from the data, as they
        // stand before the group's end.
        g.dest = Dest::ShpName;
        m_shapeProp.clear();
        for (qsizetype i = m_tokenizer.position(); i < m_data.size() && m_shapeProp.size() < 64; ++i) {
            const char c = m_data[i];
            if (c == '}' || c == '{' || c == '\\')
                break;
            if (c != ' ' && c != '\r' && c != '\n' && c != '\t')
                m_shapeProp.append(QLatin1Char(c));
        }
        return true;
    case Kw::Sv:
        // Of the values only the picture is read.
        if (d != Dest::ShpProp || m_shapeProp.compare(u"pib", Qt::CaseInsensitive) != 0)
            return false;
        g.dest = Dest::ShpPib;
        return true;
    case Kw::Pict: {
        // The shape has its picture even when the sink reads no pictures:
        // the fallback is not wanted either way.
        for (int s = g.shape; s >= 0; s = m_shapes[size_t(s)].parent)
            m_shapes[size_t(s)].shown = true;
        if (!m_sink.wantsPictures())
            return false;
        g.dest = Dest::Pict;
        m_pict = Picture();
        m_pictNibble = -1;
        return true;
    }
    case Kw::ShpTxt: {
        if (d != Dest::ShpInst)
            return false;
        // The text box's paragraphs stand on their own: the text of the
        // anchor's paragraph before the shape ends there (unless the box is
        // empty).
        if (m_shown > m_paragraphShown && groupShowsSomething(m_tokenizer))
            paragraphEnd();
        g.dest = Dest::Body;
        m_shapes[size_t(g.shape)].textStart = m_shown;
        return true;
    }
    default:
        return false;
    }
}

void Reader::shapeWord(Kw id, bool hasParam, int param, std::string_view word)
{
    Group &g = m_stack.back();
    if (id != Kw::ShpBox || g.shape < 0 || !hasParam || word.size() < 4)
        return;
    ShapeInfo &shape = m_shapes[size_t(g.shape)];
    const int value = std::clamp(param, -MaxShapeTwips, MaxShapeTwips);
    switch (word[3]) { // shp[l]eft, shp[t]op, shp[r]ight, shp[b]ottom
    case 'l': shape.left = value; break;
    case 't': shape.top = value; break;
    case 'r': shape.right = value; break;
    case 'b': shape.bottom = value; break;
    default: break;
    }
}

void Reader::endShapePart(const Group &closed)
{
    const Group &parent = m_stack.back();
    ShapeInfo &shape = m_shapes[size_t(closed.shape)];
    if (closed.dest == Dest::Pict && (parent.dest == Dest::ShpPib || parent.dest == Dest::ShpProp)) {
        // The shape's frame is the picture's size; the picture's own goal
        // and scale describe it before it was fitted there.
        const int w = std::min(shape.right - shape.left, MaxShapeTwips);
        const int h = std::min(shape.bottom - shape.top, MaxShapeTwips);
        if (w > 0 && h > 0) {
            m_pict.goalw = w;
            m_pict.goalh = h;
            m_pict.scalex = m_pict.scaley = 100;
        }
        return;
    }
    if (closed.dest == Dest::Body && parent.dest == Dest::ShpInst && shape.textStart >= 0) {
        // The end of a text box: its last paragraph ends with it, in the
        // box's formatting, and the anchor's paragraph goes on after it.
        flushRun();
        if (m_shown == shape.textStart)
            return; // an empty box: the shape's fallback may show instead
        for (int s = closed.shape; s >= 0; s = m_shapes[size_t(s)].parent)
            m_shapes[size_t(s)].shown = true;
        if (m_shown > m_paragraphShown) {
            const int level = closed.par.itap > 0 ? std::min(closed.par.itap, MaxTableLevel)
                              : closed.par.has(ParState::InTable) || m_rowOpen ? 1
                                                                                : 0;
            m_sink.paragraphEnd(closed.par, closed.chr, level);
            m_paragraphShown = m_shown;
        }
        m_textBoxEnded = true;
    }
}

} // namespace richtext::rtf
