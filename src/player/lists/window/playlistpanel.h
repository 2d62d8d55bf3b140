#pragma once

#include <memory>

#include "uisupport/panelpage.h"

class CPlayerSession;
class CPlayerTransport;
class CPlaylistPlayer;
class COVFlatButton;
class COVSeparator;
class QCheckBox;
class QMenu;
class QTreeWidget;

// The playlist page: one row per shown playlist entry (its kind's icon and its upper-cased file
// name), the commands that add, delete, sort and select entries, load and save .mpl files, and
// the buttons that hand the selection to the playlist player as its queue or release it.
// Unsupported entries stay in the playlist without a row.
class CPlaylistPanel : public CPanelPage {
    Q_OBJECT

public:
    static constexpr int kDialogId = 441;
    enum Command {
        kAddFiles = 32911,
        kDeleteEntries = 32913,
        kSelectAll = 32915,
        kPlayNow = 32916,
        kSaveList = 32920,
        kOpenList = 32921,
        kSortByKind = 32926,
        kSortByName = 32927,
    };

    CPlaylistPanel(CPlayerSession &session, CPlayerTransport &transport, CPlaylistPlayer &player,
                   QWidget *parent = nullptr);

    // Rebuilds the rows from the playlist.
    void refresh();
    // Selects and shows the row of the entry with this path, clearing other selections.
    void selectEntry(const QString &path);
    // A menu command: 1 done, 0 refused, cancelled or failed.
    int runCommand(int id);
    // 설정: the selection (everything when at most the first row is selected) becomes the
    // queue, and its first file plays.
    int setQueue();
    // 해제: playback leaves the queue.
    int releaseQueue();
    // The context menu "재생목록"; onRow: the click was on a row.
    std::unique_ptr<QMenu> contextMenu(bool onRow);

    QTreeWidget &list() { return *m_list; }
    QCheckBox &randomBox() { return *m_random; }
    QCheckBox &repeatBox() { return *m_repeat; }
    COVFlatButton &setButton() { return *m_set; }
    COVFlatButton &releaseButton() { return *m_release; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    // The playlist index of every selected row, top to bottom.
    std::vector<size_t> selectedEntries() const;
    void showEntriesFrom(qsizetype first);
    int addFiles();
    int deleteSelected();
    int sort(bool byName);
    int openList();
    int saveList();
    void listChanged();

    CPlayerSession &m_session;
    CPlayerTransport &m_transport;
    CPlaylistPlayer &m_player;
    QTreeWidget *m_list;
    COVSeparator *m_bottomSeparator;
    QCheckBox *m_random;
    QCheckBox *m_repeat;
    COVFlatButton *m_set;
    COVFlatButton *m_release;
};
