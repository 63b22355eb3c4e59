#pragma once

// Where Information data comes from for quorin-batch: an Information file
// (.inf or any other name) is one set of entries; a .csv table gives one set
// per row.

#include "assembly/informationfile.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace documents {

struct InformationItem {
    QString path; // the file it was read from
    int row = 0; // in a table: its row, the heading row being row 1; else 0
    int line = 1; // in a table: the line the row starts on
    QString name; // what "{name}" in an output pattern stands for
    assembly::InformationFile information;

    // "clients.csv row 3", or the path of an Information file.
    QString label() const;
};

// By extension, in any case.
bool isCsvPath(const QString &path);

struct InformationReadOptions {
    int codePage = 1252; // the template's, for files that are not UTF-8
    // The table column whose value names a row's output; empty: the first.
    QString nameColumn;
    // Work out and check the rows' names (a merge's outputs need them; a
    // check does not).
    bool names = true;
};

// Reads every file in order. Throws DocumentError naming the file: it
// cannot be read; a table is not valid CSV (with the line), has no rows,
// has no column `nameColumn`, or gives a row an empty name (with the row).
// Line counts of Information files are not checked here.
std::vector<InformationItem> readInformationItems(
    const QStringList &paths, const InformationReadOptions &options);

// A table value as a file name, or part of one: every "/", "\", NUL,
// control character and character that common file systems refuse
// (: * ? " < > |) becomes "_", leading dots too (no ".", "..", nor hidden
// files), white space is trimmed, a reserved device name (CON, NUL, COM1 ...)
// gets "_" after it, and the result is cut to 120 bytes of UTF-8 at a
// character boundary. Empty when nothing is left.
QString safeFileName(const QString &value);

} // namespace documents
