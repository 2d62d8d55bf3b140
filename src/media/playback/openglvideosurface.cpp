#include "media/playback/openglvideosurface.h"

#include "media/playback/playbacklog.h"

#include <mpv/render_gl.h>

#include <QMatrix4x4>
#include <QOpenGLFramebufferObject>
#include <QOpenGLFunctions>
#include <QResizeEvent>

COpenGlVideoSurface::COpenGlVideoSurface(QWidget *parent) : QOpenGLWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

std::unique_ptr<COpenGlVideoSurface> COpenGlVideoSurface::create(mpv_handle *mpv, QWidget *parent) {
    QOpenGLContext *shared = QOpenGLContext::globalShareContext();
    if (shared == nullptr || !shared->isValid()) {
        return nullptr;
    }
    std::unique_ptr<COpenGlVideoSurface> surface(new COpenGlVideoSurface(parent));
    surface->m_context.setShareContext(shared);
    surface->m_context.setFormat(shared->format());
    if (!surface->m_context.create()) {
        qCInfo(lcPlayback) << "no OpenGL context for the video; using the software renderer";
        return nullptr;
    }
    surface->m_offscreen.setFormat(surface->m_context.format());
    surface->m_offscreen.create();
    if (!surface->m_offscreen.isValid() || !surface->makeRenderContext(mpv)) {
        return nullptr;
    }
    return surface;
}

bool COpenGlVideoSurface::makeRenderContext(mpv_handle *mpv) {
    if (!m_context.makeCurrent(&m_offscreen)) {
        return false;
    }
    mpv_opengl_init_params glParams{
        [](void *context, const char *name) -> void * {
            return reinterpret_cast<void *>(
                static_cast<QOpenGLContext *>(context)->getProcAddress(name));
        },
        &m_context};
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_API_TYPE, const_cast<char *>(MPV_RENDER_API_TYPE_OPENGL)},
        {MPV_RENDER_PARAM_OPENGL_INIT_PARAMS, &glParams},
        {MPV_RENDER_PARAM_INVALID, nullptr}};
    mpv_render_context *render = nullptr;
    const int error = mpv_render_context_create(&render, mpv, params);
    m_context.doneCurrent();
    if (error < 0) {
        qCInfo(lcPlayback) << "OpenGL renderer unavailable:" << mpv_error_string(error);
        return false;
    }
    m_render.reset(render);
    mpv_render_context_set_update_callback(
        render,
        [](void *opaque) {
            // libmpv's thread: only queue the drawing onto the widget's thread.
            static_cast<COpenGlVideoSurface *>(opaque)->queueRender(false);
        },
        this);
    return true;
}

COpenGlVideoSurface::~COpenGlVideoSurface() {
    if (m_render) {
        mpv_render_context_set_update_callback(m_render.get(), nullptr, nullptr);
        // libmpv frees its GL objects, so its context must be current.
        m_context.makeCurrent(&m_offscreen);
        m_render.reset();
        m_frame.reset();
        m_context.doneCurrent();
    }
    if (m_blitter.isCreated()) {
        makeCurrent();
        m_blitter.destroy();
        doneCurrent();
    }
}

void COpenGlVideoSurface::queueRender(bool redrawAnyway) {
    if (redrawAnyway) {
        m_redrawAnyway = true;
    }
    if (!m_renderQueued.exchange(true)) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_renderQueued = false;
                renderFrame(!m_redrawAnyway.exchange(false));
            },
            Qt::QueuedConnection);
    }
}

void COpenGlVideoSurface::clear() {
    m_hasPicture = false;
    update();
}

void COpenGlVideoSurface::renderFrame(bool whenNewFrameOnly) {
    const uint64_t flags = mpv_render_context_update(m_render.get());
    if (whenNewFrameOnly && (flags & MPV_RENDER_UPDATE_FRAME) == 0) {
        return;
    }
    const qreal ratio = devicePixelRatioF();
    const QSize size(qRound(width() * ratio), qRound(height() * ratio));
    if (size.isEmpty() || !m_context.makeCurrent(&m_offscreen)) {
        return;
    }
    if (!m_frame || m_frame->size() != size) {
        m_frame = std::make_unique<QOpenGLFramebufferObject>(size);
    }
    mpv_opengl_fbo target{int(m_frame->handle()), size.width(), size.height(), 0};
    // Drawn bottom-up like a window, so the texture has OpenGL's bottom-left origin.
    int flip = 1;
    mpv_render_param params[] = {{MPV_RENDER_PARAM_OPENGL_FBO, &target},
                                 {MPV_RENDER_PARAM_FLIP_Y, &flip},
                                 {MPV_RENDER_PARAM_INVALID, nullptr}};
    const int error = mpv_render_context_render(m_render.get(), params);
    // The widget's context reads the texture next; it must be complete by then.
    m_context.functions()->glFinish();
    m_context.doneCurrent();
    if (error < 0) {
        qCWarning(lcPlayback) << "OpenGL rendering failed:" << mpv_error_string(error);
        return;
    }
    m_hasPicture = true;
    update();
}

void COpenGlVideoSurface::initializeGL() {
    // Full screen moves the widget to another window and remakes its context; the blitter's
    // objects belong to the old one.
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, [this] {
        makeCurrent();
        m_blitter.destroy();
        doneCurrent();
    });
    m_blitter.create();
}

void COpenGlVideoSurface::paintGL() {
    QOpenGLFunctions *gl = context()->functions();
    gl->glClearColor(0, 0, 0, 1);
    gl->glClear(GL_COLOR_BUFFER_BIT);
    if (!m_hasPicture || !m_frame || !m_blitter.isCreated()) {
        return;
    }
    m_blitter.bind();
    m_blitter.blit(m_frame->texture(), QMatrix4x4(), QOpenGLTextureBlitter::OriginBottomLeft);
    m_blitter.release();
}

void COpenGlVideoSurface::resizeEvent(QResizeEvent *event) {
    QOpenGLWidget::resizeEvent(event);
    // Draw the current frame again at the new size; a paused video sends no new frames.
    queueRender(true);
}
