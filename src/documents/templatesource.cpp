#include "documents/templatesource.h"

#include "assembly/loadfile.h"
#include "assembly/mergetoken.h"
#include "richtext/codepage.h"

#include <QStringDecoder>

#include <algorithm>
#include <optional>

namespace documents {

namespace {

    bool isLetter(char c)
    {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    }

    // A control word at `at` (a backslash, then a letter): its letters, and
    // the end of the word with its parameter and delimiting space.
    struct ControlWord {
        QByteArrayView letters;
        qint64 parameter = 0;
        bool hasParameter = false;
        qsizetype end = 0;
    };

    ControlWord readControlWord(QByteArrayView text, qsizetype at)
    {
        ControlWord word;
        qsizetype k = at + 1;
        while (k < text.size() && isLetter(text[k]))
            ++k;
        word.letters = text.sliced(at + 1, k - at - 1);
        const bool negative
            = k + 1 < text.size() && text[k] == '-' && assembly::isDigit(text[k + 1]);
        if (negative)
            ++k;
        for (; k < text.size() && assembly::isDigit(text[k]); ++k) {
            word.hasParameter = true;
            // Large enough for any \bin the file could hold; no overflow.
            word.parameter
                = std::min<qint64>(word.parameter * 10 + (text[k] - '0'), qint64(1) << 40);
        }
        if (negative)
            word.parameter = -word.parameter;
        if (k < text.size() && text[k] == ' ')
            ++k;
        word.end = k;
        return word;
    }

    std::optional<TemplateSource::Region> regionOfWord(QByteArrayView word)
    {
        using R = TemplateSource::Region;
        if (word == "header" || word == "headerl" || word == "headerr" || word == "headerf")
            return R::Header;
        if (word == "footer" || word == "footerl" || word == "footerr" || word == "footerf")
            return R::Footer;
        if (word == "footnote")
            return R::Footnote;
        return std::nullopt;
    }

    std::vector<qsizetype> lineStarts(QByteArrayView text)
    {
        std::vector<qsizetype> starts { 0 };
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            else if (text[i] != '\r' && text[i] != '\n')
                continue;
            starts.push_back(i + 1);
        }
        return starts;
    }

} // namespace

TemplateSource::TemplateSource(
    QByteArrayView fileBytes, const QByteArray &mergeText, bool rtf, int codePage)
    : m_text(mergeText)
    , m_codePage(codePage)
{
    using E = assembly::ByteOrderMark::Encoding;
    const assembly::ByteOrderMark bom = assembly::findByteOrderMark(fileBytes);
    m_utf16 = bom.encoding == E::Utf16LE || bom.encoding == E::Utf16BE;
    m_fileStart = bom.length;
    m_lineStarts = lineStarts(m_text);
    if (!m_utf16)
        m_fileLineStarts = lineStarts(fileBytes.sliced(bom.length));
    if (rtf)
        scanStructure();
}

void TemplateSource::scanStructure()
{
    const QByteArrayView text(m_text);
    std::vector<qsizetype> groups; // where each open group starts
    std::size_t regionDepth = 0; // the group depth of the open region; 0: none
    qsizetype i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '{') {
            groups.push_back(i++);
        } else if (c == '}') {
            if (!groups.empty()) {
                if (regionDepth == groups.size()) {
                    m_regions.back().end = i + 1;
                    regionDepth = 0;
                }
                groups.pop_back();
            }
            ++i;
        } else if (c == '\\' && i + 1 < text.size() && isLetter(text[i + 1])) {
            const ControlWord word = readControlWord(text, i);
            i = word.end;
            if (word.letters == "bin" && word.hasParameter && word.parameter > 0) {
                const qsizetype end = qsizetype(std::min<qint64>(text.size(), i + word.parameter));
                m_binary.push_back({ i, end, Region::Body });
                i = end;
            } else if (const auto region = regionOfWord(word.letters);
                       region && regionDepth == 0 && !groups.empty()) {
                // Until its group closes (or the text ends, when it never does).
                m_regions.push_back({ groups.back(), text.size(), *region });
                regionDepth = groups.size();
            }
        } else {
            // A control symbol ("\{", "\'e9" ...) is stepped over whole, so an
            // escaped brace opens no group.
            i += c == '\\' ? 2 : 1;
        }
    }
}

