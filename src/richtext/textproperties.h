#pragma once

#include <QTextFormat>

// Properties that RTF carries and QTextDocument has no field for. The reader
// stores them on the formats so that the writer can give them back, and the
// editor's attribute objects read and write them. Units are stated per entry.
//
// The codes kept in UnderlineKind, NumberingKind and ObjectKind are the
// enums of textkinds.h, which also map them to Qt.
//
// Representation choices shared by reader, writer and editor:
// - Lengths on block formats (indents, spacing, tab positions) are in
//   document pixels at 96 dpi: 1 px = 15 twips. Qt scales them to the device.
// - Font sizes are points (setFontPointSize), halves kept (\fs21 = 10.5 pt).
// - A page break is the character U+000C in the text; its character format
//   carries FormFeed so the editor can make it invisible.
// - A picture Qt can show is a QTextImageFormat whose name is a resource of
//   the document; any other picture or object keeps its bytes in ObjectData.
//   The reader keeps ObjectKind, ObjectData and ObjectMeta on every picture
//   it reads (PNG and JPEG too), so that the writer can write the original
//   bytes back. A shown PNG or JPEG has its encoded bytes as the resource (a
//   QByteArray; Qt decodes it when it is first drawn), a \dibitmap the same
//   bytes as a BMP file; any other kind a framed placeholder image, shown at
//   the picture's size through the format's width and height.
// - An embedded \object is one image format with ObjectKind Object,
//   ObjectData the \objdata bytes, ObjectMeta its keywords ("objemb objw300
//   objh200") and ObjectFileName its \*\objname; the picture of its \result
//   is the shown resource. When the face shown is not that picture as it
//   was read (a metafile, a bitmap, or an object whose data cannot be read,
//   which shows a placeholder), the picture's bytes, kind and keywords are
//   kept in ObjectResultData, ObjectResultKind and ObjectResultMeta and
//   written back as they came. ObjectData is an OLE 1.0 object stream
//   (oleobject.h).
// - Lists: one QTextList per \ls list and level, or per run of \pn
//   paragraphs of the same numbering and indent (a deeper indent is a list
//   of its own; a list interrupted by other paragraphs goes on when its
//   next item carries the next number). The list format carries
//   NumberingKind and NumberingStart, prefix and suffix, and ListBullet for
//   a bullet that is not a disc, circle or square. Qt 6.4 cannot start at
//   another number nor draw other bullets: those items' blocks switch Qt's
//   marker off and listmarkers.h draws it. A list item's block keeps \li
//   as its left margin and text indent 0, so that the marker is drawn in
//   the hanging space; the \fi it had is ListTextIndent. The list's own
//   indent is 0 when the item has a left margin, else Qt's one step.
// - A hyperlink field's result is anchor text: isAnchor() and anchorHref()
//   ("url", "url#bookmark" or "#bookmark" for \l). Other fields are their
//   result text.
// - Tables: QTextTable with the union of the rows' cell edges as columns
//   (fixed widths), merged cells from \clmgf/\clmrg and \clvmgf/\clvmrg,
//   cell padding from \trgaph (left and right) or \trpadd/\clpad, borders
//   per cell side (the table's own border is 0), cell backgrounds from
//   \clcbpat, RowHeight on every cell of a row with \trrh. A table wider
//   than the text is scaled to it. Nested tables are tables in cells. Qt
//   puts an empty block before a table that starts a document or a cell.
// - Hidden text (\v) stays in the text with Hidden on its format.
// - A footnote's reference mark is text (the number \chftn showed, or the
//   file's own mark) whose format carries Footnote; the footnote's own text
//   is not in the document (footnotes.h).
// - Paragraph borders, shading and tab leaders are block properties that
//   paragraphdecor.h reads, writes and paints; shading is also the block's
//   background. Border lengths stay in twips, as read.
namespace richtext::prop {

enum : int {
    // Character formats.
    UnderlineKind = QTextFormat::UserProperty + 1, // int: richtext::UnderlineKind
    Hidden,             // bool: \v
    Offset,             // int, twips, positive raises (\up), negative lowers (\dn)
    Lcid,               // int: \lang
    CharSpacing,        // int, twips: \expndtw (exact value; Qt letter spacing shows it)
    Kerning,            // int, twips: \kerning (the size from which pairs are kerned)
    Animation,          // int: \animtext
    Outline,            // bool: \outl
    Shadow,             // bool: \shad
    Emboss,             // bool: \embo
    Imprint,            // bool: \impr
    LinkEffect,         // bool: text marked as a link by the link scan
    AutoColor,          // bool: colour is the automatic colour (\cf0)
    FormFeed,           // bool: on the format of a U+000C page break
    FontCharset,        // int: \fcharset of the run's font, kept for writing back
    FontPitch,          // int: \fprq of the run's font (0 default, 1 fixed, 2 variable)
    FontFamilyKind,     // QString: froman, fswiss, fmodern, fscript, fdecor, ftech, fnil
    Footnote,           // QByteArray: the footnote this text is the reference mark of,
                        // its group kept as read (footnotes.h)

