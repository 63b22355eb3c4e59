#pragma once

// The string rules of the message dialog, kept apart from the window so
// that they can be checked without showing anything.

#include <QChar>
#include <QString>
#include <QStringList>

// What the one-letter kind of a message asks for: an icon and a sound.
enum class MessageKind { None, Exclamation, Question, Information, Stop, Application };

// The sound played when a dialog opens. Only the default beep exists on
// most Linux desktops, but the kind is kept so that a richer player (or a
// test) can tell them apart.
enum class MessageSound { Default, Exclamation, Question, Information, Stop };

// The kind from its character ("!", "?", "I", "H", "A", any case). Longer
// strings count by their first character; an empty string is no kind.
MessageKind messageKindFromString(const QString &kind);

// The sound a dialog plays: the kind's own sound when the kind shows an
// icon, the default beep otherwise.
MessageSound messageSoundFor(MessageKind kind);

// The caption shown: the title without leading spaces, else the default
// caption. An empty result means the dialog has no caption bar.
QString messageCaption(const QString &title, const QString &defaultCaption);

// Turns every line break (CR LF, LF CR, LF, CR) into ";", removes the first
// " CENTERTEXT" (any case; the lines are always centred, the word is a
// leftover callers may still send) and splits the text into its lines,
// empty lines kept. Nothing is cut: long texts keep every character.
QStringList parseMessageText(const QString &text);

// Button captions separated by runs of spaces; "&OK" when there are none.
QStringList parseButtonCaptions(const QString &buttons);

// The upper-cased character after the first "&" of a caption, or its first
// character when it has none; a null QChar for an empty caption.
QChar acceleratorLetter(const QString &caption);

// The caption as measured for the button width: every "&" removed.
QString captionWithoutAmpersands(const QString &caption);
