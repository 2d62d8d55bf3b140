#pragma once

#include <memory>

#include "uisupport/panelpage.h"

class CPlayerSession;
class CSceneImageTree;
class CSceneNode;
class COVFlatEdit;
class COVFlatButton;
class COVSeparator;
class QLabel;
class QMenu;

// The scene tree page: the open video's scene tree as thumbnails, the selected scene's title
// and comment, and the tree's operations. The page keeps no scene data of its own: the tree
// control works on the session's description and grabber, titles and comments go straight into
// the selected scene, and seeking and saving go through the control panel.
class CSceneTreePanel : public CPanelPage {
    Q_OBJECT

public:
    static constexpr int kDialogId = 229;
    static constexpr int kTreeId = 105;
    static constexpr float kMinRate = 1.0f;
    static constexpr float kMaxRate = 5.0f;
    static constexpr float kRateStep = 0.5f;
    // The buttons and the context menu's commands.
    enum Command {
        kAddButton = 1212,
        kModifyButton = 1213,
        kDeleteButton = 1214,
        kMerge = 32774,
        kSplit = 32775,
        kSaveImage = 32776,
        kBasicTree = 32810,
        kEnlarge = 32811,
        kShrink = 32812,
        kSaveTree = 32826,
    };

    // sizeRate: the stored thumbnail scale (1.0 when not above 0).
    CSceneTreePanel(CPlayerSession &session, float sizeRate, QWidget *parent = nullptr);
    ~CSceneTreePanel() override;

    CSceneImageTree &tree() { return *m_tree; }
    float sizeRate() const;
    COVFlatEdit &titleEdit() { return *m_title; }
    COVFlatEdit &commentEdit() { return *m_comment; }
    COVFlatButton *button(int id) const;

    // Runs a button or menu command: 1 done, 0 refused or cancelled.
    int runCommand(int id);
    // The context menu with its items greyed as the tree's state says; the chosen item's
    // command is the action's data.
    std::unique_ptr<QMenu> contextMenu();
    // Builds a basic tree after its two questions (whether to stop playback, whether to replace
    // the tree; the control panel's menu asks them the other way round). 1 when built.
    int runBasicTree(bool rebuildQuestionFirst);
    // The scenes of a file from a scene file get their pictures once, with the progress dialog,
    // before they are first shown. 0 when the user stopped it (then it is offered again).
    int prepareSceneImagesOnce();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void attachFile();
    void onSceneSelected(CSceneImageTree *tree, CSceneNode *node);
    void followFileState();
    int addSceneAtCurrentFrame();
    int modifySelected();
    int changeRate(float step);

    CPlayerSession &m_session;
    CSceneImageTree *m_tree;
    COVFlatButton *m_add;
    COVFlatButton *m_modify;
    COVFlatButton *m_delete;
    QLabel *m_titleLabel;
    QLabel *m_commentLabel;
    COVFlatEdit *m_title;
    COVFlatEdit *m_comment;
    COVSeparator *m_lower;
    bool m_imagesPrepared = false;
};
