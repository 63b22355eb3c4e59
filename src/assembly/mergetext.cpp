#include "assembly/mergetext.h"

#include "assembly/mergetoken.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

namespace assembly {

namespace {

    using namespace std::string_view_literals;

    // Control words that put one character on the page.
    constexpr std::array characterWords { "par"sv, "line"sv, "tab"sv, "page"sv, "emdash"sv,
        "endash"sv, "emspace"sv, "enspace"sv, "qmspace"sv, "bullet"sv, "lquote"sv, "rquote"sv,
        "ldblquote"sv, "rdblquote"sv };

    // Character and paragraph formatting: they change how the value looks and
    // end with its group or at the next paragraph, nothing more.
    constexpr std::array formattingWords { "b"sv, "i"sv, "ul"sv, "ulnone"sv, "uld"sv, "uldb"sv,
        "uldash"sv, "ulw"sv, "ulth"sv, "strike"sv, "striked"sv, "scaps"sv, "caps"sv, "outl"sv,
        "shad"sv, "embo"sv, "impr"sv, "v"sv, "sub"sv, "super"sv, "nosupersub"sv, "up"sv, "dn"sv,
        "plain"sv, "f"sv, "fs"sv, "cf"sv, "cb"sv, "highlight"sv, "chcbpat"sv, "expnd"sv,
        "expndtw"sv, "kerning"sv, "lang"sv, "pard"sv, "ql"sv, "qr"sv, "qc"sv, "qj"sv, "li"sv,
        "ri"sv, "fi"sv, "sb"sv, "sa"sv, "sl"sv, "slmult"sv, "keep"sv, "keepn"sv };

    template <std::size_t N>
    bool listed(const std::array<std::string_view, N> &list, QByteArrayView word)
    {
        const std::string_view w(word.data(), size_t(word.size()));
        return std::find(list.begin(), list.end(), w) != list.end();
    }

    int byteAt(QByteArrayView text, qsizetype k)
    {
        return k < text.size() ? static_cast<unsigned char>(text[k]) : -1;
    }

    bool isLetter(int c)
    {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    }

    bool isHex(int c)
    {
        return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    }

    int hexValue(int c)
    {
        return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
    }

    bool startsPair(QByteArrayView text, qsizetype at, const LeadByteTest &isLeadByte)
    {
        const int trail = byteAt(text, at + 1);
        return isLeadByte && isLeadByte(static_cast<unsigned char>(text[at])) && trail >= 0
            && trail != '\r' && trail != '\n';
    }

    // One piece of RTF source.
    struct RtfItem {
        enum class Kind {
            Text, // a byte a reader shows, or a two-byte character
            Hex, // "\'hh", or two of them that make one two-byte character
            Symbol, // '\' and one character that is not a letter
            Word, // '\', letters, a parameter, the delimiting space if any
            Open,
            Close,
            LineEnd, // CR or LF, which RTF ignores
            Stray, // '\' at the end, before a line end, or "\'" without hex
        };
        Kind kind;
        qsizetype length; // bytes, a Word's delimiter included
        qsizetype letters = 0; // Word: its letters start at offset 1
        bool parameter = false; // Word: a number follows the letters
        bool delimited = false; // Word: a space ends it
    };

    // The piece at `at`, which is inside `text`.
    RtfItem readRtfItem(QByteArrayView text, qsizetype at, const LeadByteTest &isLeadByte)
    {
        using K = RtfItem::Kind;
        switch (text[at]) {
        case '{':
            return { K::Open, 1 };
        case '}':
            return { K::Close, 1 };
        case '\r':
        case '\n':
            return { K::LineEnd, 1 };
        case '\\':
            break;
        default:
            // A trail byte may look like any ASCII character; it is part of
            // its lead byte's character all the same.
            return { K::Text, startsPair(text, at, isLeadByte) ? 2 : 1 };
        }

        const int d = byteAt(text, at + 1);
        if (d < 0 || d == '\r' || d == '\n')
            return { K::Stray, 1 };
        if (d == '\'') {
            if (!isHex(byteAt(text, at + 2)) || !isHex(byteAt(text, at + 3)))
                return { K::Stray, 1 };
            const int byte = hexValue(text[at + 2]) * 16 + hexValue(text[at + 3]);
            const bool pair = isLeadByte && isLeadByte(static_cast<unsigned char>(byte))
                && text.sliced(at + 4).startsWith("\\'") && isHex(byteAt(text, at + 6))
                && isHex(byteAt(text, at + 7));
            return { K::Hex, pair ? 8 : 4 };
        }
        if (!isLetter(d))
            return { K::Symbol, 2 };

        RtfItem item { K::Word, 0 };
        qsizetype k = at + 1;
        while (isLetter(byteAt(text, k)))
            ++k;
        item.letters = k - at - 1;
        if (byteAt(text, k) == '-' && isDigit(byteAt(text, k + 1)))
            ++k;
        for (; isDigit(byteAt(text, k)); ++k)
            item.parameter = true;
        if (byteAt(text, k) == ' ') {
            item.delimited = true;
            ++k;
        }
        item.length = k - at;
        return item;
    }

    qsizetype textCharacterLength(QByteArrayView text, qsizetype at, const TextRules &rules)
    {
        const int c = byteAt(text, at);
        if (c < 0 || c == '\r' || c == '\n')
            return 0;
        if (!rules.rtf)
            return startsPair(text, at, rules.isLeadByte) ? 2 : 1;
        const RtfItem item = readRtfItem(text, at, rules.isLeadByte);
        switch (item.kind) {
        case RtfItem::Kind::Text:
        case RtfItem::Kind::Hex:
            return item.length;
        case RtfItem::Kind::Symbol:
            return text[at + 1] == '*' ? 0 : item.length;
        default:
            return 0;
        }
    }

