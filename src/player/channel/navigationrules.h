#pragma once

#include <QString>
#include <QUrl>

// What the channel browser lets a page do. A link to a media file is the player's, not the
// browser's: the browser never downloads it, and the player opens it only when the user asked for
// it with a click. Anything else a page tries on its own (a script moving to a media address,
// another program's address scheme, a download) opens nothing.
namespace kivo::channel {

// The address ends in ".<extension>" of a media file the player takes over from the browser
// (".mpg", ".asf", ".mp3", ...), compared without case. A query or fragment after the extension
// makes it an ordinary page, and so does a name that merely ends in those letters ("plateau").
bool isMediaLink(const QUrl &address);

// Schemes the browser itself may show: web pages and local pages (the shipped channel page).
bool isBrowsable(const QUrl &address);

enum class Navigation {
    Browse,        // the browser goes there
    OpenInPlayer,  // cancelled in the browser; the player opens the address
    Refuse,        // cancelled; nothing is opened
};

// How long after a click or key press of the user a navigation still counts as theirs.
inline constexpr qint64 kUserActionMs = 2000;

// The fate of a navigation. userAction: the navigation follows a link the user clicked or
// a key the user pressed within kUserActionMs.
Navigation decideNavigation(const QUrl &address, bool userAction);

// The fate of a download the page started (the browser never saves files): a media file the
// user asked for goes to the player, by its address or by its media type; everything else is
// dropped.
Navigation decideDownload(const QUrl &address, const QString &mimeType, bool userAction);

}  // namespace kivo::channel
