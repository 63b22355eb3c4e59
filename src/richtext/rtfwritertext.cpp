#include "richtext/rtfwritertext.h"

#include "richtext/codepage.h"
#include "richtext/rtfwriteroutput.h"

namespace richtext {

namespace {

constexpr char hexDigits[] = "0123456789abcdef";

void appendHexByte(RtfWriterOutput &out, unsigned char byte)
{
    const char escape[4] = {'\\', '\'', hexDigits[byte >> 4], hexDigits[byte & 15]};
    out.symbol(QByteArrayView(escape, 4));
}

void appendUnicode(RtfWriterOutput &out, char16_t ch)
{
    // \u takes a signed 16-bit value; "?" is the one fallback byte that \uc1
    // announces, for readers that do not know \u.
    out.word("u", static_cast<int>(static_cast<qint16>(ch)));
    out.symbol("?");
}

} // namespace

std::vector<int> &RtfTextEncoder::tableFor(int codePage)
{
    if (codePage != m_lastCodePage || !m_lastTable) {
        auto &table = m_tables[codePage];
        if (table.empty())
            table.assign(0x10000, 0);
        m_lastCodePage = codePage;
        m_lastTable = &table;
    }
    return *m_lastTable;
}

int RtfTextEncoder::encoding(std::vector<int> &table, char16_t ch, int codePage)
{
    int &entry = table[ch];
    if (entry != 0)
        return entry;
    entry = -1;
    if (codePage == SymbolCodePage || QChar::isSurrogate(ch))
        return entry;
    const QChar qch(ch);
    if (!codepage::canEncode(qch, codePage))
        return entry;
    const QByteArray bytes = codepage::fromUnicode(QStringView(&qch, 1), codePage);
    if (bytes.size() == 1)
        entry = 0x1000000 | (1 << 16) | static_cast<unsigned char>(bytes[0]);
    else if (bytes.size() == 2)
        entry = 0x1000000 | (2 << 16) | (static_cast<unsigned char>(bytes[0]) << 8)
                | static_cast<unsigned char>(bytes[1]);
    return entry;
}

void RtfTextEncoder::append(RtfWriterOutput &out, QStringView text, int codePage)
{
    std::vector<int> *table = nullptr;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        // Plain ASCII goes out in one piece.
        qsizetype j = i;
        while (j < n) {
            const char16_t c = text[j].unicode();
            if (c < 0x20 || c >= 0x7f || c == '\\' || c == '{' || c == '}')
                break;
            ++j;
        }
        if (j > i) {
            char *dst = out.literalSpace(j - i);
            for (qsizetype k = i; k < j; ++k)
                *dst++ = static_cast<char>(text[k].unicode());
            i = j;
            if (i == n)
                break;
        }
        const char16_t c = text[i].unicode();
        ++i;
        switch (c) {
        case '\\': out.symbol("\\\\"); continue;
        case '{': out.symbol("\\{"); continue;
        case '}': out.symbol("\\}"); continue;
        case '\t': out.word("tab"); continue;
        case 0x000c: out.word("page"); continue;
        case 0x2028: out.word("line"); continue;
        default: break;
        }
        if (c < 0x20 || c == 0x7f) {
            appendHexByte(out, static_cast<unsigned char>(c));
            continue;
        }
        if (!table)
            table = &tableFor(codePage);
        const int enc = encoding(*table, c, codePage);
        if (enc < 0) {
            appendUnicode(out, c);
        } else if (((enc >> 16) & 0xff) == 1) {
            appendHexByte(out, static_cast<unsigned char>(enc & 0xff));
        } else {
            appendHexByte(out, static_cast<unsigned char>((enc >> 8) & 0xff));
            appendHexByte(out, static_cast<unsigned char>(enc & 0xff));
        }
    }
}

} // namespace richtext
