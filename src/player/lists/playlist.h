#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "player/lists/mediakind.h"

// The player's playlist: an ordered list of media files and internet addresses.
namespace kivo::lists {

// One entry. The kind follows from the path's extension and is fixed with it.
class CPlaylistEntry {
public:
    explicit CPlaylistEntry(std::string path);

    const std::string &path() const { return m_path; }
    MediaKind kind() const { return m_kind; }
    // Unsupported entries stay in the list (and in its file) but get no row in the panel.
    bool shown() const { return m_kind != kUnsupported; }

    bool operator==(const CPlaylistEntry &) const = default;

private:
    std::string m_path;
    MediaKind m_kind;
};

class CPlaylist {
public:
    const std::vector<CPlaylistEntry> &entries() const { return m_entries; }
    size_t size() const { return m_entries.size(); }
    bool empty() const { return m_entries.empty(); }

    // What the user adds: a supported path is appended and true returned; an unsupported one is
    // refused (the panel says so) and the list stays as it was.
    bool add(std::string path);
    // What a list file holds: appended whatever its kind.
    void append(std::string path);
    // Removes the entries at these indices (any order, duplicates and indices past the end
    // ignored); answers how many were removed.
    size_t remove(std::vector<size_t> indices);
    void clear() { m_entries.clear(); }

    // The two orders of the panel's sort commands, each the same exchange sort: by kind, or by
    // kind and then the upper-cased file name compared byte-wise. Lists of fewer than two
    // entries are left alone.
    void sortByKind();
    void sortByKindThenName();

private:
    template <typename Before>
    void exchangeSort(Before before);

    std::vector<CPlaylistEntry> m_entries;
};

}  // namespace kivo::lists
