// Which file a name asks for, in the window (forgiving, as it always was) and
// on the command line (whole extensions only).
#include "documents/fileformat.h"

#include <QTest>

using documents::FileFormat;
using documents::FormatPolicy;

namespace {
constexpr int none = -1;
constexpr int rtf = int(FileFormat::Rtf);
constexpr int text = int(FileFormat::Text);
constexpr int html = int(FileFormat::Html);

int formatOf(const QString &path, FormatPolicy policy)
{
    const auto format = documents::formatForFileName(path, policy);
    return format ? int(*format) : none;
}
} // namespace

class TestFileFormat : public QObject {
    Q_OBJECT

private slots:
    void formatForFileName_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("saveAs");
        QTest::addColumn<int>("commandLine");
        const auto row = [](const char *path, int saveAs, int commandLine) {
            QTest::newRow(path) << QString::fromUtf8(path) << saveAs << commandLine;
        };
        row("/docs/letter.rtf", rtf, rtf);
        row("letter.TEM", rtf, rtf);
        row("letter.inf", rtf, rtf);
        row("letter.txt", text, text);
        row("page.html", html, html);
        row("page.HTM", html, html);
        row("archive.tar.Rtf", rtf, rtf);
        row(".rtf", rtf, rtf);
        // Pieces of the Save As lookup text: the window takes them, the
        // command line never guesses.
        row("letter.R", rtf, none);
        row("letter.TE", rtf, none);
        row("letter.I", rtf, none);
        row("letter.", rtf, none);
        row("letter.T", text, none);
        row("letter.TX", text, none);
        row("page.H", html, none);
        row("page.HT", html, none);
        row("letter.E", none, none);
        row("letter.doc", none, none);
        row("letter.docx", none, none);
        row("letter.pdf", none, none);
        row("letter", none, none);
        row("folder.rtf/letter", none, none);
        row("letter.rtf.bak", none, none);
    }
    void formatForFileName()
    {
        QFETCH(QString, path);
        QFETCH(int, saveAs);
        QFETCH(int, commandLine);
        QCOMPARE(formatOf(path, FormatPolicy::SaveAs), saveAs);
        QCOMPARE(formatOf(path, FormatPolicy::CommandLine), commandLine);
    }
};

QTEST_GUILESS_MAIN(TestFileFormat)
#include "tst_fileformat.moc"
