#pragma once

// RTF groups a document keeps whole, as its file held them (page headers
// and footers, footnotes), and the entries of the file's font and colour
// tables they name. A kept group's bytes are changed only where their
// meaning requires it: its font and colour numbers, when it is written into
// a file with tables of its own.

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>

#include <memory>

namespace richtext::rtf {
struct DocumentTables;
}

namespace richtext {

class RtfColorTable;
class RtfFontTable;

// The file's code page, default font and the font and colour table entries
// that `groups` name, as RTF ("\ansicpg1252\deff0{\fonttbl ...}
// {\colortbl ...}"), with the file's own numbers.
QByteArray keptTablesRtf(const rtf::DocumentTables &tables, const QList<QByteArrayView> &groups);

// A group's content: what follows its destination word ("{\*\footnote"),
// without the closing brace.
QByteArrayView keptGroupContent(QByteArrayView group);

// Kept groups whose tables (as keptTablesRtf() gave them) are being written
// into a file's tables: each group's font and colour numbers become those
// of the written tables, where its fonts and colours are added.
class KeptGroupNumbers
{
public:
    KeptGroupNumbers(const QByteArray &tablesRtf, RtfFontTable &fonts, RtfColorTable &colors);
    ~KeptGroupNumbers();

    QByteArray renumbered(QByteArrayView group);

private:
    int font(int number);
    int color(int number);

    std::unique_ptr<rtf::DocumentTables> m_tables;
    RtfFontTable &m_fonts;
    RtfColorTable &m_colors;
};

} // namespace richtext
