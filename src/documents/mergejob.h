#pragma once

// The merge as the window's Do It and quorin-batch run it: one way to prepare
// a template, one value encoder, one engine.

#include "assembly/informationfile.h"
#include "assembly/mergeengine.h"
#include "assembly/messages.h"
#include "assembly/valueencoder.h"
#include "documents/documentexport.h"
#include "documents/documentreader.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <functional>

namespace documents {

// The encoder of value lines for a template in `codePage`: ASCII as it is;
// in a single-byte code page the characters it holds as its bytes (one byte
// a character, so exact placement counts them as the template counts its
// own); everything else as "\uN?". In a double-byte code page every
// non-ASCII character is "\uN?", since a trail byte may be "\", "{" or "}".
// Braces and backslashes are left to the merge engine, which escapes what
// would break an RTF template.
assembly::ValueEncoder valueEncoderFor(int codePage);

// The code page a template's RTF header names with \ansicpgN; 1252 when it
// names none (or the bytes are not RTF).
int templateCodePage(QByteArrayView templateBytes);

// Merges a Template file's bytes (as read from disk) with Information lines:
// prepares the template (a byte-order mark dropped, NUL padding cut, a NUL
// inside the text refused, line ends made CR LF), picks the value encoder by
// the template's code page, and runs the merge engine. The window's Do It
// calls this after its own pane checks; quorin-batch calls it per file.
assembly::MergeResult mergeTemplate(const QByteArray &templateBytes,
    const assembly::InformationLines &information, bool overwrite,
    assembly::ProgressCallback progress = {});

// A merge result's failure as one line ("Your TEMPLATE file contains a value
// that is not in the INFORMATION file. Please correct ..."), for places that
// print instead of showing the message dialog.
QString oneLine(const assembly::AssemblyMessage &message);

// quorin-batch's merge of one template with many Information files.
struct MergeRequest {
    QString templatePath;
    QStringList informationPaths;
    // The output's path; "{name}" stands for each Information file's name
    // without its last extension, and is required with more than one file.
    // Its extension chooses the format (the command line's policy).
    QString outputPattern;
    bool overwrite = false;
    // How merged documents are read and written for Text and Html outputs.
    ReadOptions read;
    ExportOptions exportOptions;
};

struct MergeOutput {
    QString informationPath;
    QString outputPath;
    qint64 replacements = 0;

    // "N replacements were made: OUTPUT", the window's report of a merge
    // with the file it went to.
    QString report() const;
};

// The output path of one Information file under `pattern`.
QString mergeOutputPath(const QString &pattern, const QString &informationPath);

// Runs the request:
//  1. checks it without writing anything: the output format (refused when
//     the command line writes no such file), {name} with several
//     Information files, every output a file of its own (two Information
//     files of one base name in two folders give one output), no output
//     replacing an input (also through a link or another spelling of the
//     path); then reads the template and reads, checks and merges every
//     Information file, so a mistake in any of them writes nothing;
//  2. for each Information file in turn: merges again, converts by format
//     (Rtf: the merged RTF as it is; Text and Html: read into a document and
//     exported, exactly as the window's Do It followed by Save As), writes
//     it with writeFileAtomically and calls `written`. Nothing is held open
//     from one output to the next.
// Throws DocumentError naming the file concerned at the first problem.
// Outputs written before a failure in step 2 (a full disk) stay: each of
// them is complete and correct.
void runMergeJob(const MergeRequest &request,
    const std::function<void(const MergeOutput &)> &written = {});

} // namespace documents
