#pragma once

// Helpers the RTF reader tests share: load RTF into a fresh document, find
// the format of a piece of text, list the blocks.

#include "richtext/rtfimport.h"

#include <QStringList>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

#include <memory>

namespace readertest {

inline std::unique_ptr<QTextDocument> load(const QByteArray &rtf,
                                           const richtext::ImportOptions &options = {})
{
    auto doc = std::make_unique<QTextDocument>();
    doc->setUndoRedoEnabled(false);
    QTextCursor cursor(doc.get());
    richtext::insertRtf(cursor, rtf, options);
    return doc;
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

} // namespace readertest
