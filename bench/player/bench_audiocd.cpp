// The audio CD: re-reading a 20-track image into the page's list (libcdio's read on the reader
// thread, the rows filled on the window's), and a track's start to its first sound (libmpv's
// audio-pts advancing), from a closed disc and on a loaded one.

#include <benchmark/benchmark.h>
#include <QApplication>
#include <QEventLoop>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>

#include <chrono>

#include "../../tests/player/lists/cdimage.h"
#include "media/playback/playbackengine.h"
#include "player/lists/window/audiocdpanel.h"
#include "player/lists/window/cdenginesound.h"
#include "player/transport/playersession.h"

namespace {

QTemporaryDir *scratch = nullptr;

std::string image(int tracks) {
    const std::vector<kivo::test::CImageTrack> layout(size_t(tracks), {4.0, 440});
    return kivo::test::writeCdImage(scratch->path().toStdString(), "disc" + std::to_string(tracks),
                                    layout);
}

void BM_RereadTwentyTrackImage(benchmark::State &state) {
    CPlayerSession session;
    CPlayerTransport transport(session);
    CAudioCdPanel panel(session, transport, QString::fromStdString(image(20)));
    for (auto _ : state) {
        QSignalSpy listed(&panel, &CAudioCdPanel::discListed);
        panel.reread(false);
        if (!listed.wait(10000) || panel.list().topLevelItemCount() != 20) {
            state.SkipWithError("the image was not listed");
            break;
        }
    }
}
BENCHMARK(BM_RereadTwentyTrackImage)->Unit(benchmark::kMillisecond)->UseRealTime();

// Runs the event loop until the sound's audio clock has moved 10 ms into the range that was
// started: sound from the new place has reached the output.
bool waitForSound(CCdEngineSound &sound, double from, double to) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        const double now = sound.engine().audioClock();
        if (now > from + 0.01 && now < to) {
            return true;
        }
    }
    return false;
}

void BM_TrackToFirstSound(benchmark::State &state) {
    const std::string disc = image(3);
    const bool loaded = state.range(0) == 1;
    auto sound = std::make_unique<CCdEngineSound>();
    sound->engine().setAudioOutput(QStringLiteral("null"));
    int track = 0;
    for (auto _ : state) {
        if (!loaded) {
            state.PauseTiming();
            sound = std::make_unique<CCdEngineSound>();
            sound->engine().setAudioOutput(QStringLiteral("null"));
            state.ResumeTiming();
        }
        const double from = 4.0 * (track++ % 3);
        if (!sound->start(disc, from, from + 4.0) || !waitForSound(*sound, from, from + 4.0)) {
            state.SkipWithError("no sound");
            break;
        }
        state.PauseTiming();
        sound->pause();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_TrackToFirstSound)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("loaded")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTemporaryDir folder;
    scratch = &folder;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
