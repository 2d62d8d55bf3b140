#pragma once

#include <vector>

#include "player/lists/foundfiles.h"
#include "uisupport/flatcontrols.h"

// The media finder's tree: "Media files" with "Video" and "Audio" under it, one node per
// extension under those, and the found files under their extension. A file item knows its
// index in the found-file list.
class CFinderTree : public COVTreeCtrl {
    Q_OBJECT

public:
    explicit CFinderTree(QWidget *parent = nullptr);

    // Back to the three fixed nodes.
    void resetGroups();
    // Files the tree shows: every file of the list from `first` on.
    void insertFiles(const std::vector<kivo::lists::CFoundFile> &files, size_t first);
    // Expands the three fixed nodes.
    void expandGroups();

    QTreeWidgetItem *videoNode() const { return m_video; }
    QTreeWidgetItem *audioNode() const { return m_audio; }
    // The found-file index of a file item; -1 for the other nodes.
    static qsizetype fileIndex(const QTreeWidgetItem *item);
    // The indices of the selected file items, in ascending order.
    std::vector<size_t> selectedFiles() const;
    // Deletes the items of these files (ascending indices) and renumbers the rest, as the list
    // loses the same files.
    void removeFiles(const std::vector<size_t> &removed);

private:
    QTreeWidgetItem *extensionNode(const QString &extension, int kind);
    template <typename Visit>
    void forEachFileItem(Visit visit) const;

    QTreeWidgetItem *m_root = nullptr;
    QTreeWidgetItem *m_video = nullptr;
    QTreeWidgetItem *m_audio = nullptr;
};
