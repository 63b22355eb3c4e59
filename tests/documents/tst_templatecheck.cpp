// The template check: each kind of finding on a template made for it, the
// places it gives (in the source and in the document), its agreement with
// what the merge really does, and its bounds on hostile input.
#include "assembly/informationfile.h"
#include "documents/documentreader.h"
#include "documents/mergejob.h"
#include "documents/templatecheck.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTest>
#include <QTextDocument>

using documents::Finding;
using documents::FindingKind;
using documents::Severity;
using namespace Qt::StringLiterals;

namespace {

assembly::InformationFile information(const char *text)
{
    return assembly::InformationFile::fromText(QString::fromUtf8(text));
}

// A finding in a few words: its kind, severity, and where: the first bytes
// of the template at its offset, or the Information line.
QString summary(const Finding &finding, const QByteArray &templateBytes)
{
    const QString where = finding.place == Finding::Place::Template
        ? QString::fromLatin1(templateBytes.mid(finding.offset, 4))
        : u"line %1"_s.arg(finding.line);
    return u"%1|%2|%3"_s.arg(
        documents::kindName(finding.kind), documents::severityName(finding.severity), where);
}

bool hasError(const std::vector<Finding> &findings)
{
    return std::any_of(findings.begin(), findings.end(),
        [](const Finding &f) { return f.severity == Severity::Error; });
}

} // namespace

