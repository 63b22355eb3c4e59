// Fonts as other word processors write them: font table entries with groups
// inside them, faces that are not installed falling back by their family,
// and text in code pages whose letters combine with marks. Each case is read,
// written by our writer and read again.

#include "richtexttesting.h"
#include "richtext/textproperties.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QRegularExpression>
#include <QTest>

using namespace richtext;
using namespace testdocs;

namespace {

QByteArray withFonts(const char *fonts, const char *body)
{
    return QByteArray("{\\rtf1\\ansi\\deff0{\\fonttbl") + fonts + "}" + body + "}";
}

} // namespace

class TestRtfFonts : public QObject
{
    Q_OBJECT

private slots:
    // Each row's entry is font 1 (font 0 is a plain entry before it, font 2
    // one after it); "x" is in font 1 and "y" in font 2.
    void fontTableEntries_data()
    {
        QTest::addColumn<QByteArray>("entry");
        QTest::addColumn<QStringList>("families");
        QTest::addColumn<int>("hint");
        QTest::newRow("LibreOffice") << QByteArray("{\\f1\\froman\\fprq2\\fcharset0 Liberation Serif"
                                                   "{\\*\\falt Times New Roman}{\\*\\panose 02020603050405020304};}")
                                     << QStringList{"Liberation Serif", "Times New Roman"} << int(QFont::Serif);
        QTest::newRow("group before the name") << QByteArray("{\\f1\\fswiss{\\*\\panose 020b0604020202020204}Arial;}")
                                               << QStringList{"Arial"} << int(QFont::SansSerif);
        QTest::newRow("unknown group") << QByteArray("{\\f1\\fmodern{\\fname ignored}Courier New;}")
                                       << QStringList{"Courier New"} << int(QFont::TypeWriter);
        QTest::newRow("only the alternative") << QByteArray("{\\f1\\fnil{\\*\\falt Arial};}")
                                              << QStringList{"Arial"} << int(QFont::AnyStyle);
        QTest::newRow("fixed pitch") << QByteArray("{\\f1\\fnil\\fprq1 Some Terminal;}")
                                     << QStringList{"Some Terminal"} << int(QFont::TypeWriter);
        QTest::newRow("script") << QByteArray("{\\f1\\fscript Brush Script MT;}") << QStringList{"Brush Script MT"}
                                << int(QFont::Cursive);
        QTest::newRow("decorative") << QByteArray("{\\f1\\fdecor Old English;}") << QStringList{"Old English"}
                                    << int(QFont::Decorative);
    }
    void fontTableEntries()
    {
        QFETCH(QByteArray, entry);
        QFETCH(QStringList, families);
        QFETCH(int, hint);
        const QByteArray fonts = "{\\f0\\fswiss Arial;}" + entry + "{\\f2\\froman Georgia;}";
        const auto doc = load(withFonts(fonts, "\\f1 x\\f2 y\\par"));
        const auto again = reread(*doc);
        for (const QTextDocument *d : {doc.get(), again.get()}) {
            const QTextCharFormat x = formatOf(*d, "x");
            // (A third name may follow: the installed face the second stands for.)
            QCOMPARE(x.fontFamilies().toStringList().mid(0, 2), families);
            QCOMPARE(x.hasProperty(QTextFormat::FontStyleHint) ? x.fontStyleHint() : QFont::AnyStyle,
                     QFont::StyleHint(hint));
            // The entry after it is read too.
            QCOMPARE(formatOf(*d, "y").fontFamilies().toStringList(), QStringList{"Georgia"});
        }
    }

    // The reason for the hints: a monospaced face that is not installed
    // falls back on another monospaced face, so columns typed with spaces
    // stay columns.
    void missingFacesFallBackByFamily_data()
    {
        QTest::addColumn<QByteArray>("entry");
        QTest::addColumn<bool>("fixed");
        QTest::newRow("modern") << QByteArray("{\\f0\\fmodern Quorin Missing Typewriter;}") << true;
        QTest::newRow("fixed pitch") << QByteArray("{\\f0\\fnil\\fprq1 Quorin Missing Console;}") << true;
        QTest::newRow("swiss") << QByteArray("{\\f0\\fswiss Quorin Missing Grotesque;}") << false;
    }
    void missingFacesFallBackByFamily()
    {
        QFETCH(QByteArray, entry);
        QFETCH(bool, fixed);
        const auto doc = load(withFonts(entry, "\\f0 Name:    John\\par"));
        const auto again = reread(*doc);
        for (const QTextDocument *d : {doc.get(), again.get()}) {
            const QFontMetricsF metrics(formatOf(*d, "Name").font());
            const qreal narrow = metrics.horizontalAdvance(QStringLiteral("iiii"));
            QCOMPARE(qFuzzyCompare(narrow, metrics.horizontalAdvance(QStringLiteral("MMMM"))), fixed);
        }
    }

    // A face that is missing shows as the face its alternative stands for
    // here (fontconfig's Liberation Serif for Times New Roman), not as the
    // family's generic face.
    void alternativeFaceShows()
    {
        const auto doc = load(withFonts("{\\f0\\froman Quorin Missing Serif{\\*\\falt Times New Roman};}",
                                        "\\f0 x\\par"));
        const QString expected = QFontInfo(QFont(QStringLiteral("Times New Roman"))).family();
        QCOMPARE(QFontInfo(formatOf(*doc, "x").font()).family(), expected);
        QCOMPARE(QFontInfo(formatOf(*reread(*doc), "x").font()).family(), expected);
    }

    // Letters that combine with the marks after them are decoded a run at a
    // time; one byte at a time they were lost.
    void combiningCodePages_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("text");
        QTest::newRow("Hebrew") << QByteArray("{\\f1 \\'f9\\'ec\\'e5\\'ed}") << QString::fromUtf8("שלום");
        QTest::newRow("Hebrew points") << QByteArray("{\\f1 \\'f9\\'c9x}") << QString::fromUtf8("שֹx");
        QTest::newRow("Vietnamese") << QByteArray("{\\f2 Vi\\'ea\\'f2t}") << QString::fromUtf8("Việt");
        // A letter that ends a run is not held back for a mark that never comes.
        QTest::newRow("letter ends a run") << QByteArray("{\\f2 Vi\\'ea}{\\f2 t}") << QString::fromUtf8("Viêt");
    }
    void combiningCodePages()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, text);
        const auto doc = load(withFonts("{\\f0 Arial;}{\\f1\\fcharset177 Arial;}{\\f2\\fcharset163 Arial;}",
                                        body + "\\par"));
        QCOMPARE(doc->toPlainText(), text);
        const QByteArray written = toRtf(*doc);
        // Written as bytes of the code page, not as \uN.
        QVERIFY2(!QString::fromLatin1(written).contains(QRegularExpression(QStringLiteral("\\\\u-?[0-9]"))),
                 written.constData());
        QCOMPARE(load(written)->toPlainText(), text);
    }
};

QTEST_MAIN(TestRtfFonts)
#include "tst_rtffonts.moc"
