#include "html/tableconverter.h"

#include "html/conversion.h"
#include "html/scanning.h"
#include "html/words.h"

#include <vector>

namespace html {

namespace {

// Text read while deciding whether the table goes on is kept until the
// decision; past this much the table is taken to have ended.
constexpr std::size_t LookAheadLimit = std::size_t(1) << 20;
constexpr std::size_t MaxSavedGroups = 100000;
constexpr std::size_t Ended = std::string::npos;

class TableConverter
{
public:
    explicit TableConverter(Conversion &c)
        : m_c(c)
        , m_line(c.line)
        , m_w(c.writer)
    {
    }

    void run();

private:
    enum State {
        TableEnded = 0,
        FirstCell = 1, // a row opened with "<TR><TD>": text goes straight out
        NextCell = 2,  // after a cell: the next cell's text is collected
        AfterRow = 3,  // after a row: text is collected, a new row is expected
    };

    void output(std::string_view html);
    void token(std::string_view t);
    void enterGroup();
    void leaveGroup();
    void endTable();
    void inputEnded();
    std::size_t text(std::size_t pos);
    std::size_t control(std::size_t pos);
    std::size_t word(std::size_t pos);
    std::size_t skipDestination(std::size_t from);

    Conversion &m_c;
    CurrentLine &m_line;
    HtmlWriter &m_w;
    CharState m_state;
    std::vector<CharState> m_saved;
    std::size_t m_unsavedDepth = 0;
    State m_tableState = FirstCell;
    std::string m_cell;
    bool m_lookAhead = false;
    int m_fallbackToSkip = 0;
    int m_highSurrogate = 0;
    std::string m_scratch;
};

void TableConverter::output(std::string_view html)
{
    if (m_tableState == NextCell || m_tableState == AfterRow)
        m_cell.append(html);
    else
        m_c.out.writeOut(html);
}

void TableConverter::token(std::string_view t)
{
    m_scratch.clear();
    m_w.emitToken(m_scratch, t, m_state);
    output(m_scratch);
}

void TableConverter::endTable()
{
    m_tableState = TableEnded;
    m_c.out.writeOut("</TABLE><BR>");
}

void TableConverter::run()
{
    m_w.itemPending = false;
    m_cell.clear();
    m_state.reset(CharState::Reset::All);
    m_c.out.writeOut("<BR><TABLE BORDER=2><TR><TD>");

    std::size_t pos = 0;
    for (;;) {
        if (pos >= m_line.size()) {
            if (m_c.input.atEnd())
                return inputEnded();
            if (m_lookAhead) {
                m_line.appendNext(m_c.input);
                if (m_line.size() > LookAheadLimit)
                    return endTable();
            } else if (m_tableState == AfterRow && m_cell.size() > LookAheadLimit) {
                // Text after the last row that no paragraph start ends.
                endTable();
                m_c.out.writeOut(m_cell);
                m_line.clear();
                return;
            } else {
                m_line.loadNext(m_c.input);
                pos = 0;
            }
            continue;
        }
        switch (m_line.at(pos)) {
        case '{':
            enterGroup();
            ++pos;
            break;
        case '}':
            // The table does not end at a closing brace.
            leaveGroup();
            ++pos;
            break;
        case '\\':
            pos = control(pos);
            if (pos == Ended)
                return;
            break;
        default:
            pos = text(pos);
        }
    }
}

void TableConverter::inputEnded()
{
    if (m_lookAhead) {
        // The paragraphs read ahead are read again as ordinary text.
        endTable();
        return;
    }
    // Nothing of what was collected is lost.
    if (m_tableState == AfterRow) {
        endTable();
        m_c.out.writeOut(m_cell);
    } else if (m_tableState == NextCell && !m_cell.empty()) {
        m_c.out.writeOut("<TD>" + m_cell);
    }
    m_line.clear();
}

void TableConverter::enterGroup()
{
    if (m_saved.size() < MaxSavedGroups && m_unsavedDepth == 0)
        m_saved.push_back(m_state);
    else
        ++m_unsavedDepth;
}

void TableConverter::leaveGroup()
{
    if (m_unsavedDepth > 0) {
        --m_unsavedDepth;
        return;
    }
    if (m_saved.empty())
        return; // a group opened before the table: there is nothing to restore
    const CharState saved = m_saved.back();
    m_saved.pop_back();
    if (!(m_state == saved))
        m_w.reopenPending = true;
    m_state = saved;
}

std::size_t TableConverter::text(std::size_t pos)
{
    if (m_fallbackToSkip > 0) {
        --m_fallbackToSkip;
        return pos + 1;
    }
    if (!m_w.plainTextReady()) {
        token(m_line.view(pos, 1));
        return pos + 1;
    }
    const std::string_view v = m_line.view();
    std::size_t end = pos;
    while (end < v.size() && v[end] != '{' && v[end] != '}' && v[end] != '\\')
        ++end;
    if (!m_state.hidden) {
        m_scratch.clear();
        HtmlWriter::appendText(m_scratch, v.substr(pos, end - pos), m_state.caps);
        output(m_scratch);
    }
    return end;
}

std::size_t TableConverter::control(std::size_t pos)
{
    if (pos + 1 >= m_line.size())
        return pos + 1;
    const char symbol = m_line.at(pos + 1);
    if (isLower(symbol))
        return word(pos);
    if (symbol == '*')
        return skipDestination(pos + 2);
    if (symbol == '\'') {
        while (m_line.size() < pos + 4 && m_line.appendNext(m_c.input)) {
        }
        if (m_fallbackToSkip > 0) {
            --m_fallbackToSkip;
            return pos + 4;
        }
        std::string code(m_line.view(pos + 2, 2));
        code.resize(2, ' ');
        token(code);
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
        token(m_line.view(pos + 1, 1));
        break;
    case '~':
        token("&nbsp;");
        break;
    case '_':
        token("-");
        break;
    default:
        break;
    }
    return pos + 2;
}

// Skips the group in which `from` lies. While looking ahead the text must
// stay for the reader to read again, so the scan only moves past the group
// and the reader later meets it (and its picture or bookmark) in full.
std::size_t TableConverter::skipDestination(std::size_t from)
{
    if (!m_lookAhead) {
        m_line.cut(from);
        skipGroup(m_c);
        return 0;
    }
    const std::size_t end = findGroupEnd(m_c, from);
    return end == std::string::npos ? m_line.size() : end;
}

std::size_t TableConverter::word(std::size_t pos)
{
    // After a row the word may start the look-ahead, which keeps the text
    // from this word on; so the next line is joined rather than read over it.
    const LineMode mode = m_lookAhead || m_tableState == AfterRow ? LineMode::Append : LineMode::Replace;
    const ControlWord cw = readControlWord(m_c, pos + 1, mode);
    const std::string &w = cw.text;
    std::size_t next = cw.next;
    m_fallbackToSkip = 0;

    const WordId id = wordId(w);
    if (skippedInTable(id)) {
        const std::size_t r = skipDestination(next);
        if (id == WordId::Pict)
            token("&pict;");
        return r;
    }
    if (id == WordId::Par || id == WordId::Sect) {
        std::string fragment = m_w.closeAllTags();
        if (m_state.alignRight)
            fragment += "</DIV>";
        if (m_state.alignCenter)
            fragment += "</CENTER>";
        fragment += "<BR>";
        // The next paragraph of the cell opens its own alignment and tags,
        // or its closing tags would stand without an opening one.
        m_w.paragraphStart = true;
        if (m_tableState == NextCell)
            m_cell += fragment;
        else if (m_tableState == FirstCell)
            m_c.out.writeOut(fragment);
        return next;
    }
    if (id == WordId::Intbl) {
        m_lookAhead = false;
        return next;
    }
    if (id == WordId::Trowd) {
        m_lookAhead = false;
        if (m_tableState == AfterRow) {
            m_cell.clear();
            m_c.out.writeOut("<TR><TD>");
            m_state.reset(CharState::Reset::All);
            m_tableState = FirstCell;
        }
        return next;
    }
    if (id == WordId::Row) {
        m_state.reset(CharState::Reset::All);
        m_cell.clear();
        m_lookAhead = false;
        m_c.out.writeOut("</TR>");
        m_tableState = AfterRow;
        return next;
    }
    if (id == WordId::Cell) {
        m_lookAhead = false;
        std::string closing = m_w.closeAllTags();
        if (!m_w.paragraphStart) {
            // The cell's last paragraph opened its alignment: close it in
            // the cell, as a paragraph end would.
            if (m_state.alignRight)
                closing += "</DIV>";
            if (m_state.alignCenter)
                closing += "</CENTER>";
        }
        m_w.paragraphStart = true;
        if (m_tableState == FirstCell)
            m_c.out.writeOut(closing + "</TD>");
        else if (m_tableState == NextCell)
            m_c.out.writeOut("<TD>" + m_cell + closing + "</TD>");
        else
            m_c.out.writeOut("<TR><TD>" + m_cell + closing + "</TD>");
        m_state.reset(CharState::Reset::All);
        m_tableState = NextCell;
        m_cell.clear();
        return next;
    }
    if (id == WordId::Pard || (id == WordId::Widctlpar && m_line.view(next, 6) != "\\intbl")) {
        if (m_tableState == AfterRow) {
            if (m_lookAhead) {
                // The second paragraph start after the last row: the table
                // ended, and the reader goes on from the first one.
                endTable();
                return Ended;
            }
            m_lookAhead = true;
            m_line.cut(pos);
            next -= pos;
        }
        if (id == WordId::Pard)
            output(m_w.handleControlWord(w, m_state));
        return next;
    }
    if (isUnicodeWord(w)) {
        const std::size_t length = unicodeWordLength(w);
        const std::string reference =
            unicodeReference(toInt(std::string_view(w).substr(1, length - 1)), m_highSurrogate);
        if (!reference.empty())
            token("&&" + reference);
        m_fallbackToSkip = m_state.unicodeSkip;
        const std::size_t joined = w.size() - length;
        return joined > 0 && !cw.endedLine ? cw.end - joined : next;
    }
    if (isUnicodeSkipWord(w)) {
        m_state.unicodeSkip = std::min(16, toInt(std::string_view(w).substr(2)));
        return next;
    }
    if (isBinaryWord(w))
        return skipBinary(m_c, next, leadingCount(std::string_view(w).substr(3)), mode);
    m_scratch.clear();
    m_w.handleControlWord(m_scratch, w, m_state, id);
    output(m_scratch);
    return next;
}

} // namespace

void convertTable(Conversion &c)
{
    TableConverter(c).run();
}

} // namespace html
