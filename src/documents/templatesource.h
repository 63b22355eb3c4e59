#pragma once

// A template's source as its check walks it: the text the merge reads, the
// places in the file as given that its offsets stand for, and what of the
// RTF structure matters to a reader of the findings (page headers, footers
// and footnotes, binary data, formatting inside a token).

#include "assembly/mergetext.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <vector>

namespace documents {

class TemplateSource {
public:
    // `mergeText` is `fileBytes` as the merge reads them (prepareTemplate):
    // the same lines, each ending in CR LF, without a byte-order mark.
    TemplateSource(QByteArrayView fileBytes, const QByteArray &mergeText, bool rtf, int codePage);

    const QByteArray &text() const { return m_text; }

    struct Place {
        qint64 offset = -1; // in the file as given; -1 for a UTF-16 file
        int line = 0; // 1-based
        int column = 0; // 1-based, in bytes
    };
    // The place of byte `at` of the merge text.
    Place place(qsizetype at) const;

    enum class Region { Body, Header, Footer, Footnote };
    // The page header, footer or footnote group `at` stands in, if any.
    Region regionAt(qsizetype at) const;
    // Inside the bytes of a \binN (no text a reader could show).
    bool inBinaryData(qsizetype at) const;

    // For an "@" at `at` that no digit follows: the digits that follow it
    // after formatting alone (braces, control words that put no character
    // on the page, line ends), as in "@{\b 1}" or "@\b0 2". Empty when
    // something else follows. Looks at most a few hundred bytes ahead.
    QByteArray digitsAfterFormatting(qsizetype at, const assembly::TextRules &rules) const;

    // The source around `at` on its line, for a message: at most `reach`
    // bytes either side, "..." where the line goes on.
    QString excerpt(qsizetype at, qsizetype reach = 24) const;

    // Bytes as text in the template's code page.
    QString decode(QByteArrayView bytes) const;

private:
    struct Range {
        qsizetype begin;
        qsizetype end; // past the last byte
        Region region;
    };
    void scanStructure();

    QByteArray m_text;
    int m_codePage;
    std::vector<qsizetype> m_lineStarts; // of the merge text
    std::vector<qsizetype> m_fileLineStarts; // of the file, -1 entries for UTF-16
    qsizetype m_fileStart = 0; // bytes of the byte-order mark
    bool m_utf16 = false;
    std::vector<Range> m_regions; // by position, none inside another
    std::vector<Range> m_binary;
};

} // namespace documents
