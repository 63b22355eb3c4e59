// Times richtext::PageRenderer printing a document to a QPdfWriter the way
// documents::exportPdf does: how long the first page takes (what a print
// preview waits for), how long all pages take, and the peak memory.
//
//   bench_pagerenderer FILE.rtf [--pages N] [--resolution DPI] [--window CHARS]
//                      [--out FILE.pdf] [--starts FILE.txt] [--measure-only]
//
// --window sets how much of the document one layout copy holds (0: all of
// it); --starts writes each page's first character, one a line, to compare
// the pages of two runs; --measure-only cuts the pages without drawing them
// (what layout alone costs).
// make_document.py writes the 1 MB and 10 MB documents run_pdf_bench.sh uses.
// Run headless with QT_QPA_PLATFORM=offscreen.

#include "documents/documentreader.h"
#include "richtext/pagerenderer.h"
#include "richtext/pagesetup.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>

#include <sys/resource.h>

#include <cstdio>

namespace {

long peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// Processor time of the process in ms: steadier than the clock on a machine
// that other work shares.
double cpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
           + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

// The page exportPdf gives a document: its own paper and margins, in points.
QPageLayout pageLayout(const richtext::PageSetup &page)
{
    const bool wide = page.paperWidth > page.paperHeight;
    const QSizeF portrait(qMin(page.paperWidth, page.paperHeight) / 20.0,
                          qMax(page.paperWidth, page.paperHeight) / 20.0);
    const QMarginsF margins(page.marginLeft / 20.0, page.marginTop / 20.0, page.marginRight / 20.0,
                            page.marginBottom / 20.0);
    return QPageLayout(QPageSize(portrait, QPageSize::Point),
                       wide ? QPageLayout::Landscape : QPageLayout::Portrait, margins,
                       QPageLayout::Point);
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    const char *usage = "usage: bench_pagerenderer FILE.rtf [--pages N] [--resolution DPI] [--window CHARS]\n"
                        "                          [--out FILE.pdf] [--starts FILE.txt] [--measure-only]\n";
    if (args.size() < 2) {
        std::fputs(usage, stderr);
        return 2;
    }
    int maxPages = 1 << 30;
    int resolution = 1200;
    int window = -1;
    bool draw = true;
    QString out;
    QString startsPath;
    for (int i = 2; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (arg == u"--measure-only") {
            draw = false;
            continue;
        }
        if (i + 1 >= args.size()) {
            std::fputs(usage, stderr);
            return 2;
        }
        const QString value = args[++i];
        if (arg == u"--pages")
            maxPages = value.toInt();
        else if (arg == u"--resolution")
            resolution = value.toInt();
        else if (arg == u"--window")
            window = value.toInt();
        else if (arg == u"--out")
            out = value;
        else if (arg == u"--starts")
            startsPath = value;
        else {
            std::fputs(usage, stderr);
            return 2;
        }
    }

    QFile file(args[1]);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(args[1]));
        return 1;
    }
    QElapsedTimer timer;
    timer.start();
    QTextDocument document;
    documents::readDocument(document, file.readAll());
    const double loadMs = timer.nsecsElapsed() / 1e6;

    const richtext::PageSetup page = richtext::pageSetup(document);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(resolution);
    writer.setPageLayout(pageLayout(page));
    QPainter painter(&writer);
    const QRectF text(QPointF(0, 0), page.textRect().size());

    timer.start();
    const double cpuStart = cpuMs();
    richtext::PageRenderer renderer(document);
    const int count = document.characterCount();
    if (window >= 0)
        renderer.setWindow(window == 0 ? count : window);
    QList<int> starts;
    double firstMs = 0;
    double slowestMs = 0;
    int pages = 0;
    QElapsedTimer pageTimer;
    for (int first = 0;;) {
        starts << first;
        pageTimer.start();
        const int next = renderer.formatRange(&painter, text, first, draw);
        const double ms = pageTimer.nsecsElapsed() / 1e6;
        if (++pages == 1)
            firstMs = ms;
        else
            slowestMs = qMax(slowestMs, ms);
        if (next >= count || next <= first || pages >= maxPages)
            break;
        writer.newPage();
        first = next;
    }
    painter.end();
    const double allMs = timer.nsecsElapsed() / 1e6;
    const double allCpuMs = cpuMs() - cpuStart;
    buffer.close();
    if (!out.isEmpty()) {
        QFile pdf(out);
        if (pdf.open(QIODevice::WriteOnly))
            pdf.write(bytes);
    }
    if (!startsPath.isEmpty()) {
        QFile file(startsPath);
        if (file.open(QIODevice::WriteOnly | QIODevice::Text)) {
            for (int start : std::as_const(starts))
                file.write(QByteArray::number(start) + '\n');
        }
    }
    std::printf("characters %d, load %.0f ms\n", count, loadMs);
    std::printf("first page %.1f ms, slowest later page %.1f ms\n", firstMs, slowestMs);
    std::printf("%d pages in %.0f ms (%.1f ms a page; processor %.0f ms), PDF %lld KB, peak %ld MB\n",
                pages, allMs, allMs / qMax(1, pages), allCpuMs, qlonglong(bytes.size() / 1024),
                peakMegabytes());
    return 0;
}
