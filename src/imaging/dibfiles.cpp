// The picture's image files: BMP, JPEG and GIF, chosen by extension.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <new>
#include <vector>

#include "imaging/dib.h"
#include "imaging/dibrows.h"
#include "imaging/gifwriter.h"
#include "imaging/jpegwriter.h"
#include "platform/atomicfile.h"
#include "platform/messages.h"

namespace {

constexpr int kFileHeaderSize = 14;
constexpr int kDefaultJpegQuality = 75;

void putU16(std::vector<uint8_t> &out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void putU32(std::vector<uint8_t> &out, uint32_t v) {
    putU16(out, v & 0xFFFF);
    putU16(out, v >> 16);
}

std::string lowerExtension(const std::string &path) {
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos) {
        return {};
    }
    std::string extension = path.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

}  // namespace

std::vector<uint8_t> CDib::bmpFileImage() const {
    std::vector<uint8_t> file;
    if (isEmpty()) {
        return file;
    }
    const uint32_t offBits = static_cast<uint32_t>(kFileHeaderSize + kHeaderSize) +
                             4u * static_cast<uint32_t>(m_tableEntries);
    const uint32_t rowBytes = static_cast<uint32_t>(m_stride) * static_cast<uint32_t>(m_height);
    file.reserve(kFileHeaderSize + m_block.size());
    putU16(file, 0x4D42);  // "BM"
    putU32(file, rowBytes + offBits);
    putU16(file, 0);
    putU16(file, 0);
    putU32(file, offBits);
    file.insert(file.end(), m_block.begin(), m_block.end());
    return file;
}

int CDib::save(const std::string &path) const {
    const std::string extension = lowerExtension(path);
    if (extension == ".bmp") {
        return saveAsBmp(path);
    }
    if (extension == ".jpg") {
        return saveAsJpeg(path, 1, kDefaultJpegQuality);
    }
    if (extension == ".gif") {
        return saveAsGif(path);
    }
    return 0;
}

int CDib::saveAsBmp(const std::string &path) const {
    if (isEmpty()) {
        return 0;
    }
    std::vector<uint8_t> image;
    try {
        image = bmpFileImage();
    } catch (const std::bad_alloc &) {
        return 0;
    }
    kivo::CReplacingFile output(path);
    FILE *file = output.open();
    if (file == nullptr || std::fwrite(image.data(), 1, image.size(), file) != image.size()) {
        return 0;
    }
    return output.commit();
}

int CDib::saveAsJpeg(const std::string &path, int colour, int quality) const {
    static const char kMemoryError[] = "??? In Writing JPEG File : ~DWORD Memory Error";
    if (isEmpty()) {
        kivo::showMessage(kMemoryError);
        return 0;
    }
    // The compressor wants red, green, blue rows from the top down, without row padding.
    const size_t rowBytes = static_cast<size_t>(m_width) * 3;
    std::vector<uint8_t> rgb;
    try {
        rgb.resize(rowBytes * static_cast<size_t>(m_height));
    } catch (const std::bad_alloc &) {
        kivo::showMessage(kMemoryError);
        return 0;
    }
    for (int y = 0; y < m_height; ++y) {
        const uint8_t *row = bits() + static_cast<size_t>(m_height - 1 - y) * m_stride;
        kivo::dibrows::rgbRow(row, m_bits, colorTable(), m_width,
                              rgb.data() + static_cast<size_t>(y) * rowBytes);
    }
    if (!kivo::writeJpeg(path, rgb.data(), m_width, m_height, colour, quality)) {
        kivo::showMessage("??? In Writing JPEG File : Write Error");
        return 0;
    }
    return 1;
}

int CDib::saveAsGif(const std::string &path) const {
    if (isEmpty()) {
        return 0;
    }
    const CDib *indexed = this;
    std::unique_ptr<CDib> grey;
    if (m_bits == 24 || m_bits == 32) {
        grey = greyCopy();
        if (!grey) {
            kivo::showMessage("Memory error");
            return 0;
        }
        indexed = grey.get();
    } else if (m_bits != 8) {
        kivo::showMessage("Error !Color is not 256 or True Color ");
        return 0;
    }

    uint8_t red[256];
    uint8_t green[256];
    uint8_t blue[256];
    const uint8_t *table = indexed->colorTable();
    for (int i = 0; i < 256; ++i) {
        red[i] = table[4 * i + 2];
        green[i] = table[4 * i + 1];
        blue[i] = table[4 * i];
    }
    kivo::CGifPicture picture;
    // Rows are stored bottom-up: the top row is the last one and each next row lies a stride
    // before it.
    picture.topRow = indexed->pixelAddress(0, 0);
    picture.rowStep = -static_cast<ptrdiff_t>(indexed->stride());
    picture.width = indexed->width();
    picture.height = indexed->height();
    picture.background = 0;
    picture.red = red;
    picture.green = green;
    picture.blue = blue;

    std::string status;
    if (!kivo::writeGif(path, picture, status)) {
        kivo::showMessage(status);
        return 0;
    }
    return 1;
}
