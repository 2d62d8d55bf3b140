#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/atomicfile.h"
#include "platform/binarystream.h"
#include "platform/messages.h"
#include "segmenter/neuralnetwork.h"
#include "segmenter/resources.h"
#include "segmenter/shippedweights.h"

namespace fs = std::filesystem;
namespace sw = kivo::shippedweights;

namespace {

constexpr int32_t kShippedSizes[] = {3, 6, 2};

class NeuralFiles : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() /
                ("kivo-neural-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string path(const std::string &name) const { return (m_dir / name).string(); }

    std::string write(const std::string &name, const std::vector<uint8_t> &bytes) const {
        std::ofstream(path(name), std::ios::binary)
            .write(reinterpret_cast<const char *>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return path(name);
    }

    fs::path m_dir;
};

std::vector<uint8_t> shippedBytes() {
    const auto bytes = kivo::findResource(kivo::kWeightResourceId, kivo::kWeightResourceType);
    return {bytes.begin(), bytes.end()};
}

// Captures every user-facing text raised while it lives.
class CapturedMessages {
public:
    CapturedMessages() : m_sink([this](const std::string &text) { m_texts.push_back(text); }) {}
    const std::vector<std::string> &texts() const { return m_texts; }

private:
    std::vector<std::string> m_texts;
    kivo::ScopedMessageSink m_sink;
};

}  // namespace

TEST(ShippedNetwork, ResourceHoldsTheTablesAndNothingElse) {
    const std::vector<uint8_t> bytes = shippedBytes();
    ASSERT_EQ(bytes.size(), 376u);
    EXPECT_TRUE(kivo::findResource(kivo::kWeightResourceId, "OTHER").empty());
    EXPECT_TRUE(kivo::findResource(360, kivo::kWeightResourceType).empty());

    CNeuralNetwork network(kivo::kWeightResourceId, kivo::kWeightResourceType);
    ASSERT_EQ(network.layerCount(), 3);
    EXPECT_EQ(network.layerSize(0), 3);
    EXPECT_EQ(network.layerSize(1), 6);
    EXPECT_EQ(network.layerSize(2), 2);
    EXPECT_EQ(network.WeightCount(), 38);
    EXPECT_EQ(network.MaxLayerSize(), 6);
    EXPECT_EQ(network.learningRate(), 0.5);
    for (int r = 0; r < 6; ++r) {
        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(network.weight(0, r, k), sw::kHiddenWeights[r][k]) << r << "," << k;
        }
    }
    for (int r = 0; r < 2; ++r) {
        for (int k = 0; k < 7; ++k) {
            EXPECT_EQ(network.weight(1, r, k), sw::kOutputWeights[r][k]) << r << "," << k;
        }
    }
    const double ranges[3][2] = {{0, 60}, {0, 80}, {0, 20}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(network.inputMinimum(i), ranges[i][0]);
        EXPECT_EQ(network.inputMaximum(i), ranges[i][1]);
    }
}

TEST(ShippedNetwork, BytesAreTheLittleEndianFileLayout) {
    // Rebuilt field by field from the tables, independently of the compile-time generator.
    kivo::CBinaryWriter expected;
    expected.writeI32(3);
    for (int32_t size : kShippedSizes) {
        expected.writeI32(size);
    }
    for (const auto &row : sw::kHiddenWeights) {
        for (double w : row) {
            expected.writeF64(w);
        }
    }
    for (const auto &row : sw::kOutputWeights) {
        for (double w : row) {
            expected.writeF64(w);
        }
    }
    expected.writeF64(0.5);
    for (double end : {0.0, 60.0, 0.0, 80.0, 0.0, 20.0}) {
        expected.writeF64(end);
    }
    EXPECT_EQ(shippedBytes(), expected.data());
    // The first weight sits right after the 16 bytes of integers.
    const std::vector<uint8_t> bytes = shippedBytes();
    EXPECT_EQ(bytes[0], 3);
    EXPECT_EQ(bytes[8], 6);
    double first = 0;
    std::memcpy(&first, bytes.data() + 16, sizeof first);
    EXPECT_EQ(first, 3.1764039439547354);
}

