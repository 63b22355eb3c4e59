#include "richtext/footnotes.h"

#include "richtext/keptgroups.h"
#include "richtext/rtfimport.h"
#include "richtext/rtfrewriter.h"
#include "richtext/textproperties.h"

#include <QTextFormat>

namespace richtext {

namespace {

using rtf::Rewriter;
using rtf::Span;
using rtf::Token;

// The value is a flag byte ('A' automatic mark, 'C' the file's own), the
// tables, a line feed (which the tables never hold) and the group.
constexpr char Automatic = 'A';
constexpr char Custom = 'C';

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
    return keptTablesRtf(tables, {group});
}

QByteArray footnoteDocumentRtf(const Footnote &note, const QString &mark)
{
    const QByteArrayView content = keptGroupContent(note.group);
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
    return KeptGroupNumbers(note.tables, fonts, colors).renumbered(note.group);
}

} // namespace richtext
