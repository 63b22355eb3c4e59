#pragma once

#include "richtext/pagebandset.h"
#include "richtext/pagesetup.h"
#include "richtext/textkinds.h"

#include <QByteArray>
#include <QColor>
#include <QHash>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <vector>

// What the RTF reader knows at a point of the document: the character and
// paragraph formatting of the current group, the tables of the document
// header, and the table rows and pictures it has read. The reader fills these
// in; sinks turn them into whatever they build.
namespace richtext::rtf {

// Character formatting of a group. Plain ints only (no padding), so that it
// can be compared and hashed as a whole: a sink caches the formats it builds
// from it.
struct CharState
{
    enum Flag : std::uint32_t {
        Bold = 1u << 0,
        Italic = 1u << 1,
        Strike = 1u << 2,
        Hidden = 1u << 3,
        Outline = 1u << 4,
        Shadow = 1u << 5,
        Emboss = 1u << 6,
        Imprint = 1u << 7,
        DoubleByte = 1u << 8, // \dbch: bytes are in the code page of \af
        DoubleStrike = 1u << 9,
    };
    enum Script : std::int32_t { Baseline, Super, Sub };
    enum Caps : std::int32_t { NoCaps, AllCaps, SmallCaps };

    std::int32_t font = -1;    // \f; -1: the document's default font
    std::int32_t afont = -1;   // \af, the associated font of \dbch runs
    std::int32_t size = 24;    // \fs, half points
    std::int32_t fg = 0;       // \cf colour index; 0 is the automatic colour
    std::int32_t bg = 0;       // \highlight, \cb, \chcbpat colour index; 0 none
    std::int32_t offset = 0;   // \up (positive), \dn (negative), half points
    std::int32_t spacing = 0;  // \expndtw, twips
    std::int32_t lang = -1;    // \lang; -1: the document's default
    std::int32_t kerning = 0;  // \kerning, half points
    std::int32_t underline = 0; // an UnderlineKind, an int to keep the struct free of padding
    std::int32_t script = Baseline;
    std::int32_t caps = NoCaps;
    std::int32_t animation = 0;
    std::int32_t link = -1;    // index into DocumentTables::links
    std::int32_t footnote = -1; // index into DocumentTables::footnotes: the text is its mark
    std::uint32_t flags = 0;

    bool has(Flag f) const { return flags & f; }
    void set(Flag f, bool on) { flags = on ? (flags | f) : (flags & ~f); }
    bool operator==(const CharState &) const = default;
};
static_assert(sizeof(CharState) == 16 * 4, "CharState must have no padding");

inline size_t qHash(const CharState &s, size_t seed = 0)
{
    return qHashBits(&s, sizeof s, seed);
}

// Paragraph formatting of a group (reset by \pard).
struct ParState
{
    enum Flag : std::uint32_t {
        KeepNext = 1u << 0,
        Keep = 1u << 1,
        PageBreakBefore = 1u << 2,
        RightToLeft = 1u << 3,
        InTable = 1u << 4, // \intbl
        PnGiven = 1u << 5,     // the paragraph's own \pn group, not the one before kept
        PnContinues = 1u << 6, // \pnlvlcont: a paragraph inside a list item, without a number
    };
    enum Align : std::int32_t { Left, Right, Center, Justify, Distribute };

    std::int32_t align = Left;
    std::int32_t li = 0, ri = 0, fi = 0; // twips
    std::int32_t sb = 0, sa = 0;         // twips
    std::int32_t sl = 0;                 // \sl, twips (negative: exact)
    std::int32_t slmult = 0;             // \slmult
    std::int32_t tabs = -1;              // index into DocumentTables::tabSets
    std::int32_t ls = 0;                 // \ls list override; 0 none
    std::int32_t ilvl = 0;               // \ilvl
    std::int32_t pn = -1;                // index into DocumentTables::pnDefs
    std::int32_t itap = 0;               // \itap nesting level
    std::int32_t style = 0;              // \s
    std::int32_t decor = -1;             // index into DocumentTables::decorSets
    std::uint32_t flags = 0;

