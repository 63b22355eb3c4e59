// Real RTF files from other programs: each loads in bounded time, and the
// plain-text reading agrees with the text of the document built from it.

#include "rtfreadertesting.h"
#include "testsupport.h"
#include "richtext/textproperties.h"

#include <QAbstractTextDocumentLayout>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTest>

using namespace richtext;
using namespace readertest;

namespace {

// The reader's text, compared modulo layout: white space of any kind
// (paragraph ends, cell separators, line and page breaks) is one space.
QString normalized(const QString &text)
{
    QString out;
    out.reserve(text.size());
    bool space = false;
    for (QChar c : text) {
        if (c == QChar::ObjectReplacementCharacter)
            continue;
        if (c.isSpace() || c == u'\f' || c == QChar::LineSeparator) {
            space = true;
            continue;
        }
        if (space && !out.isEmpty())
            out.append(u' ');
        space = false;
        out.append(c);
    }
    return out;
}

// The document's text in reading order, without hidden text.
QString visibleText(const QTextDocument &doc)
{
    QString out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (!f.charFormat().boolProperty(prop::Hidden))
                out += f.text();
        }
        out += u'\n';
    }
    return out;
}

} // namespace

class TestCorpus : public QObject
{
    Q_OBJECT

private slots:
    void everyFile_data()
    {
        testsupport::addCorpusRows();
    }

    void everyFile()
    {
        QFETCH(QString, path);
        if (path.isEmpty())
            QSKIP("The RTF corpus folder is not there; nothing to check.");
        const QByteArray data = testsupport::readFile(path);

        QElapsedTimer timer;
        timer.start();
        QTextDocument doc;
        doc.setUndoRedoEnabled(false);
        QTextCursor cursor(&doc);
        if (isRtf(data))
            QVERIFY(insertRtf(cursor, data));
        else
            insertPlainText(cursor, data, 1252);
        doc.setTextWidth(600);
        doc.documentLayout()->documentSize();
        const qint64 built = timer.restart();
        const QString plain = rtfToPlainText(data);
        const qint64 read = timer.elapsed();
        if (built + read > 2000)
            qWarning("%s took %lld ms to build and %lld ms to read as text", qPrintable(path), built, read);
        QVERIFY2(built + read < 10000, qPrintable(QStringLiteral("%1 ms").arg(built + read)));

        QCOMPARE(normalized(visibleText(doc)), normalized(plain));
    }

    void knownContent_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("expected");
        QTest::newRow("cp932 hex pairs") << "rtfparserkit__testmultibytehex.rtf"
                                         << QStringLiteral("\u304a\u5143\u6c17\u3067\u3059\u304b\uff1f");
        QTest::newRow("unicode") << "striprtf__unicode.rtf" << QStringLiteral("\u67d4\u9053");
        QTest::newRow("cp1251 bytes") << "striprtf__bytes.rtf" << QString();
        QTest::newRow("text after an early close") << "rtfparser-rs__file-sample_100kb.rtf"
                                                   << QStringLiteral("Maecenas non lorem quis tellus");
        QTest::newRow("bin in a skipped group") << "libreoffice__bin-skipping.rtf" << QStringLiteral("text");
        QTest::newRow("surrogate pair") << "rtfde__surrogate_pairs.rtf" << QString::fromUtf8("\xF0\x9F\x98\x8A");
    }

    void knownContent()
    {
        QFETCH(QString, file);
        QFETCH(QString, expected);
        const QString path = testsupport::corpusDir() + u'/' + file;
        if (!QFileInfo::exists(path))
            QSKIP("The RTF corpus folder is not there; nothing to check.");
        const QString text = rtfToPlainText(testsupport::readFile(path));
        if (expected.isEmpty()) {
            // Cyrillic text, not mojibake: most letters are in U+0400..U+04FF.
            int cyrillic = 0, latinHigh = 0;
            for (QChar c : text) {
                cyrillic += c.unicode() >= 0x400 && c.unicode() < 0x500;
                latinHigh += c.unicode() >= 0xC0 && c.unicode() < 0x100;
            }
            QVERIFY2(cyrillic > 100 && latinHigh == 0, qPrintable(text.left(200)));
            return;
        }
        QVERIFY2(text.contains(expected), qPrintable(text.left(400)));
        QVERIFY(!text.contains(QStringLiteral("MUST NOT IMPORT")));
    }
};

QTEST_MAIN(TestCorpus)
#include "tst_corpus.moc"
