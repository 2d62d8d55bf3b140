// kivoctl against a real player program, both as processes of one user's session: transport
// requests, the state and caption texts, jumps to the end, a reserved number, refusals, and what
// the client says when no player runs.
#include <unistd.h>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include "testsupport/fixturepath.h"

namespace {

const QString kPlayer = QStringLiteral(KIVO_PLAYER_PATH);
const QString kCtl = QStringLiteral(KIVOCTL_PATH);

struct CRun {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

// One user's session with a player running in it.
class CPlayerSessionFixture {
public:
    CPlayerSessionFixture() {
        QFile::setPermissions(m_runtime.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        m_environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
        m_environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_config.path());
        m_environment.insert(QStringLiteral("XDG_CACHE_HOME"), m_config.path());
        m_environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        m_environment.insert(QStringLiteral("KIVO_VIDEO_RENDERER"), QStringLiteral("software"));
    }
    ~CPlayerSessionFixture() {
        if (m_player.state() != QProcess::NotRunning) {
            m_player.kill();
            m_player.waitForFinished(5000);
        }
    }

    // Starts the player on a file and waits until it has opened it.
    bool startPlayer(const QString &file) {
        m_player.setProcessEnvironment(m_environment);
        m_player.setProcessChannelMode(QProcess::MergedChannels);
        m_player.start(kPlayer, {file});
        QElapsedTimer clock;
        clock.start();
        QByteArray log;
        while (!log.contains("opened " + file.toUtf8())) {
            if (clock.hasExpired(20000) || m_player.state() == QProcess::NotRunning) {
                qWarning() << log;
                return false;
            }
            m_player.waitForReadyRead(100);
            log += m_player.readAll();
        }
        return true;
    }
    CRun ctl(const QStringList &arguments) const {
        QProcess process;
        process.setProcessEnvironment(m_environment);
        process.start(kCtl, arguments);
        CRun run;
        if (process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit) {
            run.status = process.exitCode();
        }
        run.out = process.readAllStandardOutput().trimmed();
        run.err = process.readAllStandardError();
        return run;
    }
    QProcessEnvironment &environment() { return m_environment; }

private:
    QTemporaryDir m_runtime;
    QTemporaryDir m_config;
    QProcessEnvironment m_environment = QProcessEnvironment::systemEnvironment();
    QProcess m_player;
};

}  // namespace

class TestKivoctl : public QObject {
    Q_OBJECT

private slots:
    void drivesARunningPlayer() {
        CPlayerSessionFixture session;
        const QString file = fixture("index.mp4");
        QVERIFY(session.startPlayer(file));

        CRun run = session.ctl({QStringLiteral("state")});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out, file.toUtf8());

        // The file plays at once: play is greyed until it is paused.
        QCOMPARE(session.ctl({QStringLiteral("play")}).status, 1);
        QCOMPARE(session.ctl({QStringLiteral("pause")}).status, 0);
        run = session.ctl({QStringLiteral("play")});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out, file.toUtf8());
        QCOMPARE(session.ctl({QStringLiteral("stop")}).status, 0);
        // Stopped: pause and stop are greyed; no playlist to go through.
        QCOMPARE(session.ctl({QStringLiteral("pause")}).status, 1);
        QCOMPARE(session.ctl({QStringLiteral("stop")}).status, 1);
        QCOMPARE(session.ctl({QStringLiteral("next")}).status, 1);
        QCOMPARE(session.ctl({QStringLiteral("prev")}).status, 1);

        // From the start in 5 s steps to 2 s before the end (12 s), then exactly to the end.
        for (const char *expected :
             {"00:00:05.000", "00:00:10.000", "00:00:12.000", "00:00:12.000"}) {
            run = session.ctl({QStringLiteral("forward")});
            QCOMPARE(run.status, 0);
            QCOMPARE(run.out, QByteArray(expected));
        }
        run = session.ctl({QStringLiteral("back")});
        QCOMPARE(run.out, QByteArray("00:00:07.000"));

        // The rate request answers 0 whatever it does.
        QCOMPARE(session.ctl({QStringLiteral("faster")}).status, 1);

        // A reserved number: taken, never answered.
        run = session.ctl({QStringLiteral("--timeout"), QStringLiteral("700"),
                           QStringLiteral("raw"), QStringLiteral("0x1793")});
        QCOMPARE(run.status, 3);
        QVERIFY(run.out.isEmpty());
        // The player is still there and in order after it.
        QCOMPARE(session.ctl({QStringLiteral("raw"), QStringLiteral("0x178E")}).out, file.toUtf8());

        QCOMPARE(session.ctl({QStringLiteral("set-caption"), QStringLiteral("원격 자막")}).status,
                 0);
        run = session.ctl({QStringLiteral("caption")});
        QCOMPARE(run.status, 0);
        QCOMPARE(QString::fromUtf8(run.out), QStringLiteral("원격 자막"));

        for (const char *window :
             {"show-finder", "show-playlist", "show-scenes", "hide-info", "zoom-in", "zoom-out",
              "channel", "channel", "maximize", "hide-video"}) {
            QVERIFY2(session.ctl({QString::fromLatin1(window)}).status == 0, window);
        }
    }

    // No player: a clear message and status 2; a wrong command line: the usage and 64.
    void saysWhenNoPlayerRuns() {
        CPlayerSessionFixture session;
        CRun run = session.ctl({QStringLiteral("state")});
        QCOMPARE(run.status, 2);
        QVERIFY(run.err.contains("no KIVO player is running"));
        run = session.ctl({QStringLiteral("jump")});
        QCOMPARE(run.status, 64);
        QVERIFY(run.err.contains("usage: kivoctl"));
        QCOMPARE(session.ctl({QStringLiteral("raw"), QStringLiteral("12x")}).status, 64);
        QCOMPARE(session.ctl({QStringLiteral("set-caption")}).status, 64);
    }
};

QTEST_GUILESS_MAIN(TestKivoctl)
#include "test_kivoctl.moc"
