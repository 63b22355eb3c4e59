// A document formatted in Quorin and saved as RTF opens in a real word
// processor with the same text and formatting. LibreOffice converts the
// saved file headless; the test skips when it is not installed.

#include "mainformfixture.h"

#include "editor/paraattributes.h"
#include "editor/richeditor.h"
#include "editor/textattributes.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

class TestFileCommandsRoundTrip : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        m_soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
        if (m_soffice.isEmpty())
            QSKIP("soffice (LibreOffice) is not installed: the round trip through a word processor is "
                  "not checked");
    }

    void savedRtfReadsInWordProcessor()
    {
        QTemporaryDir dir;
        MainFormFixture f;
        QVERIFY(f.showActive());
        RichEditor *document = f.form->richEditEx1();
        TextAttributes &attributes = document->selAttributes();
        // Formats set at the caret apply to the text typed next, not to the
        // word the caret touches.
        document->setWordFormatting(false);

        // A heading, bold and centred, larger.
        document->paragraph().setAlignment(ParaAlignment::Center);
        attributes.setBold(true);
        attributes.setSize(16);
        document->insertPlainText(QStringLiteral("Agreement of Sale\n"));
        document->paragraph().setAlignment(ParaAlignment::Left);
        attributes.setBold(false);
        attributes.setSize(11);
        document->insertPlainText(QStringLiteral("The buyer, "));
        attributes.setItalic(true);
        document->insertPlainText(QStringLiteral("Joan Smith"));
        attributes.setItalic(false);
        document->insertPlainText(QStringLiteral(", pays "));
        attributes.setUnderlineType(1);
        document->insertPlainText(QStringLiteral("€ 1 200"));
        attributes.setUnderlineType(0);
        document->insertPlainText(QStringLiteral(" to Zoë Müller."));

        const QString path = dir.filePath(QStringLiteral("agreement.rtf"));
        f.dialogs->setNextFileName(path);
        f.action("FileSaveAsItem")->trigger();
        QVERIFY(f.dialogs->errors().isEmpty());
        // QUORIN_KEEP_ROUNDTRIP=folder keeps the files for a look at them.
        const QString keep = qEnvironmentVariable("QUORIN_KEEP_ROUNDTRIP");
        if (!keep.isEmpty()) {
            for (const char *name : { "agreement.rtf", "agreement.html", "agreement.pdf" })
                QFile::remove(keep + u'/' + QLatin1String(name));
            QFile::copy(path, keep + QStringLiteral("/agreement.rtf"));
        }

        const QString text
            = convert(path, QStringLiteral("txt:Text (encoded):UTF8"), QStringLiteral("txt"));
        QFile textFile(text);
        QVERIFY2(textFile.open(QIODevice::ReadOnly), "soffice made no text file");
        QString plain = QString::fromUtf8(textFile.readAll());
        plain.remove(QChar(0xFEFF));
        plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        QCOMPARE(plain.trimmed(),
            QStringLiteral("Agreement of Sale\nThe buyer, Joan Smith, pays € 1 200 to Zoë Müller."));

        // The formatting, through the word processor's own HTML.
        const QString html = convert(path, QStringLiteral("html"), QStringLiteral("html"));
        QFile htmlFile(html);
        QVERIFY2(htmlFile.open(QIODevice::ReadOnly), "soffice made no HTML file");
        const QString page = QString::fromUtf8(htmlFile.readAll()).simplified();
        if (!keep.isEmpty())
            QFile::copy(html, keep + QStringLiteral("/agreement.html"));
        QVERIFY2(page.contains(QRegularExpression(
                     QStringLiteral("<p[^>]*align=\"center\"[^>]*>.*<b>Agreement of Sale</b>"),
                     QRegularExpression::CaseInsensitiveOption)),
            qPrintable(page));
        // The tag may enclose a span or two before the text.
        const auto within = [&page](const QString &tag, const QString &words) {
            const QRegularExpression pattern(
                QStringLiteral("<%1>(<[^>]+>)*%2").arg(tag, QRegularExpression::escape(words)),
                QRegularExpression::CaseInsensitiveOption);
            return page.contains(pattern);
        };
        QVERIFY(within(QStringLiteral("i"), QStringLiteral("Joan Smith")));
        QVERIFY(within(QStringLiteral("u"), QStringLiteral("€ 1 200")));
        QVERIFY(!within(QStringLiteral("i"), QStringLiteral(", pays")));
        QVERIFY(!within(QStringLiteral("b"), QStringLiteral("The buyer")));
        QVERIFY(page.contains(QStringLiteral("font-size: 16pt"), Qt::CaseInsensitive));

        const QString pdf = convert(path, QStringLiteral("pdf"), QStringLiteral("pdf"));
        QVERIFY(QFileInfo(pdf).size() > 0);
        if (!keep.isEmpty())
            QFile::copy(pdf, keep + QStringLiteral("/agreement.pdf"));
    }

private:
    // Converts `input` into `format` beside it; the converted file's path.
    QString convert(const QString &input, const QString &format, const QString &extension)
    {
        const QFileInfo info(input);
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        // A profile of its own, so a LibreOffice the user has open is not disturbed.
        process.start(m_soffice,
            { QStringLiteral("-env:UserInstallation=file://") + m_profile.path(),
                QStringLiteral("--headless"), QStringLiteral("--convert-to"), format,
                QStringLiteral("--outdir"), info.absolutePath(), input });
        if (!process.waitForFinished(180000)) {
            process.kill();
            process.waitForFinished();
            return QString();
        }
        const QString output = info.absolutePath() + u'/' + info.completeBaseName() + u'.' + extension;
        if (!QFile::exists(output))
            qWarning("soffice said: %s", process.readAll().constData());
        return output;
    }
    QString m_soffice;
    QTemporaryDir m_profile;
};

QTEST_MAIN(TestFileCommandsRoundTrip)
#include "tst_filecommandsroundtrip.moc"
