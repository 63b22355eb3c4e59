#include "richtext/rtfreader.h"

#include "richtext/codepage.h"
#include "richtext/symbolfonts.h"

// Fields: hyperlinks, whose result becomes anchor text, and SYMBOL fields,
// which show one character.
namespace richtext::rtf {

namespace {

// One argument of a field instruction: a quoted string (backslash escapes
// the next character) or a word up to white space.
QString nextArgument(const QString &text, qsizetype &pos)
{
    while (pos < text.size() && text.at(pos).isSpace())
        ++pos;
    QString arg;
    if (pos >= text.size())
        return arg;
    const QChar first = text.at(pos);
    const bool quoted = first == u'"' || first == QChar(0x201C);
    if (quoted)
        ++pos;
    while (pos < text.size()) {
        const QChar c = text.at(pos);
        if (quoted ? (c == u'"' || c == QChar(0x201D)) : c.isSpace()) {
            ++pos;
            break;
        }
        if (c == u'\\' && quoted && pos + 1 < text.size()) {
            arg.append(text.at(pos + 1));
            pos += 2;
            continue;
        }
        arg.append(c);
        ++pos;
    }
    return arg;
}

} // namespace

void Reader::startFieldResult()
{
    Group &g = m_stack.back();
    if (g.field < 0)
        return;
    const QString target = hyperlinkTarget(m_fields[size_t(g.field)].instruction);
    if (target.isEmpty())
        return;
    auto it = m_linkIndex.constFind(target);
    if (it == m_linkIndex.cend()) {
        if (m_tables.links.size() >= 65536)
            return;
        it = m_linkIndex.insert(target, int(m_tables.links.size()));
        m_tables.links.append(target);
    }
    g.chr.link = it.value();
}

void Reader::endField(const Group &closed)
{
    // A SYMBOL field shows one character. Word writes it as the field's
    // result too; when the result is empty, the character is made here.
    const Field &field = m_fields[size_t(closed.field)];
    if (m_shown != field.shownBefore || closed.dest != Dest::Body)
        return;
    const QString &instruction = field.instruction;
    qsizetype pos = 0;
    if (nextArgument(instruction, pos).compare(u"SYMBOL", Qt::CaseInsensitive) != 0)
        return;
    const QString codeText = nextArgument(instruction, pos);
    bool ok = false;
    const bool hex = codeText.startsWith(u"0x", Qt::CaseInsensitive);
    const int code = hex ? codeText.mid(2).toInt(&ok, 16) : codeText.toInt(&ok, 10);
    if (!ok || code <= 0 || code > 0xFFFF)
        return;
    QString fontName;
    double points = 0;
    enum { Ansi, Unicode, ShiftJis } kind = Ansi;
    while (pos < instruction.size()) {
        const QString arg = nextArgument(instruction, pos);
        if (arg.size() != 2 || !arg.startsWith(u'\\'))
            continue;
        switch (arg.at(1).toLower().unicode()) {
        case 'f': fontName = nextArgument(instruction, pos); break;
        case 's': points = nextArgument(instruction, pos).toDouble(); break;
        case 'u': kind = Unicode; break;
        case 'j': kind = ShiftJis; break;
        default: break; // \a (the default) and \h change nothing shown
        }
    }

    CharState chr = closed.chr;
    if (points > 0)
        chr.size = std::clamp(qRound(points * 2), 1, 3276);
    const FontDef *runFont = m_tables.font(chr.font);
    const QString family = fontName.isEmpty() && runFont ? runFont->name : fontName;
    const bool symbolic = isSymbolFont(family)
                          || (fontName.isEmpty() && runFont && runFont->charset == 2);
    QString text;
    if (kind == Unicode) {
        text = QChar(char16_t(code));
    } else if (kind == ShiftJis) {
        const char bytes[2] = {char(code >> 8), char(code & 0xFF)};
        text = code > 0xFF ? codepage::toUnicode(QByteArrayView(bytes, 2), 932)
                           : codepage::toUnicode(QByteArrayView(bytes + 1, 1), 932);
    } else if (symbolic) {
        // Where Unicode has the symbol, it shows in the text's own face (a
        // symbol face shows only its own codes, and is often missing);
        // otherwise the code stays in the symbol face it was made for.
        if (const char16_t u = symbolToUnicode(family, code)) {
            text = QChar(u);
        } else {
            text = QChar(char16_t(code >= 0xF000 ? code - 0xF000 : code));
            if (!fontName.isEmpty())
                chr.font = fontNamed(fontName, true);
        }
    } else {
        if (!fontName.isEmpty())
            chr.font = fontNamed(fontName, false);
        const FontDef *font = m_tables.font(chr.font);
        const int codePage = font && font->codePage > 0 ? font->codePage : m_tables.codePage;
        const char byte = char(code);
        text = code <= 0xFF ? codepage::toUnicode(QByteArrayView(&byte, 1), codePage)
                            : QString(QChar(char16_t(code)));
    }
    if (text.isEmpty() || text.at(0).unicode() < 0x20)
        return;
    bodyText(text, chr);
}

int Reader::fontNamed(const QString &name, bool symbol)
{
    int last = -1;
    for (auto it = m_tables.fonts.cbegin(); it != m_tables.fonts.cend(); ++it) {
        if (it->name.compare(name, Qt::CaseInsensitive) == 0)
            return it.key();
        last = std::max(last, it.key());
    }
    if (m_tables.fonts.size() >= 4096 || last >= 1 << 20)
        return m_stack.back().chr.font;
    FontDef font;
    font.name = name.left(256);
    font.family = QStringLiteral("nil");
    if (symbol) {
        font.charset = 2;
        font.codePage = codepage::forCharset(2);
    }
    m_tables.fonts.insert(last + 1, font);
    return last + 1;
}

QString Reader::hyperlinkTarget(const QString &instruction)
{
    qsizetype pos = 0;
    if (nextArgument(instruction, pos).compare(u"HYPERLINK", Qt::CaseInsensitive) != 0)
        return {};
    QString url;
    QString anchor;
    while (pos < instruction.size()) {
        const QString arg = nextArgument(instruction, pos);
        if (arg.isEmpty())
            continue;
        if (arg.startsWith(u'\\') && arg.size() == 2) {
            // Switches: \l takes the bookmark; \o, \t take an argument we
            // do not need; \m, \n none.
            const QChar s = arg.at(1).toLower();
            if (s == u'l')
                anchor = nextArgument(instruction, pos);
            else if (s == u'o' || s == u't')
                nextArgument(instruction, pos);
            continue;
        }
        if (url.isEmpty())
            url = arg;
    }
    if (!anchor.isEmpty())
        return url + u'#' + anchor;
    return url;
}

} // namespace richtext::rtf
