#pragma once

// Small helpers the RTF writer, round-trip and page tests share to build
// documents through QTextCursor, the way the editor builds them.

#include <QImage>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

#include <functional>

namespace testdocs {

inline void setUp(QTextDocument &doc, const QString &family = QStringLiteral("Arial"),
                  qreal points = 10)
{
    QFont font(family);
    font.setPointSizeF(points);
    doc.setDefaultFont(font);
}

// Appends text with a format made from the default one by `edit`.
inline void run(QTextCursor &cursor, const QString &text,
                const std::function<void(QTextCharFormat &)> &edit = {})
{
    QTextCharFormat format;
    if (edit)
        edit(format);
    cursor.insertText(text, format);
}

inline QImage testImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 40 % 256, y * 60 % 256, 128));
    return image;
}

inline void insertImage(QTextDocument &doc, QTextCursor &cursor, const QString &name,
                        const QImage &image)
{
    doc.addResource(QTextDocument::ImageResource, QUrl(name), image);
    QTextImageFormat format;
    format.setName(name);
    format.setWidth(image.width());
    format.setHeight(image.height());
    cursor.insertImage(format);
}

inline int count(const QByteArray &haystack, const QByteArray &needle)
{
    int n = 0;
    for (qsizetype i = haystack.indexOf(needle); i >= 0; i = haystack.indexOf(needle, i + 1))
        ++n;
    return n;
}

} // namespace testdocs
