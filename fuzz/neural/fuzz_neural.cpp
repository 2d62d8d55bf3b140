// Any byte string must either be refused or read into a network that writes the very same bytes
// back and can run and train without touching memory it does not own.

#include <cstdlib>
#include <vector>

#include "segmenter/neuralnetwork.h"

namespace {

template <typename Network>
void check(const uint8_t *data, size_t size) {
    Network network;
    if (!network.readWeightingFile({data, size})) {
        if (network.layerCount() != 0) {
            std::abort();  // a refused file leaves the object as it was
        }
        return;
    }
    if (network.weightingFile() != std::vector<uint8_t>(data, data + size)) {
        std::abort();
    }
    std::vector<double> inputs(static_cast<size_t>(network.layerSize(0)), 0.25);
    std::vector<double> outputs(static_cast<size_t>(network.layerSize(network.layerCount() - 1)));
    if (!network.Run(inputs, outputs)) {
        std::abort();
    }
    double error = 0;
    if (!network.Train(inputs, outputs, error)) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    check<CNeural>(data, size);
    check<CNeuralNetwork>(data, size);
    return 0;
}
