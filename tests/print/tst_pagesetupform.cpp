// The Page Setup window: what goes in comes back out, edits reach the
// values, options disable the right controls, the margins' limits follow
// paper and orientation, and the logo and font choosers (answered by hooks).

#include "print/pagesetupform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

using namespace print;

Q_DECLARE_METATYPE(print::PageSetupValues)

namespace {

PageSetupValues a4()
{
    PageSetupValues v;
    v.pageSize = QPageSize(QPageSize::A4);
    return v;
}

QImage filled(QSize size, QColor color)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

// Field by field, so a failure names the field.
void compareValues(const PageSetupValues &actual, const PageSetupValues &expected)
{
    QCOMPARE(actual.unit, expected.unit);
    QVERIFY2(actual.pageSize == expected.pageSize, qPrintable(actual.pageSize.name()));
    QCOMPARE(actual.orientation, expected.orientation);
    const auto margins = [](const PageMargins &m) { return QList<double>{m.top, m.bottom, m.left, m.right}; };
    QCOMPARE(margins(actual.margins), margins(expected.margins));
    const PageDecoration &a = actual.decoration;
    const PageDecoration &e = expected.decoration;
    QCOMPARE(a.header, e.header);
    QCOMPARE(a.headerFormat, e.headerFormat);
    QCOMPARE(a.footer, e.footer);
    QCOMPARE(a.footerFormat, e.footerFormat);
    QCOMPARE(a.font, e.font);
    QCOMPARE(a.fontColor, e.fontColor);
    QCOMPARE(a.logo, e.logo);
    QCOMPARE(QList<double>({a.logoTop, a.logoLeft, a.logoWidth, a.logoHeight}),
        QList<double>({e.logoTop, e.logoLeft, e.logoWidth, e.logoHeight}));
    QCOMPARE(a.borders, e.borders);
    QCOMPARE(a.borderOffset, e.borderOffset);
    QCOMPARE(a.defaultColumnWidth, e.defaultColumnWidth);
}

template <typename T> T *child(const QWidget &form, const char *name)
{
    T *widget = form.findChild<T *>(QString::fromLatin1(name));
    if (!widget)
        qFatal("no widget %s", name); // a renamed control, not a failed check
    return widget;
}

} // namespace

class TestPageSetupForm : public QObject {
    Q_OBJECT

private slots:
    void roundTrip_data()
    {
        QTest::addColumn<PageSetupValues>("values");
        QTest::newRow("defaults on A4") << a4();
        PageSetupValues v = a4();
        v.margins = { 12.34, 56.78, 9.5, 0 };
        QTest::newRow("margins in millimetres") << v;

        // The logo keeps its millimetre defaults: taller than the sheet in
        // inches, yet only margins are bound to the paper.
        v = a4();
        v.unit = MeasureUnit::Inches;
        v.pageSize = QPageSize(QPageSize::Letter);
        v.margins = { 1.25, 0.984, 0.5, 2.125 };
        v.decoration.borderOffset = 0.079;
        QTest::newRow("inches") << v;

        // 250 mm only fits across a landscape Letter sheet (279.4 mm).
        v = a4();
        v.pageSize = QPageSize(QPageSize::Letter);
        v.orientation = QPageLayout::Landscape;
        v.margins.left = 250;
        QTest::newRow("landscape with a wide margin") << v;

        v = a4();
        v.pageSize = QPageSize(QSizeF(100, 150), QPageSize::Millimeter, QStringLiteral("Index card"),
            QPageSize::ExactMatch);
        v.margins = { 10, 10, 10, 10 };
        QTest::newRow("paper not in the list") << v;

        v = a4();
        v.decoration.header = QStringLiteral("{$TITLE}|{$DATE} {$TIME}");
        v.decoration.headerFormat = QStringLiteral("<50|>50");
        v.decoration.footer = QString();
        v.decoration.footerFormat = QStringLiteral("^100");
        v.decoration.font = QFont(QStringLiteral("DejaVu Sans"), 12, QFont::Bold);
        v.decoration.fontColor = QColor(0, 0, 160);
        v.decoration.defaultColumnWidth = 42;
        QTest::newRow("header and footer, font, colour") << v;

        v = a4();
        v.decoration.logo = filled(QSize(300, 200), Qt::red);
        v.decoration.logoTop = -5;
        v.decoration.logoLeft = -300;
        v.decoration.logoWidth = 500;
        v.decoration.logoHeight = 12.25;
        v.decoration.borders = PageBorder::Top | PageBorder::Right;
        v.decoration.borderOffset = -1.5;
        QTest::newRow("logo, two borders inside the text") << v;
    }

    void roundTrip()
    {
        QFETCH(PageSetupValues, values);
        PageSetupForm form(values, PageSetupFlag::Margins);
        compareValues(form.values(), values);
    }

