#include "widgets/mrufilelist.h"
#include "widgets/mrumenuitem.h"

#include <QElapsedTimer>
#include <QFile>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

QStringList texts(const QMenu *menu)
{
    QStringList result;
    for (const QAction *action : menu->actions())
        result << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return result;
}

QStringList names(int count)
{
    QStringList result;
    for (int i = 0; i < count; ++i)
        result << QStringLiteral("/docs/f%1.tem").arg(i);
    return result;
}

// A list as the main window sets one up: a "Recent Files" submenu without
// separator above the item that chooses the file, stored in the test's file.
struct MainWindowList
{
    QMenu menu;
    QAction *before = menu.addAction(QStringLiteral("Top"));
    QAction *anchor = menu.addAction(QStringLiteral("Edit/Select Template File"));
    MRUFileList list;

    MainWindowList()
    {
        menu.addSeparator();
        list.setAutoSave(false);
        list.setUseSubmenu(true);
        list.setSubmenuName(QStringLiteral("Recent Files"));
        list.setInsertSeparator(false);
        list.setMaxCaptionWidth(0);
        list.setFileMenu(&menu, anchor);
    }
    QMenu *submenu() const { return menu.actions().at(1)->menu(); }
};

} // namespace

class TestMRUFileList : public QObject
{
    Q_OBJECT

private slots:
    void addingKeepsOrderAndMaximum_data()
    {
        QTest::addColumn<bool>("addToTop");
        QTest::addColumn<Qt::CaseSensitivity>("cs");
        QTest::addColumn<QStringList>("added");
        QTest::addColumn<int>("newMaximum"); // set after adding; -1 leaves 5
        QTest::addColumn<QStringList>("expected");

        const QStringList six{"/a", "/b", "/c", "/d", "/e", "/f"};
        QTest::newRow("sixth drops the bottom") << true << Qt::CaseSensitive << six << -1
                                                << QStringList{"/f", "/e", "/d", "/c", "/b"};
        QTest::newRow("sixth at the bottom drops the top") << false << Qt::CaseSensitive << six << -1
                                                           << QStringList{"/b", "/c", "/d", "/e", "/f"};
        QTest::newRow("re-added moves to the top") << true << Qt::CaseSensitive << QStringList{"/a", "/b", "/c", "/a"}
                                                   << -1 << QStringList{"/a", "/c", "/b"};
        QTest::newRow("re-added moves to the bottom") << false << Qt::CaseSensitive << QStringList{"/a", "/b", "/c", "/a"}
                                                      << -1 << QStringList{"/b", "/c", "/a"};
        QTest::newRow("case-blind keeps the listed spelling") << true << Qt::CaseInsensitive
                                                              << QStringList{"/x/A.tem", "/x/B.tem", "/x/a.TEM"} << -1
                                                              << QStringList{"/x/A.tem", "/x/B.tem"};
        QTest::newRow("names differing in case are two files") << true << Qt::CaseSensitive
                                                               << QStringList{"/x/A.tem", "/x/a.tem"} << -1
                                                               << QStringList{"/x/a.tem", "/x/A.tem"};
        QTest::newRow("lower maximum drops from the bottom") << true << Qt::CaseSensitive << six << 2
                                                             << QStringList{"/f", "/e"};
        QTest::newRow("lower maximum drops from the top") << false << Qt::CaseSensitive << six << 2
                                                          << QStringList{"/e", "/f"};
    }
    void addingKeepsOrderAndMaximum()
    {
        QFETCH(bool, addToTop);
        QFETCH(Qt::CaseSensitivity, cs);
        QFETCH(QStringList, added);
        QFETCH(int, newMaximum);
        QFETCH(QStringList, expected);
        MainWindowList w;
        w.list.setAddToTop(addToTop);
        w.list.setCaseSensitivity(cs);
        for (const QString &name : added)
            w.list.addItem(name);
        if (newMaximum >= 0)
            w.list.setMaximum(newMaximum);
        QCOMPARE(w.list.items(), expected);
        // The submenu shows exactly the list, in its order.
        QStringList shown;
        for (int i = 0; i < expected.size(); ++i)
            shown << QStringLiteral("&%1 %2").arg(i + 1).arg(expected.at(i));
        QCOMPARE(texts(w.submenu()).mid(0, expected.size()), shown);
    }

