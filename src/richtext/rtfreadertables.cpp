#include "richtext/rtfreader.h"

#include "richtext/codepage.h"
#include "richtext/symbolfonts.h"

namespace richtext::rtf {

namespace {

ListKind kindOfNfc(int nfc)
{
    switch (nfc) {
    case 1: return ListKind::UpperRoman;
    case 2: return ListKind::LowerRoman;
    case 3: return ListKind::UpperLetter;
    case 4: return ListKind::LowerLetter;
    case 23: return ListKind::Bullet;
    case 255: return ListKind::None;
    default: return ListKind::Arabic; // and the many arabic-like forms
    }
}

// Code page of a font's \fcharset; 0 when the document's code page applies.
int codePageOfCharset(int charset)
{
    const int codePage = codepage::forCharset(charset);
    if (codePage > 0)
        return codePage;
    switch (charset) {
    case 78: return 932; // Mac Japanese: Shift-JIS
    case 79: return 949; // Mac Korean
    case 80: return 936; // Mac simplified Chinese
    case 81: return 950; // Mac traditional Chinese
    default: return 0;   // DEFAULT_CHARSET and unknown values
    }
}

// Table lengths clamped far from overflow, as the other lengths are.
int tableTwips(int value)
{
    constexpr int Max = 31680 * 4;
    return std::clamp(value, -Max, Max);
}

// The side a border or padding word names by its last letter.
int sideOfLetter(char c)
{
    switch (c) {
    case 't': return BorderSide::Top;
    case 'l': return BorderSide::Left;
    case 'b': return BorderSide::Bottom;
    case 'r': return BorderSide::Right;
    case 'h': return BorderSide::InnerHorizontal;
    case 'v': return BorderSide::InnerVertical;
    default: return -1;
    }
}

// Sets a padding from \trpadd? or \clpad? (value in twips) or clears it
// when its unit word (\trpaddf?, \clpadf?) says the value means nothing.
void setPadding(int (&padding)[4], std::string_view word, std::size_t prefix, int value,
                bool swapTopLeft)
{
    if (word.size() < prefix + 1)
        return;
    const bool unit = word[prefix] == 'f';
    if (unit && word.size() < prefix + 2)
        return;
    int side = sideOfLetter(word.back());
    if (side < 0 || side > BorderSide::Right)
        return;
    // Word writes a cell's left padding as \clpadt and its top as \clpadl,
    // and reads them so; other writers follow it.
    if (swapTopLeft && side == BorderSide::Top)
        side = BorderSide::Left;
    else if (swapTopLeft && side == BorderSide::Left)
        side = BorderSide::Top;
    if (unit) {
        if (value != 3)
            padding[side] = -1;
    } else {
        padding[side] = std::clamp(value, 0, 31680);
    }
}

} // namespace

bool Reader::applyTableWord(Kw id, bool hasParam, int param, std::string_view word)
{
    const Group &g = m_stack.back();
    const int value = hasParam ? param : 0;
    if (id == Kw::TRowD) {
        // A row definition inside \*\nesttableprops belongs to the nested
        // table whose row it ends.
        m_rowDefLevel = g.nestProps ? std::clamp(g.par.itap, 2, MaxTableLevel) : 1;
        m_rowDefs[size_t(m_rowDefLevel)] = RowDef();
        m_cellDef = CellDef();
        m_borderTarget = BorderTarget::None;
        return true;
    }
    RowDef &row = m_rowDefs[size_t(m_rowDefLevel)];
    // The border in hand, while the words after \clbrdr? or \trbrdr? go on.
    BorderDef *border = nullptr;
    if (m_borderTarget == BorderTarget::Cell)
        border = &m_cellDef.borders[m_borderSide];
    else if (m_borderTarget == BorderTarget::Row)
        border = &row.borders[m_borderSide];
    switch (id) {
    case Kw::ClBrdr:
    case Kw::TrBrdr: {
        const int side = sideOfLetter(word.empty() ? 0 : word.back());
        const bool cell = id == Kw::ClBrdr;
        if (side < 0 || (cell && side > BorderSide::Right)) {
            m_borderTarget = BorderTarget::None;
            return true;
        }
        m_borderTarget = cell ? BorderTarget::Cell : BorderTarget::Row;
        m_borderSide = side;
        BorderDef &named = cell ? m_cellDef.borders[side] : row.borders[side];
        named = BorderDef();
        if (cell)
            m_cellDef.bordered[side] = true;
        return true;
    }
    case Kw::BrdrNone:
        if (!border)
            return false;
        border->style = BorderDef::None;
        return true;
    case Kw::BrdrStyle:
        if (!border)
            return false;
        border->style = std::uint8_t(borderStyleOfWord(word));
        return true;
    case Kw::BrdrW:
        if (!border)
            return false;
        border->width = std::clamp(value, 0, 255);
        return true;
    case Kw::BrdrCf:
        if (!border)
            return false;
        border->color = std::max(value, 0);
        return true;
    default:
        break;
    }
    // Any other word ends the border description (\brsp belongs to it,
    // but means nothing in a table); a paragraph's \brdrb after it starts
    // a border of the paragraph.
    if (word != "brsp")
        m_borderTarget = BorderTarget::None;
    switch (id) {
    case Kw::CellX:
        if (row.cells.size() < 256) {
            m_cellDef.right = tableTwips(value);
            row.cells.push_back(m_cellDef);
        }
        m_cellDef = CellDef();
        return true;
    case Kw::ClMgf: m_cellDef.hmerge = CellDef::First; return true;
    case Kw::ClMrg: m_cellDef.hmerge = CellDef::Continue; return true;
    case Kw::ClVmgf: m_cellDef.vmerge = CellDef::First; return true;
    case Kw::ClVmrg: m_cellDef.vmerge = CellDef::Continue; return true;
    case Kw::ClCbPat: m_cellDef.background = std::max(value, 0); return true;
    case Kw::ClVertAlT: m_cellDef.valign = 0; return true;
    case Kw::ClVertAlC: m_cellDef.valign = 1; return true;
    case Kw::ClVertAlB: m_cellDef.valign = 2; return true;
    case Kw::ClPad: setPadding(m_cellDef.padding, word, 5, value, true); return true;
    case Kw::TrPadd: setPadding(row.padding, word, 6, value, false); return true;
    case Kw::TrLeft: row.left = tableTwips(value); return true;
    case Kw::TrGaph: row.gap = std::clamp(value, 0, 31680); return true;
    case Kw::TrQl: row.align = 0; return true;
    case Kw::TrQc: row.align = 1; return true;
    case Kw::TrQr: row.align = 2; return true;
    case Kw::TrHdr: row.header = true; return true;
    case Kw::TrRh: row.height = tableTwips(value); return true;
    default:
        return false;
    }
}

void Reader::endDestination(const Group &closed)
{
    if (closed.objectStart)
        endObject(closed);
    if (closed.shape >= 0)
        endShapePart(closed); // before a shape's picture is handed on
    switch (closed.dest) {
    case Dest::FontEntry:
        if (m_fontOpen)
            commitFont();
        break;
    case Dest::FontTable:
        if (m_fontOpen)
            commitFont();
        m_sink.tablesChanged();
        break;
    case Dest::ColorTable:
        if (m_red >= 0 || m_green >= 0 || m_blue >= 0)
            commitColor(); // a last entry without its ';'
        m_sink.tablesChanged();
        break;
    case Dest::StyleEntry:
        commitStyle();
        break;
    case Dest::ListLevel:
        commitListLevel(closed);
        break;
    case Dest::List:
        if (!m_listLevels.empty())
            m_tables.lists.insert(m_listId, m_listLevels);
        m_listLevels.clear();
        break;
    case Dest::ListOverride:
        m_tables.overrides.insert(m_overrideLs, m_overrideListId);
        // Outside any \lfolevel, a start value is the first level's: the
        // list restarts there (as LibreOffice reads it).
        if (m_overrideStart >= 0) {
            if (m_levelOverrides.empty())
                m_levelOverrides.emplace_back();
            if (m_levelOverrides.front().start < 0)
                m_levelOverrides.front().start = m_overrideStart;
        }
        if (!m_levelOverrides.empty()) {
            // The override's own levels: the list's, with what it changes.
            std::vector<ListLevelDef> levels = m_tables.lists.value(m_overrideListId);
            for (size_t i = 0; i < m_levelOverrides.size(); ++i) {
                const LevelOverride &change = m_levelOverrides[i];
                if (levels.size() <= i) {
                    if (!change.level)
                        continue;
                    levels.resize(i + 1, *change.level);
                }
                if (change.level)
                    levels[i] = *change.level;
                if (change.start >= 0)
                    levels[i].start = change.start;
            }
            if (!levels.empty())
                m_tables.overrideLevels.insert(m_overrideLs, levels);
        }
        break;
    case Dest::PnDef:
        commitPn(closed);
        break;
    case Dest::Pict:
        endPicture(closed);
        break;
    default:
        break;
    }
}

void Reader::tableWord(Kw id, bool hasParam, int param)
{
    const int value = hasParam ? param : 0;
    Group &g = m_stack.back();
    // A \pnlvlcont group shows no number, whatever style it names.
    const auto numbered = [this](ListKind kind) { return m_pnContinues ? ListKind::None : kind; };
    switch (g.dest) {
    case Dest::FontTable:
    case Dest::FontEntry:
        switch (id) {
        case Kw::F:
            if (m_fontOpen)
                commitFont();
            m_font = FontDef();
            m_fontIndex = value;
            m_fontOpen = true;
            m_fontCpg = false;
            return;
        case Kw::FNil: m_font.family = QStringLiteral("nil"); return;
        case Kw::FRoman: m_font.family = QStringLiteral("roman"); return;
        case Kw::FSwiss: m_font.family = QStringLiteral("swiss"); return;
        case Kw::FModern: m_font.family = QStringLiteral("modern"); return;
        case Kw::FScript: m_font.family = QStringLiteral("script"); return;
        case Kw::FDecor: m_font.family = QStringLiteral("decor"); return;
        case Kw::FTech: m_font.family = QStringLiteral("tech"); return;
        case Kw::FBidi: m_font.family = QStringLiteral("bidi"); return;
        case Kw::FCharset:
            m_font.charset = value;
            if (!m_fontCpg)
                m_font.codePage = codePageOfCharset(value);
            return;
        case Kw::Cpg:
            if (value > 0) {
                m_font.codePage = value;
                m_fontCpg = true;
            }
            return;
        case Kw::FPrq: m_font.pitch = std::clamp(value, 0, 2); return;
        default: return;
        }
    case Dest::ColorTable:
        switch (id) {
        case Kw::Red: m_red = std::clamp(value, 0, 255); return;
        case Kw::Green: m_green = std::clamp(value, 0, 255); return;
        case Kw::Blue: m_blue = std::clamp(value, 0, 255); return;
        default: return;
        }
    case Dest::List:
        if (id == Kw::ListId)
            m_listId = value;
        return;
    case Dest::ListLevel:
        if (id == Kw::LevelNfc || id == Kw::LevelNfcN)
            m_levelNfc = value;
        else if (id == Kw::LevelStartAt)
            m_levelStart = value;
        else if (id == Kw::LevelJc || id == Kw::LevelJcN)
            m_levelAlign = std::clamp(value, 0, 2);
        return;
    case Dest::ListOverride:
        if (id == Kw::ListId)
            m_overrideListId = value;
        else if (id == Kw::Ls)
            m_overrideLs = value;
        else if (id == Kw::LevelStartAt)
            m_overrideStart = std::clamp(value, 0, 32767);
        return;
    case Dest::LfoLevel:
        if (id == Kw::LevelStartAt && !m_levelOverrides.empty())
            m_levelOverrides.back().start = std::clamp(value, 0, 32767);
        return;
    case Dest::PnDef:
        switch (id) {
        case Kw::PnLvlBlt:
            m_pn.kind = ListKind::Bullet;
            m_pnContinues = false;
            return;
        case Kw::PnLvlCont:
            // A paragraph inside a list item: no number, whatever style follows.
            m_pn.kind = ListKind::None;
            m_pnContinues = true;
            return;
        case Kw::PnLvlBody:
        case Kw::PnLvl:
            m_pnContinues = false;
            if (m_pn.kind == ListKind::None || m_pn.kind == ListKind::Bullet)
                m_pn.kind = ListKind::Arabic;
            return;
        case Kw::PnDec: m_pn.kind = numbered(ListKind::Arabic); return;
        case Kw::PnLcLtr: m_pn.kind = numbered(ListKind::LowerLetter); return;
        case Kw::PnUcLtr: m_pn.kind = numbered(ListKind::UpperLetter); return;
        case Kw::PnLcRm: m_pn.kind = numbered(ListKind::LowerRoman); return;
        case Kw::PnUcRm: m_pn.kind = numbered(ListKind::UpperRoman); return;
        case Kw::PnStart: m_pn.start = std::clamp(value, 0, 32767); return;
        case Kw::PnQc: m_pn.align = 1; return;
        case Kw::PnQr: m_pn.align = 2; return;
        case Kw::PnF:
            // The bullet text is in this font's code page.
            g.chr.font = std::max(value, 0);
            return;
        default: return;
        }
    default:
        return;
    }
}

void Reader::commitFont()
{
    if (m_fontOpen && m_fontIndex >= 0 && m_tables.fonts.size() < 4096) {
        FontDef font = m_font;
        font.name = font.name.trimmed();
        font.alt = font.alt.trimmed();
        if (font.name.isEmpty())
            std::swap(font.name, font.alt);
        m_tables.fonts.insert(m_fontIndex, font);
    }
    const int index = m_fontIndex;
    m_font = FontDef();
    m_fontIndex = index; // a second name for the same entry replaces the first
    m_fontOpen = false;
}

void Reader::commitColor()
{
    if (m_tables.colors.size() < 65536) {
        if (m_red < 0 && m_green < 0 && m_blue < 0)
            m_tables.colors.emplace_back(); // the automatic colour
        else
            m_tables.colors.emplace_back(std::max(m_red, 0), std::max(m_green, 0),
                                         std::max(m_blue, 0));
    }
    m_red = m_green = m_blue = -1;
}

void Reader::commitStyle()
{
    auto &styles = m_styleCharacter ? m_charStyles : m_parStyles;
    if (styles.size() < 4096)
        styles.insert(m_styleIndex, m_style);
    m_style = StyleDef();
}

void Reader::commitListLevel(const Group &closed)
{
    const bool overriding = m_stack.back().dest == Dest::LfoLevel && !m_levelOverrides.empty();
    if (!overriding && m_listLevels.size() >= 9)
        return;
    ListLevelDef level;
    level.kind = kindOfNfc(m_levelNfc);
    level.start = std::clamp(m_levelStart, 0, 32767);
    level.align = m_levelAlign;
    level.li = closed.par.li;
    level.fi = closed.par.fi;
    // \leveltext: a length, then the text with the level numbers standing
    // as characters 0 to 8.
    QString text;
    if (!m_levelText.isEmpty()) {
        const int length = m_levelText.at(0).unicode();
        text = m_levelText.mid(1, length);
    }
    if (level.kind == ListKind::Bullet) {
        level.bullet = text.isEmpty() ? QChar(0x2022) : bulletInFont(text.at(0), closed.chr.font);
    } else if (level.kind != ListKind::None) {
        level.text = text;
        qsizetype first = -1, last = -1;
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text.at(i).unicode() < 9) {
                if (first < 0)
                    first = i;
                last = i;
            }
        }
        if (first >= 0) {
            level.prefix = text.left(first);
            level.suffix = text.mid(last + 1);
        } else {
            level.suffix = QStringLiteral(".");
        }
    }
    if (overriding)
        m_levelOverrides.back().level = level;
    else
        m_listLevels.push_back(level);
}

