// Page headers and footers: kept as their file gave them, written back in
// place, and drawn on each page in the margins with the right band for the
// page and its page numbers. Drawing is checked on a device that records the
// text it is given and where.

#include "richtexttesting.h"
#include "richtext/pagebands.h"
#include "richtext/pagebandset.h"
#include "richtext/plaintextsink.h"
#include "richtext/rtfexport.h"
#include "richtext/rtfimport.h"
#include "richtext/rtfreader.h"
#include "testsupport.h"

#include <QPaintEngine>
#include <QPainter>
#include <QRegularExpression>
#include <QTest>

using namespace richtext;
using namespace testdocs;

namespace {

const QByteArray Tables = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}"
                          "{\\f1\\fswiss Arial;}{\\f2\\fmodern Courier New;}}"
                          "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\r\n";

QByteArray file(const QByteArray &bands, const QByteArray &body = "\\pard Body text\\par")
{
    return Tables + bands + "\r\n" + body + "}";
}

// The text a painter draws, line by line (top to bottom), with each line's
// baseline in device pixels.
class TextRecorder : public QPaintDevice
{
public:
    struct Line
    {
        qreal baseline = 0;
        qreal left = 0;
        QString text;
    };

    explicit TextRecorder(int dpi) : m_dpi(dpi) {}
    QPaintEngine *paintEngine() const override { return &m_engine; }

    QList<Line> lines() const
    {
        QList<Line> sorted = m_engine.items;
        std::stable_sort(sorted.begin(), sorted.end(),
                         [](const Line &a, const Line &b) { return a.baseline < b.baseline; });
        QList<Line> out;
        for (const Line &item : sorted) {
            if (!out.isEmpty() && qAbs(out.last().baseline - item.baseline) < 1)
                out.last().text += item.text;
            else
                out << item;
        }
        for (Line &line : out)
            line.text = line.text.simplified();
        return out;
    }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth: return 17 * m_dpi / 2;
        case PdmHeight: return 11 * m_dpi;
        case PdmDpiX: case PdmDpiY: case PdmPhysicalDpiX: case PdmPhysicalDpiY: return m_dpi;
        case PdmDepth: return 32;
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return int(devicePixelRatioFScale());
        default: return 0;
        }
    }

private:
    struct Engine : QPaintEngine
    {
        Engine() : QPaintEngine(AllFeatures) {}
        QList<Line> items;
        bool begin(QPaintDevice *) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState &) override {}
        void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
        void drawPolygon(const QPointF *, int, PolygonDrawMode) override {}
        Type type() const override { return User; }
        void drawTextItem(const QPointF &p, const QTextItem &item) override
        {
            const QPointF at = painter()->transform().map(p);
            items << Line{at.y(), at.x(), item.text()};
        }
    };
    mutable Engine m_engine;
    int m_dpi;
};

constexpr int Dpi = 600;
// Letter paper with one-inch margins, in the recorder's pixels.
const QRectF Paper(0, 0, 8.5 * Dpi, 11 * Dpi);
const QRectF TextArea(Dpi, Dpi, 6.5 * Dpi, 9 * Dpi);

std::unique_ptr<QTextDocument> documentOf(const QByteArray &rtf)
{
    auto doc = load(rtf);
    doc->setDefaultFont(QFont(QStringLiteral("DejaVu Serif"), 12));
    return doc;
}

// The lines the header and the footer of a page show.
QList<TextRecorder::Line> drawn(const PageBands &bands, bool header, bool footer, int page, int count)
{
    TextRecorder device(Dpi);
    QPainter painter(&device);
    if (header)
        bands.drawHeader(painter, Paper, TextArea, page, count);
    if (footer)
        bands.drawFooter(painter, Paper, TextArea, page, count);
    painter.end();
    return device.lines();
}

QString joined(const QList<TextRecorder::Line> &lines)
{
    QStringList texts;
    for (const auto &line : lines)
        texts << line.text;
    return texts.join(u'|');
}

QString headerText(const PageBands &bands, int page, int count)
{
    return joined(drawn(bands, true, false, page, count));
}