    bool has(Flag f) const { return flags & f; }
    void set(Flag f, bool on) { flags = on ? (flags | f) : (flags & ~f); }
    bool operator==(const ParState &) const = default;
};
static_assert(sizeof(ParState) == 16 * 4, "ParState must have no padding");

inline size_t qHash(const ParState &s, size_t seed = 0)
{
    return qHashBits(&s, sizeof s, seed);
}

struct TabStop
{
    enum Kind : std::int32_t { Left, Right, Center, Decimal };
    std::int32_t position = 0; // twips
    std::int32_t kind = Left;
    std::int32_t leader = 0;   // 0 none, 1 dots, 2 hyphens, 3 underline, 4 thick line, 5 equals
    bool operator==(const TabStop &) const = default;
};

struct FontDef
{
    QString name;
    QString alt;          // {\*\falt}: the face to use when `name` is missing
    QString family;       // froman, fswiss ... as read, without the leading 'f'
    int charset = -1;     // \fcharset; -1 when the entry gives none
    int codePage = 0;     // code page of the entry's bytes (charset, \cpg, document)
    int pitch = 0;        // \fprq
};

// One level of a list: from \listtable/\listoverridetable or from a \pn group.
struct ListLevelDef
{
    ListKind kind = ListKind::Bullet;
    int start = 1;
    QString prefix;        // text before the number
    QString suffix;        // text after the number
    QString text;          // \leveltext with the numbers of levels 0 to 8 as characters 0 to 8
    QChar bullet;          // bullet character of a bullet level
    int li = 0, fi = 0;    // indents the level asks for, twips
    int align = 0;         // \leveljc: where the label stands at its place (0 left, 1 centre, 2 right)
    bool operator==(const ListLevelDef &) const = default;
};

// One edge of a table cell: \brdrs, \brdrth ... with \brdrw and \brdrcf.
struct BorderDef
{
    enum Style : std::uint8_t { None, Single, Thick, Double, Dotted, Dashed };
    std::uint8_t style = None;
    int width = 0;            // \brdrw, twips (0: the writer's thinnest line)
    int color = 0;            // \brdrcf colour index, 0 automatic
    bool operator==(const BorderDef &) const = default;
};

// Sides of a cell, in the order the border arrays hold them.
enum BorderSide : int { Top, Left, Bottom, Right, InnerHorizontal, InnerVertical };

// A paragraph's borders (\brdrt ... \box, each with \brsp) and shading
// (\cbpat, \cfpat, \shading). Paragraphs refer to one by index, so that
// ParState stays small and hashable.
struct DecorDef
{
    BorderDef sides[4];       // by BorderSide
    int space[4] = {};        // \brsp, twips
    int background = 0;       // \cbpat colour index, 0 none
    int pattern = 0;          // \cfpat colour index, 0 automatic
    int shading = 0;          // \shading, hundredths of a percent
    bool operator==(const DecorDef &) const = default;
};

struct CellDef
{
    enum Merge : std::uint8_t { None, First, Continue };
    int right = 0;            // \cellx, twips from the row's origin
    int background = 0;       // \clcbpat colour index
    std::uint8_t hmerge = None;
    std::uint8_t vmerge = None;
    std::uint8_t valign = 0;  // 0 top, 1 centre, 2 bottom
    BorderDef borders[4];     // \clbrdrt, \clbrdrl, \clbrdrb, \clbrdrr
    bool bordered[4] = {};    // the side was named (a named side with no style has no line)
    int padding[4] = {-1, -1, -1, -1}; // \clpad*, twips, by BorderSide; -1: the row's
};

struct RowDef
{
    std::vector<CellDef> cells;
    int left = 0;           // \trleft
    int gap = 0;            // \trgaph
    int align = 0;          // 0 left, 1 centre, 2 right
    int height = 0;         // \trrh (negative: exact)
    bool header = false;    // \trhdr
    BorderDef borders[6];   // \trbrdrt, l, b, r, h, v: what cells that name no side get
    int padding[4] = {-1, -1, -1, -1}; // \trpadd*, twips, by BorderSide; -1: \trgaph
};

struct Picture
{
    ObjectKind kind = ObjectKind::None;
    QByteArray data;
    QString meta;             // further keywords, e.g. "wmetafile8"
    int picw = 0, pich = 0;   // \picw, \pich (pixels or himetric, by kind)
    int goalw = 0, goalh = 0; // \picwgoal, \pichgoal, twips
    int scalex = 100, scaley = 100;
    // Set when the picture is the shown face of an embedded \object.
    bool object = false;
    QByteArray objectData;
    QString objectMeta;
    QString objectName;       // \*\objname: the file the object was made from
};

// The document header's tables, shared by the reader and its sink.
struct DocumentTables
{
    QHash<int, FontDef> fonts;
    int defaultFont = -1;
    int defaultLang = 1033;
    int codePage = 1252;
    std::vector<QColor> colors; // an invalid colour is the automatic entry
    std::vector<std::vector<TabStop>> tabSets;
    std::vector<DecorDef> decorSets;
    std::vector<ListLevelDef> pnDefs;
    QStringList links;
    PageSetupWords page; // paper size and margins
    PageBandWords bands; // page headers and footers
    // The footnotes read so far, each as the value of its mark's
    // prop::Footnote (footnotes.h).
    std::vector<QByteArray> footnotes;

    const FontDef *font(int index) const
    {
        auto it = fonts.constFind(index < 0 ? defaultFont : index);
        return it == fonts.cend() ? nullptr : &it.value();
    }
    QColor color(int index) const
    {
        return index >= 0 && size_t(index) < colors.size() ? colors[index] : QColor();
    }
    // The level definition of \lsN\ilvlM, or null.
    const ListLevelDef *listLevel(int ls, int ilvl) const
    {
        auto own = overrideLevels.constFind(ls);
        if (own != overrideLevels.cend() && !own->empty())
            return &own.value()[std::min<size_t>(std::max(ilvl, 0), own->size() - 1)];
        auto it = overrides.constFind(ls);
        if (it == overrides.cend())
            return nullptr;
        auto lt = lists.constFind(it.value());
        if (lt == lists.cend() || lt->empty())
            return nullptr;
        const auto &levels = lt.value();
        return &levels[std::min<size_t>(std::max(ilvl, 0), levels.size() - 1)];
    }

    QHash<int, std::vector<ListLevelDef>> lists; // \listid -> levels
    QHash<int, int> overrides;                   // \ls -> \listid
    // \ls -> the levels of an override whose \lfolevel groups change its list's
    QHash<int, std::vector<ListLevelDef>> overrideLevels;
};

} // namespace richtext::rtf
