#include "editor/objectverbs.h"

#include "editor/desktopopener.h"
#include "editor/editorerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace objectverbs {

namespace {

// The name the copy gets: the object's file name alone, so that the
// desktop picks the program by its type, without any folder part that
// could lead out of the private folder.
QString safeFileName(const richtext::ole::Object &object)
{
    QString name = object.label;
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    name = QFileInfo(name).fileName();
    name.remove(QChar(0));
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        name = QStringLiteral("object");
    return name;
}

} // namespace

QList<Verb> verbsOf(const richtext::ole::Object &object)
{
    if (!object.isPackage())
        return {};
    return {Verb{QStringLiteral("&Open"), Open}, Verb{QStringLiteral("Save copy &as..."), SaveCopyAs}};
}

QString fileToOpen(const richtext::ole::Object &object)
{
    if (object.kind == richtext::ole::Object::Kind::Linked)
        return object.sourcePath;

    const QString root = desktop::privateFolder();
    if (root.isEmpty())
        throw EditorError(QStringLiteral("Cannot create a temporary folder for the object."));
    // A folder per copy: two objects of one file name never meet, and a
    // copy still open in its program is never overwritten.
    QTemporaryDir folder(root + QLatin1String("/object-XXXXXX"));
    folder.setAutoRemove(false); // removed with the private folder
    const QString path = folder.path() + QLatin1Char('/') + safeFileName(object);
    QFile file(path);
    if (!folder.isValid() || !file.open(QIODevice::WriteOnly | QIODevice::NewOnly)
        || file.write(object.contents) != object.contents.size() || !file.flush()) {
        throw EditorError(QStringLiteral("Cannot create file \"%1\". %2")
                              .arg(QDir::toNativeSeparators(path), file.errorString()));
    }
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    file.close();
    return path;
}

QByteArray fileContents(const richtext::ole::Object &object)
{
    if (object.kind == richtext::ole::Object::Kind::Embedded)
        return object.contents;
    QFile file(object.sourcePath);
    if (!file.open(QIODevice::ReadOnly)) {
        throw EditorError(QStringLiteral("Cannot open file \"%1\". %2")
                              .arg(QDir::toNativeSeparators(object.sourcePath), file.errorString()));
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        throw EditorError(QStringLiteral("Cannot read file \"%1\". %2")
                              .arg(QDir::toNativeSeparators(object.sourcePath), file.errorString()));
    }
    return bytes;
}

} // namespace objectverbs
