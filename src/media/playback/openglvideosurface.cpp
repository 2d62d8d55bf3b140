#include "openglvideosurface.h"

#include "playbacklog.h"

#include <mpv/render_gl.h>

#include <QCoreApplication>
#include <QMatrix4x4>
#include <QMutexLocker>
#include <QOpenGLFramebufferObject>
#include <QOpenGLFunctions>
#include <QResizeEvent>

COpenGlVideoSurface::COpenGlVideoSurface(QWidget *parent) : QOpenGLWidget(parent) {
    // Clicks belong to the engine window underneath (left and right button notifications).
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

namespace {

bool isSoftwareRasteriser(QOpenGLContext &context) {
    const auto *name =
        reinterpret_cast<const char *>(context.functions()->glGetString(GL_RENDERER));
    const QByteArray renderer = QByteArray(name != nullptr ? name : "").toLower();
    for (const char *software : {"llvmpipe", "softpipe", "software rasterizer", "swiftshader",
                                 "swr", "basic render driver", "software renderer"}) {
        if (renderer.contains(software)) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::unique_ptr<COpenGlVideoSurface> COpenGlVideoSurface::create(mpv_handle *mpv, QWidget *parent,
                                                                 bool acceptSoftwareOpenGl) {
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
    if (!surface->m_offscreen.isValid() || !surface->makeRenderContext(mpv, acceptSoftwareOpenGl)) {
        return nullptr;
    }
    return surface;
}

bool COpenGlVideoSurface::makeRenderContext(mpv_handle *mpv, bool acceptSoftwareOpenGl) {
    if (!m_context.makeCurrent(&m_offscreen)) {
        return false;
    }
    if (!acceptSoftwareOpenGl && isSoftwareRasteriser(m_context)) {
        m_context.doneCurrent();
        qCInfo(lcPlayback) << "OpenGL is a software rasteriser; using the software renderer";
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
    // Frames are drawn (and so taken from libmpv) even before the widget is first shown.
    rememberTargetSize();
    // From here on the context is used on the render thread only, and drawing may start.
    m_context.moveToThread(m_thread.thread());
    mpv_render_context_set_update_callback(
        render,
        [](void *opaque) {
            // libmpv's thread: only queue the drawing onto the render thread.
            static_cast<COpenGlVideoSurface *>(opaque)->m_thread.requestRender(false);
        },
        this);
    return true;
}

COpenGlVideoSurface::~COpenGlVideoSurface() {
    // QOpenGLWidget's destructor, which runs after this one, destroys the widget's context; the
    // blitter is gone by then and must not hear of it.
    if (QOpenGLContext *widgetContext = context()) {
        disconnect(widgetContext, nullptr, this, nullptr);
    }
    if (m_render) {
        // libmpv frees its GL objects in its context, which is current only on the render
        // thread; the render API is then done with, and the thread can end.
        m_thread.runAndWait([this] { releaseOnRenderThread(); });
    }
    m_thread.stop();
    if (m_blitter.isCreated()) {
        makeCurrent();
        m_blitter.destroy();
        doneCurrent();
    }
}

void COpenGlVideoSurface::releaseOnRenderThread() {
    m_context.makeCurrent(&m_offscreen);
    mpv_render_context_set_update_callback(m_render.get(), nullptr, nullptr);
    m_render.reset();
    {
        QMutexLocker lock(&m_frontLock);
        m_frames = {};
        m_hasPicture = false;
    }
    m_context.doneCurrent();
    // Back to the GUI thread, which owns the surface and destroys the context with it.
    m_context.moveToThread(QCoreApplication::instance()->thread());
}

void COpenGlVideoSurface::renderFrame(bool whenNewFrameOnly) {
    if (!m_render || !m_context.makeCurrent(&m_offscreen)) {
        return;
    }
    const uint64_t flags = mpv_render_context_update(m_render.get());
    QSize size;
    {
        QMutexLocker lock(&m_sizeLock);
        size = m_targetSize;
    }
    if ((whenNewFrameOnly && (flags & MPV_RENDER_UPDATE_FRAME) == 0) || size.isEmpty()) {
        m_context.doneCurrent();
        return;
    }
    // The back frame is not being shown: the widget finished drawing it before the last swap.
    std::unique_ptr<QOpenGLFramebufferObject> &back = m_frames[size_t(1 - m_front)];
    if (!back || back->size() != size) {
        back = std::make_unique<QOpenGLFramebufferObject>(size);
    }
    mpv_opengl_fbo target{int(back->handle()), size.width(), size.height(), 0};
    // Drawn bottom-up like a window, so the texture has OpenGL's bottom-left origin.
    int flip = 1;
    mpv_render_param params[] = {{MPV_RENDER_PARAM_OPENGL_FBO, &target},
                                 {MPV_RENDER_PARAM_FLIP_Y, &flip},
                                 {MPV_RENDER_PARAM_BLOCK_FOR_TARGET_TIME, &kDoNotWait},
                                 {MPV_RENDER_PARAM_INVALID, nullptr}};
    const int error = mpv_render_context_render(m_render.get(), params);
    // The widget's context reads the texture next; it must be complete by then.
    m_context.functions()->glFinish();
    m_context.doneCurrent();
    if (error < 0) {
        qCWarning(lcPlayback) << "OpenGL rendering failed:" << mpv_error_string(error);
        return;
    }
    {
        QMutexLocker lock(&m_frontLock);
        m_front = 1 - m_front;
        m_hasPicture = true;
    }
    ++m_picturesDrawn;
    QMetaObject::invokeMethod(this, qOverload<>(&QWidget::update), Qt::QueuedConnection);
}

void COpenGlVideoSurface::clear() {
    {
        QMutexLocker lock(&m_frontLock);
        m_hasPicture = false;
    }
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
    QMutexLocker lock(&m_frontLock);
    const QOpenGLFramebufferObject *front = m_frames[size_t(m_front)].get();
    if (!m_hasPicture || front == nullptr || !m_blitter.isCreated()) {
        return;
    }
    m_blitter.bind();
    m_blitter.blit(front->texture(), QMatrix4x4(), QOpenGLTextureBlitter::OriginBottomLeft);
    m_blitter.release();
    // The render thread may draw into this texture after the next swap.
    gl->glFinish();
}

void COpenGlVideoSurface::place(const QRect &area) {
    // A hidden widget hears of its new size only when shown; the render thread needs it now.
    setGeometry(area);
    rememberTargetSize();
    m_thread.requestRender(true);
}

void COpenGlVideoSurface::rememberTargetSize() {
    QMutexLocker lock(&m_sizeLock);
    const qreal ratio = devicePixelRatioF();
    m_targetSize = QSize(qRound(width() * ratio), qRound(height() * ratio));
}

void COpenGlVideoSurface::resizeEvent(QResizeEvent *event) {
    QOpenGLWidget::resizeEvent(event);
    rememberTargetSize();
    // Draw the current frame again at the new size; a paused video sends no new frames.
    m_thread.requestRender(true);
}
