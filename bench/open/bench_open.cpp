// Times File > Open of large documents in the main window: the bare import
// (RTF read into a QTextDocument that is never laid out), then the window's
// own path (the Open item, its file dialog answered by a script) up to the
// first paint of the document pane, then the rest of the layout, which must
// run in the background without holding up the event loop.
//
//   bench_open FILE.rtf...
//
// Make the files with bench/pdf/make_document.py; run headless with
// QT_QPA_PLATFORM=offscreen.

#include "app/dialogs/dialogs.h"
#include "app/mainform.h"
#include "app/quorinapplication.h"
#include "app/windowsettings.h"
#include "editor/richeditor.h"
#include "richtext/documentio.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QTimer>

#include <cstdio>

namespace {

double ms(const QElapsedTimer &timer)
{
    return timer.nsecsElapsed() / 1e6;
}

// Notes the first paint of a widget after arm().
struct PaintWatch : QObject
{
    bool painted = true;
    void arm() { painted = false; }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

double importMs(const QByteArray &bytes)
{
    QTextDocument document;
    QTextCursor cursor(&document);
    QElapsedTimer timer;
    timer.start();
    richtext::readDocumentBytes(cursor, bytes);
    return ms(timer);
}

// The whole document has been laid out once its last paragraph has lines.
bool laidOut(const QTextDocument &document)
{
    const QTextLayout *layout = document.lastBlock().layout();
    return layout && layout->lineCount() > 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QuorinApplication app(argc, argv);
    const QStringList files = app.arguments().mid(1);
    if (files.isEmpty()) {
        std::fputs("usage: bench_open FILE.rtf...\n", stderr);
        return 2;
    }

    QTemporaryDir settings;
    WindowSettings::setFileName(settings.filePath(QStringLiteral("quorin.ini")));
    auto scripted = std::make_unique<ScriptedDialogs>();
    ScriptedDialogs *dialogs = scripted.get();
    MainForm form(std::move(scripted));
    form.setStartupTipHook({});
    form.resize(1024, 768);
    form.show();
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 300)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);

    RichEditor *editor = form.richEditEx1();
    PaintWatch watch;
    editor->viewport()->installEventFilter(&watch);
    QAction *open = form.action(QStringLiteral("FileOpenItem"));

    std::printf("%-28s %8s %9s %9s %11s %10s %9s\n", "file", "MB", "import", "open",
                "first paint", "laid out", "max stall");
    for (const QString &file : files) {
        QFile in(file);
        if (!in.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(file));
            return 1;
        }
        const QByteArray bytes = in.readAll();
        const double import = importMs(bytes);

        dialogs->setNextFileName(file);
        watch.arm();
        QElapsedTimer timer;
        timer.start();
        open->trigger();
        const double opened = ms(timer);
        while (!watch.painted)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        const double firstPaint = ms(timer);

        // The rest is laid out in steps; a zero timer fires once per pass of
        // the event loop, so the longest gap between two is the longest time
        // the window could not answer.
        double lastTick = ms(timer);
        double maxStall = 0;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const double now = ms(timer);
            maxStall = qMax(maxStall, now - lastTick);
            lastTick = now;
        });
        tick.start(0);
        const QTextDocument &document = *editor->document();
        while (!laidOut(document) && timer.elapsed() < 120000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        tick.stop();
        const double done = ms(timer);

        std::printf("%-28s %8.1f %7.0fms %7.0fms %9.0fms %8.0fms %7.0fms\n",
                    qPrintable(QFileInfo(file).fileName()), bytes.size() / 1e6, import, opened,
                    firstPaint, done, maxStall);
        std::fflush(stdout);
    }
    for (const QString &error : dialogs->errors())
        std::fprintf(stderr, "error: %s\n", qPrintable(error));
    if (dialogs->unexpected() > 0)
        std::fprintf(stderr, "%d unexpected questions\n", dialogs->unexpected());
    return 0;
}
