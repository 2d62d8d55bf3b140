#include "player/shell/playersettings.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <cmath>

namespace {

const QString kPlayer = QStringLiteral("Player");
const QString kView = QStringLiteral("View");
const QString kCaptionBox = QStringLiteral("CaptionBox");

bool readFlag(const COVRegistry &registry, const QString &section, const char *key) {
    return registry.getProfileInt(section, QString::fromLatin1(key), 0) > 0;
}

// The stored number when it passes the rule, else the default.
template <typename Rule>
int readInt(const COVRegistry &registry, const QString &section, const char *key, int fallback,
            Rule accepted) {
    const int value = registry.getProfileInt(section, QString::fromLatin1(key), fallback);
    return accepted(value) ? value : fallback;
}

double readRate(const COVRegistry &registry, const QString &section, double fallback) {
    const double value = registry.getProfileDouble(section, QStringLiteral("SizeRate"), fallback);
    return std::isfinite(value) && value > 0 ? value : fallback;
}

QStringList readHistory(const COVRegistry &registry, const QString &prefix) {
    QStringList entries;
    for (int n = 0; n < CPlayerSettings::kMaxHistory; ++n) {
        const QString entry = registry.getProfileString(kPlayer, prefix + QString::number(n));
        if (entry.isEmpty()) {
            break;
        }
        entries << entry;
    }
    return entries;
}

int writeHistory(COVRegistry &registry, const QString &prefix, const QStringList &entries) {
    int written = 1;
    const int count = std::min<int>(int(entries.size()), CPlayerSettings::kMaxHistory);
    for (int n = 0; n < count; ++n) {
        written &= registry.writeProfileString(kPlayer, prefix + QString::number(n), entries[n]);
    }
    return written;
}

// Places one edge: before the area's start it moves there; beyond its far edge it moves back by
// the window's length.
int placedEdge(int edge, int length, int start, int end) {
    if (edge < start) {
        return start;
    }
    if (edge > end) {
        return end - length;
    }
    return edge;
}

int restoredLength(int stored, int minimum, int available, bool sizeRestorable) {
    if (sizeRestorable && stored >= minimum) {
        return std::min(stored, available);
    }
    return sizeRestorable ? minimum : std::min(minimum, available);
}

}  // namespace

CPlayerSettings loadPlayerSettings(const COVRegistry &registry) {
    // Starts from the defaults; each value read replaces its default only when it passes.
    CPlayerSettings settings;
    settings.sizeRate = readRate(registry, kView, settings.sizeRate);
    settings.autoScale = readFlag(registry, kView, "AutoScale");
    settings.topMost = readFlag(registry, kPlayer, "TopMost");
    settings.separateMode = readFlag(registry, kPlayer, "SeparateMode");
    settings.randomMode = readFlag(registry, kPlayer, "RPLRandomMode");
    settings.replayMode = readFlag(registry, kPlayer, "RPLReplayMode");
    settings.bufferingTime = readInt(registry, kPlayer, "BufferingTime", settings.bufferingTime,
                                     [](int value) { return value >= 0 && value <= 60; });
    settings.showCaption = readFlag(registry, kView, "ShowCaption");
    settings.captionBoxHeight =
        readInt(registry, kView, "CaptionBoxHeight", settings.captionBoxHeight,
                [](int value) { return value > 20; });
    settings.screenSaver = readFlag(registry, kPlayer, "ScreenSaver");
    settings.recentAddresses = readHistory(registry, QStringLiteral("Recent"));
    settings.finderFolders = readHistory(registry, QStringLiteral("Folder"));
    settings.cdromDevice =
        registry.getProfileString(kPlayer, QStringLiteral("CDROMDevice"), QString());

    const auto widthRule = [](int value) { return value > 0; };
    settings.infoWidth = readInt(registry, QStringLiteral("InfoDlg"), "Width", 135, widthRule);
    settings.info2Width = readInt(registry, QStringLiteral("InfoDlg2"), "Width", 135, widthRule);
    settings.treeSizeRate = readRate(registry, QStringLiteral("Tree"), settings.treeSizeRate);
    settings.listSizeRate = readRate(registry, QStringLiteral("List"), settings.listSizeRate);

    const auto colourRule = [](int value) { return value >= 0; };
    settings.captionBackground =
        readInt(registry, kCaptionBox, "BgColor", settings.captionBackground, colourRule);
    settings.captionText =
        readInt(registry, kCaptionBox, "FgColor", settings.captionText, colourRule);
    settings.originalFont = readFlag(registry, kCaptionBox, "OriginalFont");
    settings.detachCaptionBox = readFlag(registry, kCaptionBox, "DetachCaptionBox");
    registry.getProfileFont(QStringLiteral("CaptionFont"), QString(), settings.captionFont);
    return settings;
}

