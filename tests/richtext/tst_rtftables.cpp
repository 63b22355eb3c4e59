// Table cells as read from RTF and written back: borders side by side,
// padding, row height, and tables scaled to the text width.

#include "richtexttesting.h"
#include "richtext/textproperties.h"

#include <QAbstractTextDocumentLayout>
#include <QTest>

using namespace richtext;
using namespace testdocs;

namespace {

// One side of a cell as "width/style/colour" (width in twips, so the
// rows read as RTF does), or "-" for no line.
QString side(const QTextTableCellFormat &f, QTextFormat::Property width,
             QTextFormat::Property style, QTextFormat::Property brush)
{
    const int twips = qRound(f.doubleProperty(width) * 15);
    const int s = f.intProperty(style);
    if (twips == 0 || s == QTextFrameFormat::BorderStyle_None)
        return QStringLiteral("-");
    static const char *const names[] = {"none", "dotted", "dashed", "solid", "double",
                                        "dotdash", "dotdotdash", "groove", "ridge", "inset",
                                        "outset"};
    return QStringLiteral("%1/%2/%3")
        .arg(twips)
        .arg(QLatin1String(names[s]))
        .arg(f.brushProperty(brush).color().name());
}

// The four sides of a cell: "top | left | bottom | right".
QString frame(const QTextTableCell &cell)
{
    const QTextTableCellFormat f = cell.format().toTableCellFormat();
    return QStringList{side(f, QTextFormat::TableCellTopBorder, QTextFormat::TableCellTopBorderStyle,
                            QTextFormat::TableCellTopBorderBrush),
                       side(f, QTextFormat::TableCellLeftBorder,
                            QTextFormat::TableCellLeftBorderStyle,
                            QTextFormat::TableCellLeftBorderBrush),
                       side(f, QTextFormat::TableCellBottomBorder,
                            QTextFormat::TableCellBottomBorderStyle,
                            QTextFormat::TableCellBottomBorderBrush),
                       side(f, QTextFormat::TableCellRightBorder,
                            QTextFormat::TableCellRightBorderStyle,
                            QTextFormat::TableCellRightBorderBrush)}
        .join(QStringLiteral(" | "));
}

// Padding as "top left bottom right" in twips.
QString padding(const QTextTableCell &cell)
{
    const QTextTableCellFormat f = cell.format().toTableCellFormat();
    return QStringLiteral("%1 %2 %3 %4")
        .arg(qRound(f.topPadding() * 15))
        .arg(qRound(f.leftPadding() * 15))
        .arg(qRound(f.bottomPadding() * 15))
        .arg(qRound(f.rightPadding() * 15));
}

// A one-row table of two cells; `first` describes the first cell, `row` goes
// before it.
QByteArray twoCells(const QByteArray &row, const QByteArray &first, const QByteArray &second = {})
{
    return rtf(("\\trowd" + row + first + "\\cellx2000" + second
                + "\\cellx4000\\pard\\intbl a\\cell b\\cell\\row\\pard after\\par")
                   .constData());
}

QTextTable *firstTable(const QTextDocument &doc)
{
    return tablesIn(doc.rootFrame()).value(0);
}

// Where the layout puts things, in twips from the top left of the text:
// "x,y" of the first line of a block, a row's top and height.
struct Geometry
{
    explicit Geometry(QTextDocument &doc) : layout(doc.documentLayout())
    {
        doc.setDocumentMargin(0);
        doc.setTextWidth(576); // the default page's text width
    }
    int x(const QTextBlock &block) const { return qRound(layout->blockBoundingRect(block).left() * 15); }
    int y(const QTextBlock &block) const { return qRound(layout->blockBoundingRect(block).top() * 15); }
    // Top of row `r`: the first block of its first cell, less what is
    // above that block in the cell.
    int rowTop(QTextTable &table, int r) const
    {
        if (r == table.rows())
            return qRound(layout->frameBoundingRect(&table).bottom() * 15);
        const QTextTableCell cell = table.cellAt(r, 0);
        const QTextTableCellFormat f = cell.format().toTableCellFormat();
        return y(cell.firstCursorPosition().block()) - qRound((f.topPadding() + f.topBorder()) * 15);
    }
    int rowHeight(QTextTable &table, int r) const { return rowTop(table, r + 1) - rowTop(table, r); }
    QAbstractTextDocumentLayout *layout;
};

// Within a pixel (15 twips) and a half: fonts and rounding differ.
bool near(int a, int b)
{
    return qAbs(a - b) <= 22;
}

} // namespace

