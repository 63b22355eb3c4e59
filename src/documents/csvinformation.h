#pragma once

// A table of comma-separated values as Information data: the first row holds
// the headings, every further row is the values of one Information file.

#include "assembly/informationfile.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <vector>

namespace documents {

struct CsvTable {
    QStringList headings;
    // One row per record after the headings, each exactly as long as
    // `headings` (a row with fewer fields is padded with empty values).
    std::vector<QStringList> rows;
    // For each row: its number as a spreadsheet shows it (the heading row
    // is row 1) and the line of the file it starts on.
    std::vector<int> rowNumbers;
    std::vector<int> rowLines;
};

struct CsvResult {
    CsvTable table;
    QString error; // empty when the bytes were read
    int errorLine = 0; // where the problem was found, when there is one

    bool ok() const { return error.isEmpty(); }
};

// Reads CSV as RFC 4180 writes it: fields separated by commas, records by
// CR LF or LF (a lone CR too); a field in double quotes may hold commas,
// line breaks (read as one LF each) and doubled quotes. The text is UTF-16
// after its byte-order mark, UTF-8 (with or without a mark) when valid,
// else `decoder`'s code page, as Information files are read. A line with
// nothing on it is no record. Refused with the line: an unterminated
// quote, text after a closing quote, a row with more fields than there are
// headings, a file with no heading row.
CsvResult readCsv(QByteArrayView bytes, const assembly::TextDecoder &decoder = {});

// Row `index` of `table` as Information lines: each heading then its
// value. A line break inside a value stays, for the merge's value encoder
// to write as the template writes a line break; in a heading it becomes a
// space.
assembly::InformationFile informationFromRow(const CsvTable &table, std::size_t index);

} // namespace documents
