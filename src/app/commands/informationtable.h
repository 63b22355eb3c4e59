#pragma once

// A spreadsheet table (.csv) chosen as the Information file: the headings
// row names the entries and every further row is the values of one
// Information file. The user picks a row; the pane gets that row's lines,
// each heading then its value, as an Information file would give them.

#include <QString>
#include <QStringList>

#include <optional>

class Dialogs;
class QWidget;

struct InformationTableRow {
    int rowNumber = 0; // as a spreadsheet numbers it: the headings row is 1
    QStringList lines; // heading, value, heading, value ...
};

// Reads the table at `path` in `codePage` (for bytes that are not UTF-8)
// and asks which row to use, listing each by its first columns. Nothing
// when the user cancels. A file that cannot be read, is no valid table
// or has no rows below its headings throws documents::DocumentError with
// the reader's words and the line.
std::optional<InformationTableRow> chooseInformationTableRow(
    Dialogs &dialogs, QWidget *parent, const QString &path, int codePage);

// "Row 3: Smith, John, 12 High Street": the row as the list offers it.
QString informationTableRowLabel(int rowNumber, const QStringList &values);

// The pane's text for a row's lines. A value is one pane line, so a line
// break inside it (a quoted field over several lines) becomes RTF's
// "\line ", which the merge puts into an RTF template as a line break.
QString informationPaneText(const QStringList &lines);
