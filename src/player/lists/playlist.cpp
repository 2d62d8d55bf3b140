#include "player/lists/playlist.h"

#include <algorithm>
#include <utility>

namespace kivo::lists {

CPlaylistEntry::CPlaylistEntry(std::string path)
    : m_path(std::move(path)), m_kind(kindOfPath(m_path)) {}

bool CPlaylist::add(std::string path) {
    CPlaylistEntry entry(std::move(path));
    if (!entry.shown()) {
        return false;
    }
    m_entries.push_back(std::move(entry));
    return true;
}

void CPlaylist::append(std::string path) {
    m_entries.emplace_back(std::move(path));
}

size_t CPlaylist::remove(std::vector<size_t> indices) {
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    indices.erase(std::lower_bound(indices.begin(), indices.end(), m_entries.size()),
                  indices.end());
    // Walk down, so the indices still to come keep pointing at their entries.
    for (auto it = indices.rbegin(); it != indices.rend(); ++it) {
        m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(*it));
    }
    return indices.size();
}

// A plain exchange sort rather than std::sort: its exact swaps decide where entries that
// compare equal end up, and the panel's rows follow that order.
template <typename Before>
void CPlaylist::exchangeSort(Before before) {
    if (m_entries.size() < 2) {
        return;
    }
    for (size_t i = 0; i + 1 < m_entries.size(); ++i) {
        for (size_t j = i + 1; j < m_entries.size(); ++j) {
            if (before(m_entries[j], m_entries[i])) {
                std::swap(m_entries[i], m_entries[j]);
            }
        }
    }
}

void CPlaylist::sortByKind() {
    exchangeSort(
        [](const CPlaylistEntry &a, const CPlaylistEntry &b) { return a.kind() < b.kind(); });
}

void CPlaylist::sortByKindThenName() {
    exchangeSort([](const CPlaylistEntry &a, const CPlaylistEntry &b) {
        if (a.kind() != b.kind()) {
            return a.kind() < b.kind();
        }
        // std::string compares as unsigned bytes, like the multibyte comparison of the names.
        return upperFileName(b.path()) > upperFileName(a.path());
    });
}

}  // namespace kivo::lists
