#include "segmenter/neural.h"

#include <algorithm>
#include <cmath>
#include <ctime>

#include "platform/atomicfile.h"
#include "platform/binarystream.h"
#include "platform/messages.h"
#include "segmenter/resources.h"

namespace {

constexpr const char *kLoadFailureMessage = "??? Error in Opening Neural Network Weighting File";

// The C runtime generator the weights were always drawn with: a 32-bit linear congruential
// sequence whose values are bits 16..30 of the state, 0 .. 32767. glibc's rand() has another
// range, so the sequence is kept here.
class CTickRandom {
public:
    explicit CTickRandom(uint32_t seed) : m_state(seed) {}
    int next() {
        m_state = m_state * 214013u + 2531011u;
        return static_cast<int>((m_state >> 16) & 0x7FFFu);
    }

private:
    uint32_t m_state;
};

// Milliseconds since the system started, wrapping at 2^32 like the Windows tick count.
uint32_t millisecondTick() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const uint64_t ms =
        static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);
}

}  // namespace

CNeural::CNeural() = default;

CNeural::CNeural(int layerCount, std::span<const int32_t> sizes) {
    if (Create(layerCount, sizes)) {
        Randomize();
    }
}

CNeural::CNeural(const std::string &path) {
    LoadFromFile(path);
}

CNeural::CNeural(int resourceId, const char *resourceType) {
    LoadFromResource(resourceId, resourceType);
}

CNeural::~CNeural() = default;

void CNeural::Release() {
    m_layerCount = 0;
    m_sizes.clear();
    m_weights.clear();
    m_activations.clear();
    m_netInputs.clear();
    m_blockStarts.clear();
    m_layerStarts.clear();
}

int CNeural::Create(int layerCount, std::span<const int32_t> sizes) {
    Release();
    if (layerCount < 1 || layerCount > kMaxLayers ||
        sizes.size() < static_cast<size_t>(layerCount)) {
        return 0;
    }
    size_t weights = 0;
    size_t units = 0;
    for (int l = 0; l < layerCount; ++l) {
        const int32_t size = sizes[static_cast<size_t>(l)];
        if (size < 1 || size > kMaxLayerSize) {
            return 0;
        }
        units += static_cast<size_t>(size) + 1;
        if (l + 1 < layerCount) {
            weights += (static_cast<size_t>(size) + 1) * static_cast<size_t>(sizes[l + 1u]);
        }
    }
    if (weights > kMaxWeights) {
        return 0;
    }
    m_layerCount = layerCount;
    m_sizes.assign(sizes.begin(), sizes.begin() + layerCount);
    m_weights.assign(weights, 0.0);
    m_activations.assign(units, 0.0);
    m_netInputs.assign(units, 0.0);
    size_t blockStart = 0;
    size_t layerStart = 0;
    for (int l = 0; l < layerCount; ++l) {
        const size_t size = static_cast<size_t>(m_sizes[static_cast<size_t>(l)]);
        m_layerStarts.push_back(layerStart);
        layerStart += size + 1;
        if (l + 1 < layerCount) {
            m_blockStarts.push_back(blockStart);
            blockStart += (size + 1) * static_cast<size_t>(m_sizes[l + 1u]);
        }
    }
    return 1;
}

double CNeural::Activation(double x) const {
    return 1.0 / (1.0 + std::exp(-x)) - 0.5;
}

double CNeural::ActivationDerivative(double x) const {
    const double e = std::exp(-x);
    if (std::isinf(e)) {
        // e / (1 + e)^2 tends to 0; evaluated literally it would be inf / inf.
        return 0.0;
    }
    return e / ((1.0 + e) * (1.0 + e));
}

int CNeural::LoadFromFile(const std::string &path) {
    const auto bytes = kivo::readWholeFile(path);
    if (!bytes || !readWeightingFile(*bytes)) {
        kivo::showMessage(loadFailureMessage());
        return 0;
    }
    return 1;
}

