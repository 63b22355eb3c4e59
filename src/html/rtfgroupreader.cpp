#include "html/rtfgroupreader.h"

#include "html/conversion.h"
#include "html/scanning.h"
#include "html/tableconverter.h"
#include "html/tablereaders.h"
#include "html/words.h"

#include <vector>

namespace html {

namespace {

// Deeper nesting is still counted, but its states are not saved: their
// formatting simply stays until the group that holds them ends.
constexpr std::size_t MaxSavedGroups = 100000;

class GroupReader
{
public:
    GroupReader(Conversion &c, CharState &state)
        : m_c(c)
        , m_line(c.line)
        , m_w(c.writer)
        , m_state(state)
    {
    }

    void run();

private:
    void enterGroup();
    bool leaveGroup(); // false when the outermost reader returns
    void closeTocLink();
    void beforeText();
    void write(std::string_view html) { m_c.out.writeOut(html); }
    void writeToken(std::string_view token);
    std::size_t text(std::size_t pos);
    std::size_t controlSymbol(std::size_t pos);
    std::size_t controlWord(std::size_t pos);
    std::size_t ignorableDestination(std::size_t pos);
    std::size_t numberingGroup(std::size_t pos);
    std::size_t styleReference(const ControlWord &word, bool spliced);

    Conversion &m_c;
    CurrentLine &m_line;
    HtmlWriter &m_w;
    CharState &m_state;
    std::vector<CharState> m_saved;
    std::size_t m_unsavedDepth = 0;
    int m_fallbackToSkip = 0;
    int m_highSurrogate = 0;
    std::string m_scratch;
};

void GroupReader::run()
{
    std::size_t pos = 0;
    for (;;) {
        if (pos >= m_line.size()) {
            if (m_c.input.atEnd()) {
                // The input is used up: every open group ends here, and the
                // text of this last line is not read again by the groups
                // around it.
                m_line.clear();
                if (!leaveGroup())
                    return;
            } else {
                m_line.loadNext(m_c.input);
            }
            pos = 0;
            continue;
        }
        switch (m_line.at(pos)) {
        case '{':
            m_line.takeRest(pos + 1, m_c.input);
            closeTocLink();
            enterGroup();
            pos = 0;
            break;
        case '}':
            m_line.takeRest(pos + 1, m_c.input);
            closeTocLink();
            if (!leaveGroup())
                return;
            pos = 0;
            break;
        case '\\':
            pos = controlSymbol(pos);
            break;
        default:
            pos = text(pos);
        }
    }
}

void GroupReader::enterGroup()
{
    m_fallbackToSkip = 0;
    if (m_saved.size() < MaxSavedGroups && m_unsavedDepth == 0)
        m_saved.push_back(m_state);
    else
        ++m_unsavedDepth;
}

bool GroupReader::leaveGroup()
{
    m_fallbackToSkip = 0;
    if (m_unsavedDepth > 0) {
        --m_unsavedDepth;
        return true;
    }
    if (m_saved.empty())
        return false;
    const CharState saved = m_saved.back();
    m_saved.pop_back();
    if (!(m_state == saved)) {
        write(m_w.closeAllTags());
        m_w.reopenPending = true;
    }
    m_state = saved;
    return true;
}

void GroupReader::closeTocLink()
{
    if (m_w.tocLinkOpen) {
        write("</A>");
        m_w.tocLinkOpen = false;
    }
}

void GroupReader::writeToken(std::string_view token)
{
    m_scratch.clear();
    m_w.emitToken(m_scratch, token, m_state);
    write(m_scratch);
}

// What comes before the first text of a paragraph: the next list item, or
// the label of a numbered paragraph. Every kind of text passes here, so an
// item that starts with an accented letter or a symbol still starts inside
// its item.
void GroupReader::beforeText()
{
    if (m_w.itemPending || m_w.pendingBullets > 0) {
        m_scratch.clear();
        m_w.openPendingItem(m_scratch);
        write(m_scratch);
    }
    if (m_w.numberedList && m_w.paragraphStart && !m_w.numberLabel.empty()) {
        const std::string label = "&&" + m_w.numberLabel;
        m_w.numberLabel.clear();
        writeToken(label);
    }
}

std::size_t GroupReader::text(std::size_t pos)
{
    if (m_fallbackToSkip > 0) {
        --m_fallbackToSkip;
        return pos + 1;
    }
    beforeText();
    if (!m_w.plainTextReady()) {
        writeToken(m_line.view(pos, 1));
        return pos + 1;
    }
    // Nothing is pending: the run up to the next brace or backslash is just
    // its own text.
    const std::string_view v = m_line.view();
    std::size_t end = pos;
    while (end < v.size() && v[end] != '{' && v[end] != '}' && v[end] != '\\')
        ++end;
    if (!m_state.hidden) {
        m_scratch.clear();
        HtmlWriter::appendText(m_scratch, v.substr(pos, end - pos), m_state.caps);
        write(m_scratch);
    }
    return end;
}

std::size_t GroupReader::controlSymbol(std::size_t pos)
{
    if (pos + 1 >= m_line.size()) {
        // A backslash that ends its line ends the paragraph, as "\par" does.
        if (!m_c.input.atEnd()) {
            closeTocLink();
            m_scratch.clear();
            m_w.handleControlWord(m_scratch, "par", m_state, WordId::Par);
            write(m_scratch);
        }
        return pos + 1;
    }
    const char symbol = m_line.at(pos + 1);
    if (isLower(symbol))
        return controlWord(pos);
    if (symbol == '*')
        return ignorableDestination(pos);
    if (symbol == '\'') {
        while (m_line.size() < pos + 4 && m_line.appendNext(m_c.input)) {
        }
        if (m_fallbackToSkip > 0) {
            --m_fallbackToSkip;
            return pos + 4;
        }
        beforeText();
        std::string code(m_line.view(pos + 2, 2));
        code.resize(2, ' '); // a code cut off by the end of the input is no code
        writeToken(code);
        return pos + 4;
    }
    if (m_fallbackToSkip > 0) {
        --m_fallbackToSkip;
        return pos + 2;
    }
    if (m_state.hidden)
        return pos + 2;
    switch (symbol) {
    case '\\':
    case '{':
    case '}':
        beforeText();
        writeToken(m_line.view(pos + 1, 1));
        break;
    case '~':
        beforeText();
        writeToken("&nbsp;");
        break;
    case '_':
        beforeText();
        writeToken("-");
        break;
    default:
        break; // "\-" (optional hyphen) and unknown symbols
    }
    return pos + 2;
}

std::size_t GroupReader::ignorableDestination(std::size_t pos)
{
    const std::string_view t3 = m_line.view(pos + 3, 3);
    if (t3 == "pn " || t3 == "pn\\")
        return numberingGroup(pos);
    if (m_line.view(pos + 3, 4) == "bkmk" && !m_w.bookmarkParagraph) {
        write("<P>");
        m_w.bookmarkParagraph = true;
    }
    m_line.cut(pos + 2);
    skipGroup(m_c);
    return 0;
}

std::size_t GroupReader::controlWord(std::size_t pos)
{
    const bool spliced = m_line.isSpliced(pos);
    const ControlWord word = readControlWord(m_c, pos + 1, LineMode::Replace);
    const std::string &w = word.text;
    const std::size_t afterWord = word.endedLine ? 0 : word.end;
    m_fallbackToSkip = 0;

    const WordId id = wordId(w);
    if (id == WordId::FontTable || id == WordId::ColorTable || id == WordId::StyleSheet) {
        if (id == WordId::FontTable)
            readFontTable(m_c, afterWord);
        else if (id == WordId::ColorTable)
            readColorTable(m_c, afterWord);
        else
            readStyleSheet(m_c, afterWord);
        return 0;
    }
    if (w.size() >= 2 && w[0] == 's' && isDigit(w[1]))
        return styleReference(word, spliced);
    if (id == WordId::Trowd) {
        m_scratch.clear();
        m_w.closeInline(m_scratch);
        m_w.closeLists(m_scratch);
        write(m_scratch);
        m_line.cut(word.next);
        convertTable(m_c, m_state);
        return 0;
    }
    if (skippedByReader(id)) {
        m_line.cut(word.next);
        skipGroup(m_c);
        if (id == WordId::Pict) {
            beforeText();
            writeToken("&pict;");
        }
        return 0;
    }
    if (isUnicodeWord(w)) {
        const std::size_t length = unicodeWordLength(w);
        const std::string reference =
            unicodeReference(toInt(std::string_view(w).substr(1, length - 1)), m_highSurrogate);
        if (!reference.empty()) {
            beforeText();
            writeToken("&&" + reference);
        }
        m_fallbackToSkip = m_state.unicodeSkip;
        // Letters joined to the number are text: its fallback, then more.
        const std::size_t joined = w.size() - length;
        return joined > 0 && !word.endedLine ? word.end - joined : word.next;
    }
    closeTocLink();
    if (isUnicodeSkipWord(w)) {
        m_state.unicodeSkip = std::min(16, toInt(std::string_view(w).substr(2)));
        return word.next;
    }
    if (isBinaryWord(w)) {
        // Binary data is never text.
        const long long count = leadingCount(std::string_view(w).substr(3));
        return skipBinary(m_c, word.next, count, LineMode::Replace);
    }
    if (!m_state.hidden && writesToken(id))
        beforeText();
    m_scratch.clear();
    m_w.handleControlWord(m_scratch, w, m_state, id);
    write(m_scratch);
    return word.next;
}

std::size_t GroupReader::styleReference(const ControlWord &word, bool spliced)
{
    const int n = toInt(std::string_view(word.text).substr(1));
    const DocumentTables &tables = m_c.tables;
    for (int level = 1; level <= DocumentTables::Levels; ++level) {
        if (n == tables.tocStyle(level)) {
            if (tables.headingStyle(level) != -1) {
                m_w.tocParagraph = m_w.tocLinkPending = true;
                m_w.tocLevel = level;
            }
            break;
        }
        if (n == tables.headingStyle(level)) {
            m_w.anchorPending = true;
            m_w.anchorLevel = level;
        }
    }
    // A reference inside a definition that was spliced in is not expanded:
    // a style that names itself would otherwise never end.
    if (spliced || !DocumentTables::validStyle(n))
        return word.next;
    const std::string &definition = tables.style(n).definition;
    if (definition.empty())
        return word.next;
    // The word's delimiter stays behind the definition and now ends the
    // definition's last word; a line end is a delimiter too.
    if (word.endedLine) {
        m_line.splice(definition + " ");
    } else {
        m_line.cut(word.end);
        m_line.splice(definition);
    }
    return 0;
}

std::size_t GroupReader::numberingGroup(std::size_t pos)
{
    HtmlWriter &w = m_w;
    w.textBefore.clear();
    w.textAfter.clear();
    std::string startDigits;
    std::size_t i = pos + 5;
    int depth = 1;
    for (;;) {
        if (i >= m_line.size()) {
            if (!m_line.loadNext(m_c.input)) {
                m_line.clear();
                i = 0;
                break;
            }
            i = 0;
            continue;
        }
        const char ch = m_line.at(i);
        if (ch == '{') {
            ++depth;
            ++i;
            continue;
        }
        if (ch == '}') {
            if (--depth == 0)
                break; // the group reader closes the group at this brace
            ++i;
            continue;
        }
        if (ch != '\\') {
            ++i;
            continue;
        }
        if (!isLower(m_line.get(i + 1))) {
            i += 2;
            continue;
        }
        const ControlWord word = readControlWord(m_c, i + 1, LineMode::Replace);
        i = word.next;
        const std::string &t = word.text;
        const bool level = t.compare(0, 5, "pnlvl") == 0 && t.size() > 5;
        if (t == "pnlvlblt" || (level && t[5] >= '5' && t[5] <= '9')) {
            // The list and its item are written before the paragraph's
            // first text, after the indentation lists that come between.
            w.numberedList = false;
            w.bulletList = w.inListItem = true;
            ++w.pendingBullets;
        } else if (t == "pnlvlcont" || t == "pnlvlbody" || (level && t[5] >= '1' && t[5] <= '4')) {
            w.numberedList = t == "pnlvlbody";
            w.bulletList = w.inListItem = false;
        } else if (t == "pndec" || t == "pncard" || t == "pnucltr" || t == "pnucrm"
                   || t == "pnlcltr" || t == "pnlcrm" || t == "pnord" || t == "pnordt") {
            w.numberStyleSeen = true;
        } else if (t.find("pnstart") != std::string::npos) {
            if (w.numberStyleSeen && w.numberedList) {
                startDigits = t.size() > 7 ? t.substr(7) : std::string();
                w.numberCounter = toInt(startDigits);
            }
        } else if ((t == "pntxta" || t == "pntxtb") && w.numberedList) {
            std::size_t end = m_line.find('}', i);
            if (end == std::string::npos)
                end = m_line.size();
            (t == "pntxta" ? w.textAfter : w.textBefore).append(m_line.view(i, end - i));
            i = end;
        }
    }
    m_line.cut(i);
    if (w.numberedList && !w.bulletList) {
        const std::string label = w.textBefore + startDigits + w.textAfter;
        if (!label.empty())
            writeToken("&&" + label);
    }
    return 0;
}

} // namespace

void readGroup(Conversion &c, CharState &state)
{
    GroupReader(c, state).run();
}

} // namespace html
