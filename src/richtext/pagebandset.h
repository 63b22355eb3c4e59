#pragma once

// The page headers and footers a document came with, kept as the RTF groups
// its file held them in. The document keeps them on its root frame's format,
// beside its page (pagesetup.h), so they go wherever the document goes (a
// clone laid out for printing included), are gone after clear(), and are
// written back when the document is saved as RTF.

#include <QByteArray>
#include <QTextFormat>

#include <array>
#include <optional>
#include <string_view>

class QTextDocument;

namespace richtext::rtf {
struct DocumentTables;
}

namespace richtext {

enum class PageBandKind {
    Header,      // \header: every page (also the right pages' one)
    HeaderLeft,  // \headerl: left (even) pages
    HeaderRight, // \headerr: right (odd) pages
    HeaderFirst, // \headerf: the first page, with \titlepg
    Footer,
    FooterLeft,
    FooterRight,
    FooterFirst,
};
constexpr int PageBandKindCount = 8;

// The control word of a kind ("headerl") and the kind of a word.
std::string_view pageBandWord(PageBandKind kind);
std::optional<PageBandKind> pageBandKind(std::string_view word);

struct PageBandSet
{
    // RTF's default distance of a header from the paper's top edge and of a
    // footer from its bottom edge: half an inch, in twips.
    static constexpr int DefaultDistance = 720;
    // A band larger than this is not kept: a header is a few lines and a
    // logo, and the document is held in memory twice for it.
    static constexpr qsizetype MaxGroupSize = 1 << 20;

    // Per kind, the whole group ("{\header ...}") as the file had it; empty
    // when the document has none of that kind.
    std::array<QByteArray, PageBandKindCount> groups;
    // The file's code page, default font and the entries of its font and
    // colour tables that the groups refer to, as RTF
    // ("\ansicpg1252\deff0{\fonttbl...}{\colortbl...}"): a group's \f2 means
    // the file's font 2.
    QByteArray tables;
    bool titlePage = false;   // \titlepg: the first page has its own bands
    bool facingPages = false; // \facingp: left and right pages differ
    int headerY = DefaultDistance; // \headery, twips
    int footerY = DefaultDistance; // \footery, twips
    // \pgnstarts: the number the first page shows. The bands are those of
    // the first section, which has no section before it to go on from, so
    // its numbers start there with or without \pgnrestart.
    int firstPageNumber = 1;

    QByteArray &group(PageBandKind kind) { return groups[size_t(kind)]; }
    const QByteArray &group(PageBandKind kind) const { return groups[size_t(kind)]; }
    // Whether no group is kept (the page words alone draw nothing).
    bool isEmpty() const;

    bool operator==(const PageBandSet &) const = default;
};

// The document's bands; an empty set when it has none.
PageBandSet pageBandSet(const QTextDocument &document);
bool hasPageBands(const QTextDocument &document);
// Gives the document `bands` (an empty set removes them).
void setPageBandSet(QTextDocument &document, const PageBandSet &bands);

// The band groups and words of an RTF file, collected as the reader meets
// them. Like the page, the bands are those of the first section: a later
// section's groups and words change nothing.
class PageBandWords
{
public:
    // A section or document word (\titlepg, \facingp, \headery, \footery,
    // \pgnstarts, \sectd); other words are ignored.
    void read(std::string_view word, bool hasParam, int param);
    // A \sect: the first section is over.
    void endSection() { m_firstSectionOver = true; }
    // Whether a band group of `word` would be kept now: one of the first
    // section, not given before.
    bool wants(std::string_view word) const;
    // The whole group of a band word, braces included.
    void keep(std::string_view word, QByteArrayView group);

    // The bands, with the tables they refer to taken from `tables` (read by
    // the end of the file); nothing when the file had no band group.
    std::optional<PageBandSet> result(const rtf::DocumentTables &tables) const;

private:
    PageBandSet m_set;
    bool m_firstSectionOver = false;
};

} // namespace richtext

namespace richtext::prop {

// The bands on the root frame's format, after the page's properties.
enum : int {
    PageBandGroups = QTextFormat::UserProperty + 320, // QByteArray per kind, in PageBandKind order
    PageBandTables = PageBandGroups + PageBandKindCount, // QByteArray
    PageBandTitlePage,   // bool
    PageBandFacingPages, // bool
    PageBandHeaderY,     // int, twips
    PageBandFooterY,     // int, twips
    PageBandFirstNumber, // int
};

} // namespace richtext::prop
