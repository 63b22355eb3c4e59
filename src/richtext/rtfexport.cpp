#include "richtext/rtfexport.h"

#include "richtext/rtfwriter.h"

namespace richtext {

QByteArray toRtf(const QTextDocument &document, const ExportOptions &options)
{
    return toRtf(document, 0, -1, options);
}

QByteArray toRtf(const QTextDocument &document, int from, int to, const ExportOptions &options)
{
    ExportOptions checked = options;
    if (checked.codePage <= 0)
        checked.codePage = 1252;
    if (checked.lcid <= 0)
        checked.lcid = 1033;
    return RtfWriter(document, checked).write(from, to);
}

} // namespace richtext
