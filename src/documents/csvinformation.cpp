#include "documents/csvinformation.h"

namespace documents {

namespace {

    // Splits decoded text into records of fields, one character at a time:
    // every step advances, so no input can make it loop.
    class CsvParser {
    public:
        explicit CsvParser(QStringView text)
            : m_text(text)
        {
        }

        CsvResult run();

    private:
        bool endRecord(CsvResult &result);
        void endField()
        {
            m_record.append(m_field);
            m_field.clear();
            m_fieldQuoted = false;
        }

        QStringView m_text;
        QStringList m_record;
        QString m_field;
        bool m_fieldQuoted = false;
        int m_line = 1;
        int m_recordLine = 1;
        int m_rowNumber = 0;
    };

    CsvResult fail(const QString &error, int line)
    {
        CsvResult result;
        result.error = error;
        result.errorLine = line;
        return result;
    }

    bool isLineEnd(QChar c)
    {
        return c == u'\n' || c == u'\r';
    }

} // namespace

bool CsvParser::endRecord(CsvResult &result)
{
    // A line with nothing on it separates nothing; it is no row of empty
    // values (which would make a document nobody asked for).
    const bool blank = m_record.isEmpty() && m_field.isEmpty() && !m_fieldQuoted;
    endField();
    if (!blank) {
        CsvTable &table = result.table;
        ++m_rowNumber;
        if (m_rowNumber == 1) {
            table.headings = m_record;
        } else {
            if (m_record.size() > table.headings.size()) {
                result = fail(QStringLiteral("row %1 has %2 fields but there are only %3 headings")
                                  .arg(m_rowNumber)
                                  .arg(m_record.size())
                                  .arg(table.headings.size()),
                    m_recordLine);
                return false;
            }
            while (m_record.size() < table.headings.size())
                m_record.append(QString());
            table.rows.push_back(m_record);
            table.rowNumbers.push_back(m_rowNumber);
            table.rowLines.push_back(m_recordLine);
        }
    }
    m_record.clear();
    return true;
}

CsvResult CsvParser::run()
{
    CsvResult result;
    const qsizetype size = m_text.size();
    qsizetype i = 0;
    bool recordOpen = false; // something of the current record has been read
    while (i < size) {
        const QChar c = m_text[i];
        if (c == u'"' && m_field.isEmpty() && !m_fieldQuoted) {
            const int opened = m_line;
            m_fieldQuoted = true;
            recordOpen = true;
            ++i;
            for (;;) {
                if (i >= size)
                    return fail(QStringLiteral(
                                    "unterminated quote: the field opened at line %1 never closes")
                                    .arg(opened),
                        opened);
                const QChar q = m_text[i++];
                if (q == u'"') {
                    if (i < size && m_text[i] == u'"') {
                        m_field.append(u'"');
                        ++i;
                        continue;
                    }
                    break;
                }
                // Line breaks inside a field are kept as one LF each,
                // whatever the file's own line ends are.
                if (q == u'\r') {
                    if (i < size && m_text[i] == u'\n')
                        ++i;
                    ++m_line;
                    m_field.append(u'\n');
                    continue;
                }
                if (q == u'\n')
                    ++m_line;
                m_field.append(q);
            }
            if (i < size && m_text[i] != u',' && !isLineEnd(m_text[i]))
                return fail(
                    QStringLiteral("line %1: text after the closing quote of a field").arg(m_line),
                    m_line);
            continue;
        }
        if (c == u',') {
            endField();
            recordOpen = true;
            ++i;
            continue;
        }
        if (isLineEnd(c)) {
            i += (c == u'\r' && i + 1 < size && m_text[i + 1] == u'\n') ? 2 : 1;
            if (!endRecord(result))
                return result;
            recordOpen = false;
            m_recordLine = ++m_line;
            continue;
        }
        // A quote inside an unquoted field is not what the format allows,
        // but spreadsheets read it as itself (5" floppy), and so do we.
        m_field.append(c);
        recordOpen = true;
        ++i;
    }
    if (recordOpen && !endRecord(result))
        return result;
    if (result.table.headings.isEmpty())
        return fail(QStringLiteral("no heading row: the file holds no fields"), 1);
    return result;
}

CsvResult readCsv(QByteArrayView bytes, const assembly::TextDecoder &decoder)
{
    const QString text = assembly::InformationFile::decode(bytes, decoder);
    return CsvParser(text).run();
}

assembly::InformationFile informationFromRow(const CsvTable &table, std::size_t index)
{
    const QStringList &values = table.rows.at(index);
    QStringList lines;
    lines.reserve(2 * table.headings.size());
    for (qsizetype column = 0; column < table.headings.size(); ++column) {
        lines.append(QString(table.headings.at(column)).replace(u'\n', u' '));
        lines.append(values.value(column));
    }
    // An empty value in the last column must still count as a line: the
    // editor leaves an empty last line out of its count.
    lines.append(QString());
    return assembly::InformationFile(lines);
}

} // namespace documents
