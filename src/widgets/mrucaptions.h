#pragma once

// How a recent file's name becomes the caption of its menu item. Pure text
// work (with the menu's font metrics for shortening), so every rule can be
// checked without a menu.

#include <QString>

class QFontMetrics;

namespace mru {

enum class MRUDisplay {
    FullPath,     // the whole name, shortened to the caption width
    FileNameExt,  // the file's name with its extension
    FileNameOnly, // the file's name without its extension
    Custom        // whatever the list's display-name function says
};

// "&1 " ... "&9 ", "&0 ", "&A " ... "&Z " for the first 36 items (index
// from 0); later items have no accelerator.
QString accelerator(int index);

// Text shown as it stands in a menu: "&" would otherwise mark an accelerator
// and a tab would start the shortcut column.
QString menuText(const QString &text);

// The name with leading directories replaced by "..." until it is at most
// maxWidth pixels wide in the given font: "/home/ann/forms/a.tem" becomes
// "/.../forms/a.tem", then "/.../a.tem", ".../a.tem" and at last "a.tem"
// (which may still be wider).
QString shortenPath(const QString &path, const QFontMetrics &metrics, int maxWidth);

// The part after the last "/" (the whole text when there is none).
QString fileNamePart(const QString &text);
// The text without its extension, the part from the last "." on; a name
// that only starts with a dot (".profile") keeps it.
QString withoutExtension(const QString &fileName);

} // namespace mru
