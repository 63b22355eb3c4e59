// The merge as the window's Do It and quorin-batch run it: golden cases from
// tests/data/merge/<case>/ (template.tem, information.inf, expected.rtf or
// expected-error.txt, and an `overwrite` marker for overwrite mode), and the
// value encoder that decides what reaches the RTF.
#include "documents/documentreader.h"
#include "documents/mergejob.h"
#include "richtext/codepage.h"
#include "richtext/documentio.h"
#include "testsupport.h"

#include <QDir>
#include <QTest>
#include <QTextDocument>

namespace {

assembly::InformationFile information(const QByteArray &bytes, int codePage)
{
    return assembly::InformationFile::fromBytes(
        bytes, [codePage](QByteArrayView raw) { return richtext::codepage::toUnicode(raw, codePage); });
}

// Depth of groups at the end, and whether it ever went below zero: a value
// or an overwrite that breaks the document shows here first.
bool bracesBalance(const QByteArray &rtf)
{
    int depth = 0;
    for (qsizetype i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\')
            ++i;
        else if (rtf[i] == '{')
            ++depth;
        else if (rtf[i] == '}' && --depth < 0)
            return false;
    }
    return depth == 0;
}

QString readBack(const QByteArray &rtf)
{
    QTextDocument document;
    documents::readDocument(document, rtf);
    return richtext::plainText(document);
}

} // namespace

class TestMergeJob : public QObject {
    Q_OBJECT

private slots:
    void goldenCases_data()
    {
        QTest::addColumn<QString>("folder");
        const QDir root(testsupport::dataPath(QStringLiteral("merge")));
        const QStringList cases = root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        QVERIFY(!cases.isEmpty());
        for (const QString &name : cases)
            QTest::newRow(qPrintable(name)) << root.filePath(name);
    }
    void goldenCases()
    {
        QFETCH(QString, folder);
        const QDir dir(folder);
        const QByteArray templateBytes = testsupport::readFile(dir.filePath(QStringLiteral("template.tem")));
        const auto lines = information(testsupport::readFile(dir.filePath(QStringLiteral("information.inf"))),
            documents::templateCodePage(templateBytes));
        const bool overwrite = dir.exists(QStringLiteral("overwrite"));
        const assembly::MergeResult result = documents::mergeTemplate(templateBytes, lines, overwrite);

        if (dir.exists(QStringLiteral("expected-error.txt"))) {
            QVERIFY(!result.ok());
            QCOMPARE(documents::oneLine(*result.failure),
                QString::fromUtf8(testsupport::readFile(dir.filePath(QStringLiteral("expected-error.txt")))).trimmed());
            return;
        }
        QVERIFY2(result.ok(), result.ok() ? "" : qPrintable(documents::oneLine(*result.failure)));
        QCOMPARE(result.text, testsupport::readFile(dir.filePath(QStringLiteral("expected.rtf"))));
        QVERIFY(!templateBytes.contains("{\\rtf") || bracesBalance(result.text));
    }

    void valueEncoder_data()
    {
        QTest::addColumn<int>("codePage");
        QTest::addColumn<bool>("rtf");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("bytes");
        const auto row = [](const char *name, int codePage, bool rtf, const char *value, const QByteArray &bytes) {
            QTest::newRow(name) << codePage << rtf << QString::fromUtf8(value) << bytes;
        };
        row("ascii", 1252, true, "Mrs Smith, 12 Main St", "Mrs Smith, 12 Main St");
        row("western letters as bytes", 1252, true, "Zo\u00eb \u20ac5", "Zo\xeb \x80" "5");
        row("letters 1252 lacks", 1252, true, "\u0141ukasz", "\\u321?ukasz");
        row("cyrillic in 1251", 1251, true, "\u0418\u0432\u0430\u043d", "\xc8\xe2\xe0\xed");
        row("western letter 1251 lacks", 1251, true, "\u00eb", "\\u235?");
        // 0x955C: a trail byte that is a backslash.
        row("cp932 never as bytes", 932, true, "\u8868", "\\u-30616?");
        row("cp936 never as bytes", 936, true, "\u4e2d\u6587", "\\u20013?\\u25991?");
        row("braces escaped for rtf", 1252, true, "Smith }} {Jnr", "Smith \\}\\} \\{Jnr");
        row("stray backslash escaped", 1252, true, "back\\slash", "back\\\\slash");
        row("control word kept, delimited", 1252, true, "\\b bold\\b0", "\\b bold\\b0 ");
        row("nothing escaped for text", 1252, false, "a}b\\c", "a}b\\c");
    }
    void valueEncoder()
    {
        QFETCH(int, codePage);
        QFETCH(bool, rtf);
        QFETCH(QString, value);
        QFETCH(QByteArray, bytes);
        QCOMPARE(documents::valueEncoderFor(codePage, rtf)(value), bytes);
    }

    void templateCodePage_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("codePage");
        QTest::newRow("header") << QByteArray("{\\rtf1\\ansi\\ansicpg1251\\deff0 text}") << 1251;
        QTest::newRow("after the font table")
            << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\ansicpg932 text}") << 932;
        QTest::newRow("byte-order mark") << QByteArray("\xef\xbb\xbf{\\rtf1\\ansicpg1250 x}") << 1250;
        QTest::newRow("none") << QByteArray("{\\rtf1\\ansi\\deff0 text}") << 1252;
        QTest::newRow("in the text, not the header")
            << QByteArray("{\\rtf1\\ansi Write \\\\ansicpg932 like this}") << 1252;
        QTest::newRow("inside a group") << QByteArray("{\\rtf1{\\*\\x\\ansicpg932} text}") << 1252;
        QTest::newRow("plain text") << QByteArray("\\ansicpg932") << 1252;
    }
    void templateCodePage()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, codePage);
        QCOMPARE(documents::templateCodePage(bytes), codePage);
    }

    // The finished document reads back with the values as they were typed,
    // whatever their bytes in the template's code page.
    void valuesReadBack_data()
    {
        QTest::addColumn<QByteArray>("templateBytes");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("overwrite");
        const QByteArray cp932 = "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fcharset128 MS Mincho;}}"
                                 "\\f0 Name: @1______\\par End\\par}";
        // Every character here has 0x5C as its trail byte in cp932.
        QTest::newRow("cp932 insert") << cp932 << QStringLiteral("\u8868\u793a\u30bd\u80fd") << false;
        QTest::newRow("cp932 overwrite") << cp932 << QStringLiteral("\u8868\u793a") << true;
    }
    void valuesReadBack()
    {
        QFETCH(QByteArray, templateBytes);
        QFETCH(QString, value);
        QFETCH(bool, overwrite);
        const assembly::InformationFile lines(QStringList { QStringLiteral("Name"), value });
        const assembly::MergeResult result = documents::mergeTemplate(templateBytes, lines, overwrite);
        QVERIFY(result.ok());
        const QString text = readBack(result.text);
        QVERIFY2(text.startsWith(QStringLiteral("Name: ") + value), qPrintable(text));
        QVERIFY2(text.endsWith(QStringLiteral("\nEnd")), qPrintable(text));
    }

    void oneLine()
    {
        QCOMPARE(documents::oneLine(assembly::messages::valueNotInInformationFile()),
            QStringLiteral("Your TEMPLATE file contains a value that is not in the INFORMATION file. "
                           "Please correct the error before proceeding"));
    }
};

QTEST_MAIN(TestMergeJob)
#include "tst_mergejob.moc"
