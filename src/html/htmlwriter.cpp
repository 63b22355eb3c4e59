#include "html/htmlwriter.h"

#include "html/codepages.h"
#include "html/conversionerror.h"
#include "html/doublebyte.h"
#include "html/documenttables.h"
#include "html/rtftohtml.h"
#include "html/scanning.h"
#include "html/words.h"

#include <cstdint>

namespace html {

namespace {

void appendCode(std::string &out, std::string_view code, bool caps)
{
    struct Named
    {
        std::string_view code, html, capsHtml;
    };
    static constexpr Named named[] = {
        {"c4", "&Auml;", "&Auml;"},   {"d6", "&Ouml;", "&Ouml;"},     {"dc", "&Uuml;", "&Uuml;"},
        {"e4", "&auml;", "&Auml;"},   {"f6", "&ouml;", "&Ouml;"},     {"fc", "&uuml;", "&Uuml;"},
        {"df", "&szlig;", "&szlig;"}, {"b7", "&middot;", "&middot;"},
    };
    for (const Named &n : named) {
        if (code == n.code) {
            out.append(caps ? n.capsHtml : n.html);
            return;
        }
    }
    const int high = hexValue(code[0]);
    const int low = hexValue(code[1]);
    if (high < 0 || low < 0)
        throw ConversionError("Invalid character code \"\\'" + std::string(code) + "\"");
    out.push_back(char(high * 16 + low));
}

// A decoded character as HTML: ASCII as itself, the characters that have
// named entities in Western text by those names, others by their number.
void appendCharacter(std::string &out, char32_t c, bool caps)
{
    if (c < 0x80) {
        const char ch = char(c);
        HtmlWriter::appendText(out, std::string_view(&ch, 1), caps);
        return;
    }
    if (caps)
        c = simpleUpper(c);
    switch (c) {
    case 0xC4:
        out.append("&Auml;");
        return;
    case 0xD6:
        out.append("&Ouml;");
        return;
    case 0xDC:
        out.append("&Uuml;");
        return;
    case 0xE4:
        out.append("&auml;");
        return;
    case 0xF6:
        out.append("&ouml;");
        return;
    case 0xFC:
        out.append("&uuml;");
        return;
    case 0xDF:
        out.append("&szlig;");
        return;
    case 0xB7:
        out.append("&middot;");
        return;
    default:
        out.append("&#" + std::to_string(std::uint32_t(c)) + ";");
    }
}

void appendNamed(std::string &out, std::string_view name)
{
    if (name == "&pict;")
        out.append("<P>[*** picture ***]<P>");
    else if (name == "&tab;")
        out.append("&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;");
    else if (name == "&quote;")
        out.push_back('\'');
    else if (name == "&dblquote;")
        out.push_back('"');
    else if (name == "&emspace;")
        out.append("&nbsp;&nbsp;");
    else if (name == "&enspace;" || name == "&nbsp;")
        out.append("&nbsp;");
    else if (name == "&emdash;")
        out.append("--");
    else if (name == "&endash;")
        out.push_back('-');
}

bool startsWith(std::string_view s, std::string_view prefix)
{
    return s.substr(0, prefix.size()) == prefix;
}

} // namespace

HtmlWriter::HtmlWriter(const DocumentTables &tables, const Options &options)
    : m_tables(&tables)
    , m_options(&options)
{
    reset();
}

void HtmlWriter::reset()
{
    reopenPending = false;
    paragraphStart = true;
    tocParagraph = tocLinkPending = tocLinkOpen = false;
    tocLevel = anchorLevel = 0;
    anchorPending = bookmarkParagraph = false;
    bulletList = numberedList = numberStyleSeen = inListItem = itemPending = false;
    ansiCodePage = WesternCodePage;
    m_codeFont = -2;
    m_leadByte = -1;
    listDepth = pendingBullets = itemLists = 0;
    itemOpen = false;
    openAlign = Align::None;
    numberCounter = -1;
    numberLabel.clear();
    textBefore.clear();
    textAfter.clear();
    indentOpen = true;
    indentTotal = 0;
    for (std::size_t i = 0; i < indentThresholds.size(); ++i)
        indentThresholds[i] = int(i) * 285;
    tocCounters.fill(0);
    headingCounters.fill(0);
    m_closingTags.clear();
}

std::string HtmlWriter::openTags(const CharState &s)
{
    std::string out;
    appendOpenTags(out, s);
    return out;
}

void HtmlWriter::appendOpenTags(std::string &out, const CharState &s)
{
    const auto push = [&](std::string_view open, std::string_view close) {
        out.append(open);
        m_closingTags.push_back(close);
    };
    if (s.bold)
        push("<B>", "</B>");
    if (s.italic)
        push("<I>", "</I>");
    if (s.underline)
        push("<U>", "</U>");
    if (s.subscript)
        push("<SUB>", "</SUB>");
    if (s.superscript)
        push("<SUP>", "</SUP>");
    if (s.strike)
        push("<S>", "</S>");
    if (s.color != CharState::NoColor) {
        static const char digits[] = "0123456789ABCDEF";
        char tag[] = "<FONT COLOR=\"#000000\">";
        for (int i = 0; i < 6; ++i)
            tag[14 + i] = digits[(s.color >> (20 - 4 * i)) & 0xF];
        push(std::string_view(tag, sizeof tag - 1), "</FONT>");
    }
    if (s.fontNumber > -1) {
        out.append("<FONT FACE=\"").append(m_tables->fontName(s.fontNumber));
        push("\">", "</FONT>");
    }
    if (s.fontSize > -1)
        push(fontSizeTagView(s.fontSize), "</FONT>");
}

std::string HtmlWriter::closeAlignment()
{
    const Align open = openAlign;
    openAlign = Align::None;
    return open == Align::Center ? "</CENTER>" : open == Align::Right ? "</DIV>" : "";
}

void HtmlWriter::closeInline(std::string &out)
{
    if (!m_closingTags.empty()) {
        appendCloseAllTags(out);
        reopenPending = true;
    }
    if (openAlign != Align::None) {
        out.append(closeAlignment());
        paragraphStart = true;
    }
}

void HtmlWriter::closeItem(std::string &out)
{
    for (; itemLists > 0; --itemLists, --listDepth)
        out.append("</UL>");
    if (itemOpen)
        out.append("</LI>");
    itemOpen = false;
}

void HtmlWriter::closeLists(std::string &out)
{
    // Bullet lists whose first text never came were never written.
    pendingBullets = 0;
    if (itemOpen || listDepth > 0)
        closeInline(out);
    closeItem(out);
    for (; listDepth > 0; --listDepth)
        out.append("</UL>");
    inListItem = itemPending = false;
}

void HtmlWriter::openPendingItem(std::string &out)
{
    if (pendingBullets == 0 && !itemPending)
        return;
    closeInline(out);
    if (pendingBullets > 0) {
        // A numbering group after an item's text starts a new item; several
        // groups before the text make one item, nested that deep.
        closeItem(out);
        listDepth += pendingBullets;
        for (; pendingBullets > 1; --pendingBullets)
            out.append("<UL>");
        pendingBullets = 0;
        out.append("<UL>");
    }
    out.append("<LI type=disc>");
    itemOpen = true;
    itemPending = false;
}

std::string HtmlWriter::closeAllTags()
{
    std::string out;
    appendCloseAllTags(out);
    return out;
}

void HtmlWriter::appendCloseAllTags(std::string &out)
{
    while (!m_closingTags.empty()) {
        out.append(m_closingTags.back());
        m_closingTags.pop_back();
    }
}

std::string_view HtmlWriter::fontSizeTagView(int size)
{
    if (size == 12)
        return "<FONT SIZE=+0>";
    return size <= 8 ? "<FONT SIZE=-2>"
        : size <= 11 ? "<FONT SIZE=-1>"
        : size <= 15 ? "<FONT SIZE=+1>"
        : size <= 20 ? "<FONT SIZE=+2>"
        : size <= 28 ? "<FONT SIZE=+3>"
                     : "<FONT SIZE=+4>";
}

std::string HtmlWriter::fontSizeTag(int size)
{
    return std::string(fontSizeTagView(size));
}

void HtmlWriter::appendText(std::string &out, std::string_view text, bool caps)
{
    std::size_t from = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const char *entity = c == '<' ? "&lt;" : c == '>' ? "&gt;" : c == '&' ? "&amp;" : nullptr;
        const bool upper = caps && c >= 'a' && c <= 'z';
        if (!entity && !upper)
            continue;
        out.append(text.substr(from, i - from));
        if (entity)
            out.append(entity);
        else
            out.push_back(char(c - 'a' + 'A'));
        from = i + 1;
    }
    out.append(text.substr(from));
}

