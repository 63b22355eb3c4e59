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
#include <optional>

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

// A Template file made ready for the engine: a byte-order mark dropped, NUL
// padding cut, line ends made CR LF, its kind and code page found and the
// value encoder chosen. `failure` is set when it cannot be merged at all
// (a NUL inside the text).
struct PreparedTemplate {
    QByteArray text;
    bool rtf = true;
    int codePage = 1252;
    assembly::ValueEncoder encoder;
    std::optional<assembly::AssemblyMessage> failure;
};
PreparedTemplate prepareTemplate(QByteArray templateBytes);

// The engine's options for a prepared template.
assembly::MergeOptions mergeOptionsFor(const PreparedTemplate &prepared, bool overwrite);

// Whether the template shows no text at all: without a template pane to
// count, that is the template that gives nothing to merge.
bool hasNoText(const PreparedTemplate &prepared);

// A merge result's failure as one line ("Your TEMPLATE file contains a value
// that is not in the INFORMATION file. Please correct ..."), for places that
// print instead of showing the message dialog.
QString oneLine(const assembly::AssemblyMessage &message);

// quorin-batch's merge of one template with many Information files.
struct MergeRequest {
    QString templatePath;
    // Information files, and tables (.csv) that give one document per row.
    QStringList informationPaths;
    // The output's path; "{name}" stands for each Information file's name
    // without its last extension, or a table row's value in `nameColumn`
    // made safe for a file name, and is required with more than one
    // document. Its extension chooses the format (the command line's
    // policy).
    QString outputPattern;
    QString nameColumn; // a table's heading; empty: its first column
    bool overwrite = false;
    // Threads that merge, convert and write the outputs. The files written
    // and the outcome are those of one thread, in the same order.
    int jobs = 1;
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
// The output path under `pattern` with `name` for "{name}".
QString outputPathForName(const QString &pattern, const QString &name);

// Runs the request:
//  1. checks it without writing anything: reads the template and every
//     Information file and table, then the output format (refused when
//     the command line writes no such file), {name} with several
//     documents, every output a file of its own (two Information files of
//     one base name in two folders, or two rows of one name, give one
//     output), no output replacing an input (also through a link or
//     another spelling of the path); then merges every document, so a
//     mistake in any of them writes nothing;
//  2. for each document: merges again, converts by format (Rtf: the merged
//     RTF as it is; Text and Html: read into a document and exported,
//     exactly as the window's Do It followed by Save As), writes it
//     atomically and calls `written`. Nothing is held open from one output
//     to the next. With several jobs the merging, converting and writing
//     run on that many threads, but each output appears (is renamed into
//     place) and is reported in order, and only after the ones before it.
// Throws DocumentError naming the file concerned at the first problem in
// that order. Outputs written before a failure in step 2 (a full disk)
// stay: each of them is complete and correct; none after it appears.
void runMergeJob(const MergeRequest &request,
    const std::function<void(const MergeOutput &)> &written = {});

} // namespace documents
