#include "widgets/tipsources.h"

#include <QFile>
#include <QSet>
#include <QSettings>

#include <algorithm>

namespace tips {

namespace {

// Name order that reads numbers as numbers, so that "Tip10" follows "Tip9".
bool naturalLess(const QString &a, const QString &b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (a.at(i).isDigit() && b.at(j).isDigit()) {
            qsizetype endA = i;
            qsizetype endB = j;
            while (endA < a.size() && a.at(endA).isDigit())
                ++endA;
            while (endB < b.size() && b.at(endB).isDigit())
                ++endB;
            // Compare digit runs without converting them, so no length of
            // number can overflow: leading zeros aside, longer is larger.
            QStringView runA = QStringView(a).mid(i, endA - i);
            QStringView runB = QStringView(b).mid(j, endB - j);
            while (runA.size() > 1 && runA.front() == u'0')
                runA = runA.mid(1);
            while (runB.size() > 1 && runB.front() == u'0')
                runB = runB.mid(1);
            if (runA.size() != runB.size())
                return runA.size() < runB.size();
            if (const int c = runA.compare(runB); c != 0)
                return c < 0;
            i = endA;
            j = endB;
            continue;
        }
        const QChar ca = a.at(i).toCaseFolded();
        const QChar cb = b.at(j).toCaseFolded();
        if (ca != cb)
            return ca < cb;
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}

QString unquoted(QStringView value)
{
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
        return value.mid(1, value.size() - 2).toString();
    return value.toString();
}

} // namespace

QStringList readFromSettings(QSettings &settings, const QString &group)
{
    settings.beginGroup(group);
    QStringList keys = settings.childKeys();
    std::sort(keys.begin(), keys.end(), naturalLess);
    QStringList tips;
    for (const QString &key : std::as_const(keys)) {
        if (tips.size() >= maxTips)
            break;
        const QVariant value = settings.value(key);
        if (value.typeId() == QMetaType::QString)
            tips.append(value.toString().left(maxTipLength));
    }
    settings.endGroup();
    return tips;
}

QStringList readFromIniSection(const QString &path, const QString &section)
{
    if (path.isEmpty() || section.isEmpty())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = file.read(maxIniFileSize);
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    const QString text = QString::fromUtf8(bytes);

    QStringList tips;
    QSet<QString> keys;
    bool inSection = false;
    bool seenSection = false;
    for (QStringView line : QStringView(text).split(u'\n')) {
        line = line.trimmed();
        if (line.startsWith(u'[')) {
            // The first section of the name is the one read, as the
            // platform's reader does.
            if (seenSection)
                break;
            const qsizetype close = line.indexOf(u']');
            const QStringView name = line.mid(1, close < 0 ? -1 : close - 1).trimmed();
            inSection = name.compare(section.trimmed(), Qt::CaseInsensitive) == 0;
            seenSection = inSection;
            continue;
        }
        if (!inSection || line.startsWith(u';'))
            continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0)
            continue;
        const QString key = line.left(equals).trimmed().toString().toLower();
        if (keys.contains(key))
            continue;
        keys.insert(key);
        tips.append(unquoted(line.mid(equals + 1).trimmed()).left(maxTipLength));
        if (tips.size() >= maxTips)
            break;
    }
    return tips;
}

} // namespace tips
