#include "richtext/tablebuilder.h"

#include "richtext/pagesetup.h"
#include "richtext/textproperties.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextTable>

#include <algorithm>
#include <cmath>
#include <optional>

namespace richtext {

namespace {

// Cell edges closer than this (twips) are one column edge: writers round
// differently from row to row.
constexpr int EdgeTolerance = 30;
constexpr int MaxColumns = 64;
constexpr int DefaultCellWidth = 1440;
// The line a border word with no \brdrw draws: half a point, as Word's.
constexpr int ThinnestBorder = 10;

using rtf::BorderDef;
using rtf::BorderSide;

QTextFrameFormat::BorderStyle qtStyle(std::uint8_t style)
{
    switch (style) {
    case BorderDef::None: return QTextFrameFormat::BorderStyle_None;
    case BorderDef::Double: return QTextFrameFormat::BorderStyle_Double;
    case BorderDef::Dotted: return QTextFrameFormat::BorderStyle_Dotted;
    case BorderDef::Dashed: return QTextFrameFormat::BorderStyle_Dashed;
    default: return QTextFrameFormat::BorderStyle_Solid;
    }
}

// Line width in whole document pixels (15 twips), at least one: a thick
// line is twice the width, a double one two lines and their gap. Lines of
// a fraction of a pixel would be drawn faint, and darker where the edges
// of two cells overlap.
qreal borderWidth(const BorderDef &border)
{
    if (border.style == BorderDef::None)
        return 0;
    const qreal width = (border.width > 0 ? border.width : ThinnestBorder) / 15.0;
    const qreal factor = border.style == BorderDef::Thick    ? 2
                         : border.style == BorderDef::Double ? 3
                                                             : 1;
    return std::max<qreal>(1, std::round(factor * width));
}

// A border as kept for writing back: "th20" for \brdrth\brdrw20, "-" for none.
QString borderWords(const BorderDef &border)
{
    static const char *const styles[] = {"-", "s", "th", "db", "dot", "dash"};
    if (border.style == BorderDef::None || border.style > BorderDef::Dashed)
        return QStringLiteral("-");
    return QLatin1String(styles[border.style]) + QString::number(border.width);
}

// A cell's padding on `side`, twips: the cell's own, else the row's, else
// \trgaph at the left and right only (a gap between cells, not above or
// below the text: padding it above and below too made rows far taller
// than written).
int cellPadding(const rtf::CellDef *def, const rtf::RowDef &row, int side)
{
    if (def && def->padding[side] >= 0)
        return def->padding[side];
    if (row.padding[side] >= 0)
        return row.padding[side];
    return side == BorderSide::Left || side == BorderSide::Right ? row.gap : 0;
}

// Height (px) of a block laid out `width` px wide, margins included, as
// Qt's document layout stacks its lines.
qreal blockHeight(const QTextBlock &block, qreal width)
{
    const QTextBlockFormat format = block.blockFormat();
    QFont font = block.charFormat().font().resolve(block.document()->defaultFont());
    QTextLayout layout(block.text(), font);
    layout.setFormats(block.textFormats());
    layout.setTextOption(block.document()->defaultTextOption());
    const qreal inner = std::max<qreal>(1, width - format.leftMargin() - format.rightMargin());
    qreal height = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(height == 0 ? std::max<qreal>(1, inner - format.textIndent()) : inner);
        height += format.lineHeight(line.height(), 1.0);
    }
    layout.endLayout();
    return height;
}

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
    if (root && !root->rows.empty()) {
        const QRectF text = m_tables.page.result().value_or(PageSetup()).sane().textRect();
        build(*root, cursor, 0, needBlock, int(text.width()));
    }
}

