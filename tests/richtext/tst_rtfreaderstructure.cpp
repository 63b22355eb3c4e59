// The RTF reader: lists, tables (merged and nested cells) and pictures.

#include "richtexttesting.h"
#include "richtext/textkinds.h"
#include "richtext/textproperties.h"

#include <QBuffer>
#include <QImage>
#include <QTest>
#include <QTextList>
#include <QUrl>

using namespace richtext;
using namespace testdocs;

namespace {

QByteArray encoded(const char *format, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::green);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QTextImageFormat imageAt(const QTextDocument &doc, int index = 0)
{
    int seen = 0;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            if (f.isImageFormat() && seen++ == index)
                return f.toImageFormat();
        }
    }
    return {};
}

QImage resourceImage(const QTextDocument &doc, const QTextImageFormat &format)
{
    const QVariant v = doc.resource(QTextDocument::ImageResource, QUrl(format.name()));
    if (v.typeId() == QMetaType::QByteArray)
        return QImage::fromData(v.toByteArray());
    return v.value<QImage>();
}

// A table as "rows x columns", then each cell at its top left, with its
// spans where it has any: "r,c(rows x columns)=text".
QString grid(QTextTable *table)
{
    if (!table)
        return QStringLiteral("no table");
    QStringList out{QStringLiteral("%1x%2").arg(table->rows()).arg(table->columns())};
    for (int r = 0; r < table->rows(); ++r) {
        for (int c = 0; c < table->columns(); ++c) {
            const QTextTableCell cell = table->cellAt(r, c);
            if (cell.row() != r || cell.column() != c)
                continue;
            QString entry = QStringLiteral("%1,%2").arg(r).arg(c);
            if (cell.rowSpan() > 1 || cell.columnSpan() > 1)
                entry += QStringLiteral("(%1x%2)").arg(cell.rowSpan()).arg(cell.columnSpan());
            out << entry + u'=' + cellText(table, r, c);
        }
    }
    return out.join(QStringLiteral(" | "));
}

} // namespace

class TestRtfReaderStructure : public QObject
{
    Q_OBJECT

private slots:
    void richEditBullets()
    {
        // What a rich-edit control writes.
        const auto doc = load(
            "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil Arial;}{\\f1\\fnil\\fcharset2 Symbol;}}"
            "\\viewkind4\\uc1\\pard{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'B7}}"
            "\\fi-360\\li360\\f0 one\\par{\\pntext\\f1\\'B7\\tab}two\\par\\pard after\\par}");
        QCOMPARE(blocks(*doc), (QStringList{"one", "two", "after"}));
        QTextList *list = blockOf(*doc, "one").textList();
        QVERIFY(list && blockOf(*doc, "two").textList() == list && list->count() == 2);
        QCOMPARE(list->format().style(), QTextListFormat::ListDisc);
        QCOMPARE(list->format().intProperty(prop::NumberingKind), 1);
        QVERIFY(!blockOf(*doc, "after").textList());
        // The hanging indent is the marker's room; the text lines up under it.
        const QTextBlockFormat item = blockOf(*doc, "one").blockFormat();
        QCOMPARE((QList<qreal>{item.leftMargin(), item.textIndent(), item.doubleProperty(prop::ListTextIndent)}),
                 (QList<qreal>{24, 0, -24}));
    }

    void legacyNumbering()
    {
        // A paragraph without \pn between two numbered ones ends the first list.
        const QByteArray pn = "\\pard{\\*\\pn\\pnlvlbody\\pnlcltr\\pnstart3{\\pntxtb (}{\\pntxta )}}";
        const auto doc = load("{\\rtf1" + pn + "\\li720\\fi-360 a\\par b\\par\\pard plain\\par" + pn + " c\\par}");
        QTextList *list = blockOf(*doc, "a").textList();
        QVERIFY(list);
        QCOMPARE(list->format().style(), QTextListFormat::ListLowerAlpha);
        QCOMPARE(list->format().numberPrefix(), QStringLiteral("("));
        QCOMPARE(list->format().numberSuffix(), QStringLiteral(")"));
        QCOMPARE(list->format().intProperty(prop::NumberingStart), 3);
        QCOMPARE(list->count(), 2);
        QVERIFY(blockOf(*doc, "c").textList() && blockOf(*doc, "c").textList() != list);
    }

