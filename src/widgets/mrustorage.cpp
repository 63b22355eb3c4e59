#include "widgets/mrustorage.h"

#include <QSettings>

#include <algorithm>
#include <map>

namespace mru {

namespace {

// The number of a value named "F<digits>", or -1 for any other name.
qint64 valueNumber(const QString &key)
{
    if (key.size() < 2 || key.size() > 10 || key.at(0) != u'F')
        return -1;
    bool ok = false;
    const qint64 n = QStringView(key).mid(1).toLongLong(&ok);
    // "F+1" or "F 1" would convert too; only plain digits name a value.
    const bool digits = std::all_of(key.begin() + 1, key.end(), [](QChar c) { return c.isDigit(); });
    return ok && digits ? n : -1;
}

// A value read back as text. An unquoted value with commas comes back from
// an INI file as a list; it was one name typed by hand.
QString nameOf(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::QString:
        return value.toString();
    case QMetaType::QStringList:
        return value.toStringList().join(QStringLiteral(", "));
    default:
        return {};
    }
}

} // namespace

QStringList readNames(QSettings &settings, const QString &group, int limit, Qt::CaseSensitivity cs)
{
    settings.beginGroup(group);
    std::map<qint64, QString> numbered;
    for (const QString &key : settings.childKeys()) {
        const qint64 n = valueNumber(key);
        if (n >= 0)
            numbered.emplace(n, key);
    }

    QStringList names;
    for (const auto &[number, key] : numbered) {
        if (names.size() >= limit)
            break;
        const QString name = nameOf(settings.value(key));
        if (name.isEmpty() || name.size() > maxStoredNameLength || name.contains(QChar(0)))
            continue;
        if (!names.contains(name, cs))
            names.append(name);
    }
    settings.endGroup();
    return names;
}

bool writeNames(QSettings &settings, const QString &group, const QStringList &names)
{
    settings.remove(group);
    settings.beginGroup(group);
    for (qsizetype i = 0; i < names.size(); ++i)
        settings.setValue(u'F' + QString::number(i), names.at(i));
    settings.endGroup();
    settings.sync();
    return settings.status() == QSettings::NoError;
}

} // namespace mru