    // Values that merely echo the constructor would pass the round trip; every
    // control must be read back.
    void editsReachValues()
    {
        PageSetupForm form(a4(), PageSetupFlag::Margins);
        PageSetupValues expected = a4();
        PageDecoration &d = expected.decoration;

        child<QComboBox>(form, "paperSize")
            ->setCurrentIndex(int(PageSetupForm::standardSizes().indexOf(QPageSize::Legal)));
        expected.pageSize = QPageSize(QPageSize::Legal);
        child<QRadioButton>(form, "landscape")->click();
        expected.orientation = QPageLayout::Landscape;

        const QList<std::pair<const char *, double *>> lengths { { "marginTop", &expected.margins.top },
            { "marginBottom", &expected.margins.bottom }, { "marginLeft", &expected.margins.left },
            { "marginRight", &expected.margins.right }, { "logoTop", &d.logoTop },
            { "logoLeft", &d.logoLeft }, { "logoWidth", &d.logoWidth }, { "logoHeight", &d.logoHeight },
            { "borderOffset", &d.borderOffset } };
        double next = 11;
        for (const auto &[name, field] : lengths) {
            child<QDoubleSpinBox>(form, name)->setValue(next);
            *field = next++;
        }
        const QList<std::pair<const char *, QString *>> texts { { "header", &d.header },
            { "headerFormat", &d.headerFormat }, { "footer", &d.footer },
            { "footerFormat", &d.footerFormat } };
        for (const auto &[name, field] : texts) {
            *field = QStringLiteral("<20|%1").arg(QLatin1String(name));
            child<QLineEdit>(form, name)->setText(*field);
        }
        child<QCheckBox>(form, "borderBottom")->click();
        child<QCheckBox>(form, "borderLeft")->click();
        d.borders = PageBorder::Bottom | PageBorder::Left;

        compareValues(form.values(), expected);
    }

    void options_data()
    {
        QTest::addColumn<int>("options");
        QTest::addColumn<QStringList>("disabled");

        const QStringList margins { "marginTop", "marginBottom", "marginLeft", "marginRight" };
        QTest::newRow("margins") << int(PageSetupFlag::Margins) << QStringList();
        QTest::newRow("disable margins") << int(PageSetupFlag::DisableMargins) << margins;
        QTest::newRow("disabling wins over margins")
            << int(PageSetupFlag::DisableMargins | PageSetupFlag::Margins) << margins;
        QTest::newRow("disable orientation")
            << int(PageSetupFlag::DisableOrientation) << QStringList { "portrait", "landscape" };
        QTest::newRow("disable paper")
            << int(PageSetupFlag::DisablePaper) << QStringList { "paperSize" };
        QTest::newRow("disable printer")
            << int(PageSetupFlag::DisablePrinter) << QStringList { "printer" };
    }

    void options()
    {
        QFETCH(int, options);
        QFETCH(QStringList, disabled);

        PageSetupForm form(a4(), PageOptions::fromInt(options));
        int printerCalls = 0;
        form.setPrinterCallback([&] { ++printerCalls; });
        for (const char *name : { "paperSize", "portrait", "landscape", "marginTop", "marginBottom",
                 "marginLeft", "marginRight", "printer", "header" })
            QVERIFY2(child<QWidget>(form, name)->isEnabled() != disabled.contains(QLatin1String(name)),
                name);

        child<QPushButton>(form, "printer")->click();
        QCOMPARE(printerCalls, disabled.contains(QStringLiteral("printer")) ? 0 : 1);
    }

    void typedMargin_data()
    {
        QTest::addColumn<bool>("inches");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("expected");

        QTest::newRow("inches keep three decimals") << true << "1.255" << 1.255;
        QTest::newRow("a fourth decimal inch is refused") << true << "0.1234" << 0.123;
        QTest::newRow("millimetres keep two decimals") << false << "12.34" << 12.34;
    }

    void typedMargin()
    {
        QFETCH(bool, inches);
        QFETCH(QString, typed);
        QFETCH(double, expected);

        PageSetupValues v = a4();
        v.unit = inches ? MeasureUnit::Inches : MeasureUnit::Millimeters;
        PageSetupForm form(v, PageSetupFlag::Margins);
        auto *box = child<QDoubleSpinBox>(form, "marginLeft");
        QCOMPARE(box->suffix(), inches ? QStringLiteral(" in") : QStringLiteral(" mm"));
        box->selectAll();
        QTest::keyClicks(box, typed);
        QCOMPARE(form.values().margins.left, expected);
    }

