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

// True when html shows something: a character outside its tags that is not
// a space. Collected text without any is formatting that can be dropped.
bool showsText(std::string_view html)
{
    bool inTag = false;
    for (const char ch : html) {
        if (ch == '<')
            inTag = true;
        else if (ch == '>')
            inTag = false;
        else if (!inTag && ch != ' ')
            return true;
    }
    return false;
}

class TableConverter
{
public:
    explicit TableConverter(Conversion &c)
        : m_c(c)
        , m_line(c.line)
        , m_w(c.writer)
        , m_collectStart(c.writer)
        , m_lookAheadStart(c.writer)
    {
    }

    void run(int codeFont);
    int codeFont() const { return m_state.codeFont; }

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
    void endBeforeLookAhead();
    void startLookAhead(std::size_t pos);
    void startCollecting();
    void dropCollected();
    std::string closeCell();
    std::size_t paragraphEnd(std::size_t next);
    std::size_t row(std::size_t next);
    std::size_t rowDefinition(std::size_t next);
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
    bool m_cellShowsText = false;
    // The writer as it was when the cell text began to be collected, to go
    // back to when that text is dropped.
    HtmlWriter m_collectStart;
    // Whether the paragraph being read is marked as part of the table.
    bool m_inTableParagraph = true;
    bool m_lookAhead = false;
    // When the look-ahead began: the writer, how much cell text there was,
    // and whether text has been read ahead since.
    HtmlWriter m_lookAheadStart;
    std::size_t m_cellBeforeLookAhead = 0;
    bool m_lookAheadShowsText = false;
    int m_fallbackToSkip = 0;
    int m_highSurrogate = 0;
    std::string m_scratch;
};

