#include "media/playback/videosurface.h"

#include "media/playback/openglvideosurface.h"
#include "media/playback/softwarevideosurface.h"

std::unique_ptr<IVideoSurface> createVideoSurface(mpv_handle *mpv, QWidget *parent) {
    if (qgetenv("KIVO_VIDEO_RENDERER") != "software") {
        if (auto surface = COpenGlVideoSurface::create(mpv, parent)) {
            return surface;
        }
    }
    return CSoftwareVideoSurface::create(mpv, parent);
}