class TestTemplateCheck : public QObject {
    Q_OBJECT

private slots:
    // Each kind on a template made for it. `contains` is a phrase the
    // detail of the first finding must hold.
    void findings_data()
    {
        QTest::addColumn<QByteArray>("templateBytes");
        QTest::addColumn<QByteArray>("info");
        QTest::addColumn<bool>("overwrite");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QString>("contains");
        const auto row = [](const char *name, const QByteArray &t, const char *info, bool overwrite,
                             const QStringList &expected, const char *contains = "") {
            QTest::newRow(name) << t << QByteArray(info) << overwrite << expected
                                << QString::fromUtf8(contains);
        };
        const char *two = "Name\nSmith\nTown\nBath\n";
        row("clean", "{\\rtf1 Dear @1 of @2, @1\\par}", two, false, {});
        row("clean form", "{\\rtf1 Dear @1____ of @2...\\par}", two, true, {});
        row("token beyond the entries", "{\\rtf1 @1 @2 @3 x\\par}", two, false,
            { "token with no entry|error|@3 x" },
            "has no entry: the Information data has 2 entries");
        row("@0", "{\\rtf1 @0 @1 @2\\par}", two, false, { "token with no entry|error|@0 @" },
            "numbered from 1");
        row("digit after the next character", "{\\rtf1 @1 2 @2\\par}", two, false,
            { "token with no entry|error|@1 2", "unused entry|note|line 1" }, "(\"@1 2\")");
        row("digit after a line end", "{\\rtf1 @1\r\n2 @2\\par}", two, false,
            { "token with no entry|error|@1\r\n", "unused entry|note|line 1" });
        row("integer overflow", "{\\rtf1 @1 @2 @1073741824\\par}", two, false,
            { "token with no entry|error|@107" }, "Integer overflow");
        row("unused, empty, duplicate", "{\\rtf1 @1 @3\\par}", "Name\nSmith\nTown\n\n name \nJo\n",
            false,
            { "unused entry|note|line 3", "empty value|warning|line 4",
                "duplicate heading|warning|line 5" },
            "Entry 2 (\"Town\") is used by no token");
        row("e-mail address before tokens", "{\\rtf1 Mail jo@example.com to @1 and @2\\par}", two,
            false, { "merge ends early|error|@exa" },
            "leaving the 2 tokens after it unfilled (@1, @2)");
        row("e-mail address after every token", "{\\rtf1 @1 @2 jo@example.com\\par}", two, false,
            { "merge ends early|note|@exa" }, "where no token follows");
        row("font name with @", "{\\rtf1{\\fonttbl{\\f0 @MS Mincho;}}\\f0 @1 @2\\par}", two, false,
            { "merge ends early|error|@MS " }, "@MS Mincho");
        row("token split by a group", "{\\rtf1 @1 @{\\b 2}\\par}", two, false,
            { "split token|error|@{\\b", "unused entry|note|line 3" }, "The token \"@2\" is split");
        row("token split by a control word", "{\\rtf1 @\\b0 2 @1\\par}", two, false,
            { "split token|error|@\\b0", "unused entry|note|line 3" },
            "leaving the 1 token after it unfilled");
        row("a paragraph end is no formatting", "{\\rtf1 @1 @\\par 2\\par}", two, false,
            { "merge ends early|note|@\\pa", "unused entry|note|line 3" });
        row("RTF in values", "{\\rtf1 @1 @2 @3\\par}",
            "A\nline\\par two\nB\n{open\nC\n{\\b bold}\n", false,
            { "RTF in value|warning|line 2", "RTF in value|note|line 4",
                "RTF in value|warning|line 6" },
            "keeps \\par as a control word that acts");
        row("braces in a text template are text", "Dear @1\r\n", "A\n{x}\\y\n", false, {});
        row("value too long for its fill", "{\\rtf1 Name: @1______ here\\par}",
            "N\nJonathan Smithers\n", true, { "value too long|warning|@1__" },
            "it overwrites \"here\" and has 4 characters pushed in");
        row("value fits its fill", "{\\rtf1 Name: @1______ here\\par}", "N\nJonathan\n", true, {});
        row("insert mode has no room to fill", "{\\rtf1 Name: @1 here\\par}",
            "N\nJonathan Smithers\n", false, {});
        row("header, footer, footnote",
            "{\\rtf1{\\header @1\\par}{\\footerr {\\b @1}}body @1{\\footnote\\pard @1}\\par}", two,
            false,
            { "token in header/footer/footnote|note|@1\\p",
                "token in header/footer/footnote|note|@1}}",
                "token in header/footer/footnote|note|@1}\\", "unused entry|note|line 3" },
            "stands in a page header");
        row("value refers to itself", "{\\rtf1 @1 @2\\par}", "A\nsee @1\nB\nb\n", false,
            { "value refers to itself|error|@1 @" }, "leads back to entry 1");
        row("values refer to each other", "{\\rtf1 @2\\par}", "A\nsee @2\nB\nand @1\n", false,
            { "value refers to itself|error|@2\\p" });
        row("value names no entry", "{\\rtf1 @1\\par}", "A\nsee @7\n", false,
            { "token with no entry|error|@1\\p" }, "holds \"@7\", which names no entry");
        row("e-mail address in a value", "{\\rtf1 @1 @2 @1\\par}", "A\njo@example.com\nB\nb\n",
            false, { "merge ends early|error|@1 @" },
            "ends inside it at \"@1\", leaving the 2 tokens");
        row("value through a value", "{\\rtf1 @1\\par}", "A\nsee @2\nB\njo@example.com\n", false,
            { "merge ends early|note|@1\\p" },
            "The value of entry 2 (\"jo@example.com\"), put in through \"@1\",");
        row("NUL inside", QByteArray("{\\rtf1 @1\0x}", 12), two, false,
            { u"unusable template|error|"_s + QChar(0) + u"x}"_s });
        row("odd line count", "{\\rtf1 @1\\par}", "A\nb\nC\n", false,
            { "unusable information|error|line 3", "unused entry|note|line 3" });
        row("no text", "{\\rtf1{\\fonttbl{\\f0 Arial;}}}", two, false,
            { "unusable template|error|{\\rt", "unused entry|note|line 1",
                "unused entry|note|line 3" });
    }
    void findings()
    {
        QFETCH(QByteArray, templateBytes);
        QFETCH(QByteArray, info);
        QFETCH(bool, overwrite);
        QFETCH(QStringList, expected);
        QFETCH(QString, contains);
        const auto findings
            = documents::checkTemplate(templateBytes, information(info), { overwrite });
        QStringList seen;
        for (const Finding &finding : findings)
            seen << summary(finding, templateBytes);
        QCOMPARE(seen, expected);
        if (!contains.isEmpty())
            QVERIFY2(
                findings.front().detail.contains(contains), qPrintable(findings.front().detail));
        for (const Finding &finding : findings) {
            QVERIFY(finding.line >= 1 && finding.column >= 1);
            QVERIFY2(finding.detail.endsWith(u'.') && !finding.detail.contains(u'\n'),
                qPrintable(finding.detail));
        }
    }

    // The text position of every token is the "@" of that token in the
    // document the reader makes of the template; tokens that show nowhere
    // have none. The source place is the file's, byte-order mark and lone
    // line ends included.
    void places_data()
    {
        QTest::addColumn<QByteArray>("templateBytes");
        QTest::addColumn<QList<int>>("hidden"); // indexes of the tokens that show nowhere
        QTest::newRow("rtf") << QByteArray(
            "\xef\xbb\xbf{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0 A;}}\n"
            "{\\header @1\\par}Caf\\'e9 \\u8364? @1 {\\b @2}\\par\n"
            "\\trowd\\cellx1000\\cellx2000 a @3\\cell b\\tab @4\\cell\\row\n"
            "{\\*\\bkmkstart x@5}\\pard\\uc2\\u8220\\'93\\'93 @6\\line @7\\par}")
                             << QList<int> { 0, 5 };
        QTest::newRow("text") << QByteArray("Zo\xc3\xab @1\r\n\r\nline\ttwo @2\rthree @3\n")
                              << QList<int> {};
    }
    void places()
    {
        QFETCH(QByteArray, templateBytes);
        QFETCH(QList<int>, hidden);
        // No Information data: every token has no entry, so each is a finding.
        const auto findings = documents::checkTemplate(templateBytes, information(""));
        QTextDocument document;
        documents::ReadOptions read;
        documents::readDocument(document, templateBytes, read);
        int token = 0;
        for (const Finding &finding : findings) {
            if (finding.kind != FindingKind::TokenWithoutEntry)
                continue;
            QCOMPARE(templateBytes.at(finding.offset), '@');
            const QByteArray before = templateBytes.left(finding.offset);
            const qsizetype lineStart
                = std::max(before.lastIndexOf('\n'), before.lastIndexOf('\r')) + 1;
            QCOMPARE(finding.column, finding.offset - lineStart + 1);
            if (hidden.contains(token)) {
                QCOMPARE(finding.textPosition, -1);
            } else {
                QVERIFY2(finding.textPosition >= 0, qPrintable(finding.detail));
                QCOMPARE(document.characterAt(finding.textPosition), u'@');
                QCOMPARE(
                    document.characterAt(finding.textPosition + 1), QChar(finding.token.at(1)));
            }
            ++token;
        }
        QVERIFY(token >= 3);
    }

