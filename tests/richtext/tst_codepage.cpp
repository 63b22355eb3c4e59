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
        QTest::newRow("Chinese (PRC)") << 0x0804 << 936;
        QTest::newRow("Chinese (Singapore)") << 0x1004 << 936;
        QTest::newRow("Chinese (Taiwan)") << 0x0404 << 950;
        QTest::newRow("Chinese (Hong Kong)") << 0x0C04 << 950;
        QTest::newRow("Korean") << 0x0412 << 949;
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

    void singleByteConversions()
    {
        const QString russian = QStringLiteral("Договор аренды №5");
        const QByteArray bytes = codepage::fromUnicode(russian, 1251);
        QCOMPARE(bytes.size(), russian.size());
        QCOMPARE(codepage::toUnicode(bytes, 1251), russian);
        QCOMPARE(codepage::toUnicode("\x80\xE9", 1252), QStringLiteral("€é"));
        // 0x81 is not assigned in Windows-1252; what a page cannot hold becomes "?".
        QCOMPARE(codepage::toUnicode("a\x81z", 1252), QStringLiteral("a\uFFFDz"));
        QCOMPARE(codepage::fromUnicode(QStringLiteral("Zoë Łukasz"), 1252), QByteArray("Zo\xEB ?ukasz"));
        QVERIFY(codepage::canEncode(QChar(0x00EB), 1252) && codepage::canEncode(QChar(0x0141), 1250));
        QVERIFY(!codepage::canEncode(QChar(0x0141), 1252));
    }

    // Code pages whose letters wait for a combining mark: the last letter
    // of the bytes comes out too, and text goes back to the same bytes.
    void combiningCodePages_data()
    {
        QTest::addColumn<int>("codePage");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("Hebrew") << 1255 << QByteArray("\xf9\xec\xe5\xed") << QString::fromUtf8("שלום");
        QTest::newRow("Hebrew point") << 1255 << QByteArray("\xe1\xc8") << QString::fromUtf8("בָ");
        QTest::newRow("Vietnamese") << 1258 << QByteArray("Vi\xea\xf2t") << QString::fromUtf8("Việt");
        QTest::newRow("one letter") << 1258 << QByteArray("\xea") << QString::fromUtf8("ê");
    }
    void combiningCodePages()
    {
        QFETCH(int, codePage);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(codepage::toUnicode(bytes, codePage), text);
        QCOMPARE(codepage::toUnicode(codepage::fromUnicode(text, codePage), codePage), text);
        for (const QChar c : text)
            QVERIFY(codepage::canEncode(c, codePage));
    }

    // The ends of each lead-byte range: a byte misjudged there splits a
    // character in two, and its trail byte may then be read as "\\" or "{".
    void leadByteRanges_data()
    {
        QTest::addColumn<int>("codePage");
        QTest::addColumn<QList<int>>("leads");
        QTest::addColumn<QList<int>>("notLeads");
        QTest::newRow("932") << 932 << QList<int>{0x81, 0x9F, 0xE0, 0xFC} << QList<int>{0x80, 0xA0, 0xDF, 0xFD, 0x5C};
        QTest::newRow("936") << 936 << QList<int>{0x81, 0xFE} << QList<int>{0x80, 0xFF, 0x7F};
        QTest::newRow("949") << 949 << QList<int>{0x81, 0xFE} << QList<int>{0x80, 0xFF};
        QTest::newRow("950") << 950 << QList<int>{0x81, 0xFE} << QList<int>{0x80, 0xFF};
        QTest::newRow("1361") << 1361 << QList<int>{0x84, 0xD3, 0xD8, 0xF9} << QList<int>{0x83, 0xD4, 0xD7, 0xFA};
        QTest::newRow("1252 has none") << 1252 << QList<int>{} << QList<int>{0x81, 0x9F, 0xE0};
    }
    void leadByteRanges()
    {
        QFETCH(int, codePage);
        QFETCH(QList<int>, leads);
        QFETCH(QList<int>, notLeads);
        for (int b : leads)
            QVERIFY2(codepage::isLeadByte(codePage, uchar(b)), qPrintable(QString::number(b, 16)));
        for (int b : notLeads)
            QVERIFY2(!codepage::isLeadByte(codePage, uchar(b)), qPrintable(QString::number(b, 16)));
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
