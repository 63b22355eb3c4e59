#pragma once

#include <QByteArray>

#include "assembly/informationfile.h"
#include "assembly/mergeengine.h"
#include "assembly/valueencoder.h"

namespace assembly {

// The merge in its plain form: after every replacement the text is searched
// again from its start for its first '@', and rebuilt around the value. Its
// cost is (tokens x text length), hours for a large document, so MergeEngine
// does the same work in one pass. This form stays as the yardstick the engine
// is checked and measured against; it has no guard against values that refer
// to themselves, hence the limits.
struct RescanLimits {
    qint64 maxReplacements = -1; // stop after this many (-1: no limit)
    qint64 timeLimitMs = -1; // stop after this long (-1: no limit)
};

struct RescanResult {
    MergeResult merge;
    bool stopped = false; // a limit was reached; `merge.replacements` tells how far it got
    qint64 elapsedMs = 0;
};

// Values are escaped and counted by the same rules as MergeEngine's, from
// the same options (the bounds on values inside values aside).
RescanResult rescanningMerge(QByteArray text, const InformationLines &information,
    const ValueEncoder &encoder, const MergeOptions &options, const RescanLimits &limits = {});

inline RescanResult rescanningMerge(QByteArray text, const InformationLines &information,
    const ValueEncoder &encoder, bool overwrite, const RescanLimits &limits = {})
{
    MergeOptions options;
    options.overwrite = overwrite;
    return rescanningMerge(std::move(text), information, encoder, options, limits);
}

} // namespace assembly
