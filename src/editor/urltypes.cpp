#include "editor/urltypes.h"

UrlTypeList UrlTypeList::defaults()
{
    UrlTypeList list;
    static const char *const names[] = {"e-mail", "http",     "file",   "mailto",
                                        "ftp",    "https",    "gopher", "nntp",
                                        "prospero", "telnet", "news",   "wais"};
    for (const char *name : names)
        list.add(QString::fromLatin1(name), QColor(), true);
    return list;
}

void UrlTypeList::add(const QString &name, const QColor &color, bool underline,
                      std::optional<Qt::CursorShape> cursor)
{
    // Names compare exactly: the scanner compares in upper case but a link
    // notification looks up the lower-case scheme, so a name with capitals
    // is kept as given and stays the caller's business.
    for (UrlType &type : m_types) {
        if (type.name == name) {
            type.color = color;
            type.cursor = cursor;
            type.underline = underline;
            return;
        }
    }
    m_types.append(UrlType{name, color, cursor, underline});
}

void UrlTypeList::assign(const UrlTypeList &other)
{
    if (&other == this)
        return;
    m_types.clear();
    for (const UrlType &type : other.m_types)
        add(type.name, type.color, type.underline, type.cursor);
}
