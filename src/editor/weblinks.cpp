#include "editor/weblinks.h"

#include <QRegularExpression>

namespace weblinks {

namespace {

// A run that starts like an address and goes on up to white space or a
// character that never stands in one; or an e-mail address whose domain has
// a dot. The look-behinds keep a match from starting inside a word.
const QRegularExpression &pattern()
{
    static const QRegularExpression re(
        QStringLiteral(R"((?<![\w@.\-/])((?:(?:https?|ftps?|sftp|file|smb|ssh|git|irc|telnet|gopher|wais|nntp|prospero)://|(?:mailto|news):|www\.)[^\s<>"`{}|\\^]+))"
                       R"(|(?<![\w.%+\-])([\w.%+\-]+@[\w\-]+(?:\.[\w\-]+)+))"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
    return re;
}

// Drops what ends a sentence around an address: trailing ".,;:!?'" and
// closing brackets without an opening one inside the address.
qsizetype trimmedLength(QStringView url)
{
    qsizetype n = url.size();
    while (n > 0) {
        const QChar c = url.at(n - 1);
        if (QStringView(u".,;:!?'*").contains(c)) {
            --n;
            continue;
        }
        const char16_t close = c.unicode();
        const char16_t open = close == u')' ? u'(' : close == u']' ? u'[' : 0;
        if (open && url.first(n).count(QChar(open)) < url.first(n).count(QChar(close))) {
            --n;
            continue;
        }
        break;
    }
    return n;
}

qsizetype prefixLength(QStringView url)
{
    const qsizetype slashes = url.indexOf(u"://");
    if (slashes > 0)
        return slashes + 3;
    if (url.startsWith(u"www.", Qt::CaseInsensitive))
        return 4;
    return url.indexOf(u':') + 1;
}

bool hasTopLevelDomain(QStringView domain)
{
    const QStringView tld = domain.sliced(domain.lastIndexOf(u'.') + 1);
    if (tld.size() < 2)
        return false;
    for (const QChar c : tld) {
        if (!c.isLetter())
            return false;
    }
    return true;
}

} // namespace

QList<Link> find(QStringView text)
{
    QList<Link> links;
    auto it = pattern().globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        if (m.capturedLength(1) > 0) {
            const QStringView url = m.capturedView(1);
            const qsizetype n = trimmedLength(url);
            const qsizetype prefix = prefixLength(url);
            // Something must follow the scheme; a "www." address needs a
            // domain with a dot after it.
            if (n <= prefix)
                continue;
            const QStringView kept = url.first(n);
            if (kept.startsWith(u"www.", Qt::CaseInsensitive) && !kept.sliced(4).contains(u'.'))
                continue;
            QString target = kept.toString();
            if (kept.startsWith(u"www.", Qt::CaseInsensitive))
                target.prepend(QLatin1String("http://"));
            links.append(Link{int(m.capturedStart(1)), int(n), target});
        } else {
            const QStringView address = m.capturedView(2);
            const QStringView domain = address.sliced(address.indexOf(u'@') + 1);
            if (address.startsWith(u'.') || !hasTopLevelDomain(domain))
                continue;
            links.append(Link{int(m.capturedStart(2)), int(address.size()),
                              QLatin1String("mailto:") + address.toString()});
        }
    }
    return links;
}

} // namespace weblinks
