// What the writer writes, the reader reads back: the same text and the same
// formats, and writing the result again gives the same bytes. Also for the
// corpus of other programs' files: each reads in bounded time, its document
// holds the text the plain-text reading finds, and it survives being
// written and read again.

#include "richtexttesting.h"
#include "richtext/documentio.h"
#include "richtext/rtfexport.h"
#include "richtext/rtfimport.h"
#include "testsupport.h"
#include "richtext/textkinds.h"
#include "richtext/textproperties.h"

#include <QAbstractTextDocumentLayout>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTest>

using namespace richtext;
using namespace testdocs;

namespace {

// Text compared modulo layout: white space of any kind (paragraph ends,
// cell separators, line and page breaks) is one space; objects are left out.
QString normalized(const QString &text)
{
    QString out;
    bool space = false;
    for (QChar c : text) {
        if (c == QChar::ObjectReplacementCharacter)
            continue;
        if (c.isSpace() || c == u'\f' || c == QChar::LineSeparator) {
            space = true;
            continue;
        }
        if (space && !out.isEmpty())
            out.append(u' ');
        space = false;
        out.append(c);
    }
    return out;
}

// The document's text in reading order, without hidden text.
QString visibleText(const QTextDocument &doc)
{
    QString out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            if (!it.fragment().charFormat().boolProperty(prop::Hidden))
                out += it.fragment().text();
        }
        out += u'\n';
    }
    return out;
}

QString color(const QBrush &brush)
{
    return brush.style() == Qt::NoBrush ? QString() : brush.color().name();
}

// The looks of a run as RTF can carry them, in effective values: a property
// that is not set counts as the document default it stands for.
QString describeChar(const QTextDocument &doc, const QTextCharFormat &f)
{
    const QFont def = doc.defaultFont();
    QStringList d;
    QString family = f.property(QTextFormat::FontFamilies).toStringList().value(0);
    d << (family.isEmpty() ? def.family() : family);
    qreal points = f.hasProperty(QTextFormat::FontPointSize) ? f.fontPointSize() : def.pointSizeF();
    d << QString::number(qRound(points * 2));
    const bool bold = f.hasProperty(QTextFormat::FontWeight) ? f.fontWeight() >= QFont::DemiBold
                                                             : def.weight() >= QFont::DemiBold;
    const int underline = int(underlineKind(f));
    const std::pair<bool, QString> looks[] = {
        {bold, QStringLiteral("b")},
        {f.fontItalic(), QStringLiteral("i")},
        {underline != 0, QStringLiteral("u%1").arg(underline)},
        {f.fontStrikeOut(), QStringLiteral("strike")},
        {f.verticalAlignment() == QTextCharFormat::AlignSuperScript, QStringLiteral("super")},
        {f.verticalAlignment() == QTextCharFormat::AlignSubScript, QStringLiteral("sub")},
        {!f.boolProperty(prop::AutoColor) && !color(f.foreground()).isEmpty(),
         QStringLiteral("fg") + color(f.foreground())},
        {!color(f.background()).isEmpty(), QStringLiteral("bg") + color(f.background())},
        {f.fontCapitalization() == QFont::AllUppercase, QStringLiteral("caps")},
        {f.fontCapitalization() == QFont::SmallCaps, QStringLiteral("scaps")},
    };
    for (const auto &[on, name] : looks)
        if (on)
            d << name;
    for (int p : {int(prop::Offset), int(prop::CharSpacing), int(prop::Kerning), int(prop::Animation)})
        if (f.intProperty(p))
            d << QStringLiteral("p%1=%2").arg(p - QTextFormat::UserProperty).arg(f.intProperty(p));
    for (int p : {int(prop::Hidden), int(prop::Outline), int(prop::Shadow), int(prop::Emboss),
                  int(prop::Imprint)})
        if (f.boolProperty(p))
            d << QStringLiteral("p%1").arg(p - QTextFormat::UserProperty);
    const int lang = f.hasProperty(prop::Lcid) ? f.intProperty(prop::Lcid) : 1033;
    if (lang != 1033)
        d << QStringLiteral("lang%1").arg(lang);
    const int charset = f.hasProperty(prop::FontCharset) ? f.intProperty(prop::FontCharset) : 0;
    if (charset != 0)
        d << QStringLiteral("cs%1").arg(charset);
    if (f.isAnchor() && !f.anchorHref().isEmpty())
        d << QStringLiteral("href=") + f.anchorHref();
    if (f.isImageFormat()) {
        const QTextImageFormat image = f.toImageFormat();
        const QVariant resource = doc.resource(QTextDocument::ImageResource, QUrl(image.name()));
        QImage pixels = resource.value<QImage>();
        if (pixels.isNull())
            pixels = QImage::fromData(resource.toByteArray());
        // Kept bytes count where they are all there is of the picture.
        const ObjectKind kind = objectKind(image);
        if (kind == ObjectKind::Object)
            d << image.stringProperty(prop::ObjectFileName) << image.stringProperty(prop::ObjectMeta);
        const QByteArray kept = kind == ObjectKind::Png || kind == ObjectKind::Jpeg
                                    ? QByteArray()
                                    : image.property(prop::ObjectData).toByteArray();
        // A picture kept as bytes has a stand-in face, not a picture of its own.
        d << QStringLiteral("image %1x%2 %3 %4")
                 .arg(qRound(image.width()))
                 .arg(qRound(image.height()))
                 .arg(pixels.isNull() || !kept.isEmpty() ? QString()
                                                         : QStringLiteral("%1x%2").arg(pixels.width()).arg(pixels.height()))
                 .arg(QString::fromLatin1(QCryptographicHash::hash(kept, QCryptographicHash::Md5).toHex()));
    }
    return d.join(QLatin1Char(' '));
}

