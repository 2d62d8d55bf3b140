#include "videosurface.h"

#include "openglvideosurface.h"
#include "softwarevideosurface.h"

std::unique_ptr<IVideoSurface> createVideoSurface(mpv_handle *mpv, QWidget *parent) {
    // "software" or "opengl" forces a renderer (tests, measurements); otherwise OpenGL is used
    // when it is done by a graphics processor.
    const QByteArray choice = qgetenv("KIVO_VIDEO_RENDERER");
    if (choice != "software") {
        if (auto surface = COpenGlVideoSurface::create(mpv, parent, choice == "opengl")) {
            return surface;
        }
    }
    return CSoftwareVideoSurface::create(mpv, parent);
}
