#include "richtext/pagebandfields.h"

#include "richtext/rtfrewriter.h"

#include <QRegularExpression>
#include <QStringList>

#include <vector>

namespace richtext {

namespace {

using rtf::Rewriter;
using rtf::Span;
using rtf::Token;

// The mark a page field shows, or a null character for another field.
QChar markFor(const QString &instruction)
{
    static const QRegularExpression separators(QStringLiteral("[\\s\\\\*]+"));
    const QStringList words = instruction.split(separators, Qt::SkipEmptyParts);
    if (words.isEmpty())
        return {};
    const QString name = words.first().toUpper();
    pagemark::Number number;
    if (name == u"PAGE")
        number = pagemark::Number::Page;
    else if (name == u"NUMPAGES" || name == u"SECTIONPAGES")
        number = pagemark::Number::Count;
    else
        return {};
    pagemark::Style style = pagemark::Style::Arabic;
    for (const QString &word : words) {
        if (word == u"roman")
            style = pagemark::Style::LowerRoman;
        else if (word == u"ROMAN" || word == u"Roman")
            style = pagemark::Style::UpperRoman;
        else if (word == u"alphabetic")
            style = pagemark::Style::LowerLetter;
        else if (word == u"ALPHABETIC" || word == u"Alphabetic")
            style = pagemark::Style::UpperLetter;
    }
    return pagemark::mark(number, style);
}

QByteArray markRtf(QChar mark)
{
    // In a group of its own, so that a \uc0 around it cannot show the '?'.
    return "{\\uc1\\u" + QByteArray::number(int(mark.unicode())) + "?}";
}

} // namespace

QByteArray withPageMarks(QByteArrayView group)
{
    struct Field
    {
        QString instruction;
        QChar mark;         // null: not a page field
        bool shown = false; // its mark is in the output
    };
    struct Frame
    {
        int field = -1;       // the innermost field this group is in
        int fieldGroup = -1;  // this group is that field's own group
        int instruction = -1; // inside this field's instruction
        int result = -1;      // inside this field's result
        bool fresh = true;    // nothing read in the group yet
    };
    std::vector<Field> fields;
    std::vector<Frame> frames;
    frames.emplace_back();
    int overflow = 0; // groups nested deeper than the frames kept
    Rewriter rewriter(group);
    Span span;

    // In a page field's result, text goes and the mark comes in its place.
    const auto inPageResult = [&]() -> Field * {
        const int f = frames.back().result;
        return f >= 0 && !fields[size_t(f)].mark.isNull() ? &fields[size_t(f)] : nullptr;
    };
    const auto replaceText = [&](Field &field, const Span &s) {
        rewriter.replace(s.begin, s.end, field.shown ? QByteArray() : markRtf(field.mark));
        field.shown = true;
    };
    const auto addToInstruction = [&](QStringView text) {
        const int f = frames.back().instruction;
        if (f >= 0 && fields[size_t(f)].instruction.size() < 1024)
            fields[size_t(f)].instruction.append(text);
    };

    while (rewriter.next(span)) {
        const Token &t = span.token;
        switch (t.type) {
        case Token::GroupStart: {
            if (overflow > 0 || frames.size() >= 4096) {
                ++overflow;
                break;
            }
            Frame frame = frames.back();
            frame.fieldGroup = -1;
            frame.fresh = true;
            frames.push_back(frame);
            break;
        }
        case Token::GroupEnd: {
            if (overflow > 0) {
                --overflow;
                break;
            }
            if (frames.size() <= 1)
                break;
            const Frame closed = frames.back();
            frames.pop_back();
            Frame &parent = frames.back();
            if (closed.instruction >= 0 && parent.instruction != closed.instruction) {
                Field &field = fields[size_t(closed.instruction)];
                field.mark = markFor(field.instruction);
            }
            const int f = closed.fieldGroup >= 0 ? closed.fieldGroup
                          : closed.result >= 0 && parent.result != closed.result ? closed.result
                                                                                 : -1;
            if (f >= 0 && !fields[size_t(f)].mark.isNull() && !fields[size_t(f)].shown) {
                // An empty result, or none: the mark goes where it would be.
                rewriter.insert(span.begin, markRtf(fields[size_t(f)].mark));
                fields[size_t(f)].shown = true;
            }
            break;
        }
        case Token::ControlWord: {
            Frame &frame = frames.back();
            const bool fresh = frame.fresh;
            frame.fresh = false;
            if (fresh && t.word == "field" && fields.size() < 4096) {
                frame.fieldGroup = frame.field = int(fields.size());
                frame.instruction = frame.result = -1;
                fields.emplace_back();
            } else if (fresh && t.word == "fldinst" && frame.field >= 0) {
                frame.instruction = frame.field;
            } else if (fresh && t.word == "fldrslt" && frame.field >= 0) {
                frame.result = frame.field;
            } else if (frame.instruction >= 0) {
                // Words in an instruction add nothing to its text.
            } else if (Field *field = inPageResult()) {
                if (t.word == "u" || t.word == "chpgn")
                    replaceText(*field, span);
            } else if (t.word == "chpgn") {
                rewriter.replace(span.begin, span.end,
                                 markRtf(pagemark::mark(pagemark::Number::Page,
                                                        pagemark::Style::Arabic)));
            }
            break;
        }
        case Token::ControlSymbol:
            if (t.param == '*')
                break;
            frames.back().fresh = false;
            if (frames.back().instruction >= 0) {
                if (t.param == '\\' || t.param == '{' || t.param == '}')
                    addToInstruction(QString(QChar(char16_t(t.param))));
            } else if (Field *field = inPageResult()) {
                replaceText(*field, span);
            }
            break;
        case Token::Text:
            frames.back().fresh = false;
            if (frames.back().instruction >= 0)
                addToInstruction(QString::fromLatin1(t.word.data(), qsizetype(t.word.size())));
            else if (Field *field = inPageResult())
                replaceText(*field, span);
            break;
        case Token::HexByte:
            frames.back().fresh = false;
            if (Field *field = inPageResult())
                replaceText(*field, span);
            break;
        default:
            frames.back().fresh = false;
            break;
        }
    }
    return rewriter.finish();
}

namespace {

QString roman(int n, bool upper)
{
    static const std::pair<int, const char *> parts[] = {
        {1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"}, {90, "xc"},
        {50, "l"},   {40, "xl"},  {10, "x"},  {9, "ix"},   {5, "v"},   {4, "iv"}, {1, "i"},
    };
    QString text;
    n = std::clamp(n, 1, 39999);
    for (const auto &[value, letters] : parts) {
        for (; n >= value; n -= value)
            text += QLatin1String(letters);
    }
    return upper ? text.toUpper() : text;
}

// a ... z, aa ... zz, aaa ..., as Word counts in letters.
QString letters(int n, bool upper)
{
    n = std::clamp(n, 1, 780);
    const QChar letter(char16_t((upper ? 'A' : 'a') + (n - 1) % 26));
    return QString((n - 1) / 26 + 1, letter);
}

} // namespace

namespace pagemark {

namespace {
constexpr char16_t First = 0xE000;
constexpr int Styles = 8;
} // namespace

QChar mark(Number number, Style style)
{
    return QChar(char16_t(First + int(number) * Styles + int(style)));
}

bool isMark(QChar c)
{
    return c.unicode() >= First && c.unicode() < First + 2 * Styles;
}

QString text(QChar mark, int page, int count)
{
    const int offset = mark.unicode() - First;
    const int n = offset / Styles == int(Number::Page) ? page : count;
    switch (Style(offset % Styles)) {
    case Style::LowerRoman: return roman(n, false);
    case Style::UpperRoman: return roman(n, true);
    case Style::LowerLetter: return letters(n, false);
    case Style::UpperLetter: return letters(n, true);
    default: return QString::number(n);
    }
}

} // namespace pagemark

} // namespace richtext
