#pragma once

#include <QWidget>
#include <memory>

class CPlayerSession;
class CSceneImageList;
class CSceneImageTree;
class QMenu;

// The frame strip page: the open video as one thumbnail a frame. A chosen cell moves the player
// to its frame; the context menu turns the chosen frame into a scene of the scene tree, brings
// the strip to the player's frame, lets it run either way, rescales it and saves a frame.
class CSceneListPanel : public QWidget {
    Q_OBJECT

public:
    static constexpr int kDialogId = 309;
    static constexpr int kListId = 106;
    static constexpr float kMinRate = 1.0f;
    static constexpr float kMaxRate = 5.0f;
    static constexpr float kRateStep = 0.5f;
    static constexpr int kScrollIntervalMs = 500;
    enum Command {
        kSaveImage = 32773,
        kSceneSplit = 32774,
        kSlowBackward = 32775,
        kSlowForward = 32776,
        kFastBackward = 32777,
        kFastForward = 32778,
        kStopScrolling = 32779,
        kRefresh = 32802,
        kEnlarge = 32813,
        kShrink = 32814,
    };

    // sizeRate: the stored scale (1.5 when not above 0); tree: where new scenes go.
    CSceneListPanel(CPlayerSession &session, float sizeRate, CSceneImageTree *tree,
                    QWidget *parent = nullptr);
    ~CSceneListPanel() override;

    CSceneImageList &list() { return *m_list; }
    float sizeRate() const;

    // 1 done, 0 refused or cancelled.
    int runCommand(int id);
    std::unique_ptr<QMenu> contextMenu();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void attachFile();
    int changeRate(float step);

    CPlayerSession &m_session;
    CSceneImageList *m_list;
};
