#include "richtext/oleobject.h"

#include "richtext/codepage.h"

#include <QFileInfo>
#include <QStringDecoder>

namespace richtext::ole {

namespace {

constexpr quint32 oleVersion = 0x0501;
constexpr quint32 formatLinked = 1;
constexpr quint32 formatEmbedded = 2;
constexpr quint16 packageHeader = 2;
constexpr quint16 packageLink = 1;
constexpr quint16 packageFile = 3;
// Names longer than this are no names: a stream that claims one is damaged.
constexpr quint32 maxNameBytes = 65536;

// Reads little-endian fields off the front of the bytes; any read past the
// end fails and every later read fails too.
class Fields
{
public:
    explicit Fields(QByteArrayView data) : m_data(data) {}

    bool ok() const { return m_ok; }
    qsizetype left() const { return m_data.size() - m_pos; }

    quint32 u32()
    {
        const QByteArrayView b = take(4);
        if (b.size() != 4)
            return 0;
        return quint32(uchar(b[0])) | (quint32(uchar(b[1])) << 8) | (quint32(uchar(b[2])) << 16)
               | (quint32(uchar(b[3])) << 24);
    }
    quint16 u16()
    {
        const QByteArrayView b = take(2);
        return b.size() == 2 ? quint16(uchar(b[0]) | (uchar(b[1]) << 8)) : 0;
    }
    QByteArrayView take(qsizetype n)
    {
        if (!m_ok || n < 0 || n > left()) {
            m_ok = false;
            return {};
        }
        const QByteArrayView b = m_data.sliced(m_pos, n);
        m_pos += n;
        return b;
    }
    // A string with a 32-bit length that counts its closing NUL.
    QByteArray lengthPrefixed()
    {
        const quint32 n = u32();
        if (n == 0)
            return {};
        if (n > maxNameBytes) {
            m_ok = false;
            return {};
        }
        const QByteArrayView b = take(qsizetype(n));
        if (!m_ok || b.back() != '\0') {
            m_ok = false;
            return {};
        }
        // A C string: whatever follows an earlier NUL is no part of it.
        const QByteArrayView text = b.chopped(1);
        const qsizetype nul = text.indexOf('\0');
        return (nul < 0 ? text : text.first(nul)).toByteArray();
    }
    // A string up to its closing NUL.
    QByteArray terminated()
    {
        if (!m_ok)
            return {};
        const qsizetype end = m_data.indexOf('\0', m_pos);
        if (end < 0 || end - m_pos > qsizetype(maxNameBytes)) {
            m_ok = false;
            return {};
        }
        const QByteArray s = m_data.sliced(m_pos, end - m_pos).toByteArray();
        m_pos = end + 1;
        return s;
    }
    // A UTF-16 string with a 32-bit count of characters.
    std::optional<QString> utf16()
    {
        const quint32 n = u32();
        if (!m_ok || n > maxNameBytes)
            return std::nullopt;
        const QByteArrayView b = take(qsizetype(n) * 2);
        if (!m_ok)
            return std::nullopt;
        QString s(qsizetype(n), Qt::Uninitialized);
        for (qsizetype i = 0; i < qsizetype(n); ++i)
            s[i] = QChar(char16_t(uchar(b[2 * i]) | (uchar(b[2 * i + 1]) << 8)));
        return s;
    }

private:
    QByteArrayView m_data;
    qsizetype m_pos = 0;
    bool m_ok = true;
};

void put32(QByteArray &out, quint32 v)
{
    const char b[4] = {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
    out.append(b, 4);
}

void put16(QByteArray &out, quint16 v)
{
    const char b[2] = {char(v), char(v >> 8)};
    out.append(b, 2);
}

// A NUL inside a name would end it early for every reader.
QByteArray nameBytes(const QString &text)
{
    QByteArray bytes = text.toUtf8();
    bytes.replace('\0', '_');
    return bytes;
}

void putLengthPrefixed(QByteArray &out, const QString &text)
{
    if (text.isEmpty()) {
        put32(out, 0);
        return;
    }
    const QByteArray bytes = nameBytes(text);
    put32(out, quint32(bytes.size() + 1));
    out.append(bytes);
    out.append('\0');
}

void putTerminated(QByteArray &out, const QString &text)
{
    out.append(nameBytes(text));
    out.append('\0');
}

void putUtf16(QByteArray &out, const QString &text)
{
    put32(out, quint32(text.size()));
    for (const QChar ch : text)
        put16(out, ch.unicode());
}

// The 8-bit names: UTF-8 as Quorin writes them, else the Windows code page
// other programs wrote them in.
QString nameText(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return codepage::toUnicode(bytes, 1252);
}

QString fileNameOf(const QString &path)
{
    // Paths written on Windows use backslashes.
    QString name = path;
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return QFileInfo(name).fileName();
}

QByteArray packageData(const Object &object)
{
    const QString label = object.label.isEmpty() ? fileNameOf(object.sourcePath) : object.label;
    QByteArray native;
    put16(native, packageHeader);
    putTerminated(native, label);
    putTerminated(native, object.sourcePath);
    put16(native, 0);
    put16(native, packageFile);
    const QByteArray path = nameBytes(object.sourcePath);
    put32(native, quint32(path.size() + 1));
    native.append(path);
    native.append('\0');
    put32(native, quint32(object.contents.size()));
    native.append(object.contents);
    // The full names once more, in UTF-16.
    putUtf16(native, object.sourcePath);
    putUtf16(native, label);
    putUtf16(native, object.sourcePath);
    return native;
}

bool readPackage(QByteArrayView native, Object &object)
{
    Fields in(native);
    if (in.u16() != packageHeader)
        return false;
    object.label = nameText(in.terminated());
    object.sourcePath = nameText(in.terminated());
    in.u16();
    const quint16 type = in.u16();
    if (!in.ok())
        return false;
    if (type == packageLink) {
        // A link made by the packager: kept as the link it is, which names
        // its file and nothing more.
        object.sourcePath = nameText(in.terminated());
        object.label = fileNameOf(object.sourcePath);
        object.kind = Object::Kind::Linked;
        return in.ok();
    }
    if (type != packageFile)
        return false;
    const QByteArray tempPath = in.lengthPrefixed();
    Q_UNUSED(tempPath);
    const quint32 size = in.u32();
    if (!in.ok() || qsizetype(size) > in.left())
        return false;
    object.contents = in.take(qsizetype(size)).toByteArray();
    // The UTF-16 names, when the writer added them.
    if (in.left() > 0) {
        Fields rest = in;
        const auto temp = rest.utf16();
        const auto label = rest.utf16();
        const auto path = rest.utf16();
        if (temp && label && path) {
            if (!label->isEmpty())
                object.label = *label;
            if (!path->isEmpty())
                object.sourcePath = *path;
        }
    }
    if (object.label.isEmpty())
        object.label = fileNameOf(object.sourcePath);
    return true;
}

} // namespace

Object fromFile(const QString &path, const QByteArray &contents, Object::Kind kind)
{
    Object object;
    object.kind = kind;
    object.className = QLatin1String(packageClass);
    object.sourcePath = QFileInfo(path).absoluteFilePath();
    object.label = QFileInfo(path).fileName();
    if (kind == Object::Kind::Embedded)
        object.contents = contents;
    return object;
}

QByteArray encode(const Object &object)
{
    QByteArray out;
    put32(out, oleVersion);
    const bool linked = object.kind == Object::Kind::Linked;
    put32(out, linked ? formatLinked : formatEmbedded);
    putLengthPrefixed(out, object.className);
    if (linked) {
        putLengthPrefixed(out, object.sourcePath); // the topic: the linked file
        putLengthPrefixed(out, QString());         // item: the whole file
        putLengthPrefixed(out, QString());         // network name
        put32(out, 0);                             // reserved
        put32(out, 0);                             // update option
    } else {
        putLengthPrefixed(out, QString());
        putLengthPrefixed(out, QString());
        const QByteArray native = object.isPackage() ? packageData(object) : object.contents;
        put32(out, quint32(native.size()));
        out.append(native);
    }
    // No presentation of its own: the RTF \result carries the picture.
    put32(out, oleVersion);
    put32(out, 0);
    return out;
}

std::optional<Object> decode(QByteArrayView data)
{
    Fields in(data);
    in.u32(); // the version: programs write different ones
    const quint32 format = in.u32();
    Object object;
    object.className = nameText(in.lengthPrefixed());
    const QByteArray topic = in.lengthPrefixed();
    in.lengthPrefixed(); // item
    if (!in.ok() || object.className.isEmpty())
        return std::nullopt;
    if (format == formatLinked) {
        in.lengthPrefixed(); // network name
        in.u32();
        in.u32();
        if (!in.ok())
            return std::nullopt;
        object.kind = Object::Kind::Linked;
        object.sourcePath = nameText(topic);
        object.label = fileNameOf(object.sourcePath);
        return object;
    }
    if (format != formatEmbedded)
        return std::nullopt;
    const quint32 size = in.u32();
    // A size beyond the bytes that follow: the data was cut short.
    if (!in.ok() || qsizetype(size) > in.left())
        return std::nullopt;
    const QByteArrayView native = in.take(qsizetype(size));
    object.kind = Object::Kind::Embedded;
    if (!object.isPackage()) {
        object.contents = native.toByteArray();
        return object;
    }
    if (!readPackage(native, object))
        return std::nullopt;
    return object;
}

} // namespace richtext::ole