class TestRtfTables : public QObject
{
    Q_OBJECT

private slots:
    void borders_data()
    {
        QTest::addColumn<QByteArray>("row");
        QTest::addColumn<QByteArray>("cell");
        QTest::addColumn<QString>("expected");
        const QString none = QStringLiteral("- | - | - | -");
        // Layout tables: no border word draws no line at all.
        QTest::newRow("no words") << QByteArray() << QByteArray() << none;
        QTest::newRow("named, no style") << QByteArray() << QByteArray("\\clbrdrt\\clbrdrb") << none;
        QTest::newRow("brdrnone") << QByteArray() << QByteArray("\\clbrdrb\\brdrnone") << none;
        // Rule-only tables: one side only.
        QTest::newRow("bottom rule") << QByteArray() << QByteArray("\\clbrdrb\\brdrs")
                                     << QStringLiteral("- | - | 15/solid/#000000 | -");
        QTest::newRow("thick") << QByteArray() << QByteArray("\\clbrdrt\\brdrth\\brdrw20")
                               << QStringLiteral("45/solid/#000000 | - | - | -");
        QTest::newRow("double") << QByteArray() << QByteArray("\\clbrdrl\\brdrdb\\brdrw10")
                                << QStringLiteral("- | 30/double/#000000 | - | -");
        QTest::newRow("dotted coloured")
            << QByteArray() << QByteArray("\\clbrdrr\\brdrdot\\brdrw15\\brdrcf2")
            << QStringLiteral("- | - | - | 15/dotted/#0000ff");
        QTest::newRow("colour before style")
            << QByteArray() << QByteArray("\\clbrdrt\\brdrcf1\\brdrw30\\brdrdash")
            << QStringLiteral("30/dashed/#ff0000 | - | - | -");
        QTest::newRow("each side its own")
            << QByteArray()
            << QByteArray("\\clbrdrt\\brdrs\\clbrdrl\\brdrth\\clbrdrb\\brdrdb\\clbrdrr\\brdrdash")
            << QStringLiteral("15/solid/#000000 | 15/solid/#000000 | 30/double/#000000 | "
                              "15/dashed/#000000");
        // Row borders are the default of cells that name no side.
        QTest::newRow("row box, first cell")
            << QByteArray("\\trbrdrt\\brdrs\\trbrdrl\\brdrs\\trbrdrb\\brdrs\\trbrdrr\\brdrs"
                          "\\trbrdrv\\brdrdot")
            << QByteArray()
            << QStringLiteral("15/solid/#000000 | 15/solid/#000000 | 15/solid/#000000 | "
                              "15/dotted/#000000");
        QTest::newRow("cell side wins over row")
            << QByteArray("\\trbrdrt\\brdrs\\brdrw40") << QByteArray("\\clbrdrt\\brdrnone")
            << none;
        // A word of the cell after the border ends it: \brdrw there is
        // not the border's.
        QTest::newRow("border then background")
            << QByteArray() << QByteArray("\\clbrdrb\\brdrs\\clcbpat1")
            << QStringLiteral("- | - | 15/solid/#000000 | -");
    }

    void borders()
    {
        QFETCH(QByteArray, row);
        QFETCH(QByteArray, cell);
        QFETCH(QString, expected);
        const auto doc = load(twoCells(row, cell));
        QTextTable *table = firstTable(*doc);
        QVERIFY(table);
        QCOMPARE(table->format().border(), 0.0);
        QCOMPARE(frame(table->cellAt(0, 0)), expected);
        // The same after our writer and reader.
        const auto again = reread(*doc);
        QTextTable *table2 = firstTable(*again);
        QVERIFY(table2);
        QCOMPARE(frame(table2->cellAt(0, 0)), expected);
        QCOMPARE(frame(table2->cellAt(0, 1)), frame(table->cellAt(0, 1)));
    }

