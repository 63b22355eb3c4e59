#include "richtext/rtfreader.h"

namespace richtext::rtf {

namespace {

// Lengths beyond a page's worth of twips many times over are nonsense; they
// are clamped so that later arithmetic stays far from overflow.
constexpr int MaxTwips = 31680 * 4;

inline int twips(int value)
{
    return std::clamp(value, -MaxTwips, MaxTwips);
}

inline bool on(bool hasParam, int param)
{
    return !hasParam || param != 0;
}

char16_t symbolChar(Kw id)
{
    switch (id) {
    case Kw::Tab: return u'\t';
    case Kw::Line: return 0x2028;
    case Kw::EmDash: return 0x2014;
    case Kw::EnDash: return 0x2013;
    case Kw::EmSpace: return 0x2003;
    case Kw::EnSpace: return 0x2002;
    case Kw::QmSpace: return 0x2005;
    case Kw::Bullet: return 0x2022;
    case Kw::LQuote: return 0x2018;
    case Kw::RQuote: return 0x2019;
    case Kw::LDblQuote: return 0x201C;
    case Kw::RDblQuote: return 0x201D;
    case Kw::Zwj: return 0x200D;
    case Kw::Zwnj: return 0x200C;
    case Kw::LtrMark: return 0x200E;
    case Kw::RtlMark: return 0x200F;
    default: return 0;
    }
}

} // namespace

void Reader::controlWord(const Token &t)
{
    const KeywordInfo info = lookupKeyword(t.word);
    Group &g = m_stack.back();
    // A border's style is named by its word; paragraph formatting gets it as
    // a number, so that a style sheet can replay it.
    const bool borderStyle = info.id == Kw::BrdrStyle;
    const bool hasParam = t.hasParam || borderStyle;
    const int param = borderStyle ? borderStyleOfWord(t.word) : t.param;

    if (g.dest == Dest::UprChild) {
        // {\upr{ansi text}{\*\ud{unicode text}}}: only the \ud part is read.
        if (info.id == Kw::Ud)
            g.dest = g.outer;
        else
            skipCurrentGroup();
        return;
    }
    if (m_star) {
        // An optional destination we do not know is skipped with its group.
        // A character style in the style sheet is written {\*\csN ...}.
        const bool characterStyle = info.id == Kw::Cs && g.dest == Dest::StyleEntry;
        if (!info.destination && !characterStyle) {
            skipCurrentGroup();
            return;
        }
    }
    if (info.destination) {
        if (info.id == Kw::PageBand && m_overflow == 0 && keepPageBand(t.word))
            return;
        if (info.id == Kw::Footnote && m_overflow == 0 && keepFootnote(t.word))
            return;
        if (m_overflow > 0 || !beginDestination(info.id))
            skipCurrentGroup();
        return;
    }
    if (g.dest == Dest::Pict) {
        pictWord(info.id, t.hasParam, t.param, t.word);
        return;
    }
    if (g.dest == Dest::ShpInst) {
        shapeWord(info.id, t.hasParam, t.param, t.word);
        return;
    }
    if (info.id == Kw::Unknown)
        return;

    switch (info.id) {
    case Kw::U: {
        // \uN is a signed 16-bit value; the bytes that follow stand for it
        // in readers that do not know \u.
        const int code = t.param < 0 ? t.param + 65536 : t.param;
        if (t.hasParam && code >= 0 && code <= 0xFFFF && g.dest != Dest::ColorTable)
            deliverChar(char16_t(code));
        m_skip = g.uc;
        return;
    }
    case Kw::Uc:
        g.uc = std::uint8_t(std::clamp(t.hasParam ? t.param : 1, 0, 255));
        return;
    case Kw::AnsiCpg:
        if (t.hasParam && t.param > 0)
            m_tables.codePage = t.param;
        return;
    case Kw::Mac:
        m_tables.codePage = 10000;
        return;
    case Kw::Pc:
        m_tables.codePage = 437;
        return;
    case Kw::Pca:
        m_tables.codePage = 850;
        return;
    case Kw::Deff:
        if (t.hasParam)
            m_tables.defaultFont = t.param;
        return;
    case Kw::DefLang:
        if (t.hasParam && !m_options.plainRtf)
            m_tables.defaultLang = t.param;
        return;
    default:
        break;
    }

    switch (g.dest) {
    case Dest::Body:
        break;
    case Dest::FontTable:
    case Dest::FontEntry:
    case Dest::ColorTable:
    case Dest::List:
    case Dest::ListOverride:
    case Dest::LfoLevel:
    case Dest::PnDef:
        tableWord(info.id, t.hasParam, t.param);
        return;
    case Dest::ListLevel:
        // The level's indents and bullet font land in the group state,
        // where commitListLevel() takes them.
        if (info.id == Kw::LevelNfc || info.id == Kw::LevelNfcN || info.id == Kw::LevelStartAt
            || info.id == Kw::LevelJc || info.id == Kw::LevelJcN)
            tableWord(info.id, t.hasParam, t.param);
        else
            applyFormatting(info.id, t.hasParam, t.param);
        return;
    case Dest::StyleEntry:
        if (info.id == Kw::S || info.id == Kw::Cs) {
            m_styleIndex = t.hasParam ? t.param : 0;
            m_styleCharacter = info.id == Kw::Cs;
        } else if (info.id == Kw::SBasedOn) {
            m_style.basedOn = t.hasParam ? t.param : -1;
        } else if (info.id != Kw::Pard && info.id != Kw::Plain && info.id != Kw::InTbl
                   && info.id != Kw::Itap && applyFormatting(info.id, hasParam, param)
                   && m_style.words.size() < 256) {
            m_style.words.push_back({info.id, hasParam, param});
        }
        return;
    case Dest::PnText:
    case Dest::FieldInst:
    case Dest::LevelText:
        if (const char16_t c = symbolChar(info.id))
            deliverChar(c);
        else
            applyFormatting(info.id, t.hasParam, t.param);
        return;
    default:
        return;
    }

    // Body text.
    if (const char16_t c = symbolChar(info.id)) {
        deliverChar(c);
        return;
    }
    switch (info.id) {
    case Kw::PageWord:
        m_tables.page.read(t.word, t.hasParam, t.param);
        m_tables.bands.read(t.word, t.hasParam, t.param); // \sectd
        return;
    case Kw::PageBandWord:
        m_tables.bands.read(t.word, t.hasParam, t.param);
        return;
    case Kw::FootnoteWord:
        footnoteWord(t.word, t.hasParam, t.param);
        return;
    case Kw::Sect:
        m_tables.page.endSection();
        m_tables.bands.endSection();
        [[fallthrough]];
    case Kw::Par:
        paragraphEnd();
        return;
    case Kw::Page:
        pageBreak();
        return;
    case Kw::Cell:
        cellEnd(false);
        return;
    case Kw::NestCell:
        cellEnd(true);
        return;
    case Kw::Row:
        rowEnd(false);
        return;
    case Kw::NestRow:
        rowEnd(true);
        return;
    case Kw::S:
        g.par.style = t.hasParam ? t.param : 0;
        applyStyle(g.par.style, false, 0);
        return;
    case Kw::Cs:
        applyStyle(t.hasParam ? t.param : 0, true, 0);
        return;
    case Kw::ObjMeta:
        if (g.object >= 0) {
            QString &meta = m_objects[size_t(g.object)].meta;
            if (meta.size() < 512) {
                if (!meta.isEmpty())
                    meta.append(u' ');
                meta.append(QLatin1String(t.word.data(), qsizetype(t.word.size())));
                if (t.hasParam)
                    meta.append(QString::number(t.param));
            }
        }
        return;
    case Kw::Pard:
        m_rowOpen = false;
        m_borderTarget = BorderTarget::None;
        break;
    default:
        break;
    }
    // Table words first: the border words after \clbrdrb or \trbrdrt
    // describe that cell or row, not the paragraph.
    if (!applyTableWord(info.id, t.hasParam, t.param, t.word))
        applyFormatting(info.id, hasParam, param);
}

void Reader::controlSymbol(char c)
{
    switch (c) {
    case '*':
        m_star = true;
        return;
    case '~':
        deliverChar(0x00A0);
        return;
    case '-':
        deliverChar(0x00AD);
        return;
    case '_':
        deliverChar(0x2011);
        return;
    case '\n':
        if (m_stack.back().dest == Dest::Body)
            paragraphEnd();
        return;
    default:
        return; // \: \| and unknown symbols carry nothing we show
    }
}

bool Reader::beginDestination(Kw id)
{
    Group &g = m_stack.back();
    const Dest d = g.dest;
    const bool body = d == Dest::Body;
    switch (id) {
    case Kw::FontTbl:
        if (!body)
            return false;
        g.dest = Dest::FontTable;
        m_font = FontDef();
        m_fontIndex = -1;
        m_fontOpen = false;
        return true;
    case Kw::FAlt:
        if (d != Dest::FontPart || !m_fontOpen)
            return false;
        g.dest = Dest::FontAlt;
        m_font.alt.clear();
        return true;
    case Kw::ColorTbl:
        if (!body)
            return false;
        g.dest = Dest::ColorTable;
        m_tables.colors.clear();
        m_red = m_green = m_blue = -1;
        return true;
    case Kw::StyleSheet:
        if (!body)
            return false;
        g.dest = Dest::StyleSheet;
        return true;
    case Kw::Pict:
        if (d == Dest::ShpPib)
            return beginShapeDestination(id);
        if (!body || !m_sink.wantsPictures())
            return false;
        g.dest = Dest::Pict;
        m_pict = Picture();
        m_pictNibble = -1;
        return true;
    case Kw::Field:
        if (!body)
            return d == Dest::FieldInst; // a field inside an instruction adds to it
        g.field = int(m_fields.size());
        m_fields.emplace_back();
        m_fields.back().shownBefore = m_shown;
        return true;
    case Kw::FldInst:
        if (!body || g.field < 0)
            return false;
        g.dest = Dest::FieldInst;
        return true;
    case Kw::FldRslt:
        if (!body)
            return false;
        startFieldResult();
        return true;
    case Kw::Object:
        if (!body)
            return false;
        g.object = int(m_objects.size());
        g.objectStart = true;
        m_objects.emplace_back();
        return true;
    case Kw::ObjData:
        if (!body || g.object < 0 || !m_sink.wantsPictures())
            return false;
        g.dest = Dest::ObjData;
        return true;
    case Kw::ObjName:
        if (!body || g.object < 0)
            return false;
        g.dest = Dest::ObjName;
        return true;
    case Kw::Shp:
    case Kw::ShpRslt:
    case Kw::ShpInst:
    case Kw::Sp:
    case Kw::Sn:
    case Kw::Sv:
    case Kw::ShpTxt:
        return beginShapeDestination(id);
    case Kw::Result:
    case Kw::ShpPict:
    case Kw::Ud:
        return body; // read as ordinary groups of the body
    case Kw::NestTableProps:
        if (!body)
            return false;
        g.nestProps = true;
        return true;
    case Kw::ListTable:
        if (!body)
            return false;
        g.dest = Dest::ListTable;
        return true;
    case Kw::List:
        if (d != Dest::ListTable)
            return false;
        g.dest = Dest::List;
        m_listId = 0;
        m_listLevels.clear();
        return true;
    case Kw::ListLevel:
        if (d != Dest::List && d != Dest::LfoLevel)
            return false;
        g.dest = Dest::ListLevel;
        g.par = ParState();
        g.chr = CharState();
        m_levelNfc = 0;
        m_levelStart = 1;
        m_levelAlign = 0;
        m_levelText.clear();
        return true;
    case Kw::LevelText:
        if (d != Dest::ListLevel)
            return false;
        g.dest = Dest::LevelText;
        m_levelText.clear();
        return true;
    case Kw::ListOverrideTable:
        if (!body)
            return false;
        g.dest = Dest::ListOverrideTable;
        return true;
    case Kw::ListOverride:
        if (d != Dest::ListOverrideTable)
            return false;
        g.dest = Dest::ListOverride;
        m_overrideListId = 0;
        m_overrideLs = 0;
        m_overrideStart = -1;
        m_levelOverrides.clear();
        return true;
    case Kw::LfoLevel:
        if (d != Dest::ListOverride || m_levelOverrides.size() >= 9)
            return false;
        g.dest = Dest::LfoLevel;
        m_levelOverrides.emplace_back();
        return true;
    case Kw::Pn:
        if (!body)
            return false;
        g.dest = Dest::PnDef;
        m_pn = ListLevelDef();
        m_pn.kind = ListKind::Arabic;
        m_pnContinues = false;
        return true;
    case Kw::PnTxtB:
    case Kw::PnTxtA:
        if (d != Dest::PnDef)
            return false;
        g.dest = Dest::PnText;
        m_pnTextAfter = id == Kw::PnTxtA;
        (m_pnTextAfter ? m_pn.suffix : m_pn.prefix).clear();
        return true;
    case Kw::Upr:
        g.outer = d;
        g.dest = Dest::Upr;
        return true;
    default:
        return false; // the destinations we skip, and any we do not read here
    }
}

bool Reader::applyFormatting(Kw id, bool hasParam, int param)
{
    Group &g = m_stack.back();
    return applyCharFormatting(g.chr, id, hasParam, param)
           || applyParFormatting(g.par, id, hasParam, param);
}

bool Reader::applyCharFormatting(CharState &c, Kw id, bool hasParam, int param)
{
    const bool enable = on(hasParam, param);
    const auto underline = [&c, enable](UnderlineKind kind) {
        c.underline = int(enable ? kind : UnderlineKind::None);
        return true;
    };
    switch (id) {
    case Kw::Plain: {
        const int link = c.link; // a hyperlink's result keeps its target
        c = CharState();
        c.link = link;
        return true;
    }
    case Kw::B: c.set(CharState::Bold, enable); return true;
    case Kw::I: c.set(CharState::Italic, enable); return true;
    case Kw::Strike:
        c.set(CharState::Strike, enable);
        c.set(CharState::DoubleStrike, false);
        return true;
    case Kw::StrikeD:
        c.set(CharState::Strike, enable);
        c.set(CharState::DoubleStrike, enable);
        return true;
    case Kw::V: c.set(CharState::Hidden, enable); return true;
    case Kw::Outl: c.set(CharState::Outline, enable); return true;
    case Kw::Shad: c.set(CharState::Shadow, enable); return true;
    case Kw::Embo: c.set(CharState::Emboss, enable); return true;
    case Kw::Impr: c.set(CharState::Imprint, enable); return true;
    case Kw::Caps: c.caps = enable ? CharState::AllCaps : CharState::NoCaps; return true;
    case Kw::SCaps: c.caps = enable ? CharState::SmallCaps : CharState::NoCaps; return true;
    case Kw::Ul: return underline(UnderlineKind::Single);
    case Kw::UlNone: return underline(UnderlineKind::None);
    case Kw::UlW: return underline(UnderlineKind::Word);
    case Kw::UlDb: return underline(UnderlineKind::Double);
    case Kw::UlD: return underline(UnderlineKind::Dotted);
    case Kw::UlDash: return underline(UnderlineKind::Dash);
    case Kw::UlDashD: return underline(UnderlineKind::DashDot);
    case Kw::UlDashDD: return underline(UnderlineKind::DashDotDot);
    case Kw::UlWave: return underline(UnderlineKind::Wave);
    case Kw::UlTh: return underline(UnderlineKind::Thick);
    case Kw::Super: c.script = CharState::Super; return true;
    case Kw::Sub: c.script = CharState::Sub; return true;
    case Kw::NoSuperSub: c.script = CharState::Baseline; return true;
    case Kw::Up: c.offset = std::clamp(hasParam ? param : 6, -3276, 3276); return true;
    case Kw::Dn: c.offset = -std::clamp(hasParam ? param : 6, -3276, 3276); return true;
    case Kw::F: c.font = hasParam ? std::max(param, 0) : 0; return true;
    case Kw::Af: c.afont = hasParam ? std::max(param, 0) : 0; return true;
    case Kw::Fs: c.size = hasParam && param > 0 ? std::min(param, 3276) : 24; return true;
    case Kw::Cf: c.fg = hasParam ? std::max(param, 0) : 0; return true;
    case Kw::Cb:
    case Kw::Highlight:
    case Kw::ChCbPat:
        c.bg = hasParam ? std::max(param, 0) : 0;
        return true;
    case Kw::Expnd: c.spacing = twips((hasParam ? std::clamp(param, -MaxTwips, MaxTwips) : 0) * 5); return true;
    case Kw::ExpndTw: c.spacing = twips(hasParam ? param : 0); return true;
    case Kw::Lang:
        if (!m_options.plainRtf)
            c.lang = hasParam ? param : -1;
        return true;
    case Kw::Kerning: c.kerning = std::clamp(hasParam ? param : 0, 0, 3276); return true;
    case Kw::AnimText: c.animation = std::clamp(hasParam ? param : 0, 0, 255); return true;
    case Kw::Loch:
    case Kw::Hich:
        c.set(CharState::DoubleByte, false);
        return true;
    case Kw::Dbch: c.set(CharState::DoubleByte, true); return true;
    default:
        return false;
    }
}

bool Reader::applyParFormatting(ParState &p, Kw id, bool hasParam, int param)
{
    const int value = hasParam ? param : 0;
    switch (id) {
    case Kw::Pard:
        p = ParState();
        m_pendingTabKind = TabStop::Left;
        m_pendingTabLeader = 0;
        m_decorSide = -1;
        return true;
    case Kw::Ql: p.align = ParState::Left; return true;
    case Kw::Qr: p.align = ParState::Right; return true;
    case Kw::Qc: p.align = ParState::Center; return true;
    case Kw::Qj: p.align = ParState::Justify; return true;
    case Kw::Qd: p.align = ParState::Distribute; return true;
    case Kw::Li: p.li = twips(value); return true;
    case Kw::Ri: p.ri = twips(value); return true;
    case Kw::Fi: p.fi = twips(value); return true;
    case Kw::Sb: p.sb = std::clamp(value, 0, MaxTwips); return true;
    case Kw::Sa: p.sa = std::clamp(value, 0, MaxTwips); return true;
    case Kw::Sl: p.sl = twips(value); return true;
    case Kw::SlMult: p.slmult = value ? 1 : 0; return true;
    case Kw::Tqr: m_pendingTabKind = TabStop::Right; return true;
    case Kw::Tqc: m_pendingTabKind = TabStop::Center; return true;
    case Kw::Tqdec: m_pendingTabKind = TabStop::Decimal; return true;
    case Kw::TlDot: m_pendingTabLeader = 1; return true;
    case Kw::TlHyph: m_pendingTabLeader = 2; return true;
    case Kw::TlUl: m_pendingTabLeader = 3; return true;
    case Kw::TlTh: m_pendingTabLeader = 4; return true;
    case Kw::TlEq: m_pendingTabLeader = 5; return true;
    case Kw::Tx:
        p.tabs = addTabStop(p.tabs, twips(value));
        return true;
    case Kw::Tb:
        // Bar tabs draw a line; they are not stops.
        m_pendingTabKind = TabStop::Left;
        m_pendingTabLeader = 0;
        return true;
    case Kw::KeepN: p.set(ParState::KeepNext, on(hasParam, param)); return true;
    case Kw::Keep: p.set(ParState::Keep, on(hasParam, param)); return true;
    case Kw::PageBB: p.set(ParState::PageBreakBefore, on(hasParam, param)); return true;
    case Kw::RtlPar: p.set(ParState::RightToLeft, true); return true;
    case Kw::LtrPar: p.set(ParState::RightToLeft, false); return true;
    case Kw::InTbl: p.set(ParState::InTable, on(hasParam, param)); return true;
    case Kw::Itap: p.itap = std::clamp(value, 0, MaxTableLevel); return true;
    case Kw::Ls: p.ls = std::max(value, 0); return true;
    case Kw::Ilvl: p.ilvl = std::clamp(value, 0, 8); return true;
    default:
        return applyDecorWord(p, id, hasParam, param);
    }
}

void Reader::applyStyle(int index, bool character, int depth)
{
    // Styles based on styles: a chain that loops, or one too long to be
    // real, stops here.
    if (depth > 8)
        return;
    const auto &styles = character ? m_charStyles : m_parStyles;
    auto it = styles.constFind(index);
    if (it == styles.cend())
        return;
    const StyleDef style = it.value();
    if (style.basedOn >= 0 && style.basedOn != index)
        applyStyle(style.basedOn, character, depth + 1);
    for (const StyleDef::Word &w : style.words)
        applyFormatting(w.id, w.hasParam, w.param);
}

void Reader::paragraphEnd()
{
    if (std::exchange(m_textBoxEnded, false) && m_shown == m_paragraphShown)
        return; // the anchor's paragraph ended with the text box before it
    flushRun();
    const Group &g = m_stack.back();
    m_sink.paragraphEnd(g.par, g.chr, tableLevel());
    m_stack.back().par.set(ParState::PnGiven, false);
    m_paragraphShown = m_shown;
}

void Reader::cellEnd(bool nested)
{
    flushRun();
    const Group &g = m_stack.back();
    int level = std::max(tableLevel(), nested ? 2 : 1);
    if (!nested && g.par.itap <= 1) {
        level = 1;
        m_rowOpen = true; // writers that leave out \intbl still end cells
    }
    m_sink.cellEnd(g.par, g.chr, level);
    m_stack.back().par.set(ParState::PnGiven, false);
    m_paragraphShown = m_shown;
    m_textBoxEnded = false;
}

void Reader::rowEnd(bool nested)
{
    flushRun();
    const int level = nested ? std::max(tableLevel(), 2) : 1;
    m_sink.rowEnd(m_rowDefs[size_t(level)], level);
    if (!nested)
        m_rowOpen = false;
}

void Reader::pageBreak()
{
    flushRun();
    m_sink.pageBreak(m_stack.back().chr);
}

} // namespace richtext::rtf
