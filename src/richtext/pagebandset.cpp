#include "richtext/pagebandset.h"

#include "richtext/pagebandrtf.h"

#include <QTextDocument>
#include <QTextFrame>

#include <algorithm>

namespace richtext {

namespace {

constexpr std::string_view Words[PageBandKindCount] = {
    "header", "headerl", "headerr", "headerf", "footer", "footerl", "footerr", "footerf",
};

// Distances beyond the tallest paper (pagesetup.h) mean nothing; negative
// ones are taken as their size, as for margins.
int distance(int twips)
{
    return std::min(std::abs(std::max(twips, -63360)), 63360);
}

// Page numbers as far as Word goes.
int pageNumber(int number)
{
    return std::clamp(number, 0, 32767);
}

} // namespace

std::string_view pageBandWord(PageBandKind kind)
{
    return Words[size_t(kind)];
}

std::optional<PageBandKind> pageBandKind(std::string_view word)
{
    for (int i = 0; i < PageBandKindCount; ++i) {
        if (Words[i] == word)
            return PageBandKind(i);
    }
    return std::nullopt;
}

bool PageBandSet::isEmpty() const
{
    return std::all_of(groups.begin(), groups.end(),
                       [](const QByteArray &group) { return group.isEmpty(); });
}

bool hasPageBands(const QTextDocument &document)
{
    return document.rootFrame()->frameFormat().hasProperty(prop::PageBandTables);
}

PageBandSet pageBandSet(const QTextDocument &document)
{
    PageBandSet set;
    const QTextFrameFormat format = document.rootFrame()->frameFormat();
    if (!format.hasProperty(prop::PageBandTables))
        return set;
    for (int i = 0; i < PageBandKindCount; ++i)
        set.groups[size_t(i)] = format.property(prop::PageBandGroups + i).toByteArray();
    set.tables = format.property(prop::PageBandTables).toByteArray();
    set.titlePage = format.boolProperty(prop::PageBandTitlePage);
    set.facingPages = format.boolProperty(prop::PageBandFacingPages);
    set.headerY = distance(format.intProperty(prop::PageBandHeaderY));
    set.footerY = distance(format.intProperty(prop::PageBandFooterY));
    if (format.hasProperty(prop::PageBandFirstNumber))
        set.firstPageNumber = pageNumber(format.intProperty(prop::PageBandFirstNumber));
    return set;
}

void setPageBandSet(QTextDocument &document, const PageBandSet &bands)
{
    QTextFrame *root = document.rootFrame();
    QTextFrameFormat format = root->frameFormat();
    if (bands.isEmpty()) {
        if (!format.hasProperty(prop::PageBandTables))
            return;
        for (int property = prop::PageBandGroups; property <= prop::PageBandFirstNumber; ++property)
            format.clearProperty(property);
    } else {
        for (int i = 0; i < PageBandKindCount; ++i) {
            if (bands.groups[size_t(i)].isEmpty())
                format.clearProperty(prop::PageBandGroups + i);
            else
                format.setProperty(prop::PageBandGroups + i, bands.groups[size_t(i)]);
        }
        format.setProperty(prop::PageBandTables, bands.tables);
        format.setProperty(prop::PageBandTitlePage, bands.titlePage);
        format.setProperty(prop::PageBandFacingPages, bands.facingPages);
        format.setProperty(prop::PageBandHeaderY, distance(bands.headerY));
        format.setProperty(prop::PageBandFooterY, distance(bands.footerY));
        format.setProperty(prop::PageBandFirstNumber, pageNumber(bands.firstPageNumber));
    }
    root->setFrameFormat(format);
}

void PageBandWords::read(std::string_view word, bool hasParam, int param)
{
    if (word == "facingp") {
        // A document word: it holds wherever it stands.
        m_set.facingPages = !hasParam || param != 0;
        return;
    }
    if (m_firstSectionOver)
        return;
    if (word == "sectd") {
        // Back to the defaults for the section being defined.
        m_set.titlePage = false;
        m_set.headerY = m_set.footerY = PageBandSet::DefaultDistance;
        m_set.firstPageNumber = 1;
    } else if (word == "titlepg") {
        m_set.titlePage = !hasParam || param != 0;
    } else if (word == "headery" && hasParam) {
        m_set.headerY = distance(param);
    } else if (word == "footery" && hasParam) {
        m_set.footerY = distance(param);
    } else if (word == "pgnstarts" && hasParam) {
        m_set.firstPageNumber = pageNumber(param);
    }
}

bool PageBandWords::wants(std::string_view word) const
{
    const auto kind = pageBandKind(word);
    return kind && !m_firstSectionOver && m_set.group(*kind).isEmpty();
}

void PageBandWords::keep(std::string_view word, QByteArrayView group)
{
    const auto kind = pageBandKind(word);
    if (!kind || !wants(word) || group.size() > PageBandSet::MaxGroupSize || group.size() < 2
        || group.front() != '{' || group.back() != '}')
        return;
    m_set.group(*kind) = group.toByteArray();
}

std::optional<PageBandSet> PageBandWords::result(const rtf::DocumentTables &tables) const
{
    if (m_set.isEmpty())
        return std::nullopt;
    PageBandSet set = m_set;
    set.tables = bandTablesRtf(tables, set);
    return set;
}

} // namespace richtext