    // Against the merge itself, on random templates: the first thing the
    // check finds that stops or ends the merge decides what the merge does
    // (fail, or end early leaving an "@"); when there is none, the merge
    // succeeds and, with values free of "@", leaves none.
    void agreesWithTheMerge()
    {
        const QList<QByteArray> pieces { "@1", "@2", "@3", "@4", "@0", "@", "@x", "@{\\b 1}",
            "@\\b0 2", " ", "text", "___", "\\par ", "{", "}", "{\\header @1}", "1", "\r\n", "@12",
            "\\'e9", "@01", "@1 2", "@5", ".." };
        const QList<QByteArray> values { "v", "", "x{y", "a\\par b", "a longer value", "q@r", "@2",
            "@1", "\\b on", "@3 and", "@5", "x@", "@3@2" };
        auto *random = QRandomGenerator::global();
        for (int round = 0; round < 3000; ++round) {
            QByteArray templateBytes = "{\\rtf1 ";
            for (int n = random->bounded(1, 12); n > 0; --n)
                templateBytes += pieces.at(random->bounded(pieces.size()));
            templateBytes += "\\par}";
            QByteArray info;
            for (int entry = 1; entry <= 3; ++entry)
                info += "H" + QByteArray::number(entry) + '\n'
                    + values.at(random->bounded(values.size())) + '\n';
            const bool overwrite = random->bounded(2) == 1;
            const auto lines = information(info);
            const auto findings = documents::checkTemplate(templateBytes, lines, { overwrite });
            const auto merged = documents::mergeTemplate(templateBytes, lines, overwrite);
            const QByteArray context
                = templateBytes + " / " + info + (overwrite ? " / overwrite" : "");
            const auto first = std::find_if(findings.begin(), findings.end(), [](const Finding &f) {
                return f.kind == FindingKind::TokenWithoutEntry
                    || f.kind == FindingKind::ValueRefersToItself
                    || f.kind == FindingKind::MergeEndsEarly || f.kind == FindingKind::SplitToken;
            });
            if (first == findings.end()) {
                QVERIFY2(merged.ok(), context.constData());
                QVERIFY2(info.contains('@') || !merged.text.contains('@'), context.constData());
            } else if (first->kind == FindingKind::MergeEndsEarly
                || first->kind == FindingKind::SplitToken) {
                QVERIFY2(merged.ok() && merged.text.contains('@'), context.constData());
            } else {
                QVERIFY2(!merged.ok(), context.constData());
            }
            QVERIFY2(merged.ok() || hasError(findings), context.constData());
        }
    }

    // Work that grows with the input and never more; any bytes give an answer.
    void boundedOnHostileInput_data()
    {
        QTest::addColumn<QByteArray>("templateBytes");
        QTest::newRow("deep groups around @") << "{\\rtf1 " + QByteArray("@{").repeated(200000);
        QTest::newRow("formatting after every @")
            << "{\\rtf1 " + QByteArray("@\\b\\i\\ul ").repeated(100000);
        QTest::newRow("a million digits") << "{\\rtf1 @" + QByteArray(1000000, '7') + '}';
        QTest::newRow("many tokens")
            << "{\\rtf1 " + QByteArray("@1____ @2.. ").repeated(100000) + '}';
        QTest::newRow("headers never closed") << QByteArray("{\\header @1 ").repeated(100000);
        QTest::newRow("binary data") << QByteArray("{\\rtf1 \\bin999999999 @1 @{");
    }
    void boundedOnHostileInput()
    {
        QFETCH(QByteArray, templateBytes);
        QElapsedTimer clock;
        clock.start();
        const auto findings = documents::checkTemplate(
            templateBytes, information("A\nlong value here\nB\nb\n"), { true });
        QVERIFY(!findings.empty());
        QVERIFY2(clock.elapsed() < 20000, qPrintable(QString::number(clock.elapsed())));
    }
};

QTEST_MAIN(TestTemplateCheck)
#include "tst_templatecheck.moc"
