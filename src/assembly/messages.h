#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

// What document assembly has to tell the user. Nothing here shows anything:
// the main window puts a message into its message dialog (or its error box),
// the command-line tool prints it. The texts are the program's own and are
// kept word for word, stray spaces included, because users know them.
namespace assembly {

struct AssemblyMessage {
    enum class Display {
        Dialog, // the message dialog: title, kind character, ';'-separated lines
        ErrorBox, // the application's plain error box: text only
    };

    Display display = Display::Dialog;
    QString title;
    QChar kind; // '!' warning, 'H' hand (error), 'I' information
    QString text; // lines separated by ';'

    QStringList lines() const { return text.split(QLatin1Char(';')); }
    bool operator==(const AssemblyMessage &) const = default;
};

namespace messages {

    // Merge refused before it starts: the information pane holds fewer than two lines.
    AssemblyMessage noInformationFile();
    // Merge refused before it starts: the template pane holds fewer than two lines.
    AssemblyMessage noTemplateFile();
    // A token whose entry is not in the Information file, or that is no entry number.
    AssemblyMessage valueNotInInformationFile();
    // A token number of 1073741824 or more: its value line index leaves 32 bits.
    AssemblyMessage integerOverflow();
    // The Template file cannot be read; `path` may be empty (no template chosen).
    AssemblyMessage cannotOpenFile(const QString &path);
    // A NUL byte with more text after it: the rest of the template would be lost.
    AssemblyMessage templateHoldsNul(qint64 offset);
    // A value whose tokens lead back to its own entry: the merge would never end.
    AssemblyMessage valueRefersToItself(qint64 entry);
    // Values inside values nested deeper than `depth` levels.
    AssemblyMessage valuesNestedTooDeeply(int depth);
    // The values would make the finished document grow past what we hold in memory.
    AssemblyMessage mergeTooLarge(qint64 limitBytes);
    // Values that refer to other values more often than `limit` times.
    AssemblyMessage tooManyNestedReplacements(qint64 limit);

    // After a merge: the dialog that reports the count and suggests the next steps.
    AssemblyMessage mergeDone(qint64 replacements);
    // The wait panel's caption while the merge runs.
    QString progressCaption(qint64 replacements);

    // After choosing an Information file whose line count is odd.
    AssemblyMessage oddLineCount();

    // Balloon lines of the heading lookup when no Information file is loaded
    // ('@' separates the balloon's lines).
    QString balloonNoInformationFile();

} // namespace messages
} // namespace assembly
