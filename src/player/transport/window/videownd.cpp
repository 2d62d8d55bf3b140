// The video window's frame: its bars and buttons, where the video goes, the window's modes
// (maximised, hidden by the user, full video, the engine's full screen) and the docked
// containers.
#include "player/transport/window/videownd.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

#include "media/grabber/videomanager.h"
#include "media/playback/playbackwnd.h"
#include "player/captions/window/captionboxwnd.h"
#include "player/shell/playersettings.h"
#include "player/transport/playercommands.h"
#include "player/transport/playercontrol.h"
#include "player/transport/playersession.h"
#include "player/transport/playertransport.h"
#include "player/transport/videocommands.h"
#include "player/transport/window/videorelay.h"
#include "uisupport/asker.h"
#include "uisupport/dlgmanager.h"
#include "uisupport/hoverbutton.h"
#include "uisupport/videoframeart.h"

namespace video = kivo::player::video;
namespace frame = kivo::skin::videoframe;

namespace {

// The width of the outer border at which a press sizes the window instead of moving it.
constexpr int kSizingBorder = 4;
// The docked caption strip's height: at least this, and this much less than the window's.
constexpr int kMinimumCaptionStrip = 20;
constexpr int kCaptionStripMargin = 10;

struct CFrameButton {
    int id;
    frame::Button art;
    const char *text;
    const char *tooltip;
};

constexpr CFrameButton kFrameButtons[] = {
    {kivo::player::kVideoHideButton, frame::Button::kHide, "_", "최소화"},
    {kivo::player::kVideoMaximiseButton, frame::Button::kMaximise, "ㅁ", "최대화"},
    {kivo::player::kVideoCloseButton, frame::Button::kClose, "x", "파일 닫기(Alt + Q)"},
    {kivo::player::kVideoRestoreButton, frame::Button::kRestore, "ㅁ", "이전 크기"},
    {kivo::player::kVideoInfoButton, frame::Button::kInfo, "Info", "정보 열기/닫기"},
    {kivo::player::kVideoInfo2Button, frame::Button::kInfo2, "info2", "트리/리스트 열기/닫기"},
};

}  // namespace

CVideoWnd::CVideoWnd(CPlayerSession &session, CPlayerTransport &transport,
                     CPlayerSettings &settings, QWidget *controlPanel)
    : QDialog(controlPanel, Qt::Window | Qt::FramelessWindowHint),
      m_session(session),
      m_transport(transport),
      m_settings(settings),
      m_controlPanel(controlPanel) {
    setObjectName(QStringLiteral("dialog%1").arg(kDialogId));
    setWindowTitle(QStringLiteral("KIVO Player"));
    setMinimumSize(video::kMinimumWindow);
    setModal(false);

    m_engine = new CPlaybackWnd(session.engine(), this);
    m_engine->setObjectName(QStringLiteral("control%1").arg(kEngineWindowId));
    m_engine->setBufferingTime(settings.bufferingTime);
    m_engine->installEventFilter(this);
    auto *relay = new CVideoRelay(*m_engine, session, transport, this);
    connect(relay, &CVideoRelay::captionText, this, &CVideoWnd::captionText);
    // The caption file's captions are the caption shown now, as the description's are.
    connect(relay, &CVideoRelay::captionText, &session, &CPlayerSession::setCaptionText);
    m_captionBox = new CCaptionBoxWnd(session, settings, this);
    connect(m_captionBox, &CCaptionBoxWnd::closeRequested, this, [this] {
        m_settings.showCaption = false;
        layOut();
    });
    connect(relay, &CVideoRelay::contextMenuRequested, this,
            [this] { showContextMenu(QCursor::pos()); });
    connect(&transport, &CPlayerTransport::sizeRateChanged, this, &CVideoWnd::resizeToRate);
    createButtons();
    layOut();
}