TEST(ShippedNetwork, ScoresAStrongChangeAsACutAndAStillPairAsNone) {
    CNeuralNetwork network(kivo::kWeightResourceId, kivo::kWeightResourceType);
    double outputs[2] = {};
    // Identical frames: no difference, the difference histogram one spike (spread about 44.2).
    ASSERT_EQ(network.Run(std::array{0.0, 0.0, 44.19}, outputs), 1);
    EXPECT_LT(outputs[0] - outputs[1], 0.0);
    // Two unrelated pictures: large mean and histogram differences, a flat difference histogram.
    ASSERT_EQ(network.Run(std::array{60.0, 80.0, 2.0}, outputs), 1);
    EXPECT_GT(outputs[0] - outputs[1], 0.95);
    for (double out : outputs) {
        EXPECT_GE(out, -0.5);
        EXPECT_LE(out, 0.5);
    }
}

TEST(Normalize, ClampsAtAndBeyondTheEnds) {
    struct Case {
        double x, minimum, maximum, expected;
    };
    const Case cases[] = {
        {61.0, 0.0, 60.0, 0.5},   {1e300, 0.0, 60.0, 0.5}, {-1.0, 0.0, 60.0, -0.5},
        {0.0, 0.0, 60.0, -0.5},   {60.0, 0.0, 60.0, 0.5},  {30.0, 0.0, 60.0, 0.0},
        {15.0, 0.0, 60.0, -0.25}, {-0.5, -0.5, 0.5, -0.5}, {0.25, -0.5, 0.5, 0.25},
        {-2.0, -4.0, 4.0, -0.25}, {-5.0, -4.0, 4.0, -0.5},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(CNeuralNetwork::Normalize(c.x, c.minimum, c.maximum), c.expected)
            << c.x << " in " << c.minimum << ".." << c.maximum;
        const int xi = static_cast<int>(c.x);
        if (xi == c.x && std::fabs(c.x) < 1e9) {
            EXPECT_EQ(CNeuralNetwork::Normalize(xi, static_cast<int>(c.minimum),
                                                static_cast<int>(c.maximum)),
                      c.expected);
        }
    }
}

TEST(NeuralRun, AllZeroWeightsGiveExactlyZero) {
    CNeural network;
    ASSERT_EQ(network.Create(3, kShippedSizes), 1);
    EXPECT_EQ(network.WeightCount(), 38);
    double outputs[2] = {1.0, 1.0};
    ASSERT_EQ(network.Run(std::array{0.3, -0.2, 0.5}, outputs), 1);
    EXPECT_EQ(outputs[0], 0.0);
    EXPECT_EQ(outputs[1], 0.0);
}

TEST(NeuralRun, BiasSlotHoldsOneHalf) {
    // One input, one output, only the bias weights set: the output is Activation(0.5 * w).
    CNeural network;
    const int32_t sizes[] = {1, 1};
    ASSERT_EQ(network.Create(2, sizes), 1);
    network.setWeight(0, 0, 1, 2.0);
    double output = 0;
    ASSERT_EQ(network.Run(std::array{0.0}, std::span(&output, 1)), 1);
    EXPECT_EQ(output, network.Activation(1.0));
}

TEST(NeuralRun, RefusesWhatItCannotRun) {
    CNeural empty;
    double outputs[2] = {7.0, 7.0};
    EXPECT_EQ(empty.Run(std::array{0.0, 0.0, 0.0}, outputs), 0);
    EXPECT_EQ(outputs[0], 7.0);
    EXPECT_EQ(empty.WeightCount(), 0);

    CNeural one;
    const int32_t single[] = {4};
    ASSERT_EQ(one.Create(1, single), 1);
    EXPECT_EQ(one.WeightCount(), 0);
    EXPECT_EQ(one.Run(std::array{0.0, 0.0, 0.0, 0.0}, outputs), 0);

    CNeuralNetwork network(kivo::kWeightResourceId, kivo::kWeightResourceType);
    EXPECT_EQ(network.Run(std::array{1.0, 2.0}, outputs), 0);  // too few inputs
    // Create on a network with ranges drops them; running it would read ranges it has not.
    ASSERT_EQ(network.Create(3, kShippedSizes), 1);
    EXPECT_FALSE(network.hasRanges());
    EXPECT_EQ(network.Run(std::array{1.0, 2.0, 3.0}, outputs), 0);

    const int32_t absurd[] = {3, -1, 2};
    EXPECT_EQ(one.Create(3, absurd), 0);
    EXPECT_EQ(one.layerCount(), 0);
}

