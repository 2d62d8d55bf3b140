#include "media/playback/metafileplaylist.h"

#include <utility>

CMetafilePlaylist::CMetafilePlaylist(std::vector<CMetafileEntry> items, CPlaylistRepeat repeat)
    : m_items(std::move(items)), m_repeat(repeat) {
    // A block that does not lie inside the list, or holds no item, cannot be repeated.
    if (m_repeat.endItem > m_items.size() || m_repeat.startItem >= m_repeat.endItem) {
        m_repeat = CPlaylistRepeat{};
    }
}

void CMetafilePlaylist::rewind() {
    m_item = 0;
    m_source = 0;
    m_passes = 0;
}

bool CMetafilePlaylist::advanceItem() {
    ++m_item;
    if (m_repeat.count > 0 && m_item == m_repeat.endItem) {
        ++m_passes;
        if (m_passes < m_repeat.count) {
            m_item = m_repeat.startItem;
        }
    }
    m_source = 0;
    return m_item < m_items.size();
}

bool CMetafilePlaylist::nextEntry(QString &url, double &start, double &duration, bool forceNext) {
    url.clear();
    start = 0;
    duration = 0;
    if (m_items.empty()) {
        return false;
    }
    bool more = m_item < m_items.size();
    if (more && (forceNext || m_source >= m_items[m_item].sources.size())) {
        more = advanceItem();
    }
    // Items without any source are passed over; each item is looked at at most once per call
    // so that a block of empty items cannot keep this loop going.
    for (size_t looked = 0; more && m_items[m_item].sources.empty(); ++looked) {
        more = looked < m_items.size() && advanceItem();
    }
    if (!more) {
        rewind();
        return false;
    }
    const CPlaylistSource &source = m_items[m_item].sources[m_source];
    url = source.url;
    start = source.start;
    duration = source.duration;
    ++m_source;
    return true;
}