QString describeBlock(const QTextDocument &doc, const QTextBlock &block)
{
    const QTextBlockFormat f = block.blockFormat();
    QStringList d;
    d << QStringLiteral("align%1").arg(int(f.alignment() & Qt::AlignHorizontal_Mask & ~Qt::AlignLeft));
    const auto tw = [](qreal px) { return QString::number(qRound(px * 15)); };
    // A list item's marker sits in its list's indent and its hanging first
    // line; both are part of what the item looks like.
    QTextList *list = block.textList();
    qreal left = f.leftMargin() + f.indent() * doc.indentWidth();
    qreal first = f.textIndent();
    if (list) {
        left += list->format().indent() * doc.indentWidth();
        if (f.hasProperty(prop::ListTextIndent))
            first = f.doubleProperty(prop::ListTextIndent);
        else if (qFuzzyIsNull(first))
            first = -qMin<qreal>(24, left);
    }
    d << tw(left) << tw(f.rightMargin()) << tw(first) << tw(f.topMargin()) << tw(f.bottomMargin());
    for (const auto &tab : f.tabPositions())
        d << QStringLiteral("tab%1@%2").arg(int(tab.type)).arg(tw(tab.position));
    if (f.hasProperty(prop::LineSpacingRule))
        d << QStringLiteral("sl%1/%2").arg(f.intProperty(prop::LineSpacingRule))
                 .arg(f.boolProperty(prop::LineSpacingMultiple));
    else if (f.lineHeightType() == QTextBlockFormat::ProportionalHeight && qRound(f.lineHeight()) != 100)
        d << QStringLiteral("sl%1/1").arg(qRound(240 * f.lineHeight() / 100));
    if (f.boolProperty(prop::KeepWithNext))
        d << QStringLiteral("keepn");
    if (f.boolProperty(prop::KeepTogether))
        d << QStringLiteral("keep");
    if (f.boolProperty(prop::PageBreakBefore) || (f.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore))
        d << QStringLiteral("pagebb");
    if (list) {
        const QTextListFormat lf = list->format();
        const int start = lf.hasProperty(prop::NumberingStart) ? lf.intProperty(prop::NumberingStart) : 1;
        const bool numbered = lf.style() <= QTextListFormat::ListDecimal;
        d << QStringLiteral("list%1 %2").arg(int(lf.style()))
                 .arg(numbered ? lf.numberPrefix() + QString::number(start + list->itemNumber(block))
                                     + (lf.hasProperty(QTextFormat::ListNumberSuffix)
                                            ? lf.numberSuffix() : QStringLiteral("."))
                               : QString());
    } else if (f.intProperty(prop::NumberingKind) > 0) {
        d << QStringLiteral("numbering%1").arg(f.intProperty(prop::NumberingKind));
    }
    return d.join(QLatin1Char(' '));
}

