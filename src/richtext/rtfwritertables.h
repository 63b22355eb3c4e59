#pragma once

#include <QColor>
#include <QHash>
#include <QList>
#include <QString>

class QTextTable;
class QTextTableCellFormat;

namespace richtext {

class RtfTextEncoder;
class RtfWriterOutput;

// One entry of the font table: what \fN names.
struct RtfFont
{
    QString name;
    QString alt;              // {\*\falt}: the face to use when `name` is missing
    int charset = 0;          // \fcharset
    int pitch = -1;           // \fprq, -1 when not known
    QString familyKind;       // "fnil", "froman", "fswiss" ...
};

// The fonts a document uses, numbered in the order they are first met so
// that the same document always gives the same table.
class RtfFontTable
{
public:
    explicit RtfFontTable(int documentCodePage) : m_documentCodePage(documentCodePage) {}

    // Entry 0, the document's default font (\deff0). Its pitch and family
    // kind are taken from the first run that uses it, so a document whose
    // runs all name their font's family does not get a second entry.
    void setDefault(const QString &name, int charset);
    int indexOf(const RtfFont &font);
    // The code page that \'hh bytes in this font are read with.
    int codePageOf(int index) const { return m_codePages.value(index, m_documentCodePage); }
    void write(RtfWriterOutput &out, RtfTextEncoder &encoder) const;

private:
    int m_documentCodePage;
    QList<RtfFont> m_fonts;
    QList<int> m_codePages;
    QHash<QString, int> m_index;
    bool m_defaultSettled = true;
};

// The colours a document uses; entry 0 is the empty "automatic" entry, so
// real colours are numbered from 1 in the order they are first met.
class RtfColorTable
{
public:
    int indexOf(const QColor &color);
    void write(RtfWriterOutput &out) const;

private:
    QList<QRgb> m_colors;
    QHash<QRgb, int> m_index;
};

// The words of a table cell's frame: \clbrdrt/l/b/r with their style,
// width and colour, and \clpad? for its padding. A cell with no border of
// its own (a table made in the editor) gets `tableBorder` (px) on every
// side, when that is not 0. Padding is written where it is not what the
// row gives by itself: `gap` (px, \trgaph) at the left and right, 0 above
// and below.
void writeCellFrame(RtfWriterOutput &out, const QTextTableCellFormat &cell, RtfColorTable &colors,
                    qreal tableBorder, qreal gap);

// \trleft for the rows of `table`, twips: where its first cell's text
// starts, from the table's left margin (0 for a centred or right table).
int tableLeft(const QTextTable &table);

} // namespace richtext