void CVideoWnd::createButtons() {
    for (int i = 0; i < kButtonCount; ++i) {
        const CFrameButton &entry = kFrameButtons[i];
        auto *button = new COVHoverButton(this);
        button->setText(QString::fromUtf8(entry.text));
        button->loadBitmaps(frame::bitmapId(entry.art, frame::Look::kNormal),
                            frame::bitmapId(entry.art, frame::Look::kHover),
                            frame::bitmapId(entry.art, frame::Look::kPressed),
                            frame::bitmapId(entry.art, frame::Look::kDisabled));
        button->setTooltip(QString::fromUtf8(entry.tooltip));
        const int id = entry.id;
        connect(button, &QAbstractButton::clicked, this, [this, id] { runCommand(id); });
        m_buttons[i] = button;
    }
    for (const EButton side : {kInfo, kInfo2}) {
        m_buttons[side]->setBtnCursor(kivo::skin::kHandCursor);
    }
    m_buttons[kRestore]->hide();
}

QWidget *CVideoWnd::controlPanel() const {
    return m_controlPanel.data();
}

bool CVideoWnd::hasVideo() const {
    return m_transport.isFileOpen() && m_engine->hasVideo();
}

void CVideoWnd::layOut() {
    const video::CFrameLayout layout = video::frameLayout(size());
    m_buttons[kClose]->move(layout.closeButton);
    m_buttons[kHide]->move(layout.hideButton);
    m_buttons[kMaximise]->move(layout.maximiseButton);
    m_buttons[kRestore]->move(layout.maximiseButton);
    m_buttons[kInfo]->move(layout.infoButton);
    m_buttons[kInfo2]->move(layout.info2Button);
    placeVideo();
    redock();
    update();
}

void CVideoWnd::placeVideo() {
    video::CVideoPlace place;
    if (m_rateSize && size() == m_rateSize->window) {
        place = m_rateSize->place;
    } else {
        // The user (or the window system) gave the window another size: the video follows it.
        m_rateSize.reset();
        place = video::placeVideo(size(), m_settings.autoScale, m_engine->nativeVideoSize(),
                                  dockedCaptionHeight());
    }
    m_engine->setGeometry(place.video);
    if (!m_captionBox->isDetached()) {
        m_captionBox->setGeometry(place.captionBox);
        m_captionBox->setVisible(!place.captionBox.isEmpty());
    }
}

int CVideoWnd::dockedCaptionHeight() const {
    return m_settings.showCaption && !m_settings.detachCaptionBox ? m_settings.captionBoxHeight : 0;
}

void CVideoWnd::setUpCaptionBox(COVRegistry &registry) {
    m_captionBox->setPlacementStore(&registry);
    m_captionBox->setDetached(m_settings.detachCaptionBox, m_settings.showCaption);
    layOut();
}

int CVideoWnd::toggleCaption() {
    m_settings.showCaption = !m_settings.showCaption;
    if (m_settings.detachCaptionBox) {
        if (m_settings.showCaption) {
            m_captionBox->showDetached();
        } else {
            m_captionBox->hideDetached();
        }
    }
    m_rateSize.reset();
    layOut();
    return 1;
}

int CVideoWnd::toggleCaptionDetached() {
    m_settings.detachCaptionBox = !m_settings.detachCaptionBox;
    m_captionBox->setDetached(m_settings.detachCaptionBox, m_settings.showCaption);
    m_rateSize.reset();
    layOut();
    return 1;
}

int CVideoWnd::changeCaptionStripHeight(int delta) {
    if (m_settings.detachCaptionBox) {
        return 0;
    }
    const int highest = std::max(kMinimumCaptionStrip, height() - kCaptionStripMargin);
    m_settings.captionBoxHeight =
        std::clamp(m_settings.captionBoxHeight + delta, kMinimumCaptionStrip, highest);
    m_rateSize.reset();
    layOut();
    return 1;
}