    void menuHoldsOnlyWhatTheListHas()
    {
        MainWindowList w;
        QCOMPARE(texts(&w.menu), (QStringList{"Top", "Edit/Select Template File", "-"}));
        w.list.addItem(QStringLiteral("/docs/lease.tem"));
        w.list.addItem(QStringLiteral("/docs/R&D.tem"));
        QCOMPARE(texts(&w.menu), (QStringList{"Top", "Recent Files", "Edit/Select Template File", "-"}));
        QCOMPARE(texts(w.submenu()), (QStringList{"&1 /docs/R&&D.tem", "&2 /docs/lease.tem", "-",
                                                  "&Clear MRU List", "&Remove Obsolete"}));
        // Rebuilding many times leaves one submenu, not one per rebuild.
        w.list.addItem(QStringLiteral("/docs/lease.tem"));
        QCOMPARE(texts(&w.menu).count(QStringLiteral("Recent Files")), 1);

        // "Clear MRU List" takes the submenu away until the next name.
        w.submenu()->actions().at(3)->trigger();
        QVERIFY(w.list.items().isEmpty());
        QCOMPARE(texts(&w.menu), (QStringList{"Top", "Edit/Select Template File", "-"}));
        w.list.addItem(QStringLiteral("/docs/new.tem"));
        QCOMPARE(texts(&w.menu), (QStringList{"Top", "Recent Files", "Edit/Select Template File", "-"}));
    }

    void itemsWithoutSubmenuAndInAPopup()
    {
        QMenu file;
        QAction *anchor = file.addAction(QStringLiteral("Item"));
        QMenu popup;
        popup.addAction(QStringLiteral("Cut"));
        MRUFileList list;
        list.setAutoSave(false);
        list.setMaxCaptionWidth(0);
        list.setShowRemoveObsolete(false);
        list.setClearItemName(QString()); // the standard caption shows
        list.setFileMenu(&file, anchor);
        list.setPopupMenu(&popup);
        list.addItem(QStringLiteral("/a.inf"));
        list.addItem(QStringLiteral("/b.inf"));
        QCOMPARE(texts(&file), (QStringList{"-", "&1 /b.inf", "&2 /a.inf", "-", "&Clear MRU List", "Item"}));
        QCOMPARE(texts(&popup), (QStringList{"&1 /b.inf", "&2 /a.inf", "Cut"}));
    }

    void accelerators_data()
    {
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("caption");
        QTest::newRow("1st") << 1 << "&1 /docs/f0.tem";
        QTest::newRow("10th") << 10 << "&0 /docs/f9.tem";
        QTest::newRow("11th") << 11 << "&A /docs/f10.tem";
        QTest::newRow("36th") << 36 << "&Z /docs/f35.tem";
        QTest::newRow("37th") << 37 << "/docs/f36.tem";
    }
    void accelerators()
    {
        QFETCH(int, item);
        QFETCH(QString, caption);
        MainWindowList w;
        w.list.setMaximum(40);
        w.list.setAddToTop(false);
        for (const QString &name : names(37))
            w.list.addItem(name);
        QCOMPARE(w.submenu()->actions().at(item - 1)->text(), caption);
        QCOMPARE(qobject_cast<MRUMenuItem *>(w.submenu()->actions().at(item - 1))->itemNumber(), item);
    }

    void captionsByDisplay_data()
    {
        QTest::addColumn<MRUFileList::MRUDisplay>("display");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        using D = MRUFileList::MRUDisplay;
        QTest::newRow("full path") << D::FullPath << "/home/ann/lease.tem" << "&1 /home/ann/lease.tem";
        QTest::newRow("name and extension") << D::FileNameExt << "/home/ann/lease.tem" << "lease.tem";
        QTest::newRow("bare name keeps its prefix") << D::FileNameExt << "lease.tem" << "&1 lease.tem";
        QTest::newRow("name only") << D::FileNameOnly << "/home/ann/lease.v2.tem" << "lease.v2";
        QTest::newRow("hidden file keeps its dot") << D::FileNameOnly << "/home/ann/.lease" << ".lease";
        QTest::newRow("ampersand shown as such") << D::FileNameExt << "/x/R&D.tem" << "R&&D.tem";
        QTest::newRow("custom") << D::Custom << "/home/ann/lease.tem" << "[&1 /home/ann/lease.tem|/home/ann/lease.tem]";
    }
    void captionsByDisplay()
    {
        QFETCH(MRUFileList::MRUDisplay, display);
        QFETCH(QString, name);
        QFETCH(QString, caption);
        MainWindowList w;
        w.list.setMRUDisplay(display);
        w.list.setDisplayNameFunction([](const QString &fileName, const QString &fullCaption) {
            return u'[' + fullCaption + u'|' + fileName + u']';
        });
        w.list.addItem(name);
        QCOMPARE(w.submenu()->actions().at(0)->text(), caption);
    }

