#include "widgets/mrucaptions.h"

#include <QFontMetrics>

namespace mru {

namespace {

const QString ellipsisDir = QStringLiteral(".../");

// One step of shortening a directory part such as "/a/b/": its first
// directory gives way to "...", so "/a/b/" becomes "/.../b/" and then
// "/.../" (the caller turns that into ".../", then nothing).
QString cutFirstDirectory(QString part)
{
    if (part == u"/")
        return {};
    const bool rooted = part.startsWith(u'/');
    if (rooted)
        part.remove(0, 1);
    // Only a real "..." from an earlier step goes; a hidden folder such as
    // ".config" is an ordinary directory.
    if (part.startsWith(ellipsisDir))
        part.remove(0, ellipsisDir.size());
    const qsizetype slash = part.indexOf(u'/');
    part = slash < 0 ? QString() : ellipsisDir + part.mid(slash + 1);
    return rooted ? u'/' + part : part;
}

} // namespace

QString accelerator(int index)
{
    static const QString keys = QStringLiteral("1234567890ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    if (index < 0 || index >= keys.size())
        return {};
    return u'&' + keys.at(index) + u' ';
}

QString menuText(const QString &text)
{
    QString shown;
    shown.reserve(text.size());
    for (QChar c : text) {
        if (c == u'&')
            shown += QStringLiteral("&&");
        else if (c.category() == QChar::Other_Control)
            shown += u' ';
        else
            shown += c;
    }
    return shown;
}

QString shortenPath(const QString &path, const QFontMetrics &metrics, int maxWidth)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    QString directory = path.left(slash + 1);
    const QString file = path.mid(slash + 1);
    while (!directory.isEmpty()) {
        if (metrics.horizontalAdvance(directory + file) <= maxWidth)
            break;
        directory = directory == u"/.../" ? ellipsisDir : cutFirstDirectory(directory);
    }
    return directory + file;
}

QString fileNamePart(const QString &text)
{
    return text.mid(text.lastIndexOf(u'/') + 1);
}

QString withoutExtension(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    return dot > 0 ? fileName.left(dot) : fileName;
}

} // namespace mru
