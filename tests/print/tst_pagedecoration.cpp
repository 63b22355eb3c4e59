// Page decoration: column formats, fitting text into a column, placeholders,
// where header, footer, logo and borders land on the page, and clipping
// when a band is too small.

#include "print/columnline.h"
#include "print/pagedecoration.h"
#include "print/pagegeometry.h"

#include <QPaintEngine>
#include <QPainter>
#include <QTest>

using namespace print;

namespace {

// A device that records what is drawn on it instead of rasterising it, so
// positions can be compared to the pixel.
class RecordingEngine : public QPaintEngine
{
public:
    struct Text
    {
        QString text;
        QPointF baseline;
        QColor color;
    };
    QList<Text> texts;
    int images = 0;

    RecordingEngine() : QPaintEngine(AllFeatures) {}
    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState &state) override
    {
        if (state.state() & DirtyPen)
            m_pen = state.pen();
    }
    void drawTextItem(const QPointF &p, const QTextItem &item) override
    {
        texts.append({item.text(), p, m_pen.color()});
    }
    void drawImage(const QRectF &, const QImage &, const QRectF &, Qt::ImageConversionFlags) override { ++images; }
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
    void drawPath(const QPainterPath &) override {}
    Type type() const override { return User; }

private:
    QPen m_pen;
};

class RecordingDevice : public QPaintDevice
{
public:
    explicit RecordingDevice(int dpi) : m_dpi(dpi) {}
    QPaintEngine *paintEngine() const override { return &m_engine; }
    RecordingEngine &engine() const { return m_engine; }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth:
        case PdmHeight:
            return 10 * m_dpi;
        case PdmDpiX:
        case PdmDpiY:
            return m_dpi;
        case PdmDepth:
            return 32;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        default:
            return QPaintDevice::metric(metric);
        }
    }

private:
    int m_dpi;
    mutable RecordingEngine m_engine;
};

// A4 with a 5 mm unprintable edge and the default margins, in millimetres.
PageGeometry a4(int dpi)
{
    PrinterMetrics printer;
    printer.dpiX = printer.dpiY = dpi;
    printer.paperRect = QRect(0, 0, toPixels(210, MeasureUnit::Millimeters, dpi),
                              toPixels(297, MeasureUnit::Millimeters, dpi));
    const int edge = toPixels(5, MeasureUnit::Millimeters, dpi);
    printer.printableRect = printer.paperRect.adjusted(edge, edge, -edge, -edge);
    return PageGeometry::compute(printer, MeasureUnit::Millimeters, PageMargins(), 0);
}

// A made-up page: 300 x 300 pixels, 50-pixel bands all round.
PageGeometry smallPage(int dpi)
{
    PageGeometry g;
    g.dpiX = g.dpiY = dpi;
    g.paperSize = QSizeF(300 * 25.4 / dpi, 300 * 25.4 / dpi);
    g.printablePixels = QSize(300, 300);
    g.leftBand = g.rightBand = g.topBand = g.bottomBand = 50;
    g.textArea = QRect(50, 50, 200, 200);
    return g;
}

// The decoration drawn on a white image of the printable area.
QImage rendered(const PageDecoration &decoration, const PageGeometry &g)
{
    QImage image(g.printablePixels, QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(g.dpiX / 0.0254));
    image.setDotsPerMeterY(qRound(g.dpiY / 0.0254));
    image.fill(Qt::white);
    QPainter painter(&image);
    decoratePage(painter, decoration, g, PlaceholderValues());
    return image;
}

bool inkInRows(const QImage &image, int from, int to)
{
    for (int y = qMax(0, from); y <= qMin(to, image.height() - 1); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                return true;
    return false;
}

} // namespace

