#pragma once

#include <cstdint>
#include <functional>
#include <thread>

class CDib;
class CNeuralNetwork;
class CVideoDescription;
class CVideoManager;

// One report of the segmentation worker. The worker owns the record and overwrites it before
// each call; the pictures are valid only during the call, so the receiver copies what it keeps.
struct SegmentationReport {
    double frame = 0.0;                  // the frame just fetched (the later frame of the pair)
    double cutFrame = -1.0;              // first frame of a scene announced by this step, or -1
    double score = 0.0;                  // the cut score of the pair
    const CDib *currentImage = nullptr;  // grey picture of `frame`
    const CDib *cutImage = nullptr;      // colour picture of `cutFrame`, when fetched
    int32_t finished = 0;                // final report: every frame was processed
    int32_t stopped = 0;                 // final report: the user stopped the run
    // The cut score of the pair that ends at `cutFrame` (0 for the first scene, at frame 0).
    double cutScore = 0.0;
};

using SegmentationCallback = std::function<void(const SegmentationReport &)>;

// What the window hands the worker; read once when the worker starts. The video, the
// description and the network must outlive the run.
struct SegmentationParams {
    // The opened video. The worker reads its path and frame count and decodes through readers
    // of its own, so the owner may keep using this object (for thumbnails) during the run.
    const CVideoManager *video = nullptr;
    CVideoDescription *description = nullptr;  // emptied and rebuilt by the run
    const CNeuralNetwork *network = nullptr;   // copied by the worker
    double threshold = 0.95;
    SegmentationCallback report;  // called on the worker thread
    int32_t networkDetectorOn = 1;
    int32_t darkRunDetectorOn = 1;
    // Fetch the colour picture of each cut frame for the report. The window shows it; a run
    // without a window saves the decoding.
    int32_t cutImages = 1;
};

// The worker procedure: walks every frame, reports each pair, builds the scene tree and ends
// with a final report (finished or stopped). Returns 0. Runs on the calling thread.
int SegmentationThread(const SegmentationParams &params);

// The process-wide flags the window drives the worker with. Stop clears a pause, then asks the
// worker to end after the pair it is reporting; pause holds it after the current report.
void requestSegmentationStop();
void requestSegmentationPause();
void releaseSegmentationPause();
bool segmentationStopRequested();

// Runs SegmentationThread on a thread of its own at idle priority.
class CSegmentationRun {
public:
    CSegmentationRun() = default;
    // Waits for a running worker.
    ~CSegmentationRun();
    CSegmentationRun(const CSegmentationRun &) = delete;
    CSegmentationRun &operator=(const CSegmentationRun &) = delete;

    // Starts the worker; waits first for a previous one. 1 on success.
    int start(const SegmentationParams &params);
    // Waits until the worker has ended (its final report has returned).
    void wait();
    bool running() const { return m_thread.joinable(); }

private:
    std::thread m_thread;
};

// Lowers the calling thread to the idle scheduling class (SCHED_IDLE), or failing that to the
// weakest nice value. 1 when either took effect.
int lowerThreadToIdlePriority();
