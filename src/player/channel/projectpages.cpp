#include "player/channel/projectpages.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include "platform/log.h"
#include "player/channel/navigationrules.h"

namespace kivo::channel {
namespace {

// A page beside the player program in the build (in a folder of its own), or installed at a
// path relative to the program.
QString shippedPage(const QString &programFolder, const QString &inBuild,
                    const QString &installed) {
    const QDir folder(programFolder);
    for (const QString &candidate : {folder.filePath(inBuild), folder.filePath(installed)}) {
        if (QFileInfo(candidate).isFile()) {
            return QFileInfo(candidate).canonicalFilePath();
        }
    }
    return {};
}

QUrl shippedPageAddress(const QString &programFolder) {
    const QString page = shippedChannelPage(programFolder);
    return page.isEmpty() ? QUrl() : QUrl::fromLocalFile(page);
}

// An address of KIVOP.ini, or the shipped page. An address is kept whole, however long: a
// shortened one would lead somewhere else.
QUrl configuredAddress(const QString &programFolder, const QString &key) {
    const QSettings ini(QDir(programFolder).filePath(QStringLiteral("KIVOP.ini")),
                        QSettings::IniFormat);
    const QString text = ini.value(key).toString().trimmed();
    if (text.isEmpty()) {
        return shippedPageAddress(programFolder);
    }
    const QUrl address = QUrl::fromUserInput(text);
    const bool web = address.scheme() == u"http" || address.scheme() == u"https";
    if (!isBrowsable(address) || (web && address.host().isEmpty())) {
        logWarning("channel", "KIVOP.ini " + key.toStdString() + " is not an address: \"" +
                                  text.toStdString() + "\"; the shipped page is shown instead");
        return shippedPageAddress(programFolder);
    }
    return address;
}

}  // namespace

QString shippedChannelPage(const QString &programFolder) {
    return shippedPage(programFolder, QStringLiteral("channel/index.html"),
                       QStringLiteral(KIVO_CHANNEL_PAGE_INSTALLED));
}

QString userGuide(const QString &programFolder) {
    return shippedPage(programFolder, QStringLiteral("help/index.html"),
                       QStringLiteral(KIVO_GUIDE_INSTALLED));
}

QUrl channelAddress(const QString &programFolder) {
    return configuredAddress(programFolder, QStringLiteral("Channel/URL"));
}

QUrl homePage(const QString &programFolder) {
    return configuredAddress(programFolder, QStringLiteral("Home/URL"));
}

}  // namespace kivo::channel
