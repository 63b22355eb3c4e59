// Characters other word processors raise or lower by a distance, and the
// symbols of SYMBOL fields, read, written by our writer and read again.

#include "richtexttesting.h"
#include "richtext/textproperties.h"

#include <QFontMetricsF>
#include <QTest>

using namespace richtext;
using namespace testdocs;

namespace {

// How far Qt draws a format's baseline from the line's, in points: its
// baseline offset is a share of the face's ascent and descent.
qreal shownRaise(const QTextCharFormat &format)
{
    QFont font = format.font();
    font.setPixelSize(1000);
    const QFontMetricsF metrics(font);
    return format.baselineOffset() / 100 * format.fontPointSize() * (metrics.ascent() + metrics.descent()) / 1000;
}

} // namespace

class TestRtfCharacters : public QObject
{
    Q_OBJECT

private slots:
    // \up and \dn move text by half points at its own size; the distance is
    // kept in twips, as the editor's Offset is.
    void raisedAndLowered_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("twips");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("raised") << QByteArray("\\fs24 a{\\up6 x}") << 60 << QByteArray("\\up6 x");
        QTest::newRow("lowered") << QByteArray("\\fs24 a{\\dn4 x}") << -40 << QByteArray("\\dn4 x");
        QTest::newRow("large face") << QByteArray("\\fs72 a{\\up12 x}") << 120 << QByteArray("\\up12 x");
        QTest::newRow("default distance") << QByteArray("a{\\up x}") << 60 << QByteArray("\\up6 x");
    }
    void raisedAndLowered()
    {
        QFETCH(QByteArray, body);
        QFETCH(int, twips);
        QFETCH(QByteArray, written);
        const auto doc = load(rtf(body + "\\par"));
        const QByteArray rtf = toRtf(*doc);
        QVERIFY2(rtf.contains(written), rtf.constData());
        const auto again = load(rtf);
        for (const QTextDocument *d : {doc.get(), again.get()}) {
            const QTextCharFormat x = formatOf(*d, "x");
            QCOMPARE(x.intProperty(prop::Offset), twips);
            QCOMPARE(x.fontPointSize(), formatOf(*d, "a").fontPointSize()); // not made smaller
            QVERIFY2(qAbs(shownRaise(x) - twips / 20.0) < 0.05, qPrintable(QString::number(shownRaise(x))));
            QCOMPARE(x.verticalAlignment(), QTextCharFormat::AlignNormal);
        }
    }

    // Kerning is a size in half points in RTF, in twips on the text.
    void kerning()
    {
        const auto doc = load(rtf("{\\kerning1 x}\\par"));
        QCOMPARE(formatOf(*doc, "x").intProperty(prop::Kerning), 10);
        QCOMPARE(formatOf(*reread(*doc), "x").intProperty(prop::Kerning), 10);
    }

    // A SYMBOL field shows its character whether or not its result holds
    // it; symbol codes become the Unicode characters they stand for.
    void symbolFields_data()
    {
        QTest::addColumn<QByteArray>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("family"); // the face the character is in; empty: the run's
        QTest::addColumn<qreal>("points");
        auto row = [](const char *name, const char *instruction, const char *result, const QString &text,
                      const QString &family = {}, qreal points = 12) {
            QTest::newRow(name) << QByteArray("{\\field{\\*\\fldinst SYMBOL ") + instruction + "}{\\fldrslt " + result + "}}"
                                << text << family << points;
        };
        row("Symbol bullet", "183 \\\\f \"Symbol\" \\\\s 10", "", QStringLiteral("\u2022"), {}, 10);
        row("private code", "61623 \\\\f \"Symbol\"", "", QStringLiteral("\u2022"));
        row("hexadecimal", "0xB7 \\\\f Symbol", "", QStringLiteral("\u2022"));
        row("Greek letter", "97 \\\\f \"Symbol\"", "", QStringLiteral("\u03b1"));
        row("Wingdings check", "252 \\\\f \"Wingdings\"", "", QStringLiteral("\u2713"));
        row("no Unicode for it", "240 \\\\f \"Symbol\"", "", QStringLiteral("\u00f0"), QStringLiteral("Symbol"));
        row("Unicode", "8364 \\\\u", "", QStringLiteral("\u20ac"));
        row("text face", "169 \\\\f \"Arial\"", "", QStringLiteral("\u00a9"), QStringLiteral("Arial"));
        row("result kept", "183 \\\\f \"Symbol\"", "{\\f1\\'b7}", QStringLiteral("\u00b7"), QStringLiteral("Symbol"));
        row("not a number", "x \\\\f \"Symbol\"", "", QString());
    }
    void symbolFields()
    {
        QFETCH(QByteArray, field);
        QFETCH(QString, text);
        QFETCH(QString, family);
        QFETCH(qreal, points);
        const auto doc = load(rtf("\\f2\\fs24 <" + field + ">\\par"));
        const auto again = reread(*doc);
        for (const QTextDocument *d : {doc.get(), again.get()}) {
            QCOMPARE(d->toPlainText(), u'<' + text + u'>');
            if (text.isEmpty())
                continue;
            const QTextCharFormat format = formatOf(*d, text);
            QCOMPARE(format.fontFamilies().toStringList().value(0),
                     family.isEmpty() ? QStringLiteral("Courier Cyr") : family);
            QCOMPARE(format.fontPointSize(), points);
        }
    }
};

QTEST_MAIN(TestRtfCharacters)
#include "tst_rtfcharacters.moc"
