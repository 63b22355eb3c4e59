#pragma once

// The page a document was made for: paper size and margins, in twips, as RTF
// gives them. The document keeps it on its root frame's format, so that it
// goes wherever the document goes (a clone laid out for printing included)
// and is gone after clear(), as the document's text is.

#include <QByteArray>
#include <QRectF>
#include <QTextFormat>

#include <array>
#include <optional>
#include <string_view>

class QTextDocument;

namespace richtext {

struct PageSetup
{
    // RTF's defaults: Letter paper, margins of 1.25 inches left and right,
    // 1 inch at the top and bottom.
    int paperWidth = 12240;
    int paperHeight = 15840;
    int marginLeft = 1800;
    int marginRight = 1800;
    int marginTop = 1440;
    int marginBottom = 1440;
    // The document asked for landscape; paperWidth and paperHeight are
    // already those of the turned page.
    bool landscape = false;

    // The text area in twips from the paper's top left corner.
    QRectF textRect() const;

    // The same page within the limits every page keeps: paper from half an
    // inch to 44 inches a side, margins not negative, and at least a quarter
    // of the paper's width and height left for text (margins that leave
    // less shrink in proportion). Files give any numbers; a page made from
    // them must still print.
    PageSetup sane() const;

    bool operator==(const PageSetup &) const = default;
};

// The document's page, or RTF's default page when it has none of its own.
PageSetup pageSetup(const QTextDocument &document);
// Whether the document has a page of its own (from the file it was read
// from, or set).
bool hasPageSetup(const QTextDocument &document);
// Gives the document `setup` (made sane) as its own page. An undoable edit
// when the document keeps undo.
void setPageSetup(QTextDocument &document, const PageSetup &setup);

// The RTF document-format words of the document's own page
// ("\paperw12240\paperh15840\margl1800..."); empty when it has none, so a
// document that never had a page is written as it always was.
QByteArray pageSetupRtf(const QTextDocument &document);

// The page words of an RTF file, collected as the reader meets them. The
// document's words (\paperw, \margl, \landscape ...) give its page; the first
// section's own words (\pgwsxn, \marglsxn, \lndscpsxn ...) win over them, as
// the first page is laid out by its section; later sections change nothing.
class PageSetupWords
{
public:
    // One page word (its name without the backslash) and its parameter.
    // Words it does not know are ignored.
    void read(std::string_view word, bool hasParam, int param);
    // A \sect: the first section is over.
    void endSection() { m_firstSectionOver = true; }

    // The page the words give, made sane; nothing when the file gave none.
    std::optional<PageSetup> result() const;

private:
    enum Field { PaperWidth, PaperHeight, MarginLeft, MarginRight, MarginTop, MarginBottom,
                 Landscape, FieldCount };
    using Values = std::array<std::optional<int>, FieldCount>;
    Values m_document;
    Values m_section;
    bool m_firstSectionOver = false;
};

} // namespace richtext

namespace richtext::prop {

// The page on the root frame's format: ints in twips, and a bool. Beside
// the ranges textproperties.h uses for text, blocks, lists and objects.
enum : int {
    PagePaperWidth = QTextFormat::UserProperty + 300,
    PagePaperHeight,
    PageMarginLeft,
    PageMarginRight,
    PageMarginTop,
    PageMarginBottom,
    PageLandscape,
};

} // namespace richtext::prop
