#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

#include "assembly/informationfile.h"
#include "assembly/mergetext.h"
#include "assembly/messages.h"
#include "assembly/valueencoder.h"

namespace assembly {

struct MergeOptions {
    // Overwrite mode ("exact placement"): a value takes the place of the token
    // and, if longer, of the text characters after it, one for one, so the
    // rest of the line keeps its place. Markup is never overwritten: where it
    // follows before the value is used up, the rest of the value goes in
    // before it. A value shorter than its token is padded with spaces.
    bool overwrite = false;

    // In an RTF template values are escaped (escapeValueRtf) and characters
    // are counted as a reader shows them; in a plain-text template a value
    // goes in as it is and every byte but a line end is a character.
    enum class TemplateKind { Detect, Rtf, PlainText };
    TemplateKind templateKind = TemplateKind::Detect; // Detect: isRtfTemplate
    // For a double-byte code page: a lead byte and its trail are one
    // character, never split by overwriting nor read as markup.
    LeadByteTest isLeadByte;

    // Values may hold tokens of their own; these bound what they can do.
    // A value that leads back to its own entry is always refused.
    int maxNesting = 64; // values inside values
    qint64 maxResultSize = qint64(1) << 30; // bytes of the finished document
    qint64 maxNestedReplacements = 0; // tokens found inside values;
                                      // 0: max(1,000,000, 4 x template size)
};

struct MergeResult {
    QByteArray text; // the finished RTF (empty on failure)
    qint64 replacements = 0;
    std::optional<AssemblyMessage> failure;
    QString detail; // for the command line: the system's reason, the token
    QByteArray token; // the token that stopped the merge, if one did
    qint64 tokenOffset = -1; // its byte position in the merge text at that moment

    bool ok() const { return !failure.has_value(); }
};

// Called with the number of replacements made so far while a merge runs:
// after the first one, then at most every 40 ms, and once at the end.
using ProgressCallback = std::function<void(qint64 replacements)>;

// The merge: replaces every token "@N" in a template's RTF source by the value
// line of entry N of the Information lines.
//
// The result is what rescanning the whole text from its start after every
// replacement gives (text put in by a value is scanned too, and the first
// '@' that is not followed by a digit ends the merge), but it is computed in
// one pass: the text before the first '@' never changes again, so the scan
// resumes there and the finished text is written once, front to back.
class MergeEngine {
public:
    MergeEngine(
        const InformationLines &information, ValueEncoder encoder, MergeOptions options = {});

    void setProgressCallback(ProgressCallback callback) { m_progress = std::move(callback); }

    // The whole command: refuses when the information pane or the template
    // pane holds fewer than two lines, reads the Template file from disk (not
    // the pane), and merges.
    MergeResult run(const QString &templateFileName, int templatePaneLineCount) const;

    // Merges a text already read with loadFileToString or readTemplateText.
    MergeResult merge(const QByteArray &text) const;

    const MergeOptions &options() const { return m_options; }

    // The text rules a merge of `text` goes by.
    static TextRules textRules(const MergeOptions &options, QByteArrayView text);

    // The bytes a value line goes in as under `rules`: encoded, and escaped
    // for an RTF template. What a template check reports is what this gives.
    QByteArray valueBytes(QStringView line, const TextRules &rules) const;

private:
    friend class MergeRun;
    const InformationLines &m_information;
    ValueEncoder m_encoder;
    MergeOptions m_options;
    ProgressCallback m_progress;
};

} // namespace assembly
