#pragma once

#include "media/playback/metafileplaylist.h"

#include <QByteArray>
#include <QString>

// Reading of metafile playlists: Windows Media ASX/WAX/WVX (XML, element and attribute names in
// any case) and M3U/M3U8. Relative addresses are resolved against the list's folder (or its
// BASE element). Malformed input gives false with a reason, never a partial list.

enum class EMetafileKind { None, Asx, M3u };

// Upper bounds that keep a hostile list from taking the player's memory or time.
constexpr qint64 kMaxMetafileBytes = 4 * 1024 * 1024;
constexpr size_t kMaxMetafileItems = 10000;
constexpr size_t kMaxMetafileSourcesPerItem = 64;

// Decides from the first bytes of a file (and its extension, without the dot) whether it is a
// playlist: "<ASX" (after an optional XML declaration and comments) in any file, "#EXTM3U" in
// any file, or text in a file named .m3u/.m3u8. Binary media never counts, whatever its name.
EMetafileKind sniffMetafile(const QByteArray &head, const QString &suffix);

// Looks at the file on disk; None when it cannot be read.
EMetafileKind metafileKind(const QString &path);

// Reads the whole list. False (with the reason in *error when given) when the file is not a
// playlist, cannot be read, is malformed or holds no playable entry.
bool readMetafilePlaylist(const QString &path, CMetafilePlaylist &playlist,
                          QString *error = nullptr);

// The parsers behind readMetafilePlaylist, on bytes already in memory. baseDir resolves
// relative addresses.
//
// ASX lists as published are often not well-formed XML; one that does not declare entities is
// then read forgivingly (unclosed REF, ENTRY and REPEAT elements close where the next begins or
// the list ends; a value whose closing quote is missing ends with its tag). ENTRYREF brings in
// the entries of a nested list where it stands: local ASX and M3U lists are read (at most 8
// levels deep, each file once; listPath, the list's own file, is not read again), a network list
// stays an entry with its address.
bool parseAsxPlaylist(const QByteArray &bytes, const QString &baseDir, CMetafilePlaylist &playlist,
                      QString *error = nullptr, const QString &listPath = {});
bool parseM3uPlaylist(const QByteArray &bytes, const QString &baseDir, CMetafilePlaylist &playlist,
                      QString *error = nullptr);

// Text of a metafile: UTF-8/16/32 by byte-order mark, else UTF-8 when valid, else the ANSI code
// page 949 of the lists written on Korean Windows.
QString decodeMetafileText(const QByteArray &bytes);

// An entry's address made usable: addresses with a scheme, absolute paths and drive-letter paths
// stay as they are; relative ones are joined to base (a folder or a URL).
QString resolveMetafileAddress(const QString &href, const QString &base);