void HtmlWriter::emitToken(std::string &out, std::string_view tok, const CharState &s)
{
    if (m_leadByte >= 0 && tok.size() > 2)
        flushLeadByte(out);
    if (reopenPending)
        appendCloseAllTags(out);
    if (paragraphStart && openAlign == Align::None) {
        if (s.alignCenter) {
            out.append("<CENTER>");
            openAlign = Align::Center;
        } else if (s.alignRight) {
            out.append("<DIV ALIGN=right>");
            openAlign = Align::Right;
        }
    }
    if (reopenPending || paragraphStart)
        appendOpenTags(out, s);
    reopenPending = paragraphStart = false;

    if (tocParagraph && tocLinkPending) {
        tocLinkOpen = true;
        tocLinkPending = false;
        const int k = ++tocCounters[std::size_t(tocLevel)];
        out.append("<A HREF=\"#" + std::to_string(tocLevel) + "-" + std::to_string(k) + "\">");
    }
    const bool anchor = anchorPending;
    if (anchor) {
        const int k = ++headingCounters[std::size_t(anchorLevel)];
        out.append("<A NAME=\"" + std::to_string(anchorLevel) + "-" + std::to_string(k) + "\">");
    }

    if (!s.hidden) {
        if (tok.size() == 1 && m_leadByte >= 0)
            trailByte(out, static_cast<unsigned char>(tok[0]), s.caps);
        else if (tok.size() == 1)
            appendText(out, tok, s.caps);
        else if (tok.size() == 2)
            characterCode(out, tok, s);
        else if (startsWith(tok, "&&"))
            out.append(tok.substr(2));
        else
            appendNamed(out, tok);
    }

    if (anchor) {
        out.append("</A>");
        anchorPending = false;
    }
}

