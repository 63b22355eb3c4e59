#include "app/commands/saveasrules.h"

QString saveExtension(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    const qsizetype dot = path.lastIndexOf(u'.');
    if (dot < 0 || dot < slash)
        return QString();
    return path.mid(dot).toUpper();
}

SaveFamily saveFamily(const QString &path)
{
    const QString ext = saveExtension(path);
    if (ext.isEmpty())
        return SaveFamily::Unsupported;
    // ".T" is a piece of ".TEM" as much as of ".TXT"; it has always meant a
    // text file, so it is settled before the rich-text lookup.
    if (ext == u".T")
        return SaveFamily::Text;
    if (QStringLiteral(".RTF.TEM.INF").contains(ext))
        return SaveFamily::RichText;
    if (QStringLiteral(".TXT").contains(ext))
        return SaveFamily::Text;
    if (QStringLiteral(".HTM.HTML").contains(ext))
        return SaveFamily::Html;
    return SaveFamily::Unsupported;
}
