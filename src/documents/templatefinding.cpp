#include "documents/templatefinding.h"

namespace documents {

QString kindName(FindingKind kind)
{
    switch (kind) {
    case FindingKind::TokenWithoutEntry:
        return QStringLiteral("token with no entry");
    case FindingKind::UnusedEntry:
        return QStringLiteral("unused entry");
    case FindingKind::EmptyValue:
        return QStringLiteral("empty value");
    case FindingKind::DuplicateHeading:
        return QStringLiteral("duplicate heading");
    case FindingKind::MergeEndsEarly:
        return QStringLiteral("merge ends early");
    case FindingKind::SplitToken:
        return QStringLiteral("split token");
    case FindingKind::RtfInValue:
        return QStringLiteral("RTF in value");
    case FindingKind::ValueTooLong:
        return QStringLiteral("value too long");
    case FindingKind::TokenInHeaderFooter:
        return QStringLiteral("token in header/footer/footnote");
    case FindingKind::ValueRefersToItself:
        return QStringLiteral("value refers to itself");
    case FindingKind::UnusableTemplate:
        return QStringLiteral("unusable template");
    case FindingKind::UnusableInformation:
        return QStringLiteral("unusable information");
    }
    return {};
}

QString severityName(Severity severity)
{
    switch (severity) {
    case Severity::Error:
        return QStringLiteral("error");
    case Severity::Warning:
        return QStringLiteral("warning");
    case Severity::Note:
        return QStringLiteral("note");
    }
    return {};
}

} // namespace documents