    void limitsFollowPaper_data()
    {
        QTest::addColumn<int>("paper");
        QTest::addColumn<bool>("inches");
        QTest::addColumn<double>("height");
        QTest::addColumn<double>("width");

        QTest::newRow("A4 in millimetres") << int(QPageSize::A4) << false << 297.0 << 210.0;
        QTest::newRow("Letter in inches") << int(QPageSize::Letter) << true << 11.0 << 8.5;
    }

    void limitsFollowPaper()
    {
        QFETCH(int, paper);
        QFETCH(bool, inches);
        QFETCH(double, height);
        QFETCH(double, width);

        PageSetupValues v;
        v.unit = inches ? MeasureUnit::Inches : MeasureUnit::Millimeters;
        v.pageSize = QPageSize(QPageSize::PageSizeId(paper));
        PageSetupForm form(v, PageSetupFlag::Margins);
        auto *top = child<QDoubleSpinBox>(form, "marginTop");
        auto *left = child<QDoubleSpinBox>(form, "marginLeft");
        QCOMPARE(top->minimum(), 0.0);
        QCOMPARE(top->maximum(), height);
        QCOMPARE(left->maximum(), width);

        child<QRadioButton>(form, "landscape")->click();
        QCOMPARE(top->maximum(), width);
        left->setValue(height * 2); // beyond the sheet: stops at its edge
        QCOMPARE(form.values().margins.left, height);
    }

    void logoChooser_data()
    {
        QTest::addColumn<QString>("file"); // in a temporary folder; empty: cancelled
        QTest::addColumn<bool>("taken");
        QTest::addColumn<bool>("message");

        QTest::newRow("a picture") << "logo.png" << true << false;
        QTest::newRow("text named like a picture") << "fake.png" << false << true;
        QTest::newRow("cancelled") << "" << false << false;
    }

    void logoChooser()
    {
        QFETCH(QString, file);
        QFETCH(bool, taken);
        QFETCH(bool, message);

        QTemporaryDir dir;
        QVERIFY(filled(QSize(200, 100), Qt::blue).save(dir.filePath(QStringLiteral("logo.png"))));
        for (const char *name : { "fake.png" }) {
            QFile text(dir.filePath(QString::fromLatin1(name)));
            QVERIFY(text.open(QIODevice::WriteOnly) && text.write("not a picture\n") > 0);
        }
        PageSetupValues v = a4();
        v.decoration.logo = filled(QSize(4, 4), Qt::green);
        PageSetupForm form(v, PageSetupFlag::Margins);
        form.setLogoChooser([&](QWidget *) { return file.isEmpty() ? QString() : dir.filePath(file); });
        child<QPushButton>(form, "logoChoose")->click();

        const QImage logo = form.values().decoration.logo;
        QCOMPARE(logo.pixelColor(0, 0), taken ? QColor(Qt::blue) : QColor(Qt::green));
        auto *note = child<QLabel>(form, "logoMessage");
        QCOMPARE(!note->isHidden(), message);
        QVERIFY2(!message || note->text().contains(file), qPrintable(note->text()));
        // The preview fits its small frame whatever the picture's size.
        auto *frame = child<QLabel>(form, "logoPreview");
        QVERIFY(frame->pixmap().width() < frame->width() && frame->pixmap().height() < frame->height());

        child<QPushButton>(form, "logoRemove")->click();
        QVERIFY(form.values().decoration.logo.isNull());
        QVERIFY(note->isHidden());
        QVERIFY(!child<QPushButton>(form, "logoRemove")->isEnabled());
    }

    // A cancelled chooser (nothing) changes nothing; a chosen font shows its
    // name and size.
    void fontAndColourChoosers()
    {
        PageSetupForm form(a4(), PageSetupFlag::Margins);
        auto *fontName = child<QLabel>(form, "fontName");
        QCOMPARE(fontName->text(), QStringLiteral("Courier New, 10 pt"));
        std::optional<QFont> nextFont;
        form.setFontChooser([&](QWidget *, const QFont &) { return nextFont; });
        std::optional<QColor> nextColor;
        form.setColorChooser([&](QWidget *, const QColor &) { return nextColor; });

        child<QPushButton>(form, "font")->click();
        child<QPushButton>(form, "colour")->click();
        compareValues(form.values(), a4());

        QFont serif(QStringLiteral("DejaVu Serif"), 14);
        serif.setItalic(true);
        nextFont = serif;
        nextColor = QColor(Qt::darkRed);
        child<QPushButton>(form, "font")->click();
        child<QPushButton>(form, "colour")->click();
        QCOMPARE(form.values().decoration.font, serif);
        QCOMPARE(form.values().decoration.fontColor, QColor(Qt::darkRed));
        QCOMPARE(fontName->text(), QStringLiteral("DejaVu Serif, 14 pt, italic"));
    }

};

QTEST_MAIN(TestPageSetupForm)
#include "tst_pagesetupform.moc"
