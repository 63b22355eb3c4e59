// The window and quorin-batch make the same page of a document: for every
// file of the shared corpus, Open then Save As "x.html" in the window gives
// the bytes `quorin-batch convert FILE y.html` writes.

#include "mainformfixture.h"

#include "testsupport.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestCorpusHtml : public QObject
{
    Q_OBJECT

private slots:
    // One window for every file: Open replaces the document each time.
    void initTestCase() { m_window = std::make_unique<MainFormFixture>(); }
    void cleanupTestCase() { m_window.reset(); }

    void windowAndBatchAgree_data() { testsupport::addCorpusRows(); }

    void windowAndBatchAgree()
    {
        QFETCH(QString, path);
        if (path.isEmpty())
            QSKIP(qPrintable(QStringLiteral("the corpus folder %1 is missing").arg(testsupport::corpusDir())));
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString fromWindow = dir.filePath(QStringLiteral("x.html"));
        const QString fromBatch = dir.filePath(QStringLiteral("y.html"));

        MainFormFixture &f = *m_window;
        f.dialogs->clearRecords();
        f.dialogs->setNextFileName(path);
        f.action("FileOpenItem")->trigger();
        f.dialogs->setNextFileName(fromWindow);
        f.action("FileSaveAsItem")->trigger();
        QVERIFY2(f.dialogs->errors().isEmpty(), qPrintable(f.dialogs->errors().join(u'\n')));

        QProcess batch;
        batch.start(QStringLiteral(QUORIN_BATCH), {QStringLiteral("convert"), path, fromBatch});
        QVERIFY(batch.waitForFinished(120000));
        QVERIFY2(batch.exitCode() == 0, batch.readAllStandardError().constData());

        const QByteArray window = testsupport::readFile(fromWindow);
        const QByteArray batchPage = testsupport::readFile(fromBatch);
        QVERIFY(!window.isEmpty());
        if (window != batchPage) {
            qsizetype at = 0;
            while (at < window.size() && at < batchPage.size() && window[at] == batchPage[at])
                ++at;
            QFAIL(qPrintable(QStringLiteral("the pages differ from byte %1:\nwindow: %2\nbatch:  %3")
                                 .arg(at)
                                 .arg(QString::fromLatin1(window.mid(at, 80)),
                                      QString::fromLatin1(batchPage.mid(at, 80)))));
        }
    }

private:
    std::unique_ptr<MainFormFixture> m_window;
};

QTEST_MAIN(TestCorpusHtml)
#include "tst_corpushtml.moc"
