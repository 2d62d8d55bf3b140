// The list pages of the information window in the running player, with real media and real
// files: the repeat sections' edits and checks, the playlist page's commands and messages, and
// the media finder's search, stop, history, playlist hand-over and trash.
#include <QCheckBox>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include "media/playback/playbackengine.h"
#include "player/lists/playlistfile.h"
#include "player/lists/window/findertree.h"
#include "player/lists/window/listwidgets.h"
#include "player/lists/window/mediafinderpanel.h"
#include "player/lists/window/playlistpanel.h"
#include "player/lists/window/repeatsectionpanel.h"
#include "player/transport/window/playercontainers.h"
#include "player/transport/window/playerdlg.h"
#include "scene/videodescription.h"
#include "testsupport/fixturepath.h"
#include "testsupport/widgetreading.h"
#include "uisupport/asker.h"
#include "uisupport/flatbutton.h"
#include "uisupport/registry.h"

namespace {

// The names under one node of the finder's tree.
QStringList childTexts(const QTreeWidgetItem *node) {
    QStringList texts;
    for (int i = 0; node && i < node->childCount(); ++i) {
        texts.append(node->child(i)->text(0));
    }
    return texts;
}

QTreeWidgetItem *childNamed(const QTreeWidgetItem *node, const QString &text) {
    for (int i = 0; i < node->childCount(); ++i) {
        if (node->child(i)->text(0) == text) {
            return node->child(i);
        }
    }
    return nullptr;
}

int fileItemCount(const CFinderTree &tree) {
    int count = 0;
    for (const QTreeWidgetItem *group : {tree.videoNode(), tree.audioNode()}) {
        for (int e = 0; e < group->childCount(); ++e) {
            count += group->child(e)->childCount();
        }
    }
    return count;
}

void writeFile(const QString &path, qint64 size) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.resize(size));
}

// A player whose engine makes no sound, on a settings file of the test's own.
struct CPlayer {
    explicit CPlayer(const QString &settingsFile) : registry(settingsFile), panel(registry, {}) {
        panel.session().engine().setAudioOutput(QStringLiteral("null"));
    }
    CInfoContainerWnd &info() { return *panel.infoContainer(); }
    COVRegistry registry;
    CPlayerDlg panel;
};

}  // namespace

class TestListPages : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;
    QString settingsFile() const { return m_folder.filePath(QStringLiteral("KIVOP.conf")); }

