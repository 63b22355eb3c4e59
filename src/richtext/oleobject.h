#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// The bytes of an embedded object as RTF's \objdata carries them: an OLE 1.0
// object stream. Quorin makes its objects from files and writes them as the
// "Package" class that word processors use for an embedded file (its native
// data holds the file's name and bytes), or as a link that names the file.
// Objects of any other class that other programs wrote are read far enough
// to know their class and that their sizes hold together; their bytes are
// kept as they are.
//
// Every string and size is checked against the bytes that are really there,
// so a stream that claims more than it holds, or ends early, is refused
// rather than read past its end.
namespace richtext::ole {

// The class of objects made from files.
inline constexpr char packageClass[] = "Package";

struct Object
{
    enum class Kind { Embedded, Linked };

    Kind kind = Kind::Embedded;
    QString className;  // "Package" for Quorin's objects
    // The file the object was made from: for a package its shown name
    // (the file name alone) and the full path it had; for a link the path
    // it points at.
    QString label;
    QString sourcePath;
    // A package's file contents, or another class's native data; empty for
    // a link.
    QByteArray contents;

    bool isPackage() const { return className == QLatin1String(packageClass); }
    bool operator==(const Object &) const = default;
};

// An object made from a file: embedded (its contents kept) or linked.
Object fromFile(const QString &path, const QByteArray &contents, Object::Kind kind);

// The \objdata bytes of the object. Names are written as UTF-8 in the 8-bit
// fields (a plain ASCII name reads the same in any code page) and, for a
// package, once more as UTF-16 in the fields that carry the full names.
QByteArray encode(const Object &object);

// Reads \objdata bytes; no value when they are not a complete object stream.
// A package whose native data cannot be read is refused as well, since its
// file could not be given back.
std::optional<Object> decode(QByteArrayView data);

} // namespace richtext::ole
