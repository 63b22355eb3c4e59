#include "richtext/rtfwriterpicture.h"

#include "richtext/oleobject.h"
#include "richtext/rtfwriteroutput.h"
#include "richtext/rtfwritertext.h"
#include "richtext/textkinds.h"
#include "richtext/textproperties.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QRegularExpression>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

namespace richtext {

namespace {

constexpr char hexDigits[] = "0123456789abcdef";

// Hex dump in lines of 128 digits, as rich-edit controls write picture data.
void appendHex(RtfWriterOutput &out, const QByteArray &data)
{
    constexpr qsizetype perLine = 64;
    const qsizetype lines = (data.size() + perLine - 1) / perLine;
    out.newline();
    QByteArray &bytes = out.bytes();
    const qsizetype start = bytes.size();
    bytes.resize(start + data.size() * 2 + lines * 2);
    char *dst = bytes.data() + start;
    const auto *src = reinterpret_cast<const unsigned char *>(data.constData());
    for (qsizetype i = 0; i < data.size(); ++i) {
        *dst++ = hexDigits[src[i] >> 4];
        *dst++ = hexDigits[src[i] & 15];
        if ((i + 1) % perLine == 0 || i + 1 == data.size()) {
            *dst++ = '\r';
            *dst++ = '\n';
        }
    }
}

bool isPng(const QByteArray &data)
{
    return data.startsWith("\x89PNG\r\n\x1a\n");
}

bool isJpeg(const QByteArray &data)
{
    return data.startsWith("\xff\xd8\xff");
}

QByteArray pngBytes(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// A keyword with an optional number, the only thing kept keywords may be,
// so that stored text can never inject a group or text into the file.
struct Keyword
{
    QByteArray name;
    QByteArray value;
};

QList<Keyword> parseKeywords(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("^([a-z]{1,32})(-?[0-9]{1,10})?$"));
    QList<Keyword> words;
    const QStringList tokens =
        text.split(QRegularExpression(QStringLiteral("[\\\\\\s]+")), Qt::SkipEmptyParts);
    for (const QString &token : tokens) {
        const auto match = pattern.match(token);
        if (match.hasMatch())
            words.append({match.captured(1).toLatin1(), match.captured(2).toLatin1()});
    }
    return words;
}

// The size keywords this writer owns; stored ones are dropped when the
// format has its own value.
struct PictureSizes
{
    const char *name;
    int property;
};
constexpr PictureSizes sizeProperties[] = {
    {"picw", prop::PictureWidth},          {"pich", prop::PictureHeight},
    {"picwgoal", prop::PictureWidthGoal},  {"pichgoal", prop::PictureHeightGoal},
    {"picscalex", prop::PictureScaleX},    {"picscaley", prop::PictureScaleY},
};

void writeKeptPicture(RtfWriterOutput &out, const QTextImageFormat &format, ObjectKind kind,
                      const QByteArray &data, const QString &keywords)
{
    const QList<Keyword> meta = parseKeywords(keywords);
    const QByteArray kindName = kind == ObjectKind::None ? QByteArray("pngblip")
                                                         : rtfKeyword(kind).toByteArray();
    out.open();
    out.word("pict");
    bool kindInMeta = false;
    for (const Keyword &word : meta)
        kindInMeta = kindInMeta || word.name == kindName;
    if (!kindInMeta)
        out.word(kindName.constData());
    for (const Keyword &word : meta) {
        bool owned = false;
        for (const PictureSizes &size : sizeProperties)
            owned = owned || (word.name == size.name && format.hasProperty(size.property));
        if (owned || word.name == "pict")
            continue;
        out.word(word.name.constData());
        out.bytes().append(word.value);
    }
    for (const PictureSizes &size : sizeProperties) {
        if (format.hasProperty(size.property))
            out.word(size.name, format.intProperty(size.property));
    }
    appendHex(out, data);
    out.close();
}

void writeShownPicture(RtfWriterOutput &out, const QTextImageFormat &format, QByteArray data,
                       const QImage &image)
{
    const char *kind = "pngblip";
    if (isJpeg(data))
        kind = "jpegblip";
    else if (!isPng(data))
        data = pngBytes(image);
    QSize size = image.size();
    if (size.isEmpty()) {
        QBuffer buffer(&data);
        buffer.open(QIODevice::ReadOnly);
        size = QImageReader(&buffer).size();
    }
    // The shown size, px at 96 dpi, becomes the goal size in twips; without
    // one the picture shows at its natural size.
    const int goalWidth = format.hasProperty(prop::PictureWidthGoal)
                              ? format.intProperty(prop::PictureWidthGoal)
                              : qRound((format.width() > 0 ? format.width() : size.width()) * 15);
    const int goalHeight = format.hasProperty(prop::PictureHeightGoal)
                               ? format.intProperty(prop::PictureHeightGoal)
                               : qRound((format.height() > 0 ? format.height() : size.height()) * 15);
    out.open();
    out.word("pict");
    out.word(kind);
    out.word("picw", size.width());
    out.word("pich", size.height());
    out.word("picwgoal", goalWidth);
    out.word("pichgoal", goalHeight);
    if (format.hasProperty(prop::PictureScaleX))
        out.word("picscalex", format.intProperty(prop::PictureScaleX));
    if (format.hasProperty(prop::PictureScaleY))
        out.word("picscaley", format.intProperty(prop::PictureScaleY));
    appendHex(out, data);
    out.close();
}

// The picture the document shows for the format, with its encoded bytes
// when the resource holds them.
bool shownPicture(const QTextDocument &document, const QTextImageFormat &format, QByteArray *data,
                  QImage *image)
{
    if (format.name().isEmpty())
        return false;
    const QVariant resource = document.resource(QTextDocument::ImageResource, QUrl(format.name()));
    if (resource.typeId() == QMetaType::QByteArray) {
        *data = resource.toByteArray();
        if (!isPng(*data) && !isJpeg(*data))
            *image = QImage::fromData(*data);
    } else if (resource.canConvert<QImage>()) {
        *image = resource.value<QImage>();
    }
    return !data->isEmpty() || !image->isNull();
}

// Text inside an object group. A merge takes "@" and digits for a token in
// the template's source, so "@" goes out as \'40, which no merge touches
// and every reader reads back as "@".
void appendObjectText(RtfWriterOutput &out, RtfTextEncoder &encoder, const QString &text,
                      int codePage)
{
    const QStringList parts = text.split(QLatin1Char('@'));
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i > 0)
            out.symbol("\\'40");
        encoder.append(out, parts.at(i), codePage);
    }
}

