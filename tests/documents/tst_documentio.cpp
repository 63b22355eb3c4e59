// Files into documents and documents into bytes, without a window.
#include "documents/documenterror.h"
#include "documents/documentexport.h"
#include "documents/documentreader.h"
#include "richtext/documentio.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

using documents::FileFormat;

class TestDocumentIo : public QObject {
    Q_OBJECT

private slots:
    void readDocument_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("codePage");
        QTest::addColumn<QString>("text");
        const QString zoe = QStringLiteral("Zo\u00eb \u0141ukasz");
        QTest::newRow("rtf") << QByteArray("{\\rtf1\\ansi\\ansicpg1252 Zo\\'eb \\u321?ukasz\\par}") << 1252 << zoe;
        QTest::newRow("utf-16le with mark")
            << QByteArray("\xff\xfeZ\0o\0\xeb\0 \0A\x01u\0k\0a\0s\0z\0", 22) << 1252 << zoe;
        QTest::newRow("code page") << QByteArray("\xc8\xe2\xe0\xed\r\nok") << 1251
                                   << QStringLiteral("\u0418\u0432\u0430\u043d\nok");
    }
    void readDocument()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, codePage);
        QFETCH(QString, text);
        QTextDocument document;
        document.setPlainText(QStringLiteral("what was there before"));
        documents::ReadOptions options;
        options.codePage = codePage;
        documents::readDocument(document, bytes, options);
        QCOMPARE(richtext::plainText(document), text);
        QVERIFY(!document.isModified());
    }

    // The HTML page is made from our own RTF of the document, in memory.
    void exportsByFormat()
    {
        QTemporaryDir dir;
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        QTextDocument document;
        documents::readDocument(document, "{\\rtf1\\ansi Dear {\\b Smith},\\par Caf\\'e9\\par}");
        const QByteArray rtf = documents::exportDocument(document, FileFormat::Rtf);
        const QByteArray page = documents::exportDocument(document, FileFormat::Html);
        QCOMPARE(page, documents::htmlPageFromRtf(rtf, {}));
        QVERIFY(page.contains("<TITLE>$$$</TITLE>"));
        QVERIFY(page.contains("<B><FONT FACE=\"Times New Roman\">Smith</FONT></B>"));
        QCOMPARE(documents::exportDocument(document, FileFormat::Text), QByteArray("Dear Smith,\nCaf\xc3\xa9"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
        QDir::setCurrent(before);
    }

    void failedConversionGivesNoPage()
    {
        try {
            documents::htmlPageFromRtf("{\\rtf1 bad \\'zz code\\par}", {});
            QFAIL("a page came back");
        } catch (const documents::DocumentError &error) {
            QVERIFY2(error.message().startsWith(QStringLiteral("Cannot convert the document to HTML: ")),
                qPrintable(error.message()));
            QVERIFY(!error.message().contains(u'\n'));
        }
    }

    void readFileBytesNamesTheFile()
    {
        QTemporaryDir dir;
        const QString missing = dir.filePath(QStringLiteral("none.rtf"));
        try {
            documents::readFileBytes(missing);
            QFAIL("read a missing file");
        } catch (const documents::DocumentError &error) {
            QCOMPARE(error.message(),
                QStringLiteral("Cannot open file \"%1\": %2").arg(missing, qt_error_string(ENOENT)));
            QCOMPARE(error.path(), missing);
        }
        QVERIFY_THROWS_EXCEPTION(documents::DocumentError, documents::readFileBytes(dir.path()));
    }
};

QTEST_MAIN(TestDocumentIo)
#include "tst_documentio.moc"
