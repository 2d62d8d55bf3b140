#include "player/channel/navigationrules.h"

#include <array>

namespace kivo::channel {
namespace {

constexpr std::array<const char *, 26> kMediaExtensions = {
    "mpeg", "mpg", "m1v", "mp2", "mpa",  "mpe", "avi", "wmv", "dat", "asf", "wm",   "wma",  "mov",
    "qt",   "asx", "mid", "rmi", "midi", "mp3", "wav", "snd", "au",  "aif", "aifc", "aiff", "wam"};

}  // namespace

bool isMediaLink(const QUrl &address) {
    // Only the last name of the path counts: an address with a query or a fragment after the
    // extension is a page, and so is a host name without a path ("http://example.com.au").
    if (!address.isValid() || address.hasQuery() || address.hasFragment()) {
        return false;
    }
    const QString path = address.path();
    const QStringView name = QStringView(path).mid(path.lastIndexOf(u'/') + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0) {
        return false;
    }
    const QString extension = name.mid(dot + 1).toString().toLower();
    for (const char *media : kMediaExtensions) {
        if (extension == QLatin1StringView(media)) {
            return true;
        }
    }
    return false;
}

bool isBrowsable(const QUrl &address) {
    const QString scheme = address.scheme().toLower();
    return address.isValid() && (scheme == u"http" || scheme == u"https" || scheme == u"file" ||
                                 scheme == u"data" || scheme == u"about");
}

Navigation decideNavigation(const QUrl &address, bool userAction) {
    const bool playable = address.scheme() != u"data" && isMediaLink(address);
    if (playable) {
        return userAction ? Navigation::OpenInPlayer : Navigation::Refuse;
    }
    return isBrowsable(address) ? Navigation::Browse : Navigation::Refuse;
}

Navigation decideDownload(const QUrl &address, const QString &mimeType, bool userAction) {
    const bool media =
        mimeType.startsWith(u"video/") || mimeType.startsWith(u"audio/") || isMediaLink(address);
    const QString scheme = address.scheme().toLower();
    const bool fetchable = scheme == u"http" || scheme == u"https" || scheme == u"file";
    return media && fetchable && userAction ? Navigation::OpenInPlayer : Navigation::Refuse;
}

}  // namespace kivo::channel
