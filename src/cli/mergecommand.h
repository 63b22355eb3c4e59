#pragma once

#include <QStringList>

class QTextStream;

// `quorin-batch merge TEMPLATE INFO... [--overwrite] -o OUT`: merges one
// Template file with each Information file and writes the finished documents.
// `args` are the words after "merge". Prints each replacement count on `out`;
// reports every problem on `err` with the words the window's dialogs use and
// returns 1 without writing any output file. Returns the exit status.
int runMergeCommand(const QStringList &args, QTextStream &out, QTextStream &err);