void TableConverter::output(std::string_view html)
{
    if (m_tableState == NextCell || m_tableState == AfterRow) {
        m_cell.append(html);
        if (!m_cellShowsText || (m_lookAhead && !m_lookAheadShowsText)) {
            const bool shows = showsText(html);
            m_cellShowsText = m_cellShowsText || shows;
            m_lookAheadShowsText = m_lookAheadShowsText || (m_lookAhead && shows);
        }
    } else {
        m_c.out.writeOut(html);
    }
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

// The table ended before the text that was read ahead: that text is read
// again by the group reader, so the writer goes back to where it was when
// the look-ahead began. What was collected before it follows the table.
void TableConverter::endBeforeLookAhead()
{
    m_w = m_lookAheadStart;
    endTable();
    m_c.out.writeOut(std::string_view(m_cell).substr(0, m_cellBeforeLookAhead));
}

void TableConverter::startLookAhead(std::size_t pos)
{
    m_lookAhead = true;
    m_line.cut(pos);
    m_lookAheadStart = m_w;
    m_cellBeforeLookAhead = m_cell.size();
    m_lookAheadShowsText = false;
}

void TableConverter::startCollecting()
{
    m_cell.clear();
    m_cellShowsText = false;
    m_collectStart = m_w;
}

// Collected text that shows nothing (formatting between a row's last cell
// and its end) is dropped, and with it the tags it opened.
void TableConverter::dropCollected()
{
    m_w = m_collectStart;
    m_cell.clear();
    m_cellShowsText = false;
}

// Closes what the cell opened: tags, alignment, indentation lists.
std::string TableConverter::closeCell()
{
    std::string closing = m_w.closeAllTags();
    closing += m_w.closeAlignment();
    m_w.closeLists(closing);
    m_w.paragraphStart = true;
    return closing;
}

void TableConverter::run(int codeFont)
{
    m_state.codeFont = codeFont;
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
                    return endBeforeLookAhead();
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
        endBeforeLookAhead();
        return;
    }
    // Nothing of what was collected is lost, and the table is closed.
    if (m_tableState == AfterRow) {
        endTable();
        m_c.out.writeOut(m_cell);
    } else {
        if (m_tableState == FirstCell)
            m_c.out.writeOut(closeCell() + "</TD>");
        else if (m_cellShowsText)
            m_c.out.writeOut("<TD>" + m_cell + closeCell() + "</TD>");
        else
            dropCollected();
        m_c.out.writeOut("</TR>");
        endTable();
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
    if (pos + 1 >= m_line.size()) {
        // A backslash that ends its line ends the paragraph. Where lines are
        // joined, the joined text spells that out for this backslash.
        if (m_c.input.atEnd())
            return pos + 1;
        if (m_lookAhead || m_tableState == AfterRow)
            return m_line.appendNext(m_c.input) ? pos : pos + 1;
        return paragraphEnd(pos + 1);
    }
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
    if (id == WordId::Par || id == WordId::Sect || id == WordId::NestCell)
        return paragraphEnd(next);
    if (id == WordId::Intbl) {
        m_lookAhead = false;
        m_inTableParagraph = true;
        return next;
    }
    if (id == WordId::Trowd)
        return rowDefinition(next);
    if (id == WordId::Row)
        return row(next);
    if (id == WordId::Cell) {
        m_lookAhead = false;
        const std::string closing = closeCell();
        if (m_tableState == FirstCell)
            m_c.out.writeOut(closing + "</TD>");
        else if (m_tableState == NextCell)
            m_c.out.writeOut("<TD>" + m_cell + closing + "</TD>");
        else
            m_c.out.writeOut("<TR><TD>" + m_cell + closing + "</TD>");
        m_state.reset(CharState::Reset::All);
        m_tableState = NextCell;
        startCollecting();
        return next;
    }
    if (id == WordId::Pard || (id == WordId::Widctlpar && m_line.view(next, 6) != "\\intbl")) {
        if (m_tableState == AfterRow) {
            if (m_lookAhead) {
                // The second paragraph start after the last row: the table
                // ended, and the reader goes on from the first one.
                endBeforeLookAhead();
                return Ended;
            }
            startLookAhead(pos);
            next -= pos;
        }
        if (id == WordId::Pard) {
            m_inTableParagraph = false;
            output(m_w.handleControlWord(w, m_state));
        }
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

// A paragraph end. After a row, a paragraph that its "\\pard" took out of
// the table ends the table there: it is text between this table and the
// next one, or after the last.
std::size_t TableConverter::paragraphEnd(std::size_t next)
{
    if (m_tableState == AfterRow && m_lookAhead && !m_inTableParagraph) {
        endBeforeLookAhead();
        return Ended;
    }
    std::string fragment = m_w.closeAllTags();
    fragment += m_w.closeAlignment();
    // The next paragraph of the cell opens its own alignment and tags.
    m_w.paragraphStart = true;
    if (m_tableState == FirstCell) {
        m_c.out.writeOut(fragment + "<BR>");
    } else {
        // After a row, an empty paragraph makes no line; the closing tags
        // stay with the tags they close.
        m_cell += fragment;
        if (m_tableState == NextCell || m_cellShowsText)
            m_cell += "<BR>";
    }
    return next;
}

std::size_t TableConverter::row(std::size_t next)
{
    std::string fragment;
    if (m_tableState == FirstCell) {
        fragment = closeCell() + "</TD>";
    } else if (m_cellShowsText) {
        // Text after the row's last cell is a cell of its own, not lost.
        fragment = (m_tableState == AfterRow ? "<TR><TD>" : "<TD>") + m_cell;
        fragment += closeCell() + "</TD>";
    } else {
        dropCollected();
    }
    m_c.out.writeOut(fragment + "</TR>");
    m_state.reset(CharState::Reset::All);
    m_lookAhead = false;
    m_tableState = AfterRow;
    startCollecting();
    return next;
}

// A row definition after a row starts the next row, unless a paragraph that
// is not part of the table came between: then the table ended before it.
std::size_t TableConverter::rowDefinition(std::size_t next)
{
    if (m_tableState != AfterRow) {
        m_lookAhead = false;
        return next;
    }
    if (m_lookAhead && m_lookAheadShowsText && !m_inTableParagraph) {
        endBeforeLookAhead();
        return Ended;
    }
    m_lookAhead = false;
    m_inTableParagraph = true;
    if (m_cellShowsText) {
        // Text after the row that no paragraph start took out of the table
        // begins the new row's first cell.
        m_c.out.writeOut("<TR><TD>" + m_cell);
    } else {
        dropCollected();
        m_c.out.writeOut("<TR><TD>");
    }
    m_cell.clear();
    m_cellShowsText = false;
    m_state.reset(CharState::Reset::All);
    m_tableState = FirstCell;
    return next;
}

} // namespace

void convertTable(Conversion &c, CharState &around)
{
    TableConverter table(c);
    table.run(around.codeFont);
    around.codeFont = table.codeFont();
}

} // namespace html
