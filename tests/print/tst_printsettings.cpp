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

namespace {

const QString Marges = QStringLiteral("RichPrint.Settings/Marges/");
const QString Decoration = QStringLiteral("RichPrint.Settings/Decoration/");

} // namespace

class TestPrintSettings : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_count = 0;
    QString freshFile() { return m_dir.filePath(QStringLiteral("settings%1.ini").arg(++m_count)); }

private slots:
    // Eight bytes, little-endian, whatever the machine.
    void doubleEncoding_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("25") << 25.0 << QByteArray::fromHex("0000000000003940");
        QTest::newRow("1.5") << 1.5 << QByteArray::fromHex("000000000000f83f");
        QTest::newRow("negative") << -2.0 << QByteArray::fromHex("00000000000000c0");
    }
    void doubleEncoding()
    {
        QFETCH(double, value);
        QFETCH(QByteArray, bytes);
        QCOMPARE(PrintSettings::encodeDouble(value), bytes);
        QCOMPARE(PrintSettings::decodeDouble(bytes), value);
    }

    void roundTrip()
    {
        PrintSettings settings(freshFile());
        QVERIFY(!settings.load());
        QVERIFY(!PrintSettings(QString()).load());
        QVERIFY(settings.compressPreview()); // missing: compress
        // The compression choice alone stores no margins.
        settings.setCompressPreview(false);
        QVERIFY(!settings.compressPreview());
        QVERIFY(!settings.load());

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
        QCOMPARE(raw.value(Marges + "MarginTop").toByteArray(), QByteArray::fromHex("0000000000403e40"));
        QCOMPARE(raw.value(Marges + "CodeMeasurement").toString(), QStringLiteral("0"));
        QCOMPARE(raw.value(Marges + "CodeDirection").toString(), QStringLiteral("0"));
        QCOMPARE(raw.value("RichPrint.Settings/Compress/CompressPreview").toString(), QStringLiteral("0"));
    }

    void damagedValues_data()
    {
        QTest::addColumn<QVariant>("margin");
        QTest::addColumn<QString>("unitCode");
        QTest::addColumn<MeasureUnit>("unit");
        QTest::newRow("4 bytes") << QVariant(QByteArray(4, 'x')) << "1" << MeasureUnit::Millimeters;
        QTest::newRow("9 bytes") << QVariant(QByteArray(9, '\0')) << "1" << MeasureUnit::Millimeters;
        QTest::newRow("text") << QVariant(QStringLiteral("25")) << "0" << MeasureUnit::Inches;
        QTest::newRow("not a number") << QVariant(QByteArray::fromHex("000000000000f87f")) << "junk"
                                      << MeasureUnit::Millimeters;
        QTest::newRow("infinite") << QVariant(QByteArray::fromHex("000000000000f07f")) << ""
                                  << MeasureUnit::Millimeters;
    }
    void damagedValues()
    {
        QFETCH(QVariant, margin);
        QFETCH(QString, unitCode);
        const QString file = freshFile();
        PrintSettings(file).save(10, 11, 12, 13, MeasureUnit::Millimeters, QPageLayout::Portrait);
        {
            QSettings raw(file, QSettings::IniFormat);
            raw.setValue(Marges + "MarginTop", margin);
            raw.setValue(Marges + "CodeMeasurement", unitCode);
        }
        const auto stored = PrintSettings(file).load();
        QVERIFY(stored);
        QVERIFY(!stored->marginTop);
        QCOMPARE(stored->marginLeft, 10.0); // the sound ones still count
        QTEST(stored->unit, "unit");
    }

    // Margins saved in inches come back as those inches (the stored unit is
    // applied first), and a damaged margin keeps the printer's own while
    // printing goes on.
    void printerLoadsStoredMargins_data()
    {
        QTest::addColumn<MeasureUnit>("unit");
        QTest::addColumn<QList<double>>("saved"); // left, top, bottom, right
        QTest::addColumn<QList<double>>("loaded");
        QTest::newRow("inches") << MeasureUnit::Inches << QList<double>{1.0, 1.25, 0.75, 0.5}
                                << QList<double>{1.0, 1.25, 0.75, 0.5};
        QTest::newRow("damaged left") << MeasureUnit::Millimeters << QList<double>{-1, 21, 22, 23}
                                      << QList<double>{25, 21, 22, 23};
    }
    void printerLoadsStoredMargins()
    {
        QFETCH(MeasureUnit, unit);
        QFETCH(QList<double>, saved);
        QFETCH(QList<double>, loaded);
        const QString file = freshFile();
        PrintSettings(file).save(saved[0], saved[1], saved[2], saved[3], unit, QPageLayout::Landscape);
        if (saved[0] < 0)
            QSettings(file, QSettings::IniFormat).setValue(Marges + "MarginLeft", QByteArray("junk"));
        ScriptedPrintDialogs dialogs;
        RichPrinter printer(dialogs, file);
        printer.setShowProgress(false);
        printer.setSaveMargins(true);
        printer.printer().setOutputFormat(QPrinter::PdfFormat);
        printer.printer().setPageSize(QPageSize(QPageSize::A4));
        const QString pdf = m_dir.filePath(QStringLiteral("out%1.pdf").arg(m_count));
        printer.printer().setOutputFileName(pdf);
        QTextDocument document(QStringLiteral("text"));
        printer.printRichEdit(document);
        QCOMPARE(printer.measureUnit(), unit);
        QCOMPARE(QList<double>({printer.marginLeft(), printer.marginTop(), printer.marginBottom(),
                                printer.marginRight()}),
                 loaded);
        QCOMPARE(printer.orientation(), QPageLayout::Landscape);
        QVERIFY(QFileInfo(pdf).size() > 0);
    }

    void decorationRoundTrip_data()
    {
        QTest::addColumn<MeasureUnit>("unit");
        QTest::addColumn<double>("offset"); // in `unit`
        QTest::addColumn<double>("storedOffset"); // always millimetres
        QTest::newRow("millimetres") << MeasureUnit::Millimeters << 3.5 << 3.5;
        QTest::newRow("inches") << MeasureUnit::Inches << 0.25 << 6.35;
    }
    void decorationRoundTrip()
    {
        QFETCH(MeasureUnit, unit);
        QFETCH(double, offset);
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
        QTEST(QSettings(file, QSettings::IniFormat).value(Decoration + "BorderOffset").toDouble(), "storedOffset");
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
        QCOMPARE(QList<double>({back.logoTop, back.logoLeft, back.logoWidth, back.logoHeight, back.borderOffset}),
                 QList<double>({-1.5, 2.25, 40, 0, offset}));
        QCOMPARE(back.borders, d.borders);
        // Margins are a separate matter: storing the decoration stores none.
        QVERIFY(!PrintSettings(file).load());

        // A removed logo stays removed.
        d.logo = QImage();
        PrintSettings(file).saveDecoration(d, unit);
        PrintSettings(file).loadDecoration(back, unit);
        QVERIFY(back.logo.isNull());
    }

    void damagedDecoration_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("junk");
        QTest::newRow("font") << "Font" << QVariant(QStringLiteral(""));
        QTest::newRow("colour") << "FontColor" << QVariant(QStringLiteral("#zzz"));
        QTest::newRow("logo not a picture") << "Logo" << QVariant(QByteArray("not a png"));
        QTest::newRow("logo top text") << "LogoTop" << QVariant(QStringLiteral("abc"));
        QTest::newRow("logo left infinite") << "LogoLeft" << QVariant(QStringLiteral("inf"));
        QTest::newRow("logo width negative") << "LogoWidth" << QVariant(QStringLiteral("-5"));
        QTest::newRow("borders out of range") << "Borders" << QVariant(QStringLiteral("16"));
        QTest::newRow("borders text") << "Borders" << QVariant(QStringLiteral("top"));
        QTest::newRow("offset nan") << "BorderOffset" << QVariant(QStringLiteral("nan"));
        QTest::newRow("header a list") << "Header" << QVariant(QStringList{"a", "b"});
    }
    void damagedDecoration()
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
        QSettings(file, QSettings::IniFormat).setValue(Decoration + key, junk);

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
};

QTEST_MAIN(TestPrintSettings)
#include "tst_printsettings.moc"
