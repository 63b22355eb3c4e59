#include "assembly/informationfile.h"
#include "documents/documentreader.h"
#include "documents/mergejob.h"
#include "documents/pdfexport.h"
#include "editor/desktopopener.h"
#include "editor/editorerror.h"
#include "editor/embeddedobject.h"
#include "editor/insertobjectdialog.h"
#include "editor/objectverbs.h"
#include "editor/richeditor.h"
#include "richtext/oleobject.h"
#include "richtext/textkinds.h"
#include "richtext/textproperties.h"

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QMimeData>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

#include <cstdio>

using richtext::ole::Object;

namespace {

QString writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray pngOf(QSize size, QColor color)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// The image formats of the objects (and pictures) in a document, in order.
QList<QTextImageFormat> imagesOf(const QTextDocument &document)
{
    QList<QTextImageFormat> images;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isImageFormat())
                images.append(format.toImageFormat());
        }
    }
    return images;
}

QImage faceOf(const QTextDocument &document, const QTextImageFormat &format)
{
    const QVariant resource = document.resource(QTextDocument::ImageResource, QUrl(format.name()));
    if (resource.typeId() == QMetaType::QByteArray)
        return QImage::fromData(resource.toByteArray());
    return resource.value<QImage>();
}

QByteArray objectData(const QTextFormat &format)
{
    return format.property(richtext::prop::ObjectData).toByteArray();
}

// The hex digits of every \objdata group, in order.
QList<QByteArray> objdataGroups(const QByteArray &rtf)
{
    QList<QByteArray> groups;
    for (qsizetype at = rtf.indexOf("{\\*\\objdata"); at >= 0;
         at = rtf.indexOf("{\\*\\objdata", at + 1)) {
        const qsizetype end = rtf.indexOf('}', at);
        groups.append(rtf.mid(at, end - at));
    }
    return groups;
}

// Pixels of a colour close to `color` in a PNG page.
int pixelsLike(const QImage &page, QColor color)
{
    int count = 0;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            const QColor c = page.pixelColor(x, y);
            if (qAbs(c.red() - color.red()) < 40 && qAbs(c.green() - color.green()) < 40
                && qAbs(c.blue() - color.blue()) < 40)
                ++count;
        }
    }
    return count;
}

// The first page of a PDF as a picture, through pdftoppm; null without it.
QImage firstPage(const QString &pdf, int dpi = 50)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (tool.isEmpty())
        return {};
    const QString prefix = pdf + QLatin1String(".page");
    QProcess::execute(tool, {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-png"),
                             QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                             QStringLiteral("1"), QStringLiteral("-singlefile"), pdf, prefix});
    return QImage(prefix + QLatin1String(".png"));
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

