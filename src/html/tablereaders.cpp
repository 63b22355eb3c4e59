#include "html/tablereaders.h"

#include "html/conversion.h"
#include "html/scanning.h"

namespace html {

namespace {

constexpr std::size_t npos = std::string::npos;
// A table entry that has not ended after this much joined text is damaged.
constexpr std::size_t JoinLimit = std::size_t(1) << 20;

// First of `chars` at or after `from`, joining lines while there is none.
std::size_t findJoining(Conversion &c, std::string_view chars, std::size_t from)
{
    CurrentLine &line = c.line;
    for (;;) {
        const std::size_t p = line.view().find_first_of(chars, from);
        if (p != npos)
            return p;
        from = std::max(from, line.size());
        if (line.size() > JoinLimit || !line.appendNext(c.input))
            return npos;
    }
}

void ensure(Conversion &c, std::size_t length)
{
    while (c.line.size() < length && c.line.size() <= JoinLimit && c.line.appendNext(c.input)) {
    }
}

// Leaves the line at position p (a closing brace) with at least a few
// characters joined behind it.
void finishAt(Conversion &c, std::size_t p)
{
    c.line.cut(p);
    c.line.refill(c.input);
}

void giveUp(Conversion &c)
{
    c.line.cut(c.line.size());
}

int colorComponent(std::string_view entry, std::string_view name)
{
    const std::size_t p = entry.find(name);
    if (p == npos)
        return 0;
    return int(std::min<long long>(255, leadingCount(entry.substr(p + name.size()))));
}

// Where the name of a font entry starts: after the control words that follow
// its "\fN" (at `p`), each with its space, and after embedded groups. The
// entry's "\fcharsetN" among the words gives its character set.
std::size_t fontNameStart(Conversion &c, std::size_t p, int &charset)
{
    CurrentLine &line = c.line;
    std::size_t r = p;
    for (;;) {
        ensure(c, r + 2);
        if (r >= line.size())
            return npos;
        const char ch = line.at(r);
        if (ch == ' ' && r == p) {
            ++r; // the delimiter of the number
        } else if (ch == '\\' && isLower(line.get(r + 1))) {
            const std::size_t word = ++r;
            for (;;) {
                while (r < line.size() && continuesWord(line.at(r)))
                    ++r;
                if (r < line.size() || line.size() > JoinLimit || !line.appendNext(c.input))
                    break;
            }
            const std::string_view text = line.view(word, r - word);
            if (text.substr(0, 8) == "fcharset")
                charset = toInt(text.substr(8), -1);
            if (r < line.size() && line.at(r) == ' ')
                ++r;
        } else if (ch == '{') {
            const std::size_t e = findGroupEnd(c, r + 1);
            if (e == npos)
                return npos;
            r = e + 1;
        } else {
            return r;
        }
    }
}

// Reads a font name from `start` up to the ";", "{", "}" or "\" that ends
// it; character codes in it ("\'hh") are part of it. Returns where it ended.
std::size_t readFontName(Conversion &c, std::size_t start, std::string &name)
{
    CurrentLine &line = c.line;
    std::size_t p = start;
    for (;;) {
        const std::size_t e = findJoining(c, ";{}\\", p);
        if (e == npos)
            return npos;
        name.append(line.view(p, e - p));
        ensure(c, e + 4);
        if (line.at(e) != '\\' || line.get(e + 1) != '\'')
            return e;
        const int high = hexValue(line.get(e + 2));
        const int low = hexValue(line.get(e + 3));
        if (high >= 0 && low >= 0)
            name += char(high * 16 + low);
        p = std::min(e + 4, line.size());
    }
}

} // namespace

void readFontTable(Conversion &c, std::size_t p)
{
    CurrentLine &line = c.line;
    for (;;) {
        // The next entry: its "\f"; a closing brace first ends the table.
        bool braced = false;
        std::size_t q;
        for (;;) {
            q = findJoining(c, "\\{}", p);
            if (q == npos)
                return giveUp(c);
            if (line.at(q) == '}')
                return finishAt(c, q);
            if (line.at(q) == '\\')
                break;
            braced = true;
            p = q + 1;
        }
        ensure(c, q + 8);
        if (line.get(q + 1) != 'f') {
            // Not a font entry: pass over it whole.
            if (braced) {
                const std::size_t e = findGroupEnd(c, q);
                if (e == npos)
                    return giveUp(c);
                p = e + 1;
            } else {
                p = q + 1;
                while (p < line.size() && isWordChar(line.at(p)))
                    ++p;
            }
            continue;
        }
        std::size_t digitsEnd = q + 2;
        while (digitsEnd < line.size() && isDigit(line.at(digitsEnd)))
            ++digitsEnd;
        const int number = toInt(line.view(q + 2, digitsEnd - (q + 2)));

        // The name follows the entry's control words; an embedded group such
        // as the panose numbers is passed over. A name may begin with a
        // character code, so it is not looked for after a space only.
        int charset = -1;
        const std::size_t nameStart = fontNameStart(c, digitsEnd, charset);
        if (nameStart == npos)
            return giveUp(c);
        std::string name;
        const std::size_t nameEnd = readFontName(c, nameStart, name);
        if (nameEnd == npos)
            return giveUp(c);
        std::size_t rest = nameEnd;
        bool alternative = false;
        if (line.at(nameEnd) == '{') {
            ensure(c, nameEnd + 10);
            if (line.view(nameEnd + 1, 7) == "\\*\\falt") {
                const std::size_t altStart = nameEnd + 9;
                const std::size_t altEnd = findJoining(c, "}", altStart);
                if (altEnd == npos)
                    return giveUp(c);
                name = std::string(line.view(altStart, altEnd - altStart));
                // Go on after the alternative's group, or its "}" would be
                // taken for the end of the entry.
                rest = altEnd;
                alternative = true;
            }
        }

        if (charset >= 0)
            c.tables.addCharset(number, charset);
        if (!c.options.noFonts) {
            const int index = c.tables.fontCount();
            if (c.tables.addFont(name, number) && c.options.optimize && index < 3) {
                c.out.addPattern("<FONT FACE=\"" + name + "\"></FONT>");
                if (!c.options.onlyDefiniteOpt)
                    c.out.addPattern("</FONT><FONT FACE=\"" + name + "\">");
            }
        }

        line.cut(rest);
        line.refill(c.input);
        p = alternative ? 1 : 0;
        if (braced) {
            const std::size_t e = findGroupEnd(c, p);
            if (e == npos)
                return giveUp(c);
            p = e + 1;
        }
    }
}

void readColorTable(Conversion &c, std::size_t p)
{
    CurrentLine &line = c.line;
    ensure(c, p + 2);
    if (line.get(p) == ';' || (line.get(p) == ' ' && line.get(p + 1) == ';'))
        c.tables.addColor(0);
    for (;;) {
        const std::size_t q = findJoining(c, "\\}", p);
        if (q == npos)
            return giveUp(c);
        if (line.at(q) == '}')
            return finishAt(c, q);
        const std::size_t e = findJoining(c, ";}", q);
        if (e == npos)
            return giveUp(c);
        if (line.at(e) == '}')
            return finishAt(c, e);
        ensure(c, e + 2);
        const bool last = line.get(e + 1) == '}';
        const std::string_view entry = line.view(q, e - q);
        const int color = colorComponent(entry, "red") << 16 | colorComponent(entry, "green") << 8
            | colorComponent(entry, "blue");
        c.tables.addColor(color);
        if (c.options.optimize)
            c.out.addPattern("<FONT COLOR=\"" + colorString(color) + "\"></FONT>");
        line.cut(e + 1);
        line.refill(c.input);
        if (last)
            return;
        p = 0;
    }
}

namespace {

// Scans one paragraph style entry from i up to its closing "}" and stores
// its name and definition. Returns the position of that brace, or npos.
std::size_t scanStyleEntry(Conversion &c, std::size_t i, int number)
{
    CurrentLine &line = c.line;
    const bool valid = DocumentTables::validStyle(number);
    std::string definition, name, word;
    bool wordMode = false, nameMode = false;
    int basedOn = -1;
    const auto endWord = [&] {
        if (word.compare(0, 8, "sbasedon") == 0) {
            const int m = toInt(std::string_view(word).substr(8), -1);
            if (m >= 0 && m < number)
                basedOn = m;
        }
    };
    for (;;) {
        while (line.size() - i < 5 && line.appendNext(c.input)) {
        }
        if (i >= line.size())
            return npos;
        const char ch = line.at(i);
        if (ch == '\\' && line.get(i + 1) != '\'') {
            endWord();
            wordMode = true;
            nameMode = false;
            word.clear();
            name.clear();
            definition += ch;
        } else if (ch == '\\' && nameMode) {
            const int high = hexValue(line.get(i + 2));
            const int low = hexValue(line.get(i + 3));
            if (high >= 0 && low >= 0)
                name += char(high * 16 + low);
            i += 4;
            continue;
        } else if (ch == ' ' && (wordMode || !nameMode)) {
            if (wordMode)
                endWord();
            wordMode = false;
            nameMode = true;
        } else if (ch == ';') {
            if (valid) {
                c.tables.style(number).name = name;
                c.tables.classifyStyle(number, name);
            }
            wordMode = nameMode = false;
        } else if (ch == '{') {
            const std::size_t e = findGroupEnd(c, i + 1);
            if (e == npos)
                return npos;
            i = e + 1;
            continue;
        } else if (ch == '}') {
            if (valid) {
                std::string base = basedOn >= 0 ? c.tables.style(basedOn).definition : std::string();
                c.tables.style(number).definition = normalizeStyle(std::move(definition), std::move(base));
            }
            return i;
        } else if (wordMode) {
            definition += ch;
            word += ch;
        } else if (nameMode) {
            name += ch;
        }
        ++i;
    }
}

} // namespace

void readStyleSheet(Conversion &c, std::size_t p)
{
    CurrentLine &line = c.line;
    for (;;) {
        const std::size_t q = findJoining(c, "{}", p);
        if (q == npos)
            return giveUp(c);
        if (line.at(q) == '}')
            return finishAt(c, q);
        ensure(c, q + 4);
        const std::string_view t = line.view(q + 1, 3);
        std::size_t end;
        if (t.size() == 3 && t[0] == '\\' && t[1] == 's' && isDigit(t[2])) {
            std::size_t digitsEnd = q + 3;
            while (digitsEnd < line.size() && isDigit(line.at(digitsEnd)))
                ++digitsEnd;
            const int number = toInt(line.view(q + 3, digitsEnd - (q + 3)), DocumentTables::StyleSlots);
            end = scanStyleEntry(c, digitsEnd, number);
        } else if (t == "\\ds" || t == "\\*\\") {
            // Section and character styles are not used.
            end = findGroupEnd(c, q + 1);
        } else {
            end = scanStyleEntry(c, q + 1, 0); // the default paragraph style
        }
        if (end == npos)
            return giveUp(c);
        line.cut(end);
        line.refill(c.input);
        p = 1;
    }
}

} // namespace html
