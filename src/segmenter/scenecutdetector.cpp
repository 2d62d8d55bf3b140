#include "segmenter/scenecutdetector.h"

#include "imaging/dib.h"
#include "scene/videodescription.h"
#include "segmenter/greyframesource.h"

CSceneCutDetector::CSceneCutDetector(CGreyFrameSource *frames, CNeuralNetwork &network,
                                     CVideoDescription &description)
    : m_frames(frames), m_network(network) {
    CSceneNode &root = description.root();
    root.clearChildren();
    m_levelOne = root.addChild(0.0);
    m_currentScene = m_levelOne->addChild(0.0);
    root.setExpanded(1);
    m_levelOne->setExpanded(1);
}

double CSceneCutDetector::currentSceneFrame() const {
    return m_currentScene->frame();
}

double CSceneCutDetector::process(double frame, const kivo::FrameFeatures &features, bool damaged) {
    m_history.push_back(features);
    m_historyFrames.push_back(frame);
    if (frame != -1.0) {
        if (m_darkRunOn && !damaged) {
            detectDarkRun(frame, features[kivo::kGreySpread]);
        }
        if (m_networkOn) {
            detectByNetwork(frame, features[kivo::kCutScore]);
        }
    }
    if (m_report == -1.0) {
        return -1.0;
    }
    const double announced = m_report;
    m_report = -1.0;
    return announced;
}

void CSceneCutDetector::detectDarkRun(double frame, double greySpread) {
    if (m_pendingDarkStart == -1.0) {
        if (greySpread < kDarkSpread) {
            m_pendingDarkStart = m_darkestFrame = frame;
            m_darkestSpread = greySpread;
            if (frame == 0.0) {
                m_darkRunFromStart = true;
            }
        }
        return;
    }
    if (greySpread < kDarkSpread) {
        if (greySpread < m_darkestSpread) {
            m_darkestFrame = frame;
            m_darkestSpread = greySpread;
        }
        return;
    }
    // The run has ended.
    if (m_darkRunFromStart) {
        // The video opened on it: the first scene already starts there.
        m_pendingDarkStart = -1.0;
        m_darkRunFromStart = false;
        return;
    }
    cut(m_darkestFrame + 1.0);
}

void CSceneCutDetector::detectByNetwork(double frame, double score) {
    if (score > kCandidateScore) {
        if (m_oddPicturesDropped && isOddPicture(frame)) {
            m_candidates.pop_back();
            m_quietCount = m_quietBeforeLast + 2.0;
        } else {
            if (m_candidates.empty() && m_frames) {
                // The several-candidate check compares the frame before a run with the one
                // after it, which may be far behind by then.
                m_frames->hold(frame);
            }
            m_candidates.push_back(frame);
            m_quietBeforeLast = m_quietCount;
            m_quietCount = 0.0;
        }
    } else {
        m_quietCount += 1.0;
    }
    if (m_quietCount < kQuietFrames || m_candidates.empty()) {
        return;
    }
    if (m_candidates.size() == 1) {
        const double candidate = m_candidates.front();
        const kivo::FrameFeatures *stored = storedFeatures(candidate);
        if (stored && (*stored)[kivo::kCutScore] > m_threshold) {
            cut(candidate + 1.0);
        } else {
            reset();
        }
        return;
    }
    judgeSeveralCandidates();
}

bool CSceneCutDetector::isOddPicture(double frame) {
    // Damaged pictures the walk stepped over leave gaps: the pair before this one is the
    // previous entry.
    const size_t entries = m_historyFrames.size();
    if (m_candidates.empty() || entries < 2 ||
        m_candidates.back() != m_historyFrames[entries - 2]) {
        return false;
    }
    const double score = spanScore(pictureBefore(m_candidates.back()), frame + 1.0);
    return score != -1.0 && !(score > kCandidateScore);
}

void CSceneCutDetector::judgeSeveralCandidates() {
    // Frames that change for a while (a flash, fast motion) give runs of candidates: they only
    // count as a cut when the frame before the run and the one after it differ as well.
    if (!(spanScore(pictureBefore(m_candidates.front()), m_candidates.back() + 1.0) >
          kCandidateScore)) {
        reset();
        return;
    }
    const kivo::FrameFeatures *best = nullptr;
    double bestFrame = -1.0;
    for (double candidate : m_candidates) {
        const kivo::FrameFeatures *stored = storedFeatures(candidate);
        if (stored && (!best || (*stored)[kivo::kCutScore] > (*best)[kivo::kCutScore])) {
            best = stored;
            bestFrame = candidate;
        }
    }
    if (best && (*best)[kivo::kCutScore] > m_threshold) {
        cut(bestFrame + 1.0);
    } else {
        reset();
    }
}

double CSceneCutDetector::spanScore(double first, double last) {
    const CDib *before = m_frames ? m_frames->greyFrame(first) : nullptr;
    const kivo::GreyPlane beforePlane = before ? kivo::greyPlaneOf(*before) : kivo::GreyPlane{};
    const CDib *later = m_frames ? m_frames->greyFrame(last) : nullptr;
    const kivo::GreyPlane laterPlane = later ? kivo::greyPlaneOf(*later) : kivo::GreyPlane{};
    if (!beforePlane.rows || !laterPlane.rows || beforePlane.width != laterPlane.width ||
        beforePlane.height != laterPlane.height) {
        return -1.0;
    }
    kivo::GreyHistogram beforeHistogram;
    kivo::GreyHistogram laterHistogram;
    kivo::computeGreyHistogram(beforePlane, beforeHistogram);
    return kivo::analyzeFramePair(beforePlane, laterPlane, beforeHistogram, laterHistogram,
                                  m_network)[kivo::kCutScore];
}

double CSceneCutDetector::pictureBefore(double frame) const {
    // The later picture of the entry before; without one, no picture was stepped over.
    for (size_t i = m_historyFrames.size(); i-- > 1;) {
        if (m_historyFrames[i] == frame) {
            return m_historyFrames[i - 1] + 1.0;
        }
    }
    return frame;
}

const kivo::FrameFeatures *CSceneCutDetector::storedFeatures(double frame) const {
    // The frames asked for are recent: search from the newest entry.
    for (size_t i = m_history.size(); i-- > 0;) {
        if (m_historyFrames[i] == frame) {
            return &m_history[i];
        }
    }
    return nullptr;
}

void CSceneCutDetector::cut(double frame) {
    if (frame == 0.0) {
        return;
    }
    CSceneNode *scene = m_levelOne->addChild(frame);
    if (!scene) {
        reset();
        return;
    }
    const kivo::FrameFeatures *ending = storedFeatures(frame - 1.0);
    m_lastCutScore = ending ? (*ending)[kivo::kCutScore] : 0.0;

    // Keep only the history of the new scene, so the next cut compares within it.
    size_t keepFrom = 0;
    while (keepFrom < m_historyFrames.size() && m_historyFrames[keepFrom] < frame) {
        ++keepFrom;
    }
    m_history.erase(m_history.begin(), m_history.begin() + static_cast<ptrdiff_t>(keepFrom));
    m_historyFrames.erase(m_historyFrames.begin(),
                          m_historyFrames.begin() + static_cast<ptrdiff_t>(keepFrom));

    m_currentScene = scene;
    m_report = frame;
    reset();
}

void CSceneCutDetector::reset() {
    m_pendingDarkStart = -1.0;
    m_candidates.clear();
    m_quietCount = 0.0;
}
