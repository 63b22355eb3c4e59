#include "documents/fileformat.h"

#include <QStringList>

namespace documents {

namespace {

struct Family {
    FileFormat format;
    QStringList extensions;
};

// The one table. Its order is the order of the Save As lookup.
const Family &family(int index)
{
    static const Family families[] = {
        { FileFormat::Rtf, { QStringLiteral(".RTF"), QStringLiteral(".TEM"), QStringLiteral(".INF") } },
        { FileFormat::Text, { QStringLiteral(".TXT") } },
        { FileFormat::Html, { QStringLiteral(".HTM"), QStringLiteral(".HTML") } },
        { FileFormat::Pdf, { QStringLiteral(".PDF") } },
    };
    return families[index];
}
constexpr int familyCount = 4;

} // namespace

QString fileExtension(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    const qsizetype dot = path.lastIndexOf(u'.');
    if (dot < 0 || dot < slash)
        return QString();
    return path.mid(dot).toUpper();
}

std::optional<FileFormat> formatForFileName(const QString &path, FormatPolicy policy)
{
    const QString ext = fileExtension(path);
    if (ext.isEmpty())
        return std::nullopt;
    if (policy == FormatPolicy::CommandLine) {
        for (int i = 0; i < familyCount; ++i) {
            if (family(i).extensions.contains(ext))
                return family(i).format;
        }
        return std::nullopt;
    }
    // ".T" is a piece of ".TEM" as much as of ".TXT"; it has always meant a
    // text file, so it is settled before the rich-text lookup.
    if (ext == u".T")
        return FileFormat::Text;
    for (int i = 0; i < familyCount; ++i) {
        if (family(i).extensions.join(QString()).contains(ext))
            return family(i).format;
    }
    return std::nullopt;
}

QString commandLineExtensions()
{
    QStringList names;
    for (int i = 0; i < familyCount; ++i) {
        for (const QString &ext : family(i).extensions)
            names << ext.toLower();
    }
    return names.join(QStringLiteral(", "));
}

} // namespace documents
