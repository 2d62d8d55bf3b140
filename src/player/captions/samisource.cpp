#include "player/captions/samisource.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <span>

namespace kivo::captions {

namespace {

std::optional<QByteArray> readLocalFile(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return std::nullopt;
    }
    return bytes;
}

}  // namespace

std::optional<QByteArray> fetchSamiBytes(const QString &location,
                                         const kivo::net::CFetchLimits &limits) {
    if (location.isEmpty()) {
        return std::nullopt;
    }
    if (QFileInfo(location).isFile()) {
        return readLocalFile(location);
    }
    kivo::net::CFetchResult fetched =
        kivo::net::fetchDocument(QUrl(location, QUrl::StrictMode), limits);
    if (fetched.status != kivo::net::CFetchResult::kOk) {
        return std::nullopt;
    }
    return std::move(fetched.bytes);
}

std::optional<std::vector<CSamiEntry>> loadSami(const QString &location,
                                                const kivo::net::CFetchLimits &limits) {
    const std::optional<QByteArray> bytes = fetchSamiBytes(location, limits);
    if (!bytes) {
        return std::nullopt;
    }
    return readSami(std::span(reinterpret_cast<const uint8_t *>(bytes->constData()),
                              static_cast<size_t>(bytes->size())));
}

}  // namespace kivo::captions
