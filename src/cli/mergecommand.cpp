#include "cli/mergecommand.h"

#include "richtext/codepage.h"
#include "assembly/informationfile.h"
#include "assembly/loadfile.h"
#include "assembly/mergeengine.h"
#include "assembly/messages.h"
#include "richtext/rtfimport.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

#include "html/rtftohtml.h"

#include <sstream>
#include <QSet>
#include <QTextStream>

#include <memory>
#include <vector>

using namespace assembly;

namespace {

const QLatin1String prefix("quorin-batch merge: ");

struct Arguments {
    QString templatePath;
    QStringList informationPaths;
    QString output;
    bool overwrite = false;
    bool help = false;
};

void printUsage(QTextStream &stream)
{
    stream << "usage: quorin-batch merge TEMPLATE INFO... [--overwrite] -o OUT\n"
              "  Replaces each token @N of the template by the value line of entry N of\n"
              "  each Information file and writes the finished RTF document to OUT.\n"
              "  OUT may hold {name}, replaced by the Information file's name without\n"
              "  its extension; it must when there is more than one Information file.\n"
              "  --overwrite   overwrite mode: values overwrite the template's text\n"
              "                after the token instead of being inserted\n";
}

bool parseArguments(const QStringList &args, Arguments &parsed, QString &problem)
{
    QStringList files;
    bool optionsEnded = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (optionsEnded || !arg.startsWith(QLatin1Char('-')) || arg == QLatin1String("-")) {
            files << arg;
        } else if (arg == QLatin1String("--")) {
            optionsEnded = true;
        } else if (arg == QLatin1String("--overwrite")) {
            parsed.overwrite = true;
        } else if (arg == QLatin1String("-h") || arg == QLatin1String("--help")) {
            parsed.help = true;
        } else if (arg == QLatin1String("-o") || arg == QLatin1String("--output")) {
            if (i + 1 >= args.size()) {
                problem = QStringLiteral("%1 needs a file name").arg(arg);
                return false;
            }
            parsed.output = args.at(++i);
        } else if (arg.startsWith(QLatin1String("--output="))) {
            parsed.output = arg.mid(9);
        } else {
            problem = QStringLiteral("unknown option '%1'").arg(arg);
            return false;
        }
    }
    if (parsed.help)
        return true;
    if (files.size() < 2) {
        problem = QStringLiteral("a Template file and at least one Information file are needed");
        return false;
    }
    if (parsed.output.isEmpty()) {
        problem = QStringLiteral("no output file given (-o OUT)");
        return false;
    }
    parsed.templatePath = files.takeFirst();
    parsed.informationPaths = files;
    return true;
}

// A problem in the words of the window's dialog, with the file it concerns.
void report(QTextStream &err, const QString &file, const AssemblyMessage &message,
    const QString &detail = QString())
{
    err << prefix << file << ":\n";
    for (const QString &line : message.lines())
        err << "  " << line << "\n";
    if (!detail.isEmpty())
        err << "  (" << detail << ")\n";
}

// The code page of the template's \ansicpgN, where values outside ASCII go
// as bytes; Windows-1252 when the header names none.
int templateCodePage(const QByteArray &text)
{
    static const QRegularExpression ansicpg(QStringLiteral("\\\\ansicpg(\\d{1,5})"));
    const QString head = QString::fromLatin1(text.left(4096));
    const QRegularExpressionMatch match = ansicpg.match(head);
    return match.hasMatch() ? match.captured(1).toInt() : 1252;
}

// Lines of the template as the template pane would count them, up to the
// first `enough`: text in the first part of the document is text of the
// document, so a large template is not read twice to learn that.
int templateLineCount(const QByteArray &text, int codePage, int enough)
{
    richtext::ImportOptions options;
    options.defaultCodePage = codePage;
    const auto count = [&](QByteArrayView part) {
        const QString plain = richtext::isRtf(part) ? richtext::rtfToPlainText(part, options)
                                                    : richtext::decodePlainText(part, codePage);
        return InformationFile::fromText(plain).count();
    };
    constexpr qsizetype head = 65536;
    if (text.size() > head) {
        const int lines = count(QByteArrayView(text).first(head));
        if (lines >= enough)
            return lines;
    }
    return count(text);
}

QString outputPathFor(const QString &pattern, const QString &informationPath)
{
    QString path = pattern;
    return path.replace(QLatin1String("{name}"), QFileInfo(informationPath).completeBaseName());
}