bool isObjectKindWord(const QByteArray &name)
{
    return name == "objemb" || name == "objlink" || name == "objautlink" || name == "objsub"
           || name == "objpub" || name == "objicemb" || name == "objhtml" || name == "objocx";
}

// Opens the \object group and writes everything up to its data: the kind
// and the further keywords read with it (its size), its class and name,
// and the data as hex digits (which never hold an "@"). False when the
// data is no object stream.
bool writeObject(RtfWriterOutput &out, RtfTextEncoder &encoder, const QTextImageFormat &format,
                 const QByteArray &kept, int codePage)
{
    out.open();
    out.word("object");
    const QList<Keyword> meta = parseKeywords(format.stringProperty(prop::ObjectMeta));
    bool hasKind = false;
    for (const Keyword &word : meta)
        hasKind = hasKind || isObjectKindWord(word.name);
    const std::optional<ole::Object> object = ole::decode(kept);
    if (!hasKind)
        out.word(object && object->kind == ole::Object::Kind::Linked ? "objlink" : "objemb");
    for (const Keyword &word : meta) {
        out.word(word.name.constData());
        out.bytes().append(word.value);
    }
    if (object) {
        out.open();
        out.word("*");
        out.word("objclass");
        appendObjectText(out, encoder, object->className, codePage);
        out.close();
    }
    const QString fileName = format.stringProperty(prop::ObjectFileName);
    if (!fileName.isEmpty()) {
        out.open();
        out.word("*");
        out.word("objname");
        appendObjectText(out, encoder, fileName, codePage);
        out.close();
    }
    out.open();
    out.word("*");
    out.word("objdata");
    appendHex(out, kept);
    out.close();
    return object.has_value();
}

} // namespace

bool writeRtfPicture(RtfWriterOutput &out, RtfTextEncoder &encoder, const QTextDocument &document,
                     const QTextImageFormat &format, int codePage)
{
    const QByteArray kept = format.property(prop::ObjectData).toByteArray();
    const ObjectKind kind = objectKind(format);
    QByteArray data;
    QImage image;
    const bool shown = shownPicture(document, format, &data, &image);

    if (!kept.isEmpty() && kind == ObjectKind::Object) {
        const bool readable = writeObject(out, encoder, format, kept, codePage);
        // The object's face, which also carries its shown size: the result
        // picture it came with when that is kept, else what it shows (but
        // never the placeholder of an object whose data cannot be read).
        const QByteArray result = format.property(prop::ObjectResultData).toByteArray();
        if (!result.isEmpty()) {
            out.open();
            out.word("result");
            writeKeptPicture(out, format, ObjectKind(format.intProperty(prop::ObjectResultKind)),
                             result, format.stringProperty(prop::ObjectResultMeta));
            out.close();
        } else if (shown && readable) {
            out.open();
            out.word("result");
            writeShownPicture(out, format, data, image);
            out.close();
        }
        out.close();
        return true;
    }
    if (!kept.isEmpty()) {
        writeKeptPicture(out, format, kind, kept, format.stringProperty(prop::ObjectMeta));
        return true;
    }
    if (!shown)
        return false;
    writeShownPicture(out, format, data, image);
    return true;
}

} // namespace richtext
