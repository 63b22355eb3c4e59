#pragma once

#include <QString>

namespace documents {
class DocumentError;
}

// What quorin-batch prints. Every error is one line on stderr, naming the
// file it concerns, so that scripts can grep and log it.
namespace cli {

constexpr int exitOk = 0;
constexpr int exitFailed = 1;
constexpr int exitUsage = 2;

void printOut(const QString &text);
// "quorin-batch: FILE: reason", or "quorin-batch: reason" without a file.
void printError(const QString &file, const QString &reason);
int failed(const documents::DocumentError &error); // prints it, returns exitFailed
int usageError(const QString &problem); // prints it, returns exitUsage

} // namespace cli
