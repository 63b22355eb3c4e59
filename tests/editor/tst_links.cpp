#include "editor/desktopopener.h"
#include "editor/richeditor.h"
#include "editor/urlscanner.h"
#include "editor/weblinks.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

namespace {

// Links as "start+length:type" so that a row states them in one string.
QString describe(const QList<urlscan::Link> &links)
{
    QStringList parts;
    for (const urlscan::Link &link : links)
        parts << QStringLiteral("%1+%2:%3").arg(link.start).arg(link.length).arg(link.type);
    return parts.join(u' ');
}

QString describe(QStringView text, const QList<weblinks::Link> &links)
{
    QStringList parts;
    for (const weblinks::Link &link : links)
        parts << text.sliced(link.start, link.length).toString() + u'=' + link.target;
    return parts.join(u' ');
}

// The screen-only formats the editor put on a paragraph, as
// "text:colour:underline".
QStringList shownLinks(const QTextBlock &block)
{
    QStringList shown;
    for (const QTextLayout::FormatRange &range : block.layout()->formats()) {
        if (!range.format.hasProperty(QTextFormat::ForegroundBrush))
            continue;
        shown << QStringLiteral("%1:%2:%3")
                     .arg(block.text().mid(range.start, range.length),
                          range.format.foreground().color().name(),
                          range.format.fontUnderline() ? QStringLiteral("u") : QStringLiteral("-"));
    }
    return shown;
}

// The middle of the character at `position`, in viewport coordinates.
QPoint pointAt(RichEditor &editor, int position)
{
    QTextCursor cursor(editor.document());
    cursor.setPosition(position);
    const QRect left = editor.cursorRect(cursor);
    cursor.setPosition(position + 1);
    const QRect right = editor.cursorRect(cursor);
    return QPoint((left.center().x() + right.center().x()) / 2, left.center().y());
}

struct OpenedUrls
{
    QList<QUrl> urls;
    OpenedUrls()
    {
        desktop::setOpener([this](const QUrl &url) {
            urls.append(url);
            return true;
        });
    }
    ~OpenedUrls() { desktop::setOpener({}); }
};

} // namespace

