#include "segmenter/neuralnetwork.h"

#include "platform/binarystream.h"
#include "platform/messages.h"

namespace {

constexpr const char *kLoadFailureMessage = "??? Can't Find Neural Network Weighting File";
constexpr const char *kSaveFailureMessage = "??? Can't save Neural Network Weighting File";

}  // namespace

CNeuralNetwork::CNeuralNetwork() = default;

CNeuralNetwork::CNeuralNetwork(int layerCount, std::span<const int32_t> sizes,
                               std::span<const double> minima, std::span<const double> maxima)
    : CNeural(layerCount, sizes) {
    const size_t inputs = inputCount();
    if (inputs > 0 && minima.size() >= inputs && maxima.size() >= inputs) {
        m_minima.assign(minima.begin(), minima.begin() + static_cast<ptrdiff_t>(inputs));
        m_maxima.assign(maxima.begin(), maxima.begin() + static_cast<ptrdiff_t>(inputs));
    }
}

CNeuralNetwork::CNeuralNetwork(const std::string &path) {
    LoadFromFile(path);
}

CNeuralNetwork::CNeuralNetwork(int resourceId, const char *resourceType) {
    LoadFromResource(resourceId, resourceType);
}

void CNeuralNetwork::Release() {
    m_minima.clear();
    m_maxima.clear();
    CNeural::Release();
}

int CNeuralNetwork::SaveToFile(const std::string &path) const {
    if (!hasRanges() || !CNeural::SaveToFile(path)) {
        kivo::showMessage(kSaveFailureMessage);
        return 0;
    }
    return 1;
}

int CNeuralNetwork::Train(std::span<const double> inputs, std::span<const double> targets,
                          double &error) {
    if (!scaleInputs(inputs)) {
        return 0;
    }
    return CNeural::Train(m_scaled, targets, error);
}

int CNeuralNetwork::Run(std::span<const double> inputs, std::span<double> outputs) {
    if (!scaleInputs(inputs)) {
        return 0;
    }
    return CNeural::Run(m_scaled, outputs);
}

int CNeuralNetwork::SetRanges(int layerCount, std::span<const int32_t> sizes,
                              std::span<const double> minima, std::span<const double> maxima) {
    if (!Create(layerCount, sizes)) {
        return 0;
    }
    const size_t inputs = inputCount();
    if (minima.size() < inputs || maxima.size() < inputs) {
        Release();
        return 0;
    }
    m_minima.assign(minima.begin(), minima.begin() + static_cast<ptrdiff_t>(inputs));
    m_maxima.assign(maxima.begin(), maxima.begin() + static_cast<ptrdiff_t>(inputs));
    return 1;
}

int CNeuralNetwork::ResetRanges() {
    if (!hasRanges()) {
        return 0;
    }
    m_minima.assign(m_minima.size(), -0.5);
    m_maxima.assign(m_maxima.size(), 0.5);
    return static_cast<int>(m_minima.size());
}

double CNeuralNetwork::Normalize(double x, double minimum, double maximum) {
    if (x > maximum) {
        return 0.5;
    }
    if (x < minimum) {
        return -0.5;
    }
    return (x - minimum) / (maximum - minimum) - 0.5;
}

double CNeuralNetwork::Normalize(int x, int minimum, int maximum) {
    return Normalize(static_cast<double>(x), static_cast<double>(minimum),
                     static_cast<double>(maximum));
}

bool CNeuralNetwork::readFrom(kivo::CBinaryReader &reader) {
    if (!CNeural::readFrom(reader)) {
        return false;
    }
    const size_t inputs = inputCount();
    if (reader.remaining() < inputs * 2 * sizeof(double)) {
        return false;
    }
    m_minima.resize(inputs);
    m_maxima.resize(inputs);
    for (size_t i = 0; i < inputs; ++i) {
        m_minima[i] = reader.readF64();
        m_maxima[i] = reader.readF64();
    }
    return reader.ok();
}

void CNeuralNetwork::writeTo(kivo::CBinaryWriter &writer) const {
    CNeural::writeTo(writer);
    for (size_t i = 0; i < m_minima.size(); ++i) {
        writer.writeF64(m_minima[i]);
        writer.writeF64(m_maxima[i]);
    }
}

void CNeuralNetwork::adoptFrom(CNeural &source) {
    CNeural::adoptFrom(source);
    auto &network = static_cast<CNeuralNetwork &>(source);
    m_minima = std::move(network.m_minima);
    m_maxima = std::move(network.m_maxima);
}

std::unique_ptr<CNeural> CNeuralNetwork::makeEmpty() const {
    return std::make_unique<CNeuralNetwork>();
}

const char *CNeuralNetwork::loadFailureMessage() const {
    return kLoadFailureMessage;
}

bool CNeuralNetwork::scaleInputs(std::span<const double> inputs) {
    const size_t count = m_minima.size();
    if (count == 0 || count != inputCount() || inputs.size() < count) {
        return false;
    }
    m_scaled.resize(count);
    for (size_t i = 0; i < count; ++i) {
        m_scaled[i] = Normalize(inputs[i], m_minima[i], m_maxima[i]);
    }
    return true;
}
