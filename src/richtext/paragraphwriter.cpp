#include "richtext/paragraphwriter.h"

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

ParagraphWriter::ListChoice ParagraphWriter::chooseList(const rtf::ParState &par)
{
    ListChoice choice;
    if (par.ls > 0) {
        m_pnList.clear();
        m_pnDef = -1;
        choice.level = m_tables.listLevel(par.ls, par.ilvl);
        if (!choice.level || choice.level->kind == ListKind::None)
            return {};
        choice.key = (qint64(par.ls) << 8) | par.ilvl;
        // A higher level item restarts the numbering of the levels below it.
        for (int lower = par.ilvl + 1; lower <= 8; ++lower)
            m_lists.remove((qint64(par.ls) << 8) | lower);
        choice.list = m_lists.value(choice.key);
        return choice;
    }
    if (par.pn >= 0 && size_t(par.pn) < m_tables.pnDefs.size()) {
        choice.level = &m_tables.pnDefs[size_t(par.pn)];
        if (m_pnDef == par.pn)
            choice.list = m_pnList;
        choice.key = -1 - par.pn;
        return choice;
    }
    m_pnList.clear();
    m_pnDef = -1;
    return {};
}

void ParagraphWriter::write(QTextCursor &cursor, const Paragraph &p, Placement placement)
{
    const ListChoice list = chooseList(p.par);
    const int object = list.list ? list.list->objectIndex() : -1;
    const QTextCharFormat &mark = m_formats.format(p.mark >= 0 ? p.mark : 0);

    if (placement != Placement::JoinBlock || list.level) {
        const QTextBlockFormat block = m_formats.blockFormat(p.par, list.level != nullptr, object);
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
            QTextList *created = cursor.createList(m_formats.listFormat(*list.level, p.par));
            if (list.key >= 0) {
                m_lists.insert(list.key, created);
            } else {
                m_pnList = created;
                m_pnDef = p.par.pn;
            }
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
