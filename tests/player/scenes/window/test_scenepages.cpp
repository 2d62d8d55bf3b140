// The scene pages in the running player, on a video whose pictures carry their frame numbers:
// a click on a scene or on a frame of the strip moves the player there, the tree's buttons
// follow the selection, edits mark the description for saving, the strip's chosen frame becomes
// a scene, and the context menus grey what cannot be done.
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "media/grabber/videomanager.h"
#include "media/playback/playbackengine.h"
#include "player/scenes/window/scenelistpanel.h"
#include "player/scenes/window/scenetreepanel.h"
#include "player/scenes/window/treedialogs.h"
#include "player/transport/playercommands.h"
#include "player/transport/videocommands.h"
#include "player/transport/window/playercontainers.h"
#include "player/transport/window/playerdlg.h"
#include "player/transport/window/videownd.h"
#include "scene/scvfile.h"
#include "scene/videodescription.h"
#include "scenecontrols/sceneimagelist.h"
#include "scenecontrols/sceneimagetree.h"
#include "testsupport/fixturepath.h"
#include "testsupport/widgetreading.h"
#include "uisupport/asker.h"
#include "uisupport/containerwnd.h"
#include "uisupport/flatbutton.h"
#include "uisupport/flatcontrols.h"
#include "uisupport/registry.h"

class TestScenePages : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;