std::string HtmlWriter::emitToken(std::string_view tok, const CharState &state)
{
    std::string out;
    emitToken(out, tok, state);
    return out;
}

int HtmlWriter::codePage(int fontNumber)
{
    if (fontNumber != m_codeFont || m_tables->charsetCount() != m_codeCharsets) {
        m_codeCharsets = m_tables->charsetCount();
        const int charset = fontNumber < 0 ? 0 : m_tables->fontCharset(fontNumber);
        m_codePage = codePageForCharset(charset, ansiCodePage);
        m_codeFont = fontNumber;
    }
    return m_codePage;
}

void HtmlWriter::characterCode(std::string &out, std::string_view code, const CharState &s)
{
    const int cp = m_leadByte >= 0 ? m_leadCodePage : codePage(s.codeFont);
    const char16_t *table = upperHalf(cp);
    if (!table && !isDoubleByte(cp))
        return appendCode(out, code, s.caps);
    const int high = hexValue(code[0]);
    const int low = hexValue(code[1]);
    if (high < 0 || low < 0)
        throw ConversionError("Invalid character code \"\\'" + std::string(code) + "\"");
    const auto byte = static_cast<unsigned char>(high * 16 + low);
    if (table) {
        const char32_t c = byte < 0x80 ? char32_t(byte) : table[byte - 0x80];
        return appendCharacter(out, c ? c : 0xFFFD, s.caps);
    }
    if (m_leadByte >= 0)
        return trailByte(out, byte, s.caps);
    if (isLeadByte(cp, byte)) {
        // Written with the trail byte, which comes as a code or as a letter.
        m_leadByte = byte;
        m_leadCodePage = cp;
        return;
    }
    const char32_t c = byte < 0x80 ? char32_t(byte) : decodeDoubleByte(cp, byte, -1);
    if (c == 0)
        return appendCode(out, code, s.caps); // no converter: the byte as it is
    appendCharacter(out, c, s.caps);
}

void HtmlWriter::trailByte(std::string &out, unsigned char byte, bool caps)
{
    const auto lead = static_cast<unsigned char>(m_leadByte);
    m_leadByte = -1;
    const char32_t c = decodeDoubleByte(m_leadCodePage, lead, byte);
    if (c == 0) {
        out.push_back(char(lead));
        out.push_back(char(byte));
        return;
    }
    appendCharacter(out, c, caps);
}

// A lead byte that no trail byte followed shows as a replacement character.
void HtmlWriter::flushLeadByte(std::string &out)
{
    if (m_leadByte < 0)
        return;
    m_leadByte = -1;
    out.append("&#65533;");
}

void HtmlWriter::token(std::string &out, std::string_view name, const CharState &state)
{
    if (!state.hidden)
        emitToken(out, name, state);
}

void HtmlWriter::setFlag(bool &flag, bool on)
{
    if (flag != on) {
        flag = on;
        reopenPending = true;
    }
}

void HtmlWriter::setNumber(int &value, int to)
{
    if (value != to) {
        value = to;
        reopenPending = true;
    }
}

void HtmlWriter::paragraphReset(std::string &out, CharState &s)
{
    s.reset(CharState::Reset::Paragraph);
    numberLabel.clear();
    tocParagraph = false;
    indentTotal = 0;
    indentOpen = true;
    bulletList = numberStyleSeen = numberedList = false;
    numberCounter = -1;
    closeLists(out);
}

void HtmlWriter::paragraphEnd(std::string &out)
{
    appendCloseAllTags(out);
    // Only the alignment tag that was written is closed: a paragraph without
    // text, or one whose alignment changed after its text began, wrote
    // another one or none.
    out.append(closeAlignment());
    reopenPending = tocLinkPending = paragraphStart = true;
    if (inListItem) {
        // An empty item still shows its bullet.
        openPendingItem(out);
        closeItem(out);
        itemPending = true;
    } else {
        out.append("<BR>");
        if (numberCounter >= 0) {
            ++numberCounter;
            numberLabel = textBefore + std::to_string(numberCounter) + textAfter;
        }
        bookmarkParagraph = false;
    }
}

