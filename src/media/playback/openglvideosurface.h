#pragma once

#include "media/playback/mpvresources.h"
#include "media/playback/videosurface.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLTextureBlitter>
#include <QOpenGLWidget>

#include <atomic>
#include <memory>

class QOpenGLFramebufferObject;

// Video drawn by libmpv's OpenGL renderer. libmpv renders in a context of its own on an
// offscreen surface, into a framebuffer whose texture the widget draws; the context exists from
// the start and survives the widget's context being remade (full screen moves the widget to a
// window of its own), which libmpv needs because video cannot start without a render context.
// Needs Qt::AA_ShareOpenGLContexts so that the two contexts share textures.
class COpenGlVideoSurface final : public QOpenGLWidget, public IVideoSurface {
    Q_OBJECT

public:
    // Null when there is no shared OpenGL context to work with.
    static std::unique_ptr<COpenGlVideoSurface> create(mpv_handle *mpv, QWidget *parent);
    ~COpenGlVideoSurface() override;

    QWidget *widget() override { return this; }
    const char *rendererName() const override { return "opengl"; }
    void clear() override;

protected:
    void initializeGL() override;
    void paintGL() override;
    void resizeEvent(QResizeEvent *event) override;

private:
    explicit COpenGlVideoSurface(QWidget *parent);
    bool makeRenderContext(mpv_handle *mpv);
    void renderFrame(bool whenNewFrameOnly);
    // Safe from any thread. redrawAnyway draws even when libmpv has no new frame (resizing).
    void queueRender(bool redrawAnyway);

    QOpenGLContext m_context;
    QOffscreenSurface m_offscreen;
    std::unique_ptr<QOpenGLFramebufferObject> m_frame;
    MpvRenderContextPtr m_render;
    QOpenGLTextureBlitter m_blitter;  // belongs to the widget's context
    bool m_hasPicture = false;
    std::atomic<bool> m_renderQueued{false};
    std::atomic<bool> m_redrawAnyway{false};
};
