#pragma once

// Draws a document's own page headers and footers in the margins of its
// printed pages, as the word processor it came from does.

#include <QRectF>

#include <array>
#include <memory>

class QPaintDevice;
class QPainter;
class QTextDocument;

namespace richtext {

class PageBands
{
public:
    // Reads each band the document keeps (pagebandset.h) once, into a small
    // document of its own.
    explicit PageBands(const QTextDocument &document);
    ~PageBands();
    PageBands(const PageBands &) = delete;
    PageBands &operator=(const PageBands &) = delete;

    // Whether the document has no header or footer to draw.
    bool isEmpty() const;

    // Draws the header of page `pageNumber` (from 1) of `pageCount`: the
    // first page's own one with \titlepg (none when it has none), with
    // \facingp the left one on even pages and the right one on odd pages,
    // else the one for every page. `paper` and `text` are the paper and the
    // text area in the painter's device pixels; the header takes the text
    // area's left and width, and its top lies at \headery from the paper's
    // top. Page numbers and counts in it show those of this page, the
    // first page showing the number the file starts its pages at.
    void drawHeader(QPainter &painter, const QRectF &paper, const QRectF &text, int pageNumber,
                    int pageCount) const;
    // The same for the footer, whose bottom lies at \footery from the
    // paper's bottom.
    void drawFooter(QPainter &painter, const QRectF &paper, const QRectF &text, int pageNumber,
                    int pageCount) const;

    // The room the body has on page `pageNumber`: `text`, with its top moved
    // down to the bottom of a header that reaches below it and its bottom
    // moved up to the top of a footer that reaches above it, as word
    // processors push the body away from a band taller than the margin.
    // `paper` and `text` are in pixels of `device` (a 96 dpi screen when
    // null), laid out as drawHeader() lays the bands out. A quarter of the
    // text area's height is always left to the body, so that every page
    // takes some of it.
    QRectF textRect(QPaintDevice *device, const QRectF &paper, const QRectF &text, int pageNumber,
                    int pageCount) const;

private:
    struct Band;

    const Band *bandFor(bool header, int pageNumber) const;
    void draw(QPainter &painter, const Band &band, const QRectF &paper, const QRectF &text,
              bool header, int pageNumber, int pageCount) const;
    // Where the band is drawn on the page, in the device's pixels.
    QRectF place(const Band &band, QPaintDevice *device, const QRectF &paper, const QRectF &text,
                 bool header, int pageNumber, int pageCount) const;

    std::array<std::unique_ptr<Band>, 8> m_bands;
    bool m_titlePage = false;
    bool m_facingPages = false;
    int m_headerY = 720;
    int m_footerY = 720;
    int m_firstNumber = 1;
};

} // namespace richtext
