// The desktop's default programs as the player takes them over and gives them back: real files
// in the test's own configuration folder, real child processes for a crash and a user who
// cannot write the folder.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

#include "player/shell/fileassociations.h"

using namespace kivo::shell;

namespace {

QByteArray readAll(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

void writeAll(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

// fn's exit status in a child process (-1 when it did not end normally). An unprivileged child
// gives up root's rights, which would write into read-only folders.
int runInChild(const std::function<int()> &fn, bool unprivileged = false) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (unprivileged && ::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) {
            ::_exit(100);
        }
        ::_exit(fn());
    }
    int status = 0;
    return pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) ? WEXITSTATUS(status)
                                                                             : -1;
}

}  // namespace

class TestFileAssociations : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    const QString m_list = m_dir.filePath("config/mimeapps.list");
    const QString m_backup = m_dir.filePath("config/KIVO Player/KIVOP.bak");

    void chmod(const QString &path, mode_t mode) {
        QCOMPARE(::chmod(QFile::encodeName(m_dir.filePath(path)).constData(), mode), 0);
    }

private slots:
    void init() {
        QVERIFY(QDir(m_dir.path()).mkpath("config/KIVO Player"));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.filePath("config")));
    }
    void cleanup() {
        chmod("config", 0755);
        QVERIFY(QDir(m_dir.filePath("config")).removeRecursively());
    }

    // A second take-over keeps the first backup; a type that had no default loses its entry
    // again; one without a backup is left alone; every other byte stays.
    void onlyTheFirstBackupComesBackAndNothingElseChanges() {
        const QByteArray original =
            "# mine\r\n[Added Associations]\r\nvideo/x-msvideo=vlc.desktop;\r\n\r\n"
            "[Default Applications]\r\nodd line \xff\r\nvideo/x-msvideo = vlc.desktop;\r\n"
            "audio/mpeg=KIVOP.desktop;rhythmbox.desktop\r\n; note\r\n\r\n[Other]\r\nx";
        writeAll(m_list, original);
        for (int run = 0; run < 2; ++run) {
            QCOMPARE(applyAssociations(CMimeAppsList(), {{1229, true}, {1227, true}}), 1);
        }
        QCOMPARE(readAll(m_list),
                 "# mine\r\n[Added Associations]\r\nvideo/x-msvideo=vlc.desktop;\r\n\r\n"
                 "[Default Applications]\r\nodd line \xff\r\nvideo/x-msvideo=kivop.desktop\r\n"
                 "audio/mpeg=KIVOP.desktop;rhythmbox.desktop\r\nvideo/mpeg=kivop.desktop\r\n"
                 "audio/mp2=kivop.desktop\r\n; note\r\n\r\n[Other]\r\nx");
        QCOMPARE(readAll(m_backup),
                 "[Default Applications]\nvideo/mpeg=\naudio/mp2=\n"
                 "video/x-msvideo=vlc.desktop;\n");
        QCOMPARE(applyAssociations(CMimeAppsList(), {}), 1);
        QCOMPARE(readAll(m_list), QByteArray(original).replace(" = ", "="));
    }

    // The three playlist boxes share one type.
    void aSharedTypeIsGivenBackWhenNoBoxWantsIt() {
        writeAll(m_list, "[Default Applications]\naudio/x-ms-asx=totem.desktop\n");
        QCOMPARE(applyAssociations(CMimeAppsList(), {{1231, false}, {1239, true}}), 1);
        QCOMPARE(CMimeAppsList().ownedTypes({"audio/x-ms-asx"}).size(), 1);
        QCOMPARE(applyAssociations(CMimeAppsList(), {{1240, true}}), 1);
        QVERIFY(readAll(m_list).contains("audio/x-ms-asx=totem.desktop\n"));
    }

    // A crashed player never ends its take-over; the next one keeps the older backup.
    void mmsComesBackAfterACrash() {
        const QByteArray original = "[Default Applications]\nx-scheme-handler/mms=totem.desktop\n";
        writeAll(m_list, original);
        const auto crash = []() -> int {
            const CMmsTakeover takeover;
            ::_exit(takeover.result() == 1 ? 0 : 1);
        };
        QCOMPARE(runInChild(crash), 0);
        QCOMPARE(CMimeAppsList().ownedTypes({kMmsType}).size(), 1);
        QCOMPARE(CMmsTakeover().result(), 1);
        QCOMPARE(readAll(m_list), original);
        QVERIFY(readAll(m_backup).contains("x-scheme-handler/mms=totem.desktop\n"));
    }

    // A folder the user cannot write (the backup folder can be: the backup written first must
    // be taken back), then the same folder made writable.
    void aReadOnlyFolderStaysAsItWas() {
        writeAll(m_list, "[Default Applications]\nvideo/x-msvideo=vlc.desktop\n");
        chmod(".", 0755);
        chmod("config/KIVO Player", 0777);
        const auto takeOver = [] { return applyAssociations(CMimeAppsList(), {{1229, true}}); };
        for (const mode_t mode : {0555, 0777}) {
            chmod("config", mode);
            QCOMPARE(runInChild(takeOver, true), mode == 0777 ? 1 : 0);
            QCOMPARE(readAll(m_list).contains("kivop"), mode == 0777);
            QCOMPARE(QFile::exists(m_backup), mode == 0777);
        }
    }
};

QTEST_GUILESS_MAIN(TestFileAssociations)
#include "test_fileassociations.moc"
