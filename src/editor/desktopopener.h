#pragma once

#include <QString>
#include <QUrl>

#include <functional>

// Opening links and files means asking the desktop for the program the user
// chose for them (QDesktopServices). Nothing here runs a file itself.
namespace desktop {

enum class OpenResult {
    Opened,  // the desktop took it
    Refused, // not a kind of link Quorin opens: reported only
    Failed,  // the desktop has no program for it, or the file is missing
};

// The schemes a link may have to be opened: http, https, mailto, file, ftp.
bool isOpenableScheme(const QUrl &url);

// Opens a link's target (an address as the link detection gives it). A
// file link that names a program or a desktop launcher is refused too,
// since the desktop could start it.
OpenResult openLink(const QString &target);

// Opens a file of ours (an embedded object's private copy, a linked file).
OpenResult openFile(const QString &path);

// Where the URLs go: QDesktopServices::openUrl unless replaced (tests).
using Opener = std::function<bool(const QUrl &)>;
void setOpener(Opener opener);

// A folder only this process can use (mode 0700), made on first use and
// removed with everything in it when the program ends. Empty when it
// cannot be made.
QString privateFolder();

} // namespace desktop