int CNeural::SaveToFile(const std::string &path) const {
    if (m_layerCount < 2) {
        return 0;
    }
    return kivo::writeFileAtomically(path, weightingFile());
}

int CNeural::Train(std::span<const double> inputs, std::span<const double> targets, double &error) {
    if (m_layerCount < 2 || inputs.size() < inputCount() ||
        targets.size() < static_cast<size_t>(m_sizes.back())) {
        return 0;
    }
    backPropagate(inputs, targets, error);
    return 1;
}

int CNeural::Run(std::span<const double> inputs, std::span<double> outputs) {
    const size_t outputCount = m_layerCount > 0 ? static_cast<size_t>(m_sizes.back()) : 0;
    if (m_layerCount < 2 || inputs.size() < inputCount() || outputs.size() < outputCount) {
        return 0;
    }
    forward(inputs);
    const size_t last = layerStart(m_layerCount - 1);
    std::copy_n(m_activations.begin() + static_cast<ptrdiff_t>(last), outputCount, outputs.begin());
    return 1;
}

void CNeural::Randomize() {
    randomizeFromSeed(millisecondTick());
}

void CNeural::randomizeFromSeed(uint32_t seed) {
    CTickRandom random(seed);
    for (double &w : m_weights) {
        w = (random.next() - 16383) * 0.00006103888176768602;
    }
}

int CNeural::WeightCount() const {
    return m_layerCount < 2 ? 0 : static_cast<int>(m_weights.size());
}

int CNeural::MaxLayerSize() const {
    return m_sizes.empty() ? 0 : *std::max_element(m_sizes.begin(), m_sizes.end());
}

int CNeural::LoadFromResource(int resourceId, const char *resourceType) {
    const std::span<const uint8_t> bytes =
        kivo::findResource(resourceId, resourceType ? resourceType : "");
    if (bytes.empty() || !readWeightingFile(bytes)) {
        kivo::showMessage(loadFailureMessage());
        return 0;
    }
    return 1;
}

std::vector<uint8_t> CNeural::weightingFile() const {
    kivo::CBinaryWriter writer;
    writeTo(writer);
    return writer.take();
}

int CNeural::readWeightingFile(std::span<const uint8_t> bytes) {
    std::unique_ptr<CNeural> fresh = makeEmpty();
    kivo::CBinaryReader reader(bytes);
    if (!fresh->readFrom(reader) || !reader.ok() || reader.remaining() != 0) {
        return 0;
    }
    adoptFrom(*fresh);
    return 1;
}

bool CNeural::readFrom(kivo::CBinaryReader &reader) {
    const int32_t layerCount = reader.readI32();
    if (!reader.ok() || layerCount < 2 || layerCount > kMaxLayers) {
        return false;
    }
    std::vector<int32_t> sizes(static_cast<size_t>(layerCount));
    for (int32_t &size : sizes) {
        size = reader.readI32();
    }
    if (!reader.ok() || !Create(layerCount, sizes)) {
        return false;
    }
    // Refuse before reading when the weights cannot all be there.
    if (reader.remaining() < m_weights.size() * sizeof(double) + sizeof(double)) {
        return false;
    }
    for (double &w : m_weights) {
        w = reader.readF64();
    }
    m_learningRate = reader.readF64();
    return reader.ok();
}

void CNeural::writeTo(kivo::CBinaryWriter &writer) const {
    writer.writeI32(m_layerCount);
    for (int32_t size : m_sizes) {
        writer.writeI32(size);
    }
    for (double w : m_weights) {
        writer.writeF64(w);
    }
    writer.writeF64(m_learningRate);
}

void CNeural::adoptFrom(CNeural &source) {
    m_layerCount = source.m_layerCount;
    m_sizes = std::move(source.m_sizes);
    m_weights = std::move(source.m_weights);
    m_learningRate = source.m_learningRate;
    m_activations = std::move(source.m_activations);
    m_netInputs = std::move(source.m_netInputs);
    m_blockStarts = std::move(source.m_blockStarts);
    m_layerStarts = std::move(source.m_layerStarts);
}

