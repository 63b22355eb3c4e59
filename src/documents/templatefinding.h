#pragma once

// What a template check finds: one problem or remark, where it is in the
// template's source or in the Information data, and where that place shows
// in the document the template reads as, so a window can list findings and
// select each one.

#include <QByteArray>
#include <QString>

namespace documents {

enum class FindingKind {
    TokenWithoutEntry, // its number is beyond the entries, "@0", or no number
    UnusedEntry,
    EmptyValue,
    DuplicateHeading,
    MergeEndsEarly, // an "@" with no digit after it, in the template or a value
    SplitToken, // "@" then formatting then digits: never found as a token
    RtfInValue, // braces or backslashes, which the merge escapes or keeps
    ValueTooLong, // overwrite mode: more than the token and its fill hold
    TokenInHeaderFooter, // merged like any other: said for information
    ValueRefersToItself, // through its own tokens: the merge refuses it
    UnusableTemplate, // a NUL inside the text, or no text at all
    UnusableInformation, // fewer than two lines, or an odd number of lines
};

enum class Severity {
    Error, // the merge fails or leaves tokens unfilled
    Warning, // the merge runs, but likely not as meant
    Note, // worth knowing, nothing wrong
};

// "token with no entry", "split token" ...: the words the command line and
// the window show for a kind.
QString kindName(FindingKind kind);
// "error", "warning", "note".
QString severityName(Severity severity);

struct Finding {
    FindingKind kind = FindingKind::TokenWithoutEntry;
    Severity severity = Severity::Error;
    QString detail; // one English sentence for people

    enum class Place { Template, Information };
    Place place = Place::Template;
    // Template: the byte offset in the file as given (0-based; -1 for a
    // file in UTF-16, whose bytes the merge does not read as they are), and
    // the line and byte column (1-based) there.
    // Information: the line (1-based; entry N's heading is line 2N-1, its
    // value line 2N) and column 1; the offset is -1.
    qint64 offset = -1;
    int line = 0;
    int column = 0;
    // The character position of the place in the document the template
    // reads as (a paragraph end counting one), or -1 where the place shows
    // no text: Information places, font tables, page headers ...
    int textPosition = -1;

    qint64 entry = 0; // the Information entry concerned; 0 when none
    // A template finding that comes from what an entry's value holds, so
    // another Information file may not have it.
    bool fromValue = false;
    QByteArray token; // the token concerned ("@3"), when there is one
};

} // namespace documents
