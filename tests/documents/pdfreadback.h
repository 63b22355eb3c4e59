#pragma once

// Reading a PDF back as a user's viewer does, with poppler's command-line
// tools (pdfinfo, pdftotext, pdffonts from poppler-utils). Tests skip when
// the tools are not installed.

#include <QList>
#include <QProcess>
#include <QRectF>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace pdfreadback {

using namespace Qt::StringLiterals;

inline bool available()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty()
        && !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()
        && !QStandardPaths::findExecutable(QStringLiteral("pdffonts")).isEmpty();
}

// The tool's output for `pdf`; "%PDF" in the arguments stands for its file.
inline QString run(const QString &tool, QStringList arguments, const QByteArray &pdf)
{
    QTemporaryFile file;
    if (!file.open() || file.write(pdf) != pdf.size() || !file.flush())
        return {};
    arguments.replaceInStrings(QStringLiteral("%PDF"), file.fileName());
    QProcess process;
    process.start(tool, arguments);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

struct Info {
    int pages = 0;
    QSizeF pageSize; // points, of the first page
    QString title;
    QString creator;
};

inline Info info(const QByteArray &pdf)
{
    const QString text = run(QStringLiteral("pdfinfo"), { QStringLiteral("%PDF") }, pdf);
    const auto field = [&text](const QString &name) {
        const QRegularExpression line(u"^"_s + name + u":[ \\t]*(.*)$"_s, QRegularExpression::MultilineOption);
        return line.match(text).captured(1).trimmed();
    };
    const auto size = QRegularExpression(u"([\\d.]+) x ([\\d.]+) pts"_s).match(field(u"Page size"_s));
    return { field(u"Pages"_s).toInt(), QSizeF(size.captured(1).toDouble(), size.captured(2).toDouble()),
        field(u"Title"_s), field(u"Creator"_s) };
}

struct Word {
    QString text;
    int page = 0; // from 0
    QRectF box; // points, from the page's top left corner
};

// Every word of every page, in reading order.
inline QList<Word> words(const QByteArray &pdf)
{
    const QString xml = run(QStringLiteral("pdftotext"), { u"-bbox"_s, u"%PDF"_s, u"-"_s }, pdf);
    static const QRegularExpression item(
        u"<page |<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">(.*?)</word>"_s);
    QList<Word> result;
    int page = -1;
    for (auto it = item.globalMatch(xml); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(0).startsWith(u"<page")) {
            ++page;
            continue;
        }
        QString text = m.captured(5);
        text.replace(u"&lt;"_s, u"<"_s).replace(u"&gt;"_s, u">"_s).replace(u"&quot;"_s, u"\""_s);
        text.replace(u"&amp;"_s, u"&"_s);
        result.append({ text, page,
            QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                QPointF(m.captured(3).toDouble(), m.captured(4).toDouble())) });
    }
    return result;
}

inline QStringList texts(const QList<Word> &words)
{
    QStringList result;
    for (const Word &word : words)
        result << word.text;
    return result;
}

// Each font's name and whether it is embedded.
inline QList<std::pair<QString, bool>> fonts(const QByteArray &pdf)
{
    // Columns: name, type (may hold spaces), encoding, emb, sub, uni, object, id.
    static const QRegularExpression row(u"^(\\S+)\\s.*\\s(yes|no)\\s+(yes|no)\\s+(yes|no)\\s+\\d+\\s+\\d+$"_s,
        QRegularExpression::MultilineOption);
    QList<std::pair<QString, bool>> result;
    for (auto it = row.globalMatch(run(u"pdffonts"_s, { u"%PDF"_s }, pdf)); it.hasNext();) {
        const auto m = it.next();
        result.append({ m.captured(1), m.captured(2) == u"yes" });
    }
    return result;
}

} // namespace pdfreadback
