#pragma once

#include <QDialog>
#include <QFont>
#include <atomic>
#include <map>
#include <memory>
#include <mutex>

#include "scene/videodescription.h"
#include "segmenter/neuralnetwork.h"
#include "segmenter/segmentation.h"
#include "uisupport/asker.h"

class CDib;
class CGraphPane;
class CImagePane;
class CSceneImageTree;
class CVideoManager;
class COVFlatButton;
class COVFlatEdit;
class COVGProgress;
class QLineEdit;

// The segmentation program's window (dialog 102): the user opens a video, starts the run,
// watches the frame just processed, the first frame of the last scene found, the cut score and
// the growing scene tree, and saves the scene description next to the video.
//
// The worker reports on its own thread. The handler copies what it keeps and queues the widget
// updates to this window's thread; every question is asked on this thread, and nothing the
// worker reads is saved or freed before the worker has ended.
class CSegmentationDlg : public QDialog {
    Q_OBJECT

public:
    // Control ids of the dialog template.
    enum ControlId {
        kFileNameEdit = 1019,
        kOpenButton = 1020,
        kSaveButton = 1027,
        kStartButton = 1005,
        kStopButton = 1017,
        kExitButton = 1026,
        kCurrentPane = 1003,
        kCutPane = 1004,
        kTreePlaceholder = 1127,
        kCurrentFrame = 1009,
        kCurrentTime = 1010,
        kScore = 1016,
        kGraph = 1018,
        kCutFrame = 1011,
        kCutTime = 1012,
        kTotalFrames = 1013,
        kTotalTime = 1014,
        kProgress = 1015,
    };

    // Button states.
    enum State { kIdle = 0, kOpened = 1, kRunning = 2, kStopped = 3, kFinished = 4 };

    explicit CSegmentationDlg(QWidget *parent = nullptr);
    ~CSegmentationDlg() override;

    // Commands (the buttons call them; tests call them directly).
    void openVideo();
    // Opens the given path as the open command does after its file dialog.
    bool openVideoPath(const QString &path);
    void start();
    void stop();
    void save();

    State state() const { return m_state; }
    bool unsaved() const { return m_unsaved; }
    QString fileName() const;
    const CVideoDescription *description() const { return m_description.get(); }
    // The tree the control shows: it follows the reports, so the worker's document is never
    // read while the worker writes it.
    const CVideoDescription &displayedTree() const { return m_displayed; }
    CSceneImageTree *sceneTree() const { return m_tree; }
    QWidget *control(int id) const;
    QString displayText(int id) const;
    int progress() const;
    bool workerRunning() const { return m_run.running(); }
    // Waits for the worker to end (its last report has been handed over).
    void waitForWorker();

    // Texts of the window.
    static const char *const kCaption;
    static const char *const kUnsupportedVideo;
    static const char *const kFinishedQuestion;
    static const char *const kStopQuestion;
    static const char *const kSaveSoFarQuestion;
    static const char *const kUnsavedQuestion;
    static const char *const kSaveFailed;
    static const char *const kSaveFilter;
    static QString openFilter();

signals:
    // Every report that reached the window, after its widgets were updated.
    void reportShown(double frame, double cutFrame, double score);

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    struct ReportCopy;

    void createControls();
    void placeControls();
    void setState(State state);
    void reset();
    void release();
    void showTime(int id, double frame);
    void setDisplay(int id, const QString &text);
    void resetDisplayedTree();
    void onReport(const SegmentationReport &report);
    void applyReport(const ReportCopy &report);
    void keepLatestPicture(const CDib &picture);
    std::unique_ptr<CDib> takeLatestPicture();
    void finishRun();
    // A yes/no question through the asker; true for yes.
    bool askYes(const char *question, kivo::ui::MessageIcon icon);

    CNeuralNetwork m_network;
    std::unique_ptr<CVideoManager> m_video;
    std::unique_ptr<CVideoDescription> m_description;
    CVideoDescription m_displayed;
    CSegmentationRun m_run;
    State m_state = kIdle;
    bool m_unsaved = false;
    double m_totalFrames = 0;
    // Reports of an earlier run or video that are still queued are recognised and dropped.
    std::atomic<int> m_generation{0};
    // The newest picture of the run: the worker overwrites it with every report, the window
    // takes it whenever it shows a report. A run faster than the screen never queues pictures.
    std::mutex m_pictureMutex;
    std::unique_ptr<CDib> m_latestPicture;

    QFont m_dialogFont;
    std::map<int, QWidget *> m_controls;
    std::map<int, QWidget *> m_labels;
    COVFlatEdit *m_fileName = nullptr;
    CImagePane *m_currentPane = nullptr;
    CImagePane *m_cutPane = nullptr;
    CGraphPane *m_graph = nullptr;
    COVGProgress *m_progress = nullptr;
    CSceneImageTree *m_tree = nullptr;
};

// Registers the window's tooltip strings (1081, 1082) in the string table.
void registerSegmentationStrings();
