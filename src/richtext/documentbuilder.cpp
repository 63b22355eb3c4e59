#include "richtext/documentbuilder.h"

#include <QTextCursor>

namespace richtext {

DocumentBuilder::DocumentBuilder(QTextCursor &cursor, const rtf::DocumentTables &tables)
    : m_cursor(cursor),
      m_formats(tables),
      m_writer(m_formats, tables),
      m_tables(m_writer, tables),
      m_pictures(cursor.document())
{
    m_joinFirst = !m_cursor.atBlockStart();
    m_tailBlock = m_cursor.blockFormat();
    m_tailChar = m_cursor.blockCharFormat();
}

void DocumentBuilder::text(QStringView text, const rtf::CharState &format)
{
    m_paragraph.append(text, m_formats.charFormat(format));
}

void DocumentBuilder::pageBreak(const rtf::CharState &format)
{
    m_paragraph.append(u"\f", m_formats.charFormat(format, true));
}

void DocumentBuilder::picture(const rtf::Picture &picture, const rtf::CharState &format)
{
    // The run's character format (a hyperlink around a picture, its size)
    // with the picture's own properties.
    QTextImageFormat image = m_pictures.imageFormat(picture);
    image.merge(m_formats.format(m_formats.charFormat(format)));
    const QChar object = QChar::ObjectReplacementCharacter;
    m_paragraph.append(QStringView(&object, 1), m_formats.addFormat(image));
}

void DocumentBuilder::paragraphEnd(const rtf::ParState &par, const rtf::CharState &mark, int level)
{
    m_paragraph.par = par;
    m_paragraph.mark = m_formats.charFormat(mark);
    if (level > 0) {
        m_tables.addParagraph(std::move(m_paragraph), level);
        m_tableOpen = true;
    } else {
        flushTables();
        writeTopLevel();
    }
    m_paragraph = Paragraph();
}

void DocumentBuilder::cellEnd(const rtf::ParState &par, const rtf::CharState &mark, int level)
{
    m_paragraph.par = par;
    m_paragraph.mark = m_formats.charFormat(mark);
    m_tables.endCell(std::move(m_paragraph), std::max(level, 1));
    m_tableOpen = true;
    m_paragraph = Paragraph();
}

void DocumentBuilder::rowEnd(const rtf::RowDef &row, int level)
{
    if (!m_paragraph.isEmpty()) {
        // Text between the last \cell and \row: keep it in the row.
        if (m_paragraph.mark < 0)
            m_paragraph.mark = m_formats.charFormat(rtf::CharState());
        m_tables.endCell(std::move(m_paragraph), std::max(level, 1));
        m_paragraph = Paragraph();
    }
    m_tables.endRow(row, level);
}

void DocumentBuilder::tablesChanged()
{
    m_formats.invalidate();
}

void DocumentBuilder::finish(const rtf::ParState &par, const rtf::CharState &mark, int level)
{
    m_paragraph.par = par;
    m_paragraph.mark = m_formats.charFormat(mark);
    if (level > 0 && !m_paragraph.isEmpty()) {
        // A cell the data ended in before its \cell.
        m_tables.addParagraph(std::move(m_paragraph), level);
        m_tableOpen = true;
        m_paragraph = Paragraph();
    }
    flushTables();
    if (!m_paragraph.isEmpty()) {
        writeTopLevel();
    } else if (m_needBlock && !m_cursor.atBlockEnd()) {
        // The last \par ends the inserted text; what followed the cursor
        // stays a paragraph of its own, with its own format.
        m_cursor.insertBlock(m_tailBlock, m_tailChar);
        m_cursor.movePosition(QTextCursor::PreviousCharacter);
    }
}

void DocumentBuilder::flushTables()
{
    if (!m_tableOpen)
        return;
    m_tables.flush(m_cursor, m_needBlock);
    m_tableOpen = false;
    m_joinFirst = false;
}

void DocumentBuilder::writeTopLevel()
{
    using Placement = ParagraphWriter::Placement;
    const Placement placement = m_needBlock ? Placement::NewBlock
                                : m_joinFirst ? Placement::JoinBlock
                                              : Placement::ThisBlock;
    m_writer.write(m_cursor, m_paragraph, placement);
    m_needBlock = true;
    m_joinFirst = false;
}

} // namespace richtext
