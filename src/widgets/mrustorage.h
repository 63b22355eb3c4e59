#pragma once

// Reading and writing a recent-files list in a settings store: the names
// are the values F0, F1, ... of one group, F0 the top of the list.

#include <QStringList>

class QSettings;

namespace mru {

// No path on any system we run on is longer; a longer value is junk.
inline constexpr int maxStoredNameLength = 4096;

// The names of the group, in the order of their numbers. Settings are
// whatever the file holds, so anything odd is passed over rather than
// trusted: values that are not F<number>, empty or over-long names, names
// that are not text, repeats (compared with the given case sensitivity), and
// every name beyond the first `limit`. Gaps in the numbering do not matter.
QStringList readNames(QSettings &settings, const QString &group, int limit,
                      Qt::CaseSensitivity cs);

// Replaces the group with the names as F0, F1, ...; old values beyond the
// new last name are gone. Returns false when the store could not be written.
bool writeNames(QSettings &settings, const QString &group, const QStringList &names);

} // namespace mru
