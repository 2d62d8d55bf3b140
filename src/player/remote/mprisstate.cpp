#include "player/remote/mprisstate.h"

#include <QDBusObjectPath>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <algorithm>

#include "imaging/dib.h"
#include "media/grabber/videomanager.h"
#include "media/playback/playbackengine.h"
#include "player/transport/playercontrol.h"
#include "player/transport/playersession.h"
#include "player/transport/playertransport.h"
#include "scene/videodescription.h"

namespace kivo::remote {
namespace {

constexpr int kArtWidth = 256;
constexpr int kArtQuality = 85;

}  // namespace

CMprisState::CMprisState(CPlayerSession &session, CPlayerTransport &transport, QString artFolder,
                         std::function<bool()> canChangeFile)
    : m_session(session),
      m_transport(transport),
      m_artFolder(std::move(artFolder)),
      m_canChangeFile(std::move(canChangeFile)) {}

QVariantMap CMprisState::playerProperties() {
    followFile();
    const CPlayerTransport::CControls controls = m_transport.controls();
    const bool open = m_transport.isFileOpen();
    const bool canSeek = open && m_transport.durationSeconds() > 0 && !m_session.isAudioCdMode();
    return {
        {QStringLiteral("PlaybackStatus"), playbackStatus()},
        {QStringLiteral("Rate"),
         m_session.playState() == CPlayerSession::kExtendedPlay ? m_session.engine().rate() : 1.0},
        {QStringLiteral("MinimumRate"), kMinimumRate},
        {QStringLiteral("MaximumRate"), kMaximumRate},
        {QStringLiteral("Metadata"), metadata()},
        {QStringLiteral("Volume"), m_transport.volumeSlider() / 100.0},
        {QStringLiteral("Position"), positionMicroseconds()},
        {QStringLiteral("CanGoNext"), m_canChangeFile && m_canChangeFile()},
        {QStringLiteral("CanGoPrevious"), m_canChangeFile && m_canChangeFile()},
        {QStringLiteral("CanPlay"),
         controls.play || m_session.playState() == CPlayerSession::kPaused},
        {QStringLiteral("CanPause"), controls.pause},
        {QStringLiteral("CanSeek"), canSeek},
        {QStringLiteral("CanControl"), true},
    };
}

qint64 CMprisState::positionMicroseconds() const {
    if (!m_transport.isFileOpen()) {
        return 0;
    }
    return qint64(m_session.engine().currentPosition() / 10.0);
}

qint64 CMprisState::lengthMicroseconds() const {
    return qint64(m_transport.durationSeconds() * 1e6);
}

QString CMprisState::playbackStatus() const {
    if (!m_transport.isFileOpen()) {
        return QStringLiteral("Stopped");
    }
    switch (m_session.playState()) {
        case CPlayerSession::kPlaying:
        case CPlayerSession::kExtendedPlay:
            return QStringLiteral("Playing");
        case CPlayerSession::kPaused:
            return QStringLiteral("Paused");
        default:
            return QStringLiteral("Stopped");
    }
}

void CMprisState::followFile() {
    const IPlayerControl *control = m_session.control();
    const QString file =
        control != nullptr && m_transport.isFileOpen() ? control->stateText() : QString();
    if (file == m_file) {
        return;
    }
    m_file = file;
    m_artFrame = -1;
    if (!m_artPath.isEmpty()) {
        QFile::remove(m_artPath);
        m_artPath.clear();
    }
    m_trackId = file.isEmpty() ? QString::fromLatin1(kNoTrack)
                               : QStringLiteral("/org/kivo/track/%1").arg(++m_trackNumber);
}

QVariantMap CMprisState::metadata() {
    QVariantMap data{
        {QStringLiteral("mpris:trackid"), QVariant::fromValue(QDBusObjectPath(m_trackId))}};
    if (m_file.isEmpty()) {
        return data;
    }
    const QUrl url = QFileInfo(m_file).isAbsolute() ? QUrl::fromLocalFile(m_file) : QUrl(m_file);
    data.insert(QStringLiteral("xesam:title"), url.fileName().isEmpty() ? m_file : url.fileName());
    data.insert(QStringLiteral("xesam:url"), url.toString());
    if (const qint64 length = lengthMicroseconds(); length > 0) {
        data.insert(QStringLiteral("mpris:length"), length);
    }
    drawSceneArt();
    if (!m_artPath.isEmpty()) {
        data.insert(QStringLiteral("mpris:artUrl"), QUrl::fromLocalFile(m_artPath).toString());
    }
    return data;
}

double CMprisState::currentSceneFrame() const {
    const double now = m_session.frameAt(m_session.engine().currentPosition());
    const CVideoDescription *description = m_session.description();
    if (description == nullptr || now < 0) {
        return 0;
    }
    // The deepest scene that has begun: at each level the last child starting at or before now.
    const CSceneNode *node = &description->root();
    double frame = 0;
    for (bool deeper = true; deeper;) {
        deeper = false;
        for (int index = node->childCount() - 1; index >= 0; --index) {
            const CSceneNode *child = node->child(index);
            if (child->frame() <= now) {
                node = child;
                frame = child->frame();
                deeper = true;
                break;
            }
        }
    }
    return frame;
}

void CMprisState::drawSceneArt() {
    if (!m_session.grabber().isOpen()) {
        return;
    }
    const double frame = currentSceneFrame();
    if (frame == m_artFrame) {
        return;
    }
    m_artFrame = frame;
    const std::unique_ptr<CDib> picture = m_session.grabber().pictureAt(frame);
    if (!picture || picture->width() <= 0) {
        return;
    }
    const int height = std::max(1, picture->height() * kArtWidth / picture->width());
    const std::unique_ptr<CDib> small = picture->resized(kArtWidth, height);
    if (!small || !QDir().mkpath(m_artFolder)) {
        return;
    }
    // A new name per picture: a desktop that still shows the last one never reads half a file.
    const QString path =
        m_artFolder + QStringLiteral("/scene-%1-%2.jpg").arg(m_trackNumber).arg(qint64(frame));
    if (small->saveAsJpeg(QFile::encodeName(path).toStdString(), 1, kArtQuality) != 1) {
        return;
    }
    if (!m_artPath.isEmpty() && m_artPath != path) {
        QFile::remove(m_artPath);
    }
    m_artPath = path;
}

}  // namespace kivo::remote
