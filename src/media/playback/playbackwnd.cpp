// The engine's life with libmpv: the handle, opening and closing files, and the events that
// libmpv reports. Transport, sound, effects and painting are in playbacktransport.cpp.

#include "media/playback/playbackwnd.h"

#include "media/playback/imageeffects.h"
#include "media/playback/playbacklog.h"
#include "media/playback/videosurface.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QPointer>
#include <QRegularExpression>

Q_LOGGING_CATEGORY(lcPlayback, "kivo.playback")

namespace {

// Property observations, told apart by their reply ids.
enum EObserved : uint64_t { kObserveSubText = 1, kObserveEof, kObserveCacheWait, kObserveVideo };

bool isAddress(const QString &path) {
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+://"));
    return scheme.match(path).hasMatch();
}

}  // namespace

CPlaybackWnd::CPlaybackWnd(QWidget *parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(kTickMilliseconds);
    connect(&m_timer, &QTimer::timeout, this, &CPlaybackWnd::onTimer);
    createPlayer();
}

CPlaybackWnd::~CPlaybackWnd() {
    // An open() waiting in its own event loop returns 0 once it sees the engine gone.
    if (m_loadLoop != nullptr) {
        m_loadLoop->quit();
    }
    m_timer.stop();
    if (m_mpv) {
        mpv_set_wakeup_callback(m_mpv.get(), nullptr, nullptr);
    }
    m_surface.reset();
    m_mpv.reset();
}

