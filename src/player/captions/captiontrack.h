#pragma once

#include <QByteArray>
#include <QString>

#include <span>

#include "player/captions/samireader.h"

// The captions of a SAMI document as a track the playback engine reads: an SRT subtitle file in
// UTF-8 of the one language the reader chose. The engine's own SAMI reading is not used, because
// it merges the sections of a file with several languages by time and shows them in turns.
namespace kivo::captions {

// SRT of the entries: each caption with text shows from its start until the next entry with a
// later start (an empty entry only clears), the last one for a minute; entries are taken in
// time order (equal starts in document order, the last of them kept), negative starts as 0.
QByteArray srtBytes(std::span<const CSamiEntry> entries);

// Writes the track of the SAMI document at `location` (a file or an address) into `folder`,
// named after the location so that each document has one track that a later open rewrites.
// The path of the track, or empty when the document could not be read or the track written.
QString writeCaptionTrack(const QString &location, const QString &folder);

// The folder of the tracks: the user's cache folder of the program.
QString captionTrackFolder();

}  // namespace kivo::captions
