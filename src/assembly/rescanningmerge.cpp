#include "assembly/rescanningmerge.h"

#include "assembly/mergetoken.h"
#include "assembly/messages.h"

#include <QElapsedTimer>

namespace assembly {

RescanResult rescanningMerge(QByteArray text, const InformationLines &information,
    const ValueEncoder &encoder, const MergeOptions &options, const RescanLimits &limits)
{
    QElapsedTimer clock;
    clock.start();
    RescanResult result;
    MergeResult &merge = result.merge;
    const int lineCount = information.count();
    // Decided on the template as read, as the engine does, not on the text
    // as values change it.
    const TextRules rules = MergeEngine::textRules(options, text);

    for (qsizetype at = findToken(text); at >= 0; at = findToken(text)) {
        if (limits.maxReplacements >= 0 && merge.replacements >= limits.maxReplacements) {
            result.stopped = true;
            break;
        }
        if (limits.timeLimitMs >= 0 && clock.elapsed() >= limits.timeLimitMs) {
            result.stopped = true;
            break;
        }
        const QByteArray token = extractToken(text, at);
        const TokenIndex index = tokenLineIndex(token);
        if (index.status == TokenIndex::Status::Overflow) {
            merge.failure = messages::integerOverflow();
        } else if (index.status != TokenIndex::Status::Ok || lineCount < index.lineIndex) {
            merge.failure = messages::valueNotInInformationFile();
        }
        if (merge.failure) {
            merge.token = token;
            merge.tokenOffset = at;
            break;
        }
        const QString line = information.line(int(index.lineIndex));
        QByteArray value = encoder ? encoder(line) : line.toLatin1();
        if (rules.rtf)
            value = escapeValueRtf(value, rules.isLeadByte);
        text = replaceToken(std::move(text), token, value, options.overwrite, rules);
        ++merge.replacements;
    }
    if (merge.ok() && !result.stopped)
        merge.text = std::move(text);
    result.elapsedMs = clock.elapsed();
    return result;
}

} // namespace assembly
