#pragma once

#include "richtext/formatcache.h"
#include "richtext/paragraphwriter.h"
#include "richtext/rtfpictures.h"
#include "richtext/rtfsink.h"
#include "richtext/tablebuilder.h"

#include <QTextBlockFormat>
#include <QTextCharFormat>

class QTextCursor;

// Builds what the RTF reader reads into a QTextDocument at a cursor: text
// with cached formats, one insertion per run, paragraphs as blocks, lists,
// tables and pictures.
//
// Where the data goes relative to the cursor's paragraph: the first RTF
// paragraph continues the text before the cursor (keeping that paragraph's
// format when the cursor is not at its start); the last one is followed by
// the text after the cursor. A final \par ends the inserted text's last
// paragraph only when text follows the cursor in its block; at the end of a
// block (loading a whole document) it coincides with the block's own end, so
// a document written as "A\par" reads back as the one paragraph "A".
namespace richtext {

class DocumentBuilder : public rtf::Sink
{
public:
    DocumentBuilder(QTextCursor &cursor, const rtf::DocumentTables &tables);

    bool wantsPictures() const override { return true; }
    void text(QStringView text, const rtf::CharState &format) override;
    void pageBreak(const rtf::CharState &format) override;
    void picture(const rtf::Picture &picture, const rtf::CharState &format) override;
    void paragraphEnd(const rtf::ParState &par, const rtf::CharState &mark, int level) override;
    void cellEnd(const rtf::ParState &par, const rtf::CharState &mark, int level) override;
    void rowEnd(const rtf::RowDef &row, int level) override;
    void tablesChanged() override;
    void finish(const rtf::ParState &par, const rtf::CharState &mark, int level) override;

private:
    void writeTopLevel();
    void flushTables();

    QTextCursor &m_cursor;
    FormatCache m_formats;
    ParagraphWriter m_writer;
    TableBuilder m_tables;
    PictureFactory m_pictures;
    Paragraph m_paragraph;
    bool m_needBlock = false; // the next paragraph needs a block of its own
    bool m_joinFirst = false; // the first paragraph joins text before the cursor
    bool m_tableOpen = false;
    QTextBlockFormat m_tailBlock; // format of the text after the cursor
    QTextCharFormat m_tailChar;
};

} // namespace richtext
