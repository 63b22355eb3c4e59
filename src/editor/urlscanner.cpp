#include "editor/urlscanner.h"

namespace urlscan {

bool isUrlChar(QChar ch)
{
    const char16_t c = ch.unicode();
    return (c >= 46 && c <= 58) || (c >= 64 && c <= 90) || c == 92 || (c >= 97 && c <= 122);
}

int matchWord(QStringView word, const UrlTypeList &types)
{
    for (qsizetype i = 1; i < types.size(); ++i) {
        const QString &name = types.at(i).name;
        if (word.size() > name.size() + 1 && word.at(name.size()) == u':'
            && word.first(name.size()).compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    if (types.isEmpty())
        return -1;
    const qsizetype at = word.indexOf(u'@');
    if (at <= 0 || at == word.size() - 1)
        return -1;
    // An address without a dot after the "@" ("user@localhost") is still
    // one; a domain that starts with a dot is not.
    return word.at(at + 1) == u'.' ? -1 : 0;
}

QList<Link> scan(QStringView text, const UrlTypeList &types)
{
    QList<Link> links;
    const qsizetype n = text.size();
    qsizetype pos = 0;
    while (pos < n) {
        while (pos < n && !isUrlChar(text.at(pos)))
            ++pos;
        const qsizetype start = pos;
        while (pos < n && isUrlChar(text.at(pos)))
            ++pos;
        if (pos == start)
            break;
        const int type = matchWord(text.sliced(start, pos - start), types);
        if (type >= 0)
            links.append(Link{int(start), int(pos - start), type});
    }
    return links;
}

TextRange widenToWords(QStringView text, TextRange range)
{
    const int n = int(text.size());
    int start = qBound(0, qMin(range.from, range.to), n);
    int end = qBound(0, qMax(range.from, range.to), n);
    while (start > 0 && isUrlChar(text.at(start - 1)))
        --start;
    while (end < n && isUrlChar(text.at(end)))
        ++end;
    return TextRange{start, end};
}

int typeOfLinkText(QStringView linkText, const UrlTypeList &types)
{
    const qsizetype colon = linkText.indexOf(u':');
    if (colon >= 1) {
        const QString scheme = linkText.first(colon).toString().toLower();
        for (qsizetype i = 1; i < types.size(); ++i) {
            if (types.at(i).name == scheme)
                return int(i);
        }
        // A scheme that no entry names has no type; the caller shows the
        // editor's link cursor for it.
        return -1;
    }
    const qsizetype at = linkText.indexOf(u'@');
    if (at >= 1 && !types.isEmpty())
        return 0;
    return -1;
}

} // namespace urlscan
