#include "richtext/rtftokenizer.h"

namespace richtext::rtf {

namespace {

inline bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

inline bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

inline bool isStructural(char c)
{
    return c == '\\' || c == '{' || c == '}';
}

} // namespace

Tokenizer::Tokenizer(QByteArrayView data)
    : m_begin(data.data()), m_p(data.data()), m_end(data.data() + data.size())
{
}

Token Tokenizer::next()
{
    Token t;
    for (;;) {
        if (m_p >= m_end)
            return t;
        const char c = *m_p;
        switch (c) {
        case '{':
            ++m_p;
            t.type = Token::GroupStart;
            return t;
        case '}':
            ++m_p;
            t.type = Token::GroupEnd;
            return t;
        case '\r':
        case '\n':
            ++m_p; // line ends in RTF source carry no meaning
            continue;
        case '\\':
            if (m_end - m_p < 2) {
                m_p = m_end;
                return t;
            }
            if (isLetter(m_p[1]))
                return controlWord();
            if (m_p[1] == '\'') {
                // \'hh. The two characters after the quote belong to the escape
                // even when they are not hex digits (so that a \uc skip count
                // stays in step), unless one of them is structural.
                m_p += 2;
                int value = 0;
                bool valid = true;
                for (int i = 0; i < 2; ++i) {
                    if (m_p >= m_end || isStructural(*m_p) || *m_p == '\r' || *m_p == '\n') {
                        valid = false;
                        break;
                    }
                    const int h = hexValue(*m_p++);
                    if (h < 0)
                        valid = false;
                    value = value * 16 + (h < 0 ? 0 : h);
                }
                t.type = Token::HexByte;
                t.param = valid ? value : -1;
                return t;
            }
            t.type = Token::ControlSymbol;
            t.param = static_cast<unsigned char>(m_p[1]);
            // "\<CR>" or "\<LF>" is the same as \par; a CR LF pair is one.
            if (m_p[1] == '\r' && m_end - m_p > 2 && m_p[2] == '\n') {
                t.param = '\n';
                m_p += 3;
            } else {
                if (m_p[1] == '\r')
                    t.param = '\n';
                m_p += 2;
            }
            return t;
        default: {
            const char *start = m_p;
            while (m_p < m_end) {
                const char d = *m_p;
                if (d == '\\' || d == '{' || d == '}' || d == '\r' || d == '\n')
                    break;
                ++m_p;
            }
            t.type = Token::Text;
            t.word = std::string_view(start, m_p - start);
            return t;
        }
        }
    }
}

Token Tokenizer::controlWord()
{
    Token t;
    t.type = Token::ControlWord;
    const char *start = ++m_p; // past the backslash
    while (m_p < m_end && isLetter(*m_p))
        ++m_p;
    t.word = std::string_view(start, m_p - start);
    if (m_p < m_end && (isDigit(*m_p) || (*m_p == '-' && m_end - m_p > 1 && isDigit(m_p[1])))) {
        const bool negative = *m_p == '-';
        if (negative)
            ++m_p;
        long long value = 0;
        while (m_p < m_end && isDigit(*m_p)) {
            if (value < MaxParam)
                value = value * 10 + (*m_p - '0');
            ++m_p;
        }
        if (value > MaxParam)
            value = MaxParam;
        t.hasParam = true;
        t.param = static_cast<int>(negative ? -value : value);
    }
    if (m_p < m_end && *m_p == ' ')
        ++m_p; // the delimiting space belongs to the control word

    if (t.word == "bin") {
        // The bytes after \binN are data, whatever they contain.
        const qsizetype left = m_end - m_p;
        const qsizetype n = t.hasParam && t.param > 0 ? qMin<qsizetype>(t.param, left) : 0;
        t.type = Token::Binary;
        t.word = std::string_view(m_p, n);
        m_p += n;
    }
    return t;
}

bool Tokenizer::skipGroup()
{
    int depth = 1;
    while (m_p < m_end) {
        const char c = *m_p;
        if (c == '{') {
            ++depth;
            ++m_p;
        } else if (c == '}') {
            ++m_p;
            if (--depth == 0)
                return true;
        } else if (c == '\\') {
            if (m_end - m_p >= 4 && m_p[1] == 'b' && m_p[2] == 'i' && m_p[3] == 'n') {
                const Token t = controlWord(); // skips the \bin data too
                Q_UNUSED(t);
            } else if (m_end - m_p >= 2) {
                m_p += 2; // an escaped brace or backslash never counts
            } else {
                break;
            }
        } else {
            ++m_p;
        }
    }
    m_p = m_end;
    return false;
}

int Tokenizer::takeTrailByte()
{
    if (m_p >= m_end)
        return -1;
    if (*m_p == '\\' && m_end - m_p > 1 && m_p[1] == '\'')
        return -1;
    if (*m_p == '\r' || *m_p == '\n')
        return -1;
    return static_cast<unsigned char>(*m_p++);
}

} // namespace richtext::rtf