QString samePathKey(const QString &path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

// The finished document as a web page, titled with the page's file name.
QByteArray htmlPage(const QByteArray &rtf, const QString &target)
{
    std::istringstream input(rtf.toStdString());
    std::ostringstream output;
    html::Options options;
    options.title = QFileInfo(target).fileName().toStdString();
    html::rtfToHtml(input, output, options);
    return QByteArray::fromStdString(output.str());
}

} // namespace

int runMergeCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    Arguments arguments;
    QString problem;
    if (!parseArguments(args, arguments, problem)) {
        err << prefix << problem << "\n";
        printUsage(err);
        return 1;
    }
    if (arguments.help) {
        printUsage(out);
        return 0;
    }

    const QString suffix = QFileInfo(arguments.output).suffix().toLower();
    const bool htmlOutput = suffix == QLatin1String("html") || suffix == QLatin1String("htm");
    if (suffix == QLatin1String("pdf")) {
        err << prefix << arguments.output << ": writing " << suffix.toUpper()
            << " is not available yet; write an .rtf file\n";
        return 1;
    }
    if (arguments.informationPaths.size() > 1
        && !arguments.output.contains(QLatin1String("{name}"))) {
        err << prefix << "with more than one Information file the output name must hold {name}\n";
        return 1;
    }

    // Every output must be a file of its own that replaces no input.
    QSet<QString> inputs { samePathKey(arguments.templatePath) };
    for (const QString &path : std::as_const(arguments.informationPaths))
        inputs.insert(samePathKey(path));
    QSet<QString> outputs;
    for (const QString &path : std::as_const(arguments.informationPaths)) {
        const QString target = outputPathFor(arguments.output, path);
        const QString key = samePathKey(target);
        if (inputs.contains(key)) {
            err << prefix << target << ": the output would replace an input file\n";
            return 1;
        }
        if (outputs.contains(key)) {
            err << prefix << target << ": two Information files would write the same output\n";
            return 1;
        }
        outputs.insert(key);
    }

    const LoadedFile loaded = loadFileToString(arguments.templatePath);
    if (!loaded.ok) {
        report(err, arguments.templatePath, messages::cannotOpenFile(arguments.templatePath),
            loaded.errorString);
        return 1;
    }
    const int codePage = templateCodePage(loaded.text);
    // Without a window a one-line template is a template all the same; only
    // an empty one means there is nothing to merge.
    if (templateLineCount(loaded.text, codePage, 1) < 1) {
        report(err, arguments.templatePath, messages::noTemplateFile());
        return 1;
    }

    const ValueEncoder encoder = makeValueEncoder(
        [codePage](QChar c) { return richtext::codepage::canEncode(c, codePage); },
        [codePage](QStringView run) { return richtext::codepage::fromUnicode(run, codePage); });
    const TextDecoder decoder = [codePage](QByteArrayView bytes) {
        return richtext::codepage::toUnicode(bytes, codePage);
    };
    MergeOptions options;
    options.overwrite = arguments.overwrite;

    // All merges first, each into an uncommitted file: any problem leaves no
    // output behind.
    std::vector<std::unique_ptr<QSaveFile>> files;
    QStringList counts;
    for (const QString &path : std::as_const(arguments.informationPaths)) {
        QFile input(path);
        if (!input.open(QIODevice::ReadOnly)) {
            report(err, path, messages::cannotOpenFile(path), input.errorString());
            return 1;
        }
        const InformationFile information = InformationFile::fromBytes(input.readAll(), decoder);
        if (information.count() < 2) {
            report(err, path, messages::noInformationFile());
            return 1;
        }
        if (const auto oddLines = information.lineCountProblem()) {
            report(err, path, *oddLines, QStringLiteral("%1 lines").arg(information.count()));
            return 1;
        }
        const MergeResult result = MergeEngine(information, encoder, options).merge(loaded.text);
        if (!result.ok()) {
            report(err, path, *result.failure, result.detail);
            return 1;
        }
        const QString target = outputPathFor(arguments.output, path);
        const QByteArray bytes = htmlOutput ? htmlPage(result.text, target) : result.text;
        auto file = std::make_unique<QSaveFile>(target);
        if (!file->open(QIODevice::WriteOnly) || file->write(bytes) != bytes.size()) {
            err << prefix << target << ": cannot write: " << file->errorString() << "\n";
            return 1;
        }
        files.push_back(std::move(file));
        counts << messages::mergeDone(result.replacements).title + QStringLiteral(": ") + target;
    }
    for (const auto &file : files) {
        if (!file->commit()) {
            err << prefix << file->fileName() << ": cannot write: " << file->errorString() << "\n";
            return 1;
        }
    }
    for (const QString &line : std::as_const(counts))
        out << line << "\n";
    return 0;
}
