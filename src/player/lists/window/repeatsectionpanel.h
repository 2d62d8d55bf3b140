#pragma once

#include <memory>

#include "uisupport/panelpage.h"

class CPlayerSession;
class CPlayerTransport;
class QAbstractButton;
class QLineEdit;
class QMenu;
class QTreeWidget;
class QTreeWidgetItem;

// The repeat sections page: the open video's named time ranges with their repeat counts, a list
// view to browse, delete and choose them for repeat playback, and an edit view to add or change
// one (times taken from the player's position). Every edit marks the description changed;
// repeat playback itself is the transport's.
class CRepeatSectionPanel : public CPanelPage {
    Q_OBJECT

public:
    static constexpr int kDialogId = 307;
    enum Control {
        kList = 1054,
        kSetButton = 1055,
        kModifyButton = 1056,
        kDeleteButton = 1057,
        kAddButton = 1058,
        kOkButton = 1062,
        kCancelButton = 1063,
        kTitleEdit = 1153,
        kStartEdit = 1154,
        kEndEdit = 1155,
        kCountEdit = 1190,
        kTakeStartButton = 1202,
        kTakeEndButton = 1203,
        kGoToStartButton = 1204,
        kGoToEndButton = 1205,
    };
    enum Command {
        kDeleteSections = 32833,
        kModifySection = 32834,
        kSelectAll = 32835,
        kClearSelection = 32836,
        kSaveSections = 32837,
        kSetRepeatList = 32838,
    };
    enum Mode { kBrowsing, kAdding, kModifying };

    CRepeatSectionPanel(CPlayerSession &session, CPlayerTransport &transport,
                        QWidget *parent = nullptr);

    // A button of either view or a menu command: 1 done, 0 refused (with its message).
    int runCommand(int id);
    // The context menu "반복 구간"; onRow: the click was on a row.
    std::unique_ptr<QMenu> contextMenu(bool onRow);

    Mode mode() const { return m_mode; }
    bool isEditViewShown() const;
    QTreeWidget &list() { return *m_list; }
    QLineEdit *edit(int id) const;
    QAbstractButton *button(int id) const;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void reset();
    void fill();
    void setRowTexts(QTreeWidgetItem &item, int row);
    void showEditView(bool edit);
    void beginEdit(Mode mode);
    void fillEdits(int row);
    int confirm();
    int deleteSelected();
    int setRepeatList();
    int goTo(int editId);
    void takePosition(int editId);
    void layOutListView();
    void layOutEditView();

    CPlayerSession &m_session;
    CPlayerTransport &m_transport;
    QWidget *m_listView;
    QWidget *m_editView;
    QTreeWidget *m_list;
    Mode m_mode = kBrowsing;
    int m_modifiedRow = -1;
};
