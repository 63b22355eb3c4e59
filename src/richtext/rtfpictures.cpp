#include "richtext/rtfpictures.h"

#include "richtext/oleobject.h"
#include "richtext/textproperties.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QRegularExpression>
#include <QTextDocument>
#include <QUrl>

#include <atomic>

namespace richtext {

namespace {

quint32 le32(const QByteArray &d, qsizetype at)
{
    if (at + 4 > d.size())
        return 0;
    const auto *p = reinterpret_cast<const unsigned char *>(d.constData() + at);
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}

quint16 le16(const QByteArray &d, qsizetype at)
{
    if (at + 2 > d.size())
        return 0;
    const auto *p = reinterpret_cast<const unsigned char *>(d.constData() + at);
    return quint16(p[0] | (p[1] << 8));
}

// A device-independent bitmap is a BMP file without its 14-byte file
// header; with the header added Qt reads it.
QByteArray bmpOfDib(const QByteArray &dib)
{
    const quint32 headerSize = le32(dib, 0);
    if (headerSize < 12 || headerSize > 1024 || qsizetype(headerSize) > dib.size())
        return {};
    const quint16 bitCount = headerSize == 12 ? le16(dib, 10) : le16(dib, 14);
    const quint32 compression = headerSize >= 40 ? le32(dib, 16) : 0;
    quint32 colors = headerSize >= 40 ? le32(dib, 32) : 0;
    if (colors == 0 && bitCount <= 8)
        colors = 1u << bitCount;
    if (colors > 256)
        return {};
    const quint32 entry = headerSize == 12 ? 3 : 4;
    quint32 offset = 14 + headerSize + colors * entry;
    if (compression == 3 && headerSize == 40)
        offset += 12; // the three colour masks follow the header
    const quint32 fileSize = quint32(dib.size()) + 14;
    QByteArray bmp;
    bmp.reserve(qsizetype(fileSize));
    bmp.append("BM", 2);
    auto put32 = [&](quint32 v) {
        const char b[4] = {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
        bmp.append(b, 4);
    };
    put32(fileSize);
    put32(0);
    put32(offset);
    bmp.append(dib);
    return bmp;
}

QSize imageSize(const QByteArray &bytes)
{
    QByteArray copy = bytes; // QBuffer wants a non-const array; this one is shared
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    if (!reader.canRead())
        return {};
    const QSize size = reader.size();
    return size.isValid() && !size.isEmpty() ? size : QSize();
}

QString nextResourceName()
{
    // Names unique in the process, so that inserting a second document
    // never replaces the pictures of the first.
    static std::atomic<quint64> counter{0};
    return QStringLiteral("rtfpict:%1").arg(++counter);
}

// The picture an embedded object shows: its result picture while its data
// holds together; an object whose data cannot be read is `damaged` and
// shows a framed placeholder of its result's size, its bytes kept. An
// object of ours that lost its result shows its file when that is a
// picture.
struct ObjectFace
{
    rtf::Picture picture;
    bool damaged = false;
};

ObjectFace objectFace(const rtf::Picture &picture)
{
    if (!picture.object)
        return {picture, false};
    ObjectFace face{picture, false};
    // Without a result picture the object's own size keywords give its size.
    if (picture.data.isEmpty()) {
        static const QRegularExpression size(QStringLiteral("\\bobj([wh])(\\d{1,7})\\b"));
        for (auto it = size.globalMatch(picture.objectMeta); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            const int twips = std::min(m.captured(2).toInt(), 1 << 20);
            (m.captured(1) == u'w' ? face.picture.goalw : face.picture.goalh) = twips;
        }
    }
    const std::optional<ole::Object> object = ole::decode(picture.objectData);
    if (!object) {
        face.damaged = true;
    } else if (picture.data.isEmpty() && object->isPackage()
               && (object->contents.startsWith("\x89PNG") || object->contents.startsWith("\xff\xd8\xff"))) {
        face.picture.data = object->contents;
        face.picture.kind = object->contents.startsWith("\x89PNG") ? ObjectKind::Png : ObjectKind::Jpeg;
    }
    return face;
}

} // namespace

QSizeF PictureFactory::displaySize(const rtf::Picture &p, QSize natural)
{
    qreal w = p.goalw > 0 ? p.goalw / 15.0 : natural.width();
    qreal h = p.goalh > 0 ? p.goalh / 15.0 : natural.height();
    const bool metafile = isMetafile(p.kind);
    if (w <= 0 && p.picw > 0)
        w = metafile ? p.picw * 96.0 / 2540.0 : p.picw; // metafiles give 0.01 mm
    if (h <= 0 && p.pich > 0)
        h = metafile ? p.pich * 96.0 / 2540.0 : p.pich;
    if (w <= 0)
        w = 96;
    if (h <= 0)
        h = 96;
    w *= p.scalex / 100.0;
    h *= p.scaley / 100.0;
    const qreal larger = std::max(w, h);
    if (larger > MaxSide) {
        w = w * MaxSide / larger;
        h = h * MaxSide / larger;
    }
    return QSizeF(std::max(w, 1.0), std::max(h, 1.0));
}

QString PictureFactory::addResource(const QVariant &value)
{
    const QString name = nextResourceName();
    if (m_document)
        m_document->addResource(QTextDocument::ImageResource, QUrl(name), value);
    return name;
}

QString PictureFactory::placeholder(QSizeF size)
{
    // A light box with a frame and a cross, drawn small and shown at the
    // picture's size; equal sizes share one image.
    const qreal scale = std::min(1.0, 256.0 / std::max(size.width(), size.height()));
    const int w = std::max(2, int(size.width() * scale + 0.5));
    const int h = std::max(2, int(size.height() * scale + 0.5));
    const quint64 key = (quint64(w) << 32) | quint64(h);
    auto it = m_placeholders.constFind(key);
    if (it != m_placeholders.cend())
        return it.value();

    QImage image(w, h, QImage::Format_RGB32);
    image.fill(QColor(0xf4, 0xf4, 0xf4));
    const QRgb frame = qRgb(0x80, 0x80, 0x80);
    const QRgb cross = qRgb(0xc8, 0xc8, 0xc8);
    for (int x = 0; x < w; ++x) {
        image.setPixel(x, 0, frame);
        image.setPixel(x, h - 1, frame);
    }
    for (int y = 0; y < h; ++y) {
        image.setPixel(0, y, frame);
        image.setPixel(w - 1, y, frame);
        const int x1 = 1 + (y * (w - 3)) / std::max(1, h - 1);
        image.setPixel(std::clamp(x1, 1, w - 2), y, cross);
        image.setPixel(std::clamp(w - 1 - x1, 1, w - 2), y, cross);
    }
    const QString name = addResource(image);
    m_placeholders.insert(key, name);
    return name;
}

QTextImageFormat PictureFactory::imageFormat(const rtf::Picture &picture)
{
    const ObjectFace face = objectFace(picture);
    const rtf::Picture &p = face.picture;
    QByteArray shown;
    QSize natural;
    // Files mislabel their pictures; the bytes' own signature decides.
    QByteArrayView format = qtImageFormat(p.kind);
    if (p.data.startsWith("\x89PNG"))
        format = "png";
    else if (p.data.startsWith("\xff\xd8\xff"))
        format = "jpeg";
    if (!p.data.isEmpty()) {
        // A PNG too short for its header would only make libpng complain.
        const bool pngHeader = p.data.size() >= 33 && p.data.mid(12, 4) == "IHDR";
        if ((format == "png" && pngHeader) || format == "jpeg") {
            natural = imageSize(p.data);
            if (natural.isValid())
                shown = p.data;
        } else if (format == "bmp") {
            const QByteArray bmp = bmpOfDib(p.data);
            if (!bmp.isEmpty()) {
                natural = imageSize(bmp);
                if (natural.isValid())
                    shown = bmp;
            }
        }
    }
    if (face.damaged)
        shown.clear();
    const QSizeF size = displaySize(p, natural);

    QTextImageFormat f;
    // The encoded bytes are the resource: Qt decodes them when the picture
    // is first drawn, so loading stays fast.
    f.setName(shown.isEmpty() ? placeholder(size) : addResource(shown));
    f.setWidth(size.width());
    f.setHeight(size.height());

    if (p.object) {
        setObjectKind(f, ObjectKind::Object);
        f.setProperty(prop::ObjectData, p.objectData);
        if (!p.objectMeta.isEmpty())
            f.setProperty(prop::ObjectMeta, p.objectMeta);
        if (!p.objectName.isEmpty())
            f.setProperty(prop::ObjectFileName, p.objectName);
        // A result picture that is not what the object shows goes back
        // into the file as it came.
        if (!picture.data.isEmpty() && shown != picture.data) {
            f.setProperty(prop::ObjectResultData, picture.data);
            f.setProperty(prop::ObjectResultKind, int(picture.kind));
            if (!picture.meta.isEmpty())
                f.setProperty(prop::ObjectResultMeta, picture.meta);
        }
    } else {
        setObjectKind(f, p.kind);
        f.setProperty(prop::ObjectData, p.data);
        if (!p.meta.isEmpty())
            f.setProperty(prop::ObjectMeta, p.meta);
    }
    if (p.goalw > 0)
        f.setProperty(prop::PictureWidthGoal, p.goalw);
    if (p.goalh > 0)
        f.setProperty(prop::PictureHeightGoal, p.goalh);
    if (p.picw > 0)
        f.setProperty(prop::PictureWidth, p.picw);
    if (p.pich > 0)
        f.setProperty(prop::PictureHeight, p.pich);
    if (p.scalex != 100)
        f.setProperty(prop::PictureScaleX, p.scalex);
    if (p.scaley != 100)
        f.setProperty(prop::PictureScaleY, p.scaley);
    return f;
}

} // namespace richtext