    // Drawn widths are whole pixels; the file gets back the words it had.
    void bordersWrittenAsRead_data()
    {
        QTest::addColumn<QByteArray>("cell");
        QTest::newRow("half point") << QByteArray("\\clbrdrb\\brdrs\\brdrw10");
        QTest::newRow("thick") << QByteArray("\\clbrdrt\\brdrth\\brdrw20");
        QTest::newRow("double") << QByteArray("\\clbrdrl\\brdrdb\\brdrw10");
        QTest::newRow("no width") << QByteArray("\\clbrdrr\\brdrdot");
        QTest::newRow("coloured") << QByteArray("\\clbrdrt\\brdrdash\\brdrw15\\brdrcf1");
        QTest::newRow("two sides")
            << QByteArray("\\clbrdrt\\brdrs\\brdrw10\\clbrdrb\\brdrth\\brdrw30");
    }

    void bordersWrittenAsRead()
    {
        QFETCH(QByteArray, cell);
        const auto doc = load(twoCells({}, cell));
        const QByteArray written = toRtf(*doc);
        QVERIFY2(written.contains(cell + "\\cellx"), written.constData());
        // and once more, from what was written
        QVERIFY(toRtf(*reread(*doc)).contains(cell + "\\cellx"));
        // the second cell has no border, and gets none
        QVERIFY(!written.contains("\\cellx2000\\clbrdr"));
    }

    void bordersStayInTheirCell()
    {
        // The second cell names nothing: the first cell's border must not
        // carry over, nor a paragraph's border words reach the cell.
        const auto doc = load(twoCells({}, "\\clbrdrb\\brdrs\\brdrw30\\brdrb\\brdrdb\\brdrw60"));
        QTextTable *table = firstTable(*doc);
        QVERIFY(table);
        QCOMPARE(frame(table->cellAt(0, 1)), QStringLiteral("- | - | - | -"));
        QCOMPARE(frame(table->cellAt(0, 0)), QStringLiteral("- | - | 30/solid/#000000 | -"));
    }

    void padding_data()
    {
        QTest::addColumn<QByteArray>("row");
        QTest::addColumn<QByteArray>("cell");
        QTest::addColumn<QString>("expected"); // top left bottom right, twips
        // \trgaph is space between cells, not above and below the text.
        QTest::newRow("gap only") << QByteArray("\\trgaph120") << QByteArray() << "0 120 0 120";
        QTest::newRow("row padding") << QByteArray("\\trgaph108\\trpaddl50\\trpaddfl3\\trpaddt20\\trpaddft3")
                                     << QByteArray() << "20 50 0 108";
        QTest::newRow("unit 0 ignores the value")
            << QByteArray("\\trgaph108\\trpaddl50\\trpaddfl0") << QByteArray() << "0 108 0 108";
        // Word writes the left padding as \clpadt and the top as \clpadl.
        QTest::newRow("cell padding")
            << QByteArray("\\trgaph108")
            << QByteArray("\\clpadt75\\clpadft3\\clpadl10\\clpadfl3\\clpadr60\\clpadfr3")
            << "10 75 0 60";
    }

    void padding()
    {
        QFETCH(QByteArray, row);
        QFETCH(QByteArray, cell);
        QFETCH(QString, expected);
        const auto doc = load(twoCells(row, cell));
        QTextTable *table = firstTable(*doc);
        QVERIFY(table);
        QCOMPARE(::padding(table->cellAt(0, 0)), expected);
        const auto again = reread(*doc);
        QVERIFY(firstTable(*again));
        QCOMPARE(::padding(firstTable(*again)->cellAt(0, 0)), expected);
    }

    void rowHeight_data()
    {
        QTest::addColumn<int>("height");
        QTest::newRow("at least") << 400;
        QTest::newRow("exact") << -567;
    }

    void rowHeight()
    {
        QFETCH(int, height);
        const auto doc = load(twoCells("\\trrh" + QByteArray::number(height), {}));
        QTextTable *table = firstTable(*doc);
        QVERIFY(table);
        QCOMPARE(table->cellAt(0, 1).format().intProperty(prop::RowHeight), height);
        const QByteArray written = toRtf(*doc);
        QVERIFY2(written.contains("\\trrh" + QByteArray::number(height)), written.constData());
        QCOMPARE(firstTable(*reread(*doc))->cellAt(0, 0).format().intProperty(prop::RowHeight),
                 height);
    }

