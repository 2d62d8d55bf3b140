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

// One run over the frames of a video: the frame walk, the pair analysis, the detector and the
// reports, in frame order on the calling thread.
class CSegmentationWalk {
public:
    CSegmentationWalk(const SegmentationParams &params, CNeuralNetwork &network, double total)
        : m_params(params),
          m_network(network),
          m_recent(params.video->path(), recentFrameCount(*params.video)),
          m_detector(&m_recent, network, *params.description),
          m_frames(params.video->path(), 0.0, total) {
        m_detector.setNetworkDetectorOn(params.networkDetectorOn != 0);
        m_detector.setDarkRunDetectorOn(params.darkRunDetectorOn != 0);
        m_detector.setThreshold(params.threshold);
        m_detector.setOddPicturesDropped(params.video->picturesStandAlone());
    }

    // Walks to the end or to a stop; reports every pair through `report`. True when stopped.
    bool run(SegmentationReport &report) {
        if (!openWalk()) {
            return m_stopped;
        }
        CFramePrefetcher::Frame fetched;
        while (!m_stopped && m_frames.next(fetched)) {
            if (!fetched.picture || !fetched.paired) {
                // Skipped: the next pair is formed with the last frame that could be fetched.
                m_stopped = segmentationStopRequested();
                continue;
            }
            step(fetched, report);
            if (!segmentationStopRequested()) {
                waitWhilePaused();
            }
            // A stop answered during a pause ends the run before another frame is taken.
            m_stopped = segmentationStopRequested();
        }
        return m_stopped;
    }

private:
    // Finds the first frame that can be fetched; false when there is none (or a stop came).
    bool openWalk() {
        CFramePrefetcher::Frame fetched;
        while (m_frames.next(fetched)) {
            if (fetched.picture) {
                m_previousHistogram = fetched.greyHistogram;
                m_recent.push(fetched.frame, std::move(fetched.picture));
                return true;
            }
            if (segmentationStopRequested()) {
                m_stopped = true;
                return false;
            }
        }
        return false;
    }

    // One pair: the histograms were counted by the prefetcher while it made the picture.
    void step(CFramePrefetcher::Frame &fetched, SegmentationReport &report) {
        const double f = fetched.frame;
        kivo::FrameFeatures features = kivo::featuresFromHistograms(
            fetched.differences, m_previousHistogram, fetched.greyHistogram,
            kivo::greyPlaneOf(*fetched.picture).pixelCount());
        features[kivo::kCutScore] = kivo::cutScoreOf(m_network, features);
        m_previousHistogram = fetched.greyHistogram;
        m_recent.push(f, std::move(fetched.picture));
        const double cut = m_detector.process(f - 1.0, features, fetched.damaged);

        std::unique_ptr<CDib> cutImage;
        if (cut != -1.0 && m_params.cutImages) {
            cutImage = m_recent.colourPicture(cut);
        }
        report.frame = f;
        report.cutFrame = cut;
        report.score = features[kivo::kCutScore];
        report.currentImage = m_recent.latest();
        report.cutImage = cutImage.get();
        report.cutScore = cut != -1.0 ? m_detector.lastCutScore() : 0.0;
        if (m_params.report) {
            m_params.report(report);
        }
        report.cutImage = nullptr;
    }

    const SegmentationParams &m_params;
    CNeuralNetwork &m_network;
    CRecentGreyFrames m_recent;
    CSceneCutDetector m_detector;
    CFramePrefetcher m_frames;
    kivo::GreyHistogram m_previousHistogram{};
    bool m_stopped = false;
};

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
    bool stopped = false;
    {
        CSegmentationWalk walk(params, network, std::isfinite(duration) ? duration : 0.0);
        stopped = walk.run(report);
    }

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
