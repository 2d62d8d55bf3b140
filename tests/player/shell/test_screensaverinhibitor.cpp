// Keeping the screen saver away over a real session bus (a private one from dbus-run-session),
// with a desktop screen-saver service on its own connection and thread; and with no bus at all.
#include <QDBusConnection>
#include <QTest>
#include <QThread>

#include <atomic>

#include "player/shell/screensaverinhibitor.h"

namespace {

// The desktop's side: counts the inhibitions it holds.
class CScreenSaverService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")

public:
    std::atomic<int> held{0};
    std::atomic<uint> lastCookie{0};

public slots:
    uint Inhibit(const QString &application, const QString &) {
        if (application != QStringLiteral("KIVO Player")) {
            return 0;
        }
        ++held;
        return ++lastCookie;
    }
    void UnInhibit(uint cookie) {
        if (cookie == lastCookie) {
            --held;
        }
    }
};

}  // namespace

class TestScreenSaverInhibitor : public QObject {
    Q_OBJECT

private slots:
    void inhibitsOnceAndReleasesAtTheEnd() {
        {
            CScreenSaverInhibitor noDesktop;
            QCOMPARE(noDesktop.setAllowed(false), 0);
            QVERIFY(!noDesktop.isInhibiting());
        }
        QThread desktopThread;
        CScreenSaverService service;
        service.moveToThread(&desktopThread);
        desktopThread.start();
        QDBusConnection desktop =
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("desktop"));
        QVERIFY(desktop.registerService(QStringLiteral("org.freedesktop.ScreenSaver")));
        QVERIFY(desktop.registerObject(QStringLiteral("/org/freedesktop/ScreenSaver"), &service,
                                       QDBusConnection::ExportAllSlots));
        {
            CScreenSaverInhibitor inhibitor;
            QCOMPARE(inhibitor.setAllowed(false), 1);
            QCOMPARE(inhibitor.setAllowed(false), 1);
            QCOMPARE(service.held.load(), 1);
            QCOMPARE(inhibitor.setAllowed(true), 1);
            QCOMPARE(service.held.load(), 0);
            QCOMPARE(inhibitor.setAllowed(false), 1);
            QCOMPARE(service.held.load(), 1);
        }
        QCOMPARE(service.held.load(), 0);
        desktop.unregisterObject(QStringLiteral("/org/freedesktop/ScreenSaver"));
        QDBusConnection::disconnectFromBus(QStringLiteral("desktop"));
        desktopThread.quit();
        desktopThread.wait();
    }

    void withoutABusNothingHappens() {
        QVERIFY(!QDBusConnection::sessionBus().isConnected());
        CScreenSaverInhibitor inhibitor;
        QCOMPARE(inhibitor.setAllowed(false), 0);
        QVERIFY(!inhibitor.isInhibiting());
        QCOMPARE(inhibitor.setAllowed(true), 1);
    }
};

QTEST_GUILESS_MAIN(TestScreenSaverInhibitor)
#include "test_screensaverinhibitor.moc"
