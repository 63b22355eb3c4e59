#include "widgets/aboutbox.h"
#include "widgets/memorystatus.h"
#include "widgets/quorintips.h"
#include "widgets/tipofdaydialog.h"
#include "widgets/vertscrolltext.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using Location = TipOfDayDialog::TipLocation;

namespace {

QPushButton *buttonOf(const TipsForm &form, const char *name)
{
    return form.findChild<QPushButton *>(QLatin1String(name));
}

// Picks handed out in turn, so a test knows each random choice.
TipOfDayDialog::RandomIndex scripted(QList<int> picks, QList<int> *bounds = nullptr)
{
    return [picks, bounds, next = 0](int bound) mutable {
        if (bounds)
            bounds->append(bound);
        return picks.at(next++ % picks.size());
    };
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// The leftmost and rightmost columns holding ink in a band of rows.
std::pair<int, int> inkColumns(const QImage &image, int top, int bottom)
{
    int left = image.width();
    int right = -1;
    for (int y = top; y < bottom; ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) > 0) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    return {left, right};
}

} // namespace

class TestTipsAndCredits : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void tipsComeFromTheirSource_data()
    {
        QTest::addColumn<Location>("location");
        QTest::addColumn<QString>("keyOrFile");
        QTest::addColumn<QByteArray>("content"); // the settings file or the INI file
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("given in code") << Location::Embedded << QString() << QByteArray() << QStringList{"one", "two"};
        QTest::newRow("settings, names in number order")
            << Location::Registry << "\\Software\\Tips"
            << QByteArray("[Software]\nTips\\Tip10=ten\nTips\\Tip2=two\nTips\\Tip1=one\nTips\\Bin=@ByteArray(xy)\n"
                          "Other\\Tip0=not mine\n")
            << QStringList{"one", "two", "ten"};
        QTest::newRow("settings, no such group") << Location::Registry << "Software/None"
                                                 << QByteArray("[Software]\nTips\\Tip1=one\n") << QStringList();
        QTest::newRow("INI file, in file order")
            << Location::IniFile << "tips.ini"
            << QByteArray("\xEF\xBB\xBF[Other]\n1=no\n[ tips ]\n; a comment\n9 = first, as it stands \n"
                          "1=\"second\"\nnot a pair\n9=repeat\n10=third=with equals\n[Tips]\n2=later section\n")
            << QStringList{"first, as it stands", "second", "third=with equals"};
        QTest::newRow("INI file missing") << Location::IniFile << "missing.ini" << QByteArray() << QStringList();
        QTest::newRow("INI file, no such section") << Location::IniFile << "tips.ini" << QByteArray("[Other]\n1=x\n")
                                                   << QStringList();
    }
    void tipsComeFromTheirSource()
    {
        QFETCH(Location, location);
        QFETCH(QString, keyOrFile);
        QFETCH(QByteArray, content);
        QFETCH(QStringList, expected);
        const QString settingsPath = m_dir.filePath(QStringLiteral("settings.ini"));
        QFile::remove(settingsPath);
        QFile::remove(m_dir.filePath(QStringLiteral("tips.ini")));
        if (location == Location::IniFile && !content.isEmpty())
            writeFile(m_dir.filePath(keyOrFile), content);
        if (location == Location::Registry)
            writeFile(settingsPath, content);

        QSettings settings(settingsPath, QSettings::IniFormat);
        TipOfDayDialog dialog;
        dialog.setSettings(&settings);
        dialog.setTips({QStringLiteral("one"), QStringLiteral("two")});
        dialog.setTipsLocation(location);
        dialog.setRegistryKey(keyOrFile);
        dialog.setIniFile(m_dir.filePath(keyOrFile));
        dialog.setIniSection(QStringLiteral("Tips"));
        const std::unique_ptr<TipsForm> form = dialog.createForm(nullptr);

        QCOMPARE(dialog.tips(), expected);
        QCOMPARE(form->shownTip(), expected.value(0));
        QCOMPARE(buttonOf(*form, "NextBtn")->isEnabled(), !expected.isEmpty());
        QCOMPARE(buttonOf(*form, "PrevBtn")->isEnabled(), !expected.isEmpty());
    }

    void tipOrder_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("random");
        QTest::addColumn<QList<int>>("picks");  // the random choices, in turn
        QTest::addColumn<QString>("presses");   // N: Next, P: Previous
        QTest::addColumn<QList<int>>("shown");  // the first tip, then after each press

        QTest::newRow("in order, both ways round") << 3 << false << QList<int>{0} << "PNNNN"
                                                   << QList<int>{0, 2, 0, 1, 2, 0};
        QTest::newRow("random, the pick gives way to the next")
            << 4 << true << QList<int>{2, 2, 0, 1, 1} << "NNN" << QList<int>{3, 0, 1, 2};
        QTest::newRow("random, one tip") << 1 << true << QList<int>{0} << "NN" << QList<int>{0, 0, 0};
        QTest::newRow("random, two tips alternate") << 2 << true << QList<int>{0} << "NNN" << QList<int>{1, 0, 1, 0};
    }
    void tipOrder()
    {
        QFETCH(int, count);
        QFETCH(bool, random);
        QFETCH(QList<int>, picks);
        QFETCH(QString, presses);
        QFETCH(QList<int>, shown);
        QStringList tips;
        for (int i = 0; i < count; ++i)
            tips << QString::number(i);
        QList<int> bounds;
        TipOfDayDialog dialog;
        dialog.setTips(tips);
        dialog.setRandomTips(random);
        dialog.setRandomIndex(scripted(picks, &bounds));
        const std::unique_ptr<TipsForm> form = dialog.createForm(nullptr);
        QCOMPARE(buttonOf(*form, "PrevBtn")->isVisibleTo(form.get()), !random);

        QList<int> seen{form->shownTip().toInt()};
        for (QChar press : presses) {
            QTest::mouseClick(buttonOf(*form, press == u'N' ? "NextBtn" : "PrevBtn"), Qt::LeftButton);
            seen << form->shownTip().toInt();
        }
        QCOMPARE(seen, shown);
        // Picks are made among all tips but the last.
        for (int bound : bounds)
            QCOMPARE(bound, count - 1);
    }

    void lineBreakSubstitute_data()
    {
        QTest::addColumn<QString>("substitute");
        QTest::addColumn<QString>("tip");
        QTest::addColumn<QString>("shown");
        QTest::newRow("two lines") << "\\n" << "first\\nsecond" << "first\nsecond";
        QTest::newRow("every one") << "|" << "a|b||c" << "a\nb\n\nc";
        QTest::newRow("none set") << "" << "a|b" << "a|b";
    }
    void lineBreakSubstitute()
    {
        QFETCH(QString, substitute);
        QFETCH(QString, tip);
        QFETCH(QString, shown);
        TipOfDayDialog dialog;
        dialog.setTips({tip});
        dialog.setCrlfSubstitute(substitute);
        const std::unique_ptr<TipsForm> form = dialog.createForm(nullptr);
        QCOMPARE(form->shownTip(), shown);
    }

    void showAtStartupIsStored()
    {
        QSettings settings(m_dir.filePath(QStringLiteral("startup.ini")), QSettings::IniFormat);
        {
            TipOfDayDialog dialog;
            dialog.setSettings(&settings);
            QVERIFY(dialog.storedShowAtStartup()); // on until cleared
            const std::unique_ptr<TipsForm> form = dialog.createForm(nullptr);
            auto *box = form->findChild<QCheckBox *>(QStringLiteral("ShowChk"));
            QVERIFY(box->isChecked());
            box->click();
            dialog.finish(*form);
            QVERIFY(!dialog.showAtStartup());
        }
        TipOfDayDialog next;
        next.setSettings(&settings);
        next.scheduleAtStartup(nullptr, 0);
        QVERIFY(!next.showAtStartup());
        QVERIFY(next.isStartupPending());
        QTRY_VERIFY(!next.isStartupPending());
        QCOMPARE(QApplication::activeModalWidget(), nullptr); // cleared: no tip at start-up

        // Set again, the tip shows; the modal window runs its own loop, so a
        // timer looks at it and closes it.
        settings.setValue(QStringLiteral("Software/My Application/Tip of the Day/ShowAtStartup"), true);
        setUpQuorinTips(next);
        QString shownTip;
        QTimer closer;
        connect(&closer, &QTimer::timeout, this, [&] {
            if (auto *form = qobject_cast<TipsForm *>(QApplication::activeModalWidget())) {
                shownTip = form->shownTip();
                form->accept();
            }
        });
        closer.start(10);
        next.scheduleAtStartup(nullptr, 0);
        QTRY_VERIFY(!shownTip.isEmpty());
        QVERIFY(quorinTips().contains(shownTip));
        QVERIFY(next.showAtStartup());
    }

    void textRollsUpAndWraps_data()
    {
        QTest::addColumn<bool>("repeat");
        QTest::addColumn<int>("lines");
        QTest::newRow("repeating") << true << 3;
        QTest::newRow("once") << false << 3;
        QTest::newRow("no text") << true << 0;
    }
    void textRollsUpAndWraps()
    {
        QFETCH(bool, repeat);
        QFETCH(int, lines);
        VertScrollText text;
        text.resize(120, 50);
        text.setRepeatScroll(repeat);
        text.setLines(QStringList(lines, QStringLiteral("line")));
        text.show();
        QVERIFY(text.isScrolling());
        QCOMPARE(text.position(), 50); // enters from below
        QCOMPARE(text.textHeight(), lines * QFontMetrics(text.font()).height());

        const int top = -text.textHeight(); // the text has just left when above this
        int steps = 0;
        while (text.position() >= top && steps < 1000) {
            text.step();
            ++steps;
        }
        QCOMPARE(steps, 50 - top + 1);
        QCOMPARE(text.position(), top - 1);
        text.step();
        if (repeat) {
            QCOMPARE(text.position(), 49);
            QVERIFY(text.isScrolling());
        } else {
            QVERIFY(!text.isScrolling());
        }

        // Showing it again starts from the bottom; hidden, it stands still.
        text.hide();
        QVERIFY(!text.isScrolling());
        text.show();
        QCOMPARE(text.position(), 50);
        text.setEnabled(false);
        QVERIFY(!text.isScrolling());
    }

    void linesStandWhereAligned_data()
    {
        QTest::addColumn<Qt::Alignment>("alignment");
        QTest::addColumn<QColor>("color");
        QTest::newRow("left") << Qt::Alignment(Qt::AlignLeft) << QColor(Qt::black);
        QTest::newRow("centre, pure blue") << Qt::Alignment(Qt::AlignHCenter) << QColor(Qt::blue);
        QTest::newRow("right") << Qt::Alignment(Qt::AlignRight) << QColor(Qt::black);
    }
    void linesStandWhereAligned()
    {
        QFETCH(Qt::Alignment, alignment);
        QFETCH(QColor, color);
        VertScrollText text;
        text.resize(300, 100);
        QPalette p = text.palette();
        p.setColor(QPalette::WindowText, color);
        text.setPalette(p);
        text.setAlignment(alignment);
        text.setLines({QStringLiteral("IIII"), QStringLiteral("WWWWWWWWWWWW")});
        const QImage picture = text.textPicture();
        const int lineHeight = QFontMetrics(text.font()).height();
        for (int line = 0; line < 2; ++line) {
            const auto [left, right] = inkColumns(picture, line * lineHeight, (line + 1) * lineHeight);
            QVERIFY(right > left);
            if (alignment & Qt::AlignLeft)
                QVERIFY2(left <= 3, qPrintable(QString::number(left)));
            else if (alignment & Qt::AlignRight)
                QVERIFY2(right >= 296, qPrintable(QString::number(right)));
            else
                QVERIFY2(std::abs(left - (299 - right)) <= 3, qPrintable(QStringLiteral("%1 %2").arg(left).arg(right)));
        }
        // The text is drawn in its colour, whatever that is, over a clear picture.
        bool inColour = false;
        for (int y = 0; y < picture.height() && !inColour; ++y)
            for (int x = 0; x < picture.width() && !inColour; ++x)
                inColour = QColor::fromRgba(picture.pixel(x, y)) == color;
        QVERIFY(inColour);
        QCOMPARE(qAlpha(picture.pixel(0, 0)), 0);
    }

    void memoryFigures_data()
    {
        QTest::addColumn<QByteArray>("meminfo");
        QTest::addColumn<QString>("total");
        QTest::addColumn<QString>("load");
        QTest::newRow("available") << QByteArray("MemTotal:       16318012 kB\nMemFree:  1000 kB\n"
                                                 "MemAvailable:    4079503 kB\n")
                                   << "16,318,012 KB" << "75 %";
        QTest::newRow("older kernel") << QByteArray("MemTotal: 1000 kB\nMemFree: 100 kB\nBuffers: 50 kB\nCached: 250 kB\n")
                                      << "1,000 KB" << "60 %";
        QTest::newRow("more available than total") << QByteArray("MemTotal: 1000 kB\nMemAvailable: 5000 kB\n")
                                                   << "1,000 KB" << "0 %";
        QTest::newRow("garbled") << QByteArray("MemTotal: lots\nMemAvailable: 5 kB\n") << "0 KB" << "0 %";
        QTest::newRow("absurd") << QByteArray("MemTotal: 99999999999999999999 kB\n") << "0 KB" << "0 %";
        QTest::newRow("empty") << QByteArray() << "0 KB" << "0 %";
    }
    void memoryFigures()
    {
        QFETCH(QByteArray, meminfo);
        QFETCH(QString, total);
        QFETCH(QString, load);
        const MemoryStatus status = parseMemInfo(meminfo);
        QCOMPARE(physicalMemoryText(status.totalBytes, QLocale(QLocale::English, QLocale::UnitedStates)), total);
        QCOMPARE(memoryLoadText(status.loadPercent), load);
    }

    void aboutBoxShowsTheFigures()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        AboutBox box(MemoryStatus{quint64(2048) * 1024 * 1024 + 512, 37}, nullptr);
        QCOMPARE(box.findChild<QLabel *>(QStringLiteral("PhysMem"))->text(), QStringLiteral("2,097,153 KB"));
        QCOMPARE(box.findChild<QLabel *>(QStringLiteral("FreeRes"))->text(), QStringLiteral("37 %"));
        QVERIFY(AboutBox::versionText().startsWith(QStringLiteral("Version 0.1.0, built 2")));
        QVERIFY(currentMemoryStatus().totalBytes > 0);
    }
};

QTEST_MAIN(TestTipsAndCredits)
#include "tst_tipsandcredits.moc"
