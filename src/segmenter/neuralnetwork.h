#pragma once

#include "segmenter/neural.h"

// The network with a raw value range per input: every input is scaled into -0.5 .. +0.5 by its
// range before the network runs or trains on it. The weighting file carries the ranges after the
// learning rate, minimum then maximum for each input.
class CNeuralNetwork : public CNeural {
public:
    // No layers and no ranges.
    CNeuralNetwork();
    // Random weights and the given ranges (one minimum and maximum per input).
    CNeuralNetwork(int layerCount, std::span<const int32_t> sizes, std::span<const double> minima,
                   std::span<const double> maxima);
    explicit CNeuralNetwork(const std::string &path);
    CNeuralNetwork(int resourceId, const char *resourceType);

    // Frees the ranges, then everything else.
    void Release() override;
    // Atomic replacement of the file; tells the user when it cannot be written. 1 on success.
    int SaveToFile(const std::string &path) const override;
    // Scale the inputs by their ranges, then train or run. 0 (nothing done) without ranges.
    int Train(std::span<const double> inputs, std::span<const double> targets,
              double &error) override;
    int Run(std::span<const double> inputs, std::span<double> outputs) override;

    // Sets up layers (weights zero until set) and copies one range per input. 1 on success.
    int SetRanges(int layerCount, std::span<const int32_t> sizes, std::span<const double> minima,
                  std::span<const double> maxima);
    // Every range becomes -0.5 .. 0.5, under which inputs in that interval pass unchanged.
    // Returns the input count, or 0 when there are no ranges.
    int ResetRanges();

    // +0.5 above the maximum, -0.5 below the minimum, else the linear map onto -0.5 .. +0.5.
    static double Normalize(double x, double minimum, double maximum);
    static double Normalize(int x, int minimum, int maximum);

    bool hasRanges() const { return !m_minima.empty(); }
    double inputMinimum(int input) const { return m_minima[static_cast<size_t>(input)]; }
    double inputMaximum(int input) const { return m_maxima[static_cast<size_t>(input)]; }

protected:
    bool readFrom(kivo::CBinaryReader &reader) override;
    void writeTo(kivo::CBinaryWriter &writer) const override;
    void adoptFrom(CNeural &source) override;
    std::unique_ptr<CNeural> makeEmpty() const override;
    const char *loadFailureMessage() const override;

private:
    // The inputs scaled by their ranges into m_scaled; false without ranges or with too few
    // inputs.
    bool scaleInputs(std::span<const double> inputs);

    std::vector<double> m_minima;
    std::vector<double> m_maxima;
    std::vector<double> m_scaled;
};
