#pragma once

// The placeholders a header or footer template may contain, and what each
// one stands for on the page being decorated.

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace print {

struct PlaceholderValues
{
    unsigned page = 1;
    unsigned line = 0;
    QString title;
    // The moment the page is decorated; an invalid one means "now".
    QDateTime now;
    QLocale locale;
};

// Replaces "{$LINE}", "{$PAGE}", "{$DATE}", "{$TIME}" and "{$TITLE}", in that
// order, each everywhere in `text` (case-sensitive). Text a replacement
// inserts is never scanned again for the same placeholder, so expansion
// always terminates; a placeholder whose replacement contains the
// placeholder itself is left as it stands.
QString expandPlaceholders(const QString &text, const PlaceholderValues &values);

// The locale's long time format without the time-zone name Qt adds to it:
// a header shows the wall clock, as "hh:mm:ss" or "h:mm:ss AP".
QString longTimeText(const QTime &time, const QLocale &locale);

} // namespace print
