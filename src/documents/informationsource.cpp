#include "documents/informationsource.h"

#include "documents/csvinformation.h"
#include "documents/documenterror.h"
#include "documents/documentreader.h"
#include "richtext/codepage.h"

#include <QFileInfo>

namespace documents {

namespace {

    const QString cannotRead = QStringLiteral("Cannot read file");

    constexpr qsizetype maxNameBytes = 120;

    bool isRefusedCharacter(QChar c)
    {
        const char16_t u = c.unicode();
        return u < 0x20 || (u >= 0x7f && u <= 0x9f) || QStringView(u"/\\:*?\"<>|").contains(c);
    }

    bool isDeviceName(const QString &name)
    {
        // Windows refuses these with any extension, in any case.
        const QString stem = name.section(u'.', 0, 0).trimmed().toUpper();
        static const QStringList devices { QStringLiteral("CON"), QStringLiteral("PRN"),
            QStringLiteral("AUX"), QStringLiteral("NUL") };
        if (devices.contains(stem))
            return true;
        return stem.size() == 4 && (stem.startsWith(u"COM") || stem.startsWith(u"LPT"))
            && stem[3] >= u'1' && stem[3] <= u'9';
    }

    // Cut to `maxBytes` bytes of UTF-8 without splitting a character.
    QString cutToBytes(const QString &text, qsizetype maxBytes)
    {
        qsizetype bytes = 0;
        qsizetype i = 0;
        while (i < text.size()) {
            const bool pair
                = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
            const char32_t code
                = pair ? QChar::surrogateToUcs4(text[i], text[i + 1]) : text[i].unicode();
            const qsizetype length = code < 0x80 ? 1 : code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
            if (bytes + length > maxBytes)
                break;
            bytes += length;
            i += pair ? 2 : 1;
        }
        return text.left(i);
    }

    void addTable(std::vector<InformationItem> &items, const QString &path, const QByteArray &bytes,
        const InformationReadOptions &options)
    {
        const int codePage = options.codePage;
        const CsvResult csv = readCsv(bytes, [codePage](QByteArrayView raw) {
            return richtext::codepage::toUnicode(raw, codePage);
        });
        if (!csv.ok())
            throw DocumentError(cannotRead, path, csv.error);
        const CsvTable &table = csv.table;
        if (table.rows.empty())
            throw DocumentError(cannotRead, path,
                QStringLiteral("the table has a heading row but no rows of values"));
        qsizetype nameColumn = 0;
        if (options.names && !options.nameColumn.isEmpty()) {
            nameColumn = table.headings.indexOf(options.nameColumn);
            if (nameColumn < 0)
                throw DocumentError(cannotRead, path,
                    QStringLiteral("no column is headed \"%1\"").arg(options.nameColumn));
        }
        for (std::size_t i = 0; i < table.rows.size(); ++i) {
            InformationItem item;
            item.path = path;
            item.row = table.rowNumbers[i];
            item.line = table.rowLines[i];
            item.information = informationFromRow(table, i);
            if (options.names) {
                item.name = safeFileName(table.rows[i].value(nameColumn));
                if (item.name.isEmpty())
                    throw DocumentError(cannotRead, path,
                        QStringLiteral("row %1: the column \"%2\" gives no file name")
                            .arg(item.row)
                            .arg(table.headings.value(nameColumn)));
            }
            items.push_back(std::move(item));
        }
    }

} // namespace

QString InformationItem::label() const
{
    return row > 0 ? QStringLiteral("%1 row %2").arg(path).arg(row) : path;
}

bool isCsvPath(const QString &path)
{
    return QFileInfo(path).suffix().compare(u"csv", Qt::CaseInsensitive) == 0;
}

std::vector<InformationItem> readInformationItems(
    const QStringList &paths, const InformationReadOptions &options)
{
    std::vector<InformationItem> items;
    for (const QString &path : paths) {
        const QByteArray bytes = readFileBytes(path);
        if (isCsvPath(path)) {
            addTable(items, path, bytes, options);
            continue;
        }
        InformationItem item;
        item.path = path;
        item.name = QFileInfo(path).completeBaseName();
        const int codePage = options.codePage;
        item.information
            = assembly::InformationFile::fromBytes(bytes, [codePage](QByteArrayView raw) {
                  return richtext::codepage::toUnicode(raw, codePage);
              });
        items.push_back(std::move(item));
    }
    return items;
}

QString safeFileName(const QString &value)
{
    // Trimmed before and after: white space at the ends (a tab, a line
    // break) is dropped, not turned into "_".
    QString name = value.trimmed();
    name.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    for (QChar &c : name) {
        if (isRefusedCharacter(c))
            c = u'_';
    }
    name = name.trimmed();
    for (QChar &c : name) {
        if (c != u'.')
            break;
        c = u'_';
    }
    if (isDeviceName(name))
        name += u'_';
    return cutToBytes(name, maxNameBytes).trimmed();
}

} // namespace documents
