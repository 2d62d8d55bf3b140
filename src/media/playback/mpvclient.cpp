#include "mpvclient.h"

#include "playbacklog.h"

#include <cstring>
#include <utility>
#include <vector>

CMpvClient::CMpvClient(void (*wakeup)(void *), void *context) {
    mpv_handle *handle = mpv_create();
    if (handle == nullptr) {
        qCWarning(lcPlayback) << "libmpv could not create a player";
        return;
    }
    m_handle.reset(handle);
    const std::pair<const char *, const char *> options[] = {
        // Without a video surface attached the video is decoded and thrown away.
        {"vo", "null"},
        {"audio-fallback-to-null", "yes"},
        {"idle", "yes"},
        // The end of the media pauses on its last frame instead of unloading the file.
        {"keep-open", "yes"},
        {"pause", "yes"},
        {"audio-display", "no"},  // cover art of a sound file is not video
        {"osd-level", "0"},
        // Captions go to the caption window as text events, not onto the picture.
        {"sub-visibility", "no"},
        // Caption files are UTF-8 when valid, else the Korean ANSI code page.
        {"sub-codepage", "cp949"},
        {"hr-seek", "yes"},
        // Frames are handed to the renderer when they are due, so drawing never waits.
        {"video-timing-offset", "0"},
        {"network-timeout", "10"},
        {"input-default-bindings", "no"},
        {"input-vo-keyboard", "no"},
        {"osc", "no"},
        {"load-scripts", "no"},
        {"ytdl", "no"},
        {"terminal", "no"},
    };
    for (const auto &[name, value] : options) {
        const int error = mpv_set_option_string(handle, name, value);
        if (error < 0) {
            qCWarning(lcPlayback) << "libmpv option" << name << mpv_error_string(error);
        }
    }
    mpv_request_log_messages(handle, "warn");
    mpv_set_wakeup_callback(handle, wakeup, context);
    const int error = mpv_initialize(handle);
    if (error < 0) {
        qCWarning(lcPlayback) << "libmpv did not start:" << mpv_error_string(error);
        destroy();
    }
}

CMpvClient::~CMpvClient() {
    destroy();
}

void CMpvClient::destroy() {
    if (m_handle) {
        mpv_set_wakeup_callback(m_handle.get(), nullptr, nullptr);
        m_handle.reset();
    }
}

bool CMpvClient::command(std::initializer_list<const char *> args) {
    if (!m_handle) {
        return false;
    }
    std::vector<const char *> argv(args);
    argv.push_back(nullptr);
    const int error = mpv_command(m_handle.get(), argv.data());
    if (error < 0) {
        qCInfo(lcPlayback) << "libmpv command" << argv[0] << mpv_error_string(error);
        return false;
    }
    return true;
}

std::optional<int64_t> CMpvClient::loadFile(const QByteArray &path) {
    if (!m_handle) {
        return std::nullopt;
    }
    const char *argv[] = {"loadfile", path.constData(), "replace", nullptr};
    mpv_node result{};
    const int error = mpv_command_ret(m_handle.get(), argv, &result);
    if (error < 0) {
        qCInfo(lcPlayback) << "libmpv command loadfile" << mpv_error_string(error);
        return std::nullopt;
    }
    int64_t entry = -1;
    if (result.format == MPV_FORMAT_NODE_MAP) {
        const mpv_node_list &map = *result.u.list;
        for (int i = 0; i < map.num; ++i) {
            if (std::strcmp(map.keys[i], "playlist_entry_id") == 0 &&
                map.values[i].format == MPV_FORMAT_INT64) {
                entry = map.values[i].u.int64;
            }
        }
    }
    mpv_free_node_contents(&result);
    return entry;
}

void CMpvClient::commandAsync(std::initializer_list<const char *> args) {
    if (!m_handle) {
        return;
    }
    std::vector<const char *> argv(args);
    argv.push_back(nullptr);
    const int error = mpv_command_async(m_handle.get(), 0, argv.data());
    if (error < 0) {
        qCInfo(lcPlayback) << "libmpv command" << argv[0] << mpv_error_string(error);
    }
}

namespace {

// True for a property libmpv took; a refusal is logged with libmpv's text and the value.
template <typename Value>
bool propertySet(const char *name, const Value &value, int error) {
    if (error < 0) {
        qCInfo(lcPlayback) << "libmpv property" << name << value << mpv_error_string(error);
        return false;
    }
    return true;
}

}  // namespace

bool CMpvClient::setProperty(const char *name, const QString &value) {
    return m_handle &&
           propertySet(name, value,
                       mpv_set_property_string(m_handle.get(), name, value.toUtf8().constData()));
}

bool CMpvClient::setProperty(const char *name, double value) {
    return m_handle &&
           propertySet(name, value,
                       mpv_set_property(m_handle.get(), name, MPV_FORMAT_DOUBLE, &value));
}

bool CMpvClient::setFlag(const char *name, bool value) {
    int flag = value ? 1 : 0;
    return m_handle &&
           propertySet(name, value, mpv_set_property(m_handle.get(), name, MPV_FORMAT_FLAG, &flag));
}

std::optional<double> CMpvClient::getDouble(const char *name) const {
    double value = 0;
    if (!m_handle || mpv_get_property(m_handle.get(), name, MPV_FORMAT_DOUBLE, &value) < 0) {
        return std::nullopt;
    }
    return value;
}

std::optional<int64_t> CMpvClient::getInt(const char *name) const {
    int64_t value = 0;
    if (!m_handle || mpv_get_property(m_handle.get(), name, MPV_FORMAT_INT64, &value) < 0) {
        return std::nullopt;
    }
    return value;
}

std::optional<bool> CMpvClient::getFlag(const char *name) const {
    int value = 0;
    if (!m_handle || mpv_get_property(m_handle.get(), name, MPV_FORMAT_FLAG, &value) < 0) {
        return std::nullopt;
    }
    return value != 0;
}

QString CMpvClient::getString(const char *name) const {
    if (!m_handle) {
        return {};
    }
    const MpvStringPtr value(mpv_get_property_string(m_handle.get(), name));
    return value ? QString::fromUtf8(value.get()) : QString();
}
