#include "app/commands/htmlexport.h"

#include "app/commanderror.h"
#include "app/commands/panefile.h"
#include "html/rtftohtml.h"

#include <QFile>
#include <QTemporaryDir>

void exportPaneAsHtml(RichEditor &pane, const QString &path)
{
    // QTemporaryDir makes the folder with mode 0700, so no other user can
    // read the document or swap the scratch file while it is converted.
    QTemporaryDir scratch;
    if (!scratch.isValid())
        throw CommandError(
            QStringLiteral("Cannot create a temporary folder. %1").arg(scratch.errorString()));
    const QString rtfPath = scratch.filePath(QStringLiteral("$$$"));
    writePaneFile(pane, rtfPath, PaneFileFormat::Rtf);

    html::Options options; // all off
    // The page has always been titled by the scratch file's name; the
    // private folder's path would mean nothing to a reader.
    options.title = "$$$";
    const html::Result result = html::rtfToHtmlFile(
        QFile::encodeName(rtfPath).toStdString(), QFile::encodeName(path).toStdString(), options);
    QFile::remove(rtfPath);
    if (!result.ok)
        throw CommandError(QString::fromStdString(result.error));
}