QChar Reader::bulletInFont(QChar bullet, int font) const
{
    // Bullets are mostly symbols of Symbol or Wingdings, read as their codes.
    // A symbol we have no character for stays a bullet of Qt's own (its
    // code would show as some letter or nothing at all).
    const FontDef *def = m_tables.font(font);
    if (!def)
        return bullet;
    if (const char16_t u = symbolToUnicode(def->name, bullet.unicode()))
        return QChar(u);
    if (isSymbolFont(def->name) && bullet.unicode() >= 0x80)
        return QChar(0x2022);
    return bullet;
}

void Reader::commitPn(const Group &closed)
{
    ParState &par = m_stack.back().par;
    par.set(ParState::PnContinues, m_pnContinues);
    if (m_pn.kind == ListKind::None) {
        par.pn = -1;
        return;
    }
    ListLevelDef def = m_pn;
    if (def.kind == ListKind::Bullet) {
        def.bullet = def.prefix.isEmpty() ? QChar(0x2022)
                                          : bulletInFont(def.prefix.at(0), closed.chr.font);
        def.prefix.clear();
        def.suffix.clear();
    }
    const QString key = QStringLiteral("%1|%2|%3|%4|%5")
                            .arg(int(def.kind))
                            .arg(def.start)
                            .arg(def.prefix, def.suffix, QString(def.bullet));
    auto it = m_pnIndex.constFind(key);
    if (it == m_pnIndex.cend()) {
        if (m_tables.pnDefs.size() >= 4096)
            return;
        it = m_pnIndex.insert(key, int(m_tables.pnDefs.size()));
        m_tables.pnDefs.push_back(def);
    }
    par.pn = it.value();
    par.set(ParState::PnGiven, true);
}