TEST(NeuralActivation, SigmoidShiftedToCentre) {
    CNeural network;
    EXPECT_EQ(network.Activation(0.0), 0.0);
    EXPECT_DOUBLE_EQ(network.Activation(2.0), 1.0 / (1.0 + std::exp(-2.0)) - 0.5);
    EXPECT_EQ(network.Activation(-1000.0), -0.5);
    EXPECT_EQ(network.Activation(1000.0), 0.5);
    EXPECT_EQ(network.ActivationDerivative(0.0), 0.25);
    EXPECT_EQ(network.ActivationDerivative(-1000.0), 0.0);  // not inf / inf
    EXPECT_EQ(network.ActivationDerivative(1000.0), 0.0);
}

TEST(NeuralRandomize, WeightsFromTheFifteenBitGenerator) {
    CNeural network;
    ASSERT_EQ(network.Create(3, kShippedSizes), 1);
    network.randomizeFromSeed(1);
    // The C runtime sequence for seed 1 starts 41, 18467, 6334.
    EXPECT_EQ(network.weight(0, 0, 0), (41 - 16383) * 0.00006103888176768602);
    EXPECT_EQ(network.weight(0, 0, 1), (18467 - 16383) * 0.00006103888176768602);
    EXPECT_EQ(network.weight(0, 0, 2), (6334 - 16383) * 0.00006103888176768602);
    for (int r = 0; r < 6; ++r) {
        for (int k = 0; k < 4; ++k) {
            EXPECT_GE(network.weight(0, r, k), -1.0);
            EXPECT_LE(network.weight(0, r, k), 1.000062);
        }
    }
}

TEST(NeuralRandomize, NetworksATickApartDiffer) {
    CNeural first(3, kShippedSizes);
    std::this_thread::sleep_for(std::chrono::milliseconds(3));
    CNeural second(3, kShippedSizes);
    ASSERT_EQ(first.WeightCount(), 38);
    int same = 0;
    for (int r = 0; r < 6; ++r) {
        for (int k = 0; k < 4; ++k) {
            same += first.weight(0, r, k) == second.weight(0, r, k);
        }
    }
    EXPECT_LT(same, 24);
}

TEST(NeuralTrain, UpdatesTheOutputBlockBeforeCarryingDeltasBack) {
    // 1-1-1 network with chosen weights; one step worked through by hand.
    CNeural network;
    const int32_t sizes[] = {1, 1, 1};
    ASSERT_EQ(network.Create(3, sizes), 1);
    network.setWeight(0, 0, 0, 1.0);   // input -> hidden
    network.setWeight(0, 0, 1, -0.5);  // bias -> hidden
    network.setWeight(1, 0, 0, 2.0);   // hidden -> output
    network.setWeight(1, 0, 1, 0.25);  // bias -> output
    const double input = 0.4;
    const double target = 0.3;

    const double hiddenNet = input * 1.0 + 0.5 * -0.5;
    const double hidden = network.Activation(hiddenNet);
    const double outNet = hidden * 2.0 + 0.5 * 0.25;
    const double out = network.Activation(outNet);
    const double outDelta = network.ActivationDerivative(outNet) * (target - out);
    const double newOutWeight = 2.0 + 0.5 * outDelta * hidden;
    const double newOutBias = 0.25 + 0.5 * outDelta * 0.5;
    // The hidden delta is carried back through the already updated weight.
    const double hiddenDelta = network.ActivationDerivative(hiddenNet) * newOutWeight * outDelta;

    double error = -1;
    ASSERT_EQ(network.Train(std::array{input}, std::array{target}, error), 1);
    EXPECT_DOUBLE_EQ(error, std::fabs(target - out));
    EXPECT_DOUBLE_EQ(network.weight(1, 0, 0), newOutWeight);
    EXPECT_DOUBLE_EQ(network.weight(1, 0, 1), newOutBias);
    EXPECT_DOUBLE_EQ(network.weight(0, 0, 0), 1.0 + 0.5 * hiddenDelta * input);
    EXPECT_DOUBLE_EQ(network.weight(0, 0, 1), -0.5 + 0.5 * hiddenDelta * 0.5);
}