void CVideoWnd::resizeToRate(double rate) {
    m_rateSize = video::sizeForRate(m_engine->nativeVideoSize(), rate, dockedCaptionHeight());
    resize(m_rateSize->window);
    placeVideo();
    update();
}

int CVideoWnd::setSizeRate(double rate) {
    if (m_engine->isFullScreen() && !m_engine->setFullScreen(false)) {
        return 0;
    }
    resizeToRate(rate);
    m_transport.setSizeRate(rate);
    return 1;
}

void CVideoWnd::showForVideo(double sizeRate) {
    if (!m_maximised && !m_engine->isFullScreen()) {
        resizeToRate(sizeRate);
    }
    showWindow();
}

void CVideoWnd::showWindow() {
    if (m_maximised) {
        showMaximized();
    } else {
        show();
    }
    if (m_hiddenByUser) {
        showContainersAgain();
    }
}

void CVideoWnd::setAutoScale(bool on) {
    m_settings.autoScale = on;
    m_rateSize.reset();
    placeVideo();
}

void CVideoWnd::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    const video::CFrameLayout layout = video::frameLayout(size());
    frame::drawBar(painter, kivo::skin::bitmap(kivo::skin::kVideoTopBar), layout.topBar);
    frame::drawBar(painter, kivo::skin::bitmap(kivo::skin::kVideoBottomBar), layout.bottomBar);
    frame::drawBar(painter, kivo::skin::bitmap(kivo::skin::kVideoLeftBar), layout.leftBar);
    frame::drawBar(painter, kivo::skin::bitmap(kivo::skin::kVideoRightBar), layout.rightBar);
    // Where the video does not cover the inside (a centred or fitted video), it is black.
    painter.fillRect(video::placeVideo(size(), false, {}, dockedCaptionHeight()).video, Qt::black);
}

void CVideoWnd::resizeEvent(QResizeEvent *event) {
    QDialog::resizeEvent(event);
    layOut();
}

void CVideoWnd::moveEvent(QMoveEvent *event) {
    QDialog::moveEvent(event);
    redock();
}

void CVideoWnd::mousePressEvent(QMouseEvent *event) {
    if (event->button() == Qt::RightButton) {
        showContextMenu(event->globalPosition().toPoint());
        return;
    }
    if (event->button() != Qt::LeftButton || windowHandle() == nullptr) {
        QDialog::mousePressEvent(event);
        return;
    }
    // The frame is the window's border and title bar at once.
    const int hit = COVDlgManager::hitTest(this, event->position().toPoint(), kSizingBorder);
    if (!COVDlgManager::startSizing(this, hit)) {
        windowHandle()->startSystemMove();
    }
}

void CVideoWnd::mouseDoubleClickEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    if (m_maximised) {
        restore();
    } else {
        maximise();
    }
}

bool CVideoWnd::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_engine && event->type() == QEvent::KeyPress && m_engine->isFullScreen() &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        m_engine->setFullScreen(false);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void CVideoWnd::reject() {
    // Esc in the window is no way to close it: only its buttons and the player's commands are.
}

void CVideoWnd::closeEvent(QCloseEvent *event) {
    // The window system's close (Alt+F4) hides the window as its own button does; the
    // application's end closes it.
    if (event->spontaneous()) {
        event->ignore();
        runCommand(kivo::player::kVideoHideButton);
        return;
    }
    event->accept();
}

bool CVideoWnd::isPlayerWindow(const QWidget *window) const {
    return window == this || (window == m_engine && m_engine->isWindow()) ||
           (window == m_captionBox && m_captionBox->isDetached());
}

void CVideoWnd::setDockedContainers(QWidget *left, QWidget *right) {
    m_left = left;
    m_right = right;
    redock();
}

