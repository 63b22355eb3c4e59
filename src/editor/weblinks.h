#pragma once

#include <QList>
#include <QString>
#include <QStringView>

// The editor's default link detection, as people know it from other
// editors: web addresses with their scheme ("https://example.org/a?b=1"),
// addresses that start with "www.", "mailto:" and "news:" links, and bare
// e-mail addresses. Punctuation that ends a sentence is not part of an
// address, nor is a closing bracket that has no opening one inside it.
namespace weblinks {

struct Link
{
    int start = 0;
    int length = 0;
    // What opening the link asks the desktop for: the text itself, with
    // "http://" before a "www." address and "mailto:" before an e-mail
    // address.
    QString target;

    bool operator==(const Link &) const = default;
};

QList<Link> find(QStringView text);

} // namespace weblinks