QString footerText(const PageBands &bands, int page, int count)
{
    return joined(drawn(bands, false, true, page, count));
}

// The font name and colour a band's first \f and \cf name, looked up in the
// tables kept with it.
std::pair<QString, QColor> bandLooks(const PageBandSet &set, PageBandKind kind)
{
    rtf::DocumentTables tables;
    PlainTextSink sink;
    rtf::Reader reader(sink, tables);
    reader.read(QByteArray("{\\rtf1" + set.tables + '}'));
    const QByteArray &group = set.group(kind);
    static const QRegularExpression font(QStringLiteral("\\\\f(\\d+)"));
    static const QRegularExpression color(QStringLiteral("\\\\cf(\\d+)"));
    const auto f = font.match(QString::fromLatin1(group));
    const auto c = color.match(QString::fromLatin1(group));
    const rtf::FontDef *def = f.hasMatch() ? tables.font(f.captured(1).toInt()) : nullptr;
    return {def ? def->name : QString(), c.hasMatch() ? tables.color(c.captured(1).toInt()) : QColor()};
}

} // namespace

class TestPageBands : public QObject
{
    Q_OBJECT

private slots:
    void keptAndWrittenBack_data()
    {
        QTest::addColumn<QByteArray>("words");
        QTest::addColumn<QByteArray>("group");
        QTest::addColumn<int>("kind");

        // Merge tokens and fields must come back exactly as they stood.
        QTest::newRow("footer with tokens and a field")
            << QByteArray()
            << QByteArray("{\\footer \\pard\\qc @CLIENT@ - page {\\field{\\*\\fldinst { PAGE }}"
                          "{\\fldrslt 1}}\\par}")
            << int(PageBandKind::Footer);
        QTest::newRow("optional destination") << QByteArray()
                                              << QByteArray("{\\*\\headerr \\pard Right\\par}")
                                              << int(PageBandKind::HeaderRight);
        QTest::newRow("first page, with its words")
            << QByteArray("\\sectd\\titlepg\\headery500\\footery400")
            << QByteArray("{\\headerf \\pard\\qr {\\b First} page\\par}") << int(PageBandKind::HeaderFirst);
        QTest::newRow("escapes and a hex byte")
            << QByteArray("\\facingp")
            << QByteArray("{\\footerl \\pard Caf\\'e9 \\{x\\} \\\\ {\\*\\bkmkstart b}\\u8364?\\par}")
            << int(PageBandKind::FooterLeft);
    }

    void keptAndWrittenBack()
    {
        QFETCH(QByteArray, words);
        QFETCH(QByteArray, group);
        QFETCH(int, kind);
        const auto doc = documentOf(file(words + group));
        const PageBandSet set = pageBandSet(*doc);
        QCOMPARE(set.group(PageBandKind(kind)), group);
        QCOMPARE(doc->toPlainText(), QStringLiteral("Body text"));

        const QByteArray written = toRtf(*doc);
        QVERIFY2(written.contains(group), written.constData());
        // Before the first paragraph, after the document's own words.
        QVERIFY(written.indexOf(group) > written.indexOf("\\viewkind4"));
        QVERIFY(written.indexOf(group) < written.indexOf("Body text"));

        const auto again = documentOf(written);
        const PageBandSet reread = pageBandSet(*again);
        QCOMPARE(reread.groups, set.groups);
        QCOMPARE(reread.titlePage, set.titlePage);
        QCOMPARE(reread.facingPages, set.facingPages);
        QCOMPARE(reread.headerY, set.headerY);
        QCOMPARE(reread.footerY, set.footerY);
        QCOMPARE(again->toPlainText(), QStringLiteral("Body text"));
        // Saved again, the file does not change.
        QCOMPARE(toRtf(*again), written);
    }

