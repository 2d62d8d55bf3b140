#pragma once

#include <QString>

#include <cstdint>
#include <vector>

// A Windows Media metafile playlist (ASX, WAX, WVX) or an M3U list, read into items and walked
// entry by entry by the control panel. Times are media time in 100-nanosecond units.

// One address of an item, with the part of it to play.
struct CPlaylistSource {
    QString url;
    double start = 0;     // 0 when not given
    double duration = 0;  // 0 when not given (play to the end)
    uint32_t startMarker = 0;
    uint32_t endMarker = 0;
    QString startMarkerName;
    QString endMarkerName;
    double scanDuration = 0;  // preview length; 0 when not given
};

// One entry of the list. Its sources are played one after the other.
struct CMetafileEntry {
    // The user may skip past the item (ENTRY CLIENTSKIP="NO" clears it).
    enum EFlags : uint32_t { CanSkip = 0x1 };

    uint32_t flags = CanSkip;
    QString linkUrl;
    std::vector<CPlaylistSource> sources;
};

// The one repeated block of the list: items startItem .. endItem - 1 are played `count` times
// in all. endItem is one past the block's last item, so a list without a repeat has all zero.
struct CPlaylistRepeat {
    // A REPEAT without a count repeats for as long as the user lets it.
    static constexpr uint32_t kIndefinite = UINT32_MAX;

    uint32_t count = 0;
    uint32_t startItem = 0;
    uint32_t endItem = 0;
};

class CMetafilePlaylist {
public:
    CMetafilePlaylist() = default;
    CMetafilePlaylist(std::vector<CMetafileEntry> items, CPlaylistRepeat repeat);

    const std::vector<CMetafileEntry> &items() const { return m_items; }
    const CPlaylistRepeat &repeat() const { return m_repeat; }
    bool isEmpty() const { return m_items.empty(); }

    // Hands out the next source to play and advances the cursor. With forceNext the rest of
    // the current item is skipped. Returns false, with empty outputs, when the list is empty or
    // its end was reached; the cursor then starts again at the first item.
    bool nextEntry(QString &url, double &start, double &duration, bool forceNext);

    // Back to the first source of the first item, repeat passes forgotten.
    void rewind();

private:
    // Moves the cursor to the following item, going back to the start of the repeated block
    // while passes remain. Returns false at the end of the list.
    bool advanceItem();

    std::vector<CMetafileEntry> m_items;
    CPlaylistRepeat m_repeat;
    size_t m_item = 0;
    size_t m_source = 0;
    uint32_t m_passes = 0;
};
