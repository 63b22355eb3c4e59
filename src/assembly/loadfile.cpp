#include "assembly/loadfile.h"

#include "assembly/largebuffer.h"
#include "assembly/mergetext.h"
#include "assembly/valueencoder.h"

#include <QFile>
#include <QStringDecoder>

#include <algorithm>
#include <cstring>

namespace assembly {

namespace {

    // The 8-bit text a word processor would have saved instead.
    QByteArray fromUtf16(QStringView text)
    {
        if (!isRtfTemplate(text.left(5).toLatin1()))
            return text.toUtf8();
        QByteArray bytes;
        bytes.reserve(text.size());
        for (const QChar c : text) {
            if (c.unicode() < 0x80)
                bytes += char(c.unicode());
            else
                bytes += unicodeEscape(c.unicode());
        }
        return bytes;
    }

    // Offset of a NUL that has something other than NULs after it, -1 when
    // there is none; `end` is set to where the NUL padding starts.
    template <typename Char> qsizetype strayNul(const Char *begin, qsizetype size, qsizetype &end)
    {
        const Char *stop = begin + size;
        const Char *nul;
        if constexpr (sizeof(Char) == 1) // a template of many megabytes: memchr is vectorised
            nul = static_cast<const Char *>(std::memchr(begin, 0, size_t(size)));
        else
            nul = std::find(begin, stop, Char(0));
        if (!nul)
            nul = stop;
        end = nul - begin;
        const Char *after = std::find_if(nul, stop, [](Char c) { return c != Char(0); });
        return after == stop ? -1 : end;
    }

} // namespace

ByteOrderMark findByteOrderMark(QByteArrayView bytes)
{
    using E = ByteOrderMark::Encoding;
    if (bytes.startsWith("\xef\xbb\xbf"))
        return { E::Utf8, 3 };
    if (bytes.startsWith("\xff\xfe"))
        return { E::Utf16LE, 2 };
    if (bytes.startsWith("\xfe\xff"))
        return { E::Utf16BE, 2 };
    return {};
}

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
    return readTemplateText(std::move(bytes));
}

LoadedFile readTemplateText(QByteArray bytes)
{
    using E = ByteOrderMark::Encoding;
    LoadedFile result;
    const ByteOrderMark bom = findByteOrderMark(bytes);
    qsizetype end = 0;
    qsizetype nul = -1;
    if (bom.encoding == E::Utf16LE || bom.encoding == E::Utf16BE) {
        QStringDecoder decoder(
            bom.encoding == E::Utf16LE ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
            QStringConverter::Flag::Stateless);
        const QString text = decoder.decode(QByteArrayView(bytes).sliced(bom.length));
        nul = strayNul(text.utf16(), text.size(), end);
        if (nul >= 0)
            nul = bom.length + 2 * nul;
        else
            bytes = fromUtf16(QStringView(text).left(end));
    } else {
        nul = strayNul(bytes.constData() + bom.length, bytes.size() - bom.length, end);
        if (nul >= 0) {
            nul += bom.length;
        } else {
            bytes.truncate(bom.length + end);
            bytes.remove(0, bom.length);
        }
    }
    if (nul >= 0) {
        result.failure = messages::templateHoldsNul(nul);
        result.errorString = QStringLiteral("NUL byte at byte %1").arg(nul);
        return result;
    }
    result.text = normalizeLineEnds(std::move(bytes));
    result.ok = true;
    return result;
}

} // namespace assembly
