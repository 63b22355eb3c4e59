#include "documents/mergejob.h"

#include "assembly/loadfile.h"
#include "assembly/mergetext.h"
#include "documents/atomicwrite.h"
#include "documents/documenterror.h"
#include "documents/documentreader.h"
#include "documents/fileformat.h"
#include "documents/fileidentity.h"
#include "documents/informationsource.h"
#include "documents/orderedwork.h"
#include "richtext/codepage.h"
#include "richtext/rtfimport.h"

#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>
#include <QTextDocument>

#include <optional>
#include <vector>

namespace documents {

namespace {

const QString cannotMerge = QStringLiteral("Cannot merge");
const QString cannotWrite = QStringLiteral("Cannot write file");

assembly::ValueEncoder plainEncoderFor(const PreparedTemplate &prepared)
{
    // The engine escapes what a value must not do to an RTF template.
    if (prepared.rtf)
        return valueEncoderFor(prepared.codePage);
    // A text template is text in its own encoding, where "\uN?" means
    // nothing: values go in UTF-8 when the template is UTF-8 (or ASCII).
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    (void)utf8.decode(prepared.text);
    if (!utf8.hasError())
        return [](QStringView value) { return value.toUtf8(); };
    return valueEncoderFor(prepared.codePage);
}

assembly::ValueEncoder encoderFor(const PreparedTemplate &prepared)
{
    // A line of an Information file never holds a line break; a value from
    // a table may (an address in one cell). It goes in as the template
    // writes one: RTF's \line, or the CR LF of the merge text.
    const QByteArray lineBreak = prepared.rtf ? QByteArrayLiteral("\\line ") : QByteArrayLiteral("\r\n");
    return [encode = plainEncoderFor(prepared), lineBreak](QStringView value) {
        if (!value.contains(u'\n'))
            return encode(value);
        QByteArray bytes;
        for (qsizetype start = 0;;) {
            const qsizetype end = value.indexOf(u'\n', start);
            bytes += encode(value.sliced(start, (end < 0 ? value.size() : end) - start));
            if (end < 0)
                return bytes;
            bytes += lineBreak;
            start = end + 1;
        }
    };
}

assembly::MergeResult mergePrepared(const PreparedTemplate &prepared,
    const assembly::InformationLines &information, bool overwrite,
    assembly::ProgressCallback progress)
{
    if (prepared.failure) {
        assembly::MergeResult result;
        result.failure = prepared.failure;
        return result;
    }
    assembly::MergeEngine engine(information, prepared.encoder, mergeOptionsFor(prepared, overwrite));
    engine.setProgressCallback(std::move(progress));
    return engine.merge(prepared.text);
}

QString failureReason(const assembly::MergeResult &result)
{
    QString reason = oneLine(*result.failure);
    if (!result.detail.isEmpty())
        reason += QStringLiteral(" (%1)").arg(result.detail);
    return reason;
}

// An Information file's line count as the job needs it. (A table's rows
// always have two lines an entry.)
void checkLineCount(const InformationItem &item)
{
    const assembly::InformationFile &information = item.information;
    if (information.count() < 2)
        throw DocumentError(cannotMerge, item.path, oneLine(assembly::messages::noInformationFile()));
    // The window only warns about an odd count; without anyone to read the
    // warning, a file whose values would be taken from the wrong lines is
    // refused.
    if (const auto problem = information.lineCountProblem()) {
        throw DocumentError(cannotMerge, item.path,
            QStringLiteral("%1 (%2 lines)").arg(oneLine(*problem)).arg(information.count()));
    }
}

// A table row's problem names the table and the row.
[[noreturn]] void failItem(const QString &action, const InformationItem &item, const QString &reason)
{
    if (item.row > 0)
        throw DocumentError(action, item.path, QStringLiteral("row %1: %2").arg(item.row).arg(reason));
    throw DocumentError(action, item.path, reason);
}

struct PlannedOutput {
    QString outputPath;
    FileFormat format;
};

void checkRequest(const MergeRequest &request)
{
    if (request.informationPaths.isEmpty())
        throw DocumentError(cannotMerge, request.templatePath,
            QStringLiteral("no Information file given"));
    if (request.outputPattern.isEmpty())
        throw DocumentError(cannotMerge, request.templatePath, QStringLiteral("no output file given"));
}

std::vector<PlannedOutput> planOutputs(
    const MergeRequest &request, const std::vector<InformationItem> &items)
{
    if (items.size() > 1 && !request.outputPattern.contains(u"{name}"))
        throw DocumentError(cannotWrite, request.outputPattern,
            QStringLiteral("with more than one Information file or table row the output name "
                           "must hold {name}"));

    QHash<QString, QString> inputs;
    inputs.insert(fileIdentity(request.templatePath), request.templatePath);
    for (const QString &path : request.informationPaths)
        inputs.insert(fileIdentity(path), path);

    std::vector<PlannedOutput> planned;
    QHash<QString, QString> writers; // output identity -> Information file or row
    for (const InformationItem &item : items) {
        const QString information = item.label();
        const QString target = outputPathForName(request.outputPattern, item.name);
        const auto format = formatForFileName(target, FormatPolicy::CommandLine);
        if (!format)
            throw DocumentError(cannotWrite, target,
                QStringLiteral("the name must end in one of %1").arg(commandLineExtensions()));
        const QString identity = fileIdentity(target);
        if (const auto input = inputs.constFind(identity); input != inputs.cend())
            throw DocumentError(cannotWrite, target,
                QStringLiteral("it would replace the input file %1").arg(*input));
        if (const auto other = writers.constFind(identity); other != writers.cend())
            throw DocumentError(cannotWrite, target,
                QStringLiteral("both %1 and %2 would write it").arg(*other, information));
        writers.insert(identity, information);
        planned.push_back({ target, *format });
    }
    return planned;
}

QByteArray convertMerged(const QByteArray &rtf, const PlannedOutput &output,
    const MergeRequest &request)
{
    if (output.format == FileFormat::Rtf)
        return rtf;
    // What the window shows after Do It, saved as the window's Save As does.
    QTextDocument document;
    readDocument(document, rtf, request.read);
    ExportOptions options = request.exportOptions;
    if (options.pdf.title.isEmpty()) // each output a document of its own name
        options.pdf.title = QFileInfo(output.outputPath).completeBaseName();
    try {
        return exportDocument(document, output.format, options);
    } catch (const DocumentError &error) {
        throw DocumentError(error.action(), output.outputPath, error.reason());
    }
}

bool joinsAsSentence(const QString &before, const QString &after)
{
    return !before.isEmpty() && !after.isEmpty() && before.back().isLetterOrNumber()
        && after.front().isUpper();
}

// What one document's worker hands on: its output, written but not yet in
// place.
struct StagedOutput {
    StagedFile file;
    qint64 replacements = 0;
};

// Enough outputs ahead of the one being put in place to keep every thread
// busy, few enough that their temporary files stay a handful.
std::size_t outputsAhead(int jobs)
{
    return std::size_t(4 * std::max(jobs, 1));
}

} // namespace

PreparedTemplate prepareTemplate(QByteArray bytes)
{
    PreparedTemplate prepared;
    assembly::LoadedFile loaded = assembly::readTemplateText(std::move(bytes));
    if (loaded.failure) {
        prepared.failure = loaded.failure;
        return prepared;
    }
    prepared.text = std::move(loaded.text);
    prepared.rtf = assembly::isRtfTemplate(prepared.text);
    prepared.codePage = templateCodePage(prepared.text);
    prepared.encoder = encoderFor(prepared);
    return prepared;
}

assembly::MergeOptions mergeOptionsFor(const PreparedTemplate &prepared, bool overwrite)
{
    assembly::MergeOptions options;
    options.overwrite = overwrite;
    options.templateKind = prepared.rtf ? assembly::MergeOptions::TemplateKind::Rtf
                                        : assembly::MergeOptions::TemplateKind::PlainText;
    if (richtext::codepage::isDoubleByte(prepared.codePage)) {
        options.isLeadByte = [codePage = prepared.codePage](unsigned char byte) {
            return richtext::codepage::isLeadByte(codePage, byte);
        };
    }
    return options;
}

bool hasNoText(const PreparedTemplate &prepared)
{
    return prepared.rtf
        ? richtext::rtfToPlainText(prepared.text, { prepared.codePage, false }).trimmed().isEmpty()
        : prepared.text.trimmed().isEmpty();
}

assembly::ValueEncoder valueEncoderFor(int codePage)
{
    // Both bytes of a double-byte character may be anything, a "\", "{" or
    // "}" trail byte included, which RTF would read as syntax.
    const bool rawNonAscii = !richtext::codepage::isDoubleByte(codePage);
    return assembly::makeValueEncoder(
        [codePage, rawNonAscii](QChar c) {
            return c.unicode() < 0x80 || (rawNonAscii && richtext::codepage::canEncode(c, codePage));
        },
        [codePage](QStringView run) { return richtext::codepage::fromUnicode(run, codePage); });
}

int templateCodePage(QByteArrayView bytes)
{
    constexpr int fallback = 1252;
    qsizetype i = 0;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        i = 3;
    while (i < bytes.size() && QChar::isSpace(uchar(bytes[i])))
        ++i;
    if (i >= bytes.size() || bytes[i] != '{')
        return fallback;
    // The header is what stands at the document's own level before its first
    // text; groups inside it (the font table) are stepped over.
    int depth = 0;
    while (i < bytes.size()) {
        const char c = bytes[i];
        if (c == '{') {
            ++depth;
            ++i;
        } else if (c == '}') {
            if (--depth <= 0)
                break;
            ++i;
        } else if (c == '\\') {
            qsizetype j = i + 1;
            while (j < bytes.size() && ((bytes[j] >= 'a' && bytes[j] <= 'z') || (bytes[j] >= 'A' && bytes[j] <= 'Z')))
                ++j;
            const QByteArrayView word = bytes.sliced(i + 1, j - i - 1);
            if (word.isEmpty()) {
                if (depth == 1)
                    break; // a control symbol at the top is text
                i = j + 1;
                continue;
            }
            const qsizetype numberStart = j;
            if (j < bytes.size() && bytes[j] == '-')
                ++j;
            while (j < bytes.size() && bytes[j] >= '0' && bytes[j] <= '9')
                ++j;
            if (depth == 1 && word == "ansicpg") {
                bool ok = false;
                const int codePage = bytes.sliced(numberStart, j - numberStart).toInt(&ok);
                return ok && codePage > 0 ? codePage : fallback;
            }
            i = j;
            if (i < bytes.size() && bytes[i] == ' ')
                ++i;
        } else if (c == '\r' || c == '\n' || depth > 1) {
            ++i;
        } else {
            break; // the document's first text: the header is over
        }
    }
    return fallback;
}

assembly::MergeResult mergeTemplate(const QByteArray &templateBytes,
    const assembly::InformationLines &information, bool overwrite,
    assembly::ProgressCallback progress)
{
    return mergePrepared(prepareTemplate(templateBytes), information, overwrite, std::move(progress));
}

QString oneLine(const assembly::AssemblyMessage &message)
{
    QString text;
    for (const QString &line : message.lines()) {
        const QString part = line.simplified();
        if (part.isEmpty())
            continue;
        if (!text.isEmpty())
            text += joinsAsSentence(text, part) ? QStringLiteral(". ") : QStringLiteral(" ");
        text += part;
    }
    return text;
}

QString MergeOutput::report() const
{
    return assembly::messages::mergeDone(replacements).title + QStringLiteral(": ") + outputPath;
}

QString mergeOutputPath(const QString &pattern, const QString &informationPath)
{
    return outputPathForName(pattern, QFileInfo(informationPath).completeBaseName());
}

QString outputPathForName(const QString &pattern, const QString &name)
{
    QString path = pattern;
    return path.replace(QStringLiteral("{name}"), name);
}

void runMergeJob(const MergeRequest &request,
    const std::function<void(const MergeOutput &)> &written)
{
    checkRequest(request);

    const PreparedTemplate prepared = prepareTemplate(readFileBytes(request.templatePath));
    if (prepared.failure)
        throw DocumentError(cannotMerge, request.templatePath, oneLine(*prepared.failure));
    if (hasNoText(prepared))
        throw DocumentError(cannotMerge, request.templatePath,
            oneLine(assembly::messages::noTemplateFile()));

    InformationReadOptions reading;
    reading.codePage = prepared.codePage;
    reading.nameColumn = request.nameColumn;
    // Only the Information entries are kept (a few lines each), not the
    // finished documents, so memory does not grow with the template times
    // the number of documents.
    const std::vector<InformationItem> items
        = readInformationItems(request.informationPaths, reading);
    for (const InformationItem &item : items)
        checkLineCount(item);
    const std::vector<PlannedOutput> outputs = planOutputs(request, items);

    const auto merge = [&](std::size_t i) {
        assembly::MergeResult result
            = mergePrepared(prepared, items[i].information, request.overwrite, {});
        if (!result.ok())
            failItem(cannotMerge, items[i], failureReason(result));
        return result;
    };

    // Every merge is tried before the first output is written: a mistake in
    // any Information file writes nothing.
    const int jobs = std::max(request.jobs, 1);
    produceInOrder<int>(items.size(), jobs, 64 * std::size_t(jobs),
        [&](std::size_t i) {
            merge(i);
            return 0;
        },
        [](std::size_t, int &&) {});

    produceInOrder<StagedOutput>(items.size(), jobs, outputsAhead(jobs),
        [&](std::size_t i) {
            const assembly::MergeResult result = merge(i);
            return StagedOutput { stageFileAtomically(
                                      outputs[i].outputPath, convertMerged(result.text, outputs[i], request)),
                result.replacements };
        },
        [&](std::size_t i, StagedOutput &&staged) {
            staged.file.commit();
            if (written)
                written({ items[i].label(), outputs[i].outputPath, staged.replacements });
        });
}

} // namespace documents
