// Prints every report of a segmentation run, one line per frame pair: the frame, the cut frame,
// the score and the cut score as exact hexadecimal doubles, and a digest of the grey picture.
// Two builds that print the same lines produced the same pictures, features and cuts, so the
// output of a build before and after a change to the walk can simply be compared with diff.
//
//   segment_trace VIDEO > trace.txt
#include <cstdint>
#include <cstdio>

#include "imaging/dib.h"
#include "media/grabber/videomanager.h"
#include "scene/videodescription.h"
#include "segmenter/neuralnetwork.h"
#include "segmenter/resources.h"
#include "segmenter/segmentation.h"

namespace {

// FNV-1a over the picture's rows, padding left out.
uint64_t pictureDigest(const CDib &picture) {
    uint64_t hash = 0xcbf29ce484222325u;
    const int rowBytes = picture.width() * picture.bitCount() / 8;
    for (int y = 0; y < picture.height(); ++y) {
        const uint8_t *row = picture.bits() + static_cast<ptrdiff_t>(y) * picture.stride();
        for (int x = 0; x < rowBytes; ++x) {
            hash = (hash ^ row[x]) * 0x100000001b3u;
        }
    }
    return hash;
}

}  // namespace

int main(int count, char **arguments) {
    if (count != 2) {
        std::fprintf(stderr, "usage: segment_trace VIDEO\n");
        return 2;
    }
    CNeuralNetwork network(kivo::kWeightResourceId, kivo::kWeightResourceType);
    CVideoManager video;
    if (network.layerCount() == 0 || !video.open(arguments[1])) {
        std::fprintf(stderr, "cannot open %s\n", arguments[1]);
        return 1;
    }
    CVideoDescription description;
    SegmentationParams params;
    params.video = &video;
    params.description = &description;
    params.network = &network;
    params.cutImages = 0;
    params.report = [](const SegmentationReport &report) {
        const uint64_t digest = report.currentImage ? pictureDigest(*report.currentImage) : 0;
        std::printf("%.0f %.0f %a %a %016llx%s\n", report.frame, report.cutFrame, report.score,
                    report.cutScore, static_cast<unsigned long long>(digest),
                    report.finished  ? " finished"
                    : report.stopped ? " stopped"
                                     : "");
    };
    return SegmentationThread(params);
}
