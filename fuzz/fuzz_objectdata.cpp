// libFuzzer harness for embedded objects: the object stream decoder on the
// raw bytes, and the same bytes as an RTF object's data read into a
// document, written out and read again.
//
//   cp -r tests/data/fuzz/objectdata corpus-copy
//   build-fuzz/fuzz/fuzz_objectdata -detect_leaks=0 -max_total_time=900 corpus-copy/
//
// (the seeds: an embedded file, a link, an object of another class)
//
// Besides crashes it stops on two broken promises: an object that decodes
// must decode to the same object after being written again, and an
// object's bytes must come back from a save and a load as they were read.

#include "richtext/oleobject.h"
#include "richtext/rtfexport.h"
#include "richtext/rtfimport.h"
#include "richtext/textkinds.h"
#include "richtext/textproperties.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// The object's data and the result picture kept with it.
struct Kept
{
    QByteArray data;
    QByteArray result;
    bool operator==(const Kept &) const = default;
};

Kept firstObject(const QTextDocument &document)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (richtext::objectKind(format) == richtext::ObjectKind::Object)
                return {format.property(richtext::prop::ObjectData).toByteArray(),
                        format.property(richtext::prop::ObjectResultData).toByteArray()};
        }
    }
    return {};
}

Kept readBack(const QByteArray &rtf, QTextDocument &document)
{
    QTextCursor cursor(&document);
    richtext::insertRtf(cursor, rtf);
    return firstObject(document);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int appArgc = 1;
    static char *appArgv[] = {(*argc > 0) ? (*argv)[0] : const_cast<char *>("fuzz"), nullptr};
    static QGuiApplication app(appArgc, appArgv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    if (const auto object = richtext::ole::decode(bytes)) {
        const auto again = richtext::ole::decode(richtext::ole::encode(*object));
        if (!again || !(*again == *object))
            std::abort();
    }

    // The bytes as an object's data; every third input with a result
    // picture made of the same bytes, every fifth with one of a kind that
    // is kept rather than shown.
    QByteArray rtf = "{\\rtf1\\ansi x{\\object\\objemb{\\*\\objname a@1}{\\*\\objdata " + bytes.toHex() + "}";
    if (size % 3 == 0)
        rtf += "{\\result{\\pict\\pngblip " + bytes.toHex() + "}}";
    else if (size % 5 == 0)
        rtf += "{\\result{\\pict\\wmetafile8\\picw100\\pich50 " + bytes.toHex() + "}}";
    rtf += "}y\\par}";
    QTextDocument first;
    const Kept kept = readBack(rtf, first);
    if (kept.data != bytes && !bytes.isEmpty())
        std::abort();
    const QByteArray written = richtext::toRtf(first);
    if (written.contains("@1"))
        std::abort(); // a merge would take the name for a token
    QTextDocument second;
    if (readBack(written, second) != kept)
        std::abort();
    return 0;
}
