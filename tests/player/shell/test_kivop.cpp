// The player program's starts, as real processes of one user: one player per user, a second
// start hands its file over and ends, MultiPlayer lets starts be players of their own, and a
// socket left by a crashed player does not stand in the way.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <memory>
#include "testsupport/fixturepath.h"

namespace {

const QString kPlayer = QStringLiteral(KIVOP_PATH);

// One user's desktop session: its own runtime and configuration folders.
class CSession {
public:
    CSession() {
        QFile::setPermissions(m_runtime.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    QProcessEnvironment environment() const {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_config.path());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        return environment;
    }
    QString socketPath() const {
        return m_runtime.filePath(QStringLiteral("kivo-player-%1").arg(::getuid()));
    }
    QString settingsPath() const {
        return m_config.filePath(QStringLiteral("KIVO Player/KIVOP.conf"));
    }
    void setMultiPlayer() {
        QDir().mkpath(m_config.filePath(QStringLiteral("KIVO Player")));
        QFile settings(settingsPath());
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write("[Player]\nMultiPlayer=1\n");
    }

private:
    QTemporaryDir m_runtime;
    QTemporaryDir m_config;
};

// A start of the program; what it logs is kept.
class CStart {
public:
    CStart(const CSession &session, const QStringList &arguments) {
        m_process.setProcessEnvironment(session.environment());
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(kPlayer, arguments);
    }
    ~CStart() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    QProcess &process() { return m_process; }
    QByteArray log() {
        m_log += m_process.readAll();
        return m_log;
    }
    bool waitForLog(const QByteArray &text, int timeoutMs = 15000) {
        QElapsedTimer clock;
        clock.start();
        while (!log().contains(text)) {
            if (clock.hasExpired(timeoutMs) || m_process.state() == QProcess::NotRunning) {
                return false;
            }
            m_process.waitForReadyRead(100);
        }
        return true;
    }
    // The start ended by itself, successfully, within timeoutMs.
    bool endsAtOnce(int timeoutMs = 5000) {
        return m_process.waitForFinished(timeoutMs) &&
               m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
    }

private:
    QProcess m_process;
    QByteArray m_log;
};

// A player that answers: its socket is there.
std::unique_ptr<CStart> startPlayer(const CSession &session, const QStringList &arguments = {}) {
    auto player = std::make_unique<CStart>(session, arguments);
    QElapsedTimer clock;
    clock.start();
    while (!QFile::exists(session.socketPath()) &&
           player->process().state() != QProcess::NotRunning && !clock.hasExpired(10000)) {
        player->process().waitForReadyRead(50);
    }
    return player;
}

QByteArray opened(const QString &path) {
    return "opened " + path.toUtf8();
}

}  // namespace

class TestKivop : public QObject {
    Q_OBJECT

private slots:
    // A second start with a file makes the running player open it and ends without a window;
    // its quotes (the system's own form) are dropped; a start without a file only brings the
    // player to the front.
    void aSecondStartHandsItsFileToTheRunningPlayer() {
        CSession session;
        auto player = startPlayer(session);
        QVERIFY(QFile::exists(session.socketPath()));

        CStart second(session, {u'"' + fixture("cuts.mp4") + u'"'});
        QVERIFY(second.endsAtOnce());
        QVERIFY2(player->waitForLog(opened(fixture("cuts.mp4"))), player->log());
        QVERIFY(!second.log().contains("opened"));

        CStart third(session, {});
        QVERIFY(third.endsAtOnce());
        QVERIFY(player->waitForLog("without a file brought the player to the front"));
        QCOMPARE(player->log().count("opened "), 1);
        QCOMPARE(player->process().state(), QProcess::Running);

        // The session ends: the player ends as by its exit command and writes its settings.
        player->process().terminate();
        QVERIFY(player->endsAtOnce());
        QVERIFY(!QFile::exists(session.socketPath()));
        QSettings written(session.settingsPath(), QSettings::IniFormat);
        QCOMPARE(written.value(QStringLiteral("Player/BufferingTime")).toInt(), 10);
        QVERIFY(written.contains(QStringLiteral("Main/Placement")));
    }

    // A relative path is the second start's, not the running player's.
    void aRelativePathIsTakenFromTheSecondStartsFolder() {
        CSession session;
        auto player = startPlayer(session);
        QProcess relative;
        relative.setProcessEnvironment(session.environment());
        relative.setWorkingDirectory(qEnvironmentVariable("KIVO_FIXTURES"));
        relative.start(kPlayer, {QStringLiteral("cuts.mkv")});
        QVERIFY(relative.waitForFinished(5000));
        QVERIFY2(player->waitForLog(opened(fixture("cuts.mkv"))), player->log());
    }

    void multiPlayerModeMakesIndependentPlayers() {
        CSession session;
        session.setMultiPlayer();
        auto first = std::make_unique<CStart>(session, QStringList{fixture("cuts.mp4")});
        CStart second(session, {fixture("cuts.mkv")});
        QVERIFY2(second.waitForLog(opened(fixture("cuts.mkv"))), second.log());
        QVERIFY(first->waitForLog(opened(fixture("cuts.mp4"))));
        QVERIFY(!first->log().contains("cuts.mkv"));
        QCOMPARE(first->process().state(), QProcess::Running);
        QVERIFY(!QFile::exists(session.socketPath()));
    }

    // A player that crashed left its socket behind: the next start becomes the player, and
    // the start after it hands off to that one.
    void aStartAfterACrashBecomesThePlayer() {
        CSession session;
        {
            auto crashed = startPlayer(session);
            QVERIFY(QFile::exists(session.socketPath()));
            crashed->process().kill();
            crashed->process().waitForFinished();
        }
        QVERIFY(QFile::exists(session.socketPath()));
        auto player = startPlayer(session, {fixture("cuts.mp4")});
        QVERIFY2(player->waitForLog(opened(fixture("cuts.mp4"))), player->log());
        CStart second(session, {fixture("cuts.mkv")});
        QVERIFY(second.endsAtOnce());
        QVERIFY(player->waitForLog(opened(fixture("cuts.mkv"))));
    }

    // Two starts at the same moment: one player, which is handed the other start's file and
    // opens it.
    void simultaneousStartsMakeOnePlayerThatGetsTheOtherFile() {
        CSession session;
        const QString files[] = {fixture("cuts.mp4"), fixture("cuts.mkv")};
        CStart one(session, {files[0]});
        CStart other(session, {files[1]});
        int ended = -1;
        QTRY_VERIFY_WITH_TIMEOUT(
            (ended = one.process().state() == QProcess::NotRunning     ? 0
                     : other.process().state() == QProcess::NotRunning ? 1
                                                                       : -1) >= 0,
            10000);
        CStart &player = ended == 0 ? other : one;
        CStart &handedOff = ended == 0 ? one : other;
        QCOMPARE(handedOff.process().exitCode(), 0);
        QVERIFY2(player.waitForLog("handed over " + files[ended].toUtf8()), player.log());
        QVERIFY(player.waitForLog(opened(files[ended])));
        QTest::qWait(500);
        QCOMPARE(player.process().state(), QProcess::Running);
    }
};

QTEST_GUILESS_MAIN(TestKivop)
#include "test_kivop.moc"
