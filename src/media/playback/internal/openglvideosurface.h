#pragma once

#include "mpvresources.h"
#include "renderthread.h"
#include "videosurface.h"

#include <QMutex>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLTextureBlitter>
#include <QOpenGLWidget>

#include <array>
#include <atomic>
#include <memory>

class QOpenGLFramebufferObject;

// Video drawn by libmpv's OpenGL renderer. libmpv renders on the render thread, in a context of
// its own on an offscreen surface, into one of two framebuffers; the widget draws the texture of
// the finished one. libmpv's context exists from the start (video cannot start without it) and
// survives the widget's context being remade when full screen moves the widget to a window of
// its own. Needs Qt::AA_ShareOpenGLContexts so that the contexts share textures.
class COpenGlVideoSurface final : public QOpenGLWidget, public IVideoSurface {
    Q_OBJECT

public:
    // Null when there is no shared OpenGL context to work with, or when OpenGL is only a
    // software rasteriser (Mesa's llvmpipe, ...) and acceptSoftwareOpenGl is false: composing
    // the widget costs more processor time than libmpv's software renderer then.
    static std::unique_ptr<COpenGlVideoSurface> create(mpv_handle *mpv, QWidget *parent,
                                                       bool acceptSoftwareOpenGl);
    ~COpenGlVideoSurface() override;

    QWidget *widget() override { return this; }
    const char *rendererName() const override { return "opengl"; }
    void place(const QRect &area) override;
    void clear() override;
    quint64 picturesDrawn() const override { return m_picturesDrawn; }

protected:
    void initializeGL() override;
    void paintGL() override;
    void resizeEvent(QResizeEvent *event) override;

private:
    explicit COpenGlVideoSurface(QWidget *parent);
    bool makeRenderContext(mpv_handle *mpv, bool acceptSoftwareOpenGl);

    // The widget's size in device pixels, for the render thread. GUI thread only.
    void rememberTargetSize();
    // Draws libmpv's current frame into the back picture; with whenNewFrameOnly only when
    // libmpv has a new one. Render thread only.
    void renderFrame(bool whenNewFrameOnly);
    void releaseOnRenderThread();

    QOffscreenSurface m_offscreen;
    QOpenGLContext m_context;  // moves to the render thread once libmpv has it
    MpvRenderContextPtr m_render;
    CRenderThread m_thread{QStringLiteral("kivo-video"),
                           [this](bool whenNewFrameOnly) { renderFrame(whenNewFrameOnly); }};
    std::atomic<quint64> m_picturesDrawn{0};

    // Written by the GUI thread, read by the render thread.
    QMutex m_sizeLock;
    QSize m_targetSize;

    // The render thread draws into frames[1 - front] while the widget shows frames[front]; the
    // swap and the widget's drawing happen under m_frontLock.
    QMutex m_frontLock;
    std::array<std::unique_ptr<QOpenGLFramebufferObject>, 2> m_frames;
    int m_front = 0;
    bool m_hasPicture = false;

    QOpenGLTextureBlitter m_blitter;  // belongs to the widget's context
};
