#pragma once

#include <functional>
#include <string>

#include "player/lists/cddisc.h"

// The audio-CD device the panel drives: the disc it has read, and a track played from an offset
// to its end with a notification when it gets there. Commands answer 1 when done and 0 when
// refused; a refusal leaves its reason in lastError(). Callbacks come on the owner's thread,
// never from inside the call that caused them.
namespace kivo::lists {

// What plays the sound of a disc: positions in seconds from the start of the disc's first
// track.
class ICdSound {
public:
    virtual ~ICdSound() = default;
    // Plays the disc in `source` from `from` until `to`; ended() follows when `to` is reached,
    // failed(reason) when the disc cannot be played.
    virtual int start(const std::string &source, double from, double to) = 0;
    virtual int pause() = 0;
    virtual int resume() = 0;
    virtual int stop() = 0;
    // Seconds from the start of the first track, or -1 when nothing is loaded.
    virtual double position() const = 0;

    std::function<void()> ended;
    std::function<void(const std::string &reason)> failed;
};

class ICdDevice {
public:
    enum EMode { kStopped = 525, kPlaying = 526, kPaused = 529 };

    virtual ~ICdDevice() = default;

    // Takes a disc read by readCdDisc (off the GUI thread); stops what plays.
    virtual void load(CCdDisc disc) = 0;
    virtual void close() = 0;
    virtual const CCdDisc &disc() const = 0;

    // Plays a track from `fromSeconds` into it to its end.
    virtual int play(int track, int fromSeconds) = 0;
    virtual int pause() = 0;
    // From where it paused to the end of the track.
    virtual int resume() = 0;
    virtual int stop() = 0;
    virtual EMode mode() const = 0;
    // The track playing or paused, 0 when none.
    virtual int currentTrack() const = 0;
    // Whole seconds into the current track.
    virtual int positionSeconds() const = 0;

    virtual int openDoor() = 0;
    virtual int closeDoor() = 0;
    virtual const std::string &lastError() const = 0;

    // The track played to its end.
    std::function<void()> trackEnded;
    // A command failed after it was accepted (the disc went away, the sound could not start).
    std::function<void(const std::string &reason)> failed;
};

// The device over libcdio's view of the disc and a sound back end that plays it.
class CCdioDevice : public ICdDevice {
public:
    explicit CCdioDevice(ICdSound &sound);

    void load(CCdDisc disc) override;
    void close() override;
    const CCdDisc &disc() const override { return m_disc; }
    int play(int track, int fromSeconds) override;
    int pause() override;
    int resume() override;
    int stop() override;
    EMode mode() const override { return m_mode; }
    int currentTrack() const override { return m_track; }
    int positionSeconds() const override;
    int openDoor() override;
    int closeDoor() override;
    const std::string &lastError() const override { return m_error; }

private:
    int refuse(std::string reason);

    ICdSound &m_sound;
    CCdDisc m_disc;
    EMode m_mode = kStopped;
    int m_track = 0;
    std::string m_error;
};

}  // namespace kivo::lists
