#pragma once

// Rewriting RTF bytes token by token: everything is copied as it stands
// except the tokens a caller puts other bytes in place of.

#include "richtext/rtftokenizer.h"

#include <QByteArray>
#include <QByteArrayView>

#include <algorithm>

namespace richtext::rtf {

// One token with the bytes it came from: [begin, end) holds it with its
// delimiter; a control word's name and parameter end at `paramEnd`.
struct Span
{
    Token token;
    qsizetype begin = 0;
    qsizetype paramEnd = 0;
    qsizetype end = 0;
};

// Walks the tokens of RTF bytes and lets a visitor copy them or put other
// bytes in their place.
class Rewriter
{
public:
    explicit Rewriter(QByteArrayView data) : m_data(data), m_tokens(data)
    {
        m_out.reserve(data.size() + 64);
    }

    bool next(Span &span)
    {
        const qsizetype before = m_tokens.position();
        span.token = m_tokens.next();
        if (span.token.type == Token::End)
            return false;
        span.end = m_tokens.position();
        span.begin = before;
        while (span.begin < span.end && (m_data[span.begin] == '\r' || m_data[span.begin] == '\n'))
            ++span.begin;
        span.paramEnd = span.end;
        if (span.token.type == Token::ControlWord) {
            qsizetype p = span.begin + 1 + qsizetype(span.token.word.size());
            if (p < span.end && m_data[p] == '-')
                ++p;
            while (p < span.end && m_data[p] >= '0' && m_data[p] <= '9')
                ++p;
            span.paramEnd = p;
        }
        return true;
    }

    // The bytes before `at` that are not copied yet.
    void copyTo(qsizetype at)
    {
        if (at > m_copied) {
            m_out.append(m_data.sliced(m_copied, at - m_copied));
            m_copied = at;
        }
    }
    // Puts `bytes` in place of [from, to).
    void replace(qsizetype from, qsizetype to, QByteArrayView bytes)
    {
        copyTo(from);
        m_out.append(bytes);
        m_copied = std::max(m_copied, to);
    }
    void insert(qsizetype at, QByteArrayView bytes) { replace(at, at, bytes); }

    QByteArray finish()
    {
        copyTo(m_data.size());
        return std::move(m_out);
    }

private:
    QByteArrayView m_data;
    Tokenizer m_tokens;
    QByteArray m_out;
    qsizetype m_copied = 0;
};

} // namespace richtext::rtf
