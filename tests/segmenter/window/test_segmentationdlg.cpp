#include <QAbstractButton>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include "media/grabber/videomanager.h"
#include "scene/scvfile.h"
#include "scenecontrols/sceneimagetree.h"
#include "segmenter/neuralnetwork.h"
#include "segmenter/segmentation.h"
#include "segmenter/window/segmentationdlg.h"
#include "testsupport/fixturepath.h"
#include "uisupport/asker.h"

using kivo::ui::CScriptedAsker;
using Dlg = CSegmentationDlg;

namespace {

// Frames of the scenes under the level-1 node.
QList<double> sceneFrames(const CVideoDescription &doc) {
    QList<double> frames;
    if (const CSceneNode *level1 = doc.root().child(0)) {
        for (int i = 0; i < level1->childCount(); ++i) {
            frames.append(level1->child(i)->frame());
        }
    }
    return frames;
}

bool enabled(const Dlg &dlg, int id) {
    return dlg.control(id)->isEnabled();
}

// Enabled state of file name, open, start, stop and save.
QList<bool> buttons(const Dlg &dlg) {
    return {enabled(dlg, Dlg::kFileNameEdit), enabled(dlg, Dlg::kOpenButton),
            enabled(dlg, Dlg::kStartButton), enabled(dlg, Dlg::kStopButton),
            enabled(dlg, Dlg::kSaveButton)};
}

// What the window shows and holds after a video was opened, one text a field.
QStringList openedState(const Dlg &dlg) {
    const CVideoDescription *description = dlg.description();
    const CSceneImageTree *tree = dlg.sceneTree();
    return {QString::number(dlg.state()),
            dlg.fileName(),
            dlg.displayText(Dlg::kTotalFrames),
            dlg.displayText(Dlg::kTotalTime),
            description ? QString::fromStdString(description->mediaPath()) : QString(),
            QString::number(tree->description() == &dlg.displayedTree()),
            QString::number(tree->video() != nullptr),
            QString::number(dlg.displayedTree().root().childCount())};
}

// Lets the window's event loop run until the state is reached (one minute at most).
bool waitForState(const Dlg &dlg, Dlg::State state) {
    return QTest::qWaitFor([&] { return dlg.state() == state; }, 60000);
}

// A file named like a video that holds text; empty when it cannot be written.
QString writeNonVideo(const QTemporaryDir &dir) {
    const QString path = dir.filePath(QStringLiteral("notes.avi"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write("this is not a video") < 0) {
        return {};
    }
    return path;
}

}  // namespace

class TestSegmentationDlg : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_asker = std::make_unique<CScriptedAsker>();
        m_scopedAsker = std::make_unique<kivo::ui::CScopedAsker>(*m_asker);
    }
    void cleanup() {
        m_scopedAsker.reset();
        m_asker.reset();
    }

    void buttonStatesFollowOpenStartAndFinish() {
        Dlg dlg;
        QCOMPARE(dlg.windowTitle(), QStringLiteral("KIVO_자동 분할 Ver 2.01"));
        QCOMPARE(buttons(dlg), (QList<bool>{true, true, false, false, false}));
        QCOMPARE(dlg.displayText(Dlg::kScore), QStringLiteral("0.00"));

        QVERIFY(dlg.openVideoPath(fixture("cuts.mp4")));
        QCOMPARE(dlg.state(), Dlg::kOpened);
        QCOMPARE(buttons(dlg), (QList<bool>{true, true, true, false, false}));
        QCOMPARE(dlg.displayText(Dlg::kTotalFrames), QStringLiteral("160"));
        QCOMPARE(dlg.displayText(Dlg::kTotalTime), QStringLiteral("00:00:06"));

        QList<int> progress;
        connect(&dlg, &Dlg::reportShown, this, [&] { progress.append(dlg.progress()); });
        m_asker->answerMessage(kivo::ui::kAnswerNo);  // the finish question: do not save
        dlg.start();
        QCOMPARE(dlg.state(), Dlg::kRunning);
        QCOMPARE(buttons(dlg), (QList<bool>{false, false, false, true, false}));
        QVERIFY(waitForState(dlg, Dlg::kFinished));
        QCOMPARE(buttons(dlg), (QList<bool>{true, true, true, false, true}));
        QCOMPARE(m_asker->texts(), QStringList{QString::fromUtf8(Dlg::kFinishedQuestion)});
        QVERIFY(!progress.isEmpty());
        QVERIFY(*std::max_element(progress.begin(), progress.end()) < 100);
        QCOMPARE(dlg.progress(), 100);
        QVERIFY(dlg.unsaved());
    }

    void finishedRunShowsEveryCutAndSavesWhatTheCommandFinds() {
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("cuts.scv"));
        Dlg dlg;
        QVERIFY(dlg.openVideoPath(fixture("cuts.mp4")));
        m_asker->answerMessage(kivo::ui::kAnswerYes);
        m_asker->answerFile(target);
        // KIVO_SCREENSHOT_DIR asks for a picture of the window in the middle of the run.
        const QString shots = qEnvironmentVariable("KIVO_SCREENSHOT_DIR");
        connect(&dlg, &Dlg::reportShown, this, [&](double frame) {
            if (!shots.isEmpty() && frame == 130) {
                dlg.grab().save(QDir(shots).filePath(QStringLiteral("kivos-midrun.png")));
            }
        });
        dlg.show();
        dlg.start();
        QVERIFY(waitForState(dlg, Dlg::kFinished));
        QVERIFY(!dlg.unsaved());
        QCOMPARE(dlg.displayText(Dlg::kCutFrame), QStringLiteral("120"));

        // The same worker without a window, as `KIVOS --segment` runs it.
        CVideoManager video;
        QVERIFY(video.open(fixture("cuts.mp4").toStdString()));
        CNeuralNetwork network;
        QVERIFY(network.LoadFromResource(361, "WEI_DATA"));
        CVideoDescription expected;
        SegmentationParams params;
        params.video = &video;
        params.description = &expected;
        params.network = &network;
        params.cutImages = 0;
        SegmentationThread(params);

        CVideoDescription saved;
        QCOMPARE(loadScv(target.toStdString(), saved), ScvReadResult::Ok);
        QCOMPARE(sceneFrames(saved), (QList<double>{0, 40, 80, 120}));
        QCOMPARE(sceneFrames(saved), sceneFrames(expected));
        QCOMPARE(sceneFrames(dlg.displayedTree()), sceneFrames(expected));
        QCOMPARE(QString::fromStdString(saved.mediaPath()), fixture("cuts.mp4"));
        QCOMPARE(m_asker->fileRequests().size(), 1);
        QCOMPARE(m_asker->fileRequests()[0].filter, QStringLiteral("영상분할 파일 (*.scv)|*.scv"));
    }

    void stopAnsweredNoLosesNoFrame() {
        Dlg dlg;
        QVERIFY(dlg.openVideoPath(fixture("index.mp4")));
        QList<double> frames;
        connect(&dlg, &Dlg::reportShown, this, [&](double frame) { frames.append(frame); });
        m_asker->answerMessage(kivo::ui::kAnswerNo);  // do not stop
        m_asker->answerMessage(kivo::ui::kAnswerNo);  // the finish question
        dlg.start();
        QTRY_VERIFY(frames.size() >= 3);
        dlg.stop();
        QCOMPARE(dlg.state(), Dlg::kRunning);
        QVERIFY(waitForState(dlg, Dlg::kFinished));
        QCOMPARE(frames.size(), 299);
        for (int i = 0; i < frames.size(); ++i) {
            QCOMPARE(frames[i], double(i + 1));
        }
    }

    void stopAnsweredYesKeepsThePartialResultForTheSaveButton() {
        QTemporaryDir dir;
        Dlg dlg;
        QVERIFY(dlg.openVideoPath(fixture("index.mp4")));
        QList<double> frames;
        connect(&dlg, &Dlg::reportShown, this, [&](double frame) { frames.append(frame); });
        m_asker->answerMessage(kivo::ui::kAnswerYes);  // stop now
        m_asker->answerMessage(kivo::ui::kAnswerNo);   // do not save yet
        dlg.start();
        QTRY_VERIFY(!frames.isEmpty());
        dlg.stop();
        QCOMPARE(dlg.state(), Dlg::kStopped);
        QVERIFY(!dlg.workerRunning());
        QCOMPARE(buttons(dlg), (QList<bool>{true, true, true, false, true}));
        QVERIFY(dlg.unsaved());
        QCOMPARE(m_asker->texts(), (QStringList{QString::fromUtf8(Dlg::kStopQuestion),
                                                QString::fromUtf8(Dlg::kSaveSoFarQuestion)}));

        const QString target = dir.filePath(QStringLiteral("partial.scv"));
        m_asker->answerFile(target);
        qobject_cast<QAbstractButton *>(dlg.control(Dlg::kSaveButton))->click();
        QVERIFY(QFile::exists(target));
        QVERIFY(!dlg.unsaved());
        CVideoDescription saved;
        QCOMPARE(loadScv(target.toStdString(), saved), ScvReadResult::Ok);
        QCOMPARE(sceneFrames(saved).value(0, -1), 0.0);

        // Nothing new to save: no second file dialog.
        dlg.save();
        QCOMPARE(m_asker->fileRequests().size(), 1);
    }

    void proposedNameIsTheVideosNameWithScv() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("clips")));
        const QString video = dir.filePath(QStringLiteral("clips/news.mpg"));
        QVERIFY(QFile::copy(fixture("cuts.mpg"), video));
        Dlg dlg;
        QVERIFY(dlg.openVideoPath(video));
        m_asker->answerMessage(kivo::ui::kAnswerYes);  // stop
        m_asker->answerMessage(kivo::ui::kAnswerYes);  // save what there is
        m_asker->answerFile(QString());                // ... but cancel the dialog
        dlg.start();
        dlg.stop();
        QCOMPARE(m_asker->fileRequests().size(), 1);
        QCOMPARE(m_asker->fileRequests()[0].initialPath,
                 dir.filePath(QStringLiteral("clips/news.scv")));
        QVERIFY(m_asker->fileRequests()[0].overwritePrompt);
        QVERIFY(dlg.unsaved());
    }

    void failedSaveTellsTheUserAndKeepsTheContentUnsaved() {
        QTemporaryDir dir;
        Dlg dlg;
        QVERIFY(dlg.openVideoPath(fixture("cuts.mp4")));
        m_asker->answerMessage(kivo::ui::kAnswerYes);
        m_asker->answerFile(dir.filePath(QStringLiteral("missing-folder/x.scv")));
        dlg.start();
        QVERIFY(waitForState(dlg, Dlg::kFinished));
        QVERIFY(dlg.unsaved());
        QCOMPARE(m_asker->questions().size(), 2);
        QVERIFY(m_asker->questions()[1].text.contains(QStringLiteral("missing-folder/x.scv")));
        QCOMPARE(m_asker->questions()[1].icon, kivo::ui::MessageIcon::Error);
    }

    void unsupportedFileReturnsToTheStart() {
        QTemporaryDir dir;
        const QString fake = writeNonVideo(dir);
        QVERIFY(!fake.isEmpty());
        Dlg dlg;
        QVERIFY(!dlg.openVideoPath(fake));
        QCOMPARE(m_asker->texts(), QStringList{QString::fromUtf8(Dlg::kUnsupportedVideo)});
        QCOMPARE(dlg.state(), Dlg::kIdle);
        QVERIFY(dlg.fileName().isEmpty());
        dlg.start();
        QCOMPARE(dlg.state(), Dlg::kIdle);
        QVERIFY(!dlg.workerRunning());
    }

    // The program opens a video named on its command line through openVideoPath: the window must
    // end up as after the open button, for a video and for a file it refuses.
    void openingAPathMatchesTheOpenButton() {
        QTemporaryDir dir;
        const QString fake = writeNonVideo(dir);
        QVERIFY(!fake.isEmpty());
        for (const QString &path : {fixture("cuts.mp4"), fake}) {
            CScriptedAsker buttonAsker;
            Dlg byButton;
            {
                const kivo::ui::CScopedAsker scoped(buttonAsker);
                buttonAsker.answerFile(path);
                qobject_cast<QAbstractButton *>(byButton.control(Dlg::kOpenButton))->click();
            }
            QCOMPARE(buttonAsker.fileRequests().size(), 1);

            CScriptedAsker pathAsker;
            Dlg byPath;
            {
                const kivo::ui::CScopedAsker scoped(pathAsker);
                QCOMPARE(byPath.openVideoPath(path), path != fake);
            }
            QCOMPARE(pathAsker.texts(), buttonAsker.texts());
            QCOMPARE(openedState(byPath), openedState(byButton));
            QCOMPARE(buttons(byPath), buttons(byButton));
            QCOMPARE(byPath.state(), path == fake ? Dlg::kIdle : Dlg::kOpened);
        }
    }

    void closingDuringARunEndsCleanly() {
        auto dlg = std::make_unique<Dlg>();
        QVERIFY(dlg->openVideoPath(fixture("index.mp4")));
        dlg->show();
        m_asker->answerMessage(kivo::ui::kAnswerNo);  // unsaved: do not save
        dlg->start();
        QVERIFY(dlg->close());
        QVERIFY(!dlg->workerRunning());
        QCOMPARE(dlg->state(), Dlg::kIdle);
        QCOMPARE(m_asker->texts(), QStringList{QString::fromUtf8(Dlg::kUnsavedQuestion)});
        dlg.reset();
        QTest::qWait(50);  // reports still queued for the deleted window must be dropped
    }

private:
    std::unique_ptr<CScriptedAsker> m_asker;
    std::unique_ptr<kivo::ui::CScopedAsker> m_scopedAsker;
};

QTEST_MAIN(TestSegmentationDlg)
#include "test_segmentationdlg.moc"
