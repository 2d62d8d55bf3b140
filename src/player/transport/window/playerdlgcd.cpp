// The control panel in audio-CD mode: the CD page drives the transport, and the panel's face
// (tooltips, volume slider range, file information, track grid) follows the mode.
#include <QTimer>

#include "media/playback/playbackengine.h"
#include "player/lists/window/audiocdpanel.h"
#include "player/transport/window/playercontainers.h"
#include "player/transport/window/playerdlg.h"
#include "uisupport/textdisplays.h"
#include "uisupport/tslider.h"

QString CPlayerDlg::audioCdSource() const {
    const QString named = qEnvironmentVariable("KIVO_CDROM_DEVICE");
    return named.isEmpty() ? m_settings.cdromDevice : named;
}

void CPlayerDlg::setUpAudioCd() {
    CAudioCdPanel *cd = m_info->audioCdPanel();
    m_transport.setAudioCd(cd);
    connect(&m_session, &CPlayerSession::audioCdModeChanged, this, &CPlayerDlg::audioCdModeChanged);
    connect(cd, &CAudioCdPanel::tracksChanged, this, qOverload<>(&QWidget::update));
    connect(&m_transport, &CPlayerTransport::fileInformationChanged, m_fileInfo,
            &COVMsgST::setMessage);
    connect(&m_transport, &CPlayerTransport::volumeSliderRangeChanged, m_volume,
            [this](int maximum) { m_volume->setRange(0, maximum); });
    // The disc in the drive is listed once the panel is up, without playing it.
    QTimer::singleShot(0, cd, [cd] { cd->reread(false); });
}

void CPlayerDlg::audioCdModeChanged(bool on) {
    if (on) {
        // The flag is already set: the open file is closed past the transport, which now
        // speaks to the CD.
        if (m_transport.isFileOpen()) {
            m_session.engine().stop();
            closeFile();
        }
        m_playlist.leave();
        showTooltips(true);
        m_transport.enterAudioCdMode();
    } else {
        showTooltips(false);
        m_transport.leaveAudioCdMode();
        reset();
    }
    update();
}
