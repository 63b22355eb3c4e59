#pragma once

#include <QStringList>

// `quorin-batch convert [options] IN OUT`; `args` are the words after
// "convert". Returns the exit status.
int runConvertCommand(const QStringList &args);
