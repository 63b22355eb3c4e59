#include "documents/textpositions.h"

#include "documents/documentreader.h"

#include <QStringDecoder>
#include <QTextDocument>

#include <algorithm>
#include <numeric>

namespace documents {

namespace {

    constexpr char16_t markerStart = 0xF8FF;
    constexpr char16_t digitBase = 0xE000; // two digits of 12 bits each
    constexpr qsizetype maxMarkers = qsizetype(1) << 24;

    // RTF's \u takes a signed 16-bit number.
    QByteArray unicodeWord(char16_t unit)
    {
        return "\\u" + QByteArray::number(int(qint16(unit))) + '?';
    }

    QByteArray marker(qsizetype number)
    {
        return "{\\uc1" + unicodeWord(markerStart)
            + unicodeWord(char16_t(digitBase + (number >> 12)))
            + unicodeWord(char16_t(digitBase + (number & 0xFFF))) + '}';
    }

    bool isDigitUnit(char16_t unit)
    {
        return unit >= digitBase && unit < digitBase + 0x1000;
    }

    // Whether the byte at `at` is escaped by a backslash ("\@"): a marker
    // there would turn the escape into another one.
    bool isEscaped(QByteArrayView text, qsizetype at)
    {
        qsizetype backslashes = 0;
        for (qsizetype k = at - 1; k >= 0 && text[k] == '\\'; --k)
            ++backslashes;
        return backslashes % 2 == 1;
    }

    qsizetype charactersIn(const QString &text)
    {
        // A CR LF is one paragraph end, as a reader takes it.
        return text.size() - text.count(QStringLiteral("\r\n"));
    }

} // namespace

std::vector<int> textPositions(
    const TemplateSource &source, bool rtf, int codePage, const std::vector<qsizetype> &offsets)
{
    std::vector<int> positions(offsets.size(), -1);
    std::vector<std::size_t> order(offsets.size());
    std::iota(order.begin(), order.end(), std::size_t(0));
    std::stable_sort(order.begin(), order.end(),
        [&](std::size_t a, std::size_t b) { return offsets[a] < offsets[b]; });
    const QByteArrayView text(source.text());

    if (!rtf) {
        qsizetype from = 0;
        qsizetype characters = 0;
        for (const std::size_t index : order) {
            const qsizetype at = std::clamp<qsizetype>(offsets[index], from, text.size());
            characters += charactersIn(source.decode(text.sliced(from, at - from)));
            from = at;
            positions[index] = int(characters);
        }
        return positions;
    }

    QByteArray marked;
    marked.reserve(text.size() + 32 * qsizetype(order.size()));
    std::vector<std::size_t> markedIndex; // marker number -> first index of its offset
    qsizetype from = 0;
    for (const std::size_t index : order) {
        const qsizetype at = offsets[index];
        if (at < from || at >= text.size() || text[at] != '@' || isEscaped(text, at)
            || source.inBinaryData(at) || qsizetype(markedIndex.size()) >= maxMarkers)
            continue;
        marked += text.sliced(from, at - from);
        marked += marker(qsizetype(markedIndex.size()));
        markedIndex.push_back(index);
        from = at + 1;
    }
    marked += text.sliced(from);

    QTextDocument document;
    ReadOptions read;
    read.codePage = codePage;
    readDocument(document, marked, read);
    // The raw text holds every character at its position in the document.
    const QString raw = document.toRawText();
    std::vector<int> markedPositions(markedIndex.size(), -1);
    qsizetype found = 0;
    for (qsizetype i = 0; i + 2 < raw.size(); ++i) {
        if (raw[i].unicode() != markerStart || !isDigitUnit(raw[i + 1].unicode())
            || !isDigitUnit(raw[i + 2].unicode()))
            continue;
        const std::size_t number = (std::size_t(raw[i + 1].unicode() - digitBase) << 12)
            | std::size_t(raw[i + 2].unicode() - digitBase);
        if (number < markedPositions.size())
            markedPositions[number] = int(i - 2 * found);
        ++found;
        i += 2;
    }
    for (std::size_t number = 0; number < markedIndex.size(); ++number)
        positions[markedIndex[number]] = markedPositions[number];
    // Offsets given more than once share the first one's position.
    for (std::size_t k = 1; k < order.size(); ++k) {
        if (offsets[order[k]] == offsets[order[k - 1]])
            positions[order[k]] = positions[order[k - 1]];
    }
    return positions;
}

} // namespace documents