void describeFrame(const QTextDocument &doc, QTextFrame *frame, QStringList &out);

void describeItems(const QTextDocument &doc, QTextFrame::iterator it, QStringList &out)
{
    for (; !it.atEnd(); ++it) {
        if (QTextFrame *child = it.currentFrame()) {
            describeFrame(doc, child, out);
            continue;
        }
        const QTextBlock block = it.currentBlock();
        out << QStringLiteral("P ") + describeBlock(doc, block);
        QString last;
        for (auto f = block.begin(); !f.atEnd(); ++f) {
            const QString looks = describeChar(doc, f.fragment().charFormat());
            if (looks == last && !out.isEmpty()) {
                out.last() += f.fragment().text();
                continue;
            }
            out << QStringLiteral("  [") + looks + QStringLiteral("] ") + f.fragment().text();
            last = looks;
        }
    }
}

void describeFrame(const QTextDocument &doc, QTextFrame *frame, QStringList &out)
{
    auto *table = qobject_cast<QTextTable *>(frame);
    if (!table) {
        describeItems(doc, frame->begin(), out);
        return;
    }
    out << QStringLiteral("T %1x%2").arg(table->rows()).arg(table->columns());
    // Spans as the grid shows them (a cell's own span can be stale).
    auto id = [table](int r, int c) {
        return r < table->rows() && c < table->columns() ? table->cellAt(r, c).firstPosition() : -1;
    };
    for (int r = 0; r < table->rows(); ++r) {
        for (int c = 0; c < table->columns(); ++c) {
            const int cell = id(r, c);
            if ((c > 0 && id(r, c - 1) == cell) || (r > 0 && id(r - 1, c) == cell))
                continue;
            int rowSpan = 1;
            while (id(r + rowSpan, c) == cell)
                ++rowSpan;
            int columnSpan = 1;
            while (id(r, c + columnSpan) == cell)
                ++columnSpan;
            out << QStringLiteral("C %1,%2 %3x%4").arg(r).arg(c).arg(rowSpan).arg(columnSpan);
            describeItems(doc, table->cellAt(r, c).begin(), out);
        }
    }
    out << QStringLiteral("/T");
}

QStringList describe(const QTextDocument &doc)
{
    QStringList out;
    describeFrame(doc, doc.rootFrame(), out);
    return out;
}

// Both documents look the same (their texts are compared first), and the second writes the given bytes again.
#define VERIFY_SAME(first, second, written)                                                      \
    do {                                                                                         \
        const QStringList a = describe(first), b = describe(second);                             \
        QVERIFY2(a == b, qPrintable(firstDifference(a, b)));                                     \
        const QByteArray again = toRtf(second);                                                  \
        QVERIFY2(again == (written), firstByteDifference((written), again).constData());         \
    } while (false)

// Where two outputs part, with some context.
QByteArray firstByteDifference(const QByteArray &a, const QByteArray &b)
{
    qsizetype i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i])
        ++i;
    return "at byte " + QByteArray::number(i) + ":\n  first:  " + a.mid(qMax<qsizetype>(0, i - 60), 160)
           + "\n  second: " + b.mid(qMax<qsizetype>(0, i - 60), 160);
}

