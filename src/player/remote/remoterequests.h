#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// The requests other programs send to the running player, by their message numbers, and what a
// number means. Numbers in the range that are not requests are reserved: accepted and ignored.
namespace kivo::remote {

enum class ERequest : uint32_t {
    Play = 0x1789,
    Pause = 0x178A,
    Stop = 0x178B,
    Previous = 0x178C,
    Next = 0x178D,
    State = 0x178E,
    Caption = 0x178F,
    Forward = 0x1790,
    Back = 0x1791,
    Faster = 0x1792,
    ShowFinder = 0x1795,
    SetCaption = 0x1796,
    Maximize = 0x1799,
    ZoomIn = 0x179A,
    ZoomOut = 0x179B,
    HideVideo = 0x179C,
    Split = 0x179D,
    ShowScenes = 0x179E,
    ShowPlaylist = 0x179F,
    Channel = 0x17A1,
    HideInfo = 0x17A2,
};

inline constexpr uint32_t kFirstCode = 0x1789;
inline constexpr uint32_t kLastCode = 0x17A2;

// The request of a number; none for reserved numbers and numbers outside the range.
std::optional<ERequest> decodeRequest(uint32_t code);
bool isReservedCode(uint32_t code);

// A media time (100-nanosecond units) as "%02d:%02d:%02d.%03d": hours, minutes, seconds and
// milliseconds, each truncated. Negative and non-finite times count as 0.
QString formatReferenceTime(double position);

}  // namespace kivo::remote
