#include "print/printdialogs.h"
#include "print/printsettings.h"
#include "print/richprinter.h"

#include <QFileInfo>
#include <QImage>
#include <QPrinter>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QtTest>

using namespace print;

class TestPrintSettings : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_count = 0;
    QString freshFile() { return m_dir.filePath(QStringLiteral("settings%1.ini").arg(++m_count)); }

private slots:
    void doubleEncoding_data();
    void doubleEncoding();
    void roundTrip();
    void damagedValues_data();
    void damagedValues();
    void nothingStored();
    void compressPreview();
    void loadAppliesStoredUnitBeforeMargins();
    void damagedMarginDoesNotStopPrinting();
    void decorationRoundTrip_data();
    void decorationRoundTrip();
    void damagedDecoration_data();
    void damagedDecoration();
};

void TestPrintSettings::doubleEncoding_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("25") << 25.0 << QByteArray::fromHex("0000000000003940");
    QTest::newRow("1.5") << 1.5 << QByteArray::fromHex("000000000000f83f");
    QTest::newRow("negative") << -2.0 << QByteArray::fromHex("00000000000000c0");
}

void TestPrintSettings::doubleEncoding()
{
    QFETCH(double, value);
    QFETCH(QByteArray, bytes);
    QCOMPARE(PrintSettings::encodeDouble(value), bytes);
    QCOMPARE(PrintSettings::decodeDouble(bytes), value);
}

void TestPrintSettings::roundTrip()
{
    PrintSettings settings(freshFile());
    settings.save(12.5, 30.25, 20.0, 0.5, MeasureUnit::Inches, QPageLayout::Landscape);
    const auto stored = settings.load();
    QVERIFY(stored);
    QCOMPARE(stored->marginLeft, 12.5);
    QCOMPARE(stored->marginTop, 30.25);
    QCOMPARE(stored->marginBottom, 20.0);
    QCOMPARE(stored->marginRight, 0.5);
    QCOMPARE(stored->unit, MeasureUnit::Inches);
    QCOMPARE(stored->orientation, QPageLayout::Landscape);

    // The stored form others read: 8 bytes per margin, "0"/"1" codes.
    QSettings raw(settings.fileName(), QSettings::IniFormat);
    QCOMPARE(raw.value(QStringLiteral("RichPrint.Settings/Marges/MarginTop")).toByteArray(),
             PrintSettings::encodeDouble(30.25));
    QCOMPARE(raw.value(QStringLiteral("RichPrint.Settings/Marges/CodeMeasurement")).toString(), QStringLiteral("0"));
    QCOMPARE(raw.value(QStringLiteral("RichPrint.Settings/Marges/CodeDirection")).toString(), QStringLiteral("0"));
}

void TestPrintSettings::damagedValues_data()
{
    QTest::addColumn<QVariant>("margin");
    QTest::addColumn<QString>("unitCode");
    QTest::addColumn<MeasureUnit>("unit");
    QTest::newRow("4 bytes") << QVariant(QByteArray(4, 'x')) << "1" << MeasureUnit::Millimeters;
    QTest::newRow("9 bytes") << QVariant(QByteArray(9, '\0')) << "1" << MeasureUnit::Millimeters;
    QTest::newRow("text") << QVariant(QStringLiteral("25")) << "0" << MeasureUnit::Inches;
    QTest::newRow("not a number") << QVariant(QByteArray::fromHex("000000000000f87f")) << "junk"
                                  << MeasureUnit::Millimeters;
    QTest::newRow("infinite") << QVariant(QByteArray::fromHex("000000000000f07f")) << "" << MeasureUnit::Millimeters;
}

void TestPrintSettings::damagedValues()
{
    QFETCH(QVariant, margin);
    QFETCH(QString, unitCode);
    QFETCH(MeasureUnit, unit);
    const QString file = freshFile();
    PrintSettings(file).save(10, 11, 12, 13, MeasureUnit::Millimeters, QPageLayout::Portrait);
    {
        QSettings raw(file, QSettings::IniFormat);
        raw.setValue(QStringLiteral("RichPrint.Settings/Marges/MarginTop"), margin);
        raw.setValue(QStringLiteral("RichPrint.Settings/Marges/CodeMeasurement"), unitCode);
    }
    const auto stored = PrintSettings(file).load();
    QVERIFY(stored);
    QVERIFY(!stored->marginTop);
    QCOMPARE(stored->marginLeft, 10.0); // the sound ones still count
    QCOMPARE(stored->unit, unit);
}

void TestPrintSettings::nothingStored()
{
    const QString file = freshFile();
    QVERIFY(!PrintSettings(file).load());
    // Only the compression choice: still no margins.
    PrintSettings(file).setCompressPreview(false);
    QVERIFY(!PrintSettings(file).load());
    QVERIFY(!PrintSettings(QString()).load());
}

