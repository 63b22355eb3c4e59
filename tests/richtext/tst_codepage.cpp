#include "richtext/codepage.h"

#include <QTest>

using namespace richtext;

class TestCodePage : public QObject
{
    Q_OBJECT

private slots:
    void localesPickTheirCodePage_data()
    {
        QTest::addColumn<int>("lcid");
        QTest::addColumn<int>("codePage");
        QTest::newRow("US English") << 1033 << 1252;
        QTest::newRow("Russian") << 1049 << 1251;
        QTest::newRow("Japanese") << 1041 << 932;
        QTest::newRow("Serbian Cyrillic") << 0x0C1A << 1251;
        QTest::newRow("Serbian Latin") << 0x081A << 1250;
        QTest::newRow("Hindi has no 8-bit page") << 0x0439 << 1252;
    }
    void localesPickTheirCodePage()
    {
        QFETCH(int, lcid);
        QFETCH(int, codePage);
        QCOMPARE(codepage::forLcid(lcid), codePage);
        QCOMPARE(codepage::forLcid(codepage::lcidFor(codePage)), codePage);
    }

    void charsetsMapBothWays()
    {
        for (int charset : {0, 128, 129, 134, 136, 161, 162, 177, 178, 186, 204, 222, 238}) {
            const int cp = codepage::forCharset(charset);
            QVERIFY2(cp > 0, qPrintable(QString::number(charset)));
            QCOMPARE(codepage::charsetFor(cp), charset);
        }
        QCOMPARE(codepage::forCharset(99), -1);
    }

    void singleByteRoundTrip()
    {
        const QString russian = QStringLiteral("Договор аренды №5");
        const QByteArray bytes = codepage::fromUnicode(russian, 1251);
        QCOMPARE(bytes.size(), russian.size());
        QCOMPARE(codepage::toUnicode(bytes, 1251), russian);
        QCOMPARE(codepage::toUnicode("\x80\xE9", 1252), QStringLiteral("€é"));
        // 0x81 is not assigned in Windows-1252.
        QCOMPARE(codepage::toUnicode("a\x81z", 1252), QStringLiteral("a\uFFFDz"));
    }

    void unmappableBecomesQuestionMark()
    {
        QCOMPARE(codepage::fromUnicode(QStringLiteral("Zoë Łukasz"), 1252), QByteArray("Zo\xEB ?ukasz"));
        QVERIFY(codepage::canEncode(QChar(0x00EB), 1252));
        QVERIFY(!codepage::canEncode(QChar(0x0141), 1252));
        QVERIFY(codepage::canEncode(QChar(0x0141), 1250));
    }

    void doubleByteCodePages()
    {
        const QString japanese = QStringLiteral("契約書");
        const QByteArray sjis = codepage::fromUnicode(japanese, 932);
        QCOMPARE(sjis.size(), 6);
        QVERIFY(codepage::isLeadByte(932, uchar(sjis[0])));
        QCOMPARE(codepage::toUnicode(sjis, 932), japanese);
        // A lead byte at the end is not dropped silently.
        QCOMPARE(codepage::toUnicode(sjis.left(5), 932).size(), 3);
        QCOMPARE(codepage::fromUnicode(QStringLiteral("a\u0416b"), 936).size(), 4);
    }
};

QTEST_APPLESS_MAIN(TestCodePage)
#include "tst_codepage.moc"
