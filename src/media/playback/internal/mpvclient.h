#pragma once

#include "mpvresources.h"

#include <QString>

#include <cstdint>
#include <initializer_list>
#include <optional>

// One libmpv player with the engine's options, and typed access to its commands and
// properties. Failures are logged with libmpv's own text and answered with false or nothing;
// every call on a client without a player fails that way.
class CMpvClient {
public:
    // Creates and starts the player; wakeup is called on libmpv's threads whenever events
    // wait. Without a player (libmpv failed) handle() is null.
    CMpvClient(void (*wakeup)(void *), void *context);
    ~CMpvClient();
    CMpvClient(const CMpvClient &) = delete;
    CMpvClient &operator=(const CMpvClient &) = delete;

    mpv_handle *handle() const { return m_handle.get(); }
    // Destroys the player: no wakeups after this returns.
    void destroy();

    bool command(std::initializer_list<const char *> args);
    // Replaces the playlist with one file. The playlist entry id libmpv gave it (its start and
    // end events carry it), -1 when libmpv does not say; nothing when libmpv refused.
    std::optional<int64_t> loadFile(const QByteArray &path);
    // The command runs later; its reply comes as an event with reply id 0.
    void commandAsync(std::initializer_list<const char *> args);
    bool setProperty(const char *name, const QString &value);
    bool setProperty(const char *name, double value);
    bool setFlag(const char *name, bool value);
    std::optional<double> getDouble(const char *name) const;
    std::optional<int64_t> getInt(const char *name) const;
    std::optional<bool> getFlag(const char *name) const;
    QString getString(const char *name) const;

private:
    MpvHandlePtr m_handle;
};
