#pragma once

#include "richtext/oleobject.h"

#include <QImage>
#include <QString>
#include <QTextImageFormat>

#include <optional>

class QTextDocument;

// What the insert-object dialog asks for. Objects are made from files:
// embedded (the file's bytes go into the document) or linked (the document
// names the file); either shows the picture a picture file holds, or the
// file's icon with its name.
struct ObjectCreateInfo
{
    enum class Kind { FromFile, LinkToFile };

    Kind kind = Kind::FromFile;
    bool showAsIcon = false;
    QString fileName;
};

namespace embeddedobject {

// Files larger than this are not embedded: the document would carry twice
// their size as hex digits.
inline constexpr qint64 maxEmbeddedSize = 64 * 1024 * 1024;

// The character format of a new object made as `info` asks: its face (the
// picture at its own size, or the icon and file name) as a resource of
// `document`, and the object's bytes, kind and file name as the RTF writer
// wants them. Throws EditorError when the file cannot be read or is too
// large to embed.
QTextImageFormat create(QTextDocument &document, const ObjectCreateInfo &info);

// The face of a file shown as an icon: the desktop's icon for its type
// above its name, drawn at twice its size for printing and sharp screens.
QImage iconFace(const QString &fileName);

// The object a format holds, when it is an embedded object whose bytes can
// be read.
std::optional<richtext::ole::Object> objectOf(const QTextFormat &format);

// Whether a format is an embedded object at all (readable or not).
bool isObject(const QTextFormat &format);

} // namespace embeddedobject
