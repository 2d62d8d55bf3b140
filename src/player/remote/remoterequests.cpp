#include "player/remote/remoterequests.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace kivo::remote {
namespace {

constexpr std::array kReserved{0x1793u, 0x1794u, 0x1797u, 0x1798u, 0x17A0u};

}  // namespace

bool isReservedCode(uint32_t code) {
    for (const uint32_t reserved : kReserved) {
        if (code == reserved) {
            return true;
        }
    }
    return false;
}

std::optional<ERequest> decodeRequest(uint32_t code) {
    if (code < kFirstCode || code > kLastCode || isReservedCode(code)) {
        return std::nullopt;
    }
    return static_cast<ERequest>(code);
}

QString formatReferenceTime(double position) {
    const double exact = std::isfinite(position) && position > 0 ? position * 1e-7 : 0.0;
    // Beyond any media time a player meets; keeps the conversion to an integer defined.
    constexpr double kLongest = 1e12;
    const double seconds = std::min(exact, kLongest);
    const auto whole = static_cast<long long>(seconds);
    const auto milliseconds = static_cast<int>((seconds - double(whole)) * 1000.0);
    char text[48];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld.%03d", whole / 3600, (whole / 60) % 60,
                  whole % 60, milliseconds);
    return QString::fromLatin1(text);
}

}  // namespace kivo::remote
