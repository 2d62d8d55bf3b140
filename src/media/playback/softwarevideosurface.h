#pragma once

#include "media/playback/mpvresources.h"
#include "media/playback/videosurface.h"

#include <QImage>
#include <QWidget>

#include <atomic>
#include <cstdlib>
#include <memory>

// Video drawn by libmpv's software renderer into an image the size of the widget, which the
// widget paints. Works on every Qt platform, including offscreen and Xvfb without OpenGL.
class CSoftwareVideoSurface final : public QWidget, public IVideoSurface {
    Q_OBJECT

public:
    static std::unique_ptr<CSoftwareVideoSurface> create(mpv_handle *mpv, QWidget *parent);
    ~CSoftwareVideoSurface() override;

    QWidget *widget() override { return this; }
    const char *rendererName() const override { return "software"; }
    void clear() override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    explicit CSoftwareVideoSurface(QWidget *parent);

    // Called on the GUI thread for every update libmpv announces; with whenNewFrameOnly the
    // picture is drawn only when libmpv has a new frame.
    void renderFrame(bool whenNewFrameOnly);
    bool ensureBuffer();

    struct CAlignedFree {
        void operator()(uchar *pixels) const { std::free(pixels); }
    };

    MpvRenderContextPtr m_render;
    std::unique_ptr<uchar, CAlignedFree> m_pixels;
    QSize m_bufferSize;
    size_t m_stride = 0;
    QImage m_image;  // wraps m_pixels
    bool m_hasPicture = false;
    std::atomic<bool> m_renderQueued{false};
};
