#include "richtext/listchooser.h"

#include "richtext/textkinds.h"
#include "richtext/textproperties.h"

#include <algorithm>

namespace richtext {

namespace {

// How many \pn lists are kept open inside each other, and how many that
// other paragraphs interrupted are remembered.
constexpr size_t Remembered = 16;

} // namespace

ListChooser::Choice ListChooser::choose(const rtf::ParState &par)
{
    Choice choice;
    if (par.ls > 0) {
        endPnLists();
        choice.level = m_tables.listLevel(par.ls, par.ilvl);
        if (!choice.level || choice.level->kind == ListKind::None)
            return {};
        choice.key = (qint64(par.ls) << 8) | par.ilvl;
        // A higher level item restarts the numbering of the levels below it.
        for (int lower = par.ilvl + 1; lower <= 8; ++lower)
            m_lists.remove((qint64(par.ls) << 8) | lower);
        choice.list = m_lists.value(choice.key);
        return choice;
    }
    if (par.pn >= 0 && size_t(par.pn) < m_tables.pnDefs.size())
        return choosePn(par);
    // A paragraph inside a list item leaves the list going on.
    if (!par.has(rtf::ParState::PnContinues))
        endPnLists();
    return {};
}

void ListChooser::fillLevelNumbers(QTextListFormat &format, const rtf::ParState &par,
                                   const rtf::ListLevelDef &level) const
{
    // A level whose text shows the numbers of the levels above it ("1.2.",
    // "1.2.1."): a list of this level belongs to one item of the level
    // above (it restarts with each), so their numbers are fixed for it and
    // go into its prefix, before the number the list counts itself.
    const bool multiLevel = std::any_of(level.text.cbegin(), level.text.cend(), [&](QChar c) {
        return c.unicode() < par.ilvl;
    });
    if (!multiLevel)
        return;
    QString prefix, suffix;
    bool own = false;
    for (const QChar c : level.text) {
        const int ref = c.unicode();
        QString &out = own ? suffix : prefix;
        if (ref > 8) {
            out += c;
        } else if (ref == par.ilvl) {
            own = true;
        } else if (ref < par.ilvl) {
            const rtf::ListLevelDef *above = m_tables.listLevel(par.ls, ref);
            const QTextList *list = m_lists.value((qint64(par.ls) << 8) | ref);
            int number = above ? above->start : 1;
            if (list && list->count() > 0)
                number = list->format().intProperty(prop::NumberingStart) + list->count() - 1;
            out += listNumberText(above ? above->kind : ListKind::Arabic, number);
        }
    }
    format.setNumberPrefix(prefix);
    format.setNumberSuffix(suffix);
}

bool ListChooser::sameLook(int def, int other) const
{
    const rtf::ListLevelDef &a = m_tables.pnDefs[size_t(def)];
    const rtf::ListLevelDef &b = m_tables.pnDefs[size_t(other)];
    return a.kind == b.kind && a.prefix == b.prefix && a.suffix == b.suffix && a.bullet == b.bullet;
}

void ListChooser::endPnLists()
{
    for (PnList &open : m_pnOpen) {
        if (open.list)
            m_pnEnded.push_back(std::move(open));
    }
    m_pnOpen.clear();
    // Only lists not long interrupted go on; the rest are forgotten.
    if (m_pnEnded.size() > Remembered)
        m_pnEnded.erase(m_pnEnded.begin(), m_pnEnded.end() - Remembered);
}

ListChooser::Choice ListChooser::choosePn(const rtf::ParState &par)
{
    // A \pn paragraph goes on with the list of the paragraph before when it
    // keeps that paragraph's numbering. One that gives a numbering of its
    // own, with a start value, goes on with a list of the same look at the
    // same indent when its start is the list's next number (as rich-edit
    // controls and this program write it) or the start the list began with
    // (Word repeats that on every item); any other start begins a new list,
    // and so does a deeper indent (a list inside the item before). An item
    // that carries the next number of a list that other paragraphs
    // interrupted goes on with that list.
    const rtf::ListLevelDef &def = m_tables.pnDefs[size_t(par.pn)];
    Choice choice;
    choice.level = &def;
    choice.key = -1;
    const auto goesOn = [&](const PnList &list) {
        if (!list.list || list.indent != par.li || !sameLook(list.def, par.pn))
            return false;
        if (!par.has(rtf::ParState::PnGiven) && list.last == par.pn)
            return true;
        return def.kind == ListKind::Bullet || def.start == list.next || def.start == list.opened;
    };
    for (size_t k = m_pnOpen.size(); k-- > 0;) {
        if (goesOn(m_pnOpen[k])) {
            // The lists opened inside it since have ended.
            for (size_t inner = k + 1; inner < m_pnOpen.size(); ++inner)
                m_pnEnded.push_back(std::move(m_pnOpen[inner]));
            m_pnOpen.resize(k + 1);
            choice.list = m_pnOpen[k].list;
            ++m_pnOpen[k].next;
            m_pnOpen[k].last = par.pn;
            return choice;
        }
    }
    // The lists at this indent or deeper end here.
    for (auto it = m_pnOpen.begin(); it != m_pnOpen.end();) {
        if (it->indent >= par.li || !it->list) {
            if (it->list)
                m_pnEnded.push_back(std::move(*it));
            it = m_pnOpen.erase(it);
        } else {
            ++it;
        }
    }
    for (auto it = m_pnEnded.rbegin(); it != m_pnEnded.rend(); ++it) {
        if (it->list && it->indent == par.li && def.kind != ListKind::Bullet && def.start > 1
            && it->next == def.start && sameLook(it->def, par.pn)) {
            PnList resumed = std::move(*it);
            m_pnEnded.erase(std::next(it).base());
            choice.list = resumed.list;
            ++resumed.next;
            resumed.opened = def.start;
            resumed.last = par.pn;
            m_pnOpen.push_back(std::move(resumed));
            return choice;
        }
    }
    // A new list; started() fills in its QTextList. Lists inside lists
    // deeper than any document nests them end the outermost.
    if (m_pnOpen.size() >= Remembered)
        m_pnOpen.erase(m_pnOpen.begin());
    m_pnOpen.push_back({nullptr, par.pn, par.li, def.start + 1, def.start, par.pn});
    return choice;
}

void ListChooser::started(const Choice &choice, QTextList *list)
{
    if (choice.key >= 0)
        m_lists.insert(choice.key, list);
    else if (!m_pnOpen.empty())
        m_pnOpen.back().list = list;
}

} // namespace richtext