void CVideoWnd::redock() {
    if (m_settings.separateMode || !isVisible()) {
        return;
    }
    const QRect window = COVDlgManager::frameRect(this);
    if (m_left && m_left->isVisible()) {
        COVDlgManager::setFrameRect(
            m_left, video::dockedLeft(window, COVDlgManager::frameRect(m_left).width()));
    }
    if (m_right && m_right->isVisible()) {
        COVDlgManager::setFrameRect(
            m_right, video::dockedRight(window, COVDlgManager::frameRect(m_right).width()));
    }
}

void CVideoWnd::hideByUser() {
    if (QWidget *panel = controlPanel(); panel && !panel->isVisible()) {
        panel->show();
    }
    m_hiddenByUser = true;
    m_leftWasVisible = m_left && m_left->isVisible();
    m_rightWasVisible = m_right && m_right->isVisible();
    if (!m_settings.separateMode) {
        for (QWidget *container : {m_left.data(), m_right.data()}) {
            if (container) {
                container->hide();
            }
        }
    }
    hide();
}

void CVideoWnd::maximise() {
    m_maximised = true;
    showMaximized();
    m_buttons[kMaximise]->hide();
    m_buttons[kRestore]->show();
}

void CVideoWnd::restore() {
    m_buttons[kRestore]->hide();
    if (m_maximised) {
        m_maximised = false;
        showNormal();
        m_buttons[kMaximise]->show();
    } else if (m_hiddenByUser) {
        show();
        showContainersAgain();
    }
}

void CVideoWnd::showContainersAgain() {
    m_hiddenByUser = false;
    if (m_left) {
        m_left->setVisible(m_leftWasVisible);
    }
    if (m_right) {
        m_right->setVisible(m_rightWasVisible);
    }
    redock();
}

int CVideoWnd::setFullVideo(bool on) {
    if (on == isFullVideo()) {
        return 0;
    }
    if (!on) {
        COVDlgManager::setFrameRect(this, *m_fullVideoRestore);
        m_fullVideoRestore.reset();
        return 1;
    }
    if (!hasVideo() || screen() == nullptr) {
        return 0;
    }
    m_fullVideoRestore = COVDlgManager::frameRect(this);
    COVDlgManager::setFrameRect(this, video::fullVideoRect(screen()->geometry()));
    return 1;
}

int CVideoWnd::toggleEngineFullScreen() {
    if (!hasVideo()) {
        return 0;
    }
    return m_engine->setFullScreen(!m_engine->isFullScreen());
}

int CVideoWnd::closeButton() {
    if (m_session.isBusy()) {
        return 0;
    }
    IPlayerControl *control = m_session.control();
    if (m_transport.isFileOpen() && control) {
        if (m_right) {
            m_right->hide();
        }
        control->runCommand(kivo::player::kKeyCloseFile);
    }
    QWidget *panel = controlPanel();
    if (panel && panel->isVisible()) {
        hide();
        return 1;
    }
    return control ? control->runCommand(kivo::player::kExitButton) : 0;
}

int CVideoWnd::toggleContainer(QWidget *container, int width, bool left) {
    if (container == nullptr) {
        return 0;
    }
    if (container->isVisible()) {
        container->hide();
        return 1;
    }
    // Shown first: a window's frame is known only once it is on the screen.
    container->show();
    if (!m_settings.separateMode) {
        const QRect window = COVDlgManager::frameRect(this);
        COVDlgManager::setFrameRect(
            container, left ? video::dockedLeft(window, width) : video::dockedRight(window, width));
    }
    return 1;
}

int CVideoWnd::sceneContainerButton() {
    if (!m_transport.isFileOpen()) {
        return 0;
    }
    if (!m_session.grabber().isOpen() || !m_engine->hasVideo()) {
        kivo::ui::messageBox(this,
                             QStringLiteral("본 파일은 장면 트리/리스트를 지원하지 않습니다."));
        return 0;
    }
    if (m_prepareScenePictures && m_prepareScenePictures() != 1) {
        return 0;
    }
    return toggleContainer(m_right, m_settings.info2Width, false);
}