QString firstDifference(const QStringList &a, const QStringList &b)
{
    for (int i = 0; i < qMax(a.size(), b.size()); ++i) {
        if (a.value(i) != b.value(i))
            return QStringLiteral("line %1:\n  written: %2\n  read:    %3")
                .arg(i)
                .arg(a.value(i, QStringLiteral("<none>")), b.value(i, QStringLiteral("<none>")));
    }
    return {};
}

void buildEverything(QTextDocument &doc)
{
    setUp(doc);
    QTextCursor c(&doc);
    run(c, QStringLiteral("Dear "));
    run(c, QStringLiteral("@12"), [](QTextCharFormat &f) { f.setFontWeight(QFont::Bold); });
    run(c, QStringLiteral(", "), [](QTextCharFormat &f) { f.setFontItalic(true); });
    run(c, QStringLiteral("@3"), [](QTextCharFormat &f) {
        f.setFontUnderline(true);
        f.setForeground(QColor(200, 0, 0));
        f.setFontPointSize(13.5);
    });
    run(c, QString::fromUtf8(" café € жук 😀 ﬁ a\\b{c}\tend"));
    c.insertText(QString(QChar(0x2028)));
    run(c, QStringLiteral("after a line break"));
    c.insertBlock();
    run(c, QStringLiteral("hidden "), [](QTextCharFormat &f) { f.setProperty(prop::Hidden, true); });
    run(c, QStringLiteral("marked"), [](QTextCharFormat &f) {
        f.setBackground(QColor(255, 255, 0));
        f.setFontFamilies({QStringLiteral("Courier New")});
    });
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    centred.setLeftMargin(48);
    centred.setTextIndent(-24);
    centred.setTopMargin(8);
    centred.setBottomMargin(4);
    centred.setProperty(prop::KeepWithNext, true);
    centred.setTabPositions({QTextOption::Tab(96, QTextOption::RightTab)});
    c.insertBlock(centred);
    run(c, QStringLiteral("centred\tparagraph"));
    c.insertBlock(QTextBlockFormat());
    run(c, QStringLiteral("page one\fpage two\n"));
    c.createList(QTextListFormat::ListDisc);
    run(c, QStringLiteral("bullet one\nbullet two"));
    c.insertBlock(QTextBlockFormat());
    c.createList(QTextListFormat::ListSquare);
    run(c, QStringLiteral("square"));
    c.insertBlock(QTextBlockFormat());
    QTextListFormat numbered;
    numbered.setStyle(QTextListFormat::ListDecimal);
    c.createList(numbered);
    run(c, QStringLiteral("first\nsecond"));
    c.insertBlock(QTextBlockFormat());
    run(c, QStringLiteral("link: "));
    run(c, QStringLiteral("example"), [](QTextCharFormat &f) {
        f.setAnchor(true);
        f.setAnchorHref(QStringLiteral("http://example.org/"));
    });
    c.insertBlock();
    insertImage(doc, c, QStringLiteral("picture"), testImage(6, 4));
    // A picture Qt cannot show and an embedded object keep their bytes.
    QTextImageFormat metafile;
    setObjectKind(metafile, ObjectKind::Emf);
    metafile.setProperty(prop::ObjectData, QByteArray("\x01\x00\x00\x00metafile", 12));
    metafile.setProperty(prop::PictureWidthGoal, 720);
    metafile.setProperty(prop::PictureHeightGoal, 360);
    metafile.setWidth(48);
    metafile.setHeight(24);
    c.insertImage(metafile);
    QTextImageFormat object;
    setObjectKind(object, ObjectKind::Object);
    object.setProperty(prop::ObjectMeta, QStringLiteral("objemb objw600 objh300"));
    object.setProperty(prop::ObjectData, QByteArray("object bytes"));
    object.setProperty(prop::ObjectFileName, QStringLiteral("notes.odt"));
    object.setWidth(40);
    object.setHeight(20);
    doc.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("face")), testImage(8, 4));
    object.setName(QStringLiteral("face"));
    c.insertImage(object);
    QTextTable *table = c.insertTable(3, 3);
    table->mergeCells(0, 0, 1, 2);
    table->mergeCells(1, 2, 2, 1);
    table->cellAt(0, 0).firstCursorPosition().insertText(QStringLiteral("wide"));
    table->cellAt(1, 2).firstCursorPosition().insertText(QStringLiteral("tall"));
    QTextCursor inCell = table->cellAt(2, 0).firstCursorPosition();
    inCell.insertText(QStringLiteral("nested:"));
    QTextTable *inner = inCell.insertTable(1, 2);
    inner->cellAt(0, 1).firstCursorPosition().insertText(QStringLiteral("inner"));
    c.movePosition(QTextCursor::End);
    run(c, QStringLiteral("the end"));
}

} // namespace