    void listTable()
    {
        const auto doc = load(
            "{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset2 Symbol;}}"
            "{\\*\\listtable{\\list\\listtemplateid1"
            "{\\listlevel\\levelnfc0\\levelstartat1{\\leveltext\\'03(\\'00);}{\\levelnumbers\\'02;}\\fi-360\\li720}"
            "{\\listlevel\\levelnfc2\\levelstartat1{\\leveltext\\'02\\'01.;}{\\levelnumbers\\'01;}\\fi-360\\li1440}"
            "\\listid7}"
            "{\\list{\\listlevel\\levelnfc23{\\leveltext\\'01\\u-3913 ?;}\\f1\\fi-360\\li720}\\listid8}}"
            "{\\*\\listoverridetable{\\listoverride\\listid7\\listoverridecount0\\ls1}"
            "{\\listoverride\\listid8\\listoverridecount0\\ls2}}"
            "\\pard\\ls1\\ilvl0\\li720\\fi-360 first\\par"
            "\\pard\\ls1\\ilvl1\\li1440\\fi-360 inner\\par"
            "\\pard\\ls1\\ilvl0\\li720\\fi-360 second\\par"
            "\\pard\\ls1\\ilvl1\\li1440\\fi-360 restarted\\par"
            "\\pard\\ls2\\li720\\fi-360 dot\\par}");
        QTextList *outer = blockOf(*doc, "first").textList();
        QVERIFY(outer);
        QCOMPARE(outer->format().style(), QTextListFormat::ListDecimal);
        QCOMPARE(outer->format().numberPrefix(), QStringLiteral("("));
        QCOMPARE(outer->format().numberSuffix(), QStringLiteral(")"));
        QCOMPARE(blockOf(*doc, "second").textList(), outer);
        QCOMPARE(outer->itemNumber(blockOf(*doc, "second")), 1);
        QTextList *inner = blockOf(*doc, "inner").textList();
        QVERIFY(inner && inner != outer);
        QCOMPARE(inner->format().style(), QTextListFormat::ListLowerRoman);
        QCOMPARE(inner->format().numberSuffix(), QStringLiteral("."));
        // A level-0 item between them restarts the level below.
        QVERIFY(blockOf(*doc, "restarted").textList() != inner);
        QTextList *dot = blockOf(*doc, "dot").textList();
        QVERIFY(dot);
        QCOMPARE(dot->format().style(), QTextListFormat::ListDisc);
    }

