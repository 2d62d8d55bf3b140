#include "imaging/jpegwriter.h"

// jpeglib.h needs size_t and FILE declared first.
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <memory>
#include <new>
#include <vector>

#include <jpeglib.h>

#include "platform/atomicfile.h"
#include "platform/log.h"
#include "platform/messages.h"

namespace kivo {

namespace {

// libjpeg reports a fatal error by calling error_exit, which must not return. It jumps back to
// the setjmp in compressInto(); that function holds nothing with a destructor, so the jump skips
// no C++ clean-up.
struct JumpingErrorManager {
    jpeg_error_mgr manager;
    std::jmp_buf resume;
    char text[JMSG_LENGTH_MAX];
};

void jumpOnError(j_common_ptr info) {
    auto *errors = reinterpret_cast<JumpingErrorManager *>(info->err);
    (*info->err->format_message)(info, errors->text);
    std::longjmp(errors->resume, 1);
}

void logLibraryWarning(j_common_ptr info) {
    char text[JMSG_LENGTH_MAX];
    (*info->err->format_message)(info, text);
    logWarning("imaging", std::string("libjpeg: ") + text);
}

struct CompressorDestroyer {
    void operator()(jpeg_compress_struct *compressor) const {
        jpeg_destroy_compress(compressor);
        delete compressor;
    }
};
using CompressorPtr = std::unique_ptr<jpeg_compress_struct, CompressorDestroyer>;

struct Rows {
    const uint8_t *pixels;
    int width;
    int height;
    int components;
};

// Creates the compressor and runs the whole compression; false after a library error, whose text is
// in errors.text.
bool compressInto(jpeg_compress_struct *compressor, JumpingErrorManager *errors, FILE *file,
                  const Rows *rows, int quality) {
    if (setjmp(errors->resume) != 0) {
        return false;
    }
    jpeg_CreateCompress(compressor, JPEG_LIB_VERSION, sizeof(jpeg_compress_struct));
    jpeg_stdio_dest(compressor, file);
    compressor->image_width = static_cast<JDIMENSION>(rows->width);
    compressor->image_height = static_cast<JDIMENSION>(rows->height);
    compressor->input_components = rows->components;
    compressor->in_color_space = rows->components == 3 ? JCS_RGB : JCS_GRAYSCALE;
    jpeg_set_defaults(compressor);
    jpeg_set_quality(compressor, quality, TRUE);
    jpeg_start_compress(compressor, TRUE);
    const size_t rowBytes = static_cast<size_t>(rows->width) * rows->components;
    while (compressor->next_scanline < compressor->image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rows->pixels + compressor->next_scanline * rowBytes);
        jpeg_write_scanlines(compressor, &row, 1);
    }
    jpeg_finish_compress(compressor);
    return true;
}

// Luminance without the rounding term, as the greyscale JPEG has always been made.
std::vector<uint8_t> greyForJpeg(const uint8_t *rgb, size_t pixels) {
    std::vector<uint8_t> grey(pixels);
    for (size_t i = 0; i < pixels; ++i, rgb += 3) {
        grey[i] = static_cast<uint8_t>(0.299 * rgb[0] + 0.587 * rgb[1] + 0.114 * rgb[2]);
    }
    return grey;
}

}  // namespace

int writeJpeg(const std::string &path, const uint8_t *rgb, int width, int height, int colour,
              int quality) {
    if (rgb == nullptr || width <= 0 || height <= 0) {
        return 0;
    }
    std::vector<uint8_t> grey;
    if (colour == 0) {
        try {
            grey = greyForJpeg(rgb, static_cast<size_t>(width) * static_cast<size_t>(height));
        } catch (const std::bad_alloc &) {
            showMessage("Memory error");
            return 0;
        }
    }

    auto errors = std::make_unique<JumpingErrorManager>();
    // Zero-initialised, so destroying it is safe even when creation itself failed.
    CompressorPtr compressor(new jpeg_compress_struct{});
    compressor->err = jpeg_std_error(&errors->manager);
    errors->manager.error_exit = jumpOnError;
    errors->manager.output_message = logLibraryWarning;

    kivo::CReplacingFile output(path);
    FILE *file = output.open();
    if (file == nullptr) {
        showMessage("JpegFile :\nCan't open " + path + "\n");
        return 0;
    }

    const Rows rows{colour == 0 ? grey.data() : rgb, width, height, colour == 0 ? 1 : 3};
    if (!compressInto(compressor.get(), errors.get(), file, &rows, quality)) {
        logWarning("imaging", std::string("libjpeg: ") + errors->text + " (" + path + ")");
        return 0;
    }
    return output.commit();
}

}  // namespace kivo
