// Drawing shapes: a shape's picture shows once, inline, at the shape's size;
// a text box's text stays in the flow; broken or nested shapes end in time.

#include "richtexttesting.h"

#include <QTest>

using namespace richtext;
using namespace testdocs;

namespace {

const QByteArray Png = "89504e470d0a1a0a0000000d4948445200000004000000020802000000f0caea34000000104944"
                       "4154789c6338212707470cc81c006f0a082106a5d2760000000049454e44ae426082"; // 4 x 2
const QByteArray Pict = "{\\pict\\pngblip\\picw4\\pich2\\picwgoal600\\pichgoal300 " + Png + "}"; // 40 x 20 px
const QByteArray Frame = "\\shpleft100\\shptop0\\shpright2980\\shpbottom1440";                   // 192 x 96 px
const QByteArray Pib = "{\\sp{\\sn shapeType}{\\sv 75}}{\\sp{\\sn pib}{\\sv " + Pict + "}}";

QByteArray shape(const QByteArray &inst, const QByteArray &result = {})
{
    return "{\\shp{\\*\\shpinst" + inst + "}{\\shprslt " + result + "}}";
}

QList<QTextImageFormat> images(const QTextDocument &doc)
{
    QList<QTextImageFormat> out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                out << it.fragment().charFormat().toImageFormat();
    return out;
}

} // namespace

class TestShapes : public QObject
{
    Q_OBJECT

private slots:
    void pictures_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("width"); // of the first picture, px
        QTest::newRow("shape picture, not its fallback") << shape(Frame + Pib, Pict + " fallback") << 1 << 192;
        QTest::newRow("no frame: the picture's goal") << shape(Pib) << 1 << 40;
        QTest::newRow("shppict, not nonshppict") << "{\\*\\shppict" + Pict + "}{\\nonshppict" + Pict + "}" << 1 << 40;
        QTest::newRow("empty pib: the fallback") << shape("{\\sp{\\sn pib}{\\sv }}", Pict) << 1 << 40;
        QTest::newRow("other properties unread") << shape("{\\sp{\\sn wzName}{\\sv " + Pict + "}}x") << 0 << 0;
        QTest::newRow("shape group") << "{\\shpgrp" + shape(Pib) + shape(Frame + Pib) + "{\\shprslt " + Pict + "}}"
                                     << 2 << 40;
        QTest::newRow("in a field result")
            << "{\\field{\\*\\fldinst HYPERLINK \"http://x.example\"}{\\fldrslt " + shape(Pib) + "}}" << 1 << 40;
    }
    void pictures()
    {
        QFETCH(QByteArray, body);
        QFETCH(int, count);
        QFETCH(int, width);
        const QByteArray data = rtf("A" + body + "B");
        const auto doc = load(data);
        QCOMPARE(images(*doc).size(), count);
        if (count > 0)
            QCOMPARE(images(*doc)[0].width(), qreal(width));
        QCOMPARE(doc->toPlainText().remove(QChar(0xFFFC)), QStringLiteral("AB"));
        QCOMPARE(rtfToPlainText(data), QStringLiteral("AB")); // reads no pictures, skips the same
    }

    void textBoxes_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QStringList>("paragraphs");
        QTest::newRow("inside a paragraph") << "a " + shape("{\\shptxt \\pard\\qc Box\\par}", "fallback") + " b\\par"
                                            << QStringList{"a ", "Box", " b"};
        QTest::newRow("anchor ends with the box") << "a" + shape("{\\shptxt one\\par two}") + "\\par"
                                                  << QStringList{"a", "one", "two"};
        QTest::newRow("box in a box") << "a" + shape("{\\shptxt 1 " + shape("{\\shptxt 2}") + " 3}") + "b"
                                      << QStringList{"a", "1 ", "2", " 3", "b"};
        QTest::newRow("empty box: the fallback") << "a" + shape("{\\shptxt }", "fallback") + "b"
                                                 << QStringList{"afallbackb"};
    }
    void textBoxes()
    {
        QFETCH(QByteArray, body);
        QFETCH(QStringList, paragraphs);
        QCOMPARE(blocks(*load(rtf(body.constData()))), paragraphs);
    }

    // Saved, the shape's picture is an ordinary picture of the shown size.
    void writtenBack()
    {
        const QByteArray written = toRtf(*load(rtf("A" + shape(Frame + Pib, Pict) + "B")));
        QCOMPARE(count(written, "{\\pict"), 1);
        QVERIFY(!written.contains("\\shp") && written.contains("\\picwgoal2880\\pichgoal1440"));
    }

    void brokenAndDeep()
    {
        const QByteArray whole = rtf("a" + shape(Frame + Pib + "{\\shptxt x" + shape(Pib) + "\\par y}", Pict)
                                     + "b{\\header " + shape(Pib) + "}c\\par");
        for (qsizetype n = 0; n <= whole.size(); ++n) {
            load(whole.left(n));
            rtfToPlainText(whole.left(n));
        }
        QCOMPARE(load(whole)->toPlainText().remove(QChar(0xFFFC)), QStringLiteral("a\nx\ny\nbc"));
        QVERIFY(load(rtf(QByteArray("{\\shp{\\*\\shpinst{\\shptxt {\\sp{\\sn pib}{\\sv ").repeated(3000)))
                    ->characterCount() > 0);
    }
};

QTEST_MAIN(TestShapes)
#include "tst_shapes.moc"
