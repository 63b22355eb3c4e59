// A template's own header and footer in its PDF: on every page, in the
// margins where its words put them, with that page's number and the page
// count. Read back with poppler's tools.
#include "documents/documentreader.h"
#include "documents/pdfexport.h"
#include "pdfreadback.h"

#include <QTest>
#include <QTextDocument>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Letter paper, one-inch margins; the header half an inch from the top, the
// footer a third of an inch from the bottom.
QByteArray banded(const QByteArray &bands, int paragraphs)
{
    QByteArray body;
    for (int i = 1; i <= paragraphs; ++i)
        body += "Paragraph " + QByteArray::number(i) + " of the body text.\\par\r\n";
    return "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}"
           "{\\f1\\fswiss Arial;}}{\\colortbl;\\red0\\green0\\blue128;}\r\n"
           "\\paperw12240\\paperh15840\\margl1440\\margr1440\\margt1440\\margb1440"
           "\\sectd\\headery720\\footery480\r\n"
        + bands + "\r\n\\pard\\f0\\fs24 " + body + "}";
}

QByteArray pdfOf(const QByteArray &rtf)
{
    QTextDocument document;
    documents::readDocument(document, rtf);
    return documents::exportPdf(document);
}

} // namespace

class TestPdfBands : public QObject {
    Q_OBJECT

private slots:
    void footerOnEveryPage()
    {
        if (!pdfreadback::available())
            QSKIP("poppler-utils is not installed: nothing to read the PDF with");
        const QByteArray pdf = pdfOf(banded(
            "{\\header \\pard\\qr\\f1\\cf1 Letterhead @FIRM@\\par}"
            "{\\footer \\pard\\qc\\f1\\fs18 Page {\\field{\\*\\fldinst PAGE}{\\fldrslt 1}} of "
            "{\\field{\\*\\fldinst NUMPAGES}{\\fldrslt 1}}\\par}",
            120));
        const int pages = pdfreadback::info(pdf).pages;
        QVERIFY2(pages >= 3, qPrintable(QString::number(pages)));
        const auto words = pdfreadback::words(pdf);

        for (int page = 0; page < pages; ++page) {
            QStringList header, footer;
            for (const auto &word : words) {
                if (word.page != page)
                    continue;
                // Above the text area (72 pt), and below it (792 - 72).
                if (word.box.bottom() < 72)
                    header << word.text;
                else if (word.box.top() > 720)
                    footer << word.text;
                else
                    QVERIFY2(!word.text.startsWith(u"Letterhead") && word.text != u"Page",
                             qPrintable(word.text));
            }
            QCOMPARE(header, QStringList({u"Letterhead"_s, u"@FIRM@"_s}));
            QCOMPARE(footer, QStringList({u"Page"_s, QString::number(page + 1), u"of"_s,
                                          QString::number(pages)}));
        }
        // The header's top lies half an inch from the paper's top, the
        // footer's bottom a third of an inch from its bottom.
        for (const auto &word : words) {
            if (word.page == 0 && word.text == u"Letterhead")
                QVERIFY2(word.box.top() > 34 && word.box.top() < 40, qPrintable(QString::number(word.box.top())));
            if (word.page == 0 && word.text == u"Page")
                QVERIFY2(word.box.bottom() < 792 - 24 && word.box.bottom() > 792 - 34,
                         qPrintable(QString::number(word.box.bottom())));
        }
    }

    // A header or footer taller than its margin pushes the body away from
    // it on every page; page numbers start where the file says.
    void tallBandsPushTheBody()
    {
        if (!pdfreadback::available())
            QSKIP("poppler-utils is not installed: nothing to read the PDF with");
        const QByteArray pdf = pdfOf(banded(
            "\\headery360\\pgnstarts7"
            "{\\header \\pard\\f1 Head1\\par Head2\\par Head3\\par Head4\\par Head5\\par}"
            "{\\footer \\pard\\f1 Foot1\\par Foot2\\par Foot3\\par Foot4\\par Foot5\\par "
            "Page {\\field{\\*\\fldinst PAGE}{\\fldrslt 1}}\\par}",
            90));
        const int pages = pdfreadback::info(pdf).pages;
        QVERIFY2(pages >= 3, qPrintable(QString::number(pages)));
        const auto words = pdfreadback::words(pdf);
        for (int page = 0; page < pages; ++page) {
            qreal headerBottom = 0, bodyTop = 792, bodyBottom = 0, footerTop = 792;
            QString number;
            for (const auto &word : words) {
                if (word.page != page)
                    continue;
                if (word.text.startsWith(u"Head"))
                    headerBottom = qMax(headerBottom, word.box.bottom());
                else if (word.text.startsWith(u"Foot") || word.text == u"Page")
                    footerTop = qMin(footerTop, word.box.top());
                else if (word.box.top() > footerTop - 1 && word.box.top() > 600)
                    number = word.text;
                else {
                    bodyTop = qMin(bodyTop, word.box.top());
                    bodyBottom = qMax(bodyBottom, word.box.bottom());
                }
            }
            // The header runs from 18 pt to about 86, the footer from about
            // 686 to 768, both past the 72 pt margins; the body keeps clear.
            const QString where = QStringLiteral("page %1: %2 %3 %4 %5")
                                      .arg(page).arg(headerBottom).arg(bodyTop).arg(bodyBottom).arg(footerTop);
            QVERIFY2(headerBottom > 80 && footerTop < 690, qPrintable(where));
            QVERIFY2(bodyTop > headerBottom && bodyTop < headerBottom + 6, qPrintable(where));
            QVERIFY2(bodyBottom < footerTop, qPrintable(where));
            QCOMPARE(number, QString::number(page + 7));
        }
    }
};

QTEST_MAIN(TestPdfBands)
#include "tst_pdfbands.moc"
