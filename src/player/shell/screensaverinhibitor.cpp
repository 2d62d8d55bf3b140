#include "player/shell/screensaverinhibitor.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>

#include "platform/log.h"

namespace {

constexpr char kLogCategory[] = "shell";
// A desktop that hangs must not hold up the player's start or exit.
constexpr int kCallTimeoutMs = 1000;

std::unique_ptr<QDBusInterface> screenSaver() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return nullptr;
    }
    auto service =
        std::make_unique<QDBusInterface>(QStringLiteral("org.freedesktop.ScreenSaver"),
                                         QStringLiteral("/org/freedesktop/ScreenSaver"),
                                         QStringLiteral("org.freedesktop.ScreenSaver"), bus);
    service->setTimeout(kCallTimeoutMs);
    return service;
}

}  // namespace

CScreenSaverInhibitor::~CScreenSaverInhibitor() {
    setAllowed(true);
}

int CScreenSaverInhibitor::setAllowed(bool allowed) {
    if (allowed != isInhibiting()) {
        return 1;
    }
    const std::unique_ptr<QDBusInterface> service = screenSaver();
    if (!service) {
        return 0;
    }
    if (allowed) {
        const QDBusMessage reply = service->call(QStringLiteral("UnInhibit"), *m_cookie);
        m_cookie.reset();
        return reply.type() == QDBusMessage::ReplyMessage ? 1 : 0;
    }
    const QDBusReply<uint32_t> cookie = service->call(
        QStringLiteral("Inhibit"), QStringLiteral("KIVO Player"), QStringLiteral("재생 중"));
    if (!cookie.isValid()) {
        kivo::logInfo(kLogCategory,
                      "no screen saver to keep away: " + cookie.error().message().toStdString());
        return 0;
    }
    m_cookie = cookie.value();
    return 1;
}
