#include "player/lists/cddevice.h"

#include <algorithm>
#include <utility>

namespace kivo::lists {

CCdioDevice::CCdioDevice(ICdSound &sound) : m_sound(sound) {
    m_sound.ended = [this] {
        if (m_mode == kPlaying) {
            m_mode = kStopped;
            if (trackEnded) {
                trackEnded();
            }
        }
    };
    m_sound.failed = [this](const std::string &reason) {
        m_mode = kStopped;
        m_error = reason;
        if (failed) {
            failed(reason);
        }
    };
}

int CCdioDevice::refuse(std::string reason) {
    m_error = std::move(reason);
    return 0;
}

void CCdioDevice::load(CCdDisc disc) {
    stop();
    m_disc = std::move(disc);
    m_track = 0;
}

void CCdioDevice::close() {
    // The drive stays known, so that its door still opens.
    CCdDisc none;
    none.source = m_disc.source;
    load(std::move(none));
}

int CCdioDevice::play(int track, int fromSeconds) {
    const CCdTrack *entry = m_disc.isReady() ? m_disc.track(track) : nullptr;
    if (entry == nullptr) {
        return refuse("no track " + std::to_string(track) + " on the disc");
    }
    if (!entry->audio) {
        return refuse("track " + std::to_string(track) + " is not audio");
    }
    // A track under a second long still plays from its start; one without data does not.
    if (entry->sectors == 0 || fromSeconds < 0 ||
        (fromSeconds > 0 && fromSeconds >= entry->lengthSeconds())) {
        return refuse("position outside track " + std::to_string(track));
    }
    const double end = double(entry->startSector + entry->sectors) / kCdSectorsPerSecond;
    if (!m_sound.start(m_disc.source, entry->startSeconds() + fromSeconds, end)) {
        return refuse("cannot play " + m_disc.source);
    }
    m_track = track;
    m_mode = kPlaying;
    m_error.clear();
    return 1;
}

int CCdioDevice::pause() {
    if (m_mode != kPlaying || !m_sound.pause()) {
        return refuse("not playing");
    }
    m_mode = kPaused;
    return 1;
}

int CCdioDevice::resume() {
    if (m_mode != kPaused || !m_sound.resume()) {
        return refuse("not paused");
    }
    m_mode = kPlaying;
    return 1;
}

int CCdioDevice::stop() {
    if (m_mode == kStopped) {
        return 1;
    }
    m_sound.stop();
    m_mode = kStopped;
    return 1;
}

int CCdioDevice::positionSeconds() const {
    const CCdTrack *entry = m_disc.track(m_track);
    const double position = m_sound.position();
    if (entry == nullptr || position < 0) {
        return 0;
    }
    return std::clamp(int(position - entry->startSeconds()), 0, entry->lengthSeconds());
}

int CCdioDevice::openDoor() {
    stop();
    return openCdDoor(m_disc.source, m_error);
}

int CCdioDevice::closeDoor() {
    return closeCdDoor(m_disc.source, m_error);
}

}  // namespace kivo::lists
