#pragma once

#include "richtext/rtfstate.h"

#include <QStringView>

// What the RTF reader hands on, in document order. The reader does the
// parsing once; a sink builds only what its use needs (a QTextDocument, or
// plain text without formats or pictures).
namespace richtext::rtf {

class Sink
{
public:
    virtual ~Sink() = default;

    // The reader decodes \pict and \objdata only for a sink that wants them;
    // for the others it skips those groups unread.
    virtual bool wantsPictures() const { return false; }

    // Text of one format. It never holds paragraph or line ends other than
    // U+2028, nor control characters other than tab.
    virtual void text(QStringView text, const CharState &format) = 0;
    // A page break (\page, or a form feed in the text).
    virtual void pageBreak(const CharState &format) = 0;
    virtual void picture(const Picture &picture, const CharState &format) = 0;

    // Paragraph ends. `level` is the table nesting of the paragraph: 0 in the
    // body, 1 in a table cell, 2 in a table nested in a cell ... `mark` is
    // the format of the paragraph mark.
    virtual void paragraphEnd(const ParState &par, const CharState &mark, int level) = 0;
    // The end of a table cell at that level; it also ends the cell's last
    // paragraph.
    virtual void cellEnd(const ParState &par, const CharState &mark, int level) = 0;
    // The end of a row at that level, with the row's definition.
    virtual void rowEnd(const RowDef &row, int level) = 0;

    // The document's font or colour table changed (formats built from the
    // old ones are stale).
    virtual void tablesChanged() {}

    // End of the data: the last paragraph, which no \par ended.
    virtual void finish(const ParState &par, const CharState &mark, int level) = 0;
};

} // namespace richtext::rtf
