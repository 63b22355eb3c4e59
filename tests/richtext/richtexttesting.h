#pragma once

// Helpers the richtext tests share: documents built through QTextCursor, the
// way the editor builds them, and RTF read into a fresh document.

#include "richtext/rtfexport.h"
#include "richtext/rtfimport.h"

#include <QImage>
#include <QStringList>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>

namespace testdocs {

inline void setUp(QTextDocument &doc, const QString &family = QStringLiteral("Arial"), qreal points = 10)
{
    QFont font(family);
    font.setPointSizeF(points);
    doc.setDefaultFont(font);
}

// Appends text with a format made from the default one by `edit`.
inline void run(QTextCursor &cursor, const QString &text, const std::function<void(QTextCharFormat &)> &edit = {})
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

inline void insertImage(QTextDocument &doc, QTextCursor &cursor, const QString &name, const QImage &image)
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

inline std::unique_ptr<QTextDocument> load(const QByteArray &rtf, const richtext::ImportOptions &options = {},
                                           const std::optional<QFont> &font = {})
{
    auto doc = std::make_unique<QTextDocument>();
    doc->setUndoRedoEnabled(false);
    if (font)
        doc->setDefaultFont(*font);
    QTextCursor cursor(doc.get());
    richtext::insertRtf(cursor, rtf, options);
    return doc;
}

// The document our writer makes of `doc`, read again.
inline std::unique_ptr<QTextDocument> reread(const QTextDocument &doc)
{
    return load(richtext::toRtf(doc), {}, doc.defaultFont());
}

// The character format of the first character of `text` in the document.
inline QTextCharFormat formatOf(const QTextDocument &doc, const QString &text)
{
    const QTextCursor found = doc.find(text);
    if (found.isNull())
        return {};
    QTextCursor at(const_cast<QTextDocument *>(&doc));
    at.setPosition(found.selectionStart() + 1);
    return at.charFormat();
}

inline QTextBlock blockOf(const QTextDocument &doc, const QString &text)
{
    const QTextCursor found = doc.find(text);
    return found.isNull() ? QTextBlock() : found.block();
}

inline QStringList blocks(const QTextDocument &doc)
{
    QStringList out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        out << b.text();
    return out;
}

// The tables directly in a frame, in order.
inline QList<QTextTable *> tablesIn(QTextFrame *frame)
{
    QList<QTextTable *> out;
    for (QTextFrame *child : frame->childFrames()) {
        if (auto *table = qobject_cast<QTextTable *>(child))
            out << table;
    }
    return out;
}

inline QString cellText(QTextTable *table, int row, int column)
{
    const QTextTableCell cell = table->cellAt(row, column);
    QTextCursor c = cell.firstCursorPosition();
    c.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
    return c.selectedText().replace(QChar::ParagraphSeparator, u'\n');
}

inline QByteArray rtf(const char *body)
{
    return QByteArray("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
                      "{\\f1\\froman\\fcharset2 Symbol;}{\\f2\\fmodern\\fcharset204 Courier Cyr;}}"
                      "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}")
           + body + "}";
}

} // namespace testdocs