int savePlayerSettings(COVRegistry &registry, const CPlayerSettings &settings) {
    const auto flag = [](bool on) { return on ? 1 : 0; };
    int written = 1;
    written &= registry.writeProfileInt(kPlayer, QStringLiteral("TopMost"), flag(settings.topMost));
    written &= registry.writeProfileInt(kPlayer, QStringLiteral("ScreenSaver"),
                                        flag(settings.screenSaver));
    written &= registry.writeProfileInt(kPlayer, QStringLiteral("SeparateMode"),
                                        flag(settings.separateMode));
    written &= registry.writeProfileInt(kPlayer, QStringLiteral("RPLRandomMode"),
                                        flag(settings.randomMode));
    written &= registry.writeProfileInt(kPlayer, QStringLiteral("RPLReplayMode"),
                                        flag(settings.replayMode));
    written &=
        registry.writeProfileInt(kPlayer, QStringLiteral("BufferingTime"), settings.bufferingTime);
    written &=
        registry.writeProfileInt(kView, QStringLiteral("AutoScale"), flag(settings.autoScale));
    written &= registry.writeProfileDouble(kView, QStringLiteral("SizeRate"), settings.sizeRate);
    written &= registry.writeProfileInt(QStringLiteral("InfoDlg"), QStringLiteral("Width"),
                                        settings.infoWidth);
    written &= registry.writeProfileInt(QStringLiteral("InfoDlg2"), QStringLiteral("Width"),
                                        settings.info2Width);
    written &= registry.writeProfileDouble(QStringLiteral("Tree"), QStringLiteral("SizeRate"),
                                           settings.treeSizeRate);
    written &= registry.writeProfileDouble(QStringLiteral("List"), QStringLiteral("SizeRate"),
                                           settings.listSizeRate);
    written &=
        registry.writeProfileInt(kView, QStringLiteral("ShowCaption"), flag(settings.showCaption));
    written &= registry.writeProfileInt(kView, QStringLiteral("CaptionBoxHeight"),
                                        settings.captionBoxHeight);
    written &= registry.writeProfileInt(kCaptionBox, QStringLiteral("BgColor"),
                                        settings.captionBackground);
    written &=
        registry.writeProfileInt(kCaptionBox, QStringLiteral("FgColor"), settings.captionText);
    written &= registry.writeProfileInt(kCaptionBox, QStringLiteral("OriginalFont"),
                                        flag(settings.originalFont));
    written &=
        registry.writeProfileFont(QStringLiteral("CaptionFont"), QString(), settings.captionFont);
    written &= registry.writeProfileInt(kCaptionBox, QStringLiteral("DetachCaptionBox"),
                                        flag(settings.detachCaptionBox));
    written &= writeHistory(registry, QStringLiteral("Recent"), settings.recentAddresses);
    written &= writeHistory(registry, QStringLiteral("Folder"), settings.finderFolders);
    return written;
}

bool isMultiPlayer(const COVRegistry &registry) {
    return readFlag(registry, kPlayer, "MultiPlayer");
}

void toggleMultiPlayer(COVRegistry &registry) {
    registry.writeProfileInt(kPlayer, QStringLiteral("MultiPlayer"),
                             isMultiPlayer(registry) ? 0 : 1);
}

QString playerDataFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/") + QString::fromLatin1(COVRegistry::kOrganisation);
}

QString listFileToRead(const QString &name, const QString &programFolder) {
    const QString own = listFileToWrite(name);
    const QString beside = QDir(programFolder).filePath(name);
    return !QFileInfo::exists(own) && QFileInfo::exists(beside) ? beside : own;
}

QString listFileToWrite(const QString &name) {
    return QDir(playerDataFolder()).filePath(name);
}

std::optional<QRect> restoredPlacement(const std::optional<QRect> &stored, const QRect &workArea,
                                       QSize minimum, bool sizeRestorable) {
    if (!stored) {
        return std::nullopt;
    }
    const int width =
        restoredLength(stored->width(), minimum.width(), workArea.width(), sizeRestorable);
    const int height =
        restoredLength(stored->height(), minimum.height(), workArea.height(), sizeRestorable);
    const int left =
        placedEdge(stored->left(), width, workArea.left(), workArea.left() + workArea.width());
    const int top =
        placedEdge(stored->top(), height, workArea.top(), workArea.top() + workArea.height());
    return QRect(left, top, width, height);
}
