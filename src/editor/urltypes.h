#pragma once

#include <QColor>
#include <QList>
#include <QString>

#include <optional>

// One kind of link the editor's own scanner recognises: a scheme name
// ("http" matches "http:..."), or the e-mail kind in the first entry.
struct UrlType
{
    QString name;                          // the scheme without its colon, lower case by convention
    QColor color;                         // invalid: the editor's urlColor()
    std::optional<Qt::CursorShape> cursor; // empty: the editor's urlCursor()
    bool underline = true;

    bool operator==(const UrlType &) const = default;
};

// The ordered list of link kinds. Entry 0 is the e-mail kind, entries 1 and
// up are schemes; names are unique, a second entry of a name replaces the
// first one's settings.
class UrlTypeList
{
public:
    // "e-mail", "http", "file", "mailto", "ftp", "https", "gopher", "nntp",
    // "prospero", "telnet", "news", "wais".
    static UrlTypeList defaults();

    // Replaces colour, cursor and underline of the entry with exactly this
    // name (case-sensitive), or appends a new entry.
    void add(const QString &name, const QColor &color, bool underline,
             std::optional<Qt::CursorShape> cursor = std::nullopt);
    // Empties the list and adds every entry of `other` with add().
    void assign(const UrlTypeList &other);

    void clear() { m_types.clear(); }
    bool isEmpty() const { return m_types.isEmpty(); }
    qsizetype size() const { return m_types.size(); }
    const UrlType &at(qsizetype index) const { return m_types.at(index); }
    const QList<UrlType> &types() const { return m_types; }

    bool operator==(const UrlTypeList &) const = default;

private:
    QList<UrlType> m_types;
};