    void fontsAndColoursFollowTheWrittenTables()
    {
        // The band names Courier New (f2) and blue (cf2); the body uses
        // neither, so the written tables number them otherwise.
        const auto doc = documentOf(file("{\\header \\pard\\f2\\cf2 Letterhead\\par}"));
        const PageBandSet set = pageBandSet(*doc);
        QCOMPARE(bandLooks(set, PageBandKind::Header),
                 std::make_pair(QStringLiteral("Courier New"), QColor(Qt::blue)));

        const QByteArray written = toRtf(*doc);
        const auto again = documentOf(written);
        const PageBandSet reread = pageBandSet(*again);
        QVERIFY(reread.group(PageBandKind::Header) != set.group(PageBandKind::Header));
        QCOMPARE(bandLooks(reread, PageBandKind::Header), bandLooks(set, PageBandKind::Header));
        QCOMPARE(toRtf(*again), written);
    }

    void aFontOfBodyAndBandIsOneEntry()
    {
        // Entries with nothing but a name, as small writers make them.
        const QByteArray rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times New Roman;}{\\f1 Garamond;}}"
                               "{\\footer \\pard\\f1 Foot\\par}\\pard\\f1 Body\\par}";
        const QByteArray written = toRtf(*documentOf(rtf));
        QCOMPARE(count(written, "Garamond"), 1);
        QCOMPARE(toRtf(*documentOf(written)), written);
    }

    void documentsWithoutBandsAreWrittenAsBefore()
    {
        const QByteArray plain = file("\\margl1000");
        const auto doc = documentOf(plain);
        QVERIFY(!hasPageBands(*doc));
        const QByteArray written = toRtf(*doc);
        for (const char *word : {"header", "footer", "titlepg", "facingp"})
            QVERIFY2(!written.contains(word), word);

        // Bands removed leave nothing behind.
        const auto banded = documentOf(file("\\margl1000{\\footer \\pard F\\par}"));
        QVERIFY(hasPageBands(*banded));
        setPageBandSet(*banded, PageBandSet());
        QVERIFY(!hasPageBands(*banded));
        QCOMPARE(toRtf(*banded), written);
    }

    void bandsGoWithTheWholeDocumentOnly()
    {
        auto doc = documentOf(file("{\\footer \\pard Footer\\par}"));
        QVERIFY(!toRtf(*doc, 0, 4).contains("\\footer"));
        // clear() takes them, clone() keeps them.
        std::unique_ptr<QTextDocument> copy(doc->clone());
        QCOMPARE(pageBandSet(*copy), pageBandSet(*doc));
        doc->clear();
        QVERIFY(!hasPageBands(*doc));
        // Pasted into a document that has text, they are not taken.
        QTextDocument target;
        QTextCursor cursor(&target);
        cursor.insertText(QStringLiteral("x"));
        insertRtf(cursor, file("{\\footer \\pard Footer\\par}"));
        QVERIFY(!hasPageBands(target));
    }

    void junk_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QStringList>("kept"); // the kinds kept, by word
        QTest::addColumn<QString>("text");      // the body

        QTest::newRow("unclosed header") << Tables + "\\pard Body\\par{\\header \\pard H"
                                         << QStringList() << QStringLiteral("Body");
        QTest::newRow("word not first in its group")
            << file("{\\b\\header \\pard H\\par}") << QStringList() << QStringLiteral("Body text");
        QTest::newRow("later section") << file("", "\\pard A\\sect\\sectd{\\footer \\pard F\\par}\\pard B\\par")
                                       << QStringList() << QStringLiteral("A\nB");
        QTest::newRow("second of a kind")
            << file("{\\footer \\pard One\\par}{\\footer \\pard Two\\par}") << QStringList{"footer"}
            << QStringLiteral("Body text");
        QTest::newRow("huge band") << file("{\\header \\pard " + QByteArray(1100000, 'x') + "\\par}")
                                   << QStringList() << QStringLiteral("Body text");
        QTest::newRow("deeply nested band")
            << file("{\\footer " + QByteArray(5000, '{') + "deep" + QByteArray(5000, '}') + "}")
            << QStringList{"footer"} << QStringLiteral("Body text");
        QTest::newRow("brace too many inside")
            << file("{\\footer \\pard F}\\par}") << QStringList{"footer"} << QStringLiteral("\nBody text");
    }

    void junk()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QStringList, kept);
        QFETCH(QString, text);
        const auto doc = documentOf(rtf);
        QCOMPARE(doc->toPlainText(), text);
        const PageBandSet set = pageBandSet(*doc);
        QStringList kinds;
        for (int i = 0; i < PageBandKindCount; ++i) {
            if (!set.groups[size_t(i)].isEmpty())
                kinds << QString::fromLatin1(pageBandWord(PageBandKind(i)));
        }
        QCOMPARE(kinds, kept);
        // What is kept is balanced: the written file reads back the same.
        const QByteArray written = toRtf(*doc);
        const auto again = documentOf(written);
        QCOMPARE(again->toPlainText(), text);
        QCOMPARE(pageBandSet(*again).groups, set.groups);
        const PageBands bands(*doc);
        QCOMPARE(bands.isEmpty(), kept.isEmpty());
        footerText(bands, 1, 1);
        headerText(bands, 2, 2);
    }

    void bandForThePage_data()
    {
        QTest::addColumn<QByteArray>("words");
        QTest::addColumn<QStringList>("headers"); // pages 1 to 4

        const QByteArray all = "{\\header \\pard All\\par}{\\headerl \\pard Left\\par}"
                               "{\\headerr \\pard Right\\par}{\\headerf \\pard First\\par}";
        QTest::newRow("one for all") << all << QStringList{"All", "All", "All", "All"};
        QTest::newRow("facing pages")
            << "\\facingp" + all << QStringList{"Right", "Left", "Right", "Left"};
        QTest::newRow("title page") << "\\titlepg" + all << QStringList{"First", "All", "All", "All"};
        QTest::newRow("title and facing")
            << "\\facingp\\titlepg" + all << QStringList{"First", "Left", "Right", "Left"};
        QTest::newRow("title page without its own")
            << QByteArray("\\titlepg{\\header \\pard All\\par}") << QStringList{"", "All", "All", "All"};
        QTest::newRow("right only, as Word writes it")
            << QByteArray("{\\headerr \\pard Right\\par}") << QStringList{"Right", "Right", "Right", "Right"};
        QTest::newRow("facing without a left one")
            << QByteArray("\\facingp{\\header \\pard All\\par}{\\headerr \\pard Right\\par}")
            << QStringList{"Right", "All", "Right", "All"};
    }

    void bandForThePage()
    {
        QFETCH(QByteArray, words);
        QFETCH(QStringList, headers);
        // The footers mirror the headers.
        QByteArray footerWords = words;
        footerWords.replace("\\header", "\\footer");
        const auto doc = documentOf(file(words + footerWords));
        const PageBands bands(*doc);
        for (int page = 1; page <= 4; ++page) {
            QCOMPARE(headerText(bands, page, 4), headers[page - 1]);
            QCOMPARE(footerText(bands, page, 4), headers[page - 1]);
        }
    }

    void pageNumbers_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("page3of12");
        QTest::addColumn<QString>("page4of12");

        QTest::newRow("PAGE with its result") << QByteArray("Page {\\field{\\*\\fldinst PAGE}{\\fldrslt 1}}")
                                              << QStringLiteral("Page 3") << QStringLiteral("Page 4");
        QTest::newRow("result in groups, switch")
            << QByteArray("P{\\field{\\*\\fldinst {\\b PAGE \\\\* MERGEFORMAT}}{\\fldrslt {\\b 17}}}.")
            << QStringLiteral("P3.") << QStringLiteral("P4.");
        QTest::newRow("no result") << QByteArray("{\\field{\\*\\fldinst {NUMPAGES }}} pages")
                                   << QStringLiteral("12 pages") << QStringLiteral("12 pages");
        QTest::newRow("chpgn of SECTIONPAGES")
            << QByteArray("\\chpgn  /{\\field{\\*\\fldinst SECTIONPAGES}{\\fldrslt }}")
            << QStringLiteral("3 /12") << QStringLiteral("4 /12");
        QTest::newRow("roman and letters")
            << QByteArray("{\\field{\\*\\fldinst PAGE \\\\* roman}{\\fldrslt i}} "
                          "{\\field{\\*\\fldinst NUMPAGES \\\\* ALPHABETIC}{\\fldrslt A}}")
            << QStringLiteral("iii L") << QStringLiteral("iv L");
        QTest::newRow("other fields show their result")
            << QByteArray("{\\field{\\*\\fldinst DATE}{\\fldrslt 1 May}} "
                          "{\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt site}}")
            << QStringLiteral("1 May site") << QStringLiteral("1 May site");
        QTest::newRow("unicode result")
            << QByteArray("{\\field{\\*\\fldinst PAGE}{\\fldrslt \\u8364?\\'80}}!")
            << QStringLiteral("3!") << QStringLiteral("4!");
    }

    void pageNumbers()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, page3of12);
        QFETCH(QString, page4of12);
        const auto doc = documentOf(file("{\\footer \\pard " + content + "\\par}"));
        const PageBands bands(*doc);
        QCOMPARE(footerText(bands, 3, 12), page3of12);
        QCOMPARE(footerText(bands, 4, 12), page4of12);
        QCOMPARE(footerText(bands, 3, 12), page3of12);
    }

    void placedInTheMargins()
    {
        // Header 0.5 inch from the top, its first line indented half an
        // inch (which must scale to the device); footer 0.25 inch from the
        // bottom. Each two lines.
        const auto doc = documentOf(file("\\headery720\\footery360{\\header \\pard\\li720 H1\\par\\pard H2\\par}"
                                         "{\\footer \\pard F1\\par F2\\par}"));
        const auto lines = drawn(PageBands(*doc), true, true, 1, 1);
        QCOMPARE(joined(lines), QStringLiteral("H1|H2|F1|F2"));
        const qreal line = 12.0 / 72 * Dpi * 1.4; // a 12 pt line, with room
        QVERIFY(lines[0].baseline > 0.5 * Dpi && lines[0].baseline < 0.5 * Dpi + line);
        QVERIFY(lines[1].baseline < Dpi);
        const qreal footerBottom = Paper.bottom() - 0.25 * Dpi;
        QVERIFY(lines[3].baseline < footerBottom && lines[3].baseline > footerBottom - line);
        QVERIFY(lines[2].baseline > TextArea.bottom());
        QVERIFY(qAbs(lines[0].left - (TextArea.left() + Dpi / 2)) < Dpi / 20.0);
        for (int i = 1; i < 4; ++i)
            QVERIFY(qAbs(lines[i].left - TextArea.left()) < Dpi / 20.0);
    }

    void firstPageNumber_data()
    {
        QTest::addColumn<QByteArray>("words");
        QTest::addColumn<int>("first");
        QTest::newRow("from one") << QByteArray() << 1;
        QTest::newRow("restarted at five") << QByteArray("\\sectd\\pgnstarts5\\pgnrestart") << 5;
        QTest::newRow("from nought") << QByteArray("\\pgnstarts0") << 0;
        QTest::newRow("section defaults again") << QByteArray("\\pgnstarts5\\sectd") << 1;
    }

    void firstPageNumber()
    {
        QFETCH(QByteArray, words);
        QFETCH(int, first);
        // A later section's start changes nothing.
        const auto doc = documentOf(file(words + "{\\footer \\pard {\\field{\\*\\fldinst PAGE}{\\fldrslt 1}}/"
                                                 "{\\field{\\*\\fldinst NUMPAGES}{\\fldrslt 1}}\\par}",
                                         "\\pard A\\sect\\sectd\\pgnstarts9\\pard B\\par"));
        const PageBands bands(*doc);
        QCOMPARE(footerText(bands, 1, 2), QStringLiteral("%1/2").arg(first));
        QCOMPARE(footerText(bands, 2, 2), QStringLiteral("%1/2").arg(first + 1));
        const QByteArray written = toRtf(*doc);
        QCOMPARE(written.contains("\\pgnstarts"), first != 1);
        QCOMPARE(pageBandSet(*documentOf(written)).firstPageNumber, first);
    }

    void bodyRoom_data()
    {
        // Where the body's top and bottom go: "margin" (they stay), "band"
        // (under the header's last line, plus `space` twips of space after
        // it; above the footer's first line) or "quarter" (all a band may take).
        QTest::addColumn<QByteArray>("words");
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("top");
        QTest::addColumn<QString>("bottom");
        QTest::addColumn<int>("space");

        const QByteArray tall = "{\\header \\pard H1\\par H2\\par H3\\par H4\\par H5\\par H6\\par}";
        QTest::newRow("bands that fit") << QByteArray("{\\header \\pard H\\par}{\\footer \\pard F\\par}")
                                        << 1 << "margin" << "margin" << 0;
        QTest::newRow("tall header, tall footer") << tall + QByteArray(tall).replace("header", "footer").replace('H', 'F')
                                                  << 1 << "band" << "band" << 0;
        // Without the space, these two would fit.
        QTest::newRow("space before the header")
            << QByteArray("{\\header \\pard\\sb1440 H\\par}") << 1 << "band" << "margin" << 0;
        QTest::newRow("space after the header")
            << QByteArray("{\\header \\pard\\sa720 H\\par}") << 1 << "band" << "margin" << 720;
        QTest::newRow("title page without a header") << "\\titlepg" + tall << 1 << "margin" << "margin" << 0;
        QTest::newRow("title page, the next page") << "\\titlepg" + tall << 2 << "band" << "margin" << 0;
        QTest::newRow("header taller than the page")
            << "{\\header \\pard " + QByteArray("H\\par ").repeated(80) + '}' << 1 << "quarter" << "margin" << 0;
    }

    void bodyRoom()
    {
        QFETCH(QByteArray, words);
        QFETCH(int, page);
        QFETCH(QString, top);
        QFETCH(QString, bottom);
        QFETCH(int, space);
        const auto doc = documentOf(file("\\headery720\\footery720" + words));
        const PageBands bands(*doc);
        TextRecorder device(Dpi);
        const QRectF rect = bands.textRect(&device, Paper, TextArea, page, 2);
        QCOMPARE(rect.left(), TextArea.left());
        QCOMPARE(rect.width(), TextArea.width());
        qreal lastHeader = -1, firstFooter = Paper.bottom();
        for (const auto &line : drawn(bands, true, true, page, 2)) {
            if (line.text.startsWith(u'H'))
                lastHeader = qMax(lastHeader, line.baseline);
            else
                firstFooter = qMin(firstFooter, line.baseline);
        }
        // Right under the last line's descent: no gap of its own.
        const qreal line = 12.0 / 72 * Dpi * 1.4;
        const qreal under = lastHeader + space * Dpi / 1440.0;
        if (top == u"band")
            QVERIFY2(rect.top() > under && rect.top() < under + line / 2, qPrintable(QString::number(rect.top())));
        else
            QCOMPARE(rect.top(), top == u"margin" ? TextArea.top() : TextArea.bottom() - TextArea.height() / 4);
        if (bottom == u"band")
            QVERIFY2(rect.bottom() < firstFooter - line / 2 && rect.bottom() > firstFooter - line,
                     qPrintable(QString::number(rect.bottom())));
        else
            QCOMPARE(rect.bottom(), TextArea.bottom());
    }

    // Other programs' bands, damaged files among them, draw without harm.
    void corpus_data() { testsupport::addCorpusRows(); }

    void corpus()
    {
        QFETCH(QString, path);
        if (path.isEmpty())
            QSKIP("the RTF corpus folder is not there");
        const auto doc = documentOf(testsupport::readFile(path));
        const PageBands bands(*doc);
        QCOMPARE(bands.isEmpty(), pageBandSet(*doc).isEmpty());
        for (int page = 1; page <= 2; ++page) {
            headerText(bands, page, 2);
            footerText(bands, page, 2);
        }
    }
};

QTEST_MAIN(TestPageBands)
#include "tst_pagebands.moc"