void TestPrintSettings::compressPreview()
{
    const QString file = freshFile();
    PrintSettings settings(file);
    QVERIFY(settings.compressPreview()); // missing: compress
    settings.setCompressPreview(false);
    QVERIFY(!settings.compressPreview());
    QCOMPARE(QSettings(file, QSettings::IniFormat)
                 .value(QStringLiteral("RichPrint.Settings/Compress/CompressPreview"))
                 .toString(),
             QStringLiteral("0"));
    settings.setCompressPreview(true);
    QVERIFY(settings.compressPreview());
}

void TestPrintSettings::loadAppliesStoredUnitBeforeMargins()
{
    // Margins saved in inches must come back as those inches, not as
    // inches read as millimetres and converted once more.
    const QString file = freshFile();
    PrintSettings(file).save(1.0, 1.25, 0.75, 0.5, MeasureUnit::Inches, QPageLayout::Landscape);
    ScriptedPrintDialogs dialogs;
    RichPrinter printer(dialogs, file);
    printer.printer().setPageSize(QPageSize(QPageSize::A4));
    printer.setSaveMargins(true);
    dialogs.setNextPageSetup(false);
    printer.showPageSetup();
    QCOMPARE(printer.measureUnit(), MeasureUnit::Inches);
    QCOMPARE(printer.marginLeft(), 1.0);
    QCOMPARE(printer.marginTop(), 1.25);
    QCOMPARE(printer.marginBottom(), 0.75);
    QCOMPARE(printer.marginRight(), 0.5);
    QCOMPARE(printer.orientation(), QPageLayout::Landscape);
}

void TestPrintSettings::damagedMarginDoesNotStopPrinting()
{
    const QString file = freshFile();
    PrintSettings(file).save(20, 21, 22, 23, MeasureUnit::Millimeters, QPageLayout::Portrait);
    QSettings(file, QSettings::IniFormat).setValue(QStringLiteral("RichPrint.Settings/Marges/MarginLeft"),
                                                   QByteArray("junk"));
    ScriptedPrintDialogs dialogs;
    RichPrinter printer(dialogs, file);
    printer.setShowProgress(false);
    printer.setSaveMargins(true);
    printer.printer().setOutputFormat(QPrinter::PdfFormat);
    printer.printer().setOutputFileName(m_dir.filePath(QStringLiteral("damaged.pdf")));
    QTextDocument document(QStringLiteral("text"));
    printer.printRichEdit(document);
    QCOMPARE(printer.marginLeft(), 25.0); // kept
    QCOMPARE(printer.marginTop(), 21.0);
    QVERIFY(QFileInfo(m_dir.filePath(QStringLiteral("damaged.pdf"))).size() > 0);
}

void TestPrintSettings::decorationRoundTrip_data()
{
    QTest::addColumn<MeasureUnit>("unit");
    QTest::addColumn<double>("offset"); // in `unit`
    QTest::addColumn<QString>("storedOffset"); // always millimetres
    QTest::newRow("millimetres") << MeasureUnit::Millimeters << 3.5 << QStringLiteral("3.5");
    QTest::newRow("inches") << MeasureUnit::Inches << 0.25 << QStringLiteral("6.35");
}

void TestPrintSettings::decorationRoundTrip()
{
    QFETCH(MeasureUnit, unit);
    QFETCH(double, offset);
    QFETCH(QString, storedOffset);
    PageDecoration d;
    // Commas, semicolons and quotes are what an INI file trips over.
    d.header = QStringLiteral("; {$TITLE}, \"draft\" = 1");
    d.headerFormat = QStringLiteral("<50;>50");
    d.footer = QString();
    d.footerFormat = QStringLiteral("^100");
    d.font = QFont(QStringLiteral("Serif"), 13, QFont::Bold);
    d.fontColor = QColor(0x12, 0x34, 0x56);
    d.logo = QImage(3, 2, QImage::Format_ARGB32);
    d.logo.fill(QColor(200, 10, 20));
    d.logoTop = -1.5;
    d.logoLeft = 2.25;
    d.logoWidth = 40;
    d.logoHeight = 0;
    d.borders = PageBorder::Top | PageBorder::Right;
    d.borderOffset = offset;

    const QString file = freshFile();
    PrintSettings(file).saveDecoration(d, unit);
    QCOMPARE(QSettings(file, QSettings::IniFormat).value(QStringLiteral("RichPrint.Settings/Decoration/BorderOffset")).toDouble(),
             storedOffset.toDouble());
    PageDecoration back;
    PrintSettings(file).loadDecoration(back, unit);
    QCOMPARE(back.header, d.header);
    QCOMPARE(back.headerFormat, d.headerFormat);
    QCOMPARE(back.footer, QString()); // an empty footer is a choice, not a gap
    QCOMPARE(back.footerFormat, d.footerFormat);
    QCOMPARE(back.font, d.font);
    QCOMPARE(back.fontColor, d.fontColor);
    QCOMPARE(back.logo.size(), QSize(3, 2));
    QCOMPARE(back.logo.pixelColor(1, 1), QColor(200, 10, 20));
    QCOMPARE(back.logoTop, -1.5);
    QCOMPARE(back.logoLeft, 2.25);
    QCOMPARE(back.logoWidth, 40.0);
    QCOMPARE(back.logoHeight, 0.0);
    QCOMPARE(back.borders, d.borders);
    QCOMPARE(back.borderOffset, offset);
    // Margins are a separate matter: storing the decoration stores none.
    QVERIFY(!PrintSettings(file).load());

    // A removed logo stays removed.
    d.logo = QImage();
    PrintSettings(file).saveDecoration(d, unit);
    PrintSettings(file).loadDecoration(back, unit);
    QVERIFY(back.logo.isNull());
}