TemplateSource::Place TemplateSource::place(qsizetype at) const
{
    const auto next = std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), at);
    const std::size_t lineIndex = std::size_t(next - m_lineStarts.begin()) - 1;
    Place place;
    place.line = int(lineIndex + 1);
    place.column = int(at - m_lineStarts[lineIndex] + 1);
    if (!m_utf16 && lineIndex < m_fileLineStarts.size())
        place.offset = m_fileStart + m_fileLineStarts[lineIndex] + place.column - 1;
    return place;
}

namespace {

    bool inRanges(const auto &ranges, qsizetype at)
    {
        const auto next = std::upper_bound(ranges.begin(), ranges.end(), at,
            [](qsizetype value, const auto &range) { return value < range.begin; });
        return next != ranges.begin() && at < std::prev(next)->end;
    }

} // namespace

TemplateSource::Region TemplateSource::regionAt(qsizetype at) const
{
    const auto next = std::upper_bound(m_regions.begin(), m_regions.end(), at,
        [](qsizetype value, const Range &range) { return value < range.begin; });
    if (next == m_regions.begin() || at >= std::prev(next)->end)
        return Region::Body;
    return std::prev(next)->region;
}

bool TemplateSource::inBinaryData(qsizetype at) const
{
    return inRanges(m_binary, at);
}

QByteArray TemplateSource::digitsAfterFormatting(
    qsizetype at, const assembly::TextRules &rules) const
{
    if (!rules.rtf)
        return {};
    const QByteArrayView text(m_text);
    constexpr qsizetype reach = 400;
    const qsizetype limit = std::min(text.size(), at + 1 + reach);
    qsizetype k = at + 1;
    while (k < limit) {
        const char c = text[k];
        if (c == '{' || c == '}' || c == '\r' || c == '\n') {
            ++k;
        } else if (c == '\\' && k + 1 < text.size() && text[k + 1] == '*') {
            k += 2;
        } else if (c == '\\' && k + 1 < text.size() && isLetter(text[k + 1])) {
            const ControlWord word = readControlWord(text, k);
            // The merge's own count says whether a word puts a character on
            // the page (\par, \tab ...): then the digits are not the token's.
            if (assembly::textLength(text.sliced(k, word.end - k), rules) > 0)
                return {};
            k = word.end;
        } else {
            break;
        }
    }
    if (k == at + 1 || k >= limit || !assembly::isDigit(text[k]))
        return {};
    qsizetype end = k;
    while (end < text.size() && end - k < 40 && assembly::isDigit(text[end]))
        ++end;
    return text.sliced(k, end - k).toByteArray();
}

QString TemplateSource::decode(QByteArrayView bytes) const
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = richtext::codepage::toUnicode(bytes, m_codePage);
    return text;
}

QString TemplateSource::excerpt(qsizetype at, qsizetype reach) const
{
    const QByteArrayView text(m_text);
    const auto next = std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), at);
    const qsizetype lineStart = *std::prev(next);
    // Every line of the merge text but the last ends in CR LF.
    const qsizetype lineEnd = next == m_lineStarts.end() ? text.size() : *next - 2;
    const qsizetype from = std::max(lineStart, at - reach);
    const qsizetype to = std::min(lineEnd, at + reach + 1);
    QString excerpt = decode(text.sliced(from, to - from));
    for (QChar &c : excerpt) {
        if (c.unicode() < 0x20)
            c = u' ';
    }
    if (from > lineStart)
        excerpt.prepend(QStringLiteral("..."));
    if (to < lineEnd)
        excerpt.append(QStringLiteral("..."));
    return excerpt;
}

} // namespace documents
