#pragma once

#include <QString>
#include <QStringView>

#include "assembly/informationfile.h"

// What pressing the mouse on a token in the template pane shows: the heading
// of the entry the token refers to, in a balloon.
namespace assembly {

struct HeadingLookup {
    enum class Kind {
        None, // no token under the caret: show nothing
        Heading, // show `text` in a yellow balloon
        NoInformationFile, // show `text` in a red balloon at font size 11
    };
    Kind kind = Kind::None;
    QString text; // balloon lines separated by '@'
    // The selection the pane keeps: one character, or "@", the digits and
    // the character after them.
    int selectionStart = 0;
    int selectionLength = 0;
    qint64 entry = 0;
};

// `documentText` is the pane's text with one character per paragraph end
// (as character positions count it) and `caret` the position the mouse put
// the caret at. A token counts when a space follows its digits; one followed
// by anything else (a comma, the end of its paragraph, the end of the text)
// shows nothing.
HeadingLookup lookUpHeading(QStringView documentText, int caret, const InformationLines &lines);

} // namespace assembly
