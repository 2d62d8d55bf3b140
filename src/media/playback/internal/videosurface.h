#pragma once

#include <mpv/client.h>

#include <QtGlobal>

#include <memory>

class QRect;
class QWidget;

// The child widget that shows the video, which libmpv's render API draws on the surface's
// render thread (CRenderThread). It owns the render context, which must go before the mpv handle
// it was made for.
class IVideoSurface {
public:
    virtual ~IVideoSurface() = default;

    virtual QWidget *widget() = 0;

    // "opengl" or "software".
    virtual const char *rendererName() const = 0;

    // Sets the widget's geometry; libmpv draws at that size from then on, shown or not.
    virtual void place(const QRect &area) = 0;

    // Forgets the last picture, so that the next file does not start with the old one.
    virtual void clear() = 0;

    // Pictures libmpv has drawn into the surface so far.
    virtual quint64 picturesDrawn() const = 0;
};

// OpenGL when the application shares its OpenGL contexts (Qt::AA_ShareOpenGLContexts) and a
// graphics processor does the OpenGL; libmpv's software renderer otherwise. The environment
// variable KIVO_VIDEO_RENDERER = "software" or "opengl" forces one (OpenGL then also on a
// software rasteriser). Null when neither works, which leaves sound only.
std::unique_ptr<IVideoSurface> createVideoSurface(mpv_handle *mpv, QWidget *parent);
