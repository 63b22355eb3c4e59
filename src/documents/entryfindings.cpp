#include "documents/entryfindings.h"

#include "documents/findingwords.h"

#include <QHash>

#include <algorithm>

namespace documents {

namespace {

    using Kind = FindingKind;
    using namespace words;

    Finding atLine(Kind kind, Severity severity, int line, qint64 entry, const QString &detail)
    {
        Finding finding;
        finding.kind = kind;
        finding.severity = severity;
        finding.detail = detail;
        finding.place = Finding::Place::Information;
        finding.line = line;
        finding.column = 1;
        finding.entry = entry;
        return finding;
    }

    void addShapeFindings(
        std::vector<Finding> &findings, const assembly::InformationLines &information)
    {
        const int count = information.count();
        if (count < 2) {
            findings.push_back(
                atLine(Kind::UnusableInformation, Severity::Error, std::max(count, 1), 0,
                    QStringLiteral("The Information data holds %1, so there is nothing to merge.")
                        .arg(plural(count, QStringLiteral("line"), QStringLiteral("lines")))));
        } else if (count % 2 != 0) {
            findings.push_back(
                atLine(Kind::UnusableInformation, Severity::Error, count, (count + 1) / 2,
                    QStringLiteral("The Information file has %1 lines, an odd number, so its last "
                                   "heading has no value line.")
                        .arg(count)));
        }
    }

} // namespace

std::vector<Finding> informationFindings(const assembly::InformationLines &information,
    EntryValues &values, const std::vector<bool> &usedByTemplate, bool rtf)
{
    std::vector<Finding> findings;
    addShapeFindings(findings, information);
    const int count = information.count();
    QHash<QString, qint64> headings; // folded heading -> first entry
    for (qint64 entry = 1; entry <= values.entryCount(); ++entry) {
        const QString heading = values.heading(entry);
        const QString name = entryName(entry, heading);
        const int headingLine = int(2 * entry - 1);
        const int valueLine = int(2 * entry);
        const bool used = usedByTemplate.at(std::size_t(entry)) || values.usedByValue(entry);
        if (!used)
            findings.push_back(atLine(Kind::UnusedEntry, Severity::Note, headingLine, entry,
                QStringLiteral("%1 is used by no token of the template.").arg(capitalized(name))));

        const QString key = heading.trimmed().toCaseFolded();
        if (!key.isEmpty()) {
            const auto first = headings.constFind(key);
            if (first != headings.cend())
                findings.push_back(atLine(Kind::DuplicateHeading, Severity::Warning, headingLine,
                    entry,
                    QStringLiteral("Entry %1 has the heading %2 of entry %3 as well, so the two "
                                   "are easily mistaken for each other.")
                        .arg(entry)
                        .arg(quoted(heading.trimmed()))
                        .arg(*first)));
            else
                headings.insert(key, entry);
        }

        if (valueLine > count)
            continue; // the missing value line is the odd count's problem
        const QString value = values.line(entry);
        if (value.trimmed().isEmpty()) {
            findings.push_back(atLine(Kind::EmptyValue, Severity::Warning, valueLine, entry,
                QStringLiteral("%1 has %2%3.")
                    .arg(capitalized(name),
                        value.isEmpty() ? QStringLiteral("an empty value")
                                        : QStringLiteral("a value of spaces only"),
                        used ? QStringLiteral(", so its tokens are filled with nothing")
                             : QStringLiteral(" (no token uses it yet)"))));
        }
        if (rtf && (value.contains(u'{') || value.contains(u'}') || value.contains(u'\\'))) {
            const EntryValues::Escaping escaping = values.escaping(entry);
            QStringList effects;
            if (!escaping.keptWords.isEmpty())
                effects << QStringLiteral("keeps %1 as %2 that %3")
                               .arg(escaping.keptWords.join(QStringLiteral(", ")),
                                   escaping.keptWords.size() == 1 ? QStringLiteral("a control word")
                                                                  : QStringLiteral("control words"),
                                   escaping.keptWords.size() == 1 ? QStringLiteral("acts")
                                                                  : QStringLiteral("act"));
            if (escaping.keptGroups > 0)
                effects << QStringLiteral("keeps %1 as a group")
                               .arg(plural(escaping.keptGroups, QStringLiteral("pair of braces"),
                                   QStringLiteral("pairs of braces")));
            if (escaping.escaped > 0)
                effects << QStringLiteral("escapes %1 so %2 as typed")
                               .arg(plural(escaping.escaped, QStringLiteral("character"),
                                        QStringLiteral("characters")),
                                   escaping.escaped == 1 ? QStringLiteral("it shows")
                                                         : QStringLiteral("they show"));
            QString said = effects.join(QStringLiteral(", "));
            if (effects.size() > 1)
                said.replace(said.lastIndexOf(QStringLiteral(", ")), 2, QStringLiteral(" and "));
            const bool acts = !escaping.keptWords.isEmpty() || escaping.keptGroups > 0;
            findings.push_back(atLine(Kind::RtfInValue, acts ? Severity::Warning : Severity::Note,
                valueLine, entry,
                QStringLiteral("The value of %1 holds RTF syntax (%2): the merge %3.")
                    .arg(name, quoted(value), said)));
        }
    }
    return findings;
}

} // namespace documents