void HtmlWriter::leftIndent(std::string &out, int twips)
{
    if (!indentOpen)
        return;
    indentTotal += twips;
    indentOpen = false;
    // Bullet lists waiting for their first text count as open: they will be
    // written after these lists, inside them.
    int opened = 0;
    while (listDepth + pendingBullets + opened <= 20
           && indentThresholds[std::size_t(listDepth + pendingBullets + opened)] < indentTotal)
        ++opened;
    if (opened == 0)
        return;
    closeInline(out);
    listDepth += opened;
    if (itemOpen)
        itemLists += opened; // closed before the item is
    for (int i = 0; i < opened; ++i)
        out.append("<UL>");
}

std::string HtmlWriter::handleControlWord(std::string_view w, CharState &s)
{
    std::string out;
    handleControlWord(out, w, s, wordId(w));
    return out;
}

void HtmlWriter::handleControlWord(std::string &out, std::string_view w, CharState &s, WordId id)
{
    using R = CharState::Reset;
    using W = WordId;
    if (w.empty())
        return;
    flushLeadByte(out);
    switch (id) {
    case W::Plain:
        s.reset(R::Text);
        reopenPending = true;
        return appendCloseAllTags(out);
    case W::Pard:
    case W::Sectd:
        return paragraphReset(out, s);
    case W::V:
    case W::V0:
        s.hidden = w == "v";
        return;
    case W::Caps:
    case W::Caps0:
        s.caps = w == "caps";
        return;
    case W::Tab:
        return token(out, "&tab;", s);
    case W::Qc:
        s.alignCenter = true;
        return;
    case W::Qr:
        s.alignRight = true;
        return;
    case W::Par:
    case W::Sect:
    case W::NestCell: // a cell of a table inside a table: its own line
        return paragraphEnd(out);
    case W::Line:
        out.append("<BR>");
        return;
    case W::Page:
        out.append("<BR><HR><BR>");
        return;
    case W::Emdash:
        return token(out, "&emdash;", s);
    case W::Endash:
        return token(out, "&endash;", s);
    case W::Emspace:
        return token(out, "&emspace;", s);
    case W::Enspace:
        return token(out, "&enspace;", s);
    case W::Lquote:
    case W::Rquote:
        return token(out, "&quote;", s);
    case W::Ldblquote:
    case W::Rdblquote:
        return token(out, "&dblquote;", s);
    case W::B:
    case W::B0:
        setFlag(s.bold, w == "b");
        return;
    case W::I:
    case W::I0:
        setFlag(s.italic, w == "i");
        return;
    case W::Ul:
    case W::UlOff:
        setFlag(s.underline, w != "ulnone" && w != "ul0");
        return;
    case W::Super:
        setFlag(s.superscript, true);
        return;
    case W::Sub:
        setFlag(s.subscript, true);
        return;
    case W::NoSuperSub:
        setFlag(s.superscript, false);
        setFlag(s.subscript, false);
        return;
    case W::Strike:
    case W::StrikeOff:
        setFlag(s.strike, w == "strike" || w == "strikedl");
        return;
    default:
        break;
    }
    // Words known by their beginning, in this order.
    if (startsWith(w, "up")) {
        setFlag(s.superscript, true);
        return;
    }
    if (startsWith(w, "dn")) {
        setFlag(s.subscript, true);
        return;
    }
    if (startsWith(w, "li")) {
        if (w.size() > 2 && isDigit(w[2]))
            leftIndent(out, toInt(w.substr(2)));
        return;
    }
    if (startsWith(w, "fi")) {
        if (w.size() > 2 && (isDigit(w[2]) || w[2] == '-') && indentOpen)
            indentTotal += toInt(w.substr(2));
        return;
    }
    const auto numberAt = [&](std::size_t i) {
        return w.size() > i && (isDigit(w[i]) || w[i] == '-');
    };
    if (startsWith(w, "ansicpg") && numberAt(7)) {
        ansiCodePage = toInt(w.substr(7));
        m_codeFont = -2;
        return;
    }
    if (w[0] == 'f' && w.size() > 1 && isDigit(w[1])) {
        s.codeFont = toInt(w.substr(1));
        if (!m_options->noFonts)
            setNumber(s.fontNumber, toInt(w.substr(1)));
        return;
    }
    if (startsWith(w, "fs") && numberAt(2)) {
        setNumber(s.fontSize, toInt(w.substr(2)) / 2);
        return;
    }
    if (startsWith(w, "cf") && numberAt(2)) {
        setNumber(s.color, m_tables->colorFor(toInt(w.substr(2))));
        return;
    }
    return;
}

} // namespace html
