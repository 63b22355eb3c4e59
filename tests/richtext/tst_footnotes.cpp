// Footnotes: read with their marks numbered and their text kept out of the
// body, written back so that they read the same, and drawn at the foot of
// the PDF page of their mark.

#include "richtexttesting.h"
#include "../documents/pdfreadback.h"
#include "documents/pdfexport.h"
#include "richtext/footnotes.h"
#include "richtext/pagerenderer.h"

#include <QTest>

using namespace richtext;
using namespace testdocs;

namespace {

struct Mark
{
    QString text;
    Footnote note;
    bool super = false;
};

// The reference marks of a document, in order.
QList<Mark> marks(const QTextDocument &doc)
{
    QList<Mark> out;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (const auto note = footnoteOf(format))
                out.append({it.fragment().text(), *note,
                            format.verticalAlignment() == QTextCharFormat::AlignSuperScript});
        }
    }
    return out;
}

// "1:Note one.|2:Second." - each mark with its footnote's text.
QString summary(const QTextDocument &doc)
{
    QStringList parts;
    for (const Mark &mark : marks(doc))
        parts << mark.text + QChar(mark.note.automatic ? u':' : u'=')
                     + footnoteText(mark.note, mark.text).trimmed();
    return parts.join(u'|');
}

QString bodyText(const QTextDocument &doc)
{
    return doc.toPlainText();
}

// Paragraphs "bodyN ..." each with a footnote "noteN ...", long enough to
// fill several pages.
QByteArray manyNotes(int count)
{
    QByteArray body;
    for (int i = 0; i < count; ++i) {
        const QByteArray n = QByteArray::number(i);
        body += "\\pard\\fs24 body" + n + " runs on here with a few words more to fill it"
                + "{\\super\\chftn}{\\footnote\\pard\\plain\\fs20{\\super\\chftn} note" + n
                + " says a little about the paragraph" + (i % 7 == 3 ? QByteArray(" and goes on"
                  " for a good while longer so that it takes two or three lines at the foot of"
                  " the page where it is drawn") : QByteArray()) + ".}\\par\r\n";
    }
    return testdocs::rtf(body.constData());
}

} // namespace

class TestFootnotes : public QObject
{
    Q_OBJECT

private slots:
    void read_data();
    void read();
    void roundTrip();
    void pdfPage_data();
    void pdfPage();
    void manyPages();
    void sameBreaksWhateverTheRun();
};

void TestFootnotes::read_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("notes");

    QTest::newRow("automatic") << QByteArray("\\pard Body{\\super\\chftn}{\\footnote\\pard\\plain"
                                             "{\\super\\chftn} Note one.} more.\\par")
                               << "Body1 more." << "1:1 Note one.";
    QTest::newRow("numbered in order, from ftnstart")
        << QByteArray("\\ftnstart4\\pard A{\\super\\chftn}{\\footnote{\\super\\chftn} First.}"
                      " B{\\super\\chftn}{\\*\\footnote{\\super\\chftn} Second.}\\par")
        << "A4 B5" << "4:4 First.|5:5 Second.";
    QTest::newRow("own mark") << QByteArray("\\pard Body{\\super *}{\\footnote\\pard * Own.}\\par")
                              << "Body*" << "*=* Own.";
    QTest::newRow("no mark at all gets a number")
        << QByteArray("\\pard Body {\\footnote Bare.}\\par") << "Body 1" << "1:1Bare.";
    QTest::newRow("endnote kept as a note")
        << QByteArray("\\pard End{\\super\\chftn}{\\footnote\\ftnalt{\\super\\chftn} Later.}\\par")
        << "End1" << "1:1 Later.";
    QTest::newRow("merge token in a note stays text")
        << QByteArray("\\pard X{\\super\\chftn}{\\footnote @1 here.}\\par") << "X1" << "1:1@1 here.";
}

void TestFootnotes::read()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, text);
    QFETCH(QString, notes);
    const QByteArray file = testdocs::rtf(body.constData());
    const auto doc = load(file);
    QCOMPARE(bodyText(*doc), text);
    QCOMPARE(summary(*doc), notes);
    for (const Mark &mark : marks(*doc))
        QVERIFY(mark.super);
    // The plain text of the file is the document's text: no footnote in it.
    QCOMPARE(rtfToPlainText(file).trimmed(), text);
}

