// The player's shared state against a real engine (no sound output), a real grabber and the
// fixture videos; no window anywhere.
#include <QSignalSpy>
#include <QTest>

#include "media/grabber/videomanager.h"
#include "media/playback/playbackengine.h"
#include "player/transport/playersession.h"
#include "scene/videodescription.h"
#include "testsupport/fixturepath.h"

namespace {

// Opens a file in the session's engine the way the control panel does: asynchronously, then
// waits for the engine's answer.
bool openInEngine(CPlayerSession &session, const QString &path) {
    QSignalSpy finished(&session.engine(), &CPlaybackEngine::openFinished);
    const int ticket = session.engine().startOpen(path);
    if (ticket == 0) {
        return false;
    }
    for (int waited = 0; waited < 15000; waited += 50) {
        for (const QList<QVariant> &answer : finished) {
            if (answer.at(0).toInt() == ticket) {
                return answer.at(1).toInt() == 1;
            }
        }
        finished.wait(50);
    }
    return false;
}

}  // namespace

class TestPlayerSession : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { qputenv("KIVO_VIDEO_RENDERER", "software"); }

    // Whoever borrows the description sees it alive when told to let go, and the new one once
    // it is in place; a replaced description starts without unsaved edits.
    void replacingTheDescriptionWarnsBorrowersFirst() {
        QStringList seen;  // outlives the session, which warns once more when it goes
        CPlayerSession session;
        auto first = std::make_unique<CVideoDescription>();
        first->setMediaPath("first.avi");
        session.replaceDescription(std::move(first));
        session.markDescriptionChanged();

        connect(&session, &CPlayerSession::aboutToReleaseFile, this, [&] {
            seen << QStringLiteral("release %1")
                        .arg(QString::fromStdString(session.description()->mediaPath()));
        });
        connect(&session, &CPlayerSession::descriptionReplaced, this, [&] {
            seen << QStringLiteral("replaced %1")
                        .arg(QString::fromStdString(session.description()->mediaPath()));
        });
        QSignalSpy flag(&session, &CPlayerSession::descriptionChangedFlag);
        auto second = std::make_unique<CVideoDescription>();
        second->setMediaPath("second.avi");
        session.replaceDescription(std::move(second));

        QCOMPARE(seen, QStringList({"release first.avi", "replaced second.avi"}));
        QVERIFY(!session.isDescriptionChanged());
        QCOMPARE(flag.count(), 1);
        QCOMPARE(flag.at(0).at(0).toBool(), false);
    }

    // The changed flag reports its changes once, not every edit.
    void theChangedFlagReportsOnlyChanges() {
        CPlayerSession session;
        QSignalSpy flag(&session, &CPlayerSession::descriptionChangedFlag);
        session.markDescriptionSaved();
        session.markDescriptionChanged();
        session.markDescriptionChanged();
        QVERIFY(session.isDescriptionChanged());
        session.markDescriptionSaved();
        QVERIFY(!session.isDescriptionChanged());
        QCOMPARE(flag.count(), 2);

        QSignalSpy state(&session, &CPlayerSession::playStateChanged);
        session.setPlayState(CPlayerSession::kPlaying);
        session.setPlayState(CPlayerSession::kPlaying);
        session.setPlayState(CPlayerSession::kExtendedPlay);
        QCOMPARE(state.count(), 2);
        QCOMPARE(state.at(1).at(0).toInt(), int(CPlayerSession::kExtendedPlay));
    }

    // Closing lets the borrowers go while engine, grabber and description are still open, then
    // closes all three.
    void closingReleasesEverythingAfterWarning() {
        bool openWhenWarned = false;
        CPlayerSession session;
        QVERIFY(openInEngine(session, fixture("cuts.mp4")));
        QCOMPARE(session.openGrabber(fixture("cuts.mp4")), 1);
        session.replaceDescription(std::make_unique<CVideoDescription>());
        session.markDescriptionChanged();
        session.setPlayState(CPlayerSession::kPaused);

        connect(&session, &CPlayerSession::aboutToReleaseFile, this, [&] {
            openWhenWarned = session.grabber().isOpen() && session.description() != nullptr &&
                             session.engine().state() != CPlaybackEngine::kClosed;
        });
        session.closeFile();

        QVERIFY(openWhenWarned);
        QVERIFY(!session.grabber().isOpen());
        QCOMPARE(session.engine().state(), int(CPlaybackEngine::kClosed));
        QCOMPARE(session.description(), nullptr);
        QVERIFY(!session.isDescriptionChanged());
        QCOMPARE(session.playState(), CPlayerSession::kStopped);
        QCOMPARE(session.frameAt(0), -1.0);
    }

    // Frame numbers and media times go through the grabber of the open video.
    void framesAndTimesFollowTheOpenVideo() {
        CPlayerSession session;
        QCOMPARE(session.positionOfFrame(10), -1.0);
        QCOMPARE(session.openGrabber(fixture("cuts.mp4")), 1);
        QCOMPARE(session.positionOfFrame(25), 1e7);
        QCOMPARE(session.frameAt(session.positionOfFrame(120)), 120.0);
        QCOMPARE(session.openGrabber(fixture("no-such-file.mp4")), 0);
        QCOMPARE(session.frameAt(1e7), -1.0);
    }

    // While the engine plays, each of its ticks reaches the listeners with the position it
    // reports, moving forwards.
    void ticksFanOutWithThePosition() {
        CPlayerSession session;
        session.engine().setAudioOutput(QStringLiteral("null"));
        QVERIFY(openInEngine(session, fixture("cuts.mp4")));
        QSignalSpy positions(&session, &CPlayerSession::positionUpdated);
        QCOMPARE(session.engine().play(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(positions.count() >= 4, 5000);
        double previous = -1;
        for (const QList<QVariant> &update : positions) {
            const double position = update.at(0).toDouble();
            QVERIFY(position >= previous);
            previous = position;
        }
        QVERIFY(previous > 0);
        session.engine().stop();
    }
};

QTEST_GUILESS_MAIN(TestPlayerSession)
#include "test_playersession.moc"
