#include "richtext/footnotes.h"

#include "richtext/codepage.h"
#include "richtext/pagebandrtf.h"
#include "richtext/plaintextsink.h"
#include "richtext/rtfimport.h"
#include "richtext/rtfreader.h"
#include "richtext/rtfrewriter.h"
#include "richtext/rtfwritertables.h"
#include "richtext/textproperties.h"

#include <QTextFormat>

namespace richtext {

namespace {

using rtf::Rewriter;
using rtf::Span;
using rtf::Token;
using rtf::Tokenizer;

// The value is a flag byte ('A' automatic mark, 'C' the file's own), the
// tables, a line feed (which the tables never hold) and the group.
constexpr char Automatic = 'A';
constexpr char Custom = 'C';

bool namesFont(std::string_view word)
{
    return word == "f" || word == "af";
}

bool namesColor(std::string_view word)
{
    static constexpr std::string_view words[] = {
        "cf",     "cb",      "highlight", "chcbpat", "chcfpat", "cbpat", "cfpat",
        "brdrcf", "ulc",
    };
    for (std::string_view w : words) {
        if (w == word)
            return true;
    }
    return false;
}

// The group's content: what follows its destination word, without the
// closing brace.
QByteArrayView contentOf(QByteArrayView group)
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

// Text as RTF: ASCII as it is, the rest as \uN?.
QByteArray escaped(const QString &text)
{
    QByteArray out;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '\\' || u == '{' || u == '}') {
            out += '\\';
            out += char(u);
        } else if (u >= 0x20 && u < 0x80) {
            out += char(u);
        } else if (u >= 0x80) {
            out += "\\u" + QByteArray::number(int(qint16(u))) + '?';
        }
    }
    return out;
}

} // namespace

QByteArray footnoteValue(const Footnote &note)
{
    QByteArray value;
    value.reserve(note.tables.size() + note.group.size() + 2);
    value += note.automatic ? Automatic : Custom;
    value += note.tables;
    value += '\n';
    value += note.group;
    return value;
}

std::optional<Footnote> footnoteFromValue(QByteArrayView value)
{
    if (value.size() < 4 || (value[0] != Automatic && value[0] != Custom))
        return std::nullopt;
    const qsizetype split = value.indexOf('\n');
    if (split < 0 || value.back() != '}' || split + 1 >= value.size() || value[split + 1] != '{')
        return std::nullopt;
    Footnote note;
    note.automatic = value[0] == Automatic;
    note.tables = value.sliced(1, split - 1).toByteArray();
    note.group = value.sliced(split + 1).toByteArray();
    return note;
}

std::optional<Footnote> footnoteOf(const QTextFormat &format)
{
    if (!format.hasProperty(prop::Footnote))
        return std::nullopt;
    return footnoteFromValue(format.property(prop::Footnote).toByteArray());
}

QByteArray footnoteTablesRtf(const rtf::DocumentTables &tables, QByteArrayView group)
{
    PageBandSet set;
    set.groups[0] = group.toByteArray();
    return bandTablesRtf(tables, set);
}

QByteArray footnoteDocumentRtf(const Footnote &note, const QString &mark)
{
    const QByteArrayView content = contentOf(note.group);
    const QByteArray markRtf = escaped(mark);
    Rewriter rewriter(content);
    Span span;
    bool numbered = false;
    while (rewriter.next(span)) {
        if (span.token.type == Token::ControlWord && span.token.word == "chftn") {
            // The word's delimiter space goes with it; the braces keep the
            // mark from running into a word before it ("\super\chftn").
            rewriter.replace(span.begin, span.end, '{' + markRtf + '}');
            numbered = true;
        }
    }
    QByteArray body = rewriter.finish();
    if (!numbered && note.automatic && !mark.isEmpty())
        body.prepend("{\\super " + markRtf + '}');
    return "{\\rtf1\\ansi" + note.tables + "\r\n" + body + '}';
}

QString footnoteText(const Footnote &note, const QString &mark)
{
    return rtfToPlainText(footnoteDocumentRtf(note, mark));
}

QByteArray footnoteGroupRtf(const Footnote &note, RtfFontTable &fonts, RtfColorTable &colors)
{
    // The kept tables, read back as the file's reader read them.
    rtf::DocumentTables tables;
    PlainTextSink sink;
    rtf::Reader reader(sink, tables);
    reader.read(QByteArray("{\\rtf1" + note.tables + '}'));

    const auto font = [&](int number) {
        const auto it = tables.fonts.constFind(number);
        if (it == tables.fonts.cend())
            return 0; // a font the file did not have: the default one
        RtfFont entry;
        entry.name = it->name;
        if (it->alt.compare(it->name, Qt::CaseInsensitive) != 0)
            entry.alt = it->alt;
        entry.charset = it->charset >= 0 ? it->charset
                                         : codepage::charsetFor(it->codePage > 0 ? it->codePage
                                                                                 : tables.codePage);
        entry.pitch = it->pitch > 0 ? it->pitch : -1;
        if (!it->family.isEmpty())
            entry.familyKind = u'f' + it->family;
        return fonts.indexOf(entry);
    };
    const auto color = [&](int number) {
        const QColor c = tables.color(number);
        return c.isValid() ? colors.indexOf(c) : 0;
    };

    Rewriter rewriter(note.group);
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