class TestLinks : public QObject
{
    Q_OBJECT

private slots:
    void scannerWords_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("links");
        // Entries: 0 e-mail, 1 http, 2 file, 3 mailto, 4 ftp, 5 https ...
        QTest::newRow("scheme, colon and one more character") << "go http:x now" << "3+6:1";
        QTest::newRow("scheme and colon alone") << "go http: now" << "";
        QTest::newRow("capitals compared in upper case") << "HTTP://X.ORG" << "0+12:1";
        QTest::newRow("first matching type wins") << "https:a" << "0+7:5";
        QTest::newRow("unknown scheme") << "xyz:abc" << "";
        QTest::newRow("hyphen and query end a word") << "http://a-b.org/?q" << "0+8:1";
        QTest::newRow("file word with drive and backslashes") << "file:c:\\dir\\a.txt"
                                                              << "0+17:2";
        QTest::newRow("e-mail a@b.c") << "to a@b.c." << "3+6:0";
        QTest::newRow("e-mail without a dot") << "a@b" << "0+3:0";
        QTest::newRow("at sign first") << "@b.c" << "";
        QTest::newRow("at sign last") << "ab@" << "";
        QTest::newRow("dot right after the at sign") << "a@.c" << "";
        QTest::newRow("scheme type before e-mail") << "mailto:a@b.c" << "0+12:3";
        QTest::newRow("several on a line") << "http:a ftp:b c@d.e" << "0+6:1 7+5:4 13+5:0";
        QTest::newRow("non-ASCII letters separate words") << "éhttp:xé" << "1+6:1";
    }
    void scannerWords()
    {
        QFETCH(QString, text);
        QFETCH(QString, links);
        QCOMPARE(describe(urlscan::scan(text, UrlTypeList::defaults())), links);
    }

    void typesAndRanges()
    {
        UrlTypeList types = UrlTypeList::defaults();
        // A link event looks the scheme up in lower case, exactly.
        QCOMPARE(urlscan::typeOfLinkText(u"HTTP:X", types), 1);
        QCOMPARE(urlscan::typeOfLinkText(u"a@b.c", types), 0);
        QCOMPARE(urlscan::typeOfLinkText(u":x", types), -1);
        QCOMPARE(urlscan::typeOfLinkText(u"@x", types), -1);
        QCOMPARE(urlscan::typeOfLinkText(u"zzz:x", types), -1);
        types.add(QStringLiteral("MyApp"), QColor(), true);
        QCOMPARE(describe(urlscan::scan(u"myapp:x", types)), QStringLiteral("0+7:12"));
        QCOMPARE(urlscan::typeOfLinkText(u"myapp:x", types), -1);
        // An empty list finds nothing, not even addresses.
        QVERIFY(urlscan::scan(u"http:x a@b.c", UrlTypeList()).isEmpty());

        const QString text = QStringLiteral("one http:a/b two");
        const TextRange inside = urlscan::widenToWords(text, TextRange{7, 8});
        QCOMPARE(inside.from, 4);
        QCOMPARE(inside.to, 12);
        const TextRange gap = urlscan::widenToWords(text, TextRange{3, 3});
        QCOMPARE(gap.from, 0); // "one" ends at 3: the word before is taken in
        QCOMPARE(gap.to, 3);
        const TextRange past = urlscan::widenToWords(text, TextRange{100, -5});
        QCOMPARE(past.from, 0);
        QCOMPARE(past.to, int(text.size()));
    }

    void defaultDetection_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("links");
        QTest::newRow("sentence end") << "See https://example.org/a?b=1&c=2#top."
                                      << "https://example.org/a?b=1&c=2#top=https://example.org/a?b=1&c=2#top";
        QTest::newRow("www gets http") << "at www.example.com, or" << "www.example.com=http://www.example.com";
        QTest::newRow("bracket around") << "(see http://x.org/a)" << "http://x.org/a=http://x.org/a";
        QTest::newRow("bracket inside") << "http://w.org/A_(b)." << "http://w.org/A_(b)=http://w.org/A_(b)";
        QTest::newRow("e-mail") << "mail jo.doe+x@mail.example.org!" << "jo.doe+x@mail.example.org=mailto:jo.doe+x@mail.example.org";
        QTest::newRow("mailto kept") << "mailto:a@b.org" << "mailto:a@b.org=mailto:a@b.org";
        QTest::newRow("scheme alone") << "http:// and www. and ftp://" << "";
        QTest::newRow("no domain ending") << "user@localhost www.x" << "";
        QTest::newRow("inside a word") << "xhttp://a.org foo@bar.c" << "";
        QTest::newRow("two") << "a@b.de ftp://f.org/x" << "a@b.de=mailto:a@b.de ftp://f.org/x=ftp://f.org/x";
    }
    void defaultDetection()
    {
        QFETCH(QString, text);
        QFETCH(QString, links);
        QCOMPARE(describe(text, weblinks::find(text)), links);
    }

    // Typing makes links on the screen; the document and its RTF never
    // carry the link formatting.
    void typingShowsLinksOnScreenOnly()
    {
        RichEditor editor;
        editor.resize(500, 200);
        editor.setAutoUrlDetect(AutoUrlDetect::Extended);
        editor.setUrlColor(QColor(0, 0, 255));
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        QTest::keyClicks(&editor, QStringLiteral("see http: and http:x or a@b.cd"));
        const QTextBlock block = editor.document()->firstBlock();
        QCOMPARE(shownLinks(block),
                 QStringList({"http:x:#0000ff:u", "a@b.cd:#0000ff:u"}));

        // Typing inside the link word rescans it: a space splits it.
        editor.setSelection(18, 0);
        QTest::keyClicks(&editor, QStringLiteral(" "));
        QCOMPARE(shownLinks(block), QStringList({"a@b.cd:#0000ff:u"}));
        QTest::keyClick(&editor, Qt::Key_Backspace);
        QCOMPARE(shownLinks(block).size(), 2);

        // A type of its own colour and no underline.
        editor.addUrlType(QStringLiteral("http"), QColor(200, 0, 0), false);
        QCOMPARE(shownLinks(block), QStringList({"http:x:#c80000:-", "a@b.cd:#0000ff:u"}));

        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            QVERIFY(!format.fontUnderline());
            QVERIFY(!format.hasProperty(QTextFormat::ForegroundBrush));
        }
        const QByteArray rtf = editor.bytes(OutputFormat::RTF);
        QVERIFY(!rtf.contains("\\ul"));
        QVERIFY(!rtf.contains("\\cf1"));
        QVERIFY(!rtf.contains("HYPERLINK"));

        // Switching the detection off takes the links away; default
        // detection shows its own.
        editor.setAutoUrlDetect(AutoUrlDetect::None);
        QVERIFY(shownLinks(block).isEmpty());
        editor.setAutoUrlDetect(AutoUrlDetect::Default);
        QCOMPARE(shownLinks(block), QStringList({"a@b.cd:#0000ff:u"}));
        // With no types the scanner does not run.
        editor.setAutoUrlDetect(AutoUrlDetect::Extended);
        editor.setCustomUrls(UrlTypeList());
        QVERIFY(shownLinks(block).isEmpty());
    }

    void hyperlinkFieldStaysALink()
    {
        RichEditor editor;
        editor.resize(500, 200);
        editor.loadBytes("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Go {\\field{\\*\\fldinst{HYPERLINK "
                         "\"https://example.org/x\"}}{\\fldrslt{here}}} now.\\par}",
                         InputFormat::RTF);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        QVERIFY(editor.bytes(OutputFormat::RTF).contains("HYPERLINK \"https://example.org/x\""));
        // In every mode, also with detection off, it reports its target.
        QCOMPARE(editor.autoUrlDetect(), AutoUrlDetect::None);
        QCOMPARE(editor.linkAt(pointAt(editor, 4)), QStringLiteral("https://example.org/x"));
        QCOMPARE(editor.linkAt(pointAt(editor, 1)), QString());
        QCOMPARE(editor.linkAt(pointAt(editor, 8)), QString());
    }

    void mouseSignalsAndCursor()
    {
        OpenedUrls opened;
        RichEditor editor;
        editor.resize(500, 200);
        editor.setAutoUrlDetect(AutoUrlDetect::Extended);
        editor.addUrlType(QStringLiteral("ftp"), QColor(), true, Qt::CrossCursor);
        editor.setPlainText(QStringLiteral("x http:abc y ftp:f telnet:t c@d.e"));
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        QSignalSpy moves(&editor, &RichEditor::urlMove);
        QSignalSpy clicks(&editor, &RichEditor::urlClick);

        QTest::mouseMove(editor.viewport(), pointAt(editor, 4));
        QCOMPARE(editor.viewport()->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(moves.size(), 1);
        QCOMPARE(moves.at(0).at(0).toString(), QStringLiteral("http:abc"));
        QTest::mouseMove(editor.viewport(), pointAt(editor, 14)); // the type's own cursor
        QCOMPARE(editor.viewport()->cursor().shape(), Qt::CrossCursor);
        QTest::mouseMove(editor.viewport(), pointAt(editor, 0));
        QCOMPARE(editor.viewport()->cursor().shape(), Qt::IBeamCursor);
        QCOMPARE(moves.size(), 2);

        QTest::mouseClick(editor.viewport(), Qt::LeftButton, {}, pointAt(editor, 5));
        QCOMPARE(clicks.size(), 1);
        QCOMPARE(clicks.at(0).at(0).toString(), QStringLiteral("http:abc"));
        QVERIFY(opened.urls.isEmpty()); // a plain click only reports

        // Ctrl+click opens what the desktop may open ...
        QTest::mouseClick(editor.viewport(), Qt::LeftButton, Qt::ControlModifier, pointAt(editor, 30));
        QCOMPARE(clicks.size(), 2);
        QCOMPARE(opened.urls, QList<QUrl>({QUrl(QStringLiteral("mailto:c@d.e"))}));
        // ... and a scheme outside http, https, mailto, file and ftp is
        // reported, not opened.
        QTest::mouseClick(editor.viewport(), Qt::LeftButton, Qt::ControlModifier, pointAt(editor, 20));
        QCOMPARE(clicks.size(), 3);
        QCOMPARE(clicks.at(2).at(0).toString(), QStringLiteral("telnet:t"));
        QCOMPARE(opened.urls.size(), 1);

        // A drag from plain text onto a link selects; it is no click.
        QTest::mousePress(editor.viewport(), Qt::LeftButton, {}, pointAt(editor, 0));
        QTest::mouseMove(editor.viewport(), pointAt(editor, 5));
        QTest::mouseRelease(editor.viewport(), Qt::LeftButton, {}, pointAt(editor, 5));
        QCOMPARE(clicks.size(), 3);
    }

    void openPolicy_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("result");
        const int opened = int(desktop::OpenResult::Opened);
        const int refused = int(desktop::OpenResult::Refused);
        const int failed = int(desktop::OpenResult::Failed);
        QTest::newRow("http") << "http://example.org" << opened;
        QTest::newRow("https") << "HTTPS://example.org" << opened;
        QTest::newRow("mailto") << "mailto:a@b.c" << opened;
        QTest::newRow("ftp") << "ftp://f.org/x" << opened;
        QTest::newRow("telnet") << "telnet:host" << refused;
        QTest::newRow("javascript") << "javascript:alert(1)" << refused;
        QTest::newRow("no scheme") << "a@b.c" << refused;
        QTest::newRow("missing file") << "file:///no/such/file.txt" << failed;
        QTest::newRow("program") << "file:///bin/sh" << refused;
        QTest::newRow("windows path") << "file:c:\\dir\\a.txt" << failed;
    }
    void openPolicy()
    {
        QFETCH(QString, target);
        QFETCH(int, result);
        OpenedUrls opened;
        QCOMPARE(int(desktop::openLink(target)), result);
        QCOMPARE(opened.urls.size(), result == int(desktop::OpenResult::Opened) ? 1 : 0);
    }

    void fileLinkToADocumentOpens()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("letter.txt"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QFile launcher(dir.filePath(QStringLiteral("x.desktop")));
        QVERIFY(launcher.open(QIODevice::WriteOnly));
        launcher.close();
        OpenedUrls opened;
        QCOMPARE(desktop::openLink(QUrl::fromLocalFile(path).toString()), desktop::OpenResult::Opened);
        QCOMPARE(desktop::openLink(QUrl::fromLocalFile(launcher.fileName()).toString()),
                 desktop::OpenResult::Refused);
        QCOMPARE(opened.urls, QList<QUrl>({QUrl::fromLocalFile(path)}));
    }

    // A load scans everything; typing scans the edited paragraph and
    // nothing else, however long the document.
    void scanStaysInTheEditedParagraph()
    {
        RichEditor editor;
        editor.resize(500, 300);
        editor.setAutoUrlDetect(AutoUrlDetect::Extended);
        QByteArray text;
        constexpr int paragraphs = 5000;
        for (int i = 0; i < paragraphs; ++i)
            text += "Line " + QByteArray::number(i) + " http:site/" + QByteArray::number(i) + " and mail u" + QByteArray::number(i) + "@host.org\n";
        editor.loadBytes(text, InputFormat::Text);
        QCOMPARE(editor.lastScanRange().from, 0);
        QCOMPARE(editor.lastScanRange().to, editor.textLength());
        // Showing links is no edit.
        QVERIFY(!editor.document()->isModified());
        QVERIFY(!editor.document()->isUndoAvailable());
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));

        const QTextBlock target = editor.document()->findBlockByNumber(2500);
        editor.setSelection(target.position() + 4, 0);
        QElapsedTimer timer;
        timer.start();
        QTest::keyClicks(&editor, QStringLiteral(" http:new"));
        const qint64 elapsed = timer.elapsed();
        const TextRange range = editor.lastScanRange();
        QCOMPARE(range.from, target.position());
        QCOMPARE(range.to, target.position() + target.length() - 1);
        QVERIFY2(elapsed < 2000, QByteArray::number(elapsed).constData());
        QCOMPARE(shownLinks(target).size(), 3);
        QCOMPARE(shownLinks(editor.document()->findBlockByNumber(10)).size(), 2);
        QCOMPARE(shownLinks(editor.document()->lastBlock().previous()).size(), 2);

        // Joining two paragraphs scans the joined one; a paste scans what
        // it brought.
        const QTextBlock next = target.next();
        editor.setSelection(next.position() - 1, 1);
        QTest::keyClick(&editor, Qt::Key_Delete);
        const QTextBlock joined = editor.document()->findBlockByNumber(2500);
        QCOMPARE(editor.lastScanRange().from, joined.position());
        QCOMPARE(editor.lastScanRange().to, joined.position() + joined.length() - 1);
        QCOMPARE(shownLinks(joined).size(), 5);

        editor.setSelection(0, 0);
        editor.setSelText(QStringLiteral("a http:1\nb http:2\nc "));
        QCOMPARE(editor.lastScanRange().from, 0);
        QCOMPARE(editor.lastScanRange().to, editor.document()->findBlockByNumber(2).position()
                                                + editor.document()->findBlockByNumber(2).length() - 1);
        QCOMPARE(shownLinks(editor.document()->firstBlock()), QStringList({"http:1:#0000ff:u"}));
    }
};

QTEST_MAIN(TestLinks)
#include "tst_links.moc"
