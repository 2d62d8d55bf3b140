#pragma once

#include <memory>

#include "uisupport/panelpage.h"

class CPlayerSession;
class QAbstractButton;
class QLineEdit;
class QMenu;
class QSlider;
class QTreeWidget;

// The caption editor page of the information container: the open video's captions in time
// order with their times, the edits of one caption's time and text, the slider that nudges the
// time within 20 seconds around the player's position while the picture follows, and add,
// modify and delete. The page works on the caption list of the session's description; every
// edit marks it changed. A caption double-clicked is played from and shown in the caption box
// (through the session's caption shown now).
class CCaptionEditPanel : public CPanelPage {
    Q_OBJECT

public:
    static constexpr int kDialogId = 396;
    static constexpr int kMaxTextLength = 75;
    enum Control {
        kList = 1158,
        kSlider = 1159,
        kTimeEdit = 1162,
        kTextEdit = 1163,
        kTimeButton = 1164,
        kDeleteButton = 1165,
        kModifyButton = 1166,
        kAddButton = 1167,
    };
    enum Command {
        kDeleteCaptions = 32829,
        kSaveCaptions = 32831,
        kModifyCaption = 32839,
        kAddCaption = 32840,
        kExportSami = 32951,
    };

    explicit CCaptionEditPanel(CPlayerSession &session, QWidget *parent = nullptr);

    // A button or a menu command: 1 done, 0 refused (with its message) or nothing to do.
    int runCommand(int id);
    // The context menu "캡션"; onRow: the click was on a row.
    std::unique_ptr<QMenu> contextMenu(bool onRow);
    // The slider came to `position`: the time moves with it, or the slider goes back.
    void nudge(int position);
    // A row clicked once (its text into the text edit) or twice (played from, shown).
    void rowClicked(int row);
    void rowDoubleClicked(int row);

    QTreeWidget &list() { return *m_list; }
    QSlider &slider() { return *m_slider; }
    int sliderBase() const { return m_sliderBase; }
    QLineEdit *edit(int id) const;
    QAbstractButton *button(int id) const;

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void reset();
    void fill();
    void setEnabledControls(bool on);
    void setTimeText(double time);
    void resetSlider();
    int addCaption();
    int modifyCaption();
    int deleteSelected();
    int exportSami();
    void takePlayerPosition();
    // Sorts, refills and selects the first caption at `time`.
    void placeAt(double time);

    CPlayerSession &m_session;
    QTreeWidget *m_list;
    QSlider *m_slider;
    int m_sliderBase = 0;
};
