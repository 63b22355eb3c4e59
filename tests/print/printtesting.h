// Small helpers shared by the printing tests.
#pragma once

#include <QFile>
#include <QFont>
#include <QPainter>
#include <QPicture>
#include <QTest>

namespace printtesting {

// A letter page at 100 pixels per inch (850 x 1100): a frame and "Page n"
// in large type, so it has ink to find and text pdftotext can read.
inline QPicture makePage(int number)
{
    QPicture picture;
    QPainter painter(&picture);
    painter.drawRect(QRect(50, 50, 750, 1000));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(90);
    painter.setFont(font);
    painter.drawText(QRect(0, 300, 850, 200), Qt::AlignCenter, QStringLiteral("Page %1").arg(number));
    painter.end();
    return picture;
}

inline QByteArray bytesOf(const QPicture &picture)
{
    return QByteArray(picture.data(), picture.size());
}

inline QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace printtesting