    // Block formats.
    KeepWithNext = QTextFormat::UserProperty + 100, // bool: \keepn
    KeepTogether,       // bool: \keep
    NumberingKind,      // int: richtext::ListKind
    NumberingStart,     // int: first number of a numbered list
    LineSpacingRule,    // int: \sl value in twips as read (negative = exact)
    LineSpacingMultiple,// bool: \slmult1
    PageBreakBefore,    // bool: \pagebb
    ListTextIndent,     // qreal, px: \fi of a list item (see below)
    // Paragraph borders, four properties per side in the order top, left,
    // bottom, right (paragraphdecor.h reads them; absent: no border).
    BorderTopStyle,     // int: richtext::BorderStyle
    BorderTopWidth,     // int, twips: \brdrw
    BorderTopSpace,     // int, twips: \brsp, between the text and the line
    BorderTopColor,     // QColor: \brdrcf; absent: the text's colour
    BorderLeftStyle, BorderLeftWidth, BorderLeftSpace, BorderLeftColor,
    BorderBottomStyle, BorderBottomWidth, BorderBottomSpace, BorderBottomColor,
    BorderRightStyle, BorderRightWidth, BorderRightSpace, BorderRightColor,
    ShadingBackground,  // QColor: \cbpat (the block's background is the mixed colour)
    ShadingPattern,     // QColor: \cfpat
    ShadingPercent,     // int, hundredths of a percent: \shading
    TabLeaders,         // QString: one digit per tab position, a richtext::TabLeader
    BorderRoomTop,      // qreal, px: room for the top border in topMargin() (paragraphdecor.h)
    BorderRoomBottom,   // qreal, px: room for the bottom border in bottomMargin()
    BorderRoomLeft,     // qreal, px: room for the left border in leftMargin()
    BorderRoomRight,    // qreal, px: room for the right border in rightMargin()

    // List formats.
    ListBullet = QTextFormat::UserProperty + 150, // QString: a bullet Qt has no style for

    // Image and object formats.
    ObjectKind = QTextFormat::UserProperty + 200, // int: richtext::ObjectKind
    ObjectData,         // QByteArray: the picture's or object's original bytes
    ObjectMeta,         // QString: further keywords of the picture (e.g. "wmetafile8", "picw1234")
    PictureWidthGoal,   // int, twips: \picwgoal
    PictureHeightGoal,  // int, twips: \pichgoal
    PictureWidth,       // int: \picw
    PictureHeight,      // int: \pich
    PictureScaleX,      // int percent: \picscalex
    PictureScaleY,      // int percent: \picscaley
    ObjectFileName,     // QString: file an embedded object was made from
    ObjectResultData,   // QByteArray: an object's \result picture as read (see above)
    ObjectResultKind,   // int: its richtext::ObjectKind
    ObjectResultMeta,   // QString: its further keywords

    // Table cell formats.
    RowHeight = QTextFormat::UserProperty + 250, // int, twips: \trrh of the cell's row (negative: exact)
    CellBorders,        // QString: the top, left, bottom and right border as read, style
                        // and \brdrw ("s10 - th20 db0"); drawn in whole pixels, at least 1
    RowFillTop,         // qreal, px: top padding the reader added for the row's \trrh height
                        // and the first paragraph's \sb (tablebuilder.cpp); not written as \clpad
    RowFillBottom,      // qreal, px: the same below, for \trrh

    // List formats.
    ListLabelAlign = QTextFormat::UserProperty + 300, // int: how a hanging label stands at the
                        // start of its line: 1 centred on it, 2 ending there (\leveljc, \pnqc, \pnqr)
};

} // namespace richtext::prop