int Reader::addTabStop(int tabs, int position)
{
    std::vector<TabStop> stops;
    if (tabs >= 0 && size_t(tabs) < m_tables.tabSets.size())
        stops = m_tables.tabSets[size_t(tabs)];
    TabStop stop{position, m_pendingTabKind, m_pendingTabLeader};
    m_pendingTabKind = TabStop::Left;
    m_pendingTabLeader = 0;
    auto at = std::find_if(stops.begin(), stops.end(),
                           [&](const TabStop &s) { return s.position >= position; });
    if (at != stops.end() && at->position == position)
        *at = stop;
    else if (stops.size() < 64)
        stops.insert(at, stop);
    else
        return tabs;

    const QByteArray key(reinterpret_cast<const char *>(stops.data()),
                         qsizetype(stops.size() * sizeof(TabStop)));
    auto it = m_tabIndex.constFind(key);
    if (it != m_tabIndex.cend())
        return it.value();
    if (m_tables.tabSets.size() >= 65536)
        return tabs;
    const int index = int(m_tables.tabSets.size());
    m_tables.tabSets.push_back(std::move(stops));
    m_tabIndex.insert(key, index);
    return index;
}

void Reader::pictWord(Kw id, bool hasParam, int param, std::string_view word)
{
    const int value = hasParam ? param : 0;
    auto keep = [&] {
        // Keywords of the picture we do not interpret are kept for writing
        // back (they are letters and a number only).
        if (m_pict.meta.size() > 512 || word.empty() || word.size() > 32)
            return;
        if (!m_pict.meta.isEmpty())
            m_pict.meta.append(u' ');
        m_pict.meta.append(QLatin1String(word.data(), qsizetype(word.size())));
        if (hasParam)
            m_pict.meta.append(QString::number(param));
    };
    switch (id) {
    case Kw::PngBlip: m_pict.kind = ObjectKind::Png; return;
    case Kw::JpegBlip: m_pict.kind = ObjectKind::Jpeg; return;
    case Kw::EmfBlip: m_pict.kind = ObjectKind::Emf; return;
    case Kw::MacPict: m_pict.kind = ObjectKind::MacPict; return;
    case Kw::WMetafile: m_pict.kind = ObjectKind::WindowsMetafile; keep(); return;
    case Kw::PmMetafile: m_pict.kind = ObjectKind::Os2Metafile; keep(); return;
    case Kw::DiBitmap: m_pict.kind = ObjectKind::Dib; keep(); return;
    case Kw::WBitmap: m_pict.kind = ObjectKind::WindowsBitmap; keep(); return;
    case Kw::PicW: m_pict.picw = std::clamp(value, 0, 1 << 20); return;
    case Kw::PicH: m_pict.pich = std::clamp(value, 0, 1 << 20); return;
    case Kw::PicWGoal: m_pict.goalw = std::clamp(value, 0, 1 << 20); return;
    case Kw::PicHGoal: m_pict.goalh = std::clamp(value, 0, 1 << 20); return;
    case Kw::PicScaleX: m_pict.scalex = std::clamp(value, 1, 10000); return;
    case Kw::PicScaleY: m_pict.scaley = std::clamp(value, 1, 10000); return;
    default:
        keep();
        return;
    }
}

