// Merge benchmark. Generates RTF templates (1 MB with 10,000 tokens, 50 MB
// with 1,000,000 tokens by default) and an Information file, then measures
//   - `cat` of the template to /dev/null: what reading the file costs at best;
//   - our merge: reading the template as the merge does, and merging it;
//   - the plain rescanning loop (rescan from the start after every
//     replacement), stopped after a time limit and projected from there.
//
//   bench_merge [--dir DIR] [--rescan-seconds S] [--runs N] [SIZE_MB:TOKENS ...]
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "assembly/informationfile.h"
#include "assembly/loadfile.h"
#include "assembly/mergeengine.h"
#include "assembly/rescanningmerge.h"

using namespace assembly;

namespace {

constexpr int entryCount = 200;

QStringList informationLines()
{
    QStringList lines;
    for (int i = 1; i <= entryCount; ++i)
        lines << QStringLiteral("Heading %1").arg(i) << QStringLiteral("Value of entry %1").arg(i);
    return lines;
}

// An RTF document of about `bytes` bytes holding `tokens` tokens, spread
// evenly through paragraphs of text, with CR LF line ends as rich-edit
// controls write them.
QByteArray makeTemplate(qint64 bytes, qint64 tokens)
{
    const QByteArray head = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\r\n"
                            "\\viewkind4\\uc1\\pard\\f0\\fs20 ";
    // Per token: "@N " and text, with "\\par" and a line end every 70 or so
    // characters of text.
    const qint64 perToken = (bytes - head.size()) / std::max<qint64>(1, tokens);
    const qint64 gap = std::max<qint64>(8, (perToken - 6) * 70 / 78);
    const QByteArray filler = "The party of the first part agrees that the said premises, ";
    QByteArray text;
    text.reserve(bytes + bytes / 10);
    text += head;
    qint64 column = 0;
    for (qint64 t = 0; t < tokens; ++t) {
        text += '@';
        text += QByteArray::number(t % entryCount + 1);
        text += ' ';
        for (qint64 written = 0; written < gap;) {
            const qint64 n = std::min<qint64>(gap - written, filler.size());
            text.append(filler.constData(), n);
            written += n;
            column += n;
            if (column > 70) {
                text += "\\par\r\n";
                column = 0;
            }
        }
    }
    // Bring the document to the size asked for.
    const QByteArray tail = "\\par\r\n}\r\n";
    while (text.size() + tail.size() < bytes) {
        text.append(
            filler.constData(), std::min<qint64>(filler.size(), bytes - tail.size() - text.size()));
        if (text.size() + tail.size() < bytes)
            text += "\\par\r\n";
    }
    text += tail;
    return text;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double catSeconds(const QString &path, int runs)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QProcess cat;
        cat.setStandardOutputFile(QProcess::nullDevice());
        QElapsedTimer clock;
        clock.start();
        cat.start(QStringLiteral("cat"), { path });
        cat.waitForFinished(-1);
        times.push_back(clock.nsecsElapsed() / 1e9);
    }
    return *std::min_element(times.begin(), times.end());
}

QString rate(double bytes, double seconds)
{
    const double mb = bytes / seconds / 1e6;
    return QString::number(mb, 'f', mb < 10 ? 2 : 0) + QStringLiteral(" MB/s");
}

