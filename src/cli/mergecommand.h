#pragma once

#include <QStringList>

// `quorin-batch merge TEMPLATE INFO... [--overwrite] [--name-column HEADING]
// [-j N] -o OUT`; `args` are the words after "merge". Returns the exit status.
int runMergeCommand(const QStringList &args);
