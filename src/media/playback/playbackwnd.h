#pragma once

#include "media/playback/playbackengine.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>

#include <memory>

class IVideoSurface;

// The playback engine's window: a child widget that shows the engine's video inside itself,
// paints the background and logo where no video is shown, goes full screen, and reports mouse
// buttons. Everything else is the engine's (see playbackengine.h): the window forwards its
// calls and repeats its signals, which arrive from the event loop as the engine's do.
//
// The window either owns its engine or is attached to one owned elsewhere; one window per engine
// at a time. An attached engine may be destroyed first: the window then frees its video surface
// at once and afterwards only paints, and none of the engine's calls may be made through it.
//
// Video is drawn with OpenGL when the application sets Qt::AA_ShareOpenGLContexts before it
// creates its QApplication and a graphics processor is there, and by libmpv's software renderer
// otherwise (see internal/videosurface.h).
class CPlaybackWnd : public QWidget, private IPlaybackVideoOutput {
    Q_OBJECT

public:
    using EState = CPlaybackEngine::EState;
    using EGraphEvent = CPlaybackEngine::EGraphEvent;
    using EMessage = CPlaybackEngine::EMessage;
    using enum CPlaybackEngine::EState;
    using enum CPlaybackEngine::EGraphEvent;
    using enum CPlaybackEngine::EMessage;
    static constexpr double kFrameTime = CPlaybackEngine::kFrameTime;
    static constexpr int kTickMilliseconds = CPlaybackEngine::kTickMilliseconds;

    // With an engine of its own.
    explicit CPlaybackWnd(QWidget *parent = nullptr);
    // Showing an engine owned elsewhere.
    CPlaybackWnd(CPlaybackEngine &engine, QWidget *parent);
    ~CPlaybackWnd() override;

    CPlaybackEngine &engine() { return *m_engine; }

    // Opens a file or address and waits for it: afterwards the state is stopped, the first
    // picture shown. The event loop keeps running while the file loads (a network address may
    // take seconds), so the engine may be closed meanwhile, which makes this open return 0.
    // Deleting the window or its engine while it opens is safe too. A failed open leaves the
    // engine closed.
    int open(const QString &path);
    // Stops and forgets the file, leaving full screen. Effects settings, buffering time,
    // colours, logo and playlist stay.
    void close() { m_engine->close(); }

    int play() { return m_engine->play(); }
    int pause() { return m_engine->pause(); }
    int stop() { return m_engine->stop(); }
    int seek(double position) { return m_engine->seek(position); }
    double currentPosition() const { return m_engine->currentPosition(); }

    int setVolume(int level) { return m_engine->setVolume(level); }
    int setMute(bool on) { return m_engine->setMute(on); }
    int setBalance(int balance) { return m_engine->setBalance(balance); }
    // Only with video: the window becomes a full-screen window of its own and returns into its
    // parent afterwards. Key presses then reach it, not its parent; the video window watches
    // them (an event filter) to leave full screen on Esc.
    int setFullScreen(bool on);
    void showVideo(bool show);

    // Painted where no video is shown.
    void setLogoBitmap(const QImage &logo);
    void setBackgroundColour(const QColor &colour);

    int openPlaylist(const QString &path) { return m_engine->openPlaylist(path); }
    int nextPlaylistEntry(QString &url, double &start, double &duration, bool forceNext) {
        return m_engine->nextPlaylistEntry(url, start, duration, forceNext);
    }
    static bool isPlaylist(const QString &path) { return CPlaybackEngine::isPlaylist(path); }

    int setEffectMode(int mode) { return m_engine->setEffectMode(mode); }
    void setEffectsEnabled(bool enabled) { m_engine->setEffectsEnabled(enabled); }
    bool effectsEnabled() const { return m_engine->effectsEnabled(); }
    bool hasEffectsFilter() const { return m_engine->hasEffectsFilter(); }
    int effectMode() const { return m_engine->effectMode(); }

    void setRate(double rate) { m_engine->setRate(rate); }
    double rate() const { return m_engine->rate(); }

    void setSecondPath(const QString &path) { m_engine->setSecondPath(path); }
    const QString &secondPath() const { return m_engine->secondPath(); }
    const QString &mediaPath() const { return m_engine->mediaPath(); }

    void setBufferingTime(double seconds) { m_engine->setBufferingTime(seconds); }
    double bufferingTime() const { return m_engine->bufferingTime(); }
    int bufferingProgress() const { return m_engine->bufferingProgress(); }

    void setOpenTimeout(int milliseconds) { m_engine->setOpenTimeout(milliseconds); }
    void setAudioOutput(const QString &driver) { m_engine->setAudioOutput(driver); }

    int state() const { return m_engine->state(); }
    bool hasVideo() const { return m_engine->hasVideo(); }
    QSize nativeVideoSize() const { return m_engine->nativeVideoSize(); }
    double duration() const { return m_engine->duration(); }
    double earliest() const { return m_engine->earliest(); }
    double latest() const { return m_engine->latest(); }
    int volume() const { return m_engine->volume(); }
    int balance() const { return m_engine->balance(); }
    bool isFullScreen() const { return m_fullScreen; }
    const QColor &backgroundColour() const { return m_background; }
    // "opengl" or "software"; empty when video cannot be shown.
    QString rendererName() const;
    // Pictures drawn since the window was made: lets a measurement see the first frame arrive.
    quint64 picturesDrawn() const;

signals:
    // The engine's notifications, repeated (see CPlaybackEngine).
    void graphEvent(int code, qint64 parameter, const QString &text);
    void tick();
    void steppedEnd();
    // 0x0FBC, 0x0FBD: a mouse button pressed in the window.
    void leftButton();
    void rightButton();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void attach();
    void mediaChanged() override;
    void releaseRenderContext() override;
    void engineDestroyed() override;

    void updateSurfaceVisibility();
    void leaveFullScreen();
    void postSignal(void (CPlaybackWnd::*signal)());

    std::unique_ptr<CPlaybackEngine> m_ownEngine;
    CPlaybackEngine *m_engine;
    std::unique_ptr<IVideoSurface> m_surface;

    bool m_fullScreen = false;
    QRect m_geometryBeforeFullScreen;
    bool m_videoShown = true;

    // Painting without video.
    QColor m_background = Qt::black;
    QImage m_logo;
};