QString duration(double seconds)
{
    if (seconds < 1)
        return QString::number(seconds * 1000, 'f', 1) + QStringLiteral(" ms");
    if (seconds < 120)
        return QString::number(seconds, 'f', 1) + QStringLiteral(" s");
    if (seconds < 7200)
        return QString::number(seconds / 60, 'f', 1) + QStringLiteral(" min");
    return QString::number(seconds / 3600, 'f', 1) + QStringLiteral(" h");
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QStringList args = app.arguments().mid(1);
    QString dirPath;
    int rescanSeconds = 60;
    int runs = 5;
    QList<QPair<qint64, qint64>> cases;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--dir") && i + 1 < args.size())
            dirPath = args[++i];
        else if (args[i] == QLatin1String("--rescan-seconds") && i + 1 < args.size())
            rescanSeconds = args[++i].toInt();
        else if (args[i] == QLatin1String("--runs") && i + 1 < args.size())
            runs = std::max(1, args[++i].toInt());
        else if (args[i].contains(QLatin1Char(':')))
            cases.append({ args[i].section(QLatin1Char(':'), 0, 0).toLongLong() << 20,
                args[i].section(QLatin1Char(':'), 1, 1).toLongLong() });
        else {
            out << "usage: bench_merge [--dir DIR] [--rescan-seconds S] [--runs N] "
                   "[SIZE_MB:TOKENS ...]\n";
            return 2;
        }
    }
    if (cases.isEmpty())
        cases = { { qint64(1) << 20, 10000 }, { qint64(50) << 20, 1000000 } };

    QTemporaryDir temporary;
    const QDir dir(dirPath.isEmpty() ? temporary.path() : dirPath);
    const InformationFile info(informationLines());

    for (const auto &[bytes, tokens] : cases) {
        const QByteArray text = makeTemplate(bytes, tokens);
        const QString path
            = dir.filePath(QStringLiteral("bench-%1MB-%2.tem").arg(bytes >> 20).arg(tokens));
        {
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) {
                out << "cannot write " << path << "\n";
                return 1;
            }
        }
        const double size = text.size();
        out << "\n== template " << QString::number(size / 1e6, 'f', 1) << " MB, " << tokens
            << " tokens (" << path << ")\n";

        const double cat = catSeconds(path, runs);
        out << "  cat > /dev/null        " << duration(cat).rightJustified(10) << "  "
            << rate(size, cat).rightJustified(12) << "\n";

        // Ours: read as the merge reads (line ends made CR LF), then merge.
        std::vector<double> total, mergeOnly;
        MergeResult result;
        for (int i = 0; i < runs; ++i) {
            QElapsedTimer clock;
            clock.start();
            const LoadedFile loaded = loadFileToString(path);
            const qint64 loadedAt = clock.nsecsElapsed();
            result = MergeEngine(info, latin1ValueEncoder()).merge(loaded.text);
            const qint64 end = clock.nsecsElapsed();
            total.push_back(end / 1e9);
            mergeOnly.push_back((end - loadedAt) / 1e9);
            if (!result.ok()) {
                out << "merge failed: " << result.failure->text << "\n";
                return 1;
            }
        }
        const double best = *std::min_element(total.begin(), total.end());
        const double bestMerge = *std::min_element(mergeOnly.begin(), mergeOnly.end());
        out << "  read + merge           " << duration(best).rightJustified(10) << "  "
            << rate(size, best).rightJustified(12) << "  " << QString::number(best / cat, 'f', 1)
            << " x cat   (median " << duration(median(total)) << ", first " << duration(total[0])
            << ")\n";
        out << "  merge of the read text " << duration(bestMerge).rightJustified(10) << "  "
            << rate(size, bestMerge).rightJustified(12) << "  "
            << QString::number(bestMerge / cat, 'f', 1) << " x cat   (median "
            << duration(median(mergeOnly)) << ", " << result.replacements
            << " replacements, result " << QString::number(result.text.size() / 1e6, 'f', 1)
            << " MB)\n";
        out.flush();

        // The rescanning loop on the same text, stopped after the time limit.
        const LoadedFile loaded = loadFileToString(path);
        RescanLimits limits;
        limits.timeLimitMs = qint64(rescanSeconds) * 1000;
        const RescanResult rescan
            = rescanningMerge(loaded.text, info, latin1ValueEncoder(), false, limits);
        const double seconds = rescan.elapsedMs / 1e3;
        const qint64 done = rescan.merge.replacements;
        if (!rescan.stopped) {
            out << "  rescanning loop        " << duration(seconds).rightJustified(10) << "  "
                << rate(size, seconds).rightJustified(12) << "   "
                << QString::number(seconds / best, 'f', 0)
                << " x ours, same result: " << (rescan.merge.text == result.text ? "yes" : "NO")
                << "\n";
        } else {
            // Every pass scans to the token and moves the rest of the text,
            // so each replacement costs about the same: project linearly.
            const double projected = done > 0 ? seconds * double(tokens) / double(done) : 0;
            out << "  rescanning loop        stopped after " << duration(seconds) << " at " << done
                << " of " << tokens << " replacements; projected " << duration(projected) << " ("
                << rate(size, projected) << ", " << QString::number(projected / best, 'g', 3)
                << " x ours)\n";
        }
        out.flush();
        if (dirPath.isEmpty())
            QFile::remove(path);
    }
    return 0;
}
