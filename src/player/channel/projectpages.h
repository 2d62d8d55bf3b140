#pragma once

#include <QString>
#include <QUrl>

// The pages the player opens: the channel window's and the home page, whose addresses come from
// KIVOP.ini in the program folder (only read) and default to the channel page the project ships,
// so the window has something to show without a network; and the user guide.
namespace kivo::channel {

// The shipped channel page: beside the player program in the build, among the installed data
// otherwise. Empty when neither is there.
QString shippedChannelPage(const QString &programFolder);

// The channel address: KIVOP.ini's Channel/URL, or the shipped page when the key is missing or
// names nothing the browser can show ("www.example.com" counts as a web address). Empty when
// there is neither.
QUrl channelAddress(const QString &programFolder);

// The home page: KIVOP.ini's Home/URL, or the shipped page.
QUrl homePage(const QString &programFolder);

// The user guide: beside the player program in the build, among the installed data otherwise.
// Empty when neither is there.
QString userGuide(const QString &programFolder);

}  // namespace kivo::channel