TEST(NeuralTrain, LearnsExclusiveOrThroughScaledInputs) {
    const int32_t sizes[] = {2, 4, 1};
    const double minima[] = {0.0, 0.0};
    const double maxima[] = {10.0, 10.0};
    CNeuralNetwork network(3, sizes, minima, maxima);
    network.randomizeFromSeed(12345);
    const double samples[4][3] = {{0, 0, -0.4}, {10, 0, 0.4}, {0, 10, 0.4}, {10, 10, -0.4}};
    double firstError = 0;
    double lastError = 0;
    for (int epoch = 0; epoch < 20000; ++epoch) {
        double total = 0;
        for (const auto &s : samples) {
            double error = 0;
            ASSERT_EQ(network.Train(std::array{s[0], s[1]}, std::array{s[2]}, error), 1);
            total += error;
        }
        if (epoch == 0) {
            firstError = total;
        }
        lastError = total;
    }
    EXPECT_LT(lastError, firstError / 4);
    for (const auto &s : samples) {
        double output = 0;
        ASSERT_EQ(network.Run(std::array{s[0], s[1]}, std::span(&output, 1)), 1);
        EXPECT_GT(output * s[2], 0.0) << s[0] << "," << s[1];
    }
}

TEST(NeuralRanges, SetAndReset) {
    CNeuralNetwork network;
    EXPECT_EQ(network.ResetRanges(), 0);
    const double minima[] = {1.0, 2.0, 3.0};
    const double maxima[] = {4.0, 5.0, 6.0};
    ASSERT_EQ(network.SetRanges(3, kShippedSizes, minima, maxima), 1);
    EXPECT_EQ(network.inputMaximum(2), 6.0);
    EXPECT_EQ(network.weight(1, 1, 6), 0.0);
    EXPECT_EQ(network.ResetRanges(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(network.inputMinimum(i), -0.5);
        EXPECT_EQ(network.inputMaximum(i), 0.5);
    }
    // With reset ranges the scaled network matches the plain one on inputs inside -0.5..0.5.
    network.randomizeFromSeed(7);
    CNeural plain;
    ASSERT_EQ(plain.readWeightingFile(network.weightingFile()), 0);  // carries ranges: too long
    ASSERT_EQ(plain.Create(3, kShippedSizes), 1);
    plain.randomizeFromSeed(7);
    double scaled[2] = {};
    double raw[2] = {};
    const std::array inputs{0.1, -0.3, 0.45};
    ASSERT_EQ(network.Run(inputs, scaled), 1);
    ASSERT_EQ(plain.Run(inputs, raw), 1);
    EXPECT_EQ(scaled[0], raw[0]);
    EXPECT_EQ(scaled[1], raw[1]);
}

TEST_F(NeuralFiles, SaveAndReloadGiveTheSameBytes) {
    CNeuralNetwork network(kivo::kWeightResourceId, kivo::kWeightResourceType);
    const std::string first = path("first.wei");
    ASSERT_EQ(network.SaveToFile(first), 1);
    EXPECT_EQ(kivo::readWholeFile(first), shippedBytes());

    CNeuralNetwork reloaded(first);
    const std::string second = path("second.wei");
    ASSERT_EQ(reloaded.SaveToFile(second), 1);
    EXPECT_EQ(kivo::readWholeFile(second), shippedBytes());

    // The plain network writes the same file without the ranges.
    CNeural plain;
    const std::vector<uint8_t> bytes = shippedBytes();
    ASSERT_EQ(plain.readWeightingFile(std::span(bytes).first(376 - 48)), 1);
    const std::string third = path("plain.wei");
    ASSERT_EQ(plain.SaveToFile(third), 1);
    CNeural plainReloaded(third);
    EXPECT_EQ(plainReloaded.weightingFile(), std::vector(bytes.begin(), bytes.end() - 48));
}

TEST_F(NeuralFiles, DamagedFilesAreRefusedAndLeaveTheNetworkAsItWas) {
    const std::vector<uint8_t> good = shippedBytes();
    auto patchedInt = [&](size_t offset, int32_t value) {
        std::vector<uint8_t> bytes = good;
        std::memcpy(bytes.data() + offset, &value, sizeof value);
        return bytes;
    };
    struct Case {
        const char *name;
        std::vector<uint8_t> bytes;
    };
    std::vector<uint8_t> longer = good;
    longer.push_back(0);
    const Case cases[] = {
        {"empty", {}},
        {"truncated", std::vector(good.begin(), good.end() - 1)},
        {"one byte left over", longer},
        {"no ranges", std::vector(good.begin(), good.end() - 48)},
        {"zero layers", patchedInt(0, 0)},
        {"one layer", patchedInt(0, 1)},
        {"negative layer count", patchedInt(0, -3)},
        {"huge layer count", patchedInt(0, 0x7FFFFFFF)},
        {"negative size", patchedInt(4, -3)},
        {"zero size", patchedInt(8, 0)},
        {"huge size", patchedInt(8, 0x40000000)},
        {"size not matching the length", patchedInt(8, 7)},
    };
    CNeuralNetwork network;
    const double minima[] = {1.0, 2.0, 3.0};
    const double maxima[] = {4.0, 5.0, 6.0};
    const int32_t sizes[] = {3, 2, 1};
    ASSERT_EQ(network.SetRanges(3, sizes, minima, maxima), 1);
    network.randomizeFromSeed(99);
    const std::vector<uint8_t> before = network.weightingFile();
    for (const Case &c : cases) {
        CapturedMessages messages;
        EXPECT_EQ(network.LoadFromFile(write("bad.wei", c.bytes)), 0) << c.name;
        EXPECT_EQ(network.weightingFile(), before) << c.name;
        EXPECT_EQ(messages.texts(),
                  std::vector<std::string>{"??? Can't Find Neural Network Weighting File"})
            << c.name;
    }
    CapturedMessages messages;
    EXPECT_EQ(network.LoadFromFile(path("missing.wei")), 0);
    EXPECT_EQ(network.LoadFromFile(m_dir.string()), 0);
    CNeural plain;
    EXPECT_EQ(plain.LoadFromFile(path("missing.wei")), 0);
    EXPECT_EQ(plain.layerCount(), 0);
    EXPECT_EQ(messages.texts(),
              (std::vector<std::string>{"??? Can't Find Neural Network Weighting File",
                                        "??? Can't Find Neural Network Weighting File",
                                        "??? Error in Opening Neural Network Weighting File"}));
    EXPECT_EQ(network.weightingFile(), before);
}

TEST_F(NeuralFiles, SaveFailuresAreReported) {
    CNeuralNetwork network(kivo::kWeightResourceId, kivo::kWeightResourceType);
    CNeural plain(3, kShippedSizes);
    CapturedMessages messages;
    const std::string unwritable = path("no-such-folder/net.wei");
    EXPECT_EQ(network.SaveToFile(unwritable), 0);
    EXPECT_EQ(plain.SaveToFile(unwritable), 0);
    EXPECT_EQ(messages.texts(),
              std::vector<std::string>{"??? Can't save Neural Network Weighting File"});
    EXPECT_FALSE(fs::exists(unwritable));
}
