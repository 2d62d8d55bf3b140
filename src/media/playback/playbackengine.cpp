// The engine's life with libmpv: the handle, opening and closing files, and the events that
// libmpv reports. Transport, sound, effects and playlists are in playbacktransport.cpp.

#include "media/playback/playbackengine.h"

#include "media/playback/imageeffects.h"
#include "mpvclient.h"
#include "playbacklog.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <climits>
#include <utility>

Q_LOGGING_CATEGORY(lcPlayback, "kivo.playback")

namespace {

// Property observations, told apart by their reply ids.
enum EObserved : uint64_t { kObserveSubText = 1, kObserveEof, kObserveCacheWait, kObserveVideo };

bool isAddress(const QString &path) {
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+://"));
    return scheme.match(path).hasMatch();
}

}  // namespace

CPlaybackEngine::CPlaybackEngine(QObject *parent) : QObject(parent) {
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(kTickMilliseconds);
    connect(&m_timer, &QTimer::timeout, this, &CPlaybackEngine::onTimer);
    m_openTimer.setSingleShot(true);
    connect(&m_openTimer, &QTimer::timeout, this, [this] {
        loadFailed(QStringLiteral("no answer within %1 ms").arg(m_openTimer.interval()));
    });

    m_mpv = std::make_unique<CMpvClient>(
        [](void *opaque) {
            // libmpv's thread: only queue the draining onto the engine's thread.
            auto *self = static_cast<CPlaybackEngine *>(opaque);
            if (!self->m_drainQueued.exchange(true)) {
                QMetaObject::invokeMethod(self, &CPlaybackEngine::drainEvents,
                                          Qt::QueuedConnection);
            }
        },
        this);
    if (mpv_handle *handle = m_mpv->handle()) {
        mpv_observe_property(handle, kObserveSubText, "sub-text", MPV_FORMAT_STRING);
        mpv_observe_property(handle, kObserveEof, "eof-reached", MPV_FORMAT_FLAG);
        mpv_observe_property(handle, kObserveCacheWait, "paused-for-cache", MPV_FORMAT_FLAG);
        mpv_observe_property(handle, kObserveVideo, "vid", MPV_FORMAT_STRING);
    }
}

CPlaybackEngine::~CPlaybackEngine() {
    m_timer.stop();
    m_openTimer.stop();
    if (IPlaybackVideoOutput *output = std::exchange(m_output, nullptr)) {
        output->releaseRenderContext();
        output->engineDestroyed();
    }
    m_mpv->destroy();
}

mpv_handle *CPlaybackEngine::renderHandle() const {
    return m_mpv->handle();
}

void CPlaybackEngine::attachVideoOutput(IPlaybackVideoOutput *output) {
    m_output = output;
    m_mpv->setProperty("vo", output != nullptr ? QStringLiteral("libmpv") : QStringLiteral("null"));
}

int CPlaybackEngine::startOpen(const QString &path) {
    // Opening over an open file releases it first, but keeps the caption file meant for this one.
    const QString captionFile = m_secondPath;
    if (m_state != kClosed || m_load != ELoad::Idle) {
        close();
    }
    m_secondPath = captionFile;
    m_mediaPath = path;
    if (m_mpv->handle() == nullptr || path.isEmpty() ||
        (!isAddress(path) && !QFileInfo(path).isFile())) {
        close();
        return 0;
    }
    // Per-file settings start from the defaults: normal speed, full volume, centred sound, and
    // the effects filter unaltered when effects are on.
    m_mpv->setProperty("speed", 1.0);
    m_mpv->setProperty("volume", 100.0);
    m_mpv->setProperty("af", QString());
    m_mpv->setProperty("vf", m_effectsEnabled ? *effectFilterChain(kEffectNone) : QString());
    m_mpv->setProperty("cache-secs", m_bufferingTime);
    m_mpv->setProperty("cache-pause-wait", m_bufferingTime);
    m_mpv->setFlag("pause", true);
    m_captionTrack = m_secondPath;
    if (!m_secondPath.isEmpty() && m_convertCaptionFile) {
        if (QString track = m_convertCaptionFile(m_secondPath); !track.isEmpty()) {
            m_captionTrack = std::move(track);
        }
    }

    const std::optional<int64_t> entry = m_mpv->loadFile(path.toUtf8());
    if (!entry) {
        close();
        return 0;
    }
    // libmpv's answers come from the event loop, so the ticket is known before any of them.
    m_lastTicket = m_lastTicket == INT_MAX ? 1 : m_lastTicket + 1;
    m_ticket = m_lastTicket;
    m_load = ELoad::AwaitingStart;
    // The events of a file this one replaced may still be on their way: only this entry's
    // count.
    m_loadingEntry = *entry;
    // A server that answers slowly or not at all is given the buffering time and a little more
    // (connecting, the first bytes), never the whole wait of a local file.
    m_openTimer.start(isAddress(path)
                          ? std::min(m_openTimeoutMs, int(m_bufferingTime * 1000) + kAddressGraceMs)
                          : m_openTimeoutMs);
    return m_ticket;
}

void CPlaybackEngine::loadSucceeded() {
    m_openTimer.stop();
    m_load = ELoad::Idle;
    readMediaFacts();
    m_state = kStopped;
    if (m_output != nullptr) {
        m_output->mediaChanged();
    }
    postOpenFinished(m_ticket, 1);
}

