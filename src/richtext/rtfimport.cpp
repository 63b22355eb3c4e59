// Placeholder until the RTF reader lands.
#include "rtfimport.h"

#include <QTextCursor>

namespace richtext {

bool isRtf(QByteArrayView data)
{
    return data.startsWith("{\\rtf");
}

bool insertRtf(QTextCursor &, QByteArrayView, const ImportOptions &, QString *error)
{
    if (error)
        *error = QStringLiteral("not implemented");
    return false;
}

void insertPlainText(QTextCursor &cursor, QByteArrayView bytes, int)
{
    cursor.insertText(QString::fromUtf8(bytes));
}

QString rtfToPlainText(QByteArrayView, const ImportOptions &)
{
    return {};
}

QString decodePlainText(QByteArrayView bytes, int)
{
    return QString::fromUtf8(bytes);
}

} // namespace richtext