void TestFootnotes::roundTrip()
{
    // Two notes, one in the file's third font and second colour, one with
    // its own mark, around a hyperlink.
    const QByteArray file = testdocs::rtf(
        "\\pard Start{\\super\\chftn}{\\footnote\\pard\\plain\\fs18{\\super\\chftn} "
        "{\\f2\\cf2 Courier} note.} middle{\\super \\'86}{\\footnote\\pard \\'86 Dagger.} end.\\par");
    const auto doc = load(file);
    const QString before = summary(*doc);
    QCOMPARE(before, QStringLiteral("1:1 Courier note.|\u2020=\u2020 Dagger."));

    const QByteArray written = toRtf(*doc);
    QVERIFY2(written.contains("{\\super\\chftn}{\\footnote"), written.constData());
    const auto again = load(written);
    QCOMPARE(bodyText(*again), bodyText(*doc));
    QCOMPARE(summary(*again), before);
    const QList<Mark> marksAgain = marks(*again);
    QCOMPARE(marksAgain.size(), 2);
    QVERIFY(marksAgain[0].note.automatic);
    QVERIFY(!marksAgain[1].note.automatic);

    // The note's font and colour are still Courier and blue, whatever
    // numbers the written tables gave them.
    QTextDocument note;
    QTextCursor cursor(&note);
    insertRtf(cursor, footnoteDocumentRtf(marksAgain[0].note, marksAgain[0].text));
    const QTextCharFormat courier = formatOf(note, QStringLiteral("Courier"));
    QVERIFY2(courier.fontFamilies().toStringList().join(u',').contains(u"Courier"),
             qPrintable(courier.fontFamilies().toStringList().join(u',')));
    QCOMPARE(courier.foreground().color(), QColor(0, 0, 255));

    // A document without notes is written as before.
    const auto plain = load(testdocs::rtf("\\pard No notes.\\par"));
    QVERIFY(!toRtf(*plain).contains("footnote"));
}

void TestFootnotes::pdfPage_data()
{
    QTest::addColumn<QByteArray>("marked");
    QTest::newRow("paragraph") << QByteArray("\\pard Marked");
    QTest::newRow("table cell") << QByteArray("\\trowd\\cellx3000\\cellx6000\\pard\\intbl Left\\cell"
                                              "\\pard\\intbl Marked");
}

void TestFootnotes::pdfPage()
{
    QFETCH(QByteArray, marked);
    if (!pdfreadback::available())
        QSKIP("poppler-utils are not installed");
    QByteArray body;
    for (int i = 0; i < 3; ++i)
        body += "\\pard Filler paragraph " + QByteArray::number(i) + ".\\par ";
    body += marked + "{\\super\\chftn}{\\footnote\\pard\\plain\\fs18{\\super\\chftn} Footnoteword here.}";
    body += marked.contains("intbl") ? "\\cell\\row" : "\\par";
    body += "\\pard Last line.\\par";
    const auto doc = load(testdocs::rtf(body.constData()));
    const QList<pdfreadback::Word> words = pdfreadback::words(documents::exportPdf(*doc));
    const pdfreadback::Word *note = nullptr;
    qreal lastBody = 0;
    int notes = 0;
    for (const auto &word : words) {
        if (word.text.contains(u"Footnoteword")) {
            note = &word;
            ++notes;
        } else if (word.text == u"line.") {
            lastBody = word.box.bottom();
        }
    }
    QCOMPARE(notes, 1);
    QCOMPARE(note->page, 0);
    QVERIFY2(note->box.top() > lastBody + 72, "the note is at the foot of the page");
}

void TestFootnotes::manyPages()
{
    if (!pdfreadback::available())
        QSKIP("poppler-utils are not installed");
    constexpr int Count = 80;
    const auto doc = load(manyNotes(Count));
    const QList<pdfreadback::Word> words = pdfreadback::words(documents::exportPdf(*doc));
    QHash<QString, QList<const pdfreadback::Word *>> found;
    QHash<int, qreal> lowestBody; // per page
    for (const auto &word : words) {
        if (word.text.startsWith(u"body") || word.text.startsWith(u"note"))
            found[word.text].append(&word);
        if (word.text.startsWith(u"body"))
            lowestBody[word.page] = qMax(lowestBody.value(word.page), word.box.bottom());
    }
    QVERIFY(words.last().page >= 3);
    for (int i = 0; i < Count; ++i) {
        const QString n = QString::number(i);
        const auto bodies = found.value(QStringLiteral("body") + n);
        const auto notes = found.value(QStringLiteral("note") + n);
        QCOMPARE(bodies.size(), 1);
        QCOMPARE(notes.size(), 1);
        QCOMPARE(notes[0]->page, bodies[0]->page);
        // Below every body line of its page.
        QVERIFY2(notes[0]->box.top() > lowestBody.value(notes[0]->page), qPrintable(n));
    }
}

void TestFootnotes::sameBreaksWhateverTheRun()
{
    const auto doc = load(manyNotes(60));
    const QRectF page(0, 0, 9000, 8000); // twips
    const auto starts = [&doc, &page](int window) {
        PageRenderer renderer(*doc);
        renderer.setWindow(window);
        QList<int> out;
        for (int at = 0, n = 0; at < doc->characterCount() && n < 1000; ++n) {
            const int next = renderer.formatRange(nullptr, page, at, false);
            if (next <= at)
                return QList<int>{-1}; // no progress
            out << next;
            at = next;
        }
        return out;
    };
    const QList<int> whole = starts(1 << 30);
    QVERIFY(whole.size() > 3);
    QCOMPARE(starts(1), whole);
    QCOMPARE(starts(700), whole);
}

QTEST_MAIN(TestFootnotes)
#include "tst_footnotes.moc"
