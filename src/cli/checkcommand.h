#pragma once

#include <QStringList>

// `quorin-batch check TEMPLATE INFO... [--overwrite] [--json]`; `args` are
// the words after "check". Prints the findings and returns the exit status:
// 0 none, 1 some, 2 for a usage error or a file that cannot be read.
int runCheckCommand(const QStringList &args);
