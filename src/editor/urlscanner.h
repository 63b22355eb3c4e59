#pragma once

#include "editor/editortypes.h"
#include "editor/urltypes.h"

#include <QList>
#include <QStringView>

// The editor's own link scanner: words that begin with a configured
// scheme's name and a colon ("http:...", "file:c:\dir\x"), and e-mail
// addresses. A word is a run of URL characters: "." "/" ":" digits, "@",
// letters and "\" (nothing else, not even "-" or "?": those end a word).
namespace urlscan {

bool isUrlChar(QChar ch);

// A link found in a text: where it is and which entry of the type list
// matched (0 is the e-mail kind).
struct Link
{
    int start = 0;
    int length = 0;
    int type = 0;

    bool operator==(const Link &) const = default;
};

// The entry of `types` that a word matches, or -1. Scheme entries (1 and
// up) match, first one first, a word longer than the name and colon that
// begins with them, compared in upper case; when none does, entry 0 matches
// a word whose first "@" is neither its first nor its last character and
// whose part after that "@" does not begin with ".".
int matchWord(QStringView word, const UrlTypeList &types);

// Every word of `text` that matches a type, in order.
QList<Link> scan(QStringView text, const UrlTypeList &types);

// The range widened to whole words: the start moves back to the start of
// its word, the end forward to the end of its word.
TextRange widenToWords(QStringView text, TextRange range);

// The type a link's text is reported with: the part before its first ":"
// (when something stands before it), in lower case, equal to a scheme
// entry's name; else entry 0 when something stands before a first "@";
// else -1. A name with capitals is never found this way.
int typeOfLinkText(QStringView linkText, const UrlTypeList &types);

} // namespace urlscan
