// Times the rich-text engine on rich-edit style RTF of about 1 MB and 10 MB
// (formatting runs, merge tokens, bullets, tables): load into a
// QTextDocument, the first screen and the first printed page after loading,
// save, conversion to plain text, and the peak memory of the process.
//
//   bench_rtf [--out DIR] [--sizes 1,10] [--generate-only]
//
// With --out the generated files stay in DIR (compare_rtf.sh feeds them to
// other converters). Run headless with QT_QPA_PLATFORM=offscreen.

#include "richtext/formatrange.h"
#include "richtext/pagerenderer.h"
#include "richtext/rtfexport.h"
#include "richtext/rtfimport.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTextCursor>
#include <QTextDocument>

#include <sys/resource.h>

#include <cstdio>

namespace {

struct Counts
{
    int paragraphs = 0;
    int runs = 0;
    int tables = 0;
};

// A document the way a rich-edit control writes one: delta formatting,
// \pard only where paragraph properties change, bullets in the \pn form.
QByteArray generate(qsizetype target, Counts *counts)
{
    QByteArray rtf;
    rtf.reserve(target + 4096);
    rtf += "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
           "{\\f1\\fnil\\fcharset2 Symbol;}{\\f2\\froman\\fcharset0 Times New Roman;}}\r\n"
           "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\r\n"
           "\\viewkind4\\uc1\\pard\\f0\\fs20 ";
    int n = 0;
    while (rtf.size() < target) {
        ++n;
        if (n % 60 == 0) {
            for (int r = 0; r < 3; ++r) {
                rtf += "\\trowd\\trgaph108\\trleft-108\\cellx3000\\cellx6000\\cellx9000"
                       "\\pard\\intbl cell \\b @";
                rtf += QByteArray::number(r + 1);
                rtf += "\\b0 \\cell second\\cell third \\i it\\i0\\cell\\row\r\n";
                counts->runs += 6;
            }
            rtf += "\\pard ";
            ++counts->tables;
            continue;
        }
        if (n % 10 < 3) {
            rtf += "\\pard{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'B7}}"
                   "\\fi-360\\li360 Item ";
            rtf += QByteArray::number(n);
            rtf += " with \\b bold\\b0  words and a token @";
            rtf += QByteArray::number(n % 40 + 1);
            rtf += ".\\par\r\n\\pard ";
            counts->runs += 3;
            ++counts->paragraphs;
            continue;
        }
        rtf += "Paragraph ";
        rtf += QByteArray::number(n);
        rtf += " of the agreement between \\b @1\\b0  and \\i @2\\i0 , dated \\cf1 @";
        rtf += QByteArray::number(n % 40 + 3);
        rtf += "\\cf0 ; the parties agree as follows: \\ul caf\\'e9\\ulnone  terms, "
               "\\f2\\fs24 set in Times\\f0\\fs20  and plain text to the end.\\par\r\n";
        counts->runs += 9;
        ++counts->paragraphs;
    }
    rtf += "}\r\n";
    return rtf;
}

double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

struct Figures
{
    double loadMs = 0;
    double screenMs = 0;
    double pageMs = 0;
    double saveMs = 0;
    double textMs = 0;
    double peakMb = 0;
    qsizetype savedBytes = 0;
};

Figures measure(const QByteArray &rtf)
{
    Figures f;
    QElapsedTimer timer;
    QTextDocument doc;
    {
        timer.start();
        QTextCursor cursor(&doc);
        richtext::insertRtf(cursor, rtf);
        f.loadMs = timer.nsecsElapsed() / 1e6;
    }
    {
        // The first screen of an editor window: 800 x 600, laid out as far
        // as the screen needs.
        timer.start();
        QImage screen(800, 600, QImage::Format_RGB32);
        screen.fill(Qt::white);
        QPainter painter(&screen);
        doc.setTextWidth(800);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = QRectF(0, 0, 800, 600);
        doc.documentLayout()->draw(&painter, context);
        f.screenMs = timer.nsecsElapsed() / 1e6;
    }
    {
        // The first printed page: A4 with 25 mm margins at 300 dpi.
        timer.start();
        QImage page(2480, 3508, QImage::Format_RGB32);
        page.setDotsPerMeterX(11811);
        page.setDotsPerMeterY(11811);
        page.fill(Qt::white);
        QPainter painter(&page);
        richtext::PageRenderer renderer(doc);
        renderer.formatRange(&painter, QRectF(1417, 1417, 9071, 13004), 0);
        f.pageMs = timer.nsecsElapsed() / 1e6;
    }
    {
        timer.start();
        const QByteArray saved = richtext::toRtf(doc);
        f.saveMs = timer.nsecsElapsed() / 1e6;
        f.savedBytes = saved.size();
    }
    {
        timer.start();
        const QString text = richtext::rtfToPlainText(rtf);
        f.textMs = timer.nsecsElapsed() / 1e6;
        if (text.isEmpty())
            std::fprintf(stderr, "warning: plain-text conversion gave no text\n");
    }
    f.peakMb = peakMegabytes();
    return f;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    QString outDir;
    QList<int> sizes{1, 10};
    bool generateOnly = false;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--out") && i + 1 < args.size()) {
            outDir = args[++i];
        } else if (args[i] == QLatin1String("--sizes") && i + 1 < args.size()) {
            sizes.clear();
            for (const QString &s : args[++i].split(QLatin1Char(',')))
                sizes << s.toInt();
        } else if (args[i] == QLatin1String("--generate-only")) {
            generateOnly = true;
        } else {
            std::fprintf(stderr, "usage: bench_rtf [--out DIR] [--sizes 1,10] [--generate-only]\n");
            return 2;
        }
    }
    if (!outDir.isEmpty())
        QDir().mkpath(outDir);

    std::printf("%-6s %9s %9s %7s %6s %9s %9s %9s %9s %9s %9s\n", "file", "bytes", "paras",
                "runs", "tables", "load ms", "screen ms", "page ms", "save ms", "text ms",
                "peak MB");
    for (int mb : sizes) {
        Counts counts;
        const QByteArray rtf = generate(qsizetype(mb) * 1024 * 1024, &counts);
        const QString name = QStringLiteral("bench_%1mb.rtf").arg(mb);
        if (!outDir.isEmpty()) {
            QFile file(QDir(outDir).filePath(name));
            if (!file.open(QIODevice::WriteOnly) || file.write(rtf) != rtf.size()) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
                return 1;
            }
        }
        if (generateOnly)
            continue;
        const Figures f = measure(rtf);
        std::printf("%-6s %9lld %9d %7d %6d %9.0f %9.0f %9.0f %9.0f %9.0f %9.0f\n",
                    qPrintable(QStringLiteral("%1MB").arg(mb)), static_cast<long long>(rtf.size()),
                    counts.paragraphs, counts.runs, counts.tables, f.loadMs, f.screenMs, f.pageMs,
                    f.saveMs, f.textMs, f.peakMb);
        std::fflush(stdout);
    }
    return 0;
}
