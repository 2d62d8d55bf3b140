#pragma once

#include <QObject>

#include <memory>
#include <string>

#include "player/lists/cddevice.h"

class CPlaybackEngine;

// The audio CD's sound through a playback engine of its own: libmpv's "cdda://" on the drive or
// image, the disc's tracks one stream, so that CD sound takes the same output as media files.
// The disc stays loaded between tracks; a track start is a seek. The end of the range is
// watched on the engine's tick.
class CCdEngineSound : public QObject, public kivo::lists::ICdSound {
    Q_OBJECT

public:
    explicit CCdEngineSound(QObject *parent = nullptr);
    ~CCdEngineSound() override;

    int start(const std::string &source, double from, double to) override;
    int pause() override;
    int resume() override;
    int stop() override;
    double position() const override;

    CPlaybackEngine &engine() { return *m_engine; }

private:
    void opened(int ticket, int result);
    void checkEnd();
    int startAt(double from);
    void postEnded();

    std::unique_ptr<CPlaybackEngine> m_engine;
    std::string m_source;
    int m_openTicket = 0;
    double m_from = 0;
    double m_to = 0;
    bool m_playing = false;
};
