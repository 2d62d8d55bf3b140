// The scene tree page in the running player, on a video whose pictures carry their frame
// numbers: a click on a scene moves the player there, the buttons follow the selection, edits
// mark the description for saving, and the context menu greys what cannot be done.
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

#include "media/grabber/videomanager.h"
#include "media/playback/playbackengine.h"
#include "player/scenes/window/scenetreepanel.h"
#include "player/transport/window/playerdlg.h"
#include "scene/scvfile.h"
#include "scene/videodescription.h"
#include "scenecontrols/sceneimagetree.h"
#include "uisupport/asker.h"
#include "uisupport/flatbutton.h"
#include "uisupport/flatcontrols.h"
#include "uisupport/registry.h"

namespace {

QString fixture(const char *name) {
    return qEnvironmentVariable("KIVO_FIXTURES") + u'/' + QString::fromLatin1(name);
}

bool isEnabled(QMenu &menu, int command) {
    for (const QAction *action : menu.actions()) {
        if (action->data().toInt() == command) {
            return action->isEnabled();
        }
    }
    return false;
}

}  // namespace

class TestSceneTreePanel : public QObject {
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

        // Adding at the player's frame 0 is refused; the menu greys merge with one scene.
        player.seekToPosition(0);
        QCOMPARE(page.runCommand(CSceneTreePanel::kAddButton), 0);
        const std::unique_ptr<QMenu> menu = page.contextMenu();
        QVERIFY(!isEnabled(*menu, CSceneTreePanel::kMerge));
        QVERIFY(!isEnabled(*menu, CSceneTreePanel::kShrink));
        QVERIFY(isEnabled(*menu, CSceneTreePanel::kEnlarge));
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

QTEST_MAIN(TestSceneTreePanel)
#include "test_scenetreepanel.moc"
