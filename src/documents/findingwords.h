#pragma once

// The words the details of findings are made of, so every finding names
// entries, tokens and counts the same way.

#include <QByteArray>
#include <QString>

namespace documents::words {

// In double quotes, cut to `longest` characters with "..." when longer.
inline QString quoted(const QString &text, qsizetype longest = 40)
{
    const QString shown
        = text.size() > longest ? text.left(longest - 3) + QStringLiteral("...") : text;
    return u'"' + shown + u'"';
}

// A token as it stands in the source; a line end it took is shown as \r or \n.
inline QString quoted(const QByteArray &token)
{
    QString shown = QString::fromLatin1(token);
    shown.replace(u'\r', QStringLiteral("\\r"));
    shown.replace(u'\n', QStringLiteral("\\n"));
    return quoted(shown);
}

// "1 token", "3 tokens".
inline QString plural(qint64 n, const QString &one, const QString &many)
{
    return QStringLiteral("%1 %2").arg(n).arg(n == 1 ? one : many);
}

// The entry as a person knows it: "entry 2 ("Town")", or "entry 2" when its
// heading is empty.
inline QString entryName(qint64 entry, const QString &heading)
{
    const QString shown = heading.trimmed();
    return shown.isEmpty() ? QStringLiteral("entry %1").arg(entry)
                           : QStringLiteral("entry %1 (%2)").arg(entry).arg(quoted(shown));
}

inline QString capitalized(const QString &sentenceStart)
{
    return sentenceStart.left(1).toUpper() + sentenceStart.mid(1);
}

} // namespace documents::words
