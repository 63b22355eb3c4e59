#pragma once

#include "richtext/rtfstate.h"

#include <QHash>
#include <QPointer>
#include <QTextList>

#include <vector>

// Which list a paragraph read from RTF belongs to. A \ls list goes on
// through the document, one QTextList per list and level, a level's list
// starting anew after each item of the level above it. A \pn paragraph
// names only a numbering, so its list is worked out from the paragraphs
// before it: the same numbering at the same indent goes on, a deeper indent
// is a list inside the item before, and a list that other paragraphs
// interrupted goes on where an item carries its next number.
namespace richtext {

class ListChooser
{
public:
    explicit ListChooser(const rtf::DocumentTables &tables) : m_tables(tables) {}

    struct Choice
    {
        const rtf::ListLevelDef *level = nullptr; // null: not a list item
        QTextList *list = nullptr; // the list to join, or null to start one
        qint64 key = 0;            // for \ls lists; -1 for a \pn list
    };
    // Called for every paragraph, in document order.
    Choice choose(const rtf::ParState &par);
    // The list started for a choice whose list was null.
    void started(const Choice &choice, QTextList *list);
    // A new \ls list of a level whose text shows the numbers of the levels
    // above it ("1.2.") gets those numbers as its prefix.
    void fillLevelNumbers(QTextListFormat &format, const rtf::ParState &par,
                          const rtf::ListLevelDef &level) const;

private:
    // A \pn list that later paragraphs may go on with.
    struct PnList
    {
        QPointer<QTextList> list;
        int def = -1;   // index into DocumentTables::pnDefs of its first item
        int indent = 0; // \li of its items, twips
        int next = 1;   // the number its next item has
        int opened = 1; // the start value of the item that began or resumed it
        int last = -1;  // the numbering its last item had
    };
    Choice choosePn(const rtf::ParState &par);
    bool sameLook(int def, int other) const;
    void endPnLists();

    const rtf::DocumentTables &m_tables;
    QHash<qint64, QPointer<QTextList>> m_lists;
    // \pn lists the paragraphs are in (a deeper one after the one it is in),
    // and those that other paragraphs interrupted.
    std::vector<PnList> m_pnOpen;
    std::vector<PnList> m_pnEnded;
};

} // namespace richtext
