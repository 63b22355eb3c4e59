#include "assembly/informationfile.h"

#include <QStringDecoder>

#include "assembly/loadfile.h"

namespace assembly {

InformationFile::InformationFile(const QStringList &lines)
    : m_lines(lines)
{
}

InformationFile InformationFile::fromBytes(QByteArrayView bytes, const TextDecoder &decoder)
{
    return fromText(decode(bytes, decoder));
}

QString InformationFile::decode(QByteArrayView bytes, const TextDecoder &decoder)
{
    using E = ByteOrderMark::Encoding;
    const ByteOrderMark bom = findByteOrderMark(bytes);
    bytes = bytes.sliced(bom.length);
    if (bom.encoding == E::Utf16LE || bom.encoding == E::Utf16BE) {
        // As Notepad saves "Unicode" files.
        QStringDecoder utf16(
            bom.encoding == E::Utf16LE ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
            QStringConverter::Flag::Stateless);
        return utf16.decode(bytes);
    }
    // Plain ASCII is valid UTF-8 too, so only files with 8-bit characters
    // that are not UTF-8 go through the code page.
    // Stateless: a sequence cut off by the end of the file is an error, not
    // bytes kept back for a next call that never comes.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    if (decoder)
        return decoder(bytes);
    return QString::fromLatin1(bytes);
}

InformationFile InformationFile::fromText(QStringView text)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines.append(text.mid(start, i - start).toString());
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    // The text after the last line end is the last line, empty when the file
    // ends with a line end, just as the editor shows it.
    lines.append(text.mid(start).toString());
    return InformationFile(lines);
}

int InformationFile::count() const
{
    const int n = int(m_lines.size());
    if (n > 0 && m_lines.last().isEmpty())
        return n - 1;
    return n;
}

QString InformationFile::line(int index) const
{
    if (index < 0 || index >= count())
        return {};
    return m_lines.at(index);
}

QString InformationFile::heading(qint64 entry) const
{
    if (entry < 1 || entry > (count() + 1) / 2)
        return {};
    return line(int(2 * entry - 2));
}

QString InformationFile::value(qint64 entry) const
{
    if (entry < 1 || entry > (count() + 1) / 2)
        return {};
    return line(int(2 * entry - 1));
}

std::optional<AssemblyMessage> InformationFile::lineCountProblem() const
{
    return checkLineCount(*this);
}

std::optional<AssemblyMessage> checkLineCount(const InformationLines &lines)
{
    if (lines.count() % 2 != 0)
        return messages::oddLineCount();
    return std::nullopt;
}

} // namespace assembly
