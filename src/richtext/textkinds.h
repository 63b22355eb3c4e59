#pragma once

#include <QByteArrayView>
#include <QTextCharFormat>
#include <QTextListFormat>

// The codes of the rich-edit control that QTextDocument has no type for,
// each mapped to Qt here and nowhere else. The reader, the writer and the
// editor's attribute objects all go through these functions, so that a
// kind shown one way on screen is never written another way.
namespace richtext {

// The rich-edit numbering of underlines (prop::UnderlineKind). A byte past
// Thick is kept as given and shown as a single line.
enum class UnderlineKind : quint8 {
    None,
    Single,
    Word,
    Double,
    Dotted,
    Dash,
    DashDot,
    DashDotDot,
    Wave,
    Thick,
};

// The line Qt draws for a kind: Word, Double and Thick (and unknown kinds)
// have no style of their own and show as a single line.
QTextCharFormat::UnderlineStyle toQt(UnderlineKind kind);
// The kind of text underlined by Qt alone (pasted HTML, for instance). The
// spell checker's wave marks a word, not the text, and counts as none.
UnderlineKind underlineKindOf(QTextCharFormat::UnderlineStyle style);
// The kind a format shows: its kept kind unless Qt's own underline says
// the text is not underlined at all; `unset` when the format says nothing.
UnderlineKind underlineKind(const QTextCharFormat &format,
                            UnderlineKind unset = UnderlineKind::None);
// Sets the kind and the line Qt draws for it.
void setUnderlineKind(QTextCharFormat &format, UnderlineKind kind);

// Text raised (positive) or lowered (negative) by `twips` from the
// baseline, at its own size (as word processors show RTF's \up and \dn):
// kept in prop::Offset and shown through Qt's baseline offset, which is a
// share of the font's height, worked out here from the format's own face
// and size.
void setVerticalOffset(QTextCharFormat &format, int twips);

// The rich-edit numbering of paragraphs (prop::NumberingKind), as the
// toolbar's bullet button and RTF's \pn groups know it. Values past
// UpperRoman are kept on a paragraph and shown as bullets.
enum class ListKind : quint8 {
    None,
    Bullet,
    Arabic,
    LowerLetter,
    UpperLetter,
    LowerRoman,
    UpperRoman,
};

// A bullet kind shows as a disc; the reader picks circles and squares by
// the bullet character itself.
QTextListFormat::Style toQt(ListKind kind);
ListKind listKindOf(QTextListFormat::Style style);
// The number of a list item as its kind writes it: "7", "g", "VII".
QString listNumberText(ListKind kind, int n);

// What a picture or an embedded object holds (prop::ObjectKind): the RTF
// picture kinds, or an object made from a file.
enum class ObjectKind : quint8 {
    None,
    Png,
    Jpeg,
    Emf,
    WindowsMetafile,
    Os2Metafile,
    MacPict,
    Dib,
    WindowsBitmap,
    Object,
};

// The RTF keyword of a picture kind ("pngblip", "wmetafile" ...); "object"
// for an object, empty for None.
QByteArrayView rtfKeyword(ObjectKind kind);
// The kind a picture keyword names, None for any other word.
ObjectKind objectKindOfKeyword(QByteArrayView keyword);
// The image format Qt reads the bytes of a kind with ("png", "jpeg", and
// "bmp" once a bitmap file header is put in front of a DIB), or nullptr
// when Qt cannot show the kind and a placeholder stands in for it.
const char *qtImageFormat(ObjectKind kind);
// Metafiles give \picw and \pich in hundredths of a millimetre, the other
// kinds in pixels.
bool isMetafile(ObjectKind kind);

// The kinds as stored on formats.
ObjectKind objectKind(const QTextFormat &format);
void setObjectKind(QTextFormat &format, ObjectKind kind);

} // namespace richtext