private slots:
    void initTestCase() {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_folder.filePath(QStringLiteral("config"))));
    }

    void aClickedSceneMovesThePlayerAndEditsAreKept() {
        CVideoDescription description;
        description.setMediaPath(fixture("index.mp4").toStdString());
        description.root().addChild(40);
        description.root().addChild(80);
        description.root().setExpanded(1);
        const QString scv = m_folder.filePath(QStringLiteral("index.scv"));
        QCOMPARE(saveScv(description, scv.toStdString()), 1);

        COVRegistry registry(m_folder.filePath(QStringLiteral("KIVOP.conf")));
        CPlayerDlg player(registry, {});
        player.session().engine().setAudioOutput(QStringLiteral("null"));
        CSceneTreePanel &page = *player.sceneTreePanel();
        QCOMPARE(player.openFile(scv, false), 1);
        CSceneImageTree &tree = page.tree();
        QVERIFY(tree.root() != nullptr);
        QVERIFY(page.button(CSceneTreePanel::kAddButton)->isEnabled());
        QVERIFY(!page.button(CSceneTreePanel::kDeleteButton)->isEnabled());
        QWidget *container = page.window();
        container->resize(330, 447);
        container->show();
        QVERIFY(QTest::qWaitForWindowExposed(container));
        QCOMPARE(page.size(), QSize(300, 400));

        // The root cannot be deleted.
        QTest::mouseClick(&tree, Qt::LeftButton, Qt::NoModifier, QPoint(5 + 20, 5 + 12));
        QCOMPARE(tree.selection().front(), tree.root());
        QVERIFY(!page.button(CSceneTreePanel::kDeleteButton)->isEnabled());
        QVERIFY(page.button(CSceneTreePanel::kModifyButton)->isEnabled());
        // The second scene: the third row, one level in (cells of 41 x 25 a row of 35 apart).
        CSceneNode *second = tree.root()->child(1);
        QTest::mouseClick(&tree, Qt::LeftButton, Qt::NoModifier, QPoint(5 + 20 + 20, 5 + 70 + 12));
        QCOMPARE(tree.selectionCount(), 1);
        QCOMPARE(tree.selection().front(), second);
        QTRY_COMPARE(qRound(player.session().frameAt(player.session().engine().currentPosition())),
                     80);
        QVERIFY(page.button(CSceneTreePanel::kDeleteButton)->isEnabled());
        QVERIFY(page.button(CSceneTreePanel::kModifyButton)->isEnabled());

        // A new title goes into the scene and the description waits to be saved.
        kivo::ui::CScriptedAsker asker;
        kivo::ui::CScopedAsker scoped(asker);
        page.titleEdit().setText(QStringLiteral("둘째 장면"));
        QCOMPARE(page.runCommand(CSceneTreePanel::kModifyButton), 1);
        QCOMPARE(second->info().title, std::string("둘째 장면"));
        QVERIFY(player.session().isDescriptionChanged());
        QCOMPARE(player.saveDescription(), 1);
        QVERIFY(!player.session().isDescriptionChanged());
        QCOMPARE(page.runCommand(CSceneTreePanel::kDeleteButton), 1);
        QCOMPARE(tree.root()->childCount(), 1);
        QVERIFY(player.session().isDescriptionChanged());

        // Alt+T adds a scene at the frame on screen; at frame 0 it is refused.
        QCOMPARE(player.seekToFrame(60), 1);
        QCOMPARE(player.runCommand(kivo::player::kKeySceneSplit), 1);
        QCOMPARE(tree.root()->childCount(), 2);
        QCOMPARE(tree.root()->child(1)->frame(), 60.0);
        player.seekToPosition(0);
        QCOMPARE(page.runCommand(CSceneTreePanel::kAddButton), 0);
        const std::unique_ptr<QMenu> menu = page.contextMenu();
        QVERIFY(!isEnabled(*menu, CSceneTreePanel::kMerge));
        QVERIFY(!isEnabled(*menu, CSceneTreePanel::kShrink));
        QVERIFY(isEnabled(*menu, CSceneTreePanel::kEnlarge));
    }

    void aChosenFrameMovesThePlayerAndBecomesAScene() {
        CVideoDescription description;
        description.setMediaPath(fixture("index.mp4").toStdString());
        const QString scv = m_folder.filePath(QStringLiteral("strip.scv"));
        QCOMPARE(saveScv(description, scv.toStdString()), 1);
        COVRegistry registry(m_folder.filePath(QStringLiteral("strip.conf")));
        CPlayerDlg player(registry, {});
        player.session().engine().setAudioOutput(QStringLiteral("null"));
        CSceneListPanel &page = *player.sceneListPanel();
        QCOMPARE(page.sizeRate(), 1.5f);
        QCOMPARE(player.openFile(scv, false), 1);

        // Before a frame is chosen there is nothing to split at.
        kivo::ui::CScriptedAsker asker;
        kivo::ui::CScopedAsker scoped(asker);
        QCOMPARE(page.runCommand(CSceneListPanel::kSceneSplit), 0);
        QCOMPARE(asker.texts().size(), 1);

        CContainerWnd *container = static_cast<CContainerWnd *>(page.window());
        container->showPage(1);
        container->resize(200, 447);
        container->show();
        QVERIFY(QTest::qWaitForWindowExposed(container));
        CSceneImageList &strip = page.list();
        strip.scrollTo(30);
        const double frame = strip.frameAt(strip.cellRect(2).center());
        QVERIFY(frame > 0);
        QTest::mouseClick(&strip, Qt::LeftButton, Qt::NoModifier, strip.cellRect(2).center());
        QTRY_COMPARE(player.session().frameAt(player.session().engine().currentPosition()), frame);
        QCOMPARE(page.runCommand(CSceneListPanel::kSceneSplit), 1);
        CSceneImageTree &tree = player.sceneTreePanel()->tree();
        QCOMPARE(tree.root()->childCount(), 1);
        QCOMPARE(tree.root()->child(0)->frame(), frame);
        // The tree tells of its change from the event loop.
        QTRY_VERIFY(player.session().isDescriptionChanged());

        // Back to the player's frame after scrolling away.
        strip.scrollTo(0);
        QCOMPARE(page.runCommand(CSceneListPanel::kRefresh), 1);
        QCOMPARE(strip.position(), qMin(qRound(frame), strip.lastPosition()));
        const std::unique_ptr<QMenu> menu = page.contextMenu();
        QVERIFY(isEnabled(*menu, CSceneListPanel::kShrink));
    }

    // A basic tree of a video opened by itself: 30 scenes under the start scene by default,
    // the player busy meanwhile; No to the question whether to stop lets it go on.
    void aBasicTreeReplacesTheTree() {
        COVRegistry registry(m_folder.filePath(QStringLiteral("basic.conf")));
        CPlayerDlg player(registry, {});
        player.session().engine().setAudioOutput(QStringLiteral("null"));
        QCOMPARE(player.openFile(fixture("cuts.mp4"), false), 1);
        CSceneImageTree &tree = player.sceneTreePanel()->tree();
        QVERIFY(tree.root() != nullptr);
        tree.root()->addChild(99);

        kivo::ui::CScriptedAsker asker;
        kivo::ui::CScopedAsker scoped(asker);
        CBasicTreeDlg dialog(player.session(), tree, player.sceneTreePanel());
        bool busyMeanwhile = false;
        QTimer::singleShot(0, &dialog, [&] {
            busyMeanwhile = player.session().isBusy() && dialog.isRunning();
            asker.answerMessage(kivo::ui::kAnswerNo);
            dialog.pressStart();
        });
        dialog.pressStart();
        QVERIFY(busyMeanwhile);
        QVERIFY(dialog.hasBuilt());
        QCOMPARE(asker.texts(),
                 QStringList{QStringLiteral("현재 트리 구성중입니다. 멈추시겠습니까?")});
        QCOMPARE(tree.root()->childCount(), 1);
        const CSceneNode &start = *tree.root()->child(0);
        QCOMPARE(start.frame(), tree.root()->frame());
        QCOMPARE(start.childCount(), 30);
        QVERIFY(start.child(29)->frame() > start.child(28)->frame());
        QVERIFY(tree.thumbnailCache()->find(start.child(29)->frame()) != nullptr);
        QTRY_VERIFY(player.session().isDescriptionChanged());
    }

    // The scenes of a scene file get their pictures once; a file closed under a running job
    // ends it cleanly; a scene file with 100,000 scenes, some beyond the video's end, opens.
    void scenePicturesAndFilesThatGoAway() {
        CVideoDescription description;
        description.setMediaPath(fixture("index.mp4").toStdString());
        for (int frame = 1; frame <= 100000; ++frame) {
            description.root().addChild(frame * 3);
        }
        const QString scv = m_folder.filePath(QStringLiteral("many.scv"));
        QCOMPARE(saveScv(description, scv.toStdString()), 1);
        COVRegistry registry(m_folder.filePath(QStringLiteral("many.conf")));
        CPlayerDlg player(registry, {});
        player.session().engine().setAudioOutput(QStringLiteral("null"));
        QCOMPARE(player.openFile(scv, false), 1);
        CSceneTreePanel &page = *player.sceneTreePanel();
        CSceneImageTree &tree = page.tree();
        QCOMPARE(tree.root()->childCount(), 100000);
        // The video window's scene button readies the pictures, then shows the scene window.
        QCOMPARE(player.videoWindow().runCommand(kivo::player::kVideoInfo2Button), 1);
        QVERIFY(player.sceneContainer()->isVisible());
        QVERIFY(tree.thumbnailCache()->find(3) != nullptr);
        // Scenes beyond the video's end have no picture; at most 500 scenes are visited.
        QVERIFY(tree.thumbnailCache()->find(3 * 400) == nullptr);
        QVERIFY(tree.thumbnailCache()->size() < size_t(kivo::scenes::kThumbnailLimit));
        QCOMPARE(page.prepareSceneImagesOnce(), 1);

        // The file goes away (a hand-off) while the basic tree is being built.
        QTimer::singleShot(0, &player, [&player] { player.closeFile(); });
        kivo::ui::CScriptedAsker asker;
        kivo::ui::CScopedAsker scoped(asker);
        CBasicTreeDlg dialog(player.session(), tree, &page);
        dialog.pressStart();
        QVERIFY(!dialog.hasBuilt());
        QVERIFY(!dialog.isRunning());
        QVERIFY(tree.root() == nullptr);
    }

    // The thumbnail scale moves in half steps between 1 and 5, after the question; a stored
    // scale of 0 starts at 1.
    void theScaleStaysWithinItsLimits() {
        COVRegistry registry(m_folder.filePath(QStringLiteral("rates.conf")));
        CPlayerDlg player(registry, {});
        CSceneTreePanel page(player.session(), 0.0f);
        QCOMPARE(page.sizeRate(), 1.0f);
        kivo::ui::CScriptedAsker asker;
        kivo::ui::CScopedAsker scoped(asker);
        QCOMPARE(page.runCommand(CSceneTreePanel::kShrink), 0);
        CSceneTreePanel large(player.session(), 4.5f);
        asker.answerMessage(kivo::ui::kAnswerYes);
        QCOMPARE(large.runCommand(CSceneTreePanel::kEnlarge), 1);
        QCOMPARE(large.sizeRate(), 5.0f);
        const std::unique_ptr<QMenu> menu = large.contextMenu();
        QVERIFY(!isEnabled(*menu, CSceneTreePanel::kEnlarge));
        QVERIFY(isEnabled(*menu, CSceneTreePanel::kShrink));
        // No to the question leaves the scale.
        asker.answerMessage(kivo::ui::kAnswerNo);
        QCOMPARE(large.runCommand(CSceneTreePanel::kShrink), 0);
        QCOMPARE(large.sizeRate(), 5.0f);
    }
};

QTEST_MAIN(TestScenePages)
#include "test_scenepages.moc"
