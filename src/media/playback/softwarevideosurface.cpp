#include "softwarevideosurface.h"

#include "playbacklog.h"

#include <QMutexLocker>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QtEndian>

namespace {

// libmpv wants rows and the first pixel on 64-byte boundaries for its fast paths.
constexpr size_t kAlignment = 64;

// QImage::Format_RGB32 holds 0xffRRGGBB words; libmpv names formats by byte order.
constexpr const char *kPixelFormat = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? "bgr0" : "0rgb";

}  // namespace

bool CSoftwareVideoSurface::CPicture::allocate(QSize size, qreal ratio) {
    if (!image.isNull() && image.size() == size) {
        image.setDevicePixelRatio(ratio);
        return true;
    }
    image = QImage();
    const size_t rowBytes = (size_t(size.width()) * 4 + kAlignment - 1) / kAlignment * kAlignment;
    pixels.reset(static_cast<uchar *>(std::aligned_alloc(kAlignment, rowBytes * size.height())));
    if (!pixels) {
        return false;
    }
    stride = rowBytes;
    image =
        QImage(pixels.get(), size.width(), size.height(), qsizetype(stride), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    return true;
}

CSoftwareVideoSurface::CSoftwareVideoSurface(QWidget *parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Clicks belong to the engine window underneath (left and right button notifications).
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

std::unique_ptr<CSoftwareVideoSurface> CSoftwareVideoSurface::create(mpv_handle *mpv,
                                                                     QWidget *parent) {
    std::unique_ptr<CSoftwareVideoSurface> surface(new CSoftwareVideoSurface(parent));
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_API_TYPE, const_cast<char *>(MPV_RENDER_API_TYPE_SW)},
        {MPV_RENDER_PARAM_INVALID, nullptr}};
    mpv_render_context *context = nullptr;
    const int error = mpv_render_context_create(&context, mpv, params);
    if (error < 0) {
        qCWarning(lcPlayback) << "software renderer unavailable:" << mpv_error_string(error);
        return nullptr;
    }
    surface->m_render.reset(context);
    // Frames are drawn (and so taken from libmpv) even before the widget is first shown.
    surface->rememberTargetSize();
    mpv_render_context_set_update_callback(
        context,
        [](void *opaque) {
            // libmpv's thread: only queue the drawing onto the render thread.
            static_cast<CSoftwareVideoSurface *>(opaque)->m_thread.requestRender(false);
        },
        surface.get());
    return surface;
}

CSoftwareVideoSurface::~CSoftwareVideoSurface() {
    // The render API is used by one thread at a time: the render thread stops first.
    m_thread.stop();
    mpv_render_context_set_update_callback(m_render.get(), nullptr, nullptr);
    m_render.reset();
}

void CSoftwareVideoSurface::renderFrame(bool whenNewFrameOnly) {
    const uint64_t flags = mpv_render_context_update(m_render.get());
    if (whenNewFrameOnly && (flags & MPV_RENDER_UPDATE_FRAME) == 0) {
        return;
    }
    QSize size;
    qreal ratio = 1;
    {
        QMutexLocker lock(&m_sizeLock);
        size = m_targetSize;
        ratio = m_targetRatio;
    }
    if (size.isEmpty() || !m_back.allocate(size, ratio)) {
        return;
    }
    int dimensions[2] = {size.width(), size.height()};
    size_t stride = m_back.stride;
    mpv_render_param params[] = {{MPV_RENDER_PARAM_SW_SIZE, dimensions},
                                 {MPV_RENDER_PARAM_SW_FORMAT, const_cast<char *>(kPixelFormat)},
                                 {MPV_RENDER_PARAM_SW_STRIDE, &stride},
                                 {MPV_RENDER_PARAM_SW_POINTER, m_back.pixels.get()},
                                 {MPV_RENDER_PARAM_BLOCK_FOR_TARGET_TIME, &kDoNotWait},
                                 {MPV_RENDER_PARAM_INVALID, nullptr}};
    const int error = mpv_render_context_render(m_render.get(), params);
    if (error < 0) {
        qCWarning(lcPlayback) << "software rendering failed:" << mpv_error_string(error);
        return;
    }
    {
        QMutexLocker lock(&m_frontLock);
        std::swap(m_front, m_back);
        m_hasPicture = true;
    }
    ++m_picturesDrawn;
    QMetaObject::invokeMethod(this, qOverload<>(&QWidget::update), Qt::QueuedConnection);
}

void CSoftwareVideoSurface::clear() {
    {
        QMutexLocker lock(&m_frontLock);
        m_hasPicture = false;
    }
    update();
}

void CSoftwareVideoSurface::paintEvent(QPaintEvent *event) {
    QPainter painter(this);
    QMutexLocker lock(&m_frontLock);
    if (m_hasPicture && !m_front.image.isNull()) {
        painter.drawImage(rect(), m_front.image);
    } else {
        painter.fillRect(event->rect(), Qt::black);
    }
}

void CSoftwareVideoSurface::place(const QRect &area) {
    // A hidden widget hears of its new size only when shown; the render thread needs it now.
    setGeometry(area);
    rememberTargetSize();
    m_thread.requestRender(true);
}

void CSoftwareVideoSurface::rememberTargetSize() {
    QMutexLocker lock(&m_sizeLock);
    m_targetRatio = devicePixelRatioF();
    m_targetSize = QSize(qRound(width() * m_targetRatio), qRound(height() * m_targetRatio));
}

void CSoftwareVideoSurface::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    rememberTargetSize();
    // Draw the current frame again at the new size; a paused video sends no new frames.
    m_thread.requestRender(true);
}
