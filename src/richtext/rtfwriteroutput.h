#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QChar>

namespace richtext {

// The byte buffer an RTF writer fills. It knows one thing about RTF syntax:
// a control word is ended by a space when literal text follows it, and by
// nothing when the next thing starts with a backslash or a brace, so the
// output never carries a delimiter space that a reader would have to skip.
class RtfWriterOutput
{
public:
    explicit RtfWriterOutput(qsizetype reserve = 0) { m_bytes.reserve(reserve); }

    // "\name" or "\nameN".
    void word(const char *name)
    {
        m_bytes.append('\\');
        m_bytes.append(name);
        m_needSpace = true;
    }
    void word(const char *name, int value)
    {
        word(name);
        m_bytes.append(QByteArray::number(value));
    }

    // Control words prepared elsewhere (cached formatting strings): they
    // start with a backslash; an empty string changes nothing.
    void words(QByteArrayView controlWords)
    {
        if (controlWords.isEmpty())
            return;
        m_bytes.append(controlWords);
        m_needSpace = controlWords.back() != '}';
    }

    // Bytes that start with a backslash or a brace and end a token
    // themselves (an escape like \'e9 or \{, a group brace).
    void symbol(QByteArrayView bytes)
    {
        m_bytes.append(bytes);
        m_needSpace = false;
    }
    void open() { symbol("{"); }
    void close() { symbol("}"); }

    // The next text needs no delimiter space before it: it starts with a
    // character that ends a control word by itself (".", ")" ...).
    void noSpaceBefore(QChar next)
    {
        const char16_t c = next.unicode();
        const bool wordChar = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')
                              || (c >= '0' && c <= '9') || c == ' ' || c == '-';
        if (c < 0x80 && !wordChar)
            m_needSpace = false;
    }

    // One literal character (ASCII, not a backslash or brace).
    void literal(char c)
    {
        if (m_needSpace) {
            m_bytes.append(' ');
            m_needSpace = false;
        }
        m_bytes.append(c);
    }
    void literal(QByteArrayView text)
    {
        if (text.isEmpty())
            return;
        if (m_needSpace) {
            m_bytes.append(' ');
            m_needSpace = false;
        }
        m_bytes.append(text);
    }

    // Room for `count` literal ASCII bytes, written by the caller.
    char *literalSpace(qsizetype count)
    {
        if (m_needSpace) {
            m_bytes.append(' ');
            m_needSpace = false;
        }
        const qsizetype start = m_bytes.size();
        m_bytes.resize(start + count);
        return m_bytes.data() + start;
    }

    // A line break in the file, which RTF ignores: CR LF as a rich-edit
    // control writes it.
    void newline() { symbol("\r\n"); }

    QByteArray &bytes() { return m_bytes; }
    QByteArray take() { return std::move(m_bytes); }

private:
    QByteArray m_bytes;
    bool m_needSpace = false;
};

} // namespace richtext
