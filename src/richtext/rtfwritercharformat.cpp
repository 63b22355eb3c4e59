#include "richtext/rtfwritercharformat.h"

#include "richtext/codepage.h"
#include "richtext/rtfexport.h"
#include "richtext/rtfwritertables.h"
#include "richtext/textkinds.h"
#include "richtext/textproperties.h"

#include <QTextCharFormat>

namespace richtext {

namespace {

const char *underlineKeyword(UnderlineKind kind)
{
    static const char *const keywords[] = {"ulnone", "ul",      "ulw",      "uldb",   "uld",
                                           "uldash", "uldashd", "uldashdd", "ulwave", "ulth"};
    const auto index = size_t(kind);
    return index < std::size(keywords) ? keywords[index] : "ul";
}

void toggle(QByteArray &out, const char *word, bool on)
{
    out += '\\';
    out += word;
    if (!on)
        out += '0';
}

void number(QByteArray &out, const char *word, int value)
{
    out += '\\';
    out += word;
    out += QByteArray::number(value);
}

} // namespace

RtfCharFormatWriter::RtfCharFormatWriter(const QFont &defaultFont, RtfFontTable &fonts,
                                         RtfColorTable &colors, const ExportOptions &options)
    : m_defaultFont(defaultFont),
      m_fonts(fonts),
      m_colors(colors),
      m_codePage(options.codePage),
      m_lcid(options.lcid),
      m_writeLang(!options.plainRtf)
{
    m_fonts.setDefault(defaultFont.family(), codepage::charsetFor(m_codePage));
    // The font is unknown at the start, so that the first run names it
    // (\f0 included), as rich-edit controls write it.
    RtfCharState initial;
    initial.font = -1;
    initial.lang = m_lcid;
    initial.codePage = m_fonts.codePageOf(0);
    m_states.push_back(initial);
}

bool RtfCharFormatWriter::knows(int formatIndex, int *state) const
{
    const auto it = m_stateOfFormat.constFind(formatIndex);
    if (it == m_stateOfFormat.constEnd())
        return false;
    *state = it.value();
    return true;
}

int RtfCharFormatWriter::stateOf(int formatIndex, const QTextCharFormat &format)
{
    int id;
    if (knows(formatIndex, &id))
        return id;
    id = int(m_states.size());
    m_states.push_back(compute(format));
    m_stateOfFormat.insert(formatIndex, id);
    return id;
}

RtfCharState RtfCharFormatWriter::compute(const QTextCharFormat &format)
{
    RtfCharState s;
    const QFont &def = m_defaultFont;

    RtfFont font;
    const QStringList families = format.property(QTextFormat::FontFamilies).toStringList();
    font.name = families.value(0);
    if (font.name.isEmpty())
        font.name = def.family();
    else
        font.alt = families.value(1);
    font.charset = format.hasProperty(prop::FontCharset) ? format.intProperty(prop::FontCharset)
                                                         : codepage::charsetFor(m_codePage);
    if (format.hasProperty(prop::FontPitch))
        font.pitch = format.intProperty(prop::FontPitch);
    font.familyKind = format.stringProperty(prop::FontFamilyKind);
    s.font = m_fonts.indexOf(font);
    s.codePage = m_fonts.codePageOf(s.font);

    qreal points = 0;
    if (format.hasProperty(QTextFormat::FontPointSize))
        points = format.fontPointSize();
    else if (format.hasProperty(QTextFormat::FontPixelSize))
        points = format.intProperty(QTextFormat::FontPixelSize) * 0.75;
    else if (def.pointSizeF() > 0)
        points = def.pointSizeF();
    else if (def.pixelSize() > 0)
        points = def.pixelSize() * 0.75;
    else
        points = 12;
    s.halfPoints = qMax(1, qRound(points * 2));

    s.bold = format.hasProperty(QTextFormat::FontWeight) ? format.fontWeight() >= QFont::DemiBold
                                                         : def.weight() >= QFont::DemiBold;
    s.italic = format.hasProperty(QTextFormat::FontItalic) ? format.fontItalic() : def.italic();
    s.underline = underlineKind(format, def.underline() ? UnderlineKind::Single : UnderlineKind::None);
    s.strike = format.hasProperty(QTextFormat::FontStrikeOut) ? format.fontStrikeOut()
                                                              : def.strikeOut();
    switch (format.verticalAlignment()) {
    case QTextCharFormat::AlignSuperScript: s.script = 1; break;
    case QTextCharFormat::AlignSubScript: s.script = 2; break;
    default: break;
    }
    // Offset and kerning are kept in twips; RTF gives them in half points.
    s.offset = qRound(format.intProperty(prop::Offset) / 10.0);

    if (!format.boolProperty(prop::AutoColor) && format.hasProperty(QTextFormat::ForegroundBrush)
        && format.foreground().style() != Qt::NoBrush)
        s.color = m_colors.indexOf(format.foreground().color());
    if (format.hasProperty(QTextFormat::BackgroundBrush)
        && format.background().style() != Qt::NoBrush)
        s.highlight = m_colors.indexOf(format.background().color());

    s.hidden = format.boolProperty(prop::Hidden);
    const QFont::Capitalization caps = format.hasProperty(QTextFormat::FontCapitalization)
                                           ? format.fontCapitalization()
                                           : def.capitalization();
    s.caps = caps == QFont::AllUppercase;
    s.smallCaps = caps == QFont::SmallCaps;
    if (format.hasProperty(prop::CharSpacing))
        s.spacing = format.intProperty(prop::CharSpacing);
    else if (format.hasProperty(QTextFormat::FontLetterSpacing)
             && format.fontLetterSpacingType() == QFont::AbsoluteSpacing)
        s.spacing = qRound(format.fontLetterSpacing() * 15); // px at 96 dpi to twips
    s.kerning = qRound(format.intProperty(prop::Kerning) / 10.0);
    s.animation = format.intProperty(prop::Animation);
    s.outline = format.boolProperty(prop::Outline);
    s.shadow = format.boolProperty(prop::Shadow);
    s.emboss = format.boolProperty(prop::Emboss);
    s.imprint = format.boolProperty(prop::Imprint);
    s.lang = format.hasProperty(prop::Lcid) ? format.intProperty(prop::Lcid) : m_lcid;
    return s;
}

QByteArray RtfCharFormatWriter::difference(const RtfCharState &a, const RtfCharState &b) const
{
    QByteArray out;
    if (a.color != b.color)
        number(out, "cf", b.color);
    if (a.highlight != b.highlight)
        number(out, "highlight", b.highlight);
    if (a.underline != b.underline) {
        out += '\\';
        out += underlineKeyword(b.underline);
    }
    if (a.bold != b.bold)
        toggle(out, "b", b.bold);
    if (a.italic != b.italic)
        toggle(out, "i", b.italic);
    if (a.strike != b.strike)
        toggle(out, "strike", b.strike);
    if (a.script != b.script)
        out += b.script == 1 ? "\\super" : b.script == 2 ? "\\sub" : "\\nosupersub";
    if (a.offset != b.offset) {
        if (b.offset < 0)
            number(out, "dn", -b.offset);
        else
            number(out, "up", b.offset);
    }
    if (a.hidden != b.hidden)
        toggle(out, "v", b.hidden);
    if (a.caps != b.caps)
        toggle(out, "caps", b.caps);
    if (a.smallCaps != b.smallCaps)
        toggle(out, "scaps", b.smallCaps);
    if (a.outline != b.outline)
        toggle(out, "outl", b.outline);
    if (a.shadow != b.shadow)
        toggle(out, "shad", b.shadow);
    if (a.emboss != b.emboss)
        toggle(out, "embo", b.emboss);
    if (a.imprint != b.imprint)
        toggle(out, "impr", b.imprint);
    if (a.spacing != b.spacing)
        number(out, "expndtw", b.spacing);
    if (a.kerning != b.kerning)
        number(out, "kerning", b.kerning);
    if (a.animation != b.animation)
        number(out, "animtext", b.animation);
    if (m_writeLang && a.lang != b.lang)
        number(out, "lang", b.lang);
    if (a.font != b.font)
        number(out, "f", b.font);
    if (a.halfPoints != b.halfPoints)
        number(out, "fs", b.halfPoints);
    return out;
}

const QByteArray &RtfCharFormatWriter::transition(int from, int to)
{
    const quint64 key = (quint64(quint32(from)) << 32) | quint32(to);
    auto it = m_transitions.find(key);
    if (it == m_transitions.end())
        it = m_transitions.insert(key, difference(m_states[from], m_states[to]));
    return it.value();
}

} // namespace richtext
