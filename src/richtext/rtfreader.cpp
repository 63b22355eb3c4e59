#include "richtext/rtfreader.h"

#include "richtext/codepage.h"

namespace richtext::rtf {

namespace {

constexpr int SymbolCodePage = 42;

// Characters that QTextDocument gives a meaning of its own (block and frame
// separators, object placeholders) or that no editor shows.
inline bool needsCleaning(char16_t c)
{
    return c < 0x20 || c == 0x2029 || c == 0xFDD0 || c == 0xFDD1 || c == 0xFFFC;
}

} // namespace

Reader::Reader(Sink &sink, DocumentTables &tables, const ReaderOptions &options)
    : m_sink(sink), m_options(options), m_tables(tables)
{
    m_tables.codePage = options.defaultCodePage > 0 ? options.defaultCodePage : 1252;
    m_rowDefs.resize(MaxTableLevel + 1);
}

void Reader::read(QByteArrayView data)
{
    m_tokenizer = Tokenizer(data);
    m_data = data;
    m_stack.clear();
    m_stack.emplace_back(); // the state outside the document group
    m_stack.reserve(64);
    m_done = false;

    while (!m_done) {
        const Token t = m_tokenizer.next();
        switch (t.type) {
        case Token::End:
            m_done = true;
            break;
        case Token::GroupStart:
            flushBytes();
            m_skip = 0;
            m_star = false;
            groupStart();
            break;
        case Token::GroupEnd:
            flushBytes();
            m_skip = 0;
            m_star = false;
            groupEnd();
            break;
        case Token::ControlWord:
            if (m_skip > 0) {
                --m_skip;
                break;
            }
            flushBytes();
            controlWord(t);
            m_star = false;
            break;
        case Token::ControlSymbol:
            if (m_skip > 0) {
                --m_skip;
                break;
            }
            if (t.param != '*')
                m_star = false;
            if (t.param == '\\' || t.param == '{' || t.param == '}') {
                textBytes(std::string_view(reinterpret_cast<const char *>(&t.param), 1));
                break;
            }
            flushBytes();
            controlSymbol(char(t.param));
            break;
        case Token::HexByte:
            m_star = false;
            if (m_skip > 0) {
                --m_skip;
                break;
            }
            hexByte(t.param);
            break;
        case Token::Text: {
            m_star = false;
            std::string_view bytes = t.word;
            if (m_skip > 0) {
                const size_t n = std::min<size_t>(size_t(m_skip), bytes.size());
                m_skip -= int(n);
                bytes.remove_prefix(n);
            }
            if (!bytes.empty())
                textBytes(bytes);
            break;
        }
        case Token::Binary:
            m_star = false;
            if (m_skip > 0) {
                --m_skip;
                break;
            }
            flushBytes();
            if (m_stack.back().dest == Dest::Pict)
                m_pict.data.append(t.word.data(), qsizetype(t.word.size()));
            else if (m_stack.back().dest == Dest::ObjData && m_stack.back().object >= 0)
                m_objects[size_t(m_stack.back().object)].data.append(t.word.data(),
                                                                     qsizetype(t.word.size()));
            break;
        }
    }
    finish();
}

void Reader::groupStart()
{
    m_groupStart = m_tokenizer.position() - 1;
    if (m_afterDocument && m_tokenizer.lookingAt("\\rtf")) {
        m_done = true;
        return;
    }
    if (m_overflow > 0 || int(m_stack.size()) > MaxGroupDepth) {
        ++m_overflow;
        return;
    }
    const Group &parent = m_stack.back();
    if (parent.dest == Dest::Pict) {
        // Nothing inside a picture but its own keywords and data is read.
        m_tokenizer.skipGroup();
        return;
    }
    Group g = parent;
    g.objectStart = false;
    switch (parent.dest) {
    case Dest::FontTable:
        g.dest = Dest::FontEntry;
        break;
    case Dest::FontEntry:
    case Dest::FontPart:
        // {\*\falt ...}, {\*\panose ...} and the like inside an entry: the
        // entry goes on around them, and their text is not part of its name.
        g.dest = Dest::FontPart;
        break;
    case Dest::StyleSheet:
        g.dest = Dest::StyleEntry;
        break;
    case Dest::Upr:
        g.dest = Dest::UprChild;
        break;
    default:
        break;
    }
    // `parent` refers into the stack: read what is needed of it before the
    // push may move the stack's storage.
    const Dest parentDest = parent.dest;
    m_stack.push_back(g);
    if (g.dest == Dest::FontEntry && parentDest == Dest::FontTable) {
        m_font = FontDef();
        m_fontIndex = -1;
        m_fontOpen = false;
    } else if (g.dest == Dest::StyleEntry && parentDest == Dest::StyleSheet) {
        m_style = StyleDef();
        m_styleIndex = 0;
        m_styleCharacter = false;
    }
}

void Reader::groupEnd()
{
    if (m_overflow > 0) {
        --m_overflow;
        return;
    }
    if (m_stack.size() <= 1) {
        m_done = true; // a closing brace with no group open: stop here
        return;
    }
    const Group closed = m_stack.back();
    if (m_stack.size() == 2) {
        // The document group closes. Writers sometimes close it too early
        // (one brace too many in the middle), so text after it is still
        // read, in the document group's state; another document ("{\rtf")
        // ends the reading.
        m_finalPar = closed.par;
        m_finalChr = closed.chr;
        m_afterDocument = true;
        if (closed.dest != Dest::Body) {
            m_stack.back().dest = Dest::Body;
            endDestination(closed);
        }
        return;
    }
    m_stack.pop_back();
    const Group &parent = m_stack.back();
    if (closed.dest != parent.dest || closed.objectStart)
        endDestination(closed);
    if (closed.field >= 0 && m_stack.back().field != closed.field)
        endField(closed);
}

void Reader::skipCurrentGroup()
{
    flushBytes();
    m_star = false;
    const bool closed = m_tokenizer.skipGroup();
    if (m_overflow > 0) {
        --m_overflow;
    } else if (m_stack.size() == 2) {
        // The document group itself (see groupEnd()).
        m_finalPar = m_stack.back().par;
        m_finalChr = m_stack.back().chr;
        m_stack.back().dest = Dest::Body;
        m_afterDocument = true;
    } else if (m_stack.size() > 2) {
        // The group's state goes without ending a destination: nothing in
        // it was read.
        m_stack.pop_back();
    }
    if (!closed)
        m_done = true; // the data ends inside the skipped group
}

bool Reader::opensBodyGroup(std::string_view word) const
{
    const Group &g = m_stack.back();
    if (m_stack.size() < 3 || g.dest != Dest::Body || g.field >= 0 || g.object >= 0)
        return false;
    const qsizetype start = m_groupStart;
    const qsizetype wordStart = word.data() - m_data.data() - 1; // its backslash
    if (start < 0 || wordStart <= start || wordStart >= m_data.size() || m_data[start] != '{')
        return false;
    for (qsizetype i = start + 1; i < wordStart; ++i) {
        const char c = m_data[i];
        if (c == '\\' && i + 1 < wordStart && m_data[i + 1] == '*')
            ++i;
        else if (c != ' ' && c != '\r' && c != '\n' && c != '\t')
            return false;
    }
    return true;
}

int Reader::currentCodePage() const
{
    const Group &g = m_stack.back();
    if (g.dest == Dest::FontEntry || g.dest == Dest::FontTable || g.dest == Dest::FontAlt) {
        if (!m_options.plainRtf && m_font.codePage > 0)
            return m_font.codePage;
        return m_tables.codePage;
    }
    if (m_options.plainRtf)
        return m_tables.codePage;
    const auto codePageOf = [this](int index) {
        const FontDef *font = m_tables.font(index);
        return font && font->codePage > 0 ? font->codePage : 0;
    };
    if (g.chr.has(CharState::DoubleByte)) {
        // Word writes "\loch\af1\hich\af1\dbch\f2": after \dbch the run's
        // own font may be the double-byte one and the associated font a
        // Western one, or the other way round. Double-byte text is read
        // with whichever of the two has a double-byte code page.
        for (const int index : {g.chr.afont, g.chr.font}) {
            const int codePage = index >= 0 ? codePageOf(index) : 0;
            if (codepage::isDoubleByte(codePage))
                return codePage;
        }
    }
    const int index = g.chr.has(CharState::DoubleByte) && g.chr.afont >= 0 ? g.chr.afont
                                                                          : g.chr.font;
    const int codePage = codePageOf(index);
    return codePage > 0 ? codePage : m_tables.codePage;
}

int Reader::tableLevel() const
{
    const ParState &par = m_stack.back().par;
    if (par.itap > 0)
        return std::min(par.itap, MaxTableLevel);
    return par.has(ParState::InTable) || m_rowOpen ? 1 : 0;
}

void Reader::textBytes(std::string_view bytes)
{
    switch (m_stack.back().dest) {
    case Dest::Pict:
        hexBytes(bytes, m_pict.data);
        return;
    case Dest::ObjData:
        if (m_stack.back().object >= 0)
            hexBytes(bytes, m_objects[size_t(m_stack.back().object)].data);
        return;
    case Dest::ColorTable:
        for (char c : bytes) {
            if (c == ';')
                commitColor();
        }
        return;
    case Dest::Body:
    case Dest::FontTable:
    case Dest::FontEntry:
    case Dest::FontAlt:
    case Dest::LevelText:
    case Dest::PnText:
    case Dest::FieldInst:
    case Dest::ObjClass:
    case Dest::ObjName:
        break;
    default:
        return; // style names, list names and the like are not needed
    }

    const int codePage = currentCodePage();
    if (!codepage::isDoubleByte(codePage)) {
        m_bytes.append(bytes.data(), qsizetype(bytes.size()));
        return;
    }
    for (char c : bytes)
        appendByte(static_cast<unsigned char>(c));
    if (m_leadPending) {
        // A lead byte written raw takes the next byte as its trail, even a
        // backslash or a brace.
        const int trail = m_tokenizer.takeTrailByte();
        if (trail >= 0)
            appendByte(static_cast<unsigned char>(trail));
    }
}

void Reader::appendByte(unsigned char byte)
{
    m_bytes.append(char(byte));
    if (m_leadPending)
        m_leadPending = false;
    else if (byte >= 0x80 && codepage::isLeadByte(currentCodePage(), byte))
        m_leadPending = true;
}

void Reader::hexByte(int value)
{
    const Dest dest = m_stack.back().dest;
    if (value < 0)
        return; // a broken escape stands for nothing
    if (dest == Dest::LevelText) {
        // List level text: bytes below 9 are number placeholders and the
        // first byte a length; they must not go through a code page.
        flushBytes();
        deliverChar(char16_t(value));
        return;
    }
    if (dest == Dest::ColorTable || dest == Dest::Pict || dest == Dest::ObjData) {
        const char c = char(value);
        if (dest == Dest::ColorTable && c == ';')
            commitColor();
        return;
    }
    const int codePage = currentCodePage();
    if (codepage::isDoubleByte(codePage))
        appendByte(static_cast<unsigned char>(value));
    else
        m_bytes.append(char(value));
}

void Reader::flushBytes()
{
    if (m_bytes.isEmpty())
        return;
    m_leadPending = false;
    const int codePage = currentCodePage();
    bool ascii = true;
    for (char c : std::as_const(m_bytes)) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii || codePage == SymbolCodePage || m_stack.back().dest == Dest::LevelText)
        m_decoded = QString::fromLatin1(m_bytes);
    else
        m_decoded = codepage::toUnicode(m_bytes, codePage);
    m_bytes.resize(0);
    deliver(m_decoded);
}

