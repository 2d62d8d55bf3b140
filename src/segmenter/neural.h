#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace kivo {
class CBinaryReader;
class CBinaryWriter;
}  // namespace kivo

// A fully connected feed-forward network (multi-layer perceptron) with sigmoid units shifted to
// -0.5 .. +0.5, trained by plain on-line back-propagation.
//
// Weights are kept block by block, one block per pair of adjacent layers l -> l+1; inside a block
// one row per unit r of layer l+1 holds the weights from the units of layer l followed by the
// weight from layer l's bias slot. Every bias slot holds 0.5.
//
// The weighting file (little-endian, no header): layer count, the layer sizes, the weights in the
// layout above, the learning rate.
class CNeural {
public:
    // Outside these limits a weighting file is refused as damaged: no real network of this
    // program comes near them, and they keep every allocation from a file small.
    static constexpr int kMaxLayers = 64;
    static constexpr int kMaxLayerSize = 4096;
    static constexpr size_t kMaxWeights = size_t{1} << 22;

    static constexpr double kDefaultLearningRate = 0.5;
    static constexpr double kBias = 0.5;

    // No layers, learning rate 0.5.
    CNeural();
    // Layers of the given sizes (input layer first) with random weights.
    CNeural(int layerCount, std::span<const int32_t> sizes);
    // Reads a weighting file; the network stays empty when it cannot be read.
    explicit CNeural(const std::string &path);
    // Reads a weighting file compiled into the program.
    CNeural(int resourceId, const char *resourceType);
    virtual ~CNeural();

    CNeural(const CNeural &) = default;
    CNeural &operator=(const CNeural &) = default;

    // Frees every array; the layer count becomes 0.
    virtual void Release();
    // Releases, then sets up layers of the given sizes. Weights are zero until set. 1 on success;
    // 0 (and an empty network) for a layer count or size outside the limits above.
    virtual int Create(int layerCount, std::span<const int32_t> sizes);

    // 1 / (1 + e^-x) - 0.5
    virtual double Activation(double x) const;
    // e^-x / (1 + e^-x)^2, the slope of the sigmoid at x.
    virtual double ActivationDerivative(double x) const;

    // 1 on success. On failure the object is unchanged and a message tells the user.
    virtual int LoadFromFile(const std::string &path);
    // Atomic replacement of the file. 1 on success, 0 when it cannot be written (no message:
    // the caller decides what to tell the user).
    virtual int SaveToFile(const std::string &path) const;

    // One back-propagation step on the given inputs towards the targets; `error` receives the
    // sum of |target - output|. 1 on success, 0 for an empty network or too few values.
    virtual int Train(std::span<const double> inputs, std::span<const double> targets,
                      double &error);
    // Forward pass; every output lies in -0.5 .. +0.5. 1 on success, 0 for an empty network or
    // too few values.
    virtual int Run(std::span<const double> inputs, std::span<double> outputs);

    // Seeds the generator with the millisecond tick and sets every weight to
    // (rand() - 16383) / 16383 with rand() in 0 .. 32767.
    void Randomize();
    // Same, from a given seed; Randomize() is this with the tick.
    void randomizeFromSeed(uint32_t seed);

    // Number of weights; 0 with fewer than two layers.
    int WeightCount() const;
    // The largest layer size.
    int MaxLayerSize() const;

    // Reads the program's weight resource (a weighting file). 1 on success; on failure the
    // object is unchanged and a message tells the user.
    int LoadFromResource(int resourceId, const char *resourceType);

    int layerCount() const { return m_layerCount; }
    int layerSize(int layer) const { return m_sizes[static_cast<size_t>(layer)]; }
    double learningRate() const { return m_learningRate; }
    void setLearningRate(double rate) { m_learningRate = rate; }

    // Weight from unit (or bias slot) k of layer `block` to unit r of layer block + 1.
    double weight(int block, int row, int column) const {
        return m_weights[weightIndex(block, row, column)];
    }
    void setWeight(int block, int row, int column, double value) {
        m_weights[weightIndex(block, row, column)] = value;
    }
    void addWeight(int block, int row, int column, double value) {
        m_weights[weightIndex(block, row, column)] += value;
    }

    // The complete weighting file of this object.
    std::vector<uint8_t> weightingFile() const;
    // Reads a complete weighting file image; the whole image must be used. 1 on success; on
    // failure the object is unchanged (no message).
    int readWeightingFile(std::span<const uint8_t> bytes);

protected:
    // Serialisation in the weighting-file layout. readFrom() fills a fresh object of the same
    // type and returns false when the record is malformed; it never reads past the stream.
    virtual bool readFrom(kivo::CBinaryReader &reader);
    virtual void writeTo(kivo::CBinaryWriter &writer) const;
    // Takes over everything from a freshly read object of the same type.
    virtual void adoptFrom(CNeural &source);
    // A fresh empty object of the same type, the target of readFrom().
    virtual std::unique_ptr<CNeural> makeEmpty() const;
    // The message shown when a weighting file cannot be read.
    virtual const char *loadFailureMessage() const;

    // The forward pass on inputs already in the network's interval.
    void forward(std::span<const double> inputs);
    // The back-propagation step on inputs already in the network's interval.
    void backPropagate(std::span<const double> inputs, std::span<const double> targets,
                       double &error);
    size_t inputCount() const { return m_layerCount > 0 ? static_cast<size_t>(m_sizes[0]) : 0; }

private:
    size_t weightIndex(int block, int row, int column) const;
    size_t blockStart(int block) const;
    size_t layerStart(int layer) const;

    int32_t m_layerCount = 0;
    std::vector<int32_t> m_sizes;
    std::vector<double> m_weights;
    double m_learningRate = kDefaultLearningRate;
    std::vector<double> m_activations;
    std::vector<double> m_netInputs;
    // Per block the first weight index, per layer the first activation index.
    std::vector<size_t> m_blockStarts;
    std::vector<size_t> m_layerStarts;
};