void CPlaybackEngine::loadFailed(const QString &reason) {
    qCWarning(lcPlayback).noquote() << "cannot open" << m_mediaPath << "-" << reason;
    close();
}

void CPlaybackEngine::postOpenFinished(int ticket, int result) {
    // A file closed, or replaced by another, before the report arrives was not opened for the
    // one waiting for it.
    QMetaObject::invokeMethod(
        this,
        [this, ticket, result] {
            emit openFinished(ticket, result == 1 && ticket == m_ticket ? 1 : 0);
        },
        Qt::QueuedConnection);
}

void CPlaybackEngine::readMediaFacts() {
    m_duration = m_mpv->getDouble("duration").value_or(0) * 1e7;
    m_earliest = 0;
    m_latest = m_duration;
    const int64_t width = m_mpv->getInt("video-params/w").value_or(0);
    const int64_t height = m_mpv->getInt("video-params/h").value_or(0);
    m_hasVideo = m_output != nullptr && width > 0 && height > 0;
    m_nativeSize = m_hasVideo ? QSize(int(width), int(height)) : QSize();
    const QString audio = m_mpv->getString("aid");
    m_hasAudio = !audio.isEmpty() && audio != u"no";
    m_isNetwork = m_mpv->getFlag("demuxer-via-network").value_or(false);
    m_effectsFilter = m_effectsEnabled && m_hasVideo;
    m_effectMode = kEffectNone;
    if (m_effectsEnabled && !m_hasVideo) {
        m_mpv->setProperty("vf", QString());
    }
    m_lastCaption.clear();
}

void CPlaybackEngine::close() {
    m_timer.stop();
    m_stepping = false;
    m_step = 0;
    m_openTimer.stop();
    if (m_load != ELoad::Idle) {
        m_load = ELoad::Idle;
        postOpenFinished(m_ticket, 0);
    }
    m_ticket = 0;
    if (m_mpv->handle() != nullptr) {
        m_mpv->command({"stop"});
    }
    m_mediaPath.clear();
    m_secondPath.clear();
    m_captionTrack.clear();
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
    m_steppedTo.reset();
    m_seekPending = false;
    m_lastCaption.clear();
    if (m_output != nullptr) {
        m_output->mediaChanged();
    }
}

void CPlaybackEngine::shutDown() {
    if (m_output != nullptr) {
        m_output->releaseRenderContext();
    }
    m_mpv->destroy();
}

void CPlaybackEngine::reportUserAbort() {
    if (m_state != kClosed) {
        postGraphEvent(kEventUserAbort, 0);
    }
}

void CPlaybackEngine::drainEvents() {
    m_drainQueued = false;
    while (mpv_handle *handle = m_mpv->handle()) {
        const mpv_event *event = mpv_wait_event(handle, 0);
        if (event->event_id == MPV_EVENT_NONE) {
            break;
        }
        handleEvent(*event);
    }
}

void CPlaybackEngine::handleEvent(const mpv_event &event) {
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
            reportUserAbort();
            close();
            shutDown();
            break;
        default:
            break;
    }
}

void CPlaybackEngine::handleLoadEvent(const mpv_event &event) {
    switch (event.event_id) {
        case MPV_EVENT_START_FILE: {
            const int64_t entry =
                static_cast<const mpv_event_start_file *>(event.data)->playlist_entry_id;
            if (m_load == ELoad::AwaitingStart && (m_loadingEntry < 0 || entry == m_loadingEntry)) {
                m_loadingEntry = entry;
                m_load = ELoad::AwaitingFile;
            }
            break;
        }
        case MPV_EVENT_FILE_LOADED:
            if (m_load == ELoad::AwaitingFile) {
                if (!m_captionTrack.isEmpty()) {
                    const QByteArray captions = m_captionTrack.toUtf8();
                    m_mpv->commandAsync({"sub-add", captions.constData(), "select"});
                }
                const QString video = m_mpv->getString("vid");
                if (m_output != nullptr && !video.isEmpty() && video != u"no") {
                    m_load = ELoad::AwaitingPicture;
                } else {
                    loadSucceeded();
                }
            }
            break;
        case MPV_EVENT_VIDEO_RECONFIG:
            if (m_load == ELoad::AwaitingPicture &&
                m_mpv->getInt("video-params/w").value_or(0) > 0) {
                loadSucceeded();
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
                m_loadingEntry =
                    end->playlist_insert_num_entries > 0 ? end->playlist_insert_id : -1;
            } else if (loading) {
                loadFailed(end->reason == MPV_END_FILE_REASON_ERROR
                               ? QString::fromUtf8(mpv_error_string(end->error))
                               : QStringLiteral("the file ended while loading"));
            } else if (m_state != kClosed && end->reason == MPV_END_FILE_REASON_ERROR) {
                postGraphEvent(kEventErrorAbort, end->error);
            }
            break;
        }
        default:
            break;
    }
}

void CPlaybackEngine::handlePropertyChange(uint64_t observation,
                                           const mpv_event_property &property) {
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
                loadSucceeded();
            }
            break;
        default:
            break;
    }
}

void CPlaybackEngine::postGraphEvent(int code, qint64 parameter, const QString &text) {
    QMetaObject::invokeMethod(
        this, [this, code, parameter, text] { emit graphEvent(code, parameter, text); },
        Qt::QueuedConnection);
}
