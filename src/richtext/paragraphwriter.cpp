#include "richtext/paragraphwriter.h"

#include "richtext/listmarkers.h"

#include <QTextCursor>

namespace richtext {

void Paragraph::append(QStringView piece, int format)
{
    if (piece.isEmpty())
        return;
    text.append(piece);
    if (!runs.empty() && runs.back().format == format)
        runs.back().length += piece.size();
    else
        runs.push_back({piece.size(), format});
}

void Paragraph::clear()
{
    text.resize(0);
    runs.clear();
    par = rtf::ParState();
    mark = -1;
}

void ParagraphWriter::write(QTextCursor &cursor, const Paragraph &p, Placement placement)
{
    const ListChooser::Choice list = m_lists.choose(p.par);
    const int object = list.list ? list.list->objectIndex() : -1;
    const QTextCharFormat &mark = m_formats.format(p.mark >= 0 ? p.mark : 0);

    if (placement != Placement::JoinBlock || list.level) {
        QTextBlockFormat block = m_formats.blockFormat(p.par, list.level != nullptr, object);
        // Lists read from RTF draw their markers themselves (listmarkers.h).
        if (list.level)
            hideQtMarker(block);
        if (placement == Placement::NewBlock) {
            cursor.insertBlock(block, mark);
        } else {
            cursor.setBlockFormat(block);
            // The first block of a table cell carries the cell's format
            // (background, alignment) in its character format.
            if (placement == Placement::CellBlock)
                cursor.mergeBlockCharFormat(mark);
            else
                cursor.setBlockCharFormat(mark);
        }
        if (list.level && !list.list) {
            QTextListFormat format = m_formats.listFormat(*list.level, p.par);
            if (list.key >= 0)
                m_lists.fillLevelNumbers(format, p.par, *list.level);
            m_lists.started(list, cursor.createList(format));
        }
    }

    qsizetype pos = 0;
    for (const Paragraph::Run &run : p.runs) {
        // A view into the paragraph's text: insertText copies it anyway.
        const QString piece = QString::fromRawData(p.text.constData() + pos, run.length);
        cursor.insertText(piece, m_formats.format(run.format));
        pos += run.length;
    }
}

} // namespace richtext
