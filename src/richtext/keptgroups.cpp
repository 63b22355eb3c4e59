#include "richtext/keptgroups.h"

#include "richtext/codepage.h"
#include "richtext/plaintextsink.h"
#include "richtext/rtfreader.h"
#include "richtext/rtfrewriter.h"
#include "richtext/rtfwritertables.h"

#include <set>

namespace richtext {

namespace {

using rtf::Rewriter;
using rtf::Span;
using rtf::Token;
using rtf::Tokenizer;

// Words whose parameter is an index into the font table, and into the
// colour table.
bool namesFont(std::string_view word)
{
    return word == "f" || word == "af" || word == "pnf";
}

bool namesColor(std::string_view word)
{
    static constexpr std::string_view words[] = {
        "cf",      "cb",      "highlight", "chcbpat",   "chcfpat",    "cbpat",
        "cfpat",   "brdrcf",  "clcbpat",   "clcfpat",   "clcbpatraw", "clcfpatraw",
        "trcbpat", "trcfpat", "ulc",       "pncf",
    };
    for (std::string_view w : words) {
        if (w == word)
            return true;
    }
    return false;
}

// The font numbers a group names, and the highest colour number.
void collectReferences(QByteArrayView group, std::set<int> &fonts, int &maxColor)
{
    Tokenizer tokens(group);
    for (Token t = tokens.next(); t.type != Token::End; t = tokens.next()) {
        if (t.type != Token::ControlWord || !t.hasParam)
            continue;
        if (namesFont(t.word) && fonts.size() < 4096)
            fonts.insert(t.param);
        else if (namesColor(t.word))
            maxColor = std::max(maxColor, t.param);
    }
}

// Text of a table entry: ASCII as it is, the rest as \uN? (a font name ends
// at ';', which it cannot hold).
void appendText(QByteArray &out, const QString &text)
{
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == ';' || u < 0x20)
            continue;
        if (u == '\\' || u == '{' || u == '}') {
            out += '\\';
            out += char(u);
        } else if (u < 0x80) {
            out += char(u);
        } else {
            out += "\\u" + QByteArray::number(int(u)) + '?';
        }
    }
}

} // namespace

QByteArray keptTablesRtf(const rtf::DocumentTables &tables, const QList<QByteArrayView> &groups)
{
    std::set<int> fonts;
    int maxColor = 0;
    for (const QByteArrayView group : groups)
        collectReferences(group, fonts, maxColor);
    if (tables.defaultFont >= 0)
        fonts.insert(tables.defaultFont);

    QByteArray out = "\\ansicpg" + QByteArray::number(tables.codePage);
    if (tables.defaultFont >= 0)
        out += "\\deff" + QByteArray::number(tables.defaultFont);
    out += "{\\fonttbl";
    for (int index : fonts) {
        const auto it = tables.fonts.constFind(index);
        if (it == tables.fonts.cend())
            continue;
        const rtf::FontDef &font = it.value();
        out += "{\\f" + QByteArray::number(index);
        if (!font.family.isEmpty())
            out += "\\f" + font.family.toLatin1();
        if (font.charset >= 0)
            out += "\\fcharset" + QByteArray::number(font.charset);
        if (font.codePage > 0)
            out += "\\cpg" + QByteArray::number(font.codePage);
        if (font.pitch > 0)
            out += "\\fprq" + QByteArray::number(font.pitch);
        if (!font.alt.isEmpty()) {
            out += "{\\*\\falt ";
            appendText(out, font.alt);
            out += '}';
        }
        out += ' ';
        appendText(out, font.name);
        out += ";}";
    }
    out += "}{\\colortbl";
    const int colors = std::min<int>(maxColor + 1, int(tables.colors.size()));
    for (int i = 0; i < colors; ++i) {
        const QColor color = tables.colors[size_t(i)];
        if (color.isValid())
            out += "\\red" + QByteArray::number(color.red()) + "\\green"
                   + QByteArray::number(color.green()) + "\\blue"
                   + QByteArray::number(color.blue());
        out += ';';
    }
    out += '}';
    return out;
}

QByteArrayView keptGroupContent(QByteArrayView group)
{
    Tokenizer tokens(group);
    for (Token t = tokens.next(); t.type != Token::End; t = tokens.next()) {
        if (t.type == Token::ControlWord) {
            const qsizetype from = tokens.position();
            return group.sliced(from, std::max<qsizetype>(0, group.size() - 1 - from));
        }
        if (t.type != Token::GroupStart && !(t.type == Token::ControlSymbol && t.param == '*'))
            break;
    }
    return {};
}

KeptGroupNumbers::KeptGroupNumbers(const QByteArray &tablesRtf, RtfFontTable &fonts,
                                   RtfColorTable &colors)
    : m_tables(std::make_unique<rtf::DocumentTables>()), m_fonts(fonts), m_colors(colors)
{
    // The kept tables, read back as the file's reader read them.
    PlainTextSink sink;
    rtf::Reader reader(sink, *m_tables);
    reader.read(QByteArray("{\\rtf1" + tablesRtf + '}'));
}

KeptGroupNumbers::~KeptGroupNumbers() = default;

int KeptGroupNumbers::font(int number)
{
    const auto it = m_tables->fonts.constFind(number);
    if (it == m_tables->fonts.cend())
        return 0; // a font the file did not have: the default one
    RtfFont entry;
    entry.name = it->name;
    if (it->alt.compare(it->name, Qt::CaseInsensitive) != 0)
        entry.alt = it->alt;
    entry.charset = it->charset >= 0
                        ? it->charset
                        : codepage::charsetFor(it->codePage > 0 ? it->codePage : m_tables->codePage);
    entry.pitch = it->pitch > 0 ? it->pitch : -1;
    if (!it->family.isEmpty())
        entry.familyKind = u'f' + it->family;
    return m_fonts.indexOf(entry);
}

int KeptGroupNumbers::color(int number)
{
    const QColor c = m_tables->color(number);
    return c.isValid() ? m_colors.indexOf(c) : 0;
}

QByteArray KeptGroupNumbers::renumbered(QByteArrayView group)
{
    Rewriter rewriter(group);
    Span span;
    while (rewriter.next(span)) {
        const Token &t = span.token;
        if (t.type != Token::ControlWord || !t.hasParam)
            continue;
        const bool isFont = namesFont(t.word);
        if (!isFont && !namesColor(t.word))
            continue;
        const int number = isFont ? font(t.param) : color(t.param);
        if (number == t.param)
            continue;
        rewriter.replace(span.begin, span.paramEnd,
                         '\\' + QByteArray(t.word.data(), qsizetype(t.word.size()))
                             + QByteArray::number(number));
    }
    return rewriter.finish();
}

} // namespace richtext
