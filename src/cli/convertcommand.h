#pragma once

#include <QStringList>

class QTextStream;

// `quorin-batch convert IN OUT`: converts a document by the output's
// extension. Returns the process exit status.
int runConvertCommand(const QStringList &args, QTextStream &out, QTextStream &err);
