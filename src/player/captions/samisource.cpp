#include "player/captions/samisource.h"

#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
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

std::optional<QByteArray> download(const QUrl &url, const CDownloadLimits &limits) {
    QNetworkAccessManager manager;
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(limits.maxRedirects);
    QNetworkReply *reply = manager.get(request);

    QByteArray bytes;
    bool tooLarge = false;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, reply, &QNetworkReply::abort);
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [&] {
        bytes += reply->readAll();
        if (bytes.size() > limits.maxBytes) {
            tooLarge = true;
            reply->abort();
        }
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    deadline.start(limits.timeoutMs);
    if (!reply->isFinished()) {
        loop.exec();
    }
    deadline.stop();
    const bool failed = tooLarge || reply->error() != QNetworkReply::NoError;
    if (!failed) {
        bytes += reply->readAll();
    }
    reply->deleteLater();
    if (failed || bytes.size() > limits.maxBytes) {
        return std::nullopt;
    }
    return bytes;
}

}  // namespace

std::optional<QByteArray> fetchSamiBytes(const QString &location, const CDownloadLimits &limits) {
    if (location.isEmpty()) {
        return std::nullopt;
    }
    if (QFileInfo(location).isFile()) {
        return readLocalFile(location);
    }
    const QUrl url(location, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() || (scheme != u"http" && scheme != u"https")) {
        return std::nullopt;
    }
    return download(url, limits);
}

std::optional<std::vector<CSamiEntry>> loadSami(const QString &location,
                                                const CDownloadLimits &limits) {
    const std::optional<QByteArray> bytes = fetchSamiBytes(location, limits);
    if (!bytes) {
        return std::nullopt;
    }
    return readSami(std::span(reinterpret_cast<const uint8_t *>(bytes->constData()),
                              static_cast<size_t>(bytes->size())));
}

}  // namespace kivo::captions
