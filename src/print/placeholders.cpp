#include "print/placeholders.h"

namespace print {

QString longTimeText(const QTime &time, const QLocale &locale)
{
    // Drop every unquoted 't' (the zone) together with the blanks before
    // it; quoted literals pass through untouched.
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString stripped;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == u'\'')
            quoted = !quoted;
        if (!quoted && c == u't') {
            while (stripped.endsWith(u' '))
                stripped.chop(1);
            continue;
        }
        stripped += c;
    }
    return locale.toString(time, stripped.trimmed());
}

QString expandPlaceholders(const QString &text, const PlaceholderValues &values)
{
    if (!text.contains(QLatin1String("{$")))
        return text;

    const QDateTime now = values.now.isValid() ? values.now : QDateTime::currentDateTime();
    const struct
    {
        QLatin1String name;
        QString value;
    } placeholders[] = {
        {QLatin1String("{$LINE}"), QString::number(values.line)},
        {QLatin1String("{$PAGE}"), QString::number(values.page)},
        {QLatin1String("{$DATE}"), values.locale.toString(now.date(), QLocale::ShortFormat)},
        {QLatin1String("{$TIME}"), longTimeText(now.time(), values.locale)},
        {QLatin1String("{$TITLE}"), values.title},
    };

    // QString::replace continues after each inserted replacement, so one
    // pass per placeholder can never loop, whatever the replacement and
    // its neighbours spell together.
    QString result = text;
    for (const auto &placeholder : placeholders) {
        if (placeholder.value.contains(placeholder.name))
            continue;
        result.replace(placeholder.name, placeholder.value);
    }
    return result;
}

} // namespace print
