#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

#include "player/captions/samireader.h"

// Where a SAMI document comes from: a local file, or an http/https address that is downloaded.
namespace kivo::captions {

// What a download may take. An address that hangs, trickles or sends without end is given up
// rather than waited for.
struct CDownloadLimits {
    int timeoutMs = 10'000;  // the whole download, not only a silence
    qint64 maxBytes = 16 * 1024 * 1024;
    int maxRedirects = 5;
};

// The bytes at `location`: a local file when one is there, else a download of an http or
// https address (redirects followed, within the limits). Nothing when neither gives the whole
// document. A download runs a local event loop until it ends.
std::optional<QByteArray> fetchSamiBytes(const QString &location,
                                         const CDownloadLimits &limits = {});

// The SAMI document at `location` read into its entries; nothing when it cannot be fetched or
// holds no SYNC element.
std::optional<std::vector<CSamiEntry>> loadSami(const QString &location,
                                                const CDownloadLimits &limits = {});

}  // namespace kivo::captions
