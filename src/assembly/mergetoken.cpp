#include "assembly/mergetoken.h"

#include "assembly/mergetext.h"

#include <algorithm>

namespace assembly {

namespace {

    auto peekInto(QByteArrayView text, qsizetype at)
    {
        return [text, at](qsizetype k) -> int {
            const qsizetype i = at + k;
            return i < text.size() ? static_cast<unsigned char>(text[i]) : -1;
        };
    }

} // namespace

qsizetype findToken(QByteArrayView text)
{
    const qsizetype at = text.indexOf('@');
    if (at < 0 || at + 1 >= text.size() || !isDigit(text[at + 1]))
        return -1;
    return at;
}

QByteArray extractToken(QByteArrayView text, qsizetype at)
{
    const TokenShape shape = scanToken(peekInto(text, at));
    QByteArray token = text.sliced(at, 1 + shape.digits).toByteArray();
    if (shape.extra)
        token.append(text[at + shape.extraOffset]);
    return token;
}

TokenIndex tokenLineIndex(QByteArrayView token)
{
    TokenIndex result;
    // At most 99 characters after the '@' are read, as the number conversion
    // has always done.
    // A token that took the extra character is never a number, however many
    // digits come before it.
    if (token.size() < 2 || !isDigit(token.back()))
        return result;
    const QByteArrayView number = token.sliced(1, std::min<qsizetype>(token.size() - 1, 99));
    qint64 n = 0;
    for (const char c : number) {
        if (!isDigit(c))
            return result;
        n = n * 10 + (c - '0');
        if (n > 2147483647)
            return result;
    }
    result.entry = n;
    if (n == 0) {
        result.status = TokenIndex::Status::Zero;
        return result;
    }
    if (n >= 1073741824) {
        result.status = TokenIndex::Status::Overflow;
        return result;
    }
    result.status = TokenIndex::Status::Ok;
    result.lineIndex = 2 * n - 1;
    return result;
}

QByteArray replaceToken(QByteArray text, QByteArrayView token, QByteArrayView value, bool overwrite,
    const TextRules &rules)
{
    const qsizetype p = text.indexOf(token);
    if (p < 0)
        return text;
    if (!overwrite) {
        text.remove(p, token.size());
        text.insert(p, value);
        return text;
    }
    const qint64 length = textLength(value, rules);
    QByteArray padded = value.toByteArray();
    qsizetype replaced = token.size();
    if (length < token.size())
        padded.append(token.size() - length, ' ');
    else
        replaced += overwritableLength(
            QByteArrayView(text).sliced(p + token.size()), length - token.size(), rules);
    text.replace(p, replaced, padded);
    return text;
}

} // namespace assembly