class TestPageDecoration : public QObject
{
    Q_OBJECT

private slots:
    void columnCell_data()
    {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<double>("defaultWidth");
        QTest::addColumn<int>("align");
        QTest::addColumn<double>("width");
        const int left = ColumnCell::Left, right = ColumnCell::Right, centre = ColumnCell::Centre;
        QTest::newRow("empty is <default") << "" << "en_US" << 0.0 << left << 0.0;
        QTest::newRow("> alone") << ">" << "en_US" << 0.0 << right << 0.0;
        QTest::newRow("^ alone, default 30") << "^" << "en_US" << 30.0 << centre << 30.0;
        QTest::newRow("^50") << "^50" << "en_US" << 0.0 << centre << 50.0;
        QTest::newRow(">100") << ">100" << "en_US" << 0.0 << right << 100.0;
        QTest::newRow("<12,5 German") << "<12,5" << "de_DE" << 0.0 << left << 12.5;
        QTest::newRow("no alignment is left") << "12,5" << "de_DE" << 0.0 << left << 12.5;
        QTest::newRow("12,5 in English is junk") << ">12,5" << "en_US" << 4.0 << right << 4.0;
        QTest::newRow("junk keeps alignment") << "^abc" << "en_US" << 4.0 << centre << 4.0;
        QTest::newRow("negative") << "<-5" << "en_US" << 4.0 << left << 4.0;
        QTest::newRow("infinite") << "<inf" << "en_US" << 4.0 << left << 4.0;
    }
    void columnCell()
    {
        QFETCH(QString, cell);
        QFETCH(QString, locale);
        QFETCH(double, defaultWidth);
        const ColumnCell parsed = parseColumnCell(cell, defaultWidth, QLocale(locale));
        QTEST(int(parsed.align), "align");
        QTEST(parsed.width, "width");
    }

    // Across all column widths, 0 and the exact fit included, the bisection
    // finds the longest prefix that fits, never one that overflows (but for
    // the first character). An "M" is three times as wide as the others, so
    // prefix widths are not proportional to their length.
    void fitting()
    {
        const QString text = QStringLiteral("aMbMMcdefMghijMMMklm");
        const auto width = [](const QString &s) { return int(s.size() + 2 * s.count(u'M')) * 7; };
        QCOMPARE(fitLength(QString(), 0, width), 0);
        for (int column = 0; column <= width(text) + 5; ++column) {
            int longest = 1;
            while (longest < text.size() && width(text.left(longest + 1)) <= column)
                ++longest;
            QCOMPARE(fitLength(text, column, width), longest);
        }
    }

