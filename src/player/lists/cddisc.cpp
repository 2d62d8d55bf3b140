#include "player/lists/cddisc.h"

#include <cdio/cdio.h>
#include <cdio/logging.h>

#include <algorithm>
#include <memory>
#include <mutex>

#include "platform/log.h"

namespace kivo::lists {
namespace {

constexpr std::string_view kLogCategory = "cd";

struct CCdioDeleter {
    void operator()(CdIo_t *cdio) const { cdio_destroy(cdio); }
};
using CdioPtr = std::unique_ptr<CdIo_t, CCdioDeleter>;

struct CDeviceListDeleter {
    void operator()(char **list) const { cdio_free_device_list(list); }
};

// libcdio prints to standard error by default; its lines belong in the log.
void routeLibraryLog() {
    static std::once_flag once;
    std::call_once(once, [] {
        cdio_log_set_handler([](cdio_log_level_t level, const char *message) {
            if (level >= CDIO_LOG_WARN && message != nullptr) {
                logWarning(kLogCategory, message);
            }
        });
    });
}

bool endsWithCue(const std::string &source) {
    if (source.size() < 4) {
        return false;
    }
    std::string tail = source.substr(source.size() - 4);
    std::transform(tail.begin(), tail.end(), tail.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return tail == ".cue";
}

CdioPtr openSource(const std::string &source) {
    routeLibraryLog();
    if (source.empty()) {
        return nullptr;
    }
    return CdioPtr(endsWithCue(source) ? cdio_open_cue(source.c_str())
                                       : cdio_open(source.c_str(), DRIVER_DEVICE));
}

std::string resultText(driver_return_code_t code) {
    return cdio_driver_errmsg(code);
}

}  // namespace

const CCdTrack *CCdDisc::track(int number) const {
    for (const CCdTrack &entry : tracks) {
        if (entry.number == number) {
            return &entry;
        }
    }
    return nullptr;
}

std::string findCdSource(const std::string &named) {
    if (!named.empty()) {
        return named;
    }
    routeLibraryLog();
    const std::unique_ptr<char *, CDeviceListDeleter> drives(cdio_get_devices(DRIVER_DEVICE));
    if (drives && drives.get()[0] != nullptr) {
        return drives.get()[0];
    }
    return {};
}

CCdDisc readCdDisc(const std::string &source) {
    CCdDisc disc;
    disc.source = source;
    const CdioPtr cdio = openSource(source);
    if (!cdio) {
        disc.error = source.empty() ? "no CD drive" : "cannot open " + source;
        return disc;
    }
    const track_t first = cdio_get_first_track_num(cdio.get());
    const track_t count = cdio_get_num_tracks(cdio.get());
    if (first == CDIO_INVALID_TRACK || count == CDIO_INVALID_TRACK || count == 0) {
        disc.error = "no disc in " + source;
        return disc;
    }
    const lsn_t discStart = cdio_get_track_lsn(cdio.get(), first);
    const lsn_t leadOut = cdio_get_track_lsn(cdio.get(), CDIO_CDROM_LEADOUT_TRACK);
    for (int number = first; number < first + count; ++number) {
        const auto track = track_t(number);
        const lsn_t start = cdio_get_track_lsn(cdio.get(), track);
        if (start == CDIO_INVALID_LSN) {
            break;
        }
        const lsn_t next =
            number + 1 < first + count ? cdio_get_track_lsn(cdio.get(), track + 1) : leadOut;
        CCdTrack entry;
        entry.number = number;
        entry.audio = cdio_get_track_format(cdio.get(), track) == TRACK_FORMAT_AUDIO;
        entry.startSector = start - discStart;
        // An image whose data ends early reports a lead-out before some track ends or starts.
        entry.sectors = next == CDIO_INVALID_LSN ? 0 : std::max<long>(0, long(next) - start);
        disc.tracks.push_back(entry);
    }
    if (disc.tracks.empty()) {
        disc.error = "no tracks on " + source;
        return disc;
    }
    disc.status = disc.tracks.front().audio ? CCdDisc::kReady : CCdDisc::kNoAudio;
    return disc;
}

int openCdDoor(const std::string &source, std::string &error) {
    CdioPtr cdio = openSource(source);
    if (!cdio) {
        error = "cannot open " + source;
        return 0;
    }
    CdIo_t *handle = cdio.release();
    // Ejecting frees the handle, whatever the result.
    const driver_return_code_t result = cdio_eject_media(&handle);
    if (handle != nullptr) {
        cdio_destroy(handle);
    }
    error = result == DRIVER_OP_SUCCESS ? std::string() : resultText(result);
    return result == DRIVER_OP_SUCCESS ? 1 : 0;
}

int closeCdDoor(const std::string &source, std::string &error) {
    if (source.empty() || endsWithCue(source)) {
        error = resultText(DRIVER_OP_UNSUPPORTED);
        return 0;
    }
    driver_id_t driver = DRIVER_DEVICE;
    const driver_return_code_t result = cdio_close_tray(source.c_str(), &driver);
    error = result == DRIVER_OP_SUCCESS ? std::string() : resultText(result);
    return result == DRIVER_OP_SUCCESS ? 1 : 0;
}

}  // namespace kivo::lists
