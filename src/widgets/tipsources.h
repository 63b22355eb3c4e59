#pragma once

// Where tips of the day can come from besides the list given in code: a
// group of the application's settings, or a section of an INI file written
// by hand. Both are read as untrusted text: a missing group, file or section
// gives no tips, and neither the number nor the length of tips is unbounded.

#include <QStringList>

class QSettings;

namespace tips {

inline constexpr int maxTips = 10000;
inline constexpr int maxTipLength = 10000;
// A tips file larger than this is read only up to here.
inline constexpr qint64 maxIniFileSize = 4 * 1024 * 1024;

// The text values of the group, ordered by their names with numbers compared
// as numbers ("Tip2" before "Tip10"); values of other types are skipped.
QStringList readFromSettings(QSettings &settings, const QString &group);

// The values of the section's keys in the order they stand in the file, as
// the platform's INI reader gives them: the section name in any letter case,
// the value trimmed and freed of one pair of enclosing quotes, the first of
// two keys of the same name, lines starting with ";" left out. The file is
// read as UTF-8.
QStringList readFromIniSection(const QString &path, const QString &section);

} // namespace tips
