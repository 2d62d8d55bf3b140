#pragma once

#include "mpvresources.h"
#include "renderthread.h"
#include "videosurface.h"

#include <QImage>
#include <QMutex>
#include <QWidget>

#include <atomic>
#include <cstdlib>
#include <memory>

// Video drawn by libmpv's software renderer, on the render thread, into one of two images the
// size of the widget; the widget paints the finished one. Works on every Qt platform, including
// offscreen and Xvfb without OpenGL.
class CSoftwareVideoSurface final : public QWidget, public IVideoSurface {
    Q_OBJECT

public:
    static std::unique_ptr<CSoftwareVideoSurface> create(mpv_handle *mpv, QWidget *parent);
    ~CSoftwareVideoSurface() override;

    QWidget *widget() override { return this; }
    const char *rendererName() const override { return "software"; }
    void place(const QRect &area) override;
    void clear() override;
    quint64 picturesDrawn() const override { return m_picturesDrawn; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    struct CAlignedFree {
        void operator()(uchar *pixels) const { std::free(pixels); }
    };
    // Pixels laid out the way libmpv draws fastest, and an image over them.
    struct CPicture {
        std::unique_ptr<uchar, CAlignedFree> pixels;
        size_t stride = 0;
        QImage image;
        bool allocate(QSize size, qreal ratio);
    };

    explicit CSoftwareVideoSurface(QWidget *parent);

    // The widget's size in device pixels, for the render thread. GUI thread only.
    void rememberTargetSize();
    // Draws libmpv's current frame into the back picture; with whenNewFrameOnly only when
    // libmpv has a new one. Render thread only.
    void renderFrame(bool whenNewFrameOnly);

    MpvRenderContextPtr m_render;
    CRenderThread m_thread{QStringLiteral("kivo-video"),
                           [this](bool whenNewFrameOnly) { renderFrame(whenNewFrameOnly); }};
    std::atomic<quint64> m_picturesDrawn{0};

    // Written by the GUI thread, read by the render thread.
    QMutex m_sizeLock;
    QSize m_targetSize;
    qreal m_targetRatio = 1;

    CPicture m_back;  // render thread only

    QMutex m_frontLock;  // guards the picture being shown
    CPicture m_front;
    bool m_hasPicture = false;
};
