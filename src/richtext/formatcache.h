#pragma once

#include "richtext/rtfstate.h"

#include <QHash>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextListFormat>

#include <vector>

// Qt formats for the reader's formatting states, each built once. A document
// of half a million runs uses a few hundred distinct states; building a
// QTextCharFormat per run would cost more than inserting the text.
namespace richtext {

class FormatCache
{
public:
    explicit FormatCache(const rtf::DocumentTables &tables) : m_tables(tables) {}

    // Index of the character format of a state (formFeed: the format of a
    // page break character). Indices stay valid for the cache's life.
    int charFormat(const rtf::CharState &state, bool formFeed = false);
    // Adds a format that is not cached (pictures) and returns its index.
    int addFormat(const QTextCharFormat &format);
    const QTextCharFormat &format(int index) const { return m_charFormats[size_t(index)]; }

    // The block format of a paragraph state; for a list item, as a member
    // of the list object `listObject` (-1: the list is not made yet).
    QTextBlockFormat blockFormat(const rtf::ParState &state, bool listItem, int listObject);

    // The list format for a level definition.
    QTextListFormat listFormat(const rtf::ListLevelDef &level, const rtf::ParState &par) const;

    // The font or colour tables changed: states now map to other formats.
    void invalidate();

private:
    QTextCharFormat buildCharFormat(const rtf::CharState &state) const;
    QString installedFace(const QString &name) const;
    QTextBlockFormat buildBlockFormat(const rtf::ParState &state, bool listItem) const;

    struct BlockKey
    {
        rtf::ParState par;
        bool listItem;
        int object;
        bool operator==(const BlockKey &) const = default;
    };
    friend size_t qHash(const BlockKey &key, size_t seed)
    {
        return qHashMulti(seed, key.par, key.listItem, key.object);
    }

    const rtf::DocumentTables &m_tables;
    std::vector<QTextCharFormat> m_charFormats;
    QHash<rtf::CharState, int> m_charIndex;
    QHash<rtf::CharState, int> m_formFeedIndex;
    QHash<BlockKey, QTextBlockFormat> m_blockFormats;
    mutable QHash<QString, QString> m_installedFaces; // by the name a document gives
};

} // namespace richtext
