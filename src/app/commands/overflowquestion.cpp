#include "app/commands/overflowquestion.h"

#include "documents/templatecheck.h"

namespace {

// A question box taller than the screen hides its buttons; "Check
// Template" lists every one.
constexpr int shownAtMost = 8;

} // namespace

std::optional<QString> overflowQuestion(
    const QByteArray &templateBytes, const assembly::InformationLines &information)
{
    documents::CheckOptions options;
    options.overwrite = true;
    QStringList details;
    for (const documents::Finding &finding :
        documents::checkTemplate(templateBytes, information, options)) {
        if (finding.kind == documents::FindingKind::ValueTooLong)
            details.append(finding.detail);
    }
    if (details.isEmpty())
        return std::nullopt;

    QString text = details.size() == 1
        ? QStringLiteral("In overwrite mode one value does not fit in the room after its token:\n")
        : QStringLiteral("In overwrite mode %1 values do not fit in the room after their tokens:\n")
              .arg(details.size());
    for (const QString &detail : details.mid(0, shownAtMost))
        text += QStringLiteral("\n\u2022 ") + detail;
    if (details.size() > shownAtMost)
        text += QStringLiteral("\n\u2022 ... and %1 more (Check Template lists them all).")
                    .arg(details.size() - shownAtMost);
    text += QStringLiteral("\n\nMerge all the same?");
    return text;
}
