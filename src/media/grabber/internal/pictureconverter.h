#pragma once

#include <functional>
#include <memory>

#include "imaging/dib.h"
#include "media/grabber/internal/avhandles.h"

// Turns decoded frames into the pictures the grabber hands out: a 24-bit bottom-up CDib at the
// stream's picture size, or its exact 8-bit grey copy. 8-bit planar Y'CbCr frames of that size
// are converted by our own row code (which can write the grey rows directly, without making the
// colour picture first); every other frame goes through libswscale into the picture's rows.
namespace kivo::grabber {

class CPictureConverter {
public:
    CPictureConverter(int width, int height);

    int width() const { return m_width; }
    int height() const { return m_height; }

    std::unique_ptr<CDib> colourPicture(const AVFrame &frame);
    // Each grey row (index from the top) right after it was written.
    using RowObserver = std::function<void(int row, const uint8_t *grey)>;

    // Byte for byte what colourPicture(frame)->greyCopy() would give; every row goes to
    // `observer` (when given) as soon as it is written.
    std::unique_ptr<CDib> greyPicture(const AVFrame &frame, const RowObserver *observer = nullptr);

private:
    bool convertsDirectly(const AVFrame &frame) const;
    // Writes the frame's rows top to bottom into the picture's bottom-up rows.
    void convertDirectly(const AVFrame &frame, CDib &picture, bool grey,
                         const RowObserver *observer) const;
    bool scaleInto(const AVFrame &frame, CDib &picture);

    int m_width;
    int m_height;
    ScaleContextPtr m_scaler;
};

}  // namespace kivo::grabber