class TestObjects : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_red;   // a 120 x 80 red PNG
    QString m_notes; // a text file

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_red = writeFile(m_dir.filePath(QStringLiteral("red.png")), pngOf({120, 80}, Qt::red));
        m_notes = writeFile(m_dir.filePath(QStringLiteral("notes.txt")), "meeting at ten\n");
    }

    void codecRoundTrip_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("contents");
        QTest::newRow("embedded") << 0 << "/home/a/report.pdf" << QByteArray("%PDF-1.4 ...", 12);
        QTest::newRow("empty file") << 0 << "/tmp/empty" << QByteArray();
        QTest::newRow("binary with NULs") << 0 << "/x/b.bin" << QByteArray("\0\1\2\0\xff", 5);
        QTest::newRow("non-ASCII name") << 0 << "/home/ü/Übersicht €.ods" << QByteArray("PK");
        QTest::newRow("at sign in name") << 0 << "/srv/x@1 and @22.txt" << QByteArray("a@1");
        QTest::newRow("linked") << 1 << "/home/a/big video.mkv" << QByteArray();
        QTest::newRow("linked non-ASCII") << 1 << "/home/é/ñ.odt" << QByteArray();
    }
    void codecRoundTrip()
    {
        QFETCH(int, kind);
        QFETCH(QString, path);
        QFETCH(QByteArray, contents);
        const Object object =
            richtext::ole::fromFile(path, contents, kind ? Object::Kind::Linked : Object::Kind::Embedded);
        const QByteArray data = richtext::ole::encode(object);
        QVERIFY(!data.contains('@') || contents.contains('@') || path.contains(u'@'));
        const std::optional<Object> back = richtext::ole::decode(data);
        QVERIFY(back);
        QCOMPARE(back->kind, object.kind);
        QCOMPARE(back->className, QStringLiteral("Package"));
        QCOMPARE(back->sourcePath, path);
        QCOMPARE(back->label, QFileInfo(path).fileName());
        QCOMPARE(back->contents, kind ? QByteArray() : contents);
    }

    // Streams that claim more than they hold, or are cut short, are
    // refused; a well-formed object of another class is read as it is.
    void damagedData()
    {
        const QByteArray good = richtext::ole::encode(
            richtext::ole::fromFile(QStringLiteral("/a/b.txt"), QByteArray(300, 'x'), Object::Kind::Embedded));
        QVERIFY(richtext::ole::decode(good));
        // Every cut inside the header or the native data.
        const qsizetype trailer = 8; // the empty presentation after the data
        for (qsizetype n = 0; n < good.size() - trailer; ++n)
            QVERIFY2(!richtext::ole::decode(good.left(n)), QByteArray::number(n).constData());

        // Native data larger than what follows it.
        QByteArray larger = good;
        const qsizetype sizeAt = 4 + 4 + (4 + 8) + 4 + 4;
        larger[sizeAt + 1] = char(larger[sizeAt + 1] + 16);
        QVERIFY(!richtext::ole::decode(larger));
        // The file inside the package larger than the package.
        QByteArray inner = good;
        const qsizetype fileSizeAt = inner.indexOf(QByteArray(300, 'x')) - 4;
        inner[fileSizeAt + 2] = 1;
        QVERIFY(!richtext::ole::decode(inner));
        // An unknown format, a class name without its end, a huge name.
        QByteArray format = good;
        format[4] = 7;
        QVERIFY(!richtext::ole::decode(format));
        QByteArray unterminated = good;
        unterminated[8 + 4 + 7] = 'X';
        QVERIFY(!richtext::ole::decode(unterminated));
        QVERIFY(!richtext::ole::decode(QByteArray("\x01\x05\0\0\x02\0\0\0\xff\xff\xff\x7f", 12)));

        // A link made by the packager inside an embedded package stays a
        // link, and reads the same after being written again.
        const auto le32 = [](quint32 v) { return QByteArray(reinterpret_cast<const char *>(&v), 4); };
        const QByteArray native = QByteArray("\x02\0label\0/x/a.txt\0\0\0\x01\0/x/a.txt\0", 30);
        const QByteArray packagedLink = le32(0x501) + le32(2) + le32(8) + QByteArray("Package", 8)
                                        + le32(0) + le32(0) + le32(native.size()) + native;
        const std::optional<Object> link = richtext::ole::decode(packagedLink);
        QVERIFY(link);
        QCOMPARE(link->kind, Object::Kind::Linked);
        QCOMPARE(link->sourcePath, QStringLiteral("/x/a.txt"));
        QCOMPARE(richtext::ole::decode(richtext::ole::encode(*link)), link);

        Object sheet;
        sheet.className = QStringLiteral("Excel.Sheet.8");
        sheet.contents = QByteArray("\xd0\xcf\x11\xe0 compound file", 20);
        const std::optional<Object> read = richtext::ole::decode(richtext::ole::encode(sheet));
        QVERIFY(read);
        QCOMPARE(read->className, sheet.className);
        QCOMPARE(read->contents, sheet.contents);
        QVERIFY(objectverbs::verbsOf(*read).isEmpty()); // its program is not ours to run
    }

    void insertShowsPictureOrIcon()
    {
        RichEditor editor;
        editor.setIncludeOle(true);
        editor.setPlainText(QStringLiteral("ab"));
        editor.setSelection(1, 0);
        editor.insertObject({ObjectCreateInfo::Kind::FromFile, false, m_red});
        editor.insertObject({ObjectCreateInfo::Kind::FromFile, false, m_notes});
        editor.insertObject({ObjectCreateInfo::Kind::FromFile, true, m_red});
        QCOMPARE(editor.textLength(), 5);
        const QList<QTextImageFormat> images = imagesOf(*editor.document());
        QCOMPARE(images.size(), 3);

        // A picture inline at its own size, showing its pixels.
        QCOMPARE(QSizeF(images[0].width(), images[0].height()), QSizeF(120, 80));
        QCOMPARE(faceOf(*editor.document(), images[0]).pixelColor(60, 40), QColor(Qt::red));
        QCOMPARE(images[0].stringProperty(richtext::prop::ObjectFileName), QStringLiteral("red.png"));
        QCOMPARE(richtext::ole::decode(objectData(images[0]))->contents, readAll(m_red));

        // Any other file, and a picture asked for as an icon: an icon with
        // the file's name under it.
        for (int i : {1, 2}) {
            const QImage face = faceOf(*editor.document(), images[i]);
            QVERIFY(images[i].height() < 80 && images[i].height() > 40);
            QVERIFY(!face.isNull());
            QVERIFY(pixelsLike(face, Qt::red) < face.width() * face.height() / 10);
        }
        QCOMPARE(images[1].stringProperty(richtext::prop::ObjectFileName), QStringLiteral("notes.txt"));

        // The last inserted is the remembered object, with its verbs.
        QCOMPARE(editor.verbNames(), QStringList({"&Open", "Save copy &as..."}));
        QVERIFY(!editor.objectSelected());
        editor.setSelection(2, 1);
        QVERIFY(editor.objectSelected());
        editor.setSelection(2, 2);
        QVERIFY(!editor.objectSelected());

        // One undo step per object; a missing file inserts nothing.
        editor.undo();
        QCOMPARE(editor.textLength(), 4);
        const QByteArray before = editor.bytes(OutputFormat::RTF);
        QVERIFY_THROWS_EXCEPTION(EditorError, editor.insertObject({ObjectCreateInfo::Kind::FromFile, false,
                                                                  m_dir.filePath(QStringLiteral("missing"))}));
        QVERIFY_THROWS_EXCEPTION(EditorError, editor.insertObject({ObjectCreateInfo::Kind::FromFile, false,
                                                                  m_dir.path()}));
        QCOMPARE(editor.bytes(OutputFormat::RTF), before);

        // A file too large to embed is refused; linking to it is fine.
        QFile huge(m_dir.filePath(QStringLiteral("huge.bin")));
        QVERIFY(huge.open(QIODevice::WriteOnly));
        QVERIFY(huge.resize(embeddedobject::maxEmbeddedSize + 1)); // sparse: no real 64 MB
        huge.close();
        QVERIFY_THROWS_EXCEPTION(EditorError, editor.insertObject({ObjectCreateInfo::Kind::FromFile, false,
                                                                  huge.fileName()}));
        QCOMPARE(editor.bytes(OutputFormat::RTF), before);
        editor.insertObject({ObjectCreateInfo::Kind::LinkToFile, false, huge.fileName()});
        QCOMPARE(embeddedobject::objectOf(imagesOf(*editor.document()).last())->kind, Object::Kind::Linked);
    }

    void savedAndLoadedAsRtf()
    {
        RichEditor editor;
        editor.setIncludeOle(true);
        editor.setPlainText(QStringLiteral("Picture  and file  and link ."));
        editor.setSelection(8, 0);
        editor.insertObject({ObjectCreateInfo::Kind::FromFile, false, m_red});
        editor.setSelection(19, 0);
        editor.insertObject({ObjectCreateInfo::Kind::FromFile, false, m_notes});
        editor.setSelection(30, 0);
        editor.insertObject({ObjectCreateInfo::Kind::LinkToFile, true, m_notes});
        const QList<QTextImageFormat> inserted = imagesOf(*editor.document());
        const QByteArray rtf = editor.bytes(OutputFormat::RTF);

        QCOMPARE(rtf.count("{\\object\\objemb"), 2);
        QCOMPARE(rtf.count("{\\object\\objlink"), 1);
        QCOMPARE(rtf.count("{\\*\\objclass Package}"), 3);
        QVERIFY(rtf.contains("{\\object\\objemb\\objw1800\\objh1200{\\*\\objclass Package}"
                             "{\\*\\objname red.png}{\\*\\objdata"));
        QCOMPARE(rtf.count("{\\result{\\pict\\pngblip"), 3);
        QCOMPARE(objdataGroups(rtf).size(), 3);
        // Without objects, nothing of them.
        QVERIFY(!editor.bytes(OutputFormat::RTFNoObjs).contains("\\object"));
        QCOMPARE(editor.bytes(OutputFormat::Textized),
                 QByteArray("Picture red.png and file notes.txt and link notes.txt."));

        RichEditor loaded;
        loaded.setIncludeOle(true);
        loaded.loadBytes(rtf, InputFormat::RTF);
        QCOMPARE(loaded.toPlainText().size(), editor.toPlainText().size());
        const QList<QTextImageFormat> read = imagesOf(*loaded.document());
        QCOMPARE(read.size(), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(objectData(read[i]), objectData(inserted[i]));
            QCOMPARE(read[i].stringProperty(richtext::prop::ObjectFileName),
                     inserted[i].stringProperty(richtext::prop::ObjectFileName));
            QCOMPARE(qRound(read[i].width()), qRound(inserted[i].width()));
            QCOMPARE(qRound(read[i].height()), qRound(inserted[i].height()));
        }
        QCOMPARE(faceOf(*loaded.document(), read[0]).pixelColor(10, 10), QColor(Qt::red));
        const std::optional<Object> link = embeddedobject::objectOf(read[2]);
        QVERIFY(link);
        QCOMPARE(link->kind, Object::Kind::Linked);
        QCOMPARE(link->sourcePath, QFileInfo(m_notes).absoluteFilePath());
        // Read and written again, the same bytes.
        QCOMPARE(loaded.bytes(OutputFormat::RTF), rtf);

        // The object keeps its data when another program left out the
        // result picture: our picture objects still show their picture.
        QByteArray noResult = rtf;
        for (qsizetype at; (at = noResult.indexOf("{\\result")) >= 0;) {
            int depth = 0;
            qsizetype end = at;
            do {
                depth += noResult[end] == '{' ? 1 : noResult[end] == '}' ? -1 : 0;
                ++end;
            } while (depth > 0);
            noResult.remove(at, end - at);
        }
        RichEditor bare;
        bare.loadBytes(noResult, InputFormat::RTF);
        const QList<QTextImageFormat> bareImages = imagesOf(*bare.document());
        QCOMPARE(bareImages.size(), 3);
        QCOMPARE(faceOf(*bare.document(), bareImages[0]).pixelColor(10, 10), QColor(Qt::red));
        QCOMPARE(objectData(bareImages[1]), objectData(inserted[1]));
    }

    // A damaged object loads as a framed placeholder and keeps its bytes.
    void damagedObjectLoadsAsPlaceholder_data()
    {
        QTest::addColumn<int>("damage");
        QTest::newRow("native data larger than the stream") << 0;
        QTest::newRow("cut short") << 1;
        QTest::newRow("not an object stream") << 2;
        QTest::newRow("no result picture") << 3;
    }
    void damagedObjectLoadsAsPlaceholder()
    {
        QFETCH(int, damage);
        QByteArray data = richtext::ole::encode(
            richtext::ole::fromFile(m_notes, "text", Object::Kind::Embedded));
        if (damage == 0)
            data[4 + 4 + 12 + 4 + 4 + 2] = 0x40;
        else if (damage == 1)
            data.chop(20);
        else
            data = "just some bytes";
        const QByteArray result = damage == 3 ? QByteArray()
                                              : "{\\result{\\pict\\pngblip\\picwgoal900\\pichgoal600 "
                                                    + pngOf({60, 40}, Qt::red).toHex() + "}}";
        const QByteArray rtf = "{\\rtf1\\ansi A{\\object\\objemb\\objw900\\objh600{\\*\\objdata "
                               + data.toHex() + "}" + result + "}B\\par}";
        RichEditor editor;
        editor.setIncludeOle(true);
        editor.loadBytes(rtf, InputFormat::RTF);
        QCOMPARE(editor.toPlainText().size(), 3);
        const QList<QTextImageFormat> images = imagesOf(*editor.document());
        QCOMPARE(images.size(), 1);
        QVERIFY(embeddedobject::isObject(images[0]));
        QVERIFY(!embeddedobject::objectOf(images[0]));
        QCOMPARE(objectData(images[0]), data);
        const QImage face = faceOf(*editor.document(), images[0]);
        QCOMPARE(pixelsLike(face, Qt::red), 0); // not the result picture
        QCOMPARE(QSizeF(images[0].width(), images[0].height()), QSizeF(60, 40));
        // No verbs to run; written back with the same bytes.
        editor.setSelection(1, 1);
        QVERIFY(editor.objectSelected());
        QVERIFY(!editor.verbMenu());
        const QByteArray rtfOut = editor.bytes(OutputFormat::RTF);
        const QList<QByteArray> written = objdataGroups(rtfOut);
        QCOMPARE(written.size(), 1);
        QCOMPARE(QByteArray::fromHex(written[0].mid(11)), data);
        // The result picture goes back as it came, for other programs; the
        // placeholder never becomes one.
        if (damage == 3)
            QVERIFY(!rtfOut.contains("\\result"));
        else
            QVERIFY(QByteArray(rtfOut).replace("\r\n", "").contains(pngOf({60, 40}, Qt::red).toHex()));
        RichEditor again;
        again.loadBytes(editor.bytes(OutputFormat::RTF), InputFormat::RTF);
        QCOMPARE(objectData(imagesOf(*again.document()).value(0)), data);
    }

    // The merge replaces tokens around an object and leaves the object
    // alone, even when its file name holds "@1".
    void objectSurvivesTheMerge()
    {
        const QString tricky = writeFile(m_dir.filePath(QStringLiteral("notes@1.txt")), "@2 inside");
        RichEditor editor;
        editor.setIncludeOle(true);
        editor.setPlainText(QStringLiteral("Dear @1,\nsee  and  for @2.\n"));
        editor.setSelection(13, 0);
        editor.insertObject({ObjectCreateInfo::Kind::FromFile, false, m_red});
        editor.setSelection(19, 0);
        editor.insertObject({ObjectCreateInfo::Kind::FromFile, false, tricky});
        const QByteArray templateRtf = editor.bytes(OutputFormat::RTF);
        QVERIFY(templateRtf.contains("{\\*\\objname notes\\'401.txt}"));

        const assembly::InformationFile info(QStringList{"Name", "Alice", "Topic", "the plan"});
        const assembly::MergeResult merged = documents::mergeTemplate(templateRtf, info, false);
        QVERIFY2(!merged.failure, qPrintable(merged.detail));
        QCOMPARE(merged.replacements, 2);
        QCOMPARE(objdataGroups(merged.text), objdataGroups(templateRtf));

        QTextDocument document;
        documents::readDocument(document, merged.text);
        QVERIFY(document.toPlainText().startsWith(QStringLiteral("Dear Alice,")));
        QVERIFY(document.toPlainText().contains(QStringLiteral("for the plan.")));
        const QList<QTextImageFormat> images = imagesOf(document);
        QCOMPARE(images.size(), 2);
        QCOMPARE(images[1].stringProperty(richtext::prop::ObjectFileName), QStringLiteral("notes@1.txt"));
        QCOMPARE(embeddedobject::objectOf(images[1])->contents, QByteArray("@2 inside"));
    }

    // Objects print as they are shown: the picture and the icon.
    void printedAsShown()
    {
        RichEditor editor;
        editor.setIncludeOle(true);
        editor.setPlainText(QStringLiteral("Printed: "));
        editor.setSelection(9, 0);
        editor.insertObject({ObjectCreateInfo::Kind::FromFile, false, m_red});
        QTextDocument document;
        documents::readDocument(document, editor.bytes(OutputFormat::RTF));
        const QString pdf = m_dir.filePath(QStringLiteral("printed.pdf"));
        writeFile(pdf, documents::exportPdf(document));
        const QImage page = firstPage(pdf);
        if (page.isNull())
            QSKIP("pdftoppm is not installed: the printed page was not looked at");
        // 120 x 80 px at 96 dpi is 62 x 42 px at 50 dpi.
        const int red = pixelsLike(page, Qt::red);
        QVERIFY2(red > 2000 && red < 3000, QByteArray::number(red).constData());
    }

    // Another word processor shows at least the picture.
    void libreOfficeShowsThePicture()
    {
        const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
        if (soffice.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
            QSKIP("LibreOffice (soffice) or pdftoppm is not installed: not opened in another word processor");
        RichEditor editor;
        editor.setIncludeOle(true);
        editor.setPlainText(QStringLiteral("Before  after."));
        editor.setSelection(7, 0);
        editor.insertObject({ObjectCreateInfo::Kind::FromFile, false, m_red});
        const QString rtf = writeFile(m_dir.filePath(QStringLiteral("other.rtf")), editor.bytes(OutputFormat::RTF));
        QTemporaryDir profile;
        QProcess office;
        office.start(soffice, {QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profile.path()).toString(),
                               QStringLiteral("--headless"), QStringLiteral("--convert-to"), QStringLiteral("pdf"),
                               QStringLiteral("--outdir"), m_dir.path(), rtf});
        QVERIFY(office.waitForFinished(180000));
        const QImage page = firstPage(m_dir.filePath(QStringLiteral("other.pdf")));
        QVERIFY(!page.isNull());
        const int red = pixelsLike(page, Qt::red);
        QVERIFY2(red > 2000 && red < 3000, QByteArray::number(red).constData());
    }

    void verbs()
    {
        OpenedUrls opened;
        RichEditor editor;
        editor.setIncludeOle(true);
        editor.doVerb(0); // nothing remembered: nothing happens
        QVERIFY(opened.urls.isEmpty());
        editor.insertObject({ObjectCreateInfo::Kind::FromFile, false, m_notes});

        editor.doVerb(0);
        QCOMPARE(opened.urls.size(), 1);
        const QString copy = opened.urls.at(0).toLocalFile();
        QVERIFY(copy.startsWith(desktop::privateFolder() + u'/'));
        QCOMPARE(QFileInfo(copy).fileName(), QStringLiteral("notes.txt"));
        QFile file(copy);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("meeting at ten\n"));
        QCOMPARE(file.permissions() & ~(QFile::ReadUser | QFile::WriteUser),
                 QFile::ReadOwner | QFile::WriteOwner);
        // Nobody but this user gets into the private folder.
        const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup
                                          | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
        QCOMPARE(QFileInfo(desktop::privateFolder()).permissions() & others, QFile::Permissions());
        // Two opens: two copies, neither overwriting the other.
        editor.doVerb(int(0xFFFF0000));
        editor.doVerb(objectverbs::OpenVerb);
        QCOMPARE(opened.urls.size(), 3);
        QVERIFY(opened.urls.at(1) != opened.urls.at(0));

        const QString saved = m_dir.filePath(QStringLiteral("copy.txt"));
        QString suggested;
        editor.setSaveCopyChooser([&](QWidget *, const QString &name) {
            suggested = name;
            return saved;
        });
        editor.doVerb(1);
        QCOMPARE(suggested, QStringLiteral("notes.txt"));
        QFile savedFile(saved);
        QVERIFY(savedFile.open(QIODevice::ReadOnly));
        QCOMPARE(savedFile.readAll(), QByteArray("meeting at ten\n"));
        QVERIFY_THROWS_EXCEPTION(EditorError, editor.doVerb(2));
        try {
            editor.doVerb(5);
        } catch (const EditorError &error) {
            QCOMPARE(error.message(), QStringLiteral("Invalid Verb"));
        }

        // A linked object opens the file itself.
        editor.insertObject({ObjectCreateInfo::Kind::LinkToFile, false, m_red});
        editor.doVerb(0);
        QCOMPARE(opened.urls.last(), QUrl::fromLocalFile(QFileInfo(m_red).absoluteFilePath()));

        // The verb menu of the selected object; Open is its default item.
        editor.setSelection(0, 1);
        QMenu *menu = editor.verbMenu();
        QVERIFY(menu);
        QCOMPARE(menu->actions().size(), 2);
        QCOMPARE(menu->defaultAction()->text(), QStringLiteral("&Open"));
        QCOMPARE(editor.verbMenu(), menu); // the same object: the same menu
        menu->actions().at(0)->trigger();
        QCOMPARE(opened.urls.last().toLocalFile().section(u'/', -1), QStringLiteral("notes.txt"));
        editor.setSelection(1, 1);
        QVERIFY(editor.verbMenu() != nullptr);
        editor.setSelection(0, 0);
        QVERIFY(!editor.verbMenu());

        // Closing, deleting and clearing forget the remembered object.
        const qsizetype count = opened.urls.size();
        editor.closeObjects();
        QVERIFY(editor.verbNames().isEmpty());
        editor.doVerb(0);
        editor.setSelection(0, 1);
        QVERIFY(editor.verbMenu());
        editor.textCursor().removeSelectedText();
        editor.doVerb(0);
        QCOMPARE(opened.urls.size(), count);

        // Without object support no dialog and no verbs.
        RichEditor plain;
        bool asked = false;
        plain.setObjectChooser([&](QWidget *) {
            asked = true;
            return std::optional<ObjectCreateInfo>();
        });
        QVERIFY(!plain.insertObjectDialog());
        QVERIFY(!asked);
        plain.setIncludeOle(true);
        QVERIFY(!plain.insertObjectDialog()); // cancelled
        QVERIFY(asked);
        plain.setObjectChooser([&](QWidget *) {
            return std::optional<ObjectCreateInfo>({ObjectCreateInfo::Kind::FromFile, false, m_red});
        });
        QVERIFY(plain.insertObjectDialog());
        QCOMPARE(imagesOf(*plain.document()).size(), 1);
    }

    // Files dropped or pasted from a file manager become objects; with Ctrl
    // and Shift held at the drop they are linked.
    void filesDroppedOrPasted()
    {
        RichEditor editor;
        editor.setIncludeOle(true);
        editor.resize(400, 200);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        QMimeData files;
        files.setUrls({QUrl::fromLocalFile(m_red), QUrl::fromLocalFile(m_notes)});
        const auto drop = [&](Qt::KeyboardModifiers modifiers, Qt::DropActions allowed) {
            QDragEnterEvent enter(QPoint(10, 10), allowed, &files, Qt::LeftButton, modifiers);
            QApplication::sendEvent(editor.viewport(), &enter);
            QDropEvent dropped(QPointF(10, 10), allowed, &files, Qt::LeftButton, modifiers);
            QApplication::sendEvent(editor.viewport(), &dropped);
        };
        const Qt::KeyboardModifiers ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
        drop({}, Qt::CopyAction | Qt::LinkAction);
        drop(ctrlShift, Qt::CopyAction | Qt::LinkAction);
        drop(ctrlShift, Qt::CopyAction | Qt::MoveAction); // linking not allowed: embedded
        const QList<QTextImageFormat> images = imagesOf(*editor.document());
        QCOMPARE(images.size(), 6);
        QList<Object::Kind> kinds;
        for (const QTextImageFormat &image : images)
            kinds.append(embeddedobject::objectOf(image)->kind);
        QCOMPARE(std::count(kinds.begin(), kinds.end(), Object::Kind::Linked), 2);

        // A folder, or anything not a local file, is not made an object.
        auto *folder = new QMimeData; // the clipboard takes it
        folder->setUrls({QUrl::fromLocalFile(m_dir.path())});
        folder->setText(QStringLiteral("plain"));
        QApplication::clipboard()->setMimeData(folder, QClipboard::Clipboard);
        editor.paste();
        QCOMPARE(imagesOf(*editor.document()).size(), 6);
        QVERIFY(editor.toPlainText().contains(QStringLiteral("plain")));
    }

    void insertObjectDialogChoices()
    {
        InsertObjectDialog dialog;
        QVERIFY(!dialog.okButton()->isEnabled());
        dialog.setFileName(m_dir.filePath(QStringLiteral("missing.txt")));
        QVERIFY(!dialog.okButton()->isEnabled());
        dialog.setFileName(m_dir.path());
        QVERIFY(!dialog.okButton()->isEnabled());
        dialog.setFileName(m_notes);
        QVERIFY(dialog.okButton()->isEnabled());
        QCOMPARE(dialog.createInfo().kind, ObjectCreateInfo::Kind::FromFile);
        dialog.setLinked(true);
        dialog.setShowAsIcon(true);
        const ObjectCreateInfo info = dialog.createInfo();
        QCOMPARE(info.kind, ObjectCreateInfo::Kind::LinkToFile);
        QVERIFY(info.showAsIcon);
        QCOMPARE(info.fileName, m_notes);
    }

    // The copies written to open objects go when the program ends.
    void privateCopiesRemovedAtExit()
    {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--open-object"), m_notes});
        QVERIFY(child.waitForFinished(60000));
        QCOMPARE(child.exitCode(), 0);
        const QString copy = QString::fromLocal8Bit(child.readAllStandardOutput()).trimmed();
        QVERIFY2(copy.contains(QLatin1String("/quorin-")), qPrintable(copy));
        QVERIFY(!QFileInfo::exists(copy));
        QVERIFY(!QFileInfo::exists(QFileInfo(copy).absolutePath()));
        QVERIFY(!QFileInfo::exists(QFileInfo(copy).absolutePath().section(u'/', 0, -2)));
    }

    // Random damage to an object's bytes, read through RTF: never a crash,
    // and the bytes always come back as they were read.
    void mutatedObjectsKeepTheirBytes()
    {
        const QByteArray good = richtext::ole::encode(
            richtext::ole::fromFile(m_red, pngOf({8, 8}, Qt::blue), Object::Kind::Embedded));
        QRandomGenerator random(1234);
        for (int round = 0; round < 300; ++round) {
            QByteArray data = good;
            const int changes = 1 + int(random.bounded(4));
            for (int i = 0; i < changes; ++i)
                data[random.bounded(int(data.size()))] = char(random.bounded(256));
            if (round % 7 == 0)
                data.truncate(random.bounded(int(data.size())) + 1);
            QTextDocument document;
            documents::readDocument(document, "{\\rtf1 {\\object\\objemb{\\*\\objdata " + data.toHex() + "}}\\par}");
            const QList<QTextImageFormat> images = imagesOf(document);
            QCOMPARE(images.size(), 1);
            QCOMPARE(objectData(images[0]), data);
        }
    }
};

// Run as a child by privateCopiesRemovedAtExit: opens an object's copy,
// prints its path and ends as the program does.
static int openObjectAndExit(int argc, char **argv)
{
    QApplication app(argc, argv);
    desktop::setOpener([](const QUrl &url) {
        std::printf("%s\n", qPrintable(url.toLocalFile()));
        return true;
    });
    RichEditor editor;
    editor.setIncludeOle(true);
    editor.insertObject({ObjectCreateInfo::Kind::FromFile, false, QString::fromLocal8Bit(argv[2])});
    editor.doVerb(0);
    std::fflush(stdout);
    return 0;
}

int main(int argc, char **argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--open-object") == 0)
        return openObjectAndExit(argc, argv);
    QApplication app(argc, argv);
    TestObjects test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_objects.moc"
