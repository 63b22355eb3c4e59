#include "richtext/tablebuilder.h"

#include <QTextCursor>
#include <QTextTable>

#include <algorithm>

namespace richtext {

namespace {

// Cell edges closer than this (twips) are one column edge: writers round
// differently from row to row.
constexpr int EdgeTolerance = 30;
constexpr int MaxColumns = 64;
constexpr int DefaultCellWidth = 1440;

} // namespace

bool TableBuilder::hasContent(const std::vector<Item> &items)
{
    for (const auto &item : items) {
        if (item.table || !item.paragraph.isEmpty())
            return true;
    }
    return false;
}

TableBuilder::~TableBuilder() = default;

TableBuilder::Table *TableBuilder::openTo(int level)
{
    if (m_open.empty() && m_root)
        m_open.push_back(m_root.get());
    level = std::max(level, 1);
    while (int(m_open.size()) > level)
        closeTop();
    // A cell may start with a nested table, and a writer may skip levels
    // (\itap going from 2 to 5): each level missing opens a table in the
    // cell of the one above.
    while (int(m_open.size()) < level) {
        if (m_open.empty()) {
            m_root = std::make_unique<Table>();
            m_open.push_back(m_root.get());
        } else {
            Item item;
            item.table = std::make_unique<Table>();
            Table *nested = item.table.get();
            m_open.back()->pendingCell.items.push_back(std::move(item));
            m_open.push_back(nested);
        }
    }
    return m_open.back();
}

void TableBuilder::closeTop()
{
    Table *t = m_open.back();
    if (!t->pendingCell.items.empty()) {
        t->pendingRow.cells.push_back(std::move(t->pendingCell));
        t->pendingCell = Cell();
    }
    if (!t->pendingRow.cells.empty()) {
        t->rows.push_back(std::move(t->pendingRow));
        t->pendingRow = Row();
    }
    m_open.pop_back();
}

void TableBuilder::addParagraph(Paragraph &&paragraph, int level)
{
    Table *t = openTo(level);
    Item item;
    item.paragraph = std::move(paragraph);
    t->pendingCell.items.push_back(std::move(item));
}

void TableBuilder::endCell(Paragraph &&paragraph, int level)
{
    Table *t = openTo(level);
    Item item;
    item.paragraph = std::move(paragraph);
    t->pendingCell.items.push_back(std::move(item));
    if (t->pendingRow.cells.size() >= 256) {
        // Far more cells than any writer makes: the rest join the last one.
        auto &last = t->pendingRow.cells.back().items;
        for (Item &moved : t->pendingCell.items)
            last.push_back(std::move(moved));
    } else {
        t->pendingRow.cells.push_back(std::move(t->pendingCell));
    }
    t->pendingCell = Cell();
}

void TableBuilder::endRow(const rtf::RowDef &row, int level)
{
    if (m_open.empty() && m_root)
        m_open.push_back(m_root.get());
    if (level < 1 || level > int(m_open.size()))
        return; // a row end with no cell before it at its level ends nothing
    while (int(m_open.size()) > level)
        closeTop();
    Table *t = m_open.back();
    if (!t->pendingCell.items.empty()) {
        t->pendingRow.cells.push_back(std::move(t->pendingCell));
        t->pendingCell = Cell();
    }
    if (!t->pendingRow.cells.empty()) {
        t->pendingRow.def = row;
        t->rows.push_back(std::move(t->pendingRow));
    }
    t->pendingRow = Row();
}

void TableBuilder::flush(QTextCursor &cursor, bool &needBlock)
{
    while (!m_open.empty())
        closeTop();
    std::unique_ptr<Table> root = std::move(m_root);
    if (root && !root->rows.empty())
        build(*root, cursor, 0, needBlock);
}

void TableBuilder::writeItems(std::vector<Item> &items, QTextCursor &cursor, int depth,
                              bool &needBlock, bool cellStart)
{
    using Placement = ParagraphWriter::Placement;
    for (Item &item : items) {
        if (item.table) {
            build(*item.table, cursor, depth + 1, needBlock);
        } else {
            m_writer.write(cursor, item.paragraph,
                           needBlock ? Placement::NewBlock
                           : cellStart ? Placement::CellBlock
                                       : Placement::ThisBlock);
            needBlock = true;
        }
        cellStart = false;
    }
}

void TableBuilder::appendFlat(Paragraph &out, Table &table)
{
    // Cells separated by tabs, a cell's paragraphs and a nested table's
    // rows by line breaks: the text stays, in its order and formats.
    bool firstRow = true;
    for (Row &row : table.rows) {
        if (!firstRow)
            appendSeparator(out, QChar(0x2028));
        firstRow = false;
        bool firstCell = true;
        for (Cell &cell : row.cells) {
            if (!firstCell)
                appendSeparator(out, u'\t');
            firstCell = false;
            bool firstItem = true;
            for (Item &item : cell.items) {
                if (!firstItem)
                    appendSeparator(out, QChar(0x2028));
                firstItem = false;
                if (item.table) {
                    appendFlat(out, *item.table);
                    continue;
                }
                if (out.mark < 0) {
                    out.par = item.paragraph.par;
                    out.mark = item.paragraph.mark;
                }
                qsizetype pos = 0;
                for (const Paragraph::Run &run : item.paragraph.runs) {
                    out.append(QStringView(item.paragraph.text).mid(pos, run.length), run.format);
                    pos += run.length;
                }
            }
        }
    }
}

void TableBuilder::appendSeparator(Paragraph &out, QChar separator)
{
    const int format = !out.runs.empty() ? out.runs.back().format : std::max(out.mark, 0);
    out.append(QStringView(&separator, 1), format);
}

void TableBuilder::writeFlat(Table &table, QTextCursor &cursor, bool &needBlock)
{
    for (Row &row : table.rows) {
        Paragraph line;
        Table single;
        single.rows.push_back(std::move(row));
        appendFlat(line, single);
        line.par.itap = 0;
        line.par.set(rtf::ParState::InTable, false);
        if (line.mark < 0)
            line.mark = 0;
        m_writer.write(cursor, line,
                       needBlock ? ParagraphWriter::Placement::NewBlock
                                 : ParagraphWriter::Placement::ThisBlock);
        needBlock = true;
    }
}

void TableBuilder::build(Table &table, QTextCursor &cursor, int depth, bool &needBlock)
{
    struct Visual
    {
        Cell *cell;
        const rtf::CellDef *def;
        int left, right;
    };

    // Cells as the rows show them, with horizontally merged cells joined.
    std::vector<std::vector<Visual>> rows;
    rows.reserve(table.rows.size());
    bool border = false;
    for (Row &row : table.rows) {
        std::vector<Visual> cells;
        int left = row.def.left;
        border = border || row.def.border;
        for (size_t i = 0; i < row.cells.size(); ++i) {
            const rtf::CellDef *def = i < row.def.cells.size() ? &row.def.cells[i] : nullptr;
            int right = def ? def->right : left + DefaultCellWidth;
            if (right <= left)
                right = left + 1;
            if (def && def->border)
                border = true;
            if (def && def->hmerge == rtf::CellDef::Continue && !cells.empty()) {
                cells.back().right = right;
                if (hasContent(row.cells[i].items)) {
                    for (Item &item : row.cells[i].items)
                        cells.back().cell->items.push_back(std::move(item));
                }
                left = right;
                continue;
            }
            cells.push_back({&row.cells[i], def, left, right});
            left = right;
        }
        rows.push_back(std::move(cells));
    }

    // Columns: the union of the cell edges of all rows.
    std::vector<int> edges;
    for (const auto &cells : rows) {
        for (const Visual &v : cells) {
            edges.push_back(v.left);
            edges.push_back(v.right);
        }
    }
    std::sort(edges.begin(), edges.end());
    std::vector<int> columns;
    for (int e : edges) {
        if (columns.empty() || e - columns.back() > EdgeTolerance)
            columns.push_back(e);
    }
    auto edgeIndex = [&](int x) {
        auto it = std::upper_bound(columns.begin(), columns.end(), x + EdgeTolerance);
        return int(it - columns.begin()) - 1;
    };
    int columnCount = int(columns.size()) - 1;
    bool byIndex = columnCount < 1 || columnCount > MaxColumns;

    std::vector<Placed> placed;
    auto place = [&](bool indexed) {
        placed.clear();
        std::vector<int> ownerAbove(size_t(columnCount), -1);
        for (size_t r = 0; r < rows.size(); ++r) {
            std::vector<int> owner(size_t(columnCount), -1);
            int next = 0;
            for (size_t i = 0; i < rows[r].size(); ++i) {
                const Visual &v = rows[r][i];
                int c0 = indexed ? int(i) : std::max(edgeIndex(v.left), next);
                int c1 = indexed ? c0 + 1 : std::max(edgeIndex(v.right), c0 + 1);
                if (c1 > columnCount)
                    return false;
                next = c1;
                const int above = ownerAbove[size_t(c0)];
                if (v.def && v.def->vmerge == rtf::CellDef::Continue && above >= 0
                    && placed[size_t(above)].column == c0
                    && placed[size_t(above)].columnSpan == c1 - c0) {
                    Placed &top = placed[size_t(above)];
                    top.rowSpan = int(r) - top.row + 1;
                    if (hasContent(v.cell->items)) {
                        for (Item &item : v.cell->items)
                            top.cell->items.push_back(std::move(item));
                        v.cell->items.clear();
                    }
                    for (int c = c0; c < c1; ++c)
                        owner[size_t(c)] = above;
                    continue;
                }
                placed.push_back({v.cell, v.def, int(r), c0, 1, c1 - c0});
                for (int c = c0; c < c1; ++c)
                    owner[size_t(c)] = int(placed.size() - 1);
            }
            ownerAbove = std::move(owner);
        }
        return true;
    };
    if (!byIndex && !place(false))
        byIndex = true;
    if (byIndex) {
        columnCount = 1;
        for (const auto &cells : rows)
            columnCount = std::max(columnCount, int(cells.size()));
        place(true);
    }

    const qint64 cells = qint64(rows.size()) * columnCount;
    if (m_cellsUsed + cells > MaxCells) {
        writeFlat(table, cursor, needBlock);
        return;
    }
    m_cellsUsed += cells;

    QTextTableFormat format;
    format.setBorder(border ? 1 : 0);
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setBorderCollapse(true);
    format.setCellSpacing(0);
    const rtf::RowDef &first = table.rows.front().def;
    format.setCellPadding(first.gap / 15.0);
    if (first.align == 1)
        format.setAlignment(Qt::AlignHCenter);
    else if (first.align == 2)
        format.setAlignment(Qt::AlignRight);
    if (!byIndex) {
        QList<QTextLength> widths;
        for (int c = 0; c < columnCount; ++c)
            widths.append(QTextLength(QTextLength::FixedLength,
                                      (columns[size_t(c) + 1] - columns[size_t(c)]) / 15.0));
        format.setColumnWidthConstraints(widths);
        if (columns.front() > 0)
            format.setLeftMargin(columns.front() / 15.0);
    }
    int headers = 0;
    while (headers < int(table.rows.size()) && table.rows[size_t(headers)].def.header)
        ++headers;
    format.setHeaderRowCount(headers);

    QTextTable *qtable = cursor.insertTable(int(rows.size()), columnCount, format);
    int merges = 0;
    for (const Placed &p : placed) {
        if ((p.rowSpan > 1 || p.columnSpan > 1) && merges < MaxMerges) {
            qtable->mergeCells(p.row, p.column, p.rowSpan, p.columnSpan);
            ++merges;
        }
    }
    for (const Placed &p : placed) {
        QTextTableCell cell = qtable->cellAt(p.row, p.column);
        if (p.def && (p.def->background > 0 || p.def->valign > 0)) {
            QTextTableCellFormat cellFormat; // a new cell has no format to keep
            const QColor color = m_tables.color(p.def->background);
            if (color.isValid())
                cellFormat.setBackground(color);
            if (p.def->valign == 1)
                cellFormat.setVerticalAlignment(QTextCharFormat::AlignMiddle);
            else if (p.def->valign == 2)
                cellFormat.setVerticalAlignment(QTextCharFormat::AlignBottom);
            cell.setFormat(cellFormat);
        }
        QTextCursor inCell = cell.firstCursorPosition();
        bool cellNeedsBlock = false;
        writeItems(p.cell->items, inCell, depth, cellNeedsBlock, true);
    }
    cursor.setPosition(qtable->lastPosition() + 1);
    needBlock = false;
}

} // namespace richtext
