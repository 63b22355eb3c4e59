// The window and quorin-batch make the same page of a document: for every
// file of the shared corpus, Open then Save As "x.html" in the window gives
// the bytes `quorin-batch convert FILE y.html` writes.

#include "mainformfixture.h"

#include "testsupport.h"

#include <QProcess>

class TestCorpusHtml : public QObject
{
    Q_OBJECT

private slots:
    // One window for every file: Open replaces the document each time.
    void initTestCase() { m_window = std::make_unique<MainFormFixture>(); }

    void windowAndBatchAgree_data() { testsupport::addCorpusRows(); }

    void windowAndBatchAgree()
    {
        QFETCH(QString, path);
        if (path.isEmpty())
            QSKIP(qPrintable(QStringLiteral("the corpus folder %1 is missing").arg(testsupport::corpusDir())));
        QTemporaryDir dir;
        MainFormFixture &f = *m_window;
        f.dialogs->clearRecords();
        f.choose("FileOpenItem", path);
        f.choose("FileSaveAsItem", dir.filePath(QStringLiteral("x.html")));
        QVERIFY2(f.errors().isEmpty(), qPrintable(f.errors().join(u'\n')));

        QProcess batch;
        batch.start(QStringLiteral(QUORIN_BATCH), {QStringLiteral("convert"), path, dir.filePath(QStringLiteral("y.html"))});
        QVERIFY(batch.waitForFinished(120000));
        QVERIFY2(batch.exitCode() == 0, batch.readAllStandardError().constData());

        const QByteArray window = testsupport::readFile(dir.filePath(QStringLiteral("x.html")));
        const QByteArray batchPage = testsupport::readFile(dir.filePath(QStringLiteral("y.html")));
        QVERIFY(!window.isEmpty());
        const qsizetype at = std::mismatch(window.begin(), window.end(), batchPage.begin(), batchPage.end()).first
            - window.begin();
        QVERIFY2(window == batchPage, qPrintable(QStringLiteral("the pages differ from byte %1:\nwindow: %2\nbatch:  %3")
                                                     .arg(at)
                                                     .arg(QString::fromLatin1(window.mid(at, 80)),
                                                          QString::fromLatin1(batchPage.mid(at, 80)))));
    }

private:
    std::unique_ptr<MainFormFixture> m_window;
};

QTEST_MAIN(TestCorpusHtml)
#include "tst_corpushtml.moc"
