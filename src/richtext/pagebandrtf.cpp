#include "richtext/pagebandrtf.h"

#include "richtext/keptgroups.h"
#include "richtext/pagebandfields.h"

namespace richtext {

QByteArray bandTablesRtf(const rtf::DocumentTables &tables, const PageBandSet &set)
{
    QList<QByteArrayView> groups;
    for (const QByteArray &group : set.groups)
        groups << group;
    return keptTablesRtf(tables, groups);
}

QByteArray bandDocumentRtf(const PageBandSet &set, PageBandKind kind)
{
    const QByteArray &group = set.group(kind);
    if (group.isEmpty())
        return {};
    const QByteArray marked = withPageMarks(group);
    return "{\\rtf1\\ansi" + set.tables + "\r\n" + keptGroupContent(marked).toByteArray() + '}';
}

QByteArray pageBandsRtf(const QTextDocument &document, RtfFontTable &fonts, RtfColorTable &colors)
{
    const PageBandSet set = pageBandSet(document);
    if (set.isEmpty())
        return {};

    KeptGroupNumbers numbers(set.tables, fonts, colors);
    QByteArray out;
    if (set.facingPages)
        out += "\\facingp";
    if (set.titlePage)
        out += "\\titlepg";
    out += "\\headery" + QByteArray::number(set.headerY) + "\\footery"
           + QByteArray::number(set.footerY);
    if (set.firstPageNumber != 1)
        out += "\\pgnstarts" + QByteArray::number(set.firstPageNumber) + "\\pgnrestart";
    out += "\r\n";
    for (const QByteArray &group : set.groups) {
        if (!group.isEmpty())
            out += numbers.renumbered(group) + "\r\n";
    }
    return out;
}

} // namespace richtext
