#include "player/lists/mixer.h"

#include <alsa/asoundlib.h>

#include <algorithm>

#include "platform/log.h"

namespace kivo::lists {
namespace {

constexpr std::string_view kLogCategory = "mixer";

// The speakers line is the master element; a card without one uses its last playback element,
// as the line searched last stands in for a missing speakers line.
snd_mixer_elem_t *findLine(snd_mixer_t *mixer) {
    snd_mixer_elem_t *last = nullptr;
    for (snd_mixer_elem_t *element = snd_mixer_first_elem(mixer); element != nullptr;
         element = snd_mixer_elem_next(element)) {
        if (!snd_mixer_selem_is_active(element) ||
            (!snd_mixer_selem_has_playback_volume(element) &&
             !snd_mixer_selem_has_playback_switch(element))) {
            continue;
        }
        if (std::string_view(snd_mixer_selem_get_name(element)) == "Master") {
            return element;
        }
        last = element;
    }
    return last;
}

}  // namespace

void CMixer::CMixerCloser::operator()(_snd_mixer *mixer) const {
    snd_mixer_close(mixer);
}

CMixer::CMixer(const std::string &device) {
    snd_mixer_t *opened = nullptr;
    m_result = snd_mixer_open(&opened, 0);
    if (m_result < 0) {
        logWarning(kLogCategory, std::string("no mixer: ") + snd_strerror(m_result));
        return;
    }
    m_mixer.reset(opened);
    if ((m_result = snd_mixer_attach(opened, device.c_str())) < 0 ||
        (m_result = snd_mixer_selem_register(opened, nullptr, nullptr)) < 0 ||
        (m_result = snd_mixer_load(opened)) < 0) {
        logWarning(kLogCategory,
                   "no mixer on " + device + ": " + std::string(snd_strerror(m_result)));
        m_mixer.reset();
        return;
    }
    m_element = findLine(opened);
    if (m_element == nullptr) {
        logWarning(kLogCategory, "no playback element on " + device);
        return;
    }
    if (snd_mixer_selem_has_playback_volume(m_element)) {
        m_result = snd_mixer_selem_get_playback_volume_range(m_element, &m_rangeMin, &m_rangeMax);
    }
    mute();
    volume();
}

CMixer::~CMixer() = default;

bool CMixer::hasVolume() const {
    return m_element != nullptr && snd_mixer_selem_has_playback_volume(m_element) &&
           m_rangeMax > m_rangeMin;
}

bool CMixer::hasMute() const {
    return m_element != nullptr && snd_mixer_selem_has_playback_switch(m_element);
}

long CMixer::volume() {
    if (!hasVolume()) {
        return m_volume;
    }
    // Another program may have changed it since.
    snd_mixer_handle_events(m_mixer.get());
    long raw = 0;
    m_result = snd_mixer_selem_get_playback_volume(m_element, SND_MIXER_SCHN_FRONT_LEFT, &raw);
    if (m_result == 0) {
        const long span = m_rangeMax - m_rangeMin;
        m_volume = std::clamp((raw - m_rangeMin) * kMaximum + span / 2, 0L, kMaximum * span) / span;
    }
    return m_volume;
}

void CMixer::setVolume(long value) {
    if (!hasVolume()) {
        return;
    }
    value = std::clamp(value, kMinimum, kMaximum);
    const long span = m_rangeMax - m_rangeMin;
    const long raw = m_rangeMin + (value * span + kMaximum / 2) / kMaximum;
    m_result = snd_mixer_selem_set_playback_volume_all(m_element, raw);
    if (m_result == 0) {
        m_volume = value;
    }
}

bool CMixer::mute() {
    if (!hasMute()) {
        return m_mute;
    }
    snd_mixer_handle_events(m_mixer.get());
    int on = 1;
    m_result = snd_mixer_selem_get_playback_switch(m_element, SND_MIXER_SCHN_FRONT_LEFT, &on);
    if (m_result == 0) {
        m_mute = on == 0;
    }
    return m_mute;
}

void CMixer::setMute(bool on) {
    if (!hasMute()) {
        return;
    }
    m_result = snd_mixer_selem_set_playback_switch_all(m_element, on ? 0 : 1);
    if (m_result == 0) {
        m_mute = on;
    }
}

}  // namespace kivo::lists
