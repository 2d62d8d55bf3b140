#pragma once

#include <memory>
#include <string>

struct _snd_mixer;
struct _snd_mixer_elem;

// The system mixer's speakers line: volume and mute of the master playback element of ALSA's
// simple mixer on the default device, the volume scaled to 0 … 65535. The audio CD's volume
// slider drives it. Without a mixer, or without a playback element, the controls stay unknown:
// reads answer the last value and writes do nothing. Failing calls keep ALSA's result code and
// change nothing else.
namespace kivo::lists {

class CMixer {
public:
    static constexpr long kMaximum = 65535;
    static constexpr long kMinimum = 2000;
    static constexpr long kStep = 2047;

    // Opens the mixer of an ALSA device ("default" is the system's) and finds the line.
    explicit CMixer(const std::string &device = "default");
    ~CMixer();
    CMixer(const CMixer &) = delete;
    CMixer &operator=(const CMixer &) = delete;

    bool hasVolume() const;
    bool hasMute() const;

    // Reads one channel of the volume (0 … 65535) and remembers it.
    long volume();
    // Clamps to 2000 … 65535, remembers and writes it.
    void setVolume(long value);
    void volumeUp() { setVolume(m_volume + kStep); }
    void volumeDown() { setVolume(m_volume - kStep); }
    // The remembered volume in steps (0 … 32).
    int level() const { return int(m_volume / kStep); }

    // Reads the mute and remembers it.
    bool mute();
    void setMute(bool on);
    void toggleMute() { setMute(!mute()); }

    // ALSA's result of the last call (0 success, a negative error code otherwise).
    int lastResult() const { return m_result; }

private:
    struct CMixerCloser {
        void operator()(_snd_mixer *mixer) const;
    };

    std::unique_ptr<_snd_mixer, CMixerCloser> m_mixer;
    _snd_mixer_elem *m_element = nullptr;
    long m_rangeMin = 0;
    long m_rangeMax = 0;
    long m_volume = 0;
    bool m_mute = false;
    int m_result = 0;
};

}  // namespace kivo::lists
