#pragma once

#include <QRect>
#include <QSize>
#include <QStringList>

#include <optional>

#include "uisupport/registry.h"

// The player's settings, read once when the control panel starts and written all at once when
// it ends. A stored value replaces the default only when it passes its read rule; flags are on
// when the stored number is above 0.
struct CPlayerSettings {
    static constexpr int kMaxHistory = 10;

    // Player
    bool topMost = false;
    bool separateMode = false;
    bool randomMode = false;  // RPLRandomMode
    bool replayMode = false;  // RPLReplayMode
    int bufferingTime = 10;   // seconds, 0 to 60
    bool screenSaver = false;
    QStringList recentAddresses;  // Recent0..9
    QStringList finderFolders;    // Folder0..9
    // The CD drive or .cue image of the audio-CD page (CDROMDevice, read only); empty: the
    // first drive found.
    QString cdromDevice;
    // View
    double sizeRate = 1.0;
    bool autoScale = false;
    bool showCaption = false;
    int captionBoxHeight = 40;  // above 20
    // The containers' widths.
    int infoWidth = 135;
    int info2Width = 135;
    // Thumbnail scales of the scene tree and the scene list.
    double treeSizeRate = 1.0;
    double listSizeRate = 1.5;
    // CaptionBox, colours as Windows colour references (0x00BBGGRR).
    int captionBackground = 0x000000;
    int captionText = 0xFFFFFF;
    bool originalFont = false;
    bool detachCaptionBox = false;
    CLogFont captionFont{26, 400, false, false, false, QStringLiteral("굴림")};

    bool operator==(const CPlayerSettings &) const = default;
};

CPlayerSettings loadPlayerSettings(const COVRegistry &registry);
// 1 when every value went to a writable store. History lists write entries 0 to n-1 only.
int savePlayerSettings(COVRegistry &registry, const CPlayerSettings &settings);

// Player/MultiPlayer: several independent players instead of one per user.
bool isMultiPlayer(const COVRegistry &registry);
// The option menu's toggle: stores 1 when it was off, else 0; the next start follows it.
void toggleMultiPlayer(COVRegistry &registry);

// The player's own data folder: the XDG data folder's "KIVO Player" (not created here).
QString playerDataFolder();
// Where a list file of the player (playlist.mpl, filelist.mfl) is read: the one in the data
// folder, else one the user put into the program folder, else the data folder's (not yet there).
QString listFileToRead(const QString &name, const QString &programFolder);
// Where it is written: always the data folder (an installed program's folder is read-only).
QString listFileToWrite(const QString &name);

// Where a window whose placement was stored comes back, within the screen's work area. Without
// sizeRestorable the window takes its minimum size. An edge before the area's start moves to
// it; one beyond its far edge moves back by the window's size, so a window of a monitor that is
// gone comes back on screen. Nothing when no placement is stored.
std::optional<QRect> restoredPlacement(const std::optional<QRect> &stored, const QRect &workArea,
                                       QSize minimum, bool sizeRestorable);
