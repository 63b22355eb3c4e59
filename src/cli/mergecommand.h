#pragma once

#include <QStringList>

// `quorin-batch merge TEMPLATE INFO... [--overwrite] -o OUT`; `args` are the
// words after "merge". Returns the exit status.
int runMergeCommand(const QStringList &args);
