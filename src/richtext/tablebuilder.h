#pragma once

#include "richtext/paragraphwriter.h"
#include "richtext/rtfstate.h"

#include <QTextFrame>

#include <memory>
#include <vector>

class QTextCursor;
class QTextTable;
class QTextTableCell;

// Collects the rows of a table (and the tables nested in its cells) as the
// reader hands them on, then builds the QTextTable in one go: RTF gives a
// nested table's row definition only after its cells, and the column grid
// of a table only follows from all of its rows.
namespace richtext {

class TableBuilder
{
public:
    TableBuilder(ParagraphWriter &writer, const rtf::DocumentTables &tables)
        : m_writer(writer), m_tables(tables)
    {
    }
    ~TableBuilder();

    bool isOpen() const { return !m_open.empty(); }

    // A paragraph of a cell at nesting `level` (1 = a top-level table).
    void addParagraph(Paragraph &&paragraph, int level);
    // The paragraph that ends a cell, and the end of that cell.
    void endCell(Paragraph &&paragraph, int level);
    void endRow(const rtf::RowDef &row, int level);

    // Ends every open table and builds it at the cursor, which is left at
    // the start of the block after the table. `needBlock` says whether the
    // next paragraph needs a block of its own, and is updated.
    void flush(QTextCursor &cursor, bool &needBlock);

    // Cells a document may hold in all; beyond that, a table's rows are
    // written as paragraphs of tab-separated cells (a few bytes of RTF must
    // not make millions of cells).
    static constexpr qint64 MaxCells = 400000;
    // Cells merged in one table at most: each merge costs Qt a pass over
    // the table.
    static constexpr int MaxMerges = 2000;

private:
    struct Table;
    struct Item
    {
        Paragraph paragraph;
        std::unique_ptr<Table> table;
    };
    struct Cell
    {
        std::vector<Item> items;
    };
    struct Row
    {
        std::vector<Cell> cells;
        rtf::RowDef def;
    };
    struct Table
    {
        std::vector<Row> rows;
        Row pendingRow;
        Cell pendingCell;
    };
    // A cell of the built grid.
    struct Placed
    {
        Cell *cell;
        const rtf::CellDef *def;
        const rtf::CellDef *lastDef; // of the last cell merged in from the right
        int row, column, rowSpan, columnSpan;
    };

    static bool hasContent(const std::vector<Item> &items);
    Table *openTo(int level);
    void closeTop();
    // `width`: twips the table may take, wider ones are scaled to it.
    void build(Table &table, QTextCursor &cursor, int depth, bool &needBlock, int width);
    void writeItems(std::vector<Item> &items, QTextCursor &cursor, int depth, bool &needBlock,
                    int width, bool cellStart = false);
    void formatCell(QTextTable &qtable, const Placed &placed, const Table &table,
                    int columnCount) const;
    void fillRowHeights(QTextTable &qtable, const std::vector<Placed> &placed, const Table &table,
                        const std::vector<qreal> &columnWidths);
    // Heights (px) as Qt's layout will give them, measured before it runs.
    static qreal contentHeight(QTextFrame::iterator it, qreal width);
    static qreal cellHeight(const QTextTableCell &cell, qreal width);
    static qreal tableHeight(QTextTable &table);
    void writeFlat(Table &table, QTextCursor &cursor, bool &needBlock);
    static void appendFlat(Paragraph &out, Table &table);
    static void appendSeparator(Paragraph &out, QChar separator);

    ParagraphWriter &m_writer;
    const rtf::DocumentTables &m_tables;
    std::unique_ptr<Table> m_root;
    std::vector<Table *> m_open; // m_open[k] is the table at level k + 1
    qint64 m_cellsUsed = 0;
};

} // namespace richtext
