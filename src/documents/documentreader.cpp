#include "documents/documentreader.h"

#include "documents/documenterror.h"
#include "richtext/codepage.h"
#include "richtext/documentio.h"

#include <QFile>
#include <QFileInfo>
#include <QTextCursor>
#include <QTextDocument>

namespace documents {

ReadOptions localeReadOptions()
{
    ReadOptions options;
    options.codePage = richtext::codepage::forLcid(richtext::codepage::systemDefaultLcid());
    return options;
}

QByteArray readFileBytes(const QString &path)
{
    const QString cannotOpen = QStringLiteral("Cannot open file");
    if (path.isEmpty())
        throw DocumentError(cannotOpen, path, QStringLiteral("No file name"));
    QFile file(path);
    if (QFileInfo(path).isDir())
        throw DocumentError(cannotOpen, path, qt_error_string(EISDIR));
    if (!file.open(QIODevice::ReadOnly))
        throw DocumentError(cannotOpen, path, file.errorString());
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw DocumentError(QStringLiteral("Cannot read file"), path, file.errorString());
    return bytes;
}

void readDocument(QTextDocument &document, QByteArrayView bytes, const ReadOptions &options)
{
    // Loading is no edit anyone wants to undo, and the undo stack would
    // double what a large document costs.
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    document.clear();
    // The editor's own default font, so that the RTF written from this
    // document names the font the window's would.
    document.setDefaultFont(richtext::standardFont());
    QTextCursor cursor(&document);
    richtext::ImportOptions import;
    import.defaultCodePage = options.codePage;
    import.plainRtf = options.plainRtf;
    richtext::readDocumentBytes(cursor, bytes, import);
    document.setUndoRedoEnabled(undo);
    document.setModified(false);
}

} // namespace documents
