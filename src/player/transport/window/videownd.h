#pragma once

#include <QDialog>
#include <QPointer>
#include <QRect>

#include <array>
#include <functional>
#include <optional>

#include "player/transport/videomenustate.h"
#include "player/transport/videoplacement.h"

class CCaptionBoxWnd;
class COVRegistry;
class CPlaybackWnd;
class CPlayerSession;
class CPlayerTransport;
class COVHoverButton;
struct CPlayerSettings;

// The video window (dialog 212): the skinned frame around the engine's video. It holds the
// engine's window (child 104) of the control panel's session, relays the engine's notifications
// to the control panel (CVideoRelay), sizes the video by the size rate or to the window, switches
// maximised, hidden, full-video and the engine's full-screen modes, keeps the information and
// scene containers docked to its sides, and shows the context menu "뷰", whose items it runs
// itself or passes on to the control panel (IPlayerControl::runCommand).
//
// It is a window of its own beside the control panel, shown when a file with video opens.
class CVideoWnd : public QDialog {
    Q_OBJECT

public:
    static constexpr int kDialogId = 212;
    static constexpr int kEngineWindowId = 104;

    // controlPanel: the window shown again when the video window is hidden while it is hidden,
    // and whose visibility decides what "x" does.
    CVideoWnd(CPlayerSession &session, CPlayerTransport &transport, CPlayerSettings &settings,
              QWidget *controlPanel);

    CPlaybackWnd &engineWindow() { return *m_engine; }
    CCaptionBoxWnd &captionBox() { return *m_captionBox; }
    // The caption box keeps its detached placement in `registry`; detached and wanted, it
    // shows now.
    void setUpCaptionBox(COVRegistry &registry);

    // The caption box: shown or hidden, docked or detached, the docked strip 10 pixels taller
    // or shorter (within 20 and the window's height less 10). 1 when done.
    int toggleCaption();
    int toggleCaptionDetached();
    int changeCaptionStripHeight(int delta);
    // The docked strip's height now (0 when no strip is shown).
    int dockedCaptionHeight() const;

    // The containers docked to the left and right sides (either may be null).
    void setDockedContainers(QWidget *left, QWidget *right);
    // What readies the scenes' pictures before the scene container first shows them: 1 when
    // they are ready, 0 when the user stopped it.
    void setScenePicturePreparation(std::function<int()> prepare) {
        m_prepareScenePictures = std::move(prepare);
    }
    // Puts the visible containers beside the window again, unless they are kept separate.
    void redock();

    // A file with video was opened: unless maximised, the window takes the size of the size
    // rate (not while the engine shows full screen); then it is shown.
    void showForVideo(double sizeRate);
    // Shown again: maximised when it was, with the containers the user's hiding hid.
    void showWindow();
    // The window for the video at a size rate (within 240 x 240 at least).
    void resizeToRate(double rate);
    // The size-rate commands: leave the engine's full screen first (nothing when that fails),
    // resize, and keep the rate as the player's. 1 when done.
    int setSizeRate(double rate);

    // Buttons.
    void hideByUser();
    void maximise();
    void restore();
    bool isMaximised() const { return m_maximised; }

    // Full video (file with video only): the frame just off the screen; off again, the window
    // takes back the rectangle it had. 1 when switched.
    int setFullVideo(bool on);
    int toggleFullVideo() { return setFullVideo(!m_fullVideoRestore); }
    bool isFullVideo() const { return m_fullVideoRestore.has_value(); }
    // The engine's own full screen (file with video only); Esc leaves it.
    int toggleEngineFullScreen();

    // A command of the window's menu or buttons: its own ones run here, every other goes to
    // the control panel. 1 when done.
    int runCommand(int id);
    kivo::player::VideoMenuInput menuInput() const;
    void showContextMenu(const QPoint &globalPosition);

    // The window, the engine's full-screen window or the detached caption box: where the
    // player's keys work.
    bool isPlayerWindow(const QWidget *window) const;

signals:
    // The text of a caption of the caption file, for the caption box.
    void captionText(const QString &text);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void reject() override;
    void closeEvent(QCloseEvent *event) override;

private:
    enum EButton { kHide, kMaximise, kClose, kRestore, kInfo, kInfo2, kButtonCount };

    void createButtons();
    void layOut();
    void placeVideo();
    bool hasVideo() const;
    void showContainersAgain();
    int closeButton();
    int toggleContainer(QWidget *container, int width, bool left);
    int sceneContainerButton();
    int exportFrame(int commandId);
    int toggleEffectsWanted();
    void setAutoScale(bool on);
    QWidget *controlPanel() const;
    int chooseCaptionBackground();
    int chooseCaptionFont();

    CPlayerSession &m_session;
    CPlayerTransport &m_transport;
    CPlayerSettings &m_settings;
    QPointer<QWidget> m_controlPanel;
    CPlaybackWnd *m_engine = nullptr;
    CCaptionBoxWnd *m_captionBox = nullptr;
    std::array<COVHoverButton *, kButtonCount> m_buttons{};
    QPointer<QWidget> m_left;
    QPointer<QWidget> m_right;
    std::function<int()> m_prepareScenePictures;

    bool m_maximised = false;
    bool m_hiddenByUser = false;
    bool m_leftWasVisible = false;
    bool m_rightWasVisible = false;
    // The rectangle full video will give back.
    std::optional<QRect> m_fullVideoRestore;
    // The size the last size-rate resize asked for, with the video's place in it; kept while
    // the window has that size, so that the window system's late resize reports leave a small
    // video centred as the rate placed it.
    std::optional<kivo::player::video::CRateSize> m_rateSize;
};
