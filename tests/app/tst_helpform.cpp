// Help > Contents and the help window; the help file that ships with the
// program.

#include "mainformfixture.h"

#include "app/dialogs/helpform.h"
#include "app/programfolder.h"

#include <QFile>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

class TestHelpForm : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { setProgramFolderOverride(QString()); }

    void contentsShowsTheHelpFile()
    {
        setProgramFolderOverride(samplesFolder());
        MainFormFixture f;
        QVERIFY(f.showActive());
        HelpForm *help = f.form->helpForm();
        QVERIFY(help->isHidden());
        f.action("G1")->trigger();
        QVERIFY(f.dialogs->errors().isEmpty());
        QVERIFY(help->isVisible());
        QCOMPARE(help->viewer()->source(), QUrl::fromLocalFile(samplesFolder() + QStringLiteral("/qrnhelp.htm")));
        QVERIFY(help->viewer()->toPlainText().contains(QStringLiteral("Information file")));
        // Closing the main window takes the help window with it.
        QVERIFY(f.form->close());
        QVERIFY(help->isHidden());
    }

    // A missing help file is reported; showing again reads the file afresh.
    void missingAndReloadedHelpFile()
    {
        QTemporaryDir dir;
        setProgramFolderOverride(dir.path());
        const QString path = dir.filePath(QStringLiteral("qrnhelp.htm"));
        MainFormFixture f;
        f.action("G1")->trigger();
        QCOMPARE(f.dialogs->errors(), QStringList{QStringLiteral("Cannot open file %1").arg(path)});
        QVERIFY(f.form->helpForm()->isHidden());
        auto write = [&path](const char *text) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(text);
        };
        QTextBrowser *viewer = f.form->helpForm()->viewer();
        for (const char *edition : {"first edition", "second edition"}) {
            write(edition);
            f.action("G1")->trigger();
            QCOMPARE(viewer->toPlainText(), QString::fromLatin1(edition));
        }
    }

    void loadAndExit()
    {
        QTemporaryDir dir;
        const QString other = dir.filePath(QStringLiteral("other.html"));
        QFile file(other);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<h1>Other page</h1>");
        file.close();

        setProgramFolderOverride(samplesFolder());
        MainFormFixture f;
        f.action("G1")->trigger();
        HelpForm *help = f.form->helpForm();
        // The window's own menu: Load, Exit.
        QList<QAction *> items = help->menuBar()->actions().constFirst()->menu()->actions();

        f.dialogs->setNextFileName(other);
        items.at(0)->trigger();
        QCOMPARE(help->viewer()->toPlainText(), QStringLiteral("Other page"));

        // A file that vanished is reported by the help window; it stays usable.
        f.dialogs->setNextFileName(dir.filePath(QStringLiteral("gone.htm")));
        items.at(0)->trigger();
        QCOMPARE(f.dialogs->errors().size(), 1);
        QCOMPARE(help->viewer()->toPlainText(), QStringLiteral("Other page"));

        items.at(1)->trigger();
        QVERIFY(help->isHidden());
    }

    void helpFileIsComplete()
    {
        // Every picture the help file shows ships with it, and every link
        // inside it leads to a place in it.
        QFile file(samplesFolder() + QStringLiteral("/qrnhelp.htm"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(file.readAll());
        static const QRegularExpression images(QStringLiteral("<img[^>]*src=\"([^\"]+)\""));
        int pictures = 0;
        for (const QRegularExpressionMatch &m : images.globalMatch(html)) {
            ++pictures;
            const QString picture = samplesFolder() + u'/' + m.captured(1);
            QVERIFY2(QFile::exists(picture), qPrintable(picture));
        }
        QVERIFY(pictures >= 2);
        static const QRegularExpression links(QStringLiteral("href=\"#([^\"]+)\""));
        for (const QRegularExpressionMatch &m : links.globalMatch(html)) {
            const QString target = m.captured(1);
            QVERIFY2(html.contains(QStringLiteral("name=\"%1\"").arg(target))
                         || html.contains(QStringLiteral("id=\"%1\"").arg(target)),
                     qPrintable(target));
        }
        QVERIFY(html.contains(QStringLiteral("<table")));
    }

private:
    static QString samplesFolder() { return QStringLiteral(QUORIN_SOURCE_DIR "/samples"); }
};

QTEST_MAIN(TestHelpForm)
#include "tst_helpform.moc"
