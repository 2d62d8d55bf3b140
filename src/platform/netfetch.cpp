#include "platform/netfetch.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace kivo::net {

bool isFetchable(const QUrl &url) {
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() && (scheme == u"http" || scheme == u"https");
}

CFetchResult fetchDocument(const QUrl &url, const CFetchLimits &limits) {
    CFetchResult result;
    if (!isFetchable(url)) {
        result.status = CFetchResult::kUnsupported;
        result.error = QStringLiteral("not an http or https address");
        return result;
    }
    QNetworkAccessManager network;
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(limits.maxRedirects);
    QNetworkReply *reply = network.get(request);
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, [&] {
        result.status = CFetchResult::kTimedOut;
        reply->abort();
    });
    // Counted as the bytes arrive: a server that sends without end is cut off at the limit,
    // not after it has filled the memory.
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, [&] {
        result.bytes += reply->read(limits.maxBytes + 1 - result.bytes.size());
        if (result.bytes.size() > limits.maxBytes) {
            result.status = CFetchResult::kTooLarge;
            reply->abort();
        }
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    deadline.start(limits.timeoutMs);
    loop.exec();
    if (result.status == CFetchResult::kFailed) {
        result.bytes += reply->read(limits.maxBytes + 1 - result.bytes.size());
        if (result.bytes.size() > limits.maxBytes) {
            result.status = CFetchResult::kTooLarge;
        } else if (reply->error() == QNetworkReply::NoError) {
            result.status = CFetchResult::kOk;
        }
    }
    if (result.status != CFetchResult::kOk) {
        result.bytes.clear();
        result.error = result.status == CFetchResult::kTimedOut
                           ? QStringLiteral("no answer in time")
                       : result.status == CFetchResult::kTooLarge
                           ? QStringLiteral("larger than %1 bytes").arg(limits.maxBytes)
                           : reply->errorString();
    }
    result.finalUrl = reply->url();
    reply->deleteLater();
    return result;
}

}  // namespace kivo::net
