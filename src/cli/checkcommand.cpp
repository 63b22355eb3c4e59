#include "cli/checkcommand.h"

#include "cli/output.h"
#include "documents/documenterror.h"
#include "documents/documentreader.h"
#include "documents/informationsource.h"
#include "documents/mergejob.h"
#include "documents/templatecheck.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <algorithm>
#include <tuple>

namespace {

struct Located {
    int fileIndex = 0; // 0 the template, then the Information files in order
    QString file;
    int line = 0;
    int column = 0;
    documents::Finding finding;
};

// Where a finding is, in the files the user named. A table's entries are
// its columns: headings stand on the table's first line, values on their
// row's.
Located locate(const documents::Finding &finding, const QString &templatePath,
    const documents::InformationItem &item, int itemFileIndex, bool severalItems)
{
    using Place = documents::Finding::Place;
    Located located { 0, templatePath, finding.line, finding.column, finding };
    if (finding.place == Place::Information) {
        located.fileIndex = itemFileIndex;
        located.file = item.path;
        if (item.row > 0)
            located.line = finding.line % 2 == 1 ? 1 : item.line;
    } else if (finding.fromValue && severalItems) {
        // The same template place may be fine with one Information file and
        // not with the next: say which one this is.
        QString &detail = located.finding.detail;
        if (detail.endsWith(u'.'))
            detail.chop(1);
        detail += QStringLiteral(" (with %1).").arg(item.label());
    }
    return located;
}

QString textLine(const Located &found)
{
    return QStringLiteral("%1:%2:%3: %4: %5\n")
        .arg(found.file)
        .arg(found.line)
        .arg(found.column)
        .arg(documents::kindName(found.finding.kind), found.finding.detail);
}

QJsonObject jsonObject(const Located &found)
{
    const documents::Finding &finding = found.finding;
    return QJsonObject {
        { QStringLiteral("file"), found.file },
        { QStringLiteral("line"), found.line },
        { QStringLiteral("column"), found.column },
        { QStringLiteral("kind"), documents::kindName(finding.kind) },
        { QStringLiteral("severity"), documents::severityName(finding.severity) },
        { QStringLiteral("detail"), finding.detail },
        { QStringLiteral("textPosition"),
            finding.textPosition >= 0 ? QJsonValue(finding.textPosition) : QJsonValue() },
    };
}

} // namespace

int runCheckCommand(const QStringList &args)
{
    QStringList files;
    documents::CheckOptions options;
    bool json = false;
    bool optionsEnded = false;
    for (const QString &arg : args) {
        if (optionsEnded || !arg.startsWith(u'-') || arg == u"-")
            files << arg;
        else if (arg == u"--")
            optionsEnded = true;
        else if (arg == u"--overwrite")
            options.overwrite = true;
        else if (arg == u"--json")
            json = true;
        else
            return cli::usageError(QStringLiteral("check: unknown option '%1'").arg(arg));
    }
    if (files.size() < 2)
        return cli::usageError(
            QStringLiteral("check needs a Template file and at least one Information file"));
    const QString templatePath = files.takeFirst();

    std::vector<Located> found;
    try {
        const QByteArray templateBytes = documents::readFileBytes(templatePath);
        const documents::PreparedTemplate prepared = documents::prepareTemplate(templateBytes);
        documents::InformationReadOptions reading;
        reading.codePage = prepared.codePage;
        reading.names = false;
        const std::vector<documents::InformationItem> items
            = documents::readInformationItems(files, reading);
        // What the template alone causes is found with every Information
        // file (and every row of a table) alike; it is said once.
        QSet<QString> said;
        for (const documents::InformationItem &item : items) {
            const int fileIndex = int(files.indexOf(item.path)) + 1;
            for (const documents::Finding &finding :
                documents::checkTemplate(templateBytes, item.information, options)) {
                Located located = locate(finding, templatePath, item, fileIndex, items.size() > 1);
                const QString line = textLine(located);
                if (!said.contains(line)) {
                    said.insert(line);
                    found.push_back(std::move(located));
                }
            }
        }
    } catch (const documents::DocumentError &error) {
        cli::failed(error);
        return cli::exitUsage;
    }
    // Each file's findings together, in the order of their lines.
    std::stable_sort(found.begin(), found.end(), [](const Located &a, const Located &b) {
        return std::tie(a.fileIndex, a.line, a.column) < std::tie(b.fileIndex, b.line, b.column);
    });

    if (json) {
        QJsonArray array;
        for (const Located &located : found)
            array.append(jsonObject(located));
        cli::printOut(QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Indented)));
    } else {
        QString text;
        for (const Located &located : found)
            text += textLine(located);
        cli::printOut(text);
    }
    return found.empty() ? cli::exitOk : cli::exitFailed;
}
