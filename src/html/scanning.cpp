#include "html/scanning.h"

#include "html/conversion.h"

#include <climits>

namespace html {

int toInt(std::string_view text, int fallback)
{
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative)
        i = 1;
    if (i >= text.size())
        return fallback;
    long long value = 0;
    for (; i < text.size(); ++i) {
        if (!isDigit(text[i]))
            return fallback;
        value = value * 10 + (text[i] - '0');
        if (value > (long long)INT_MAX + 1)
            return fallback;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX || value < INT_MIN)
        return fallback;
    return int(value);
}

long long leadingCount(std::string_view text)
{
    constexpr long long Cap = 1LL << 60;
    long long value = 0;
    for (const char ch : text) {
        if (!isDigit(ch))
            break;
        value = value * 10 + (ch - '0');
        if (value > Cap)
            value = Cap;
    }
    return value;
}

ControlWord readControlWord(Conversion &c, std::size_t pos, LineMode mode)
{
    CurrentLine &line = c.line;
    std::size_t end = pos;
    while (end < line.size() && continuesWord(line.at(end)))
        ++end;
    ControlWord word {std::string(line.view(pos, end - pos)), end, end, false};
    if (end < line.size()) {
        if (line.at(end) == ' ')
            word.next = end + 1;
        return word;
    }
    // A word that ends its line ends there; the next line starts afresh.
    word.endedLine = true;
    if (mode == LineMode::Replace) {
        line.loadNext(c.input);
        word.next = 0;
    } else if (line.appendNext(c.input)) {
        word.next = end + 1; // after the space that now ends the word
    }
    return word;
}

std::size_t skipBinary(Conversion &c, std::size_t pos, long long count, LineMode mode)
{
    CurrentLine &line = c.line;
    std::size_t i = pos;
    while (count > 0) {
        if (i < line.size()) {
            const std::size_t take = std::size_t(std::min<long long>(count, (long long)(line.size() - i)));
            i += take;
            count -= (long long)take;
            continue;
        }
        const bool realLineEnd = c.input.lastLineEnded();
        if (mode == LineMode::Replace) {
            if (!line.loadNext(c.input)) {
                line.clear();
                return 0;
            }
            i = 0;
        } else {
            if (!line.appendNext(c.input, false))
                return line.size();
        }
        if (realLineEnd)
            --count;
    }
    return i;
}

namespace {

// Position of the next "{", "}" or "\" from i, or the line's size.
std::size_t nextSpecial(const CurrentLine &line, std::size_t i)
{
    const std::string_view v = line.view();
    while (i < v.size() && v[i] != '{' && v[i] != '}' && v[i] != '\\')
        ++i;
    return i;
}

// Handles the backslash at i inside a skipped group: \bin data is passed over
// unread; any other control sequence moves on by two characters, so that an
// escaped brace does not count as a brace.
std::size_t passBackslash(Conversion &c, std::size_t i, LineMode mode)
{
    CurrentLine &line = c.line;
    if (line.view(i + 1, 3) == "bin") {
        std::size_t e = i + 4;
        while (e < line.size() && isDigit(line.at(e)))
            ++e;
        const long long count = leadingCount(line.view(i + 4, e - (i + 4)));
        if (e < line.size() && line.at(e) == ' ')
            ++e;
        return skipBinary(c, e, count, mode);
    }
    return i + 2;
}

} // namespace

void skipGroup(Conversion &c)
{
    CurrentLine &line = c.line;
    int depth = 0;
    std::size_t i = 0;
    for (;;) {
        i = nextSpecial(line, i);
        if (i >= line.size()) {
            if (!line.loadNext(c.input)) {
                line.clear();
                return;
            }
            i = 0;
            continue;
        }
        const char ch = line.at(i);
        if (ch == '{') {
            ++depth;
            ++i;
        } else if (ch == '}') {
            if (depth == 0) {
                line.cut(i);
                return;
            }
            --depth;
            ++i;
        } else {
            i = passBackslash(c, i, LineMode::Replace);
        }
    }
}

std::size_t findGroupEnd(Conversion &c, std::size_t pos)
{
    CurrentLine &line = c.line;
    int depth = 0;
    std::size_t i = pos;
    for (;;) {
        i = nextSpecial(line, i);
        if (i >= line.size()) {
            if (!line.appendNext(c.input))
                return std::string::npos;
            continue;
        }
        const char ch = line.at(i);
        if (ch == '{') {
            ++depth;
            ++i;
        } else if (ch == '}') {
            if (depth == 0)
                return i;
            --depth;
            ++i;
        } else {
            i = passBackslash(c, i, LineMode::Append);
        }
    }
}

std::string unicodeReference(int value, int &highSurrogate)
{
    long long v = value;
    if (v < 0)
        v += 65536;
    if (v >= 0xD800 && v <= 0xDBFF) {
        highSurrogate = int(v);
        return {};
    }
    long long code;
    if (v >= 0xDC00 && v <= 0xDFFF)
        code = highSurrogate ? 0x10000 + ((highSurrogate - 0xD800) << 10) + (v - 0xDC00) : 0xFFFD;
    else
        code = (v <= 0 || v > 0x10FFFF) ? 0xFFFD : v;
    highSurrogate = 0;
    return "&#" + std::to_string(code) + ";";
}

bool isUnicodeWord(std::string_view w)
{
    return w.size() > 1 && w[0] == 'u'
        && (isDigit(w[1]) || (w[1] == '-' && w.size() > 2 && isDigit(w[2])));
}

std::size_t unicodeWordLength(std::string_view w)
{
    std::size_t n = w.size() > 1 && w[1] == '-' ? 2 : 1;
    while (n < w.size() && isDigit(w[n]))
        ++n;
    return n;
}

bool isUnicodeSkipWord(std::string_view w)
{
    return w.size() > 2 && w[0] == 'u' && w[1] == 'c' && isDigit(w[2]);
}

bool isBinaryWord(std::string_view w)
{
    if (w.substr(0, 3) != "bin")
        return false;
    for (std::size_t i = 3; i < w.size(); ++i) {
        if (!isDigit(w[i]))
            return false;
    }
    return true;
}

} // namespace html