    QByteArrayView wordAt(QByteArrayView text, qsizetype at, const RtfItem &item)
    {
        return text.sliced(at + 1, item.letters);
    }

    void appendHex(QByteArray &out, unsigned char byte)
    {
        static const char digits[] = "0123456789abcdef";
        out += "\\'";
        out += digits[byte >> 4];
        out += digits[byte & 15];
    }

} // namespace

bool isRtfTemplate(QByteArrayView text)
{
    return text.startsWith("{\\rtf");
}

bool isValueControlWord(QByteArrayView word)
{
    return word == "u" || listed(characterWords, word) || listed(formattingWords, word);
}

QByteArray escapeValueRtf(
    QByteArrayView value, const LeadByteTest &isLeadByte, const ControlWordTest &isKnown)
{
    using K = RtfItem::Kind;
    struct Step {
        RtfItem item;
        bool keep; // written as it stands; else its backslash is escaped
    };
    // Both passes must cut the value into the same pieces, or a brace the
    // first pass paired could be one the second pass escapes.
    const auto step = [&](qsizetype at) {
        const RtfItem item = readRtfItem(value, at, isLeadByte);
        bool keep = true;
        if (item.kind == K::Stray) {
            keep = false;
        } else if (item.kind == K::Symbol) {
            keep = QByteArrayView("~-_{}\\").contains(value[at + 1]);
        } else if (item.kind == K::Word) {
            const QByteArrayView word = wordAt(value, at, item);
            // "\u" without its number is no character, and the reader would
            // take the letters after it into the word.
            keep = isKnown(word) && (word != "u" || item.parameter);
        }
        return Step { item, keep };
    };
    const auto advance = [](const Step &s) { return s.keep ? s.item.length : qsizetype(1); };

    std::vector<qsizetype> unbalanced;
    std::vector<qsizetype> open;
    for (qsizetype at = 0; at < value.size();) {
        const Step s = step(at);
        if (s.item.kind == K::Open) {
            open.push_back(at);
        } else if (s.item.kind == K::Close) {
            if (open.empty())
                unbalanced.push_back(at);
            else
                open.pop_back();
        }
        at += advance(s);
    }
    unbalanced.insert(unbalanced.end(), open.begin(), open.end());
    std::sort(unbalanced.begin(), unbalanced.end());

    QByteArray out;
    out.reserve(value.size() + 2 * qsizetype(unbalanced.size()) + 2);
    auto nextUnbalanced = unbalanced.cbegin();
    enum class Tail { Closed, Word, Unicode } tail = Tail::Closed;
    for (qsizetype at = 0; at < value.size();) {
        const Step s = step(at);
        const QByteArrayView piece = value.sliced(at, advance(s));
        tail = Tail::Closed;
        switch (s.item.kind) {
        case K::Open:
        case K::Close:
            if (nextUnbalanced != unbalanced.cend() && *nextUnbalanced == at) {
                out += '\\';
                ++nextUnbalanced;
            }
            out += piece;
            break;
        case K::Text:
            if (piece.size() == 2 && QByteArrayView("\\{}").contains(piece[1])) {
                appendHex(out, static_cast<unsigned char>(piece[0]));
                appendHex(out, static_cast<unsigned char>(piece[1]));
            } else {
                out += piece;
            }
            break;
        case K::Word:
        case K::Symbol:
        case K::Stray:
            if (!s.keep) {
                out += "\\\\";
                break;
            }
            out += piece;
            if (s.item.kind == K::Word) {
                if (wordAt(value, at, s.item) == "u")
                    tail = Tail::Unicode;
                else if (!s.item.delimited)
                    tail = Tail::Word;
            }
            break;
        default:
            out += piece;
            break;
        }
        at += piece.size();
    }
    if (tail == Tail::Unicode)
        out += '?';
    else if (tail == Tail::Word)
        out += ' ';
    return out;
}

qsizetype overwritableLength(QByteArrayView text, qint64 characters, const TextRules &rules)
{
    qsizetype end = 0;
    for (; characters > 0; --characters) {
        const qsizetype n = textCharacterLength(text, end, rules);
        if (n == 0)
            break;
        end += n;
    }
    return end;
}

qint64 textLength(QByteArrayView value, const TextRules &rules)
{
    using K = RtfItem::Kind;
    qint64 n = 0;
    for (qsizetype at = 0; at < value.size();) {
        if (!rules.rtf) {
            const qsizetype length = textCharacterLength(value, at, rules);
            n += length > 0;
            at += std::max<qsizetype>(length, 1);
            continue;
        }
        const RtfItem item = readRtfItem(value, at, rules.isLeadByte);
        const qsizetype start = at;
        at += item.length;
        if (item.kind == K::Text || item.kind == K::Hex) {
            ++n;
        } else if (item.kind == K::Symbol) {
            n += value[start + 1] != '*';
        } else if (item.kind == K::Word) {
            const QByteArrayView word = wordAt(value, start, item);
            if (word == "u" && item.parameter) {
                ++n;
                // The reader skips the fallback that follows: one character,
                // escape or control word, but never a brace.
                if (at < value.size()) {
                    const RtfItem fallback = readRtfItem(value, at, rules.isLeadByte);
                    if (fallback.kind == K::Text || fallback.kind == K::Hex
                        || fallback.kind == K::Symbol || fallback.kind == K::Word)
                        at += fallback.length;
                }
            } else if (listed(characterWords, word)) {
                ++n;
            }
        }
    }
    return n;
}

} // namespace assembly
