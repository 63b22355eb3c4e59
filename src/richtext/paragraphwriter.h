#pragma once

#include "richtext/formatcache.h"
#include "richtext/listchooser.h"
#include "richtext/rtfstate.h"

#include <QString>

#include <vector>

class QTextCursor;

// A paragraph as the document builder collects it (text and runs of
// formats, its paragraph state and mark format) and the writer that puts it
// into a QTextDocument through a cursor, joining list items to their lists.
namespace richtext {

struct Paragraph
{
    struct Run
    {
        qsizetype length;
        int format; // FormatCache index
    };
    QString text;
    std::vector<Run> runs;
    rtf::ParState par;
    int mark = -1; // format of the paragraph mark

    void append(QStringView piece, int format);
    bool isEmpty() const { return text.isEmpty(); }
    void clear();
};

class ParagraphWriter
{
public:
    ParagraphWriter(FormatCache &formats, const rtf::DocumentTables &tables)
        : m_formats(formats), m_lists(tables)
    {
    }

    enum class Placement {
        NewBlock,   // insert a block for it at the cursor
        ThisBlock,  // it fills the cursor's block, whose format it sets
        CellBlock,  // the same for the first block of a table cell
        JoinBlock,  // it joins the text of the cursor's block, keeping its format
    };
    void write(QTextCursor &cursor, const Paragraph &paragraph, Placement placement);

private:
    FormatCache &m_formats;
    ListChooser m_lists;
};

} // namespace richtext
