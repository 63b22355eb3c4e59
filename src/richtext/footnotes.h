#pragma once

// The footnotes a document came with. A footnote is kept whole, as the RTF
// group its file held it in ("{\footnote ...}"), with the entries of the
// font and colour tables it refers to, on the character format of its
// reference mark (prop::Footnote). It thus goes wherever the mark goes:
// copy and paste, undo, a clone laid out for printing. The mark is ordinary
// text: the automatic number the file's \chftn showed, or the mark the file
// wrote. The footnote's own text is never part of the document's text; the
// page renderer draws it at the foot of the page of its mark, and the
// writer writes the group back after the mark.
//
// An endnote (a group with \ftnalt) is kept the same way and is drawn as a
// footnote; its group keeps \ftnalt, so it is written back as an endnote.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

class QTextFormat;

namespace richtext::rtf {
struct DocumentTables;
}

namespace richtext {

class RtfColorTable;
class RtfFontTable;

struct Footnote
{
    // A footnote larger than this is not kept: a footnote is a few lines,
    // and the document holds it besides its file.
    static constexpr qsizetype MaxGroupSize = 1 << 20;

    QByteArray group;  // "{\footnote ...}" as the file had it
    // The file's code page, default font and the font and colour table
    // entries the group names, with the file's numbers
    // ("\ansicpg1252\deff0{\fonttbl...}{\colortbl...}").
    QByteArray tables;
    bool automatic = false; // the mark is the automatic number (\chftn)

    bool operator==(const Footnote &) const = default;
};

// The value of prop::Footnote for a footnote, and the footnote of a format
// (none when the format is not a reference mark).
QByteArray footnoteValue(const Footnote &note);
std::optional<Footnote> footnoteOf(const QTextFormat &format);
std::optional<Footnote> footnoteFromValue(QByteArrayView value);

// The tables a group refers to, taken from the file's tables.
QByteArray footnoteTablesRtf(const rtf::DocumentTables &tables, QByteArrayView group);

// A whole RTF document of the footnote's text over its tables, for our
// reader to build it from: each \chftn in it shows `mark`; an automatically
// numbered footnote whose text has no \chftn starts with `mark` in
// superscript (a mark of the file's own is repeated by its text).
QByteArray footnoteDocumentRtf(const Footnote &note, const QString &mark);

// The footnote's text as plain text (paragraphs end in '\n').
QString footnoteText(const Footnote &note, const QString &mark = QString());

// The group for a file being written: its font and colour numbers changed
// to those of the written tables (where its fonts and colours are added).
QByteArray footnoteGroupRtf(const Footnote &note, RtfFontTable &fonts, RtfColorTable &colors);

} // namespace richtext
