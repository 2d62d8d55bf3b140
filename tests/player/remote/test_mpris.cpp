// The player on a private session bus, checked with a real MPRIS client (playerctl): play,
// pause, status, position and metadata with the current scene's picture, PropertiesChanged when
// the state changes, Seeked on jumps, the name of a player among several, and a player without
// any bus that goes on without a word.
#include <unistd.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <algorithm>
#include "testsupport/fixturepath.h"

namespace {

const QString kPlayer = QStringLiteral(KIVO_PLAYER_PATH);
const QString kService = QStringLiteral("org.mpris.MediaPlayer2.kivop");

// A player process in a session of its own (runtime, configuration and cache folders).
class CRunningPlayer {
public:
    CRunningPlayer() {
        QFile::setPermissions(m_runtime.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        m_environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
        m_environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath("config"));
        m_environment.insert(QStringLiteral("XDG_CACHE_HOME"), m_home.filePath("cache"));
        m_environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        m_environment.insert(QStringLiteral("KIVO_VIDEO_RENDERER"), QStringLiteral("software"));
    }
    ~CRunningPlayer() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    void setMultiPlayer() {
        QDir().mkpath(m_home.filePath("config/KIVO Player"));
        QFile settings(m_home.filePath("config/KIVO Player/KIVOP.conf"));
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write("[Player]\nMultiPlayer=1\n");
    }
    bool start(const QString &file) {
        m_process.setProcessEnvironment(m_environment);
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(kPlayer, {file});
        return waitForLog("opened " + file.toUtf8());
    }
    bool waitForLog(const QByteArray &text) {
        QElapsedTimer clock;
        clock.start();
        while (!log().contains(text)) {
            if (clock.hasExpired(20000) || m_process.state() == QProcess::NotRunning) {
                qWarning() << m_log;
                return false;
            }
            m_process.waitForReadyRead(100);
        }
        return true;
    }
    QByteArray log() {
        m_log += m_process.readAll();
        return m_log;
    }
    qint64 pid() const { return m_process.processId(); }
    bool endsWithin(int milliseconds) {
        return m_process.waitForFinished(milliseconds) &&
               m_process.exitStatus() == QProcess::NormalExit;
    }
    QString cache() const { return m_home.filePath("cache"); }
    QProcessEnvironment &environment() { return m_environment; }

private:
    QTemporaryDir m_runtime;
    QTemporaryDir m_home;
    QProcessEnvironment m_environment = QProcessEnvironment::systemEnvironment();
    QProcess m_process;
    QByteArray m_log;
};

// playerctl's answer (its output, trimmed), or a mark of its failure.
QString playerctl(const QStringList &arguments) {
    QProcess process;
    process.start(QStringLiteral("playerctl"),
                  QStringList{QStringLiteral("-p"), QStringLiteral("kivop")} + arguments);
    if (!process.waitForFinished(10000) || process.exitCode() != 0) {
        return QStringLiteral("<failed: %1>")
            .arg(QString::fromUtf8(process.readAllStandardError()));
    }
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

bool serviceAppears(const QString &name) {
    QElapsedTimer clock;
    clock.start();
    while (!QDBusConnection::sessionBus().interface()->isServiceRegistered(name)) {
        if (clock.hasExpired(10000)) {
            return false;
        }
        QTest::qWait(50);
    }
    return true;
}

}  // namespace

class TestMpris : public QObject {
    Q_OBJECT

public slots:
    void propertiesChanged(const QString &interface, const QVariantMap &changed,
                           const QStringList &) {
        if (interface == u"org.mpris.MediaPlayer2.Player") {
            m_changes.append(changed);
        }
    }
    void seeked(qlonglong position) { m_seeks.append(position); }

private slots:
    void aRealClientDrivesThePlayer() {
        if (!QDBusConnection::sessionBus().isConnected()) {
            QSKIP("needs a session bus (run under dbus-run-session)");
        }
        QVERIFY(QDBusConnection::sessionBus().connect(
            QString(), QStringLiteral("/org/mpris/MediaPlayer2"),
            QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("PropertiesChanged"),
            this, SLOT(propertiesChanged(QString, QVariantMap, QStringList))));
        QVERIFY(QDBusConnection::sessionBus().connect(
            QString(), QStringLiteral("/org/mpris/MediaPlayer2"),
            QStringLiteral("org.mpris.MediaPlayer2.Player"), QStringLiteral("Seeked"), this,
            SLOT(seeked(qlonglong))));

        CRunningPlayer player;
        const QString file = fixture("index.mp4");
        QVERIFY(player.start(file));
        QVERIFY(serviceAppears(kService));

        QTRY_COMPARE_WITH_TIMEOUT(playerctl({QStringLiteral("status")}), QStringLiteral("Playing"),
                                  5000);
        m_changes.clear();
        QCOMPARE(playerctl({QStringLiteral("pause")}), QString());
        QTRY_COMPARE_WITH_TIMEOUT(playerctl({QStringLiteral("status")}), QStringLiteral("Paused"),
                                  5000);
        // The change was told, not only there to be asked for.
        QTRY_VERIFY_WITH_TIMEOUT(
            std::any_of(m_changes.cbegin(), m_changes.cend(),
                        [](const QVariantMap &changed) {
                            return changed.value(QStringLiteral("PlaybackStatus")).toString() ==
                                   u"Paused";
                        }),
            5000);

        QCOMPARE(playerctl({QStringLiteral("position"), QStringLiteral("6")}), QString());
        QTRY_VERIFY_WITH_TIMEOUT(!m_seeks.isEmpty(), 5000);
        QVERIFY(qAbs(m_seeks.last() - 6'000'000) < 100'000);
        QCOMPARE(playerctl({QStringLiteral("position")}).toDouble(), 6.0);

        QCOMPARE(playerctl({QStringLiteral("metadata"), QStringLiteral("--format"),
                            QStringLiteral("{{xesam:title}}|{{mpris:length}}|{{xesam:url}}")}),
                 QStringLiteral("index.mp4|12000000|") + QUrl::fromLocalFile(file).toString());
        const QUrl art(playerctl({QStringLiteral("metadata"), QStringLiteral("mpris:artUrl")}));
        QVERIFY2(art.toLocalFile().startsWith(player.cache()), qPrintable(art.toString()));
        QFile picture(art.toLocalFile());
        QVERIFY(picture.open(QIODevice::ReadOnly));
        QCOMPARE(picture.read(2), QByteArray("\xff\xd8"));

        QCOMPARE(playerctl({QStringLiteral("play")}), QString());
        QTRY_COMPARE_WITH_TIMEOUT(playerctl({QStringLiteral("status")}), QStringLiteral("Playing"),
                                  5000);
        QCOMPARE(playerctl({QStringLiteral("stop")}), QString());
        QTRY_COMPARE_WITH_TIMEOUT(playerctl({QStringLiteral("status")}), QStringLiteral("Stopped"),
                                  5000);
        QCOMPARE(playerctl({QStringLiteral("volume"), QStringLiteral("0.5")}), QString());
        QCOMPARE(playerctl({QStringLiteral("volume")}).toDouble(), 0.5);

        // Another file by its address; then the desktop ends the player.
        const QString other = fixture("cuts.mp4");
        QCOMPARE(playerctl({QStringLiteral("open"), QUrl::fromLocalFile(other).toString()}),
                 QString());
        QVERIFY(player.waitForLog("opened " + other.toUtf8()));
        QTRY_COMPARE_WITH_TIMEOUT(playerctl({QStringLiteral("metadata"), QStringLiteral("title")}),
                                  QStringLiteral("cuts.mp4"), 5000);
        QDBusConnection::sessionBus().call(QDBusMessage::createMethodCall(
            kService, QStringLiteral("/org/mpris/MediaPlayer2"),
            QStringLiteral("org.mpris.MediaPlayer2"), QStringLiteral("Quit")));
        QVERIFY(player.endsWithin(10000));
    }

    // Among several players each takes a name of its own.
    void aPlayerAmongSeveralNamesItsInstance() {
        if (!QDBusConnection::sessionBus().isConnected()) {
            QSKIP("needs a session bus (run under dbus-run-session)");
        }
        CRunningPlayer player;
        player.setMultiPlayer();
        QVERIFY(player.start(fixture("cuts.mp4")));
        QVERIFY(serviceAppears(kService + QStringLiteral(".instance%1").arg(player.pid())));
    }

    // No bus at all: the player runs and says nothing of it.
    void withoutABusThePlayerRunsQuietly() {
        CRunningPlayer player;
        player.environment().insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                                    QStringLiteral("unix:path=/nonexistent/bus"));
        QVERIFY(player.start(fixture("cuts.mp4")));
        QTest::qWait(500);
        const QByteArray log = player.log().toLower();
        QVERIFY2(!log.contains("mpris") && !log.contains("d-bus") && !log.contains("dbus"),
                 log.constData());
    }

private:
    QList<QVariantMap> m_changes;
    QList<qlonglong> m_seeks;
};

QTEST_GUILESS_MAIN(TestMpris)
#include "test_mpris.moc"
