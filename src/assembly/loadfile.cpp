#include "assembly/loadfile.h"

#include "assembly/largebuffer.h"

#include <QFile>

#include <algorithm>
#include <cstring>

namespace assembly {

QByteArray normalizeLineEnds(QByteArray bytes)
{
    // A QByteArray keeps a NUL after its data, so the C string functions stop
    // at the first NUL of the text or at its end, whichever comes first;
    // strcspn is vectorised, which keeps this pass near memory speed.
    const char *begin = bytes.constData();
    const char *p = begin; // where the current line starts
    BufferWriter out; // not started while the text needs no change
    const char *copiedUpTo = begin;

    for (;;) {
        const char *end = p + std::strcspn(p, "\r\n");
        if (*end == '\0') {
            // Text after the last line end is a line without one.
            const bool lastLineOpen = end > p;
            if (!out.started()) {
                const qsizetype length = end - begin;
                if (length == bytes.size() && !lastLineOpen)
                    return bytes;
                bytes.truncate(length);
                if (lastLineOpen)
                    bytes.append("\r\n", 2);
                return bytes;
            }
            out.append(copiedUpTo, end - copiedUpTo);
            if (lastLineOpen)
                out.append("\r\n", 2);
            return out.take();
        }
        if (end[0] == '\r' && end[1] == '\n') {
            p = end + 2;
            continue;
        }
        // A lone CR or LF: from here on the text is rebuilt.
        if (!out.started())
            out.start(bytes.size() + bytes.size() / 16 + 2);
        out.append(copiedUpTo, end - copiedUpTo);
        out.append("\r\n", 2);
        p = end + 1;
        copiedUpTo = p;
    }
}

LoadedFile loadFileToString(const QString &path)
{
    LoadedFile result;
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        result.errorString = path.isEmpty() ? QStringLiteral("No file name") : file.errorString();
        return result;
    }
    // Read straight into one buffer of the file's size; a file that grows
    // meanwhile is read to its end all the same.
    QByteArray bytes = uninitializedBuffer(std::max<qint64>(file.size(), 0) + 1);
    qsizetype filled = 0;
    for (;;) {
        if (filled == bytes.size())
            growBuffer(bytes, bytes.size() + bytes.size() / 2 + 65536);
        const qint64 n = file.read(bytes.data() + filled, bytes.size() - filled);
        if (n < 0) {
            result.errorString = file.errorString();
            return result;
        }
        if (n == 0)
            break;
        filled += n;
    }
    bytes.resize(filled);
    result.text = normalizeLineEnds(std::move(bytes));
    result.ok = true;
    return result;
}

} // namespace assembly