    void shortening_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("fits"); // the limit is this text's width
        QTest::addColumn<QString>("expected");
        const QString path = QStringLiteral("/home/ann/forms/lease.tem");
        QTest::newRow("fits whole") << path << path << path;
        QTest::newRow("first directory goes") << path << "/.../ann/forms/lease.tem" << "/.../ann/forms/lease.tem";
        QTest::newRow("two go") << path << "/.../forms/lease.tem" << "/.../forms/lease.tem";
        QTest::newRow("a pixel short of two") << path << "/.../forms/lease.te" << "/.../lease.tem";
        QTest::newRow("root goes") << path << ".../lease.tem" << ".../lease.tem";
        QTest::newRow("only the file is left") << path << "" << "lease.tem";
        QTest::newRow("relative") << "forms/old/lease.tem" << ".../old/lease.tem" << ".../old/lease.tem";
        QTest::newRow("hidden folder is a folder") << "/.ab/cd/lease.tem" << "/.../cd/lease.tem" << "/.../cd/lease.tem";
        QTest::newRow("double slash") << "//lease.tem" << "" << "lease.tem";
    }
    void shortening()
    {
        QFETCH(QString, path);
        QFETCH(QString, fits);
        QFETCH(QString, expected);
        QFont font;
        font.setPixelSize(13);
        const QFontMetrics metrics(font);
        QCOMPARE(mru::shortenPath(path, metrics, metrics.horizontalAdvance(fits)), expected);
    }

    void shortensInTheMenusFont()
    {
        const QString name = QStringLiteral("/home/ann/clients/smith/leases/2024/lease.tem");
        for (int pixels : {8, 24}) {
            MainWindowList w;
            QFont font;
            font.setPixelSize(pixels);
            w.menu.setFont(font);
            w.list.setUseSubmenu(false);
            w.list.setMaxCaptionWidth(200);
            w.list.addItem(name);
            const QFont inMenu = w.menu.font();
            const QString shown = w.menu.actions().at(1)->text();
            QCOMPARE(shown, "&1 " + mru::shortenPath(name, QFontMetrics(inMenu), 200));
            QCOMPARE(shown.startsWith(u"&1 /.../"), pixels == 24);
        }
    }

    void clickReportsAndRemoves_data()
    {
        QTest::addColumn<bool>("removeOnClick");
        QTest::newRow("removed") << true;
        QTest::newRow("kept") << false;
    }
    void clickReportsAndRemoves()
    {
        QFETCH(bool, removeOnClick);
        MainWindowList w;
        w.list.setRemoveOnClick(removeOnClick);
        for (const QString &name : names(5))
            w.list.addItem(name);
        QSignalSpy clicks(&w.list, &MRUFileList::mruItemClick);
        w.submenu()->actions().at(2)->trigger();
        QCOMPARE(clicks.size(), 1);
        QCOMPARE(clicks.at(0).at(0).toString(), QStringLiteral("/docs/f2.tem"));
        QCOMPARE(w.list.items().size(), removeOnClick ? 4 : 5);
        QCOMPARE(w.list.items().contains(QStringLiteral("/docs/f2.tem")), !removeOnClick);
        QCOMPARE(w.submenu()->actions().size(), (removeOnClick ? 4 : 5) + 3);
        // The clicked item is gone only once control is back in the event loop.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void obsoleteNamesGo()
    {
        QTemporaryDir dir;
        const QString kept = dir.filePath(QStringLiteral("kept.inf"));
        QFile(kept).open(QIODevice::WriteOnly);
        MainWindowList w;
        w.list.addItem(dir.filePath(QStringLiteral("gone.inf")));
        w.list.addItem(kept);
        w.list.addItem(dir.filePath(QStringLiteral("gone too.inf")));
        w.submenu()->actions().last()->trigger(); // "&Remove Obsolete"
        QCOMPARE(w.list.items(), QStringList{kept});
        QCOMPARE(w.submenu()->actions().at(0)->text(), QStringLiteral("&1 ") + kept);

        w.list.setObsoleteTest([](const QString &name) { return name.endsWith(u"kept.inf"); });
        w.list.removeObsoleteItems();
        QVERIFY(w.list.items().isEmpty());
    }

    void storageRoundTrip()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("quorin.ini"));
        {
            QSettings stale(path, QSettings::IniFormat);
            for (int i = 0; i < 6; ++i)
                stale.setValue(QStringLiteral("Software/My Application/MRU Items/F%1").arg(i), "old");
            stale.setValue(QStringLiteral("Software/My Application/MRU Items2/F0"), "/other.tem");
        }
        {
            QSettings settings(path, QSettings::IniFormat);
            MRUFileList list;
            list.setSettings(&settings);
            QCOMPARE(list.items(), QStringList{"old"}); // loaded on being given the store
            list.clearAllItems();
            list.addItem(QStringLiteral("/c.inf"));
            list.addItem(QStringLiteral("/b, with comma.inf"));
            list.addItem(QStringLiteral("/a.inf"));
        } // saved on destruction
        QSettings check(path, QSettings::IniFormat);
        check.beginGroup(QStringLiteral("Software/My Application/MRU Items"));
        QCOMPARE(check.childKeys(), (QStringList{"F0", "F1", "F2"}));
        QCOMPARE(check.value("F0").toString(), QStringLiteral("/a.inf"));
        QCOMPARE(check.value("F1").toString(), QStringLiteral("/b, with comma.inf"));
        check.endGroup();
        QCOMPARE(check.value(QStringLiteral("Software/My Application/MRU Items2/F0")).toString(), "/other.tem");

        MRUFileList again;
        again.setAutoSave(false);
        again.setSettings(&check);
        again.loadItems();
        QCOMPARE(again.items(), (QStringList{"/a.inf", "/b, with comma.inf", "/c.inf"}));
        again.setAutoSaveKey(QStringLiteral("MRU Items2"));
        again.loadItems();
        QCOMPARE(again.items(), QStringList{"/other.tem"});
    }

    void storageInAnIniFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("recent.ini"));
        {
            MRUFileList list;
            list.setUseRegistry(false);
            list.setAutoSaveName(path);
            list.addItem(QStringLiteral("/b.tem"));
            list.addItem(QStringLiteral("/a.tem"));
        }
        QSettings check(path, QSettings::IniFormat);
        QCOMPARE(check.value(QStringLiteral("MRU Items/F0")).toString(), QStringLiteral("/a.tem"));
        QCOMPARE(check.value(QStringLiteral("MRU Items/F1")).toString(), QStringLiteral("/b.tem"));

        MRUFileList empty; // no name: nothing is read or written
        empty.setUseRegistry(false);
        empty.setAutoSaveName(QString());
        empty.addItem(QStringLiteral("/x.tem"));
        QVERIFY(empty.saveItems());
    }

    void damagedSettingsLoadSafely_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("binary junk") << QByteArray("\x00\xff[\x01=\n\x80\x81", 8) << 5 << QStringList();
        QTest::newRow("no section") << QByteArray("[Other]\nF0=/x\n") << 5 << QStringList();
        QTest::newRow("gaps and numeric order")
            << QByteArray("[Items]\nF10=/k\nF2=/c\nF0=/a\nF9=/j\n") << 255 << QStringList{"/a", "/c", "/j", "/k"};
        QTest::newRow("other keys, empties, repeats")
            << QByteArray("[Items]\nF0=/a\nF1=\nG2=/g\nF=/f\nF-3=/m\nF+4=/p\nF5=/a\nF6=/b\n") << 5 << QStringList{"/a", "/b"};
        QTest::newRow("unquoted commas")
            << QByteArray("[Items]\nF0=/a, b.tem\n") << 5 << QStringList{"/a, b.tem"};
        QTest::newRow("values that are not text")
            << QByteArray("[Items]\nF0=@ByteArray(\\0\\x1)\nF1=@Variant(\\0\\0\\0\\x7f)\nF2=/ok\n") << 5
            << QStringList{"/ok"};
        QTest::newRow("huge number") << QByteArray("[Items]\nF99999999999999999999=/x\nF3=/y\n") << 5
                                     << QStringList{"/y"};

        QByteArray many("[Items]\n");
        for (int i = 0; i < 100000; ++i)
            many += "F" + QByteArray::number(i) + "=/f" + QByteArray::number(i) + "\n";
        QTest::newRow("huge count") << many << 5 << QStringList{"/f0", "/f1", "/f2", "/f3", "/f4"};

        const QByteArray longest = "/" + QByteArray("a/").repeated(2047) + "z"; // 4096 characters
        const QByteArray tooLong = "/" + QByteArray("b").repeated(100000);
        QTest::newRow("very long names") << "[Items]\nF0=" + tooLong + "\nF1=" + longest + "\n" << 5
                                         << QStringList{QString::fromLatin1(longest)};
    }
    void damagedSettingsLoadSafely()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, maximum);
        QFETCH(QStringList, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("damaged.ini"));
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(file);
        out.close();

        MainWindowList w;
        w.list.setMaximum(maximum);
        w.list.setMaxCaptionWidth(200);
        w.list.setUseRegistry(false);
        w.list.setAutoSaveKey(QStringLiteral("Items"));
        w.list.setAutoSaveName(path);
        QElapsedTimer timer;
        timer.start();
        w.list.loadItems();
        QCOMPARE(w.list.items(), expected);
        QCOMPARE(w.menu.actions().size(), expected.isEmpty() ? 3 : 4);
        QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
    }
};

QTEST_MAIN(TestMRUFileList)
#include "tst_mrufilelist.moc"