    // Rows of a form keep their \trrh height with nothing in them; text
    // sits where the cell's alignment puts it; the file gets the same rows.
    void rowGeometry_data()
    {
        QTest::addColumn<QByteArray>("row");
        QTest::addColumn<QByteArray>("cell"); // words of the second cell
        QTest::addColumn<QByteArray>("text"); // of the second cell
        QTest::addColumn<int>("height");      // twips; 0: as tall as the text
        QTest::addColumn<int>("textTop");     // twips below the row's top
        QTest::newRow("no height") << QByteArray() << QByteArray() << QByteArray("b") << 0 << 0;
        QTest::newRow("at least, empty") << QByteArray("\\trrh720") << QByteArray() << QByteArray()
                                         << 720 << 0;
        QTest::newRow("exact") << QByteArray("\\trrh-1440") << QByteArray() << QByteArray("b")
                               << 1440 << 0;
        QTest::newRow("at least, text taller")
            << QByteArray("\\trrh100") << QByteArray() << QByteArray("b\\par c\\par d") << 0 << 0;
        QTest::newRow("bottom") << QByteArray("\\trrh1440") << QByteArray("\\clvertalb")
                                << QByteArray("b") << 1440 << 1440 - 276;
        QTest::newRow("centre") << QByteArray("\\trrh1440") << QByteArray("\\clvertalc")
                                << QByteArray("b") << 1440 << (1440 - 276) / 2;
        // Qt would drop the space before a cell's first paragraph.
        QTest::newRow("space before") << QByteArray() << QByteArray() << QByteArray("\\sb440 b")
                                      << 440 + 276 << 440;
    }

    void rowGeometry()
    {
        QFETCH(QByteArray, row);
        QFETCH(QByteArray, cell);
        QFETCH(QByteArray, text);
        QFETCH(int, height);
        QFETCH(int, textTop);
        const QByteArray body = "\\trowd\\trgaph108" + row + "\\cellx2000" + cell
                                + "\\cellx4000\\pard\\intbl\\cell\\pard\\intbl " + text
                                + "\\cell\\row\\pard after\\par";
        auto doc = load(rtf(body.constData()), {}, QFont(QStringLiteral("Arial"), 12));
        auto again = reread(*doc);
        const QByteArray written = toRtf(*doc);
        QVERIFY2(!written.contains("\\clpad"), written.constData());
        for (QTextDocument *d : {doc.get(), again.get()}) {
            QTextTable *table = firstTable(*d);
            QVERIFY(table);
            Geometry g(*d);
            // 12 points of Arial: 276 twips a line
            const int line = g.rowHeight(*table, 0);
            if (height > 0)
                QVERIFY2(near(line, height), qPrintable(QString::number(line)));
            else
                QVERIFY(line >= 276 * qMax<int>(1, text.count("par") + 1) - 22);
            const int top = g.y(table->cellAt(0, 1).firstCursorPosition().block());
            QVERIFY2(near(top - g.rowTop(*table, 0), textTop), qPrintable(QString::number(top)));
        }
        if (!row.isEmpty())
            QVERIFY2(written.contains(row), written.constData());
    }

    // A table starts where \trleft says its first cell's text starts,
    // padding and border out in the margin, as word processors place it.
    void leftEdge_data()
    {
        QTest::addColumn<QByteArray>("row");
        QTest::addColumn<int>("textX"); // twips from the margin
        QTest::newRow("at the margin") << QByteArray("\\trgaph108") << 0;
        QTest::newRow("Word's default") << QByteArray("\\trgaph108\\trleft-108") << -108;
        QTest::newRow("left of the margin") << QByteArray("\\trgaph108\\trleft-720") << -720;
        QTest::newRow("indented") << QByteArray("\\trgaph108\\trleft720") << 720;
        QTest::newRow("row padding") << QByteArray("\\trgaph108\\trpaddl300\\trpaddfl3") << 0;
    }