private slots:
    void initTestCase() {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_folder.filePath(QStringLiteral("config"))));
        // The trash and the player's lists stay in the test's folder.
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_folder.filePath(QStringLiteral("data"))));
    }

    // Sections are added at the player's position and checked: equal times are refused, a
    // negative count is refused, reversed times are swapped, an empty count is 0. Edits mark
    // the description changed; the chosen sections start repeat playback, and deleting one
    // takes it out of the running list.
    void repeatSectionsAreCheckedEditedAndPlayed() {
        kivo::ui::CScriptedAsker asker;
        kivo::ui::CScopedAsker scoped(asker);
        CPlayer player(settingsFile());
        CRepeatSectionPanel &page = *player.info().repeatSectionPanel();
        QVERIFY(!page.button(CRepeatSectionPanel::kAddButton)->isEnabled());
        QCOMPARE(player.panel.openFile(fixture("cuts.mp4"), false), 1);
        QVERIFY(page.button(CRepeatSectionPanel::kAddButton)->isEnabled());
        QVERIFY(!isEnabled(*page.contextMenu(false), CRepeatSectionPanel::kSelectAll));
        QCOMPARE(page.runCommand(CRepeatSectionPanel::kSetButton), 0);
        QCOMPARE(page.runCommand(CRepeatSectionPanel::kModifyButton), 0);

        QCOMPARE(player.panel.seekToPosition(1e7), 1);
        page.button(CRepeatSectionPanel::kAddButton)->click();
        QVERIFY(page.isEditViewShown());
        QCOMPARE(page.edit(CRepeatSectionPanel::kTitleEdit)->text(), QStringLiteral("제목없음"));
        QCOMPARE(page.edit(CRepeatSectionPanel::kCountEdit)->text(), QStringLiteral("2"));
        QCOMPARE(page.edit(CRepeatSectionPanel::kStartEdit)->text(),
                 QStringLiteral("00:00:01.0000000"));
        page.button(CRepeatSectionPanel::kOkButton)->click();
        QCOMPARE(page.mode(), CRepeatSectionPanel::kAdding);
        QVERIFY(page.isEditViewShown());

        page.edit(CRepeatSectionPanel::kStartEdit)->setText(QStringLiteral("00:01:00.0000000"));
        page.edit(CRepeatSectionPanel::kEndEdit)->setText(QStringLiteral("00:00:30.0000000"));
        page.edit(CRepeatSectionPanel::kCountEdit)->setText(QStringLiteral("-1"));
        QCOMPARE(page.runCommand(CRepeatSectionPanel::kOkButton), 0);
        page.edit(CRepeatSectionPanel::kCountEdit)->setText(QString());
        QCOMPARE(page.runCommand(CRepeatSectionPanel::kOkButton), 1);
        QCOMPARE(asker.texts(),
                 (QStringList{QStringLiteral("반복할 구간을 먼저 선택하세요"),
                              QStringLiteral("수정할 구간을 먼저 선택하세요"),
                              QStringLiteral("시작 시간과 끝 시간이 같습니다."),
                              QStringLiteral("반복횟수가 잘못 입력되었습니다. 다시 입력하세요")}));
        const std::vector<CRepeatSection> &sections =
            player.panel.session().description()->repeatSections();
        QCOMPARE(sections.size(), size_t(1));
        QCOMPARE(sections[0].start, 30e7);
        QCOMPARE(sections[0].end, 60e7);
        QCOMPARE(sections[0].repeatCount, 0);
        QCOMPARE(page.mode(), CRepeatSectionPanel::kBrowsing);
        QCOMPARE(rowTexts(page.list(), 3), QStringList{QStringLiteral("00:00:30")});
        QVERIFY(player.panel.session().isDescriptionChanged());

        // A second section at 2 s to 3 s; the take and go buttons use the player's position.
        page.runCommand(CRepeatSectionPanel::kAddButton);
        QCOMPARE(player.panel.seekToPosition(2e7), 1);
        page.runCommand(CRepeatSectionPanel::kTakeStartButton);
        page.edit(CRepeatSectionPanel::kEndEdit)->setText(QStringLiteral("00:00:03.0000000"));
        QCOMPARE(page.runCommand(CRepeatSectionPanel::kGoToEndButton), 1);
        QCOMPARE(player.panel.session().engine().currentPosition(), 3e7);
        QCOMPARE(page.runCommand(CRepeatSectionPanel::kOkButton), 1);
        QCOMPARE(rowTexts(page.list(), 0), (QStringList{QStringLiteral("0"), QStringLiteral("1")}));
        QCOMPARE(sections[1].start, 2e7);

        // Modifying fills the edits from the section; cancelling keeps it.
        kivo::lists::selectRows(page.list(), {0});
        QCOMPARE(page.runCommand(CRepeatSectionPanel::kModifySection), 1);
        QCOMPARE(page.edit(CRepeatSectionPanel::kEndEdit)->text(),
                 QStringLiteral("00:01:00.0000000"));
        QCOMPARE(page.edit(CRepeatSectionPanel::kCountEdit)->text(), QStringLiteral("0"));
        page.runCommand(CRepeatSectionPanel::kCancelButton);
        QVERIFY(!page.isEditViewShown());

        const std::unique_ptr<QMenu> menu = page.contextMenu(true);
        for (const int command :
             {CRepeatSectionPanel::kDeleteSections, CRepeatSectionPanel::kSelectAll,
              CRepeatSectionPanel::kSetRepeatList}) {
            QVERIFY(isEnabled(*menu, command));
        }
        page.runCommand(CRepeatSectionPanel::kSelectAll);
        QCOMPARE(page.runCommand(CRepeatSectionPanel::kSetRepeatList), 1);
        QVERIFY(player.panel.transport().isRepeatMode());
        QCOMPARE(player.panel.session().engine().currentPosition(), 30e7);
        QCOMPARE(kivo::lists::selectedRows(page.list()), std::vector<int>{0});
        QCOMPARE(page.runCommand(CRepeatSectionPanel::kDeleteButton), 1);
        QCOMPARE(sections.size(), size_t(1));
        QCOMPARE(player.panel.transport().repeatPlayer().sections(), std::vector<size_t>{0});
        QCOMPARE(kivo::lists::selectedRows(page.list()), std::vector<int>{0});

        player.panel.closeFile();
        QCOMPARE(page.list().topLevelItemCount(), 0);
        QVERIFY(!player.panel.transport().isRepeatMode());
    }

    // Files are added (an unsupported one is refused by name), sorted by the column headers,
    // deleted with the next row selected, handed over as the queue and released, saved and
    // loaded; an unsupported entry of a loaded list has no row but is saved again.
    void thePlaylistPageEditsSortsAndHandsOverItsList() {
        kivo::ui::CScriptedAsker asker;
        kivo::ui::CScopedAsker scoped(asker);
        CPlayer player(settingsFile());
        CPlaylistPanel &page = *player.info().playlistPanel();
        CPlaylistPlayer &playlist = player.panel.playlistPlayer();
        QVERIFY(!isEnabled(*page.contextMenu(false), CPlaylistPanel::kSaveList));
        asker.answerFiles({fixture("cuts.mp4"), fixture("audio.m4a"),
                           m_folder.filePath(QStringLiteral("notes.txt")), fixture("cuts.mkv")});
        QCOMPARE(page.runCommand(CPlaylistPanel::kAddFiles), 1);
        QCOMPARE(asker.fileRequests().last().caption, QStringLiteral("KIVO Player_재생목록 추가"));
        QCOMPARE(rowTexts(page.list(), 1),
                 (QStringList{QStringLiteral("CUTS.MP4"), QStringLiteral("AUDIO.M4A"),
                              QStringLiteral("CUTS.MKV")}));

        player.info().showPage(CInfoContainerWnd::kPlaylistPage);
        player.info().resize(330, 300);
        player.info().show();
        QVERIFY(QTest::qWaitForWindowExposed(&player.info()));
        QHeaderView *header = page.list().header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(0) + 5, 5));
        QCOMPARE(rowTexts(page.list(), 1),
                 (QStringList{QStringLiteral("CUTS.MP4"), QStringLiteral("CUTS.MKV"),
                              QStringLiteral("AUDIO.M4A")}));
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(1) + 5, 5));
        QCOMPARE(rowTexts(page.list(), 1),
                 (QStringList{QStringLiteral("CUTS.MKV"), QStringLiteral("CUTS.MP4"),
                              QStringLiteral("AUDIO.M4A")}));

        QCOMPARE(page.runCommand(CPlaylistPanel::kDeleteEntries), 0);
        kivo::lists::selectRows(page.list(), {1});
        QCOMPARE(page.runCommand(CPlaylistPanel::kDeleteEntries), 1);
        QCOMPARE(playlist.playlist().size(), size_t(2));
        QCOMPARE(kivo::lists::selectedRows(page.list()), std::vector<int>{0});

        QCOMPARE(page.releaseQueue(), 0);
        page.list().clearSelection();
        page.setButton().click();
        QCOMPARE(playlist.queue().entries().size(), size_t(2));
        QCOMPARE(player.panel.session().engine().mediaPath(), fixture("cuts.mkv"));
        QCOMPARE(player.panel.session().playState(), CPlayerSession::kPlaying);
        QCOMPARE(kivo::lists::selectedRows(page.list()), std::vector<int>{0});
        page.releaseButton().click();
        QVERIFY(playlist.queue().empty());
        QVERIFY(page.list().selectedItems().isEmpty());
        page.randomBox().click();
        QVERIFY(playlist.queue().random());

        const QString saved = m_folder.filePath(QStringLiteral("saved.mpl"));
        asker.answerFile(saved);
        QCOMPARE(page.runCommand(CPlaylistPanel::kSaveList), 1);
        QCOMPARE(asker.fileRequests().last().caption,
                 QStringLiteral("KIVO Player_재생목록 파일 저장"));
        QCOMPARE(asker.texts().mid(1), (QStringList{QStringLiteral("삭제할 구간을 먼저 선택하세요"),
                                                    QStringLiteral("선택된 재생목록이 없습니다."),
                                                    QStringLiteral("재생목록이 해제되었습니다."),
                                                    QStringLiteral("정상적으로 저장되었습니다.")}));
        QCOMPARE(asker.texts().first(),
                 QStringLiteral("NOTES.TXT은/는 KIVO에서 지원하지 않습니다."));

        kivo::lists::CPlaylist mixed;
        mixed.append("/music/readme.txt");
        mixed.append("/music/song.mp3");
        const QString mixedFile = m_folder.filePath(QStringLiteral("mixed.mpl"));
        QCOMPARE(kivo::lists::savePlaylistFile(mixedFile.toStdString(), mixed), 1);
        asker.answerFile(mixedFile);
        QCOMPARE(page.runCommand(CPlaylistPanel::kOpenList), 1);
        QCOMPARE(rowTexts(page.list(), 1), QStringList{QStringLiteral("SONG.MP3")});
        asker.answerFile(saved);
        QCOMPARE(page.runCommand(CPlaylistPanel::kSaveList), 1);
        kivo::lists::CPlaylist reread;
        QCOMPARE(kivo::lists::loadPlaylistFile(saved.toStdString(), reread), 1);
        QCOMPARE(reread.entries(), mixed.entries());
        QVERIFY(!isEnabled(*page.contextMenu(false), CPlaylistPanel::kDeleteEntries));
        QVERIFY(!isEnabled(*page.contextMenu(true), CPlaylistPanel::kPlayNow));
        playlist.playlist().clear();
    }

    // A search finds the media files of a folder tree grouped by kind and extension (small .dat
    // files and other extensions left out); searching again remembers the folder once. Found
    // files go to the playlist page selected, play by themselves, and go to the trash; the next
    // start rebuilds the tree from the saved list. A stopped search keeps what it found.
    void theFinderSearchesGroupsHandsOverAndStops() {
        kivo::ui::CScriptedAsker asker;
        kivo::ui::CScopedAsker scoped(asker);
        const QString root = m_folder.filePath(QStringLiteral("media"));
        writeFile(root + QStringLiteral("/a.avi"), 10);
        writeFile(root + QStringLiteral("/sub/b.MP3"), 10);
        writeFile(root + QStringLiteral("/sub/deep/c.avi"), 10);
        writeFile(root + QStringLiteral("/notes.txt"), 10);
        writeFile(root + QStringLiteral("/small.dat"), 31457279);
        writeFile(root + QStringLiteral("/big.dat"), 31457280);
        QVERIFY(QFile::copy(fixture("cuts.mp4"), root + QStringLiteral("/sub/clip.mp4")));
        {
            CPlayer player(settingsFile());
            CMediaFinderPanel &page = *player.info().finderPanel();
            QCOMPARE(page.search(), 0);
            asker.answerFolder(root);
            QCOMPARE(page.browse(), 1);
            QSignalSpy ended(&page, &CMediaFinderPanel::searchEnded);
            for (int pass = 0; pass < 2; ++pass) {
                QCOMPARE(page.search(), 1);
                QVERIFY(page.isSearching() && !page.stopButton().isHidden());
                QVERIFY(ended.wait(10000));
            }
            QVERIFY(page.searchButton().isVisibleTo(&page) && page.stopButton().isHidden());
            QCOMPARE(player.panel.settings().finderFolders, QStringList{root});
            QCOMPARE(page.folderBox().count(), 1);
            CFinderTree &tree = page.tree();
            QCOMPARE(childTexts(tree.audioNode()), QStringList{QStringLiteral("MP3")});
            QStringList video = childTexts(tree.videoNode());
            video.sort();
            QCOMPARE(video, (QStringList{QStringLiteral("avi"), QStringLiteral("dat"),
                                         QStringLiteral("mp4")}));
            QTreeWidgetItem *avi = childNamed(tree.videoNode(), QStringLiteral("avi"));
            QCOMPARE(avi->childCount(), 2);
            QCOMPARE(player.panel.foundFiles().size(), size_t(5));

            tree.setCurrentItem(childNamed(tree.videoNode(), QStringLiteral("dat"))->child(0));
            QCOMPARE(page.sizeEdit().text(), QStringLiteral("31.4573 MB"));
            QCOMPARE(page.pathEdit().text(), root + QStringLiteral("/big.dat"));

            tree.clearSelection();
            QCOMPARE(page.runCommand(CMediaFinderPanel::kAddToPlaylist), 0);
            avi->child(0)->setSelected(true);
            avi->child(1)->setSelected(true);
            QCOMPARE(page.runCommand(CMediaFinderPanel::kAddToPlaylist), 1);
            CPlaylistPanel &playlist = *player.info().playlistPanel();
            QCOMPARE(rowTexts(playlist.list(), 1).size(), 2);
            QCOMPARE(kivo::lists::selectedRows(playlist.list()), (std::vector<int>{0, 1}));

            QTreeWidgetItem *clip = childNamed(tree.videoNode(), QStringLiteral("mp4"))->child(0);
            QCOMPARE(page.playFile(size_t(CFinderTree::fileIndex(clip))), 1);
            QCOMPARE(player.panel.session().engine().mediaPath(),
                     root + QStringLiteral("/sub/clip.mp4"));

            tree.clearSelection();
            avi->child(0)->setSelected(true);
            const QString trashed = QString::fromStdString(
                player.panel.foundFiles()[size_t(CFinderTree::fileIndex(avi->child(0)))].path);
            asker.answerMessage(kivo::ui::kAnswerYes);
            QCOMPARE(page.runCommand(CMediaFinderPanel::kDeleteFiles), 1);
            QVERIFY(!QFile::exists(trashed));
            QCOMPARE(avi->childCount(), 1);
            QCOMPARE(player.panel.foundFiles().size(), size_t(4));
            QCOMPARE(asker.texts().mid(1),
                     (QStringList{QStringLiteral("선택된 파일이 없습니다."),
                                  QStringLiteral("재생목록에 추가되었습니다."),
                                  QStringLiteral("정말 삭제하시겠습니까?")}));
            // Every remaining item still names its own file.
            const size_t index = size_t(CFinderTree::fileIndex(avi->child(0)));
            QCOMPARE(QString::fromStdString(player.panel.foundFiles()[index].name),
                     avi->child(0)->text(0));
            player.panel.playlistPlayer().playlist().clear();
            player.panel.exitPlayer();
        }
        CPlayer again(settingsFile());
        CMediaFinderPanel &page = *again.info().finderPanel();
        QCOMPARE(fileItemCount(page.tree()), 4);
        QCOMPARE(page.folderBox().count(), 1);

        // A larger tree, stopped as soon as its first files arrive.
        for (int folder = 0; folder < 40; ++folder) {
            for (int file = 0; file < 100; ++file) {
                writeFile(root + QStringLiteral("/many/%1/%2.mp3").arg(folder).arg(file), 0);
            }
        }
        QVERIFY(page.search());
        QTRY_VERIFY(fileItemCount(page.tree()) > 0);
        page.stopSearch();
        QVERIFY(!page.isSearching());
        QVERIFY(page.stopButton().isHidden());
        const size_t kept = again.panel.foundFiles().size();
        QVERIFY(kept > 0);
        QTest::qWait(300);
        QCOMPARE(again.panel.foundFiles().size(), kept);
        QCOMPARE(fileItemCount(page.tree()), int(kept));
    }
};

QTEST_MAIN(TestListPages)
#include "test_listpages.moc"
