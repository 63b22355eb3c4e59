// Placeholder until the RTF writer lands.
#include "rtfexport.h"

#include <QTextDocument>

namespace richtext {

QByteArray toRtf(const QTextDocument &document, const ExportOptions &options)
{
    return toRtf(document, 0, -1, options);
}

QByteArray toRtf(const QTextDocument &document, int, int, const ExportOptions &)
{
    return "{\\rtf1 " + document.toPlainText().toUtf8() + "}";
}

} // namespace richtext
