#include "player/remote/mprisservice.h"

#include <unistd.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QFileInfo>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <cmath>

#include "media/playback/playbackengine.h"
#include "player/transport/playercommands.h"
#include "player/transport/playercontrol.h"
#include "player/transport/playersession.h"
#include "player/transport/playertransport.h"

namespace kivo::remote {
namespace {

constexpr char kObjectPath[] = "/org/mpris/MediaPlayer2";
constexpr char kPlayerInterface[] = "org.mpris.MediaPlayer2.Player";
// A position further than this from where playback should be is a jump (100 ns units).
constexpr double kJumpTolerance = 1e7;

}  // namespace

CMprisService::CMprisService(CPlayerSession &session, CPlayerTransport &transport,
                             QString artFolder, std::function<bool()> canChangeFile,
                             QObject *parent)
    : QObject(parent),
      m_session(session),
      m_transport(transport),
      m_state(session, transport, std::move(artFolder), std::move(canChangeFile)) {
    new CMprisRootAdaptor(this);
    new CMprisPlayerAdaptor(this);
    const auto changed = [this] { scheduleRefresh(); };
    connect(&session, &CPlayerSession::playStateChanged, this, changed);
    connect(&session, &CPlayerSession::descriptionReplaced, this, changed);
    connect(&transport, &CPlayerTransport::controlsChanged, this, changed);
    connect(&transport, &CPlayerTransport::volumeSliderChanged, this, changed);
    connect(&session, &CPlayerSession::positionUpdated, this, &CMprisService::followPosition);
    m_sinceLastPosition.start();
}

CMprisService::~CMprisService() {
    if (!m_name.isEmpty()) {
        QDBusConnection::sessionBus().unregisterService(m_name);
    }
}

bool CMprisService::publish(bool multiPlayer) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return false;
    }
    const QString name = QString::fromLatin1(kServiceName) +
                         (multiPlayer ? QStringLiteral(".instance%1").arg(::getpid()) : QString());
    if (!bus.registerObject(QString::fromLatin1(kObjectPath), this) || !bus.registerService(name)) {
        bus.unregisterObject(QString::fromLatin1(kObjectPath));
        return false;
    }
    m_name = name;
    m_published = m_state.playerProperties();
    return true;
}

const QVariantMap &CMprisService::properties() {
    if (m_refreshQueued) {
        refresh();
    }
    return m_published;
}

void CMprisService::scheduleRefresh() {
    if (m_refreshQueued) {
        return;
    }
    m_refreshQueued = true;
    QTimer::singleShot(0, this, &CMprisService::refresh);
}

void CMprisService::refresh() {
    m_refreshQueued = false;
    if (m_name.isEmpty()) {
        return;
    }
    QVariantMap now = m_state.playerProperties();
    QVariantMap changed;
    for (auto it = now.cbegin(); it != now.cend(); ++it) {
        // The position moves all the time: clients ask for it, and learn of jumps by Seeked.
        if (it.key() != u"Position" && m_published.value(it.key()) != it.value()) {
            changed.insert(it.key(), it.value());
        }
    }
    m_published = std::move(now);
    if (!changed.isEmpty()) {
        emitChanged(QString::fromLatin1(kPlayerInterface), changed);
    }
}

void CMprisService::emitChanged(const QString &interface, const QVariantMap &changed) {
    QDBusMessage signal = QDBusMessage::createSignal(
        QString::fromLatin1(kObjectPath), QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("PropertiesChanged"));
    signal << interface << changed << QStringList();
    QDBusConnection::sessionBus().send(signal);
}

void CMprisService::followPosition(double position) {
    const bool moving = m_session.playState() == CPlayerSession::kPlaying ||
                        m_session.playState() == CPlayerSession::kExtendedPlay;
    const double rate =
        m_session.playState() == CPlayerSession::kExtendedPlay ? m_session.engine().rate() : 1.0;
    const double expected =
        m_lastPosition + (moving ? double(m_sinceLastPosition.restart()) * 1e4 * rate : 0.0);
    if (!moving) {
        m_sinceLastPosition.restart();
    }
    m_lastPosition = position;
    if (std::abs(position - expected) > kJumpTolerance) {
        emitSeeked();
    }
    // The scene may have changed, and with it the picture.
    scheduleRefresh();
}

void CMprisService::emitSeeked() {
    if (!m_name.isEmpty()) {
        if (auto *player = findChild<CMprisPlayerAdaptor *>()) {
            emit player->Seeked(m_state.positionMicroseconds());
        }
    }
}

