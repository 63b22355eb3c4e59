// What the window and quorin-batch do alike: the format a file name asks
// for, files into documents and documents into bytes, the code page of a
// template, and the one atomic way every file is written.
#include "documents/atomicwrite.h"
#include "documents/documenterror.h"
#include "documents/documentexport.h"
#include "documents/documentreader.h"
#include "documents/fileformat.h"
#include "documents/mergejob.h"
#include "richtext/documentio.h"
#include "testsupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

#include <sys/stat.h>

using documents::FileFormat;
using documents::FormatPolicy;
using documents::WriteFaults;

Q_DECLARE_METATYPE(WriteFaults)

namespace {

int modeOf(const QString &path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

void writePlain(const QString &path, const QByteArray &bytes, int mode)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    file.close();
    QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode), 0);
}

QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

// `size` bytes that change every 997 bytes, so a piece of another file shows.
QByteArray document(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = char('a' + i / 997 % 26);
    return bytes;
}

} // namespace

class TestDocuments : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { documents::setWriteFaultsForTesting({}); }

    // The window forgives (a name that is a piece of the Save As lookup
    // text, as it always did); the command line takes whole extensions only.
    void formatForFileName_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("saveAs"); // -1: refused
        QTest::addColumn<int>("commandLine");
        const int none = -1, rtf = int(FileFormat::Rtf), text = int(FileFormat::Text),
                  html = int(FileFormat::Html), pdf = int(FileFormat::Pdf);
        const auto row = [](const char *path, int saveAs, int commandLine) {
            QTest::newRow(path) << QString::fromUtf8(path) << saveAs << commandLine;
        };
        row("/docs/letter.rtf", rtf, rtf);
        row("letter.TEM", rtf, rtf);
        row("letter.inf", rtf, rtf);
        row("letter.txt", text, text);
        row("page.html", html, html);
        row("archive.tar.Rtf", rtf, rtf);
        row(".rtf", rtf, rtf);
        row("letter.R", rtf, none);
        row("letter.TE", rtf, none);
        row("letter.", rtf, none);
        row("letter.T", text, none); // a piece of .TEM too, but it always meant text
        row("page.HT", html, none);
        row("report.Pdf", pdf, pdf);
        row("report.P", pdf, none);
        row("report.DF", none, none);
        row("letter.E", none, none);
        row("letter.docx", none, none);
        row("letter", none, none);
        row("folder.rtf/letter", none, none);
        row("letter.rtf.bak", none, none);
    }
    void formatForFileName()
    {
        QFETCH(QString, path);
        QFETCH(int, saveAs);
        QFETCH(int, commandLine);
        for (const auto &[policy, expected] :
            { std::pair(FormatPolicy::SaveAs, saveAs), std::pair(FormatPolicy::CommandLine, commandLine) }) {
            const auto format = documents::formatForFileName(path, policy);
            QCOMPARE(format ? int(*format) : -1, expected);
        }
    }

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

    // The page is made from our own RTF of the document, in memory: no
    // scratch file, though the page keeps the title the scratch file gave.
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

    void templateCodePage_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("codePage");
        const auto row = [](const char *bytes, int codePage) {
            QTest::newRow(bytes) << QByteArray(bytes) << codePage;
        };
        row("{\\rtf1\\ansi\\ansicpg1251\\deff0 text}", 1251);
        row("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\ansicpg932 text}", 932); // after the font table
        row("\xef\xbb\xbf{\\rtf1\\ansicpg1250 x}", 1250);
        row("{\\rtf1\\ansi\\deff0 text}", 1252);
        row("{\\rtf1\\ansi Write \\\\ansicpg932 like this}", 1252); // in the text
        row("{\\rtf1{\\*\\x\\ansicpg932} text}", 1252); // inside a group
        row("\\ansicpg932", 1252); // not RTF
    }
    void templateCodePage()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, codePage);
        QCOMPARE(documents::templateCodePage(bytes), codePage);
    }

    // The atomic write: an existing file keeps its permission bits, a link
    // stays a link and the file it names is written.
    void replaces_data()
    {
        QTest::addColumn<int>("oldMode"); // -1: no old file
        QTest::addColumn<qsizetype>("size");
        QTest::addColumn<bool>("throughLink");
        QTest::newRow("new file") << -1 << qsizetype(10) << false;
        QTest::newRow("private file") << 0600 << qsizetype(300000) << false;
        QTest::newRow("group-readable file") << 0640 << qsizetype(0) << false;
        QTest::newRow("executable script") << 0755 << qsizetype(65536) << false;
        QTest::newRow("through a link") << 0640 << qsizetype(100) << true;
    }
    void replaces()
    {
        QFETCH(int, oldMode);
        QFETCH(qsizetype, size);
        QFETCH(bool, throughLink);
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("letter.rtf"));
        const QString link = dir.filePath(QStringLiteral("link.rtf"));
        if (oldMode >= 0)
            writePlain(target, "the old letter, longer than some new ones", oldMode);
        QVERIFY(!throughLink || QFile::link(target, link));
        documents::writeFileAtomically(throughLink ? link : target, document(size));
        QCOMPARE(testsupport::readFile(target), document(size));
        const mode_t mask = ::umask(0);
        ::umask(mask);
        QCOMPARE(modeOf(target), oldMode >= 0 ? oldMode : int(0666 & ~mask));
        QVERIFY(!throughLink || QFileInfo(link).isSymLink());
        QCOMPARE(entries(dir.path()).size(), throughLink ? 2 : 1);
    }

    // The test hook fails each step as a full disk or a failing device
    // would: the target is still the old file, and nothing is left behind.
    void failureLeavesOldFile_data()
    {
        QTest::addColumn<WriteFaults>("faults");
        QTest::addColumn<qsizetype>("size");
        QTest::addColumn<int>("error");
        QTest::newRow("first write") << WriteFaults { 1 } << qsizetype(100) << ENOSPC;
        QTest::newRow("third write of a large one") << WriteFaults { 3 } << qsizetype(200000) << ENOSPC;
        QTest::newRow("close") << WriteFaults { 0, true } << qsizetype(100) << ENOSPC;
        QTest::newRow("sync") << WriteFaults { 0, false, true } << qsizetype(100) << EIO;
        QTest::newRow("rename") << WriteFaults { 0, false, false, true } << qsizetype(100) << EIO;
    }
    void failureLeavesOldFile()
    {
        QFETCH(WriteFaults, faults);
        QFETCH(qsizetype, size);
        QFETCH(int, error);
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("out.html"));
        writePlain(target, "<HTML>the page as it was</HTML>", 0644);
        documents::setWriteFaultsForTesting(faults);
        try {
            documents::writeFileAtomically(target, document(size));
            QFAIL("the write reported success");
        } catch (const documents::DocumentError &e) {
            QCOMPARE(e.message(), QStringLiteral("Cannot write file \"%1\": %2").arg(target, qt_error_string(error)));
        }
        QCOMPARE(testsupport::readFile(target), QByteArray("<HTML>the page as it was</HTML>"));
        QCOMPARE(entries(dir.path()), QStringList { QStringLiteral("out.html") });
    }
};

QTEST_MAIN(TestDocuments)
#include "tst_documents.moc"
