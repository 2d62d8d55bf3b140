#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// Keeps the desktop's screen saver away while the player runs, when the user's setting says so
// (org.freedesktop.ScreenSaver on the session bus). Without a session bus or a screen-saver
// service nothing happens and nothing fails.
class CScreenSaverInhibitor {
public:
    CScreenSaverInhibitor() = default;
    // Lets the screen saver come again.
    ~CScreenSaverInhibitor();
    CScreenSaverInhibitor(const CScreenSaverInhibitor &) = delete;
    CScreenSaverInhibitor &operator=(const CScreenSaverInhibitor &) = delete;

    // allowed false: inhibits (once); true: releases the inhibition. 1 when the desktop now
    // does what was asked, 0 when no service answered.
    int setAllowed(bool allowed);
    bool isInhibiting() const { return m_cookie.has_value(); }

private:
    std::optional<uint32_t> m_cookie;
};
