#include "player/scenes/basictreeplan.h"

#include <cctype>
#include <cmath>

namespace kivo::scenes {
namespace {

constexpr std::size_t kMaxDigits = 4;

// The leading decimal number of a text ("10초" is 10); 0 when it starts otherwise.
int leadingNumber(const std::string &text) {
    std::size_t at = 0;
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) {
        ++at;
    }
    int value = 0;
    for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])); ++at) {
        value = value * 10 + (text[at] - '0');
    }
    return value;
}

// The field's texts are counted in characters, as the user typed them.
std::size_t characterCount(const std::string &utf8) {
    std::size_t count = 0;
    for (const char byte : utf8) {
        count += (static_cast<unsigned char>(byte) & 0xC0) != 0x80 ? 1 : 0;
    }
    return count;
}

}  // namespace

BasicTreeEntry readBasicTreeRequest(bool automaticInterval, const std::string &intervalText,
                                    int countChoice, const std::string &countText,
                                    BasicTreeRequest &request) {
    BasicTreeRequest read;
    if (automaticInterval) {
        read.interval = kAutomatic;
    } else if (characterCount(intervalText) > kMaxDigits) {
        return BasicTreeEntry::kIntervalTooLong;
    } else {
        read.interval = leadingNumber(intervalText);
    }
    if (read.interval == kAutomatic && countChoice == kToTheEndItem) {
        return BasicTreeEntry::kCountNeededWithAuto;
    }
    if (countChoice == kDefaultCountItem) {
        read.count = kDefaultCount;
    } else if (countChoice == kToTheEndItem) {
        read.count = kAutomatic;
    } else if (characterCount(countText) > kMaxDigits) {
        return BasicTreeEntry::kCountTooLarge;
    } else {
        read.count = leadingNumber(countText);
    }
    request = read;
    return BasicTreeEntry::kValid;
}

double basicTreeStep(double end, const BasicTreeRequest &request) {
    if (request.interval != kAutomatic) {
        return request.interval;
    }
    return request.count > 0 ? end / request.count : 0.0;
}

std::vector<double> basicTreeTimes(double start, double end, const BasicTreeRequest &request) {
    const double step = basicTreeStep(end, request);
    double count = request.count;
    if (request.count == kAutomatic) {
        count = step > 0 ? std::floor(end / step) : 0.0;
    }
    std::vector<double> times;
    double t = start;
    for (double k = 0; k < count && t < end; ++k, t += step) {
        times.push_back(t);
    }
    return times;
}

}  // namespace kivo::scenes
