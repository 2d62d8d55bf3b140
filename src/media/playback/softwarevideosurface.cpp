#include "media/playback/softwarevideosurface.h"

#include "media/playback/playbacklog.h"

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
    mpv_render_context_set_update_callback(
        context,
        [](void *opaque) {
            // libmpv's thread: only queue the drawing onto the widget's thread.
            auto *self = static_cast<CSoftwareVideoSurface *>(opaque);
            if (!self->m_renderQueued.exchange(true)) {
                QMetaObject::invokeMethod(
                    self,
                    [self] {
                        self->m_renderQueued = false;
                        self->renderFrame(true);
                    },
                    Qt::QueuedConnection);
            }
        },
        surface.get());
    return surface;
}

CSoftwareVideoSurface::~CSoftwareVideoSurface() {
    mpv_render_context_set_update_callback(m_render.get(), nullptr, nullptr);
    m_render.reset();
}

void CSoftwareVideoSurface::clear() {
    m_hasPicture = false;
    update();
}

bool CSoftwareVideoSurface::ensureBuffer() {
    const qreal ratio = devicePixelRatioF();
    const QSize size(qRound(width() * ratio), qRound(height() * ratio));
    if (size.isEmpty()) {
        return false;
    }
    if (size == m_bufferSize) {
        return true;
    }
    const size_t stride = (size_t(size.width()) * 4 + kAlignment - 1) / kAlignment * kAlignment;
    m_image = QImage();
    m_pixels.reset(static_cast<uchar *>(std::aligned_alloc(kAlignment, stride * size.height())));
    if (!m_pixels) {
        m_bufferSize = QSize();
        return false;
    }
    m_stride = stride;
    m_bufferSize = size;
    m_image = QImage(m_pixels.get(), size.width(), size.height(), qsizetype(stride),
                     QImage::Format_RGB32);
    m_image.setDevicePixelRatio(ratio);
    return true;
}

void CSoftwareVideoSurface::renderFrame(bool whenNewFrameOnly) {
    const uint64_t flags = mpv_render_context_update(m_render.get());
    if (whenNewFrameOnly && (flags & MPV_RENDER_UPDATE_FRAME) == 0) {
        return;
    }
    if (!ensureBuffer()) {
        return;
    }
    int size[2] = {m_bufferSize.width(), m_bufferSize.height()};
    size_t stride = m_stride;
    mpv_render_param params[] = {{MPV_RENDER_PARAM_SW_SIZE, size},
                                 {MPV_RENDER_PARAM_SW_FORMAT, const_cast<char *>(kPixelFormat)},
                                 {MPV_RENDER_PARAM_SW_STRIDE, &stride},
                                 {MPV_RENDER_PARAM_SW_POINTER, m_pixels.get()},
                                 {MPV_RENDER_PARAM_INVALID, nullptr}};
    const int error = mpv_render_context_render(m_render.get(), params);
    if (error < 0) {
        qCWarning(lcPlayback) << "software rendering failed:" << mpv_error_string(error);
        return;
    }
    m_hasPicture = true;
    update();
}

void CSoftwareVideoSurface::paintEvent(QPaintEvent *event) {
    QPainter painter(this);
    if (m_hasPicture && !m_image.isNull()) {
        painter.drawImage(rect(), m_image);
    } else {
        painter.fillRect(event->rect(), Qt::black);
    }
}

void CSoftwareVideoSurface::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    // Draw the current frame again at the new size; a paused video sends no new frames.
    renderFrame(false);
}