void CPlaybackWnd::createPlayer() {
    mpv_handle *handle = mpv_create();
    if (handle == nullptr) {
        qCWarning(lcPlayback) << "libmpv could not create a player";
        return;
    }
    m_mpv.reset(handle);
    const std::pair<const char *, const char *> options[] = {
        {"vo", "libmpv"},
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
    mpv_set_wakeup_callback(
        handle,
        [](void *opaque) {
            // libmpv's thread: only queue the draining onto the GUI thread.
            auto *self = static_cast<CPlaybackWnd *>(opaque);
            if (!self->m_drainQueued.exchange(true)) {
                QMetaObject::invokeMethod(self, &CPlaybackWnd::drainEvents, Qt::QueuedConnection);
            }
        },
        this);
    const int error = mpv_initialize(handle);
    if (error < 0) {
        qCWarning(lcPlayback) << "libmpv did not start:" << mpv_error_string(error);
        mpv_set_wakeup_callback(handle, nullptr, nullptr);
        m_mpv.reset();
        return;
    }
    mpv_observe_property(handle, kObserveSubText, "sub-text", MPV_FORMAT_STRING);
    mpv_observe_property(handle, kObserveEof, "eof-reached", MPV_FORMAT_FLAG);
    mpv_observe_property(handle, kObserveCacheWait, "paused-for-cache", MPV_FORMAT_FLAG);
    mpv_observe_property(handle, kObserveVideo, "vid", MPV_FORMAT_STRING);

    m_surface = createVideoSurface(handle, this);
    if (m_surface) {
        m_surface->place(rect());
        m_surface->widget()->hide();
    } else {
        // Files still open and play; their video is decoded and thrown away.
        qCWarning(lcPlayback) << "no video renderer; media will play without pictures";
        mpv_set_property_string(handle, "vo", "null");
    }
}

QString CPlaybackWnd::rendererName() const {
    return m_surface ? QString::fromLatin1(m_surface->rendererName()) : QString();
}

quint64 CPlaybackWnd::picturesDrawn() const {
    return m_surface ? m_surface->picturesDrawn() : 0;
}

int CPlaybackWnd::open(const QString &path) {
    // Opening over an open file releases it first, but keeps the caption file meant for this one.
    const QString captionFile = m_secondPath;
    if (m_state != kClosed || m_load != ELoad::Idle) {
        close();
    }
    m_secondPath = captionFile;
    m_mediaPath = path;
    if (!m_mpv || path.isEmpty() || (!isAddress(path) && !QFileInfo(path).isFile())) {
        close();
        return 0;
    }
    // Per-file settings start from the defaults: normal speed, full volume, centred sound, and
    // the effects filter unaltered when effects are on.
    setMpvProperty("speed", 1.0);
    setMpvProperty("volume", 100.0);
    setMpvProperty("af", QString());
    setMpvProperty("vf", m_effectsEnabled ? *effectFilterChain(kEffectNone) : QString());
    setMpvProperty("cache-secs", m_bufferingTime);
    setMpvProperty("cache-pause-wait", m_bufferingTime);
    setMpvFlag("pause", true);

    const int generation = ++m_loadGeneration;
    m_load = ELoad::AwaitingStart;
    m_loadingEntry = -1;
    m_loadError.clear();
    const QByteArray file = path.toUtf8();
    if (!mpvCommand({"loadfile", file.constData(), "replace"})) {
        close();
        return 0;
    }
    if (!waitForLoad(generation)) {
        return 0;
    }
    readMediaFacts();
    m_state = kStopped;
    updateSurfaceVisibility();
    update();
    return 1;
}

bool CPlaybackWnd::waitForLoad(int generation) {
    if (m_load != ELoad::Ready && m_load != ELoad::Failed) {
        QPointer<CPlaybackWnd> alive(this);
        QEventLoop loop;
        QTimer timeout;
        timeout.setSingleShot(true);
        connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
        m_loadLoop = &loop;
        timeout.start(m_openTimeoutMs);
        loop.exec();
        if (!alive) {
            return false;
        }
        if (m_loadLoop == &loop) {
            m_loadLoop = nullptr;
        }
    }
    // Closed, or opened again, while loading: the engine now belongs to that call.
    if (generation != m_loadGeneration) {
        return false;
    }
    if (m_load == ELoad::Ready) {
        return true;
    }
    if (m_load != ELoad::Failed) {
        m_loadError = QStringLiteral("no answer within %1 ms").arg(m_openTimeoutMs);
    }
    qCWarning(lcPlayback).noquote() << "cannot open" << m_mediaPath << "-" << m_loadError;
    close();
    return false;
}

void CPlaybackWnd::finishLoad(ELoad outcome) {
    m_load = outcome;
    if (m_loadLoop != nullptr) {
        m_loadLoop->quit();
        m_loadLoop = nullptr;
    }
}

void CPlaybackWnd::readMediaFacts() {
    m_duration = mpvDouble("duration").value_or(0) * 1e7;
    m_earliest = 0;
    m_latest = m_duration;
    const int64_t width = mpvInt("video-params/w").value_or(0);
    const int64_t height = mpvInt("video-params/h").value_or(0);
    m_hasVideo = m_surface && width > 0 && height > 0;
    m_nativeSize = m_hasVideo ? QSize(int(width), int(height)) : QSize();
    const QString audio = mpvString("aid");
    m_hasAudio = !audio.isEmpty() && audio != u"no";
    m_isNetwork = mpvFlag("demuxer-via-network").value_or(false);
    m_effectsFilter = m_effectsEnabled && m_hasVideo;
    m_effectMode = kEffectNone;
    if (m_effectsEnabled && !m_hasVideo) {
        setMpvProperty("vf", QString());
    }
    m_lastCaption.clear();
}

void CPlaybackWnd::close() {
    stopTransportTimer();
    m_stepping = false;
    m_step = 0;
    ++m_loadGeneration;
    if (m_load != ELoad::Idle) {
        finishLoad(ELoad::Idle);
    }
    if (m_mpv) {
        mpvCommand({"stop"});
    }
    if (m_fullScreen) {
        leaveFullScreen();
    }
    m_mediaPath.clear();
    m_secondPath.clear();
    m_state = kClosed;
    m_rate = 1.0;
    m_volume = 0;
    m_balance = 0;
    m_duration = 0;
    m_earliest = 0;
    m_latest = 0;
    m_nativeSize = QSize();
    m_hasVideo = false;
    m_hasAudio = false;
    m_isNetwork = false;
    m_buffering = false;
    m_effectsFilter = false;
    m_effectMode = kEffectNone;
    m_heldPosition.reset();
    m_seekPending = false;
    m_lastCaption.clear();
    if (m_surface) {
        m_surface->clear();
    }
    updateSurfaceVisibility();
    update();
}

void CPlaybackWnd::drainEvents() {
    m_drainQueued = false;
    while (m_mpv) {
        const mpv_event *event = mpv_wait_event(m_mpv.get(), 0);
        if (event->event_id == MPV_EVENT_NONE) {
            break;
        }
        handleEvent(*event);
    }
}

void CPlaybackWnd::handleEvent(const mpv_event &event) {
    switch (event.event_id) {
        case MPV_EVENT_LOG_MESSAGE: {
            const auto *message = static_cast<const mpv_event_log_message *>(event.data);
            const QString text = QString::fromUtf8(message->text).trimmed();
            if (message->log_level <= MPV_LOG_LEVEL_ERROR) {
                qCWarning(lcPlayback).noquote() << "mpv" << message->prefix << text;
            } else {
                qCInfo(lcPlayback).noquote() << "mpv" << message->prefix << text;
            }
            break;
        }
        case MPV_EVENT_START_FILE:
        case MPV_EVENT_FILE_LOADED:
        case MPV_EVENT_END_FILE:
        case MPV_EVENT_VIDEO_RECONFIG:
            handleLoadEvent(event);
            break;
        case MPV_EVENT_PLAYBACK_RESTART:
            // A seek has arrived; while playing, the position is libmpv's own again.
            m_seekPending = false;
            if (m_state == kRunning && !m_stepping) {
                m_heldPosition.reset();
            }
            break;
        case MPV_EVENT_PROPERTY_CHANGE:
            handlePropertyChange(event.reply_userdata,
                                 *static_cast<const mpv_event_property *>(event.data));
            break;
        case MPV_EVENT_COMMAND_REPLY:
            if (event.error < 0) {
                qCInfo(lcPlayback) << "caption file not added:" << mpv_error_string(event.error);
            }
            break;
        case MPV_EVENT_SHUTDOWN:
            // Someone told libmpv to quit; the handle is finished and so is the media.
            if (m_state != kClosed) {
                postGraphEvent(kEventUserAbort, 0);
            }
            close();
            mpv_set_wakeup_callback(m_mpv.get(), nullptr, nullptr);
            m_surface.reset();
            m_mpv.reset();
            break;
        default:
            break;
    }
}

void CPlaybackWnd::handleLoadEvent(const mpv_event &event) {
    switch (event.event_id) {
        case MPV_EVENT_START_FILE:
            if (m_load == ELoad::AwaitingStart) {
                m_loadingEntry =
                    static_cast<const mpv_event_start_file *>(event.data)->playlist_entry_id;
                m_load = ELoad::AwaitingFile;
            }
            break;
        case MPV_EVENT_FILE_LOADED:
            if (m_load == ELoad::AwaitingFile) {
                if (!m_secondPath.isEmpty()) {
                    const QByteArray captions = m_secondPath.toUtf8();
                    const char *args[] = {"sub-add", captions.constData(), "select", nullptr};
                    mpv_command_async(m_mpv.get(), 0, args);
                }
                const QString video = mpvString("vid");
                if (m_surface && !video.isEmpty() && video != u"no") {
                    m_load = ELoad::AwaitingPicture;
                } else {
                    finishLoad(ELoad::Ready);
                }
            }
            break;
        case MPV_EVENT_VIDEO_RECONFIG:
            if (m_load == ELoad::AwaitingPicture && mpvInt("video-params/w").value_or(0) > 0) {
                finishLoad(ELoad::Ready);
            }
            break;
        case MPV_EVENT_END_FILE: {
            const auto *end = static_cast<const mpv_event_end_file *>(event.data);
            if (end->playlist_entry_id != m_loadingEntry) {
                break;  // the end of the file this one replaced
            }
            const bool loading = m_load == ELoad::AwaitingFile || m_load == ELoad::AwaitingPicture;
            if (loading && end->reason == MPV_END_FILE_REASON_REDIRECT) {
                // A playlist in disguise: libmpv goes on with its first entry.
                m_load = ELoad::AwaitingStart;
            } else if (loading) {
                m_loadError = end->reason == MPV_END_FILE_REASON_ERROR
                                  ? QString::fromUtf8(mpv_error_string(end->error))
                                  : QStringLiteral("the file ended while loading");
                finishLoad(ELoad::Failed);
            } else if (m_state != kClosed && end->reason == MPV_END_FILE_REASON_ERROR) {
                postGraphEvent(kEventErrorAbort, end->error);
            }
            break;
        }
        default:
            break;
    }
}

void CPlaybackWnd::handlePropertyChange(uint64_t observation, const mpv_event_property &property) {
    const auto flag = [&property] {
        return property.format == MPV_FORMAT_FLAG && *static_cast<const int *>(property.data) != 0;
    };
    const auto text = [&property] {
        return property.format == MPV_FORMAT_STRING
                   ? QString::fromUtf8(*static_cast<const char *const *>(property.data))
                   : QString();
    };
    switch (observation) {
        case kObserveSubText:
            if (m_state != kClosed && text() != m_lastCaption) {
                m_lastCaption = text();
                postGraphEvent(kEventText, 0, m_lastCaption);
            }
            break;
        case kObserveEof:
            if (flag() && m_state == kRunning && !m_stepping) {
                postGraphEvent(kEventComplete, 0);
            }
            break;
        case kObserveCacheWait:
            if (m_state != kClosed && flag() != m_buffering) {
                m_buffering = flag();
                postGraphEvent(kEventBufferingData, m_buffering ? 1 : 0);
            }
            break;
        case kObserveVideo:
            // The video track was given up (no decoder for it): the file is sound only.
            if (m_load == ELoad::AwaitingPicture && text() == u"no") {
                finishLoad(ELoad::Ready);
            }
            break;
        default:
            break;
    }
}

void CPlaybackWnd::postGraphEvent(int code, qint64 parameter, const QString &text) {
    QMetaObject::invokeMethod(
        this, [this, code, parameter, text] { emit graphEvent(code, parameter, text); },
        Qt::QueuedConnection);
}

void CPlaybackWnd::postSignal(void (CPlaybackWnd::*signal)()) {
    QMetaObject::invokeMethod(
        this, [this, signal] { emit(this->*signal)(); }, Qt::QueuedConnection);
}

bool CPlaybackWnd::mpvCommand(std::initializer_list<const char *> args) {
    if (!m_mpv) {
        return false;
    }
    std::vector<const char *> argv(args);
    argv.push_back(nullptr);
    const int error = mpv_command(m_mpv.get(), argv.data());
    if (error < 0) {
        qCInfo(lcPlayback) << "libmpv command" << argv[0] << mpv_error_string(error);
        return false;
    }
    return true;
}

bool CPlaybackWnd::setMpvProperty(const char *name, const QString &value) {
    if (!m_mpv) {
        return false;
    }
    const int error = mpv_set_property_string(m_mpv.get(), name, value.toUtf8().constData());
    if (error < 0) {
        qCInfo(lcPlayback) << "libmpv property" << name << value << mpv_error_string(error);
        return false;
    }
    return true;
}

bool CPlaybackWnd::setMpvProperty(const char *name, double value) {
    if (!m_mpv) {
        return false;
    }
    const int error = mpv_set_property(m_mpv.get(), name, MPV_FORMAT_DOUBLE, &value);
    if (error < 0) {
        qCInfo(lcPlayback) << "libmpv property" << name << value << mpv_error_string(error);
        return false;
    }
    return true;
}

bool CPlaybackWnd::setMpvFlag(const char *name, bool value) {
    if (!m_mpv) {
        return false;
    }
    int flag = value ? 1 : 0;
    const int error = mpv_set_property(m_mpv.get(), name, MPV_FORMAT_FLAG, &flag);
    if (error < 0) {
        qCInfo(lcPlayback) << "libmpv property" << name << value << mpv_error_string(error);
        return false;
    }
    return true;
}

std::optional<double> CPlaybackWnd::mpvDouble(const char *name) const {
    double value = 0;
    if (!m_mpv || mpv_get_property(m_mpv.get(), name, MPV_FORMAT_DOUBLE, &value) < 0) {
        return std::nullopt;
    }
    return value;
}

std::optional<int64_t> CPlaybackWnd::mpvInt(const char *name) const {
    int64_t value = 0;
    if (!m_mpv || mpv_get_property(m_mpv.get(), name, MPV_FORMAT_INT64, &value) < 0) {
        return std::nullopt;
    }
    return value;
}

std::optional<bool> CPlaybackWnd::mpvFlag(const char *name) const {
    int value = 0;
    if (!m_mpv || mpv_get_property(m_mpv.get(), name, MPV_FORMAT_FLAG, &value) < 0) {
        return std::nullopt;
    }
    return value != 0;
}

QString CPlaybackWnd::mpvString(const char *name) const {
    if (!m_mpv) {
        return {};
    }
    const MpvStringPtr value(mpv_get_property_string(m_mpv.get(), name));
    return value ? QString::fromUtf8(value.get()) : QString();
}
