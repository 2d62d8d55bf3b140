#include "segmenter/segmentation.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>

#include "imaging/dib.h"
#include "media/grabber/videomanager.h"
#include "segmenter/framefeatures.h"
#include "segmenter/frameprefetcher.h"
#include "segmenter/neuralnetwork.h"
#include "segmenter/recentgreyframes.h"
#include "segmenter/scenecutdetector.h"

namespace {

std::atomic<bool> g_stopRequested{false};
std::atomic<bool> g_pauseRequested{false};

// Grey pictures kept for the detector's second look at a run of candidates: enough for runs of a
// few frames, within a memory budget for large pictures.
constexpr size_t kMostRecentFrames = 12;
constexpr size_t kFewestRecentFrames = 6;
constexpr size_t kRecentFramesBudget = size_t{32} << 20;

size_t recentFrameCount(const CVideoManager &video) {
    const size_t pixels = static_cast<size_t>(std::max(video.pictureWidth(), 1)) *
                          static_cast<size_t>(std::max(video.pictureHeight(), 1));
    return std::clamp(kRecentFramesBudget / pixels, kFewestRecentFrames, kMostRecentFrames);
}

void waitWhilePaused() {
    // Blocks until the flag changes; no core is spent while the window asks its question.
    while (g_pauseRequested.load()) {
        g_pauseRequested.wait(true);
    }
}

// Same size and depth as the first picture of the walk: the pair can be compared.
bool matches(const kivo::GreyPlane &plane, const kivo::GreyPlane &reference) {
    return plane.rows && plane.width == reference.width && plane.height == reference.height;
}

}  // namespace

void requestSegmentationStop() {
    g_pauseRequested.store(false);
    g_stopRequested.store(true);
    g_pauseRequested.notify_all();
}

void requestSegmentationPause() {
    g_pauseRequested.store(true);
}

void releaseSegmentationPause() {
    g_pauseRequested.store(false);
    g_pauseRequested.notify_all();
}

bool segmentationStopRequested() {
    return g_stopRequested.load();
}

int SegmentationThread(const SegmentationParams &params) {
    g_stopRequested.store(false);
    g_pauseRequested.store(false);
    SegmentationReport report;
    const auto call = [&] {
        if (params.report) {
            params.report(report);
        }
    };
    if (!params.video || !params.description || !params.network) {
        report.finished = 1;
        call();
        return 0;
    }

    // Run() writes the network's work arrays: the worker runs a copy of its own.
    CNeuralNetwork network = *params.network;
    const double duration = params.video->duration();
    const double total = std::isfinite(duration) ? duration : 0.0;
    const std::string path = params.video->path();
    CRecentGreyFrames recent(path, recentFrameCount(*params.video));
    auto detector = std::make_unique<CSceneCutDetector>(&recent, network, *params.description);
    detector->setNetworkDetectorOn(params.networkDetectorOn != 0);
    detector->setDarkRunDetectorOn(params.darkRunDetectorOn != 0);
    detector->setThreshold(params.threshold);

    bool stopped = false;
    {
        CFramePrefetcher frames(path, 0.0, total);
        CFramePrefetcher::Frame fetched;
        kivo::GreyHistogram previousHistogram{};
        kivo::GreyHistogram currentHistogram{};
        kivo::GreyPlane reference;

        // The first frame that can be fetched opens the walk.
        while (frames.next(fetched)) {
            reference = fetched.picture ? kivo::greyPlaneOf(*fetched.picture) : kivo::GreyPlane{};
            if (reference.rows) {
                kivo::computeGreyHistogram(reference, previousHistogram);
                recent.push(fetched.frame, std::move(fetched.picture));
                break;
            }
            if (segmentationStopRequested()) {
                stopped = true;
                break;
            }
        }

        while (!stopped && recent.latest() && frames.next(fetched)) {
            const kivo::GreyPlane current =
                fetched.picture ? kivo::greyPlaneOf(*fetched.picture) : kivo::GreyPlane{};
            if (!matches(current, reference)) {
                // Skipped: the next pair is formed with the last frame that could be fetched.
                stopped = segmentationStopRequested();
                continue;
            }
            const double f = fetched.frame;
            const kivo::FrameFeatures features =
                kivo::analyzeFramePair(kivo::greyPlaneOf(*recent.latest()), current,
                                       previousHistogram, currentHistogram, network);
            previousHistogram = currentHistogram;
            recent.push(f, std::move(fetched.picture));
            const double cut = detector->process(f - 1.0, features);

            std::unique_ptr<CDib> cutImage;
            if (cut != -1.0 && params.cutImages) {
                cutImage = recent.colourPicture(cut);
            }
            report.frame = f;
            report.cutFrame = cut;
            report.score = features[kivo::kCutScore];
            report.currentImage = recent.latest();
            report.cutImage = cutImage.get();
            report.cutScore = cut != -1.0 ? detector->lastCutScore() : 0.0;
            call();
            report.cutImage = nullptr;

            if (segmentationStopRequested()) {
                stopped = true;
                break;
            }
            waitWhilePaused();
            // A stop answered during the pause ends the run before another frame is taken.
            stopped = segmentationStopRequested();
        }
    }
    detector.reset();

    // The pictures of the last step are gone, and its cut was announced already.
    report.currentImage = nullptr;
    report.cutImage = nullptr;
    report.cutFrame = -1.0;
    report.cutScore = 0.0;
    report.finished = stopped ? 0 : 1;
    report.stopped = stopped ? 1 : 0;
    call();
    return 0;
}

CSegmentationRun::~CSegmentationRun() {
    wait();
}

int CSegmentationRun::start(const SegmentationParams &params) {
    wait();
    m_thread = std::thread([params] {
        lowerThreadToIdlePriority();
        SegmentationThread(params);
    });
    return 1;
}

void CSegmentationRun::wait() {
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

int lowerThreadToIdlePriority() {
    sched_param parameters{};
    parameters.sched_priority = 0;
    if (pthread_setschedparam(pthread_self(), SCHED_IDLE, &parameters) == 0) {
        return 1;
    }
    // Nice values belong to the thread on Linux.
    return setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 19) == 0 ? 1 : 0;
}