void TableBuilder::writeItems(std::vector<Item> &items, QTextCursor &cursor, int depth,
                              bool &needBlock, int width, bool cellStart)
{
    using Placement = ParagraphWriter::Placement;
    for (Item &item : items) {
        if (item.table) {
            build(*item.table, cursor, depth + 1, needBlock, width);
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

void TableBuilder::build(Table &table, QTextCursor &cursor, int depth, bool &needBlock,
                         int width)
{
    struct Visual
    {
        Cell *cell;
        const rtf::CellDef *def, *lastDef;
        int left, right;
    };

    // Cells as the rows show them, with horizontally merged cells joined.
    std::vector<std::vector<Visual>> rows;
    rows.reserve(table.rows.size());
    for (Row &row : table.rows) {
        std::vector<Visual> cells;
        int left = row.def.left;
        for (size_t i = 0; i < row.cells.size(); ++i) {
            const rtf::CellDef *def = i < row.def.cells.size() ? &row.def.cells[i] : nullptr;
            int right = def ? def->right : left + DefaultCellWidth;
            if (right <= left)
                right = left + 1;
            if (def && def->hmerge == rtf::CellDef::Continue && !cells.empty()) {
                cells.back().right = right;
                cells.back().lastDef = def;
                if (hasContent(row.cells[i].items)) {
                    for (Item &item : row.cells[i].items)
                        cells.back().cell->items.push_back(std::move(item));
                }
                left = right;
                continue;
            }
            cells.push_back({&row.cells[i], def, def, left, right});
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
                placed.push_back({v.cell, v.def, v.lastDef, int(r), c0, 1, c1 - c0});
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
    // Lines are the cells' own, side by side; the table draws none.
    format.setBorder(0);
    format.setBorderStyle(QTextFrameFormat::BorderStyle_None);
    format.setBorderCollapse(true);
    format.setCellSpacing(0);
    const rtf::RowDef &first = table.rows.front().def;
    format.setCellPadding(first.gap / 15.0);
    if (first.align == 1)
        format.setAlignment(Qt::AlignHCenter);
    else if (first.align == 2)
        format.setAlignment(Qt::AlignRight);
    std::vector<qreal> columnWidths(size_t(columnCount), width / 15.0 / columnCount);
    std::optional<qreal> leftEdge; // px from the margin, less the first cell's border
    if (!byIndex) {
        // The cells' text starts at their edges, so the first cell's
        // padding and border lie left of \trleft: a table with no indent
        // sticks out into the margin by them, as word processors place it.
        const Placed &origin = placed.front();
        const int pad = cellPadding(origin.def, table.rows.front().def, BorderSide::Left);
        const int indent = columns.front() - pad;
        // A table wider than the text is scaled to it, in proportion: Qt
        // would let fixed columns run off the page and lose their text.
        const qreal extent = std::max(indent, 0) + columns.back() - columns.front();
        const qreal scale = width > 0 && extent > width ? width / extent : 1.0;
        QList<QTextLength> widths;
        for (int c = 0; c < columnCount; ++c) {
            columnWidths[size_t(c)] = scale * (columns[size_t(c) + 1] - columns[size_t(c)]) / 15.0;
            widths.append(QTextLength(QTextLength::FixedLength, columnWidths[size_t(c)]));
        }
        format.setColumnWidthConstraints(widths);
        leftEdge = scale * indent / 15.0;
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
        formatCell(*qtable, p, table, columnCount);
        QTextCursor inCell = qtable->cellAt(p.row, p.column).firstCursorPosition();
        bool cellNeedsBlock = false;
        // A nested table is held to its cell's width, as word processors
        // show it: writers give nested rows the full text width.
        qreal cellWidth = 0;
        for (int c = p.column; c < p.column + p.columnSpan; ++c)
            cellWidth += columnWidths[size_t(c)] * 15;
        const rtf::RowDef &rowDef = table.rows[size_t(p.row)].def;
        cellWidth -= cellPadding(p.def, rowDef, BorderSide::Left)
                     + cellPadding(p.def, rowDef, BorderSide::Right);
        writeItems(p.cell->items, inCell, depth, cellNeedsBlock,
                   std::max(int(cellWidth), DefaultCellWidth / 4), true);
    }
    // Only where the table starts at the left: Qt would add the margin to
    // a centred table's position too.
    if (leftEdge && first.align == 0) {
        const QTextTableCellFormat origin = qtable->cellAt(placed.front().row, placed.front().column)
                                                .format()
                                                .toTableCellFormat();
        if (const qreal left = *leftEdge - origin.leftBorder(); left != 0) {
            format.setLeftMargin(left);
            qtable->setFormat(format);
        }
    }
    // Heights last: they depend on what the cells hold.
    fillRowHeights(*qtable, placed, table, columnWidths);
    cursor.setPosition(qtable->lastPosition() + 1);
    needBlock = false;
}

void TableBuilder::formatCell(QTextTable &qtable, const Placed &p, const Table &table,
                              int columnCount) const
{
    const rtf::RowDef &row = table.rows[size_t(p.row)].def;
    const rtf::RowDef &lastRow = table.rows[size_t(p.row + p.rowSpan - 1)].def;
    QTextTableCell cell = qtable.cellAt(p.row, p.column);
    QTextTableCellFormat format; // a new cell has no format to keep

    if (p.def) {
        const QColor color = m_tables.color(p.def->background);
        if (p.def->background > 0 && color.isValid())
            format.setBackground(color);
        if (p.def->valign == 1)
            format.setVerticalAlignment(QTextCharFormat::AlignMiddle);
        else if (p.def->valign == 2)
            format.setVerticalAlignment(QTextCharFormat::AlignBottom);
    }

    // A side the cell names is drawn as it says (a side named with no
    // style has no line); other sides take the row's border for that edge.
    auto border = [&](int side) {
        const rtf::CellDef *def = side == BorderSide::Right ? p.lastDef : p.def;
        if (def && def->bordered[side])
            return def->borders[side];
        const rtf::RowDef &from = side == BorderSide::Bottom ? lastRow : row;
        if (side == BorderSide::Left && p.column > 0)
            return from.borders[BorderSide::InnerVertical];
        if (side == BorderSide::Right && p.column + p.columnSpan < columnCount)
            return from.borders[BorderSide::InnerVertical];
        return from.borders[side];
    };
    auto brush = [&](const BorderDef &b) {
        const QColor color = m_tables.color(b.color);
        return QBrush(b.color > 0 && color.isValid() ? color : QColor(Qt::black));
    };
    const BorderDef top = border(BorderSide::Top), left = border(BorderSide::Left),
                    bottom = border(BorderSide::Bottom), right = border(BorderSide::Right);
    format.setTopBorder(borderWidth(top));
    format.setTopBorderStyle(qtStyle(top.style));
    format.setTopBorderBrush(brush(top));
    format.setLeftBorder(borderWidth(left));
    format.setLeftBorderStyle(qtStyle(left.style));
    format.setLeftBorderBrush(brush(left));
    format.setBottomBorder(borderWidth(bottom));
    format.setBottomBorderStyle(qtStyle(bottom.style));
    format.setBottomBorderBrush(brush(bottom));
    format.setRightBorder(borderWidth(right));
    format.setRightBorderStyle(qtStyle(right.style));
    format.setRightBorderBrush(brush(right));
    if (top.style || left.style || bottom.style || right.style) {
        // The borders as written, which whole pixels do not keep.
        format.setProperty(prop::CellBorders, QStringList{borderWords(top), borderWords(left),
                                                          borderWords(bottom), borderWords(right)}
                                                  .join(u' '));
    }

    auto padding = [&](int side) { return cellPadding(p.def, row, side); };
    format.setTopPadding(padding(BorderSide::Top) / 15.0);
    format.setLeftPadding(padding(BorderSide::Left) / 15.0);
    format.setBottomPadding(padding(BorderSide::Bottom) / 15.0);
    format.setRightPadding(padding(BorderSide::Right) / 15.0);
    if (row.height != 0)
        format.setProperty(prop::RowHeight, row.height);
    cell.setFormat(format);
}

qreal TableBuilder::contentHeight(QTextFrame::iterator it, qreal width)
{
    qreal height = 0;
    qreal pendingMargin = 0; // the bottom margin of the block before
    bool first = true;       // Qt gives no space before a frame's first block
    for (; !it.atEnd(); ++it, first = false) {
        if (auto *nested = qobject_cast<QTextTable *>(it.currentFrame())) {
            height += pendingMargin + tableHeight(*nested);
            pendingMargin = 0;
            continue;
        }
        const QTextBlock block = it.currentBlock();
        if (!block.isValid())
            continue;
        // Qt lets the margins of two blocks in a row overlap.
        const QTextBlockFormat format = block.blockFormat();
        height += (first ? 0 : std::max(pendingMargin, format.topMargin()))
                  + blockHeight(block, width);
        pendingMargin = format.bottomMargin();
    }
    return height + pendingMargin;
}

qreal TableBuilder::cellHeight(const QTextTableCell &cell, qreal width)
{
    const QTextTableCellFormat f = cell.format().toTableCellFormat();
    const qreal inner = width - f.leftPadding() - f.rightPadding() - f.leftBorder() - f.rightBorder();
    return contentHeight(cell.begin(), inner) + f.topPadding() + f.bottomPadding() + f.topBorder()
           + f.bottomBorder();
}

qreal TableBuilder::tableHeight(QTextTable &table)
{
    const QList<QTextLength> widths = table.format().columnWidthConstraints();
    qreal height = 0;
    for (int r = 0; r < table.rows(); ++r) {
        qreal row = 0;
        for (int c = 0; c < table.columns(); ++c) {
            const QTextTableCell cell = table.cellAt(r, c);
            if (cell.row() != r || cell.column() != c || cell.rowSpan() > 1)
                continue;
            qreal w = 0;
            for (int k = c; k < c + cell.columnSpan(); ++k)
                w += widths.value(k).rawValue();
            row = std::max(row, cellHeight(cell, w));
        }
        height += row;
    }
    return height;
}

void TableBuilder::fillRowHeights(QTextTable &qtable, const std::vector<Placed> &placed,
                                  const Table &table, const std::vector<qreal> &columnWidths)
{
    // Qt's tables have no row height: a row is as tall as its tallest cell.
    // Each cell of a row with \trrh gets the padding that makes it that tall
    // (a form's empty boxes keep their size); where its text is taller the
    // row grows, for an exact height too, rather than hide text. The fill
    // goes where the cell's alignment leaves its free space, so a cell
    // aligned to the bottom keeps its text there. Cells that span rows get
    // none: the rows they cross hold the heights.
    for (const Placed &p : placed) {
        QTextTableCell cell = qtable.cellAt(p.row, p.column);
        // Qt's layout leaves out the space before the first paragraph of a
        // cell; word processors keep it.
        const QTextBlock firstBlock = cell.firstCursorPosition().block();
        const qreal before = firstBlock.blockFormat().topMargin();
        if (before > 0) {
            QTextTableCellFormat format = cell.format().toTableCellFormat();
            format.setTopPadding(format.topPadding() + before);
            format.setProperty(prop::RowFillTop, before);
            cell.setFormat(format);
        }
        const int height = table.rows[size_t(p.row)].def.height;
        if (height == 0 || p.rowSpan > 1)
            continue;
        qreal width = 0;
        for (int c = p.column; c < p.column + p.columnSpan; ++c)
            width += columnWidths[size_t(c)];
        const qreal fill = std::abs(height) / 15.0 - cellHeight(cell, width);
        if (fill <= 0)
            continue;
        QTextTableCellFormat format = cell.format().toTableCellFormat();
        const int valign = p.def ? p.def->valign : 0;
        const qreal above = valign == 2 ? fill : valign == 1 ? fill / 2 : 0;
        format.setTopPadding(format.topPadding() + above);
        format.setBottomPadding(format.bottomPadding() + fill - above);
        format.setProperty(prop::RowFillTop, before + above);
        format.setProperty(prop::RowFillBottom, fill - above);
        cell.setFormat(format);
    }
}

} // namespace richtext