class TestRoundTrip : public QObject
{
    Q_OBJECT

private slots:
    // Everything the writer writes reads back the same, and writing what was
    // read gives the same bytes.
    void everyFeature()
    {
        QTextDocument original;
        buildEverything(original);
        const QByteArray rtf = toRtf(original);
        const auto read = load(rtf, {}, original.defaultFont());
        QCOMPARE(read->toPlainText(), original.toPlainText());
        VERIFY_SAME(original, *read, rtf);
    }

    void corpus_data() { testsupport::addCorpusRows(); }

    void corpus()
    {
        QFETCH(QString, path);
        if (path.isEmpty())
            QSKIP("the RTF corpus folder is not there");
        const QByteArray data = testsupport::readFile(path);
        QElapsedTimer timer;
        timer.start();
        QTextDocument first;
        QTextCursor cursor(&first);
        readDocumentBytes(cursor, data);
        first.setTextWidth(600);
        first.documentLayout()->documentSize();
        const QString plain = rtfToPlainText(data);
        QVERIFY2(timer.elapsed() < 10000, qPrintable(QStringLiteral("%1 ms").arg(timer.elapsed())));
        QCOMPARE(normalized(visibleText(first)), normalized(plain));
        if (!isRtf(data))
            return; // plain text: nothing more to check
        const QByteArray written = toRtf(first);
        const auto second = load(written, {}, first.defaultFont());
        QCOMPARE(second->toPlainText(), first.toPlainText());
        VERIFY_SAME(first, *second, written);
    }

    void corpusContent_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("expected");
        QTest::newRow("cp932 hex pairs") << "rtfparserkit__testmultibytehex.rtf"
                                         << QStringLiteral("\u304a\u5143\u6c17\u3067\u3059\u304b\uff1f");
        QTest::newRow("unicode") << "striprtf__unicode.rtf" << QStringLiteral("\u67d4\u9053");
        QTest::newRow("cp1251 bytes") << "striprtf__bytes.rtf" << QString::fromUtf8("27 грудня 2018");
        QTest::newRow("text after an early close") << "rtfparser-rs__file-sample_100kb.rtf"
                                                   << QStringLiteral("Maecenas non lorem quis tellus");
        QTest::newRow("bin in a skipped group") << "libreoffice__bin-skipping.rtf" << QStringLiteral("text");
        QTest::newRow("surrogate pair") << "rtfde__surrogate_pairs.rtf" << QString::fromUtf8("\xF0\x9F\x98\x8A");
    }

    void corpusContent()
    {
        QFETCH(QString, file);
        QFETCH(QString, expected);
        const QString path = testsupport::corpusDir() + u'/' + file;
        if (!QFileInfo::exists(path))
            QSKIP("the RTF corpus folder is not there");
        const QString text = rtfToPlainText(testsupport::readFile(path));
        QVERIFY2(text.contains(expected), qPrintable(text.left(400)));
        QVERIFY(!text.contains(QStringLiteral("MUST NOT IMPORT")));
    }
};

QTEST_MAIN(TestRoundTrip)
#include "tst_roundtrip.moc"
