#include "richtext/pagesetup.h"

#include <QTextDocument>
#include <QTextFrame>

#include <algorithm>
#include <cstdlib>

namespace richtext {

namespace {

constexpr int MinPaper = 720;   // half an inch
constexpr int MaxPaper = 63360; // 44 inches, twice the largest paper Word offers

// Two opposite margins on a paper side of `paper` twips: not negative (a
// negative top margin in Word means "exactly this far", still a distance),
// and together no more than three quarters of the side.
void fitMargins(int &first, int &second, int paper)
{
    const qint64 a = std::min<qint64>(std::llabs(first), paper);
    const qint64 b = std::min<qint64>(std::llabs(second), paper);
    const qint64 room = paper - paper / 4;
    if (a + b <= room) {
        first = int(a);
        second = int(b);
        return;
    }
    first = int(a * room / (a + b));
    second = int(room - first);
}

} // namespace

QRectF PageSetup::textRect() const
{
    return QRectF(marginLeft, marginTop, paperWidth - marginLeft - marginRight,
                  paperHeight - marginTop - marginBottom);
}

PageSetup PageSetup::sane() const
{
    PageSetup page = *this;
    page.paperWidth = std::clamp(paperWidth, MinPaper, MaxPaper);
    page.paperHeight = std::clamp(paperHeight, MinPaper, MaxPaper);
    fitMargins(page.marginLeft, page.marginRight, page.paperWidth);
    fitMargins(page.marginTop, page.marginBottom, page.paperHeight);
    return page;
}

bool hasPageSetup(const QTextDocument &document)
{
    return document.rootFrame()->frameFormat().hasProperty(prop::PagePaperWidth);
}

PageSetup pageSetup(const QTextDocument &document)
{
    PageSetup page;
    const QTextFrameFormat format = document.rootFrame()->frameFormat();
    if (!format.hasProperty(prop::PagePaperWidth))
        return page;
    page.paperWidth = format.intProperty(prop::PagePaperWidth);
    page.paperHeight = format.intProperty(prop::PagePaperHeight);
    page.marginLeft = format.intProperty(prop::PageMarginLeft);
    page.marginRight = format.intProperty(prop::PageMarginRight);
    page.marginTop = format.intProperty(prop::PageMarginTop);
    page.marginBottom = format.intProperty(prop::PageMarginBottom);
    page.landscape = format.boolProperty(prop::PageLandscape);
    return page.sane();
}

void setPageSetup(QTextDocument &document, const PageSetup &setup)
{
    const PageSetup page = setup.sane();
    QTextFrame *root = document.rootFrame();
    QTextFrameFormat format = root->frameFormat();
    format.setProperty(prop::PagePaperWidth, page.paperWidth);
    format.setProperty(prop::PagePaperHeight, page.paperHeight);
    format.setProperty(prop::PageMarginLeft, page.marginLeft);
    format.setProperty(prop::PageMarginRight, page.marginRight);
    format.setProperty(prop::PageMarginTop, page.marginTop);
    format.setProperty(prop::PageMarginBottom, page.marginBottom);
    format.setProperty(prop::PageLandscape, page.landscape);
    root->setFrameFormat(format);
}

QByteArray pageSetupRtf(const QTextDocument &document)
{
    if (!hasPageSetup(document))
        return {};
    const PageSetup page = pageSetup(document);
    QByteArray words = "\\paperw" + QByteArray::number(page.paperWidth) + "\\paperh"
                       + QByteArray::number(page.paperHeight) + "\\margl"
                       + QByteArray::number(page.marginLeft) + "\\margr"
                       + QByteArray::number(page.marginRight) + "\\margt"
                       + QByteArray::number(page.marginTop) + "\\margb"
                       + QByteArray::number(page.marginBottom);
    if (page.landscape)
        words += "\\landscape";
    return words;
}

void PageSetupWords::read(std::string_view word, bool hasParam, int param)
{
    struct Word
    {
        std::string_view name;
        Field field;
        bool section;
    };
    static constexpr Word words[] = {
        {"paperw", PaperWidth, false},    {"paperh", PaperHeight, false},
        {"margl", MarginLeft, false},     {"margr", MarginRight, false},
        {"margt", MarginTop, false},      {"margb", MarginBottom, false},
        {"landscape", Landscape, false},  {"pgwsxn", PaperWidth, true},
        {"pghsxn", PaperHeight, true},    {"marglsxn", MarginLeft, true},
        {"margrsxn", MarginRight, true},  {"margtsxn", MarginTop, true},
        {"margbsxn", MarginBottom, true}, {"lndscpsxn", Landscape, true},
    };
    if (word == "sectd") {
        // Back to the document's page for the section being defined.
        if (!m_firstSectionOver)
            m_section = {};
        return;
    }
    for (const Word &w : words) {
        if (w.name != word)
            continue;
        if (w.section && m_firstSectionOver)
            return;
        std::optional<int> value;
        if (w.field == Landscape)
            value = !hasParam || param != 0;
        else if (hasParam)
            value = param;
        (w.section ? m_section : m_document)[w.field] = value;
        return;
    }
}

std::optional<PageSetup> PageSetupWords::result() const
{
    const auto given = [](const std::optional<int> &v) { return v.has_value(); };
    if (std::none_of(m_document.begin(), m_document.end(), given)
        && std::none_of(m_section.begin(), m_section.end(), given))
        return std::nullopt;
    Values values;
    for (int i = 0; i < FieldCount; ++i)
        values[i] = m_section[i] ? m_section[i] : m_document[i];
    PageSetup page;
    page.paperWidth = values[PaperWidth].value_or(page.paperWidth);
    page.paperHeight = values[PaperHeight].value_or(page.paperHeight);
    page.marginLeft = values[MarginLeft].value_or(page.marginLeft);
    page.marginRight = values[MarginRight].value_or(page.marginRight);
    page.marginTop = values[MarginTop].value_or(page.marginTop);
    page.marginBottom = values[MarginBottom].value_or(page.marginBottom);
    page.landscape = values[Landscape].value_or(0) != 0;
    // Writers give a landscape page either as its turned size or as the
    // portrait size with \landscape; both mean the wide page.
    if (page.landscape && page.paperWidth < page.paperHeight)
        std::swap(page.paperWidth, page.paperHeight);
    return page.sane();
}

} // namespace richtext
