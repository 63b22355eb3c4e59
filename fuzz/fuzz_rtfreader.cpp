// libFuzzer harness for the RTF reader: builds a QTextDocument from the
// bytes, lays it out as the editor would, and reads the bytes as plain text.
//
//   build-fuzz/fuzz/fuzz_rtfreader -detect_leaks=0 -max_total_time=180 corpus-copy/
//
// (fontconfig keeps caches that LeakSanitizer reports as leaks; leaks of
// our own would show in the tests run under the sanitizers.)

#include "richtext/rtfimport.h"

#include <QAbstractTextDocumentLayout>
#include <QByteArray>
#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // Layout needs fonts, and fonts need a GUI application; the offscreen
    // platform needs no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int appArgc = 1;
    static char *appArgv[] = {(*argc > 0) ? (*argv)[0] : const_cast<char *>("fuzz"), nullptr};
    static QGuiApplication app(appArgc, appArgv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    // Most mutations would stop being RTF at the first byte; keep them RTF
    // so that the reader, not the plain-text path, gets the work.
    if (!richtext::isRtf(bytes))
        bytes.prepend("{\\rtf1 ");

    richtext::ImportOptions options;
    options.defaultCodePage = size % 3 == 0 ? 932 : 1252; // double-byte paths too
    options.plainRtf = size % 5 == 0;

    QTextDocument doc;
    doc.setUndoRedoEnabled(false);
    QTextCursor cursor(&doc);
    richtext::insertRtf(cursor, bytes, options);
    doc.setTextWidth(400);
    doc.documentLayout()->documentSize();

    richtext::rtfToPlainText(bytes, options);
    richtext::decodePlainText(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)),
                              options.defaultCodePage);
    return 0;
}