std::unique_ptr<CNeural> CNeural::makeEmpty() const {
    return std::make_unique<CNeural>();
}

const char *CNeural::loadFailureMessage() const {
    return kLoadFailureMessage;
}

void CNeural::forward(std::span<const double> inputs) {
    const size_t inputs0 = inputCount();
    std::copy_n(inputs.begin(), inputs0, m_activations.begin());
    m_activations[inputs0] = kBias;
    for (int l = 0; l + 1 < m_layerCount; ++l) {
        const size_t from = layerStart(l);
        const size_t to = layerStart(l + 1);
        const size_t fromSize = static_cast<size_t>(m_sizes[static_cast<size_t>(l)]);
        const size_t toSize = static_cast<size_t>(m_sizes[static_cast<size_t>(l) + 1]);
        const double *w = m_weights.data() + blockStart(l);
        for (size_t r = 0; r < toSize; ++r) {
            double sum = 0.0;
            for (size_t k = 0; k <= fromSize; ++k) {
                sum += m_activations[from + k] * w[r * (fromSize + 1) + k];
            }
            m_netInputs[to + r] = sum;
        }
        m_netInputs[to + toSize] = kBias;
        for (size_t r = 0; r < toSize; ++r) {
            m_activations[to + r] = Activation(m_netInputs[to + r]);
        }
        m_activations[to + toSize] = kBias;
    }
}

void CNeural::backPropagate(std::span<const double> inputs, std::span<const double> targets,
                            double &error) {
    forward(inputs);
    const int last = m_layerCount - 1;
    const size_t outStart = layerStart(last);
    const size_t outSize = static_cast<size_t>(m_sizes[static_cast<size_t>(last)]);

    std::vector<double> deltas(outSize);
    error = 0.0;
    for (size_t i = 0; i < outSize; ++i) {
        const double difference = targets[i] - m_activations[outStart + i];
        deltas[i] = ActivationDerivative(m_netInputs[outStart + i]) * difference;
        error += std::fabs(difference);
    }

    // Block b feeds layer b + 1 from layer b. Each block is updated before the deltas are
    // carried back through it, so the hidden deltas see the weights already changed.
    std::vector<double> previousDeltas;
    for (int b = last - 1; b >= 0; --b) {
        const size_t fromStart = layerStart(b);
        const size_t fromSize = static_cast<size_t>(m_sizes[static_cast<size_t>(b)]);
        const size_t toSize = static_cast<size_t>(m_sizes[static_cast<size_t>(b) + 1]);
        for (size_t i = 0; i < toSize; ++i) {
            for (size_t j = 0; j <= fromSize; ++j) {
                addWeight(b, static_cast<int>(i), static_cast<int>(j),
                          m_learningRate * deltas[i] * m_activations[fromStart + j]);
            }
        }
        if (b == 0) {
            break;
        }
        previousDeltas.assign(fromSize, 0.0);
        for (size_t i = 0; i < fromSize; ++i) {
            double sum = 0.0;
            for (size_t j = 0; j < toSize; ++j) {
                sum += weight(b, static_cast<int>(j), static_cast<int>(i)) * deltas[j];
            }
            previousDeltas[i] = ActivationDerivative(m_netInputs[fromStart + i]) * sum;
        }
        deltas.swap(previousDeltas);
    }
}

size_t CNeural::weightIndex(int block, int row, int column) const {
    const size_t fromSize = static_cast<size_t>(m_sizes[static_cast<size_t>(block)]);
    return blockStart(block) + static_cast<size_t>(row) * (fromSize + 1) +
           static_cast<size_t>(column);
}

size_t CNeural::blockStart(int block) const {
    return m_blockStarts[static_cast<size_t>(block)];
}

size_t CNeural::layerStart(int layer) const {
    return m_layerStarts[static_cast<size_t>(layer)];
}
