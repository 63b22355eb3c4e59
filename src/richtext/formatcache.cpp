#include "richtext/formatcache.h"

#include "richtext/rtfdecor.h"
#include "richtext/textkinds.h"
#include "richtext/textproperties.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QTextOption>

namespace richtext {

namespace {

constexpr int TwipsPerHalfPoint = 10;

// 96 dpi document pixels per twip.
constexpr qreal PxPerTwip = 1.0 / 15.0;

// The style Qt draws a bullet character with; ListStyleUndefined for one it
// has no style for, which the list then draws itself (listmarkers.h).
QTextListFormat::Style bulletStyle(QChar bullet)
{
    switch (bullet.unicode()) {
    case 0x2022: // bullet
    case 0x00B7: // middle dot, a Symbol bullet read as its code
    case 0x25CF: // black circle
    case 0xF0B7:
        return QTextListFormat::ListDisc;
    case u'o':
    case 0x25CB: // white circle
    case 0x25E6: // white bullet
        return QTextListFormat::ListCircle;
    case 0x25A0: // black square
    case 0x25AA:
    case 0x25FC:
    case 0x25FE:
    case 0xF0A7: // Wingdings squares moved into the private area
    case 0xF06E:
    case 0x00A7: // the same through a symbol charset of a face we do not know
        return QTextListFormat::ListSquare;
    default:
        return QTextListFormat::ListStyleUndefined;
    }
}

// The kind of face to fall back on when a font is not installed: the font
// table's family, or a fixed pitch, names it. Without a hint Qt would fall
// back on the desktop's default face, which turns a monospaced statutory
// declaration into a proportional one and breaks its alignment.
QFont::StyleHint fallbackHint(const rtf::FontDef &font)
{
    if (font.pitch == 1 || font.family == u"modern")
        return QFont::TypeWriter;
    if (font.family == u"roman")
        return QFont::Serif;
    if (font.family == u"swiss")
        return QFont::SansSerif;
    if (font.family == u"script")
        return QFont::Cursive;
    if (font.family == u"decor")
        return QFont::Decorative;
    return QFont::AnyStyle;
}

} // namespace

int FormatCache::charFormat(const rtf::CharState &state, bool formFeed)
{
    // \dbch and \af only decide how bytes decode; they are not formatting.
    rtf::CharState key = state;
    key.afont = -1;
    key.set(rtf::CharState::DoubleByte, false);
    auto &index = formFeed ? m_formFeedIndex : m_charIndex;
    auto it = index.constFind(key);
    if (it != index.cend())
        return it.value();
    QTextCharFormat format = buildCharFormat(key);
    if (formFeed)
        format.setProperty(prop::FormFeed, true);
    const int i = addFormat(format);
    index.insert(key, i);
    return i;
}

QString FormatCache::installedFace(const QString &name) const
{
    if (!qGuiApp)
        return {}; // no font database without an application
    auto it = m_installedFaces.constFind(name);
    if (it != m_installedFaces.cend())
        return it.value();
    QString face;
    if (QFontDatabase::hasFamily(name)) {
        face = name;
    } else {
        // What fontconfig puts in the name's place (Liberation Serif for
        // Times New Roman), unless it is only what it gives for any name.
        QFont probe;
        probe.setFamilies({name});
        QFont unknown;
        unknown.setFamilies({QStringLiteral("Quorin No Such Face")});
        const QString resolved = QFontInfo(probe).family();
        if (resolved != QFontInfo(unknown).family())
            face = resolved;
    }
    m_installedFaces.insert(name, face);
    return face;
}

int FormatCache::addFormat(const QTextCharFormat &format)
{
    m_charFormats.push_back(format);
    return int(m_charFormats.size() - 1);
}

void FormatCache::invalidate()
{
    m_charIndex.clear();
    m_formFeedIndex.clear();
    m_blockFormats.clear();
}

QTextCharFormat FormatCache::buildCharFormat(const rtf::CharState &s) const
{
    using rtf::CharState;
    QTextCharFormat f;
    if (const rtf::FontDef *font = m_tables.font(s.font)) {
        if (!font->name.isEmpty()) {
            // The alternative face the author's word processor named comes
            // next, and the face it stands for here after it: Qt looks up
            // the later names as they are, not as fontconfig substitutes
            // them. The writer names the first two.
            QStringList families{font->name};
            if (!font->alt.isEmpty() && font->alt.compare(font->name, Qt::CaseInsensitive) != 0) {
                families.append(font->alt);
                const QString installed = installedFace(font->alt);
                if (!installed.isEmpty() && !families.contains(installed, Qt::CaseInsensitive))
                    families.append(installed);
            }
            f.setFontFamilies(families);
        }
        if (const QFont::StyleHint hint = fallbackHint(*font); hint != QFont::AnyStyle)
            f.setFontStyleHint(hint);
        if (font->charset >= 0)
            f.setProperty(prop::FontCharset, font->charset);
        if (font->pitch > 0)
            f.setProperty(prop::FontPitch, font->pitch);
        if (!font->family.isEmpty())
            f.setProperty(prop::FontFamilyKind, QString(u'f' + font->family));
    }
    f.setFontPointSize(s.size / 2.0);
    if (s.has(CharState::Bold))
        f.setFontWeight(QFont::Bold);
    if (s.has(CharState::Italic))
        f.setFontItalic(true);
    if (s.underline != 0)
        setUnderlineKind(f, UnderlineKind(s.underline));
    if (s.has(CharState::Strike))
        f.setFontStrikeOut(true);
    if (s.script == CharState::Super)
        f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (s.script == CharState::Sub)
        f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    if (s.offset != 0)
        setVerticalOffset(f, s.offset * TwipsPerHalfPoint);
    if (s.fg > 0) {
        const QColor color = m_tables.color(s.fg);
        if (color.isValid())
            f.setForeground(color);
        else
            f.setProperty(prop::AutoColor, true);
    }
    if (s.bg > 0) {
        const QColor color = m_tables.color(s.bg);
        if (color.isValid())
            f.setBackground(color);
    }
    if (s.has(CharState::Hidden))
        f.setProperty(prop::Hidden, true);
    if (s.caps == CharState::AllCaps)
        f.setFontCapitalization(QFont::AllUppercase);
    else if (s.caps == CharState::SmallCaps)
        f.setFontCapitalization(QFont::SmallCaps);
    if (s.spacing != 0) {
        f.setProperty(prop::CharSpacing, s.spacing);
        f.setFontLetterSpacingType(QFont::AbsoluteSpacing);
        f.setFontLetterSpacing(s.spacing * PxPerTwip);
    }
    if (s.lang >= 0)
        f.setProperty(prop::Lcid, s.lang);
    if (s.kerning > 0)
        f.setProperty(prop::Kerning, s.kerning * TwipsPerHalfPoint);
    if (s.animation > 0)
        f.setProperty(prop::Animation, s.animation);
    if (s.has(CharState::Outline))
        f.setProperty(prop::Outline, true);
    if (s.has(CharState::Shadow))
        f.setProperty(prop::Shadow, true);
    if (s.has(CharState::Emboss))
        f.setProperty(prop::Emboss, true);
    if (s.has(CharState::Imprint))
        f.setProperty(prop::Imprint, true);
    if (s.link >= 0 && s.link < m_tables.links.size()) {
        f.setAnchor(true);
        f.setAnchorHref(m_tables.links.at(s.link));
    }
    if (s.footnote >= 0 && size_t(s.footnote) < m_tables.footnotes.size())
        f.setProperty(prop::Footnote, m_tables.footnotes[size_t(s.footnote)]);
    return f;
}

QTextBlockFormat FormatCache::blockFormat(const rtf::ParState &state, bool listItem,
                                          int listObject)
{
    // List and table membership are decided elsewhere; they do not change
    // the block format itself.
    rtf::ParState par = state;
    par.ls = par.ilvl = par.itap = 0;
    par.pn = -1;
    par.set(rtf::ParState::InTable, false);
    par.set(rtf::ParState::PnGiven, false);
    par.set(rtf::ParState::PnContinues, false);
    if (!listItem)
        listObject = -1;
    const BlockKey key{par, listItem, listObject};
    auto it = m_blockFormats.constFind(key);
    if (it != m_blockFormats.cend())
        return it.value();
    QTextBlockFormat format = buildBlockFormat(par, listItem);
    if (listObject >= 0)
        format.setObjectIndex(listObject);
    m_blockFormats.insert(key, format);
    return format;
}

QTextBlockFormat FormatCache::buildBlockFormat(const rtf::ParState &p, bool listItem) const
{
    using rtf::ParState;
    QTextBlockFormat f;
    switch (p.align) {
    case ParState::Right: f.setAlignment(Qt::AlignRight); break;
    case ParState::Center: f.setAlignment(Qt::AlignHCenter); break;
    case ParState::Justify:
    case ParState::Distribute: f.setAlignment(Qt::AlignJustify); break;
    default: break;
    }
    if (p.li)
        f.setLeftMargin(p.li * PxPerTwip);
    if (p.ri)
        f.setRightMargin(p.ri * PxPerTwip);
    if (listItem) {
        // Qt draws the number or bullet left of the first line; the hanging
        // indent RTF gives list items is that room.
        if (p.fi)
            f.setProperty(prop::ListTextIndent, p.fi * PxPerTwip);
    } else if (p.fi) {
        f.setTextIndent(p.fi * PxPerTwip);
    }
    if (p.sb)
        f.setTopMargin(p.sb * PxPerTwip);
    if (p.sa)
        f.setBottomMargin(p.sa * PxPerTwip);
    if (p.sl != 0) {
        f.setProperty(prop::LineSpacingRule, p.sl);
        f.setProperty(prop::LineSpacingMultiple, p.slmult != 0);
        if (p.slmult && p.sl > 0)
            f.setLineHeight(p.sl * 100.0 / 240.0, QTextBlockFormat::ProportionalHeight);
        else if (p.sl > 0)
            f.setLineHeight(p.sl * PxPerTwip, QTextBlockFormat::MinimumHeight);
        else
            f.setLineHeight(-p.sl * PxPerTwip, QTextBlockFormat::FixedHeight);
    }
    if (p.tabs >= 0 && size_t(p.tabs) < m_tables.tabSets.size()) {
        QList<QTextOption::Tab> tabs;
        QList<TabLeader> leaders;
        for (const rtf::TabStop &stop : m_tables.tabSets[size_t(p.tabs)]) {
            leaders.append(TabLeader(std::clamp(stop.leader, 0, 5)));
            QTextOption::Tab tab;
            tab.position = stop.position * PxPerTwip;
            switch (stop.kind) {
            case rtf::TabStop::Right: tab.type = QTextOption::RightTab; break;
            case rtf::TabStop::Center: tab.type = QTextOption::CenterTab; break;
            case rtf::TabStop::Decimal:
                tab.type = QTextOption::DelimiterTab;
                tab.delimiter = u'.';
                break;
            default: tab.type = QTextOption::LeftTab; break;
            }
            tabs.append(tab);
        }
        f.setTabPositions(tabs);
        setTabLeaders(f, leaders);
    }
    if (p.decor >= 0 && size_t(p.decor) < m_tables.decorSets.size())
        setParagraphDecor(f, rtf::decorFromRtf(m_tables.decorSets[size_t(p.decor)], m_tables));
    if (p.has(ParState::KeepNext))
        f.setProperty(prop::KeepWithNext, true);
    if (p.has(ParState::Keep)) {
        f.setProperty(prop::KeepTogether, true);
        f.setNonBreakableLines(true);
    }
    if (p.has(ParState::PageBreakBefore)) {
        f.setProperty(prop::PageBreakBefore, true);
        f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    }
    if (p.has(ParState::RightToLeft))
        f.setLayoutDirection(Qt::RightToLeft);
    return f;
}

QTextListFormat FormatCache::listFormat(const rtf::ListLevelDef &level,
                                        const rtf::ParState &par) const
{
    QTextListFormat f;
    const bool bullet = level.kind == ListKind::Bullet;
    f.setStyle(toQt(level.kind));
    if (bullet) {
        const QTextListFormat::Style style = bulletStyle(level.bullet);
        if (style != QTextListFormat::ListStyleUndefined)
            f.setStyle(style);
        else
            f.setProperty(prop::ListBullet, QString(level.bullet));
    } else {
        f.setNumberPrefix(level.prefix);
        f.setNumberSuffix(level.suffix);
        f.setProperty(prop::NumberingStart, level.start);
        if (level.align > 0)
            f.setProperty(prop::ListLabelAlign, level.align);
    }
    f.setProperty(prop::NumberingKind, int(level.kind));
    // The paragraph's own left indent makes the room for the marker; a list
    // without one gets Qt's indent step.
    f.setIndent(par.li > 0 ? 0 : 1);
    return f;
}

} // namespace richtext