void Reader::hexBytes(std::string_view hex, QByteArray &out)
{
    out.reserve(out.size() + qsizetype(hex.size() / 2));
    for (char c : hex) {
        const int d = hexValue(c);
        if (d < 0)
            continue; // white space between the digits
        if (m_pictNibble < 0) {
            m_pictNibble = d;
        } else {
            out.append(char(m_pictNibble * 16 + d));
            m_pictNibble = -1;
        }
    }
}

void Reader::endPicture(const Group &closed)
{
    m_pictNibble = -1;
    if (m_pict.kind == ObjectKind::None) {
        if (m_pict.data.startsWith("\x89PNG"))
            m_pict.kind = ObjectKind::Png;
        else if (m_pict.data.startsWith("\xff\xd8"))
            m_pict.kind = ObjectKind::Jpeg;
        else
            m_pict.kind = ObjectKind::WindowsMetafile; // what RTF assumes when a picture names no kind
    }
    if (closed.object >= 0 && !m_objects[size_t(closed.object)].shown) {
        ObjectInfo &object = m_objects[size_t(closed.object)];
        object.shown = true;
        m_pict.object = true;
        m_pict.objectData = object.data;
        m_pict.objectMeta = object.meta;
        m_pict.objectName = object.name;
    }
    flushRun();
    ++m_shown;
    m_sink.picture(m_pict, closed.chr);
    m_pict = Picture();
}

void Reader::endObject(const Group &closed)
{
    if (closed.object < 0)
        return;
    ObjectInfo &object = m_objects[size_t(closed.object)];
    if (!object.shown && !object.data.isEmpty() && m_sink.wantsPictures()) {
        // An object with no picture to show still keeps its bytes.
        Picture p;
        p.kind = ObjectKind::Object;
        p.object = true;
        p.objectData = object.data;
        p.objectMeta = object.meta;
        p.objectName = object.name;
        flushRun();
        ++m_shown;
        m_sink.picture(p, closed.chr);
    }
    object = ObjectInfo(); // its bytes are no longer needed here
    object.shown = true;
}

} // namespace richtext::rtf