void CMprisService::raise() {
    if (IPlayerControl *control = m_session.control()) {
        control->arrangeWindow(IPlayerControl::EWindowRequest::RaiseControlPanel);
    }
}

void CMprisService::quit() {
    if (IPlayerControl *control = m_session.control()) {
        control->runCommand(kivo::player::kExitButton);
    }
}

void CMprisService::playPause() {
    if (m_session.playState() == CPlayerSession::kPlaying ||
        m_session.playState() == CPlayerSession::kExtendedPlay) {
        pause();
    } else {
        play();
    }
}

void CMprisService::play() {
    IPlayerControl *control = m_session.control();
    if (control == nullptr) {
        return;
    }
    // Paused: the pause button resumes where play would start over in extended play.
    if (m_session.playState() == CPlayerSession::kPaused) {
        control->pause();
    } else if (m_transport.controls().play) {
        control->play();
    }
}

void CMprisService::pause() {
    IPlayerControl *control = m_session.control();
    if (control != nullptr && m_transport.controls().pause &&
        m_session.playState() != CPlayerSession::kPaused) {
        control->pause();
    }
}

void CMprisService::stop() {
    IPlayerControl *control = m_session.control();
    if (control != nullptr && m_transport.controls().stop) {
        control->stop();
    }
}

void CMprisService::next() {
    if (IPlayerControl *control = m_session.control()) {
        control->runCommand(kivo::player::kKeyNextFile);
    }
}

void CMprisService::previous() {
    if (IPlayerControl *control = m_session.control()) {
        control->runCommand(kivo::player::kKeyPreviousFile);
    }
}

void CMprisService::seek(qint64 offset) {
    if (!m_transport.isFileOpen() || m_transport.durationSeconds() <= 0) {
        return;
    }
    const double target = std::clamp(m_session.engine().currentPosition() + double(offset) * 10.0,
                                     0.0, m_transport.durationSeconds() * 1e7);
    if (IPlayerControl *control = m_session.control(); control && control->seekToPosition(target)) {
        emitSeeked();
    }
}

void CMprisService::setPosition(const QDBusObjectPath &track, qint64 position) {
    // A position for another track, or outside this one, is ignored.
    if (track.path() != m_state.trackId() || position < 0 ||
        position > m_state.lengthMicroseconds()) {
        return;
    }
    if (IPlayerControl *control = m_session.control();
        control && control->seekToPosition(double(position) * 10.0)) {
        emitSeeked();
    }
}

void CMprisService::openUri(const QString &uri) {
    const QUrl url(uri);
    const QString path = url.isLocalFile() ? url.toLocalFile() : uri;
    if (IPlayerControl *control = m_session.control(); control && !path.isEmpty()) {
        control->openFile(path, true);
    }
}

void CMprisService::setRate(double rate) {
    IPlayerControl *control = m_session.control();
    if (control == nullptr || !std::isfinite(rate) || rate <= 0) {
        return;
    }
    rate = std::clamp(rate, CMprisState::kMinimumRate, CMprisState::kMaximumRate);
    if (rate == 1.0) {
        control->play();
    } else {
        m_transport.setRate(rate);
    }
}

void CMprisService::setVolume(double volume) {
    if (std::isfinite(volume)) {
        m_transport.volumeSliderMoved(int(std::lround(std::clamp(volume, 0.0, 1.0) * 100)));
    }
}

CMprisRootAdaptor::CMprisRootAdaptor(CMprisService *service)
    : QDBusAbstractAdaptor(service), m_service(service) {}

QStringList CMprisRootAdaptor::supportedUriSchemes() const {
    return {QStringLiteral("file"), QStringLiteral("http"), QStringLiteral("https"),
            QStringLiteral("mms")};
}

QStringList CMprisRootAdaptor::supportedMimeTypes() const {
    return {QStringLiteral("video/mp4"),      QStringLiteral("video/x-matroska"),
            QStringLiteral("video/mpeg"),     QStringLiteral("video/x-msvideo"),
            QStringLiteral("video/x-ms-wmv"), QStringLiteral("video/quicktime"),
            QStringLiteral("audio/mpeg"),     QStringLiteral("audio/mp4"),
            QStringLiteral("audio/x-wav"),    QStringLiteral("application/x-kivo-scv")};
}

CMprisPlayerAdaptor::CMprisPlayerAdaptor(CMprisService *service)
    : QDBusAbstractAdaptor(service), m_service(service) {
    setAutoRelaySignals(false);
}

QVariant CMprisPlayerAdaptor::value(const char *name) const {
    return m_service->properties().value(QString::fromLatin1(name));
}

}  // namespace kivo::remote