    void leftEdge()
    {
        QFETCH(QByteArray, row);
        QFETCH(int, textX);
        const QByteArray body = "\\trowd" + row + "\\clbrdrl\\brdrs\\brdrw15\\cellx3000"
                                + "\\cellx6000\\pard\\intbl a\\cell b\\cell\\row\\pard after\\par";
        auto doc = load(rtf(body.constData()));
        auto again = reread(*doc);
        for (QTextDocument *d : {doc.get(), again.get()}) {
            QTextTable *table = firstTable(*d);
            QVERIFY(table);
            Geometry g(*d);
            const int x = g.x(table->cellAt(0, 0).firstCursorPosition().block());
            QVERIFY2(near(x, textX), qPrintable(QString::number(x)));
            QVERIFY(near(g.x(table->cellAt(0, 1).firstCursorPosition().block()), 3000));
        }
    }

    void nestedTableKeepsToItsCell()
    {
        // Writers give nested rows the full text width.
        const auto doc = load(rtf("\\trowd\\trgaph108\\cellx3000\\cellx6000\\pard\\intbl a"
                                  "\\par\\itap2 n\\nestcell m\\nestcell{\\*\\nesttableprops"
                                  "\\trowd\\trgaph108\\cellx4320\\cellx8640\\nestrow}"
                                  "\\pard\\intbl\\itap1\\cell b\\cell\\row\\pard after\\par"));
        QTextTable *outer = firstTable(*doc);
        QVERIFY(outer);
        const QList<QTextTable *> nested = tablesIn(outer);
        QCOMPARE(nested.size(), 1);
        Geometry g(*doc);
        const QRectF inner = g.layout->frameBoundingRect(nested.front());
        QVERIFY2(inner.right() * 15 <= 3000 + 22, qPrintable(QString::number(inner.right() * 15)));
        QVERIFY(near(g.x(outer->cellAt(0, 1).firstCursorPosition().block()), 3000));
    }

    void wideTables_data()
    {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<QList<int>>("rights"); // \cellx
        QTest::addColumn<QList<int>>("expected"); // column widths, twips
        // Default page: 12240 wide with 1800 margins leaves 8640 twips.
        QTest::newRow("fits") << QByteArray() << QList<int>{2000, 5000} << QList<int>{2000, 3000};
        QTest::newRow("exactly") << QByteArray() << QList<int>{4320, 8640}
                                 << QList<int>{4320, 4320};
        QTest::newRow("twice too wide")
            << QByteArray() << QList<int>{5760, 17280} << QList<int>{2880, 5760};
        QTest::newRow("narrow margins")
            << QByteArray("\\paperw12240\\margl720\\margr720") << QList<int>{5400, 21600}
            << QList<int>{2700, 8100};
    }

    void wideTables()
    {
        QFETCH(QByteArray, page);
        QFETCH(QList<int>, rights);
        QFETCH(QList<int>, expected);
        QByteArray body = page + "\\trowd";
        for (int r : rights)
            body += "\\clbrdrt\\brdrs\\cellx" + QByteArray::number(r);
        body += "\\pard\\intbl one\\cell two\\cell\\row\\pard after\\par";
        const auto doc = load(rtf(body.constData()));
        QTextTable *table = firstTable(*doc);
        QVERIFY(table);
        QList<int> widths;
        for (const QTextLength &w : table->format().columnWidthConstraints())
            widths << qRound(w.rawValue() * 15);
        QCOMPARE(widths, expected);
    }

    void editorTableKeepsItsGrid()
    {
        // A table made in the editor has the table's border and no cell
        // borders: written, every side gets that border.
        QTextDocument doc;
        QTextCursor cursor(&doc);
        QTextTableFormat format;
        format.setBorder(1);
        cursor.insertTable(1, 2, format);
        const QByteArray written = toRtf(doc);
        QCOMPARE(count(written, "\\clbrdrt\\brdrs\\brdrw15"), 2);
        QCOMPARE(frame(firstTable(*reread(doc))->cellAt(0, 1)),
                 QStringLiteral("15/solid/#000000 | 15/solid/#000000 | 15/solid/#000000 | "
                                "15/solid/#000000"));
    }
};

QTEST_MAIN(TestRtfTables)
#include "tst_rtftables.moc"