void TestPrintSettings::damagedDecoration_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("junk");
    QTest::newRow("font") << QStringLiteral("Font") << QVariant(QStringLiteral(""));
    QTest::newRow("colour") << QStringLiteral("FontColor") << QVariant(QStringLiteral("#zzz"));
    QTest::newRow("logo not a picture") << QStringLiteral("Logo") << QVariant(QByteArray("not a png"));
    QTest::newRow("logo top text") << QStringLiteral("LogoTop") << QVariant(QStringLiteral("abc"));
    QTest::newRow("logo left infinite") << QStringLiteral("LogoLeft") << QVariant(QStringLiteral("inf"));
    QTest::newRow("logo width negative") << QStringLiteral("LogoWidth") << QVariant(QStringLiteral("-5"));
    QTest::newRow("borders out of range") << QStringLiteral("Borders") << QVariant(QStringLiteral("16"));
    QTest::newRow("borders text") << QStringLiteral("Borders") << QVariant(QStringLiteral("top"));
    QTest::newRow("offset nan") << QStringLiteral("BorderOffset") << QVariant(QStringLiteral("nan"));
    QTest::newRow("header a list") << QStringLiteral("Header") << QVariant(QStringList{"a", "b"});
}

void TestPrintSettings::damagedDecoration()
{
    QFETCH(QString, key);
    QFETCH(QVariant, junk);
    PageDecoration stored;
    stored.header = QStringLiteral("H");
    stored.font = QFont(QStringLiteral("Serif"), 13);
    stored.fontColor = Qt::darkGreen;
    stored.logo = QImage(2, 2, QImage::Format_RGB32);
    stored.logo.fill(Qt::blue);
    stored.logoTop = 1;
    stored.logoLeft = 2;
    stored.logoWidth = 3;
    stored.borders = PageBorder::Left;
    stored.borderOffset = 4;
    const QString file = freshFile();
    PrintSettings(file).saveDecoration(stored, MeasureUnit::Millimeters);
    QSettings(file, QSettings::IniFormat).setValue(QStringLiteral("RichPrint.Settings/Decoration/") + key, junk);

    // The damaged field keeps what the printer had; the others load.
    const PageDecoration defaults;
    PageDecoration back;
    PrintSettings(file).loadDecoration(back, MeasureUnit::Millimeters);
    const auto expect = [&key](const char *name, const auto &sound, const auto &fallback) {
        return key == QLatin1String(name) ? fallback : sound;
    };
    QCOMPARE(back.header, expect("Header", stored.header, defaults.header));
    QCOMPARE(back.font, expect("Font", stored.font, defaults.font));
    QCOMPARE(back.fontColor, expect("FontColor", stored.fontColor, defaults.fontColor));
    QCOMPARE(back.logo.isNull(), key == QLatin1String("Logo"));
    QCOMPARE(back.logoTop, expect("LogoTop", stored.logoTop, defaults.logoTop));
    QCOMPARE(back.logoLeft, expect("LogoLeft", stored.logoLeft, defaults.logoLeft));
    QCOMPARE(back.logoWidth, expect("LogoWidth", stored.logoWidth, defaults.logoWidth));
    QCOMPARE(back.borders, expect("Borders", stored.borders, defaults.borders));
    QCOMPARE(back.borderOffset, expect("BorderOffset", stored.borderOffset, defaults.borderOffset));
}

QTEST_MAIN(TestPrintSettings)
#include "tst_printsettings.moc"