    void placeholders_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("expected");
        QTest::newRow("page 2") << "Page {$PAGE}" << "" << "en_US" << "Page 2";
        QTest::newRow("line is 0") << "{$LINE}/{$LINE}" << "" << "en_US" << "0/0";
        QTest::newRow("title") << "[{$TITLE}]" << "Report" << "en_US" << "[Report]";
        QTest::newRow("title holding itself") << "[{$TITLE}]" << "a {$TITLE}" << "en_US" << "[{$TITLE}]";
        QTest::newRow("title holding another") << "{$TITLE}" << "{$PAGE}" << "en_US" << "{$PAGE}";
        QTest::newRow("forms a new placeholder") << "{$TITLE}LE}" << "{$TIT" << "en_US" << "{$TITLE}";
        QTest::newRow("case-sensitive") << "{$page} {$Title}" << "T" << "en_US" << "{$page} {$Title}";
        QTest::newRow("date and time, German") << "{$DATE} {$TIME}" << "" << "de_DE" << "05.03.24 14:07:09";
        QTest::newRow("time, US") << "{$TIME}" << "" << "en_US" << "2:07:09 PM";
    }
    void placeholders()
    {
        QFETCH(QString, text);
        QFETCH(QString, title);
        QFETCH(QString, locale);
        PlaceholderValues values;
        values.page = 2;
        values.title = title;
        values.now = QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9));
        values.locale = QLocale(locale);
        QTEST(expandPlaceholders(text, values), "expected");
    }

    // The inset and the border pen grow by whole steps of 600 dpi.
    void insetAndPen_data()
    {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("inset");
        QTest::addColumn<int>("pen");
        QTest::newRow("300") << 300 << 0 << 0;
        QTest::newRow("600") << 600 << 6 << 2;
        QTest::newRow("1200") << 1200 << 12 << 4;
    }
    void insetAndPen()
    {
        QFETCH(int, dpi);
        QTEST(columnInset(dpi), "inset");
        QTEST(borderPenWidth(dpi), "pen");
    }

    void offset_data()
    {
        QTest::addColumn<int>("align");
        QTest::addColumn<int>("textWidth");
        QTest::addColumn<int>("expected");
        // Column 100 wide, inset 6: the inset applies below 94.
        QTest::newRow("right, room") << int(ColumnCell::Right) << 40 << 54;
        QTest::newRow("right, no room") << int(ColumnCell::Right) << 94 << 6;
        QTest::newRow("centre, too wide") << int(ColumnCell::Centre) << 103 << -2;
    }
    void offset()
    {
        QFETCH(int, align);
        QFETCH(int, textWidth);
        QTEST(columnOffset(ColumnCell::Align(align), 100, textWidth, 6), "expected");
    }

    // Cells are split before expanding: a "|" in the title stays in its
    // column; surplus cells are dropped, missing ones still take width.
    void columnLine_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QList<int>>("columns"); // column index of each text
        QTest::newRow("title with |") << "{$TITLE}|x" << "<20|<20" << QStringList{"a|b", "x"} << QList<int>{0, 1};
        QTest::newRow("three cells, two columns") << "a|b|c" << "<20|<20" << QStringList{"a", "b"} << QList<int>{0, 1};
        QTest::newRow("missing cell takes width") << "a||c" << "<20|<20|<20" << QStringList{"a", "c"}
                                                  << QList<int>{0, 2};
        QTest::newRow("one cell, two columns") << "a" << "<20|<20" << QStringList{"a"} << QList<int>{0};
    }
    void columnLine()
    {
        QFETCH(QString, line);
        QFETCH(QString, format);
        QFETCH(QStringList, texts);
        QFETCH(QList<int>, columns);
        const PageGeometry g = a4(600);
        RecordingDevice device(600);
        QPainter painter(&device);
        PlaceholderValues values;
        values.title = QStringLiteral("a|b");
        drawColumnLine(painter, line, format, g, 0, values, 0);
        painter.end();
        const auto &recorded = device.engine().texts;
        QCOMPARE(recorded.size(), texts.size());
        for (int i = 0; i < texts.size(); ++i) {
            QCOMPARE(recorded[i].text, texts[i]);
            QCOMPARE(recorded[i].baseline.x(), g.leftBand + columns[i] * g.pixelsX(20) + 6);
        }
    }

    // With the main window's footer, page 3 reads "Page 3" in black and
    // ends 100 mm right of the left margin less the inset, centred in the
    // bottom band; the logo comes with a header only.
    void footerAndLogo_data()
    {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<QString>("header");
        QTest::newRow("300 dpi, title header") << 300 << "{$TITLE}";
        QTest::newRow("600 dpi, no header") << 600 << "";
    }
    void footerAndLogo()
    {
        QFETCH(int, dpi);
        QFETCH(QString, header);
        const PageGeometry g = a4(dpi);
        RecordingDevice device(dpi);
        QPainter painter(&device);
        PageDecoration decoration;
        decoration.header = header;
        decoration.logo = QImage(8, 8, QImage::Format_RGB32);
        decoration.fontColor = Qt::white; // must print black
        PlaceholderValues values;
        values.page = 3;
        decoratePage(painter, decoration, g, values);
        const QFontMetrics metrics(headerFooterFont(decoration.font), &device);
        painter.end();

        const RecordingEngine &engine = device.engine();
        QCOMPARE(engine.images, header.isEmpty() ? 0 : 1); // even a header that prints nothing
        QCOMPARE(drawsHeader(decoration), !header.isEmpty());
        QCOMPARE(engine.texts.size(), 1);
        const RecordingEngine::Text &footer = engine.texts[0];
        QCOMPARE(footer.text, QStringLiteral("Page 3"));
        QCOMPARE(footer.color, QColor(Qt::black));
        const int end = int(footer.baseline.x()) + metrics.horizontalAdvance(footer.text);
        QCOMPARE(end, g.leftBand + g.pixelsX(100) - columnInset(dpi));
        const int top = g.textArea.bottom() + 1 + (g.bottomBand - lineHeight(decoration.font, &device)) / 2;
        QCOMPARE(int(footer.baseline.y()), top + metrics.ascent());
    }

    void logoRectangle_data()
    {
        QTest::addColumn<double>("top");
        QTest::addColumn<double>("left");
        QTest::addColumn<QRect>("expected");
        // Paper 300 px square, text area 200 px: logo values scale by 2/3.
        // y0 = (50 - 20) / 2 + 20 = 35; 25 x 20 units on a paper of
        // 127 units (300 px at 60 dpi) = 39 x 31 px.
        QTest::newRow("at the margin") << 0.0 << 0.0 << QRect(50, 35, 39, 31);
        QTest::newRow("moved 10 units") << 10.0 << 10.0 << QRect(66, 51, 39, 31);
    }
    void logoRectangle()
    {
        PageDecoration decoration;
        QFETCH(double, top);
        QFETCH(double, left);
        decoration.logoTop = top;
        decoration.logoLeft = left;
        QTEST(logoRect(decoration, smallPage(60), 20), "expected");
    }

    void borders_data()
    {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("pen");
        QTest::addColumn<int>("d");
        QTest::newRow("300 dpi, thinnest") << 300 << 0 << 24; // 2 mm
        QTest::newRow("600 dpi, 2 px") << 600 << 2 << 47;
    }
    void borders()
    {
        QFETCH(int, dpi);
        QFETCH(int, pen);
        QFETCH(int, d);
        PageDecoration decoration;
        decoration.borders = PageBorder::Top | PageBorder::Bottom | PageBorder::Left | PageBorder::Right;
        const PageGeometry g = a4(dpi);
        const int l = g.leftBand, t = g.topBand, r = l + g.textArea.width(), b = t + g.textArea.height();
        const QList<BorderLine> lines = borderLines(decoration, g);
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[0].line, QLine(l - d, t - d, r + d, t - d));
        QCOMPARE(lines[1].line, QLine(l - d, b + d, r + d, b + d));
        QCOMPARE(lines[2].line, QLine(l - d, t - d, l - d, b + d));
        QCOMPARE(lines[3].line, QLine(r + d, t - d, r + d, b + d));
        for (const BorderLine &line : lines)
            QCOMPARE(line.penWidth, pen);

        // Drawn: the top line is `pen` rows thick (one for the thinnest).
        decoration.header.clear();
        decoration.footer.clear();
        decoration.borderOffset = 10 * 25.4 / dpi; // 10 px
        const QImage image = rendered(decoration, smallPage(dpi));
        const int rows = qMax(1, pen);
        QVERIFY(!inkInRows(image, 40 - rows - 1, 40 - rows));
        QVERIFY(inkInRows(image, 40 - rows + 1, 40 - rows + 1));
        QCOMPARE(qGray(image.pixel(150, 40)), 0);
        QCOMPARE(qGray(image.pixel(150, 41)), 255);
    }

    // A header taller than its band is cut at the band; it never prints
    // into the text area.
    void headerClippedToBand()
    {
        PageGeometry g = smallPage(300);
        g.topBand = 6;
        g.textArea.setTop(6);
        PageDecoration decoration;
        decoration.header = QStringLiteral("MMMM");
        decoration.headerFormat = QStringLiteral("<10");
        decoration.footer.clear();
        decoration.font.setPointSize(20);
        const QImage image = rendered(decoration, g);
        QVERIFY(inkInRows(image, 0, 5));
        QVERIFY(!inkInRows(image, 6, image.height()));
    }
};

QTEST_MAIN(TestPageDecoration)
#include "tst_pagedecoration.moc"
