#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

#include "platform/netfetch.h"
#include "player/captions/samireader.h"

// Where a SAMI document comes from: a local file, or an http/https address that is downloaded.
namespace kivo::captions {

// What a download may take: 10 s for the whole of it, not only a silence, 16 MiB and five
// redirects. An address that hangs, trickles or sends without end is given up rather than
// waited for.
inline constexpr kivo::net::CFetchLimits kSamiDownloadLimits{16 * 1024 * 1024, 10'000, 5};

// The bytes at `location`: a local file when one is there, else a download of an http or
// https address (redirects followed, within the limits). Nothing when neither gives the whole
// document. A download runs a local event loop until it ends.
std::optional<QByteArray> fetchSamiBytes(
    const QString &location, const kivo::net::CFetchLimits &limits = kSamiDownloadLimits);

// The SAMI document at `location` read into its entries; nothing when it cannot be fetched or
// holds no SYNC element.
std::optional<std::vector<CSamiEntry>> loadSami(
    const QString &location, const kivo::net::CFetchLimits &limits = kSamiDownloadLimits);

}  // namespace kivo::captions
