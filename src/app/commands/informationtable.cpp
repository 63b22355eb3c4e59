#include "app/commands/informationtable.h"

#include "app/dialogs/dialogs.h"
#include "documents/csvinformation.h"
#include "documents/documenterror.h"
#include "documents/documentreader.h"
#include "richtext/codepage.h"

#include <QFileInfo>

namespace {

// Enough columns and characters to tell the rows of a client list apart
// without making the list wider than the screen.
constexpr int labelColumns = 3;
constexpr qsizetype labelValueLength = 30;

QString shortValue(QString value)
{
    value.replace(u'\n', u' ');
    value = value.simplified();
    if (value.size() > labelValueLength)
        value = value.left(labelValueLength - 3) + QStringLiteral("...");
    return value;
}

} // namespace

QString informationTableRowLabel(int rowNumber, const QStringList &values)
{
    QStringList shown;
    for (const QString &value : values.mid(0, labelColumns))
        shown.append(shortValue(value));
    while (!shown.isEmpty() && shown.last().isEmpty())
        shown.removeLast();
    const QString text
        = shown.isEmpty() ? QStringLiteral("(empty)") : shown.join(QStringLiteral(", "));
    return QStringLiteral("Row %1: %2").arg(rowNumber).arg(text);
}

QString informationPaneText(const QStringList &lines)
{
    QString text;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines.at(i);
        line.replace(u'\n', QStringLiteral("\\line "));
        text += line;
        text += u'\n';
    }
    return text;
}

std::optional<InformationTableRow> chooseInformationTableRow(
    Dialogs &dialogs, QWidget *parent, const QString &path, int codePage)
{
    const QByteArray bytes = documents::readFileBytes(path);
    const documents::CsvResult csv = documents::readCsv(bytes,
        [codePage](QByteArrayView raw) { return richtext::codepage::toUnicode(raw, codePage); });
    const QString cannotRead = QStringLiteral("Cannot read file");
    if (!csv.ok())
        throw documents::DocumentError(cannotRead, path, csv.error);
    const documents::CsvTable &table = csv.table;
    if (table.rows.empty())
        throw documents::DocumentError(
            cannotRead, path, QStringLiteral("the table has a heading row but no rows of values"));

    QStringList labels;
    for (std::size_t i = 0; i < table.rows.size(); ++i)
        labels.append(informationTableRowLabel(table.rowNumbers[i], table.rows[i]));
    const std::optional<int> chosen = dialogs.chooseItem(parent, QStringLiteral("Choose a Row"),
        QStringLiteral("Which row of %1 is the Information file?").arg(QFileInfo(path).fileName()),
        labels);
    if (!chosen || *chosen < 0 || std::size_t(*chosen) >= table.rows.size())
        return std::nullopt;

    const std::size_t index = std::size_t(*chosen);
    const assembly::InformationFile information = documents::informationFromRow(table, index);
    InformationTableRow row;
    row.rowNumber = table.rowNumbers[index];
    for (int line = 0; line < information.count(); ++line)
        row.lines.append(information.line(line));
    return row;
}
