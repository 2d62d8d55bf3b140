#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

// Small documents (lists, captions) fetched from an http or https address with bounds that keep
// a hostile or dead server from taking the player's memory or time. The fetch waits in a local
// event loop, so the program's windows keep being served meanwhile.
namespace kivo::net {

struct CFetchLimits {
    qint64 maxBytes = 4 * 1024 * 1024;
    // The whole fetch: connecting, redirects and every byte.
    int timeoutMs = 10000;
    int maxRedirects = 5;
};

struct CFetchResult {
    enum EStatus { kOk, kUnsupported, kFailed, kTimedOut, kTooLarge };
    EStatus status = kFailed;
    QByteArray bytes;
    // Where the document came from after redirects: relative addresses in it resolve against it.
    QUrl finalUrl;
    QString error;
};

// True for http and https addresses, the ones fetchDocument takes.
bool isFetchable(const QUrl &url);

CFetchResult fetchDocument(const QUrl &url, const CFetchLimits &limits = {});

}  // namespace kivo::net
