#pragma once

#include <QDialog>

#include "player/scenes/basictreeplan.h"

class CPlayerSession;
class CSceneImageTree;
class COVFlatButton;
class COVFlatComboBox;
class COVGProgress;

// The basic tree dialog: the interval and the number of scenes, and the construction with its
// progress. While it builds, the player is busy (its other windows are disabled); Start becomes
// Stop, and stopping or closing asks first.
class CBasicTreeDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int kDialogId = 363;

    CBasicTreeDlg(CPlayerSession &session, CSceneImageTree &tree, QWidget *parent = nullptr);
    ~CBasicTreeDlg() override;

    COVFlatComboBox &intervalBox() { return *m_interval; }
    COVFlatComboBox &countBox() { return *m_count; }
    COVFlatButton &startButton() { return *m_start; }
    COVGProgress &progressBar() { return *m_progress; }
    bool isRunning() const { return m_running; }
    // A construction ran to its report of 100 (stopped ones included).
    bool hasBuilt() const { return m_built; }

    // The start button: reads the fields and builds, or while building offers to stop.
    void pressStart();

protected:
    void reject() override;

private:
    bool readRequest(kivo::scenes::BasicTreeRequest &request);
    void build(const kivo::scenes::BasicTreeRequest &request);
    void onProgress(int percent);

    CPlayerSession &m_session;
    CSceneImageTree &m_tree;
    COVFlatComboBox *m_interval;
    COVFlatComboBox *m_count;
    COVFlatButton *m_start;
    COVFlatButton *m_end;
    COVGProgress *m_progress;
    bool m_running = false;
    bool m_built = false;
};

// The progress of extracting the thumbnails again after the tree changed its scale; it runs the
// job as soon as it is shown and closes at its end. Stop asks first.
class CTreeProgressDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int kDialogId = 365;

    CTreeProgressDlg(CPlayerSession &session, CSceneImageTree &tree, QWidget *parent = nullptr);
    ~CTreeProgressDlg() override;

    COVGProgress &progressBar() { return *m_progress; }
    int exec() override;

protected:
    void reject() override;

private:
    CPlayerSession &m_session;
    CSceneImageTree &m_tree;
    COVGProgress *m_progress;
    bool m_running = false;
};