void Reader::deliver(QStringView text)
{
    Group &g = m_stack.back();
    switch (g.dest) {
    case Dest::Body:
        bodyText(text);
        break;
    case Dest::FontTable:
    case Dest::FontEntry:
        for (QChar c : text) {
            if (c == u';')
                commitFont();
            else if (m_font.name.size() < 256)
                m_font.name.append(c);
        }
        break;
    case Dest::FontAlt:
        for (QChar c : text) {
            if (c != u';' && m_font.alt.size() < 256)
                m_font.alt.append(c);
        }
        break;
    case Dest::LevelText:
        if (m_levelText.size() < 256)
            m_levelText.append(text);
        break;
    case Dest::PnText: {
        QString &target = m_pnTextAfter ? m_pn.suffix : m_pn.prefix;
        if (target.size() < 64)
            target.append(text);
        break;
    }
    case Dest::FieldInst:
        if (g.field >= 0 && m_fields[size_t(g.field)].instruction.size() < 4096)
            m_fields[size_t(g.field)].instruction.append(text);
        break;
    case Dest::ObjClass:
    case Dest::ObjName:
        if (g.object >= 0) {
            ObjectInfo &object = m_objects[size_t(g.object)];
            if (g.dest == Dest::ObjName && object.name.size() < 1024)
                object.name.append(text);
        }
        break;
    default:
        break;
    }
}

