#pragma once

#include <QStringList>

#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "player/lists/foundfiles.h"
#include "uisupport/panelpage.h"

class CFinderTree;
class CPlayerSession;
class CPlaylistPlayer;
class COVFlatButton;
class COVFlatComboBox;
class COVFlatEdit;
class COVSeparator;
class QLabel;
class QMenu;

// The media finder page: searches a folder and its sub-folders for media files on a worker
// thread, shows them by kind and extension as they come, and plays them, hands them to the
// playlist or moves them to the trash. The found files and the searched folders are the control
// panel's lists, which it keeps between runs.
class CMediaFinderPanel : public CPanelPage {
    Q_OBJECT

public:
    static constexpr int kDialogId = 372;
    enum Command {
        kAddToPlaylist = 32918,
        kPlaySelected = 32919,
        kDeleteFiles = 32924,
    };

    // files: the found files (the tree is rebuilt from them); folders: the searched folders,
    // oldest first.
    CMediaFinderPanel(CPlayerSession &session, CPlaylistPlayer &player,
                      std::vector<kivo::lists::CFoundFile> &files, QStringList &folders,
                      QWidget *parent = nullptr);
    ~CMediaFinderPanel() override;

    // Starts searching the folder of the combo box; 0 when none is given.
    int search();
    // Ends the search at once; what was found stays.
    void stopSearch();
    bool isSearching() const { return m_searching; }
    // The folder browser; 0 when cancelled.
    int browse();
    // A menu command: 1 done, 0 refused or cancelled.
    int runCommand(int id);
    // The context menu "파일찾기"; onItem: the click was on an item.
    std::unique_ptr<QMenu> contextMenu(bool onItem);
    // Plays a found file by itself (a double click), outside the playlist's queue.
    int playFile(size_t index);

    CFinderTree &tree() { return *m_tree; }
    COVFlatComboBox &folderBox() { return *m_folder; }
    COVFlatEdit &sizeEdit() { return *m_size; }
    COVFlatEdit &pathEdit() { return *m_path; }
    COVFlatButton &searchButton() { return *m_search; }
    COVFlatButton &stopButton() { return *m_stop; }

signals:
    // A search ended, finished or stopped.
    void searchEnded();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    class CFoundFileBox;
    // Found files put into the tree in one turn of the event loop.
    static constexpr size_t kFilesPerTurn = 2048;
    void takeFound(quint64 generation, const std::shared_ptr<CFoundFileBox> &box);
    void endSearch();
    void rememberFolder(const QString &folder);
    void showSelectedFile();
    // Hands the selected files to the playlist; the first index of the new entries, or -1.
    qsizetype addSelectedToPlaylist();
    int deleteSelected();

    CPlayerSession &m_session;
    CPlaylistPlayer &m_player;
    std::vector<kivo::lists::CFoundFile> &m_files;
    QStringList &m_folders;
    COVFlatButton *m_browse;
    COVFlatButton *m_search;
    COVFlatButton *m_stop;
    COVFlatComboBox *m_folder;
    COVSeparator *m_topSeparator;
    CFinderTree *m_tree;
    COVSeparator *m_bottomSeparator;
    QLabel *m_sizeLabel;
    COVFlatEdit *m_size;
    QLabel *m_pathLabel;
    COVFlatEdit *m_path;
    bool m_searching = false;
    QString m_searchedFolder;
    // Batches of an earlier or stopped search that arrive late are recognised by their number
    // and dropped.
    quint64 m_generation = 0;
    // Last: it stops and joins before anything it posts to goes.
    std::jthread m_worker;
};
