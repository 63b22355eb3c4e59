#include "editor/embeddedobject.h"

#include "editor/editorerror.h"
#include "richtext/textkinds.h"
#include "richtext/textproperties.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFontMetrics>
#include <QImageReader>
#include <QMimeDatabase>
#include <QPainter>
#include <QStyle>
#include <QTextDocument>
#include <QUrl>

#include <atomic>

namespace embeddedobject {

namespace {

using richtext::ole::Object;

// Largest side of a picture shown at its size, px; larger ones are scaled
// down keeping their proportions, as pictures read from RTF are.
constexpr int maxSide = 4000;
// Faces drawn for icons are this many times their shown size.
constexpr int iconScale = 2;

QString nextResourceName()
{
    static std::atomic<quint64> counter{0};
    return QStringLiteral("quorinobject:%1").arg(++counter);
}

QByteArray readFile(const QString &fileName, bool wholeFile)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        throw EditorError(QStringLiteral("Cannot open file \"%1\". %2")
                              .arg(QDir::toNativeSeparators(fileName), file.errorString()));
    }
    if (wholeFile && file.size() > maxEmbeddedSize) {
        throw EditorError(QStringLiteral("Cannot embed \"%1\": a file of more than %2 MB cannot be "
                                         "embedded. Link to it instead.")
                              .arg(QDir::toNativeSeparators(fileName))
                              .arg(maxEmbeddedSize / (1024 * 1024)));
    }
    // A linked picture larger than this is shown as an icon.
    const QByteArray bytes = file.read(wholeFile ? maxEmbeddedSize + 1 : maxEmbeddedSize);
    if (file.error() != QFileDevice::NoError) {
        throw EditorError(QStringLiteral("Cannot read file \"%1\". %2")
                              .arg(QDir::toNativeSeparators(fileName), file.errorString()));
    }
    return bytes;
}

QByteArray pngBytes(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// The picture a file holds, as bytes the RTF writer keeps (PNG and JPEG as
// they are, anything else Qt reads as PNG), with its size; nothing when
// the file is no picture.
bool pictureOf(const QByteArray &bytes, QByteArray *shown, QSize *size)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    if (!reader.canRead())
        return false;
    const QByteArray format = reader.format();
    const QImage image = reader.read();
    if (image.isNull())
        return false;
    *size = image.size();
    *shown = (format == "png" || format == "jpeg") ? bytes : pngBytes(image);
    return true;
}

QIcon fileIcon(const QString &fileName)
{
    QIcon icon = QFileIconProvider().icon(QFileInfo(fileName));
    if (icon.isNull() || icon.availableSizes().isEmpty()) {
        const QMimeType type = QMimeDatabase().mimeTypeForFile(fileName);
        icon = QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName()));
    }
    if (icon.isNull() && qApp)
        icon = QApplication::style()->standardIcon(QStyle::SP_FileIcon);
    return icon;
}

} // namespace

QImage iconFace(const QString &fileName)
{
    const QString label = QFileInfo(fileName).fileName();
    QFont font = QApplication::font();
    font.setPixelSize(12);
    const QFontMetrics metrics(font);
    constexpr int iconSide = 32;
    constexpr int maxTextWidth = 160;
    const QString shown = metrics.elidedText(label, Qt::ElideMiddle, maxTextWidth);
    const int width = qMax(iconSide + 16, metrics.horizontalAdvance(shown) + 8);
    const int height = 4 + iconSide + 4 + metrics.height() + 4;

    QImage image(width * iconScale, height * iconScale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(iconScale, iconScale);
    const QIcon icon = fileIcon(fileName);
    const QRect iconRect((width - iconSide) / 2, 4, iconSide, iconSide);
    if (!icon.isNull()) {
        const QPixmap pixmap = icon.pixmap(QSize(iconSide, iconSide) * iconScale);
        painter.drawPixmap(iconRect, pixmap);
    } else {
        painter.setPen(Qt::gray);
        painter.drawRect(iconRect.adjusted(4, 0, -4, -1));
    }
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QRect(0, 4 + iconSide + 4, width, metrics.height()), Qt::AlignCenter, shown);
    painter.end();
    image.setDevicePixelRatio(iconScale);
    return image;
}

QTextImageFormat create(QTextDocument &document, const ObjectCreateInfo &info)
{
    const bool linked = info.kind == ObjectCreateInfo::Kind::LinkToFile;
    const QFileInfo file(info.fileName);
    if (info.fileName.isEmpty() || file.isDir() || !file.exists()) {
        throw EditorError(QStringLiteral("Cannot open file \"%1\". No such file.")
                              .arg(QDir::toNativeSeparators(info.fileName)));
    }
    // A linked file is read only when it is a picture to show.
    const bool picture = !info.showAsIcon && QImageReader(info.fileName).canRead();
    const QByteArray bytes = linked && !picture ? QByteArray() : readFile(info.fileName, !linked);
    const Object object =
        richtext::ole::fromFile(info.fileName, bytes, linked ? Object::Kind::Linked : Object::Kind::Embedded);

    QByteArray shown;
    QSizeF size;
    QSize pixels;
    if (picture && pictureOf(bytes, &shown, &pixels)) {
        size = pixels;
        const qreal larger = qMax(size.width(), size.height());
        if (larger > maxSide)
            size *= maxSide / larger;
    } else {
        const QImage face = iconFace(info.fileName);
        shown = pngBytes(face);
        size = face.deviceIndependentSize();
    }

    const QString name = nextResourceName();
    // The encoded bytes are the resource, as for pictures read from RTF:
    // the writer puts them in the object's result as they are.
    document.addResource(QTextDocument::ImageResource, QUrl(name), shown);
    QTextImageFormat format;
    format.setName(name);
    format.setWidth(size.width());
    format.setHeight(size.height());
    richtext::setObjectKind(format, richtext::ObjectKind::Object);
    format.setProperty(richtext::prop::ObjectData, richtext::ole::encode(object));
    // Other programs size the object by \objw and \objh, in twips.
    format.setProperty(richtext::prop::ObjectMeta,
                       QStringLiteral("%1 objw%2 objh%3")
                           .arg(QLatin1String(linked ? "objlink" : "objemb"))
                           .arg(qRound(size.width() * 15))
                           .arg(qRound(size.height() * 15)));
    format.setProperty(richtext::prop::ObjectFileName, object.label);
    return format;
}

std::optional<richtext::ole::Object> objectOf(const QTextFormat &format)
{
    if (!isObject(format))
        return std::nullopt;
    return richtext::ole::decode(format.property(richtext::prop::ObjectData).toByteArray());
}

bool isObject(const QTextFormat &format)
{
    return format.isImageFormat() && richtext::objectKind(format) == richtext::ObjectKind::Object;
}

} // namespace embeddedobject
