#pragma once

#include <vector>

#include "segmenter/framefeatures.h"

class CGreyFrameSource;
class CNeuralNetwork;
class CSceneNode;
class CVideoDescription;

// Decides where scenes change, one frame pair at a time, and grows the scene tree as it goes:
// the description's root gets one level-1 node at frame 0 holding every scene, the first at 0.
//
// Two detectors work side by side. The dark-run detector cuts after the darkest frame of a run of
// frames whose grey spread is below 20 (a fade or a black passage), unless the video opened on
// that run. The network detector collects frames whose cut score exceeds 0.5 as candidates and,
// once five quieter frames have followed, confirms the best one when its score exceeds the
// threshold; when several candidates compete it first checks that the frames before the first
// and after the last really differ. A cut by either detector clears the other's pending state.
class CSceneCutDetector {
public:
    static constexpr double kCandidateScore = 0.5;
    static constexpr double kDarkSpread = 20.0;
    static constexpr double kQuietFrames = 5.0;
    static constexpr double kDefaultThreshold = 0.95;

    // Empties the description's scene tree and starts it afresh. `frames` may be null: the
    // several-candidate check then never confirms.
    CSceneCutDetector(CGreyFrameSource *frames, CNeuralNetwork &network,
                      CVideoDescription &description);
    CSceneCutDetector(const CSceneCutDetector &) = delete;
    CSceneCutDetector &operator=(const CSceneCutDetector &) = delete;

    void setNetworkDetectorOn(bool on) { m_networkOn = on; }
    void setDarkRunDetectorOn(bool on) { m_darkRunOn = on; }
    void setThreshold(double threshold) { m_threshold = threshold; }
    // Where every picture stands alone (Motion JPEG), damage the decoder cannot notice (a wrong
    // DC difference shifts the colours of the rest of a JPEG picture) makes single odd pictures.
    // With this on, a picture unlike both its neighbours while they look alike takes back the
    // two candidate pairs around it, so that such pictures neither cut nor hide a real cut.
    void setOddPicturesDropped(bool on) { m_oddPicturesDropped = on; }

    // One step for the pair (frame, frame + 1): stores the features and runs the detectors.
    // Returns the first frame of a scene announced by this step, or -1. The first step announces
    // the first scene, frame 0. Frame -1 stores the features without running the detectors.
    // `damaged` tells that the pair's later picture shows concealed damage: the flat grey of a
    // concealed stretch is no fade, so the dark-run detector passes over such pictures.
    double process(double frame, const kivo::FrameFeatures &features, bool damaged = false);

    // The cut score of the pair that ends at the last announced scene's first frame; 0 for the
    // first scene, which no pair ends at.
    double lastCutScore() const { return m_lastCutScore; }

    double pendingDarkStart() const { return m_pendingDarkStart; }
    bool darkRunFromStart() const { return m_darkRunFromStart; }
    double quietCount() const { return m_quietCount; }
    const std::vector<double> &candidates() const { return m_candidates; }
    // First frame of the scene being built and the frames its feature history covers.
    double currentSceneFrame() const;
    size_t historySize() const { return m_history.size(); }

private:
    void detectDarkRun(double frame, double greySpread);
    void detectByNetwork(double frame, double score);
    // True when the pair before `frame` (the previous entry, `frame` - 1 unless pictures were
    // stepped over) is the last candidate and the pictures on either side of its later picture
    // look alike: the two pairs around that picture differ only because it does.
    bool isOddPicture(double frame);
    void judgeSeveralCandidates();
    // The cut score between two stored grey frames, or -1 when either is not at hand.
    double spanScore(double first, double last);
    // The earlier picture of the pair (`frame`, `frame` + 1) as walked: `frame` itself, or an
    // earlier picture when the walk stepped over pictures before `frame` + 1.
    double pictureBefore(double frame) const;
    // The stored features of `frame`, or null when the history holds no entry for it.
    const kivo::FrameFeatures *storedFeatures(double frame) const;
    void cut(double frame);
    void reset();

    CGreyFrameSource *m_frames;
    CNeuralNetwork &m_network;
    CSceneNode *m_levelOne;
    CSceneNode *m_currentScene;

    double m_pendingDarkStart = -1.0;
    // The darkest frame of the pending run so far.
    double m_darkestFrame = -1.0;
    double m_darkestSpread = 0.0;
    bool m_darkRunFromStart = false;
    bool m_networkOn = true;
    bool m_darkRunOn = true;
    bool m_oddPicturesDropped = false;
    double m_report = 0.0;
    double m_quietCount = 0.0;
    double m_quietBeforeLast = 0.0;
    double m_threshold = kDefaultThreshold;
    double m_lastCutScore = 0.0;

    // One entry per processed frame of the current scene, oldest first, with the frame each
    // belongs to (frames that could not be fetched leave gaps).
    std::vector<kivo::FrameFeatures> m_history;
    std::vector<double> m_historyFrames;
    std::vector<double> m_candidates;
};