    // Columns come from the union of the cell edges; a cell covers the
    // columns between its edges.
    void tableShapes_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("shape");
        QTest::addColumn<QString>("last");
        QTest::newRow("simple") << rtf("\\trowd\\cellx1440\\cellx4320\\pard\\intbl a\\cell b\\par b2\\cell\\row"
                                       "\\trowd\\cellx1440\\cellx4320\\pard\\intbl c\\cell d\\cell\\row\\pard end")
                                << "2x2 | 0,0=a | 0,1=b\nb2 | 1,0=c | 1,1=d" << "end";
        QTest::newRow("merged") << QByteArray("{\\rtf1\\trowd\\clmgf\\cellx1000\\clmrg\\cellx2000\\clvmgf\\cellx3000"
                                              "\\pard\\intbl wide\\cell\\cell tall\\cell\\row"
                                              "\\trowd\\cellx1000\\cellx2000\\clvmrg\\cellx3000"
                                              "\\pard\\intbl p\\cell q\\cell\\cell\\row}")
                                << "2x3 | 0,0(1x2)=wide | 0,2(2x1)=tall | 1,0=p | 1,1=q" << "";
        QTest::newRow("rows of different widths")
            << QByteArray("{\\rtf1\\trowd\\cellx2000\\cellx4000\\pard\\intbl a\\cell b\\cell\\row"
                          "\\trowd\\cellx1000\\cellx4000\\pard\\intbl c\\cell d\\cell\\row}")
            << "2x3 | 0,0(1x2)=a | 0,2=b | 1,0=c | 1,1(1x2)=d" << "";
        // Some writers end cells without ever saying \intbl.
        QTest::newRow("without intbl")
            << QByteArray("{\\rtf1\\trowd\\cellx1000\\cellx2000 a\\cell b\\par c\\cell\\row\\pard after\\par}")
            << "1x2 | 0,0=a | 0,1=b\nc" << "after";
        // The last cell's \cell left out before \row: its text is still a cell.
        QTest::newRow("row ends without its last cell")
            << QByteArray("{\\rtf1\\trowd\\cellx1000\\cellx2000\\pard\\intbl a\\cell b\\par\\row\\pard after\\par}")
            << "1x2 | 0,0=a | 0,1=b" << "after";
        QTest::newRow("unterminated row")
            << QByteArray("{\\rtf1\\trowd\\cellx1000\\cellx2000\\pard\\intbl a\\cell b")
            << "1x2 | 0,0=a | 0,1=b" << "";
    }
    void tableShapes()
    {
        QFETCH(QByteArray, data);
        QFETCH(QString, shape);
        QFETCH(QString, last);
        const auto doc = load(data);
        QCOMPARE(tablesIn(doc->rootFrame()).size(), 1);
        QCOMPARE(grid(tablesIn(doc->rootFrame()).value(0)), shape);
        if (!last.isEmpty())
            QCOMPARE(doc->lastBlock().text(), last);
    }

    void tableFormats()
    {
        const auto doc = load(rtf("\\trowd\\trgaph108\\trleft-108\\clbrdrt\\brdrs\\cellx1440\\clcbpat1\\cellx4320"
                                  "\\pard\\intbl a\\cell b\\cell\\row"
                                  "\\trowd\\trgaph108\\trleft-108\\cellx1440\\cellx4320"
                                  "\\pard\\intbl\\qc c\\cell d\\cell\\row}"));
        QTextTable *t = tablesIn(doc->rootFrame()).value(0);
        QVERIFY(t);
        QCOMPARE(t->format().border(), 0.0); // the cells draw their own sides
        QCOMPARE(t->cellAt(0, 0).format().toTableCellFormat().topBorder(), 1.0);
        QCOMPARE(t->cellAt(0, 1).format().toTableCellFormat().topBorder(), 0.0);
        QCOMPARE(t->format().cellPadding(), 108 / 15.0);
        const QList<QTextLength> widths = t->format().columnWidthConstraints();
        QCOMPARE(widths.size(), 2);
        QCOMPARE(widths[0].rawValue(), 1548 / 15.0);
        QCOMPARE(widths[1].rawValue(), 2880 / 15.0);
        QCOMPARE(t->cellAt(0, 1).format().background().color(), QColor(255, 0, 0));
        QCOMPARE(t->cellAt(1, 0).firstCursorPosition().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
                 Qt::AlignHCenter);
    }

    void nestedTables()
    {
        // Word's form: the nested row's definition comes after its cells.
        const QByteArray data(
            "{\\rtf1\\trowd\\cellx5000\\pard\\intbl outer\\par"
            "\\pard\\intbl\\itap2 n1\\nestcell n2\\nestcell"
            "{\\*\\nesttableprops\\trowd\\cellx2000\\cellx4000\\nestrow}{\\nonesttables\\par}"
            "\\pard\\intbl\\itap1 tail\\cell\\row\\pard body\\par}");
        const auto doc = load(data);
        QTextTable *outer = tablesIn(doc->rootFrame()).value(0);
        QVERIFY(outer);
        QCOMPARE(outer->rows() * outer->columns(), 1);
        QCOMPARE(grid(tablesIn(outer).value(0)), QStringLiteral("1x2 | 0,0=n1 | 0,1=n2"));
        QVERIFY(cellText(outer, 0, 0).startsWith(QStringLiteral("outer")));
        QVERIFY(cellText(outer, 0, 0).endsWith(QStringLiteral("tail")));
        QCOMPARE(doc->lastBlock().text(), QStringLiteral("body"));
        QCOMPARE(rtfToPlainText(data), QStringLiteral("outer\nn1\tn2\ntail\nbody\n"));

        // A cell that starts with a nested table, and a level the writer skipped.
        const auto deep = load("{\\rtf1\\pard\\intbl\\itap3 x\\nestcell"
                               "{\\*\\nesttableprops\\trowd\\cellx1000\\nestrow}"
                               "\\pard\\intbl\\itap1 y\\cell\\row}");
        QTextFrame *frame = deep->rootFrame();
        for (int level = 1; level <= 3 && frame; ++level)
            frame = tablesIn(frame).value(0);
        QCOMPARE(grid(qobject_cast<QTextTable *>(frame)), QStringLiteral("1x1 | 0,0=x"));
    }

    void pictures()
    {
        const QByteArray png = encoded("PNG", 4, 3);
        const QByteArray jpeg = encoded("JPEG", 5, 2);
        const QByteArray small = encoded("PNG", 2, 2);
        // Binary data; and a picture given twice, as a shape and as its
        // fallback result, is read once.
        const QByteArray data = "{\\rtf1 a{\\pict\\pngblip\\picw4\\pich3\\picwgoal600\\pichgoal450 " + png.toHex()
                                + "}b{\\pict\\jpegblip\\picscalex200 " + jpeg.toHex() + "}c"
                                + "{\\pict\\pngblip\\bin" + QByteArray::number(small.size()) + " " + small + "}"
                                + "{\\*\\shppict{\\pict\\pngblip " + small.toHex() + "}}"
                                + "{\\nonshppict{\\pict\\wmetafile8 0102}}"
                                + "{\\shp{\\*\\shpinst{\\sp{\\sn pib}{\\sv {\\pict\\pngblip " + small.toHex() + "}}}}"
                                + "{\\shprslt{\\pict\\pngblip " + small.toHex() + "}}}d}";
        const auto doc = load(data);
        QCOMPARE(doc->toPlainText(), QStringLiteral("a\ufffcb\ufffcc\ufffc\ufffc\ufffcd"));
        QCOMPARE(rtfToPlainText(data), QStringLiteral("abcd"));
        const QTextImageFormat first = imageAt(*doc, 0);
        QVERIFY(first.isValid());
        QCOMPARE(first.width(), 40.0);
        QCOMPARE(first.height(), 30.0);
        QCOMPARE(resourceImage(*doc, first).size(), QSize(4, 3));
        QCOMPARE(objectKind(first), ObjectKind::Png);
        QCOMPARE(first.property(prop::ObjectData).toByteArray(), png);
        QCOMPARE(first.intProperty(prop::PictureWidthGoal), 600);
        const QTextImageFormat second = imageAt(*doc, 1);
        QCOMPARE(second.width(), 10.0); // natural 5 px at 200 %
        QCOMPARE(resourceImage(*doc, second).size(), QSize(5, 2));
        QVERIFY(first.name() != second.name());
        QCOMPARE(imageAt(*doc, 2).property(prop::ObjectData).toByteArray(), small);
        QCOMPARE(objectKind(imageAt(*doc, 3)), ObjectKind::Png);
    }

    // Metafiles and objects keep their bytes; they show an image of their
    // proportions, or their result picture.
    void keptBytes()
    {
        const QByteArray png = encoded("PNG", 3, 3).toHex();
        const auto doc = load("{\\rtf1{\\pict\\wmetafile8\\picw2540\\pich1270\\picwgoal1500\\pichgoal750 "
                              "0100090000 03ab}"
                              "{\\object\\objemb\\objw300\\objh300{\\*\\objclass Package}"
                              "{\\*\\objname report.pdf}{\\*\\objdata 0102030405}"
                              "{\\result{\\pict\\pngblip " + png + "}}}"
                              "{\\object\\objemb{\\*\\objdata aabb}}}");
        QCOMPARE(doc->toPlainText(), QStringLiteral("\ufffc\ufffc\ufffc"));
        const QTextImageFormat f = imageAt(*doc, 0);
        QCOMPARE(objectKind(f), ObjectKind::WindowsMetafile);
        QCOMPARE(f.stringProperty(prop::ObjectMeta), QStringLiteral("wmetafile8"));
        QCOMPARE(f.property(prop::ObjectData).toByteArray(), QByteArray::fromHex("010009000003ab"));
        QCOMPARE(QSizeF(f.width(), f.height()), QSizeF(100, 50));
        const QImage shown = resourceImage(*doc, f);
        QVERIFY(!shown.isNull() && shown.width() == 2 * shown.height());

        const QTextImageFormat object = imageAt(*doc, 1);
        QCOMPARE(objectKind(object), ObjectKind::Object);
        QCOMPARE(object.property(prop::ObjectData).toByteArray(), QByteArray::fromHex("0102030405"));
        QCOMPARE(object.stringProperty(prop::ObjectMeta), QStringLiteral("objemb objw300 objh300"));
        QCOMPARE(object.stringProperty(prop::ObjectFileName), QStringLiteral("report.pdf"));
        QCOMPARE(resourceImage(*doc, object).size(), QSize(3, 3));
        // An object without a picture still keeps its bytes.
        const QTextImageFormat bare = imageAt(*doc, 2);
        QCOMPARE(objectKind(bare), ObjectKind::Object);
        QCOMPARE(bare.property(prop::ObjectData).toByteArray(), QByteArray::fromHex("aabb"));
    }
};

QTEST_MAIN(TestRtfReaderStructure)
#include "tst_rtfreaderstructure.moc"
