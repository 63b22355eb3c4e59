// quorin-batch writing PDF: convert and merge choose it by the output's
// extension, put the document on the page its RTF names, title each file by
// its document, and give the same PDFs from several threads as from one.
#include "../documents/pdfreadback.h"
#include "batchrun.h"

#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

const QByteArray letterTemplate = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}}"
                                  "\\paperw11906\\paperh16838\\margl1701\\margr1134\\margt1417\\margb1134\r\n"
                                  "\\f0\\fs24 Dear @1,\\par Caf\\'e9 owes @2.\\page Yours faithfully\\par}";

// Qt stamps each PDF with the time it was written; the rest is the document.
QByteArray unstamped(const QByteArray &pdf)
{
    static const QRegularExpression stamp(u"/CreationDate \\(D:[^)]*\\)"_s);
    return QString::fromLatin1(pdf).replace(stamp, QString()).toLatin1();
}

} // namespace

class TestPdfOutput : public QObject {
    Q_OBJECT

private slots:
    void writesPdfs()
    {
        if (!pdfreadback::available())
            QSKIP("poppler-utils (pdfinfo, pdftotext, pdffonts) is not installed: nothing to read the PDF with");
        QTemporaryDir dir;
        writeFile(dir.filePath(u"letter.tem"_s), letterTemplate);
        writeFile(dir.filePath(u"smith.inf"_s), "Name\r\nMs Smith\r\nAmount\r\n$12.50\r\n");
        writeFile(dir.filePath(u"jones.inf"_s), "Name\r\nMr Jones\r\nAmount\r\n$7\r\n");

        const BatchRun convert = runBatch({ u"convert"_s, u"letter.tem"_s, u"Letter.PDF"_s }, dir.path());
        QCOMPARE(convert.exitCode, 0);
        const QByteArray converted = readFile(dir.filePath(u"Letter.PDF"_s));
        const pdfreadback::Info info = pdfreadback::info(converted);
        QCOMPARE(info.pages, 2);
        QCOMPARE(info.pageSize, QSizeF(595, 842));
        QCOMPARE(info.title, u"letter"_s); // the document's file, not the output's
        QCOMPARE(info.creator, u"Quorin"_s);
        const QString text = pdfreadback::texts(pdfreadback::words(converted)).join(u' ');
        QVERIFY2(text.startsWith(u"Dear @1, Caf\u00e9 owes @2. Yours faithfully"_s), qPrintable(text));

        QHash<QString, QByteArray> oneThread;
        for (const QString &jobs : { u"1"_s, u"2"_s }) {
            QDir(dir.path()).mkdir(u"out"_s);
            const BatchRun merge = runBatch({ u"merge"_s, u"letter.tem"_s, u"smith.inf"_s, u"jones.inf"_s,
                                                u"-j"_s, jobs, u"-o"_s, u"out/{name}.pdf"_s },
                dir.path());
            QCOMPARE(merge.exitCode, 0);
            QCOMPARE(filesIn(dir.filePath(u"out"_s)), QStringList({ u"jones.pdf"_s, u"smith.pdf"_s }));
            for (const auto &[name, who] : { std::pair(u"smith"_s, u"Ms Smith, Caf\u00e9 owes $12.50."_s),
                     std::pair(u"jones"_s, u"Mr Jones, Caf\u00e9 owes $7."_s) }) {
                const QByteArray pdf = readFile(dir.filePath(u"out/"_s + name + u".pdf"_s));
                QCOMPARE(pdfreadback::info(pdf).title, name);
                const QString merged = pdfreadback::texts(pdfreadback::words(pdf)).join(u' ');
                QVERIFY2(merged.startsWith(u"Dear "_s + who), qPrintable(merged));
                if (oneThread.contains(name))
                    QVERIFY2(unstamped(pdf) == oneThread.value(name), qPrintable(name));
                oneThread.insert(name, unstamped(pdf));
            }
            QDir(dir.filePath(u"out"_s)).removeRecursively();
        }
    }
};

QTEST_MAIN(TestPdfOutput)
#include "tst_pdfoutput.moc"