void Reader::bodyText(QStringView text)
{
    bodyText(text, m_stack.back().chr);
}

void Reader::bodyText(QStringView text, const CharState &chr)
{
    m_shown += text.size();
    if (!m_run.isEmpty() && !(m_runState == chr))
        flushRun();
    m_runState = chr;

    bool clean = true;
    for (QChar c : text) {
        if (needsCleaning(c.unicode())) {
            clean = false;
            break;
        }
    }
    if (clean) {
        m_run.append(text);
        return;
    }
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (!needsCleaning(u)) {
            m_run.append(c);
        } else if (u == '\t') {
            m_run.append(c);
        } else if (u == 0x0C) {
            pageBreak();
            m_runState = chr;
        } else if (u == '\n' || u == '\r' || u == 0x0B || u == 0x2029) {
            m_run.append(QChar(0x2028));
        } else if (u >= 0xFDD0) {
            m_run.append(QChar(0xFFFD));
        }
        // Other control characters are dropped.
    }
}

void Reader::flushRun()
{
    if (m_run.isEmpty())
        return;
    m_sink.text(m_run, m_runState);
    m_run.resize(0);
}

void Reader::finish()
{
    flushBytes();
    flushRun();
    if (m_stack.size() > 1) {
        // The data ended inside the document: the innermost body state
        // holds the last paragraph's formatting.
        m_finalPar = m_stack.back().par;
        m_finalChr = m_stack.back().chr;
    }
    const int level = m_finalPar.itap > 0 ? std::min(m_finalPar.itap, MaxTableLevel)
                      : m_finalPar.has(ParState::InTable) || m_rowOpen ? 1
                                                                        : 0;
    m_sink.finish(m_finalPar, m_finalChr, level);
}

} // namespace richtext::rtf
